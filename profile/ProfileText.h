#pragma once

#include "TContourPoint.h"

#include <string>
#include <string_view>
#include <vector>

/// The text of the .dat file as the review window's memo holds it: the title line, then one
/// line "x y" per table entry in the general number format with '.', lines joined by '\n'
/// and no newline after the last one. The title is UTF-8 and is taken unchanged.
std::string ProfileText(std::string_view title, const std::vector<TContourPoint>& table);

/// The Windows-1252 byte of a character, '?' for characters outside the code page.
char Windows1252Byte(char32_t c);

/// The bytes of the file for a memo text: every line ('\n'-separated; an empty text is one
/// empty line) in Windows-1252, each followed by CR LF, nothing after the last CR LF.
std::string DatFileBytes(std::u32string_view text);
