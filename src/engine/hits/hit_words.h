// The words of the reader's character stream, with their stream offsets: the same words the
// keyword pass examines (runs of word characters in Windows-1252, the word cutter's in UTF-8).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "scan/scan_rules.h"
#include "unicode/unicode_text.h"

namespace wordloom {

struct StreamWord {
  int64_t start = 0;  // stream offsets: [start, end)
  int64_t end = 0;
  std::string lower;
};

class StreamWords {
 public:
  using Sink = std::function<void(StreamWord&&)>;
  // `isWord` classes the reader's bytes (Windows-1252 projects). Without `lower`, Windows-1252
  // words come without their lower-case text (only where they stand is wanted).
  StreamWords(const CharTables& tables, const std::array<bool, 256>& isWord, Sink sink, bool lower = true);

  // The next piece of the stream.
  void Feed(std::string_view text);
  // An empty logical line: it ends a UTF-8 word, as the keyword pass has it.
  void Break();
  // The end of the stream: a word still open is dropped.
  void Finish();

 private:
  Sink sink_;
  std::array<bool, 256> isWord_;
  bool needLetter_;
  bool lower_;
  bool hasLetter_ = false;  // the open word has a letter or a digit (without `lower`)
  std::unique_ptr<WordCutter> cutter_;  // UTF-8
  int64_t consumed_ = 0;
  bool open_ = false;
  StreamWord word_;
};

}  // namespace wordloom
