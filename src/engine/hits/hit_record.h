// The hit store's files: one fixed-size record a hit ("~H1"), and their strings ("~H2").
#pragma once

#include <cstdint>

namespace wordloom {

struct HitRecord {
  int64_t offset = 0;
  int64_t length = 0;
  int64_t fileLine = 0;
  int64_t line = 0;
  int64_t sequence = 0;
  // The text the contexts are cut from: the file from the start of the physical line
  // windowStart to windowEnd (-1: the file's end), read as the reader reads it; the key is
  // keyLength bytes of that stream from keyStart on.
  int64_t windowStart = 0;
  int64_t windowEnd = -1;
  int64_t keyStart = 0;
  int64_t keyLength = 0;
  // A nearer start for the usual contexts: the line of the fifth word before the key.
  int64_t nearStart = 0;
  int64_t nearKeyStart = 0;
  int64_t strings = 0;  // where its strings start in "~H2": citation, text, the sort words
  int32_t file = 0;
  int32_t key = 0;
};

// Each string is a 32-bit length and its bytes.
inline constexpr int kHitStrings = 2 + 11;

}  // namespace wordloom
