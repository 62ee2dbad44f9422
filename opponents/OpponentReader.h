#pragma once

#include "opponents/CarRecord.h"

#include <functional>
#include <memory>
#include <string>

class CFile;

// Given a file base, gives a picture index (-1 for none).
using PictureSource = std::function<int(const std::string& strFileBase)>;

// One line from the current position; carriage returns are dropped, the line feed is consumed.
// Raises CFileException::EndOfInput() when no byte is left.
std::string ReadLine(CFile& file);

// The value of a line: the part before "//" less the character just before it, trimmed.
std::string ExtractValue(const std::string& strLine);

// One whole record of eleven values; the file is left at the start of the twelfth value's line.
// Gives none when the record is incomplete or a file error occurs.
std::unique_ptr<CarRecord> ParseRecord(CFile& file, const PictureSource& pictureSource);
