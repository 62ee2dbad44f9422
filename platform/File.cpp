// The parts of the file layer that do not depend on the system: the read-ahead over the backend's
// primitives, the existence probe, and the order of search results.
#include "platform/File.h"

#include "platform/FileException.h"
#include "platform/FileFaults.h"

#include <algorithm>
#include <cstring>
#include <string_view>

CFile::CFile(const std::string& strPath, unsigned nFlags) {
    Open(strPath, nFlags);
}

CFile::~CFile() {
    CloseHandle();
}

void CFile::RequireOpen(const char* pszAction) const {
    if (!IsOpen())
        throw CFileException(CFileException::invalidFile, 0, m_strPath, pszAction,
                             "the file is not open");
}

std::size_t CFile::Read(void* pBuffer, std::size_t nCount) {
    RequireOpen("read from");
    CheckFileFault(FileOp::Read, m_strPath, "read from");
    auto* pOut = static_cast<unsigned char*>(pBuffer);
    std::size_t nDone = 0;
    while (nDone < nCount) {
        if (m_nBufferStart < m_nBuffered) {
            const std::size_t n = std::min(m_nBuffered - m_nBufferStart, nCount - nDone);
            std::memcpy(pOut + nDone, m_pBuffer.get() + m_nBufferStart, n);
            m_nBufferStart += n;
            nDone += n;
            continue;
        }
        const std::size_t nLeft = nCount - nDone;
        if (nLeft >= kReadAhead) {
            // Large reads would only be copied twice.
            m_nBuffered = 0;
            m_nBufferStart = 0;
            const std::size_t n = SystemRead(pOut + nDone, nLeft);
            if (n == 0)
                break;
            nDone += n;
        } else {
            if (!m_pBuffer) // not zeroed: only what the system reads into it is ever used
                m_pBuffer = std::make_unique_for_overwrite<unsigned char[]>(kReadAhead);
            m_nBuffered = 0; // the system may fail half way
            m_nBuffered = SystemRead(m_pBuffer.get(), kReadAhead);
            m_nBufferStart = 0;
            if (m_nBuffered == 0)
                break;
        }
    }
    m_nPosition += nDone;
    return nDone;
}

void CFile::Seek(std::uint64_t nOffset) {
    RequireOpen("move within");
    // The buffer holds the bytes just before the system's position; a seek among them (the usual
    // step back to the start of a line) keeps it.
    const std::uint64_t nBufferFrom = m_nSystemPosition - m_nBuffered;
    if (nOffset >= nBufferFrom && nOffset <= m_nSystemPosition) {
        m_nBufferStart = static_cast<std::size_t>(nOffset - nBufferFrom);
        m_nPosition = nOffset;
        return;
    }
    SystemSeek(nOffset);
    m_nBuffered = 0;
    m_nBufferStart = 0;
    m_nSystemPosition = nOffset;
    m_nPosition = nOffset;
}

bool CFile::Exists(const std::string& strPath) {
    try {
        CFile file(strPath, kBinaryRead);
        file.Close();
        return true;
    } catch (const CFileException&) {
        return false;
    }
}

bool CFileFind::Matches(const std::string& strPattern, const std::string& strName) {
    const std::size_t nSlash = strPattern.find_last_of("\\/");
    std::string_view mask = std::string_view(strPattern).substr(nSlash + 1);
    if (mask.empty() || mask == "*.*")
        mask = "*";
    const auto folded = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    // Iterative glob: on a mismatch, let the last '*' swallow one more character.
    std::size_t m = 0;
    std::size_t n = 0;
    std::size_t nStar = std::string_view::npos;
    std::size_t nResume = 0;
    while (n < strName.size()) {
        if (m < mask.size() && mask[m] == '*') {
            nStar = m++;
            nResume = n;
        } else if (m < mask.size() && (mask[m] == '?' || folded(mask[m]) == folded(strName[n]))) {
            ++m;
            ++n;
        } else if (nStar != std::string_view::npos) {
            m = nStar + 1;
            n = ++nResume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

void CFileFind::SortEntries() {
    const auto folded = [](std::string str) {
        for (char& c : str)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return str;
    };
    std::sort(m_aEntries.begin(), m_aEntries.end(), [&](const Entry& a, const Entry& b) {
        const std::string strA = folded(a.strName);
        const std::string strB = folded(b.strName);
        return strA != strB ? strA < strB : a.strName < b.strName;
    });
    m_nCurrent = 0;
}

bool CFileFind::FindNextFile() {
    if (m_nCurrent < m_aEntries.size())
        ++m_nCurrent;
    return m_nCurrent < m_aEntries.size();
}

const std::string& CFileFind::GetFileName() const {
    static const std::string strNone;
    return m_nCurrent < m_aEntries.size() ? m_aEntries[m_nCurrent].strName : strNone;
}

bool CFileFind::IsDirectory() const {
    return m_nCurrent < m_aEntries.size() && m_aEntries[m_nCurrent].bDirectory;
}
