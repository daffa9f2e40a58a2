// Windows-1252 letter case.
//
// Texts are bytes 0-255 read as Windows-1252. Lower- and upper-casing follow that code page:
// A-Z, 0xC0-0xDE except 0xD7, and 0x8A, 0x8C, 0x8E, 0x9F with their lower-case partners.
// Every other byte is its own case partner. The tables are constant and cost nothing to use.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace wordloom {

const std::array<unsigned char, 256>& LowerCaseTable();
const std::array<unsigned char, 256>& UpperCaseTable();

inline unsigned char ToLower1252(unsigned char c) { return LowerCaseTable()[c]; }
inline unsigned char ToUpper1252(unsigned char c) { return UpperCaseTable()[c]; }

std::string Lower1252(std::string_view text);

// A letter or a decimal digit of Windows-1252: what a word needs when the project asks for one.
bool IsLetterOrDigit1252(unsigned char c);
bool HasLetterOrDigit1252(std::string_view word);
std::string Upper1252(std::string_view text);

// True when every byte of `text` is below 128: ASCII, which Windows-1252 and UTF-8 share.
bool IsAscii(std::string_view text);

}  // namespace wordloom
