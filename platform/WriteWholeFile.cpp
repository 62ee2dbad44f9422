#include "platform/WriteWholeFile.h"

#include "platform/File.h"
#include "platform/FileException.h"

void WriteWholeFile(const std::string& strPath, std::string_view strBytes, ExistingFile existing) {
    const std::string strTemp = strPath + ".new";
    try {
        {
            CFile file(strTemp, CFile::kBinaryWrite);
            file.Write(strBytes.data(), strBytes.size());
            file.Flush();
            file.Close();
        }
        if (existing == ExistingFile::Replace)
            CFile::Replace(strTemp, strPath);
        else
            CFile::Rename(strTemp, strPath);
    } catch (const CFileException&) {
        try {
            CFile::Remove(strTemp);
        } catch (const CFileException&) {
            // Best effort (it may never have been made): the first error is the one to report.
        }
        throw;
    }
}
