#include "ui/rtf.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "ui/code_page.h"
#include "ui/output_text.h"

namespace wordloom::app {
namespace {

constexpr size_t kFlushSize = 64 * 1024;

void AppendEscaped(std::string& out, char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (c == '\\' || c == '{' || c == '}') {
    out += '\\';
    out += c;
  } else if (c == '\t') {
    out += "\\tab ";
  } else if (byte < 0x20 || byte > 0x7F) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\'%02x", byte);
    out += hex;
  } else {
    out += c;
  }
}

// Groups whose text is not part of the document.
bool IsSkippedDestination(std::string_view word) {
  return word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" || word == "pict" ||
         word == "header" || word == "footer" || word == "listtable" || word == "listoverridetable";
}

}  // namespace

RtfWriter::RtfWriter(const std::string& fontName, double pointSize, Sink sink, TextEncoding encoding)
    : sink_(std::move(sink)), utf8_(encoding == TextEncoding::Utf8) {
  out_ = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern ";
  for (char c : fontName) AppendEscaped(out_, c);
  out_ += ";}}\r\n\\f0\\fs" + std::to_string(static_cast<long>(std::lround(pointSize * 2))) + " ";
}

bool RtfWriter::Write(std::string_view text) {
  for (char c : text) {
    if (utf8_ && (!sequence_.empty() || static_cast<unsigned char>(c) >= 0x80) && AddUtf8Byte(c)) {
      if (out_.size() >= kFlushSize && !Flush()) return false;
      continue;
    }
    if (pendingCr_) {
      pendingCr_ = false;
      if (c == '\n') {
        out_ += "\\par\r\n";
        continue;
      }
      AppendEscaped(out_, '\r');
    }
    if (c == '\r') {
      pendingCr_ = true;
    } else if (c == '\n') {
      out_ += "\\par\r\n";
    } else {
      AppendEscaped(out_, c);
    }
    if (out_.size() >= kFlushSize && !Flush()) return false;
  }
  return !failed_;
}

// A character cut short by a byte that cannot continue it is written as U+FFFD, and that byte
// is taken on its own.
bool RtfWriter::AddUtf8Byte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (!sequence_.empty()) {
    if ((byte & 0xC0) == 0x80) {
      sequence_ += c;
      if (sequence_.size() < Utf8SequenceLength(static_cast<unsigned char>(sequence_[0]))) return true;
      size_t length = 0;
      const char32_t decoded = DecodeUtf8At(sequence_, 0, length);
      AppendCharacter(length != 0 ? decoded : 0xFFFD);
      sequence_.clear();
      return true;
    }
    AppendCharacter(0xFFFD);
    sequence_.clear();
    if (byte < 0x80) return false;
  }
  if (pendingCr_) {
    pendingCr_ = false;
    AppendEscaped(out_, '\r');
  }
  if (Utf8SequenceLength(byte) == 0) {
    AppendCharacter(0xFFFD);
  } else {
    sequence_ = c;
  }
  return true;
}

void RtfWriter::AppendCharacter(char32_t c) {
  const auto appendUnit = [this](char32_t unit) {
    const auto value = static_cast<int32_t>(unit);
    out_ += "\\u" + std::to_string(value > 0x7FFF ? value - 0x10000 : value) + "?";
  };
  if (c > 0xFFFF) {
    appendUnit(0xD800 + ((c - 0x10000) >> 10));
    appendUnit(0xDC00 + ((c - 0x10000) & 0x3FF));
  } else {
    appendUnit(c);
  }
}

bool RtfWriter::Finish() {
  if (!sequence_.empty()) AppendCharacter(0xFFFD);
  sequence_.clear();
  if (pendingCr_) AppendEscaped(out_, '\r');  // a CR alone is part of the text
  pendingCr_ = false;
  out_ += "\r\n}\r\n";
  return Flush();
}

bool RtfWriter::Flush() {
  if (!failed_ && !out_.empty() && !sink_(out_)) failed_ = true;
  out_.clear();
  return !failed_;
}

std::string RtfDocument(std::string_view text, const std::string& fontName, double pointSize,
                        TextEncoding encoding) {
  std::string document;
  RtfWriter writer(
      fontName, pointSize,
      [&](std::string_view bytes) {
        document += bytes;
        return true;
      },
      encoding);
  (void)writer.Write(text);
  (void)writer.Finish();
  return document;
}

std::string RtfPlainText(std::string_view rtf, TextEncoding encoding) {
  const bool utf8 = encoding == TextEncoding::Utf8;
  std::string text;
  int depth = 0;
  int skipDepth = 0;  // inside a skipped group while depth >= skipDepth > 0
  int pendingSkip = 0;  // characters to drop after a \u control (one by default)
  char32_t highSurrogate = 0;  // the first half of a UTF-16 pair, for UTF-8
  auto putText = [&](std::string_view character) {
    if (skipDepth != 0) return;
    if (pendingSkip > 0) {
      --pendingSkip;
      return;
    }
    text += character;
  };
  auto put = [&](char c) { putText(std::string_view(&c, 1)); };
  // The character of a "\u" control: a byte (or "?") in Windows-1252, UTF-8 otherwise.
  auto putUnit = [&](char32_t unit) {
    pendingSkip = 0;  // a "\u" right after another: the first had no fallback character
    if (!utf8) return put(unit <= 0xFF ? static_cast<char>(unit) : '?');
    if (unit >= 0xD800 && unit < 0xDC00) {
      highSurrogate = unit;
      return;
    }
    char32_t c = unit;
    if (unit >= 0xDC00 && unit < 0xE000) {
      c = highSurrogate != 0 ? 0x10000 + ((highSurrogate - 0xD800) << 10) + (unit - 0xDC00) : 0xFFFD;
    }
    highSurrogate = 0;
    std::string character;
    AppendUtf8(character, c);
    putText(character);
  };
  size_t i = 0;
  bool groupStart = false;
  while (i < rtf.size()) {
    const char c = rtf[i];
    if (c == '{') {
      ++depth;
      groupStart = true;
      ++i;
      continue;
    }
    if (c == '}') {
      if (skipDepth != 0 && depth == skipDepth) skipDepth = 0;
      --depth;
      groupStart = false;
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      put(c);
      groupStart = false;
      ++i;
      continue;
    }
    // A control: an escaped symbol, a hex byte, or a control word with an optional number.
    ++i;
    if (i >= rtf.size()) break;
    const char next = rtf[i];
    if (next == '\\' || next == '{' || next == '}') {
      put(next);
      ++i;
    } else if (next == '\'') {
      if (i + 2 < rtf.size() && std::isxdigit(static_cast<unsigned char>(rtf[i + 1])) &&
          std::isxdigit(static_cast<unsigned char>(rtf[i + 2]))) {
        const char byte = static_cast<char>(std::strtol(std::string(rtf.substr(i + 1, 2)).c_str(), nullptr, 16));
        if (utf8 && static_cast<unsigned char>(byte) >= 0x80) {
          putText(Decode1252(std::string_view(&byte, 1)).toUtf8().toStdString());
        } else {
          put(byte);
        }
        i += 3;
      } else {
        ++i;
      }
    } else if (next == '*') {
      if (groupStart && skipDepth == 0) skipDepth = depth;
      ++i;
    } else if (std::isalpha(static_cast<unsigned char>(next))) {
      size_t wordEnd = i;
      while (wordEnd < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[wordEnd]))) ++wordEnd;
      std::string_view word = rtf.substr(i, wordEnd - i);
      size_t numberEnd = wordEnd;
      if (numberEnd < rtf.size() && rtf[numberEnd] == '-') ++numberEnd;
      while (numberEnd < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[numberEnd]))) ++numberEnd;
      const long parameter =
          numberEnd > wordEnd ? std::strtol(std::string(rtf.substr(wordEnd, numberEnd - wordEnd)).c_str(), nullptr, 10)
                              : 0;
      i = numberEnd;
      if (i < rtf.size() && rtf[i] == ' ') ++i;  // the delimiting space belongs to the control
      if (groupStart && skipDepth == 0 && IsSkippedDestination(word)) skipDepth = depth;
      if (word == "par" || word == "line") {
        put('\n');
      } else if (word == "tab") {
        put('\t');
      } else if (word == "u") {
        putUnit(static_cast<char32_t>(parameter < 0 ? parameter + 65536 : parameter));
        if (skipDepth == 0) pendingSkip = 1;
      }
    } else {
      ++i;  // another control symbol ("\~", "\-"): nothing to show
    }
    groupStart = false;
  }
  return text;
}

}  // namespace wordloom::app
