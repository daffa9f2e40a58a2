// Citation records: the finds of a concordance run, and the interfaces that pass them on.
//
// A pass pushes its finds into a CitationSink in text order; the ordering pulls them back
// out of a CitationSource in output order. A record names its key by number, the key's
// 1-based position in the run's key list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wordloom {

struct CitationRecord {
  int64_t keyNumber = 0;
  int64_t sequence = 0;       // the count of numbered lines when the find was read
  std::string citation;
  std::string leftContext;    // the characters before the word, or the whole line
  std::string rightContext;   // the word and the characters after it
};

class CitationSink {
 public:
  virtual ~CitationSink() = default;
  virtual void Add(int64_t keyNumber, int64_t sequence, std::string_view citation, std::string_view leftContext,
                   std::string_view rightContext) = 0;
};

class CitationSource {
 public:
  virtual ~CitationSource() = default;
  // The next record; false after the last.
  virtual bool Next(CitationRecord& record) = 0;
};

}  // namespace wordloom
