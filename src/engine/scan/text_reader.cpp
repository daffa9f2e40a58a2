#include "scan/text_reader.h"

#include <algorithm>
#include <cstring>

#include "base/cp1252.h"
#include "scan/reference_markup.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

int SingleChar(const std::string& rule) {
  return rule.size() == 1 ? static_cast<unsigned char>(rule[0]) : -1;
}

int NextChar(ScanContext& context, LineSource& file, ReaderMode mode, ProgressSink* progress) {
  ScanState& s = context.state;
  for (;;) {
    if (s.linePosition > s.lineLength && !ReadLogicalLine(context, file, mode, progress)) return kNoChar;
    if (s.linePosition > s.lineLength) {
      // An empty logical line (no end-of-line text, no padding) yields "" once.
      ++s.linePosition;
      s.currentChar = kNoChar;
      s.currentClass = 0;
      return kNoChar;
    }
    int c = static_cast<unsigned char>(s.lineBuffer[static_cast<size_t>(s.linePosition - 1)]);
    if (c == s.joinChar) {
      s.joinPending = true;
      s.linePosition = s.lineLength + 1;
      continue;
    }
    if (c == s.endOfLineChar && s.linePosition < s.lineLength) ++s.currentLineNumber;
    ++s.linePosition;
    s.currentChar = c;
    s.currentClass = s.classOfLower[c];
    return c;
  }
}

// A UTF-8 rule of one character beyond ASCII, as the reader's stand-in byte; other rules as they are.
std::string StandIn(ScanState& s, const std::string& rule) {
  if (!s.utf8 || rule.empty() || static_cast<unsigned char>(rule[0]) < 0x80) return rule;
  size_t at = 0;
  NextCodePoint(rule, at);
  if (at != rule.size()) return rule;
  auto known = std::find(s.ruleChars.begin(), s.ruleChars.end(), rule);
  size_t k = static_cast<size_t>(known - s.ruleChars.begin());
  if (known == s.ruleChars.end()) s.ruleChars.push_back(rule);
  return std::string(1, static_cast<char>(kFirstStandIn + k));
}

// A physical line the reader skips when it is not the file's last: spaces only, or nothing.
bool Blank(const char* from, const char* to) {
  return from == to || (*from == ' ' && std::all_of(from, to, [](char c) { return c == ' '; }));
}

}  // namespace

void BeginPass(ScanContext& context, const ScanRules& rules, const CharTables& tables,
               const std::string& padding) {
  ScanState& s = context.state;
  s.utf8 = tables.unicode != nullptr;
  s.ruleChars.clear();
  s.endOfLine = StandIn(s, rules.endOfLine);
  s.join = StandIn(s, rules.join);
  s.endHyphen = StandIn(s, rules.endHyphen);
  s.endPadding = padding;
  s.readReferences = rules.referenceType == ReferenceType::Type1;
  s.leftReference = rules.leftReference;
  s.rightReference = rules.rightReference;
  s.joinChar = SingleChar(s.join);
  s.endOfLineChar = SingleChar(s.endOfLine);
  s.endHyphenChar = SingleChar(s.endHyphen);
  s.leftMarker = SingleChar(StandIn(s, rules.leftReference));
  s.rightMarker = SingleChar(StandIn(s, rules.rightReference));
  const unsigned char* lowerOf = LowerCaseTable().data();
  for (int c = 0; c < 256; ++c) {
    // In UTF-8 text a byte beyond ASCII is part of a character, classed by the Unicode side.
    const unsigned char lower = s.utf8 && c >= 128 ? 0 : lowerOf[c];
    s.classOfLower[c] = static_cast<int8_t>(s.utf8 && c >= 128 ? 0 : tables.CharClassTable[lower] % 10);
  }
  s.lineBuffer.clear();
  s.lineLength = 0;
  s.linePosition = 1;
  s.joinPending = false;
}

void BeginFile(ScanContext& context, const std::string& path) {
  ScanState& s = context.state;
  s.currentFileName = path;
  s.fileLineNumber = 1;
  s.invalidReported = false;
  s.endOfFileCount = 0;
  s.lineBuffer.clear();
  s.lineLength = 0;
  s.linePosition = 1;
}

bool ReadLogicalLine(ScanContext& context, LineSource& file, ReaderMode mode, ProgressSink* progress) {
  ScanState& s = context.state;
  const bool vocabulary = mode == ReaderMode::Vocabulary;
  bool haveLine = false;
  for (;;) {
    if (file.AtEnd()) {
      if (vocabulary) ++s.endOfFileCount;
      if (!haveLine) {
        s.currentClass = 0;
        return false;
      }
      break;
    }
    if (!ReadScanLine(context, file, "", vocabulary)) continue;  // the data ended early
    ++s.fileLineNumber;
    ++s.physicalLineTotal;
    size_t keep = s.lineBuffer.find_last_not_of(' ');
    s.lineBuffer.resize(keep == std::string::npos ? 0 : keep + 1);
    haveLine = true;
    if (!file.AtEnd()) {
      if (s.lineBuffer.empty()) continue;  // a blank line inside the file is skipped
      break;
    }
    s.lineBuffer += s.endOfLine;
    s.lineBuffer += s.endPadding;
  }
  // The end hyphen is compared as a whole string: a rule of two characters never matches.
  bool endsWithHyphen = s.lineBuffer.empty() ? s.endHyphen.empty()
                                             : static_cast<unsigned char>(s.lineBuffer.back()) == s.endHyphenChar;
  if (!endsWithHyphen) s.lineBuffer += s.endOfLine;
  if (!s.joinPending) {
    ++s.currentLineNumber;
    ++s.logicalLineTotal;
  }
  if (progress && s.currentLineNumber % 100 == 0) progress->Yield();
  s.lineLength = static_cast<int64_t>(s.lineBuffer.size());
  s.linePosition = 1;
  s.joinPending = false;
  return true;
}

int NextScanChar(ScanContext& context, LineSource& file, ProgressSink* progress) {
  return NextChar(context, file, ReaderMode::Vocabulary, progress);
}

int NextContextChar(ScanContext& context, LineSource& file, ProgressSink* progress) {
  return NextChar(context, file, ReaderMode::Concordance, progress);
}

bool ReadCharacterRun(ScanContext& context, LineSource& file, ReaderMode mode, CharacterRun& run,
                      ProgressSink* progress) {
  ScanState& s = context.state;
  for (;;) {
    if (s.linePosition > s.lineLength && !ReadLogicalLine(context, file, mode, progress)) return false;
    run.firstLineNumber = s.currentLineNumber;
    run.logicalLineTotal = s.logicalLineTotal;
    if (s.linePosition > s.lineLength) {
      // An empty logical line (no end-of-line text, no padding) yields "" once.
      ++s.linePosition;
      s.currentChar = kNoChar;
      s.currentClass = 0;
      run.text = {};
      run.insideLength = 0;
      run.emptyLine = true;
      return true;
    }
    const size_t length = static_cast<size_t>(s.lineLength);
    const size_t start = static_cast<size_t>(s.linePosition - 1);
    const char* line = s.lineBuffer.data();
    size_t end = length;
    if (s.joinChar >= 0) {
      const void* join = std::memchr(line + start, s.joinChar, length - start);
      if (join) end = static_cast<size_t>(static_cast<const char*>(join) - line);
    }
    if (end == start) {
      // A join character drops the rest of its line and is never returned.
      s.joinPending = true;
      s.linePosition = s.lineLength + 1;
      continue;
    }
    run.text = std::string_view(line + start, end - start);
    run.emptyLine = false;
    // An end-of-line character before the line's last position starts a new numbered line.
    run.insideLength = std::min(end, length - 1) - std::min(start, length - 1);
    if (s.endOfLineChar >= 0) {
      s.currentLineNumber += std::count(run.text.begin(), run.text.begin() + static_cast<std::ptrdiff_t>(run.insideLength),
                                        static_cast<char>(s.endOfLineChar));
    }
    s.linePosition = static_cast<int64_t>(end) + 1;
    s.currentChar = static_cast<unsigned char>(line[end - 1]);
    s.currentClass = s.classOfLower[s.currentChar];
    return true;
  }
}

bool ReadsPlainLines(const ScanState& s) {
  const auto endsWords = [&](int c) { return c >= 0 && s.classOfLower[c] != kWordClass; };
  const int endOfLine = s.endOfLineChar;
  // It is counted in the lines' bytes, so it must be none that trails or ends a line.
  const bool apart = endOfLine != ' ' && endOfLine != '\r' && endOfLine != '\n';
  return !s.utf8 && !s.readReferences && !s.trackOrigins && s.join.empty() && s.endHyphen.empty() &&
         s.endOfLine.size() == 1 && apart && endsWords(endOfLine) && endsWords(' ') && endsWords('\r') &&
         endsWords('\n');
}

namespace {

// Calls `each(from, to)` for each physical line of `lines` (which end at an LF), without its
// terminator: lines end at LF, CR LF or a lone CR.
template <typename Each>
void ForEachPhysicalLine(std::string_view lines, Each&& each) {
  const char* at = lines.data();
  const char* const last = at + lines.size();
  const bool crs = std::memchr(at, '\r', lines.size()) != nullptr;
  while (at < last) {
    const char* lf = static_cast<const char*>(std::memchr(at, '\n', static_cast<size_t>(last - at)));
    for (;;) {
      const char* cr = crs ? static_cast<const char*>(std::memchr(at, '\r', static_cast<size_t>(lf - at))) : nullptr;
      each(at, cr ? cr : lf);
      if (!cr || cr + 1 == lf) break;
      at = cr + 1;
    }
    at = lf + 1;
  }
}

}  // namespace

bool ReadPlainLines(ScanContext& context, LineSource& file, int64_t end, std::string_view& lines,
                    ProgressSink* progress) {
  ScanState& s = context.state;
  if (s.linePosition <= s.lineLength) return false;  // a logical line is being read
  lines = file.LinesAhead(end);
  if (lines.empty()) return false;
  int64_t physical = 0;
  int64_t logical = 0;
  ForEachPhysicalLine(lines, [&](const char* from, const char* to) {
    ++physical;
    if (!Blank(from, to)) ++logical;
  });
  s.fileLineNumber += physical;
  s.physicalLineTotal += physical;
  // Each logical line is numbered, and so is each end-of-line character inside one (blank
  // lines hold none).
  s.currentLineNumber += logical + std::count(lines.begin(), lines.end(), static_cast<char>(s.endOfLineChar));
  s.logicalLineTotal += logical;
  file.Skip(lines.size());
  if (progress) progress->Yield();
  return true;
}

bool ReadPlainLinesEach(ScanContext& context, LineSource& file, int64_t end,
                        const std::function<void(std::string_view)>& line, ProgressSink* progress) {
  ScanState& s = context.state;
  if (s.linePosition <= s.lineLength) return false;  // a logical line is being read
  const std::string_view lines = file.LinesAhead(end);
  if (lines.empty()) return false;
  const int64_t offset = file.nextLineOffset();
  const char endOfLine = static_cast<char>(s.endOfLineChar);
  ForEachPhysicalLine(lines, [&](const char* from, const char* to) {
    ++s.fileLineNumber;
    ++s.physicalLineTotal;
    if (Blank(from, to)) return;  // skipped, as the reader skips a blank line inside a file
    s.physicalLineOffset = offset + (from - lines.data());
    while (to[-1] == ' ') --to;  // trailing spaces are trimmed
    s.lineBuffer.assign(from, to);
    s.lineBuffer += endOfLine;
    s.lineLength = static_cast<int64_t>(s.lineBuffer.size());
    s.linePosition = s.lineLength + 1;
    s.currentLineNumber += 1 + std::count(from, to, endOfLine);
    ++s.logicalLineTotal;
    s.currentChar = static_cast<unsigned char>(endOfLine);
    s.currentClass = s.classOfLower[s.currentChar];
    line(s.lineBuffer);
  });
  file.Skip(lines.size());
  if (progress) progress->Yield();
  return true;
}

}  // namespace wordloom
