// The passes over a project's tokens: from its index when it has one that matches, else from
// the texts.
#include "index/index.h"

#include <algorithm>

namespace wordloom {

void OpenMatchingIndex(Session& session) {
  session.index.reset();
  if (session.project.FileName.empty() || session.lists.Vocabulary.empty()) return;
  std::shared_ptr<const ProjectIndex> index;
  if (ProjectIndex::Open(IndexPathFor(session.project.FileName), index).ok() && index->Matches(session)) {
    session.index = std::move(index);
  }
}

bool StreamProjectTokens(const Session& session, const ScanContext& reader, TokenSink& sink, ProgressSink* progress) {
  if (session.index && session.index->Matches(session)) return session.index->Stream(reader, sink, progress);
  return StreamTokens(session.project.Files, session.project.rules, session.tables, reader, session.lists.Vocabulary,
                      sink, progress);
}

namespace {
constexpr size_t kBlock = size_t{1} << 22;  // tokens read before their pages are let go
}  // namespace

bool StreamProjectTokensAround(const Session& session, const std::vector<EntryPosition>& starts, int64_t before,
                               int64_t after, TokenSink& sink, ProgressSink* progress) {
  if (!session.index || !session.index->Matches(session))
    return StreamProjectTokens(session, session.scan, sink, progress);
  // When the stretches would cover more than one token in 64, reading everything in order costs
  // less than sorting the positions and jumping about.
  int64_t found = 0;
  for (EntryPosition entry : starts) found += session.lists.Vocabulary[entry].count;
  if (found > session.index->tokenCount() / 64 / (before + after + 1)) {
    return session.index->Stream(session.scan, sink, progress);
  }
  return session.index->StreamAround(starts, before, after, session.scan, sink, progress);
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
    const std::span<const uint32_t> tokens = index.FileTokens(file);
    index.ReadAhead(tokens.data(), tokens.data() + tokens.size());
    for (size_t from = 0; from < tokens.size(); from += kBlock) {
      const std::span<const uint32_t> block = tokens.subspan(from, std::min(kBlock, tokens.size() - from));
      for (uint32_t entry : block) {
        if (entry >= lastFile.size() || lastFile[entry] == mark) continue;
        lastFile[entry] = mark;
        ++ranges[entry];
      }
      index.Release(block.data(), block.data() + block.size());
    }
    if (progress) progress->Progress(static_cast<int64_t>(file + 1), static_cast<int64_t>(index.fileCount()));
  }
  return true;
}

}  // namespace wordloom
