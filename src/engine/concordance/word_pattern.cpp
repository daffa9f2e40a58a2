#include "concordance/word_pattern.h"

#include <re2/re2.h>

#include "base/cp1252.h"
#include "unicode/unicode_text.h"

namespace wordloom {

WordPattern::~WordPattern() = default;

Status WordPattern::Compile(const std::string& expression, bool utf8, bool ignoreCase,
                            std::unique_ptr<WordPattern>& out) {
  RE2::Options options;
  options.set_encoding(utf8 ? RE2::Options::EncodingUTF8 : RE2::Options::EncodingLatin1);
  options.set_case_sensitive(!ignoreCase);
  options.set_log_errors(false);
  options.set_dot_nl(true);
  auto compiled = std::make_unique<re2::RE2>(expression, options);
  if (!compiled->ok()) return Status::Error("Not a valid regular expression: " + compiled->error());
  out.reset(new WordPattern());
  out->expression_ = std::move(compiled);
  return Status::Ok();
}

Status WordPattern::Wildcard(std::string_view pattern, const UnicodeText* unicode, std::unique_ptr<WordPattern>& out) {
  if (pattern.empty()) return Status::Error("The pattern is empty.");
  const std::string lowered = unicode ? unicode->FoldKey(std::string(pattern)) : Lower1252(std::string(pattern));
  std::string expression;
  bool wild = false;
  for (char c : lowered) {
    if (c == '*' || c == '?') {
      expression += c == '*' ? ".*" : ".";
      wild = true;
    } else {
      expression += RE2::QuoteMeta(std::string(1, c));
    }
  }
  // A multi-byte character quoted byte by byte is still that character.
  Status status = Compile("(?s)" + expression, unicode != nullptr, false, out);
  if (status.ok() && !wild) out->literal_ = lowered;
  return status;
}

Status WordPattern::Regex(std::string_view pattern, const UnicodeText* unicode, std::unique_ptr<WordPattern>& out) {
  if (pattern.empty()) return Status::Error("The pattern is empty.");
  std::string expression(pattern);
  if (!unicode) {
    // Latin-1 gives the code page's own letters at 0x8A to 0x9F no case: their capitals are
    // written small, as the words are.
    for (char& c : expression) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte >= 0x80 && byte < 0xA0) c = static_cast<char>(ToLower1252(byte));
    }
  }
  return Compile(expression, unicode != nullptr, true, out);
}

bool WordPattern::Matches(std::string_view word) const {
  if (!literal_.empty()) return word == literal_;  // no wildcard: the word itself
  return RE2::FullMatch(re2::StringPiece(word.data(), word.size()), *expression_);
}

}  // namespace wordloom
