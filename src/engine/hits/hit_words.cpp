#include "hits/hit_words.h"

#include "base/cp1252.h"

namespace wordloom {

StreamWords::StreamWords(const CharTables& tables, const std::array<bool, 256>& isWord, Sink sink, bool lower)
    : sink_(std::move(sink)), isWord_(isWord), needLetter_(tables.needLetter), lower_(lower) {
  if (tables.unicode) {
    cutter_ = std::make_unique<WordCutter>(*tables.unicode, [this](int64_t offset, std::string_view text,
                                                                   std::string_view lower) {
      sink_(StreamWord{offset, offset + static_cast<int64_t>(text.size()), std::string(lower)});
    });
  }
}

void StreamWords::Feed(std::string_view text) {
  if (cutter_) {
    cutter_->Feed(text);
    return;
  }
  const unsigned char* lower = LowerCaseTable().data();
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (!open_) {
      while (i < n && !isWord_[bytes[i]]) ++i;
      if (i == n) break;
      open_ = true;
      word_.start = consumed_ + static_cast<int64_t>(i);
      word_.lower.clear();
      hasLetter_ = false;
    }
    size_t end = i;
    while (end < n && isWord_[bytes[end]]) ++end;
    if (lower_) {
      const size_t had = word_.lower.size();
      word_.lower.resize(had + end - i);
      for (size_t k = i; k < end; ++k) word_.lower[had + k - i] = static_cast<char>(lower[bytes[k]]);
    } else if (needLetter_ && !hasLetter_) {
      hasLetter_ = HasLetterOrDigit1252(text.substr(i, end - i));
    }
    i = end;
    if (i == n) break;  // the word may run on into the next piece
    open_ = false;
    word_.end = consumed_ + static_cast<int64_t>(i);
    // Under the need-letter rule a word of apostrophes and hyphens is no word.
    if (!needLetter_ || (lower_ ? HasLetterOrDigit1252(word_.lower) : hasLetter_)) sink_(std::move(word_));
    word_ = StreamWord{};
  }
  consumed_ += static_cast<int64_t>(text.size());
}

void StreamWords::Break() {
  if (cutter_) cutter_->Break();
}

void StreamWords::Finish() {
  if (cutter_) cutter_->Discard();
  open_ = false;
}

}  // namespace wordloom
