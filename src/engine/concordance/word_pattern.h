// Patterns matched against whole words: wildcards or a regular expression.
//
// Wildcards: "*" stands for any characters (none included), "?" for exactly one, every other
// character for itself; the pattern is lower-cased as the words are. A regular expression
// (RE2's syntax) must match the whole word and ignores case. A Windows-1252 project's words
// are matched byte for byte as Latin-1 characters, a UTF-8 project's as UTF-8 characters.
// Matching takes time linear in the word, whatever the pattern, and is safe from several
// threads at once. Memory: the compiled pattern, a few kilobytes.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/status.h"

namespace re2 {
class RE2;
}

namespace wordloom {

class UnicodeText;

class WordPattern {
 public:
  // `unicode` is the project's Unicode side (null for Windows-1252). Fails, saying why, when
  // the pattern is empty or not a valid regular expression.
  static Status Wildcard(std::string_view pattern, const UnicodeText* unicode, std::unique_ptr<WordPattern>& out);
  static Status Regex(std::string_view pattern, const UnicodeText* unicode, std::unique_ptr<WordPattern>& out);
  ~WordPattern();

  // `word` is lower case, as the scan gives it.
  bool Matches(std::string_view word) const;
  // A word made only of the pattern's own characters: the lower-cased pattern when it has
  // no wildcard, else empty.
  const std::string& literal() const { return literal_; }

 private:
  WordPattern() = default;
  static Status Compile(const std::string& expression, bool utf8, bool ignoreCase, std::unique_ptr<WordPattern>& out);

  std::unique_ptr<re2::RE2> expression_;
  std::string literal_;
};

}  // namespace wordloom
