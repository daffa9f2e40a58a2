// WordCutter: the words of a UTF-8 character stream, by word characters or by UAX #29.
#include <unicode/ubrk.h>
#include <unicode/utext.h>

#include "unicode/unicode_text.h"

namespace wordloom {

WordCutter::WordCutter(const UnicodeText& unicode, Sink sink) : unicode_(unicode), sink_(std::move(sink)) {
  if (unicode_.boundaries() == WordBoundaries::Unicode) {
    UErrorCode error = U_ZERO_ERROR;
    breaker_ = ubrk_open(UBRK_WORD, "", nullptr, 0, &error);
    if (U_FAILURE(error)) breaker_ = nullptr;
  }
}

WordCutter::~WordCutter() {
  if (breaker_) ubrk_close(breaker_);
}

void WordCutter::Emit(int64_t offset, std::string_view text) {
  if (!unicode_.KeepsWord(text)) return;
  lower_.clear();
  unicode_.AppendLower(text, lower_);
  sink_(offset, text, lower_);
}

void WordCutter::Feed(std::string_view piece) {
  const int64_t base = consumed_;
  consumed_ += static_cast<int64_t>(piece.size());
  if (breaker_) {
    if (open_.empty()) openOffset_ = base;
    open_.append(piece);
    CutUnicode(false);
    return;
  }
  CutAlphabet(piece, base, false);
}

void WordCutter::Break() {
  if (breaker_) {
    CutUnicode(true);
  } else if (!open_.empty()) {
    Emit(openOffset_, open_);
    open_.clear();
  }
}

void WordCutter::Discard() { open_.clear(); }

// Maximal runs of word characters; a run that reaches the end of the piece stays open.
void WordCutter::CutAlphabet(std::string_view text, int64_t base, bool) {
  size_t at = 0;
  size_t wordStart = 0;
  bool inWord = !open_.empty();
  while (at < text.size()) {
    const size_t start = at;
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    const char32_t c = byte < 0x80 ? (++at, byte) : NextCodePoint(text, at);
    const bool word = unicode_.IsWordChar(c);
    if (word && !inWord) {
      inWord = true;
      wordStart = start;
      openOffset_ = base + static_cast<int64_t>(start);
    } else if (!word && inWord) {
      inWord = false;
      if (!open_.empty()) {
        open_.append(text.substr(0, start));
        Emit(openOffset_, open_);
        open_.clear();
      } else {
        Emit(openOffset_, text.substr(wordStart, start - wordStart));
      }
    }
  }
  if (inWord) {
    if (open_.empty()) {
      open_.assign(text.substr(wordStart));
    } else {
      open_.append(text);
    }
  }
}

// The segments of the text since the last boundary. Every segment but the last is settled;
// the last may grow with the next piece, unless `final`.
void WordCutter::CutUnicode(bool final) {
  if (open_.empty()) return;
  UErrorCode error = U_ZERO_ERROR;
  UText* text = utext_openUTF8(nullptr, open_.data(), static_cast<int64_t>(open_.size()), &error);
  ubrk_setUText(breaker_, text, &error);
  if (U_FAILURE(error)) {
    utext_close(text);
    open_.clear();
    return;
  }
  int32_t start = ubrk_first(breaker_);
  int32_t settled = 0;
  for (int32_t end = ubrk_next(breaker_); end != UBRK_DONE; start = end, end = ubrk_next(breaker_)) {
    const bool last = static_cast<size_t>(end) == open_.size();
    if (last && !final) break;
    if (ubrk_getRuleStatus(breaker_) >= UBRK_WORD_NUMBER) {
      Emit(openOffset_ + start, std::string_view(open_).substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
    }
    settled = end;
  }
  utext_close(text);
  openOffset_ += settled;
  open_.erase(0, static_cast<size_t>(settled));
}

}  // namespace wordloom
