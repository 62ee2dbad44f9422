#pragma once

#include <exception>
#include <string>

// The one error type of every failing file operation. It carries the cause code, the operating
// system's error number and the file concerned, and a message a user can act on.
class CFileException : public std::exception {
public:
    // The causes some caller tells apart; anything else is generic.
    enum Cause {
        genericException,
        fileNotFound,
        badPath, // a folder on the way is missing or no folder, or the name is not valid
        hardIO,  // the fault hook failed the operation, as a broken disk would
    };

    // strAction says what was being done ("write to", "open {} for reading", ...); "{}" marks where
    // the quoted file name goes, after the action when it is missing. strReason is the system's
    // text. The message reads: Could not <action> "<file>": <reason>.
    CFileException(int nCause, long lOsError, std::string strFileName, const std::string& strAction,
                   const std::string& strReason);

    const char* what() const noexcept override { return m_strMessage.c_str(); }
    // Why it failed, without the action and the file: the system's text.
    const std::string& GetReason() const { return m_strReason; }

    int m_cause;
    long m_lOsError;
    std::string m_strFileName;

private:
    std::string m_strReason;
    std::string m_strMessage;
};
