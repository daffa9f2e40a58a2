#include "scan/reference_markup.h"

#include <cstring>

#include "base/cp1252.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

constexpr const char* kCrLf = "\r\n";

void ReportSyntaxError(ScanContext& context, const std::string& line, const std::string& message) {
  const ScanState& state = context.state;
  std::string& report = context.ErrorReportText;
  report += "FILE: " + state.currentFileName + kCrLf;
  report += "ERROR: syntax error on line " + std::to_string(state.fileLineNumber) + kCrLf;
  std::string shown = line;
  RestoreRuleChars(state, shown);
  report += "CONTEXT: " + shown + kCrLf;
  report += message + kCrLf;
  report += kCrLf;
}

void ReportInvalidUtf8(ScanContext& context) {
  ScanState& state = context.state;
  if (state.invalidReported) return;
  state.invalidReported = true;
  context.ErrorReportText += "FILE: " + state.currentFileName + kCrLf + "ERROR: not valid UTF-8 at line " +
                             std::to_string(state.fileLineNumber) + kCrLf + kCrLf;
}

// Decodes a line that decoding changes, keeping the origins: each user-perceived character
// decodes alone, from where it began (NFC never joins two of them). Should the pieces not add
// up to the line as a whole decodes, the line keeps one origin.
void DecodeTracked(ScanState& state, std::string_view raw, ScanContext& context) {
  if (DecodeLine(raw, state.lineBuffer) != std::string_view::npos) ReportInvalidUtf8(context);
  const int64_t base = state.origins.FileOffset(0);
  LineOrigins origins;
  origins.Reset(base);
  std::string piece;
  size_t decoded = 0;
  for (size_t at = 0; at < raw.size();) {
    size_t end = ClusterEnd(raw, at);
    if (end == at + 1 && static_cast<unsigned char>(raw[at]) < 0x80) {
      ++decoded;  // ASCII stands for itself
    } else {
      DecodeLine(raw.substr(at, end - at), piece);
      if (piece.size() != end - at || raw.compare(at, end - at, piece) != 0) origins.Replace(decoded, end - at, piece.size());
      decoded += piece.size();
    }
    at = end;
  }
  if (decoded != state.lineBuffer.size()) {
    origins.Reset(base);
    origins.Replace(0, raw.size(), state.lineBuffer.size());
  }
  state.origins = origins;
}

// A UTF-8 text's physical line into the line buffer: the byte-order mark skipped, invalid
// sequences replaced (the file's first one reported), NFC, rule characters as stand-ins.
void DecodeUtf8Line(ScanContext& context) {
  ScanState& state = context.state;
  std::string_view raw = state.rawLine;
  if (state.fileLineNumber == 1 && raw.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    raw.remove_prefix(kByteOrderMark.size());
    if (state.trackOrigins) state.origins.Replace(0, kByteOrderMark.size(), 0);
  }
  if (state.trackOrigins && !IsCleanLine(raw)) {
    DecodeTracked(state, raw, context);
  } else if (IsCleanLine(raw)) {
    state.rawLine.erase(0, state.rawLine.size() - raw.size());  // the byte-order mark
    state.lineBuffer.swap(state.rawLine);                        // nothing to decode
  } else if (DecodeLine(raw, state.lineBuffer) != std::string_view::npos) {
    ReportInvalidUtf8(context);
  }
  for (size_t k = 0; k < state.ruleChars.size(); ++k) {
    const std::string& rule = state.ruleChars[k];
    for (size_t at = state.lineBuffer.find(rule); at != std::string::npos; at = state.lineBuffer.find(rule, at + 1)) {
      state.lineBuffer.replace(at, rule.size(), 1, static_cast<char>(kFirstStandIn + k));
      if (state.trackOrigins) state.origins.Replace(at, rule.size(), 1);
    }
  }
}

}  // namespace

int64_t LeadingInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  constexpr int64_t kMax = int64_t{1} << 62;  // far beyond any text, and safe to count on from
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    int digit = text[i] - '0';
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return negative ? -value : value;
}

void ProcessReferenceLine(ScanContext& context, std::string& line, bool markLetters) {
  ScanState& state = context.state;
  if (state.leftMarker < 0) return;  // a marker that is not one character never matches
  const char left = static_cast<char>(state.leftMarker);
  const int right = state.rightMarker;
  auto isRight = [&](size_t at) { return at < line.size() && static_cast<unsigned char>(line[at]) == right; };

  // `line` is walked and changed one for one (right markers become spaces), so that an
  // error's context shows the line as it stands; the output is built beside it.
  const size_t n = line.size();
  std::string out;
  out.reserve(n);
  size_t i = 0;
  while (i < n) {
    const void* found = std::memchr(line.data() + i, left, n - i);
    size_t at = found ? static_cast<size_t>(static_cast<const char*>(found) - line.data()) : n;
    out.append(line, i, at - i);
    i = at;
    if (i >= n) break;

    const size_t tagStart = i;
    const size_t outAt = out.size();
    unsigned char letterChar = i + 1 < n ? ToUpper1252(static_cast<unsigned char>(line[i + 1])) : 0;
    if (letterChar < 'A' || letterChar > 'Z') {
      // A comment tag: skipped up to its right marker, which becomes a space.
      while (i + 1 < n && !isRight(i)) ++i;
      if (isRight(i)) line[i] = ' ';
    } else {
      int letter = letterChar - 'A' + 1;
      if (markLetters) context.references.ReferenceLetterUsed[letter] = 1;
      i += 2;
      bool spaced = false;
      while (i + 1 < n && line[i] == ' ') {
        ++i;
        spaced = true;
      }
      if (!spaced) {
        ReportSyntaxError(context, line,
                          "MESSAGE: At least one space must come after " + state.leftReference +
                              static_cast<char>(letterChar));
      }
      size_t valueStart = i;
      while (i + 1 < n && !isRight(i)) ++i;
      if (!isRight(i)) {
        ReportSyntaxError(context, line,
                          "MESSAGE: Left reference \"" + state.leftReference +
                              "\" does not have a matching right reference \"" + state.rightReference + "\"");
      } else {
        std::string_view value(line.data() + valueStart, i - valueStart);
        if (letter == 12) {
          char first = valueStart < n ? line[valueStart] : '\0';
          if (first < '0' || first > '9') {
            ReportSyntaxError(context, line, "MESSAGE: \"L \" must be followed by a number");
          }
          state.currentLineNumber = LeadingInteger(value) - 1;
        }
        size_t skip = 0;
        while (skip < value.size() && value[skip] == ' ') ++skip;
        std::string& stored = context.references.ReferenceLetterValue[letter];
        stored.assign(value.substr(skip));
        RestoreRuleChars(state, stored);
        ++context.references.ReferenceLetterSets[letter];
        line[i] = ' ';
      }
    }
    // The tag is gone; its last character (a space where it was the right marker) stays.
    if (state.trackOrigins && i > tagStart) state.origins.Replace(outAt, i - tagStart, 0);
    if (i < n) out.push_back(line[i]);
    ++i;
  }
  line.swap(out);
}

bool ReadScanLine(ScanContext& context, LineSource& file, std::string_view suffix, bool markLetters) {
  ScanState& state = context.state;
  if (state.utf8) {
    if (!file.ReadLine(state.rawLine)) return false;
    if (state.trackOrigins) state.origins.Reset(file.lineOffset());
    DecodeUtf8Line(context);
  } else if (!file.ReadLine(state.lineBuffer)) {
    return false;
  } else if (state.trackOrigins) {
    state.origins.Reset(file.lineOffset());
  }
  state.physicalLineOffset = file.lineOffset();
  if (file.AtEnd()) state.lineBuffer += context.references.contextPadding;
  state.lineBuffer += suffix;
  if (state.readReferences) ProcessReferenceLine(context, state.lineBuffer, markLetters);
  return true;
}

}  // namespace wordloom
