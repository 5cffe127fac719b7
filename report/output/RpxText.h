// Windows-1252 text, the character set of the strings in recorded reports (report/output).
#pragma once

#include <string>
#include <string_view>

// UTF-8 to Windows-1252; a character the code page lacks (or a damaged UTF-8 sequence)
// becomes "?".
std::string Utf8ToCp1252(std::string_view utf8);
// Windows-1252 to UTF-8; the five bytes the code page leaves undefined map to the C1
// controls of the same value.
std::string Cp1252ToUtf8(std::string_view bytes);
