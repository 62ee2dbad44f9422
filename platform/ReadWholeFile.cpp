#include "platform/ReadWholeFile.h"

#include "platform/File.h"

std::string ReadWholeFile(const std::string& strPath) {
    CFile file(strPath, CFile::kBinaryRead);
    std::string strBytes(static_cast<std::size_t>(file.GetLength()), '\0');
    strBytes.resize(file.Read(strBytes.data(), strBytes.size()));
    // A file that grew since its length was taken is read to its end.
    char chunk[4096];
    while (const std::size_t n = file.Read(chunk, sizeof chunk))
        strBytes.append(chunk, n);
    file.Close();
    return strBytes;
}
