#include <string>

#include "base/cp1252.h"
#include "base/line_source.h"
#include "concordance/citation.h"
#include "concordance/gather.h"
#include "scan/text_reader.h"

namespace wordloom {

Status GatherLine(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                  const GatherQuery& query, CitationSink& sink, ProgressSink* progress) {
  LineSource file;
  Status opened = file.Open(path);
  if (!opened.ok()) return opened;
  BeginPass(context, rules, tables, "");
  BeginFile(context, path);
  ScanState& s = context.state;
  WordCharTable isWord;
  for (int c = 0; c < 256; ++c) isWord[static_cast<size_t>(c)] = s.classOfLower[c] == kWordClass;

  // The character readers hand out "" once the file is exhausted; an empty end-of-line text
  // equals it.
  const std::string& endOfLine = s.endOfLine;
  auto isEndOfLine = [&](int c) {
    return c == kNoChar ? endOfLine.empty() : endOfLine.size() == 1 && static_cast<unsigned char>(endOfLine[0]) == c;
  };
  auto exhausted = [&] { return file.AtEnd() && s.linePosition > s.lineLength; };
  auto next = [&] { return NextContextChar(context, file, progress); };

  std::string line, lowered, citation;
  int c = next();
  while (!exhausted()) {
    if (progress && progress->StopRequested()) break;
    if (isEndOfLine(c)) c = next();
    const int64_t lineNumber = s.currentLineNumber;
    const int64_t sequence = s.logicalLineTotal;
    line.clear();
    while (!exhausted() && s.currentLineNumber == lineNumber) {
      if (!isEndOfLine(c) && c != kNoChar) line += static_cast<char>(c);
      c = next();
    }
    lowered = Lower1252(line);
    // The citation is built now: other letters take the values of the tags read so far,
    // which may already be those of the next line.
    citation.clear();
    BuildCitation(query.letters, lineNumber, query.lineNumberWidth, context.references.ReferenceLetterValue, citation);
    for (size_t n = 0; n < query.keys.size(); ++n) {
      if (!MatchKey(query.kind, query.keys[n], lowered, isWord)) continue;
      sink.Add(static_cast<int64_t>(n + 1), sequence, citation, query.keepContexts ? std::string_view(line) : "", "");
    }
  }
  return file.error();
}

}  // namespace wordloom
