#include <optional>
#include <string>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "concordance/citation.h"
#include "concordance/gather.h"
#include "concordance/key_table.h"
#include "scan/text_reader.h"
#include "unicode/unicode_text.h"

namespace wordloom {

namespace {

// The numbered lines of `file` from the reader's position on, as the stretch asks.
Status ReadLines(ScanContext& context, const CharTables& tables, LineSource& file, const GatherQuery& query,
                 CitationSink& sink, const TextStretch& stretch, ProgressSink* progress) {
  ScanState& s = context.state;
  WordCharTable isWord;
  for (int c = 0; c < 256; ++c) isWord[static_cast<size_t>(c)] = s.classOfLower[c] == kWordClass;
  // UTF-8: bytes beyond ASCII belong to word characters once the others are masked.
  const UnicodeText* unicode = tables.unicode.get();
  if (unicode) {
    for (int c = 128; c < 256; ++c) isWord[static_cast<size_t>(c)] = true;
    isWord[static_cast<unsigned char>(kNotWordByte)] = false;
  }
  std::optional<KeyTable> ownKeys;
  KeyTable& keys = query.keyTable ? *query.keyTable : ownKeys.emplace(query.kind, query.keys);
  std::vector<size_t> matched;
  const bool whole = stretch.charsBefore == 0 && stretch.examineFrom <= 1 && stretch.examineTo == INT64_MAX;

  // The character readers hand out "" once the file is exhausted; an empty end-of-line text
  // equals it.
  const std::string& endOfLine = s.endOfLine;
  auto isEndOfLine = [&](int c) {
    return c == kNoChar ? endOfLine.empty() : endOfLine.size() == 1 && static_cast<unsigned char>(endOfLine[0]) == c;
  };
  auto exhausted = [&] { return file.AtEnd() && s.linePosition > s.lineLength; };
  int64_t handedOut = stretch.charsBefore;  // the characters read so far, the current one among them
  auto next = [&] {
    const int c = NextContextChar(context, file, progress);
    if (c != kNoChar) ++handedOut;
    return c;
  };
  // True when the next read may take in another logical line: this one is used up, or a
  // join character drops the rest of it.
  auto mayReadLine = [&] {
    return s.linePosition > s.lineLength ||
           static_cast<unsigned char>(s.lineBuffer[static_cast<size_t>(s.linePosition - 1)]) == s.joinChar;
  };

  std::string line, lowered, citation;
  auto cite = [&](int64_t lineNumber) {
    citation.clear();
    BuildCitation(query.letters, lineNumber, query.lineNumberWidth, context.references.ReferenceLetterValue, citation);
  };
  int c = next();
  while (!exhausted()) {
    if (progress && progress->StopRequested()) break;
    if (isEndOfLine(c)) c = next();
    const int64_t lineStart = handedOut;
    if (!whole && lineStart > stretch.examineTo) break;
    const int64_t lineNumber = s.currentLineNumber;
    const int64_t sequence = s.logicalLineTotal;
    line.clear();
    // A line is cited with the reference values in force when its last character was read.
    // They change only when the reader takes in another logical line with its tags, so the
    // citation is built before each read that may do so; when that read starts the next
    // line, the citation stands, otherwise it is built again once the line has ended.
    bool citedBeforeRead = false;
    while (!exhausted() && s.currentLineNumber == lineNumber) {
      if (!isEndOfLine(c) && c != kNoChar) {
        if (line.empty() && query.lineStarted) {
          query.lineStarted(s.origins.FileOffset(static_cast<size_t>(s.linePosition - 2)), s.fileLineNumber - 1);
        }
        line += static_cast<char>(c);
      }
      citedBeforeRead = mayReadLine();
      if (citedBeforeRead) cite(lineNumber);
      c = next();
    }
    if (!citedBeforeRead || s.currentLineNumber == lineNumber) cite(lineNumber);
    if (!whole && lineStart < stretch.examineFrom) continue;
    if (unicode) {
      RestoreRuleChars(s, line);
      lowered = unicode->MatchingText(line);
    } else {
      lowered = Lower1252(line);
    }
    if (query.matchLine) {
      query.matchLine(lowered, isWord, matched);
    } else {
      keys.Match(lowered, isWord, matched);
    }
    for (size_t n : matched) {
      sink.Add(static_cast<int64_t>(n + 1), sequence, citation, query.keepContexts ? std::string_view(line) : "", "");
    }
  }
  return file.error();
}

}  // namespace

Status GatherLine(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                  const GatherQuery& query, CitationSink& sink, ProgressSink* progress) {
  LineSource file;
  Status opened = file.Open(path);
  if (!opened.ok()) return opened;
  BeginPass(context, rules, tables, "");
  BeginFile(context, path);
  return ReadLines(context, tables, file, query, sink, TextStretch{}, progress);
}

Status GatherLineStretch(ScanContext& context, const ScanRules& rules, const CharTables& tables, LineSource& file,
                         const std::string& path, const GatherQuery& query, CitationSink& sink,
                         const TextStretch& stretch, ProgressSink* progress) {
  BeginPass(context, rules, tables, "");
  BeginFile(context, path);
  context.state.fileLineNumber = stretch.fileLine;
  return ReadLines(context, tables, file, query, sink, stretch, progress);
}

}  // namespace wordloom
