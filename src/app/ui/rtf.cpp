#include "ui/rtf.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

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

RtfWriter::RtfWriter(const std::string& fontName, double pointSize, Sink sink) : sink_(std::move(sink)) {
  out_ = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fmodern ";
  for (char c : fontName) AppendEscaped(out_, c);
  out_ += ";}}\r\n\\f0\\fs" + std::to_string(static_cast<long>(std::lround(pointSize * 2))) + " ";
}

bool RtfWriter::Write(std::string_view text) {
  for (char c : text) {
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

bool RtfWriter::Finish() {
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

std::string RtfDocument(std::string_view text, const std::string& fontName, double pointSize) {
  std::string document;
  RtfWriter writer(fontName, pointSize, [&](std::string_view bytes) {
    document += bytes;
    return true;
  });
  (void)writer.Write(text);
  (void)writer.Finish();
  return document;
}

std::string RtfPlainText(std::string_view rtf) {
  std::string text;
  int depth = 0;
  int skipDepth = 0;  // inside a skipped group while depth >= skipDepth > 0
  int pendingSkip = 0;  // characters to drop after a \u control (one by default)
  auto emit = [&](char c) {
    if (skipDepth != 0) return;
    if (pendingSkip > 0) {
      --pendingSkip;
      return;
    }
    text += c;
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
      emit(c);
      groupStart = false;
      ++i;
      continue;
    }
    // A control: an escaped symbol, a hex byte, or a control word with an optional number.
    ++i;
    if (i >= rtf.size()) break;
    const char next = rtf[i];
    if (next == '\\' || next == '{' || next == '}') {
      emit(next);
      ++i;
    } else if (next == '\'') {
      if (i + 2 < rtf.size() && std::isxdigit(static_cast<unsigned char>(rtf[i + 1])) &&
          std::isxdigit(static_cast<unsigned char>(rtf[i + 2]))) {
        emit(static_cast<char>(std::strtol(std::string(rtf.substr(i + 1, 2)).c_str(), nullptr, 16)));
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
        emit('\n');
      } else if (word == "tab") {
        emit('\t');
      } else if (word == "u") {
        const long code = parameter < 0 ? parameter + 65536 : parameter;
        emit(code <= 0xFF ? static_cast<char>(code) : '?');
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
