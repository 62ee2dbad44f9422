#pragma once

#include <exception>
#include <string>

// The one error type of every failing file operation. It carries the cause code, the operating
// system's error number and the file concerned, and a message a user can act on.
class CFileException : public std::exception {
public:
    // Cause codes; 0 is "none", which is also what the end-of-input marker of ReadLine carries.
    enum Cause {
        none = 0,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    // strAction says what was being done ("write to", "open {} for reading", ...); "{}" marks where
    // the quoted file name goes, after the action when it is missing. strReason is the system's
    // text. The message reads: Could not <action> "<file>": <reason>.
    CFileException(int nCause, long lOsError, std::string strFileName, const std::string& strAction,
                   const std::string& strReason);

    // The end of input, raised by ReadLine: cause 0, error 0, file "EOF".
    static CFileException EndOfInput();

    bool IsEndOfInput() const {
        return m_cause == none && m_lOsError == 0 && m_strFileName == "EOF";
    }
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
