#include "platform/FileException.h"

#include <utility>

namespace {

// System texts come with their own full stop and, on Windows, a line break; the message adds one
// full stop of its own.
std::string TrimReason(std::string str) {
    while (!str.empty() &&
           (str.back() == '.' || str.back() == '\n' || str.back() == '\r' || str.back() == ' '))
        str.pop_back();
    return str;
}

} // namespace

CFileException::CFileException(int nCause, long lOsError, std::string strFileName,
                               const std::string& strAction, const std::string& strReason)
    : m_cause(nCause), m_lOsError(lOsError), m_strFileName(std::move(strFileName)) {
    const std::string strQuoted = "\"" + m_strFileName + "\"";
    std::string strWhat = strAction;
    const std::size_t nSlot = strWhat.find("{}");
    if (nSlot == std::string::npos)
        strWhat += " " + strQuoted;
    else
        strWhat.replace(nSlot, 2, strQuoted);
    m_strMessage = "Could not " + strWhat;
    m_strReason = TrimReason(strReason);
    if (!m_strReason.empty())
        m_strMessage += ": " + m_strReason;
    m_strMessage += ".";
}
