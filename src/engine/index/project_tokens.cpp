// The passes over a project's tokens: from its index when it has one that matches, else from
// the texts.
#include "index/index.h"

namespace wordloom {

bool StreamProjectTokens(const Session& session, const ScanContext& reader, TokenSink& sink, ProgressSink* progress) {
  if (session.index && session.index->Matches(session)) return session.index->Stream(reader, sink, progress);
  return StreamTokens(session.project.Files, session.project.rules, session.tables, reader, session.lists.Vocabulary,
                      sink, progress);
}

bool CountProjectRanges(const Session& session, std::vector<uint32_t>& ranges, ProgressSink* progress) {
  if (!session.index || !session.index->Matches(session)) {
    return CountWordRanges(session.project.Files, session.project.rules, session.tables, session.scan,
                           session.lists.Vocabulary, ranges, progress);
  }
  const ProjectIndex& index = *session.index;
  ranges.assign(index.entryCount(), 0);
  std::vector<uint32_t> lastFile(index.entryCount(), 0);  // per entry: the last text it was met in, plus one
  for (size_t file = 0; file < index.fileCount(); ++file) {
    if (progress && progress->StopRequested()) {
      ranges.clear();
      return false;
    }
    const uint32_t mark = static_cast<uint32_t>(file + 1);
    for (uint32_t entry : index.FileTokens(file)) {
      if (entry >= lastFile.size() || lastFile[entry] == mark) continue;
      lastFile[entry] = mark;
      ++ranges[entry];
    }
    if (progress) progress->Progress(static_cast<int64_t>(file + 1), static_cast<int64_t>(index.fileCount()));
  }
  return true;
}

}  // namespace wordloom
