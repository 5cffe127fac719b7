// Windows-1252 text, the character set of the strings in recorded reports (report/output).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 to Windows-1252; a character the code page lacks (or a damaged UTF-8 sequence)
// becomes "?".
std::string Utf8ToCp1252(std::string_view utf8);
// Windows-1252 to UTF-8; the five bytes the code page leaves undefined map to the C1
// controls of the same value.
std::string Cp1252ToUtf8(std::string_view bytes);

// One character at a time. NextUtf8 gives the code point at i and moves past it; a damaged
// sequence gives kUtf8Damaged and moves one byte. CharToCp1252 gives the byte, or -1 when
// the code page lacks the character.
constexpr char32_t kUtf8Damaged = 0xFFFFFFFF;
char32_t NextUtf8(std::string_view s, size_t& i);
void AppendUtf8(std::string& out, char32_t c);
int CharToCp1252(char32_t c);
char32_t Cp1252ToChar(uint8_t b);
