#pragma once

#include <string>

// The file's bytes, all of them. Raises CFileException.
std::string ReadWholeFile(const std::string& strPath);
