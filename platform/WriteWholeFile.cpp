#include "platform/WriteWholeFile.h"

#include "platform/File.h"
#include "platform/FileException.h"

namespace {

// Names taken by leftovers of earlier runs with the same process number are passed over; this
// many in a row means something else is wrong.
constexpr int kTemporaryNameTries = 100;

// Creates the temporary file under the first free name and gives that name.
std::string CreateTemporary(CFile& file, const std::string& strPath) {
    for (int n = 0;; ++n) {
        const std::string strTemp = TemporaryName(strPath, n);
        try {
            file.Open(strTemp, CFile::kBinaryCreateNew);
            return strTemp;
        } catch (const CFileException&) {
            // Only a name something already stands at is worth another try.
            if (n + 1 >= kTemporaryNameTries || !CFile::EntryExists(strTemp))
                throw;
        }
    }
}

} // namespace

std::string TemporaryName(const std::string& strPath, int n) {
    return strPath + ".new-" + std::to_string(CurrentProcessId()) + "-" + std::to_string(n);
}

void WriteWholeFile(const std::string& strPath, std::string_view strBytes, ExistingFile existing) {
    WriteWholeFile(
        strPath, [strBytes](CFile& file) { file.Write(strBytes.data(), strBytes.size()); },
        existing);
}

void WriteWholeFile(const std::string& strPath, const std::function<void(CFile&)>& writeBytes,
                    ExistingFile existing) {
    CFile file;
    const std::string strTemp = CreateTemporary(file, strPath);
    try {
        writeBytes(file);
        file.Flush();
        file.Close();
        if (existing == ExistingFile::Replace)
            CFile::Replace(strTemp, strPath);
        else
            CFile::Rename(strTemp, strPath);
    } catch (const CFileException&) {
        // Best effort: the first error is the one to report. Closed first, as Windows deletes no
        // open file; a Close that fails has let the handle go all the same.
        try {
            file.Close();
        } catch (const CFileException&) {
        }
        try {
            CFile::Remove(strTemp);
        } catch (const CFileException&) {
        }
        throw;
    }
}
