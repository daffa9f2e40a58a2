#include "base/cp1252.h"

#include <cstring>

namespace wordloom {
namespace {

struct CaseTables {
  std::array<unsigned char, 256> lower{};
  std::array<unsigned char, 256> upper{};

  CaseTables() {
    for (int c = 0; c < 256; ++c) lower[c] = upper[c] = static_cast<unsigned char>(c);
    auto pair = [this](int upperCode, int lowerCode) {
      lower[upperCode] = static_cast<unsigned char>(lowerCode);
      upper[lowerCode] = static_cast<unsigned char>(upperCode);
    };
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c) {
      if (c != 0xD7) pair(c, c + 32);
    }
    pair(0x8A, 0x9A);  // S caron
    pair(0x8C, 0x9C);  // OE
    pair(0x8E, 0x9E);  // Z caron
    pair(0x9F, 0xFF);  // Y diaeresis
  }
};

const CaseTables& Tables() {
  static const CaseTables tables;
  return tables;
}

}  // namespace

const std::array<unsigned char, 256>& LowerCaseTable() { return Tables().lower; }
const std::array<unsigned char, 256>& UpperCaseTable() { return Tables().upper; }

std::string Lower1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(ToLower1252(static_cast<unsigned char>(c)));
  return out;
}

std::string Upper1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(ToUpper1252(static_cast<unsigned char>(c)));
  return out;
}

bool IsLetterOrDigit1252(unsigned char c) {
  if (c >= '0' && c <= '9') return true;
  // Letters have a case partner, but for the few that have none in the code page.
  return ToLower1252(c) != c || ToUpper1252(c) != c || c == 0x83 || c == 0xAA || c == 0xBA || c == 0xDF;
}

bool HasLetterOrDigit1252(std::string_view word) {
  for (char c : word) {
    if (IsLetterOrDigit1252(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

bool IsAscii(std::string_view text) {
  const char* p = text.data();
  size_t n = text.size(), i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t block;
    std::memcpy(&block, p + i, 8);
    if (block & 0x8080808080808080ULL) return false;
  }
  for (; i < n; ++i) {
    if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
  }
  return true;
}

}  // namespace wordloom
