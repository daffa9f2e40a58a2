#include "index/piece_tokens.h"

#include <algorithm>
#include <memory>
#include <new>
#include <thread>

#include "scan/stretch_reader.h"

namespace wordloom {
namespace {

// The scratch files of a stretch's records, by the letter after "X".
constexpr char kTokens = 't', kLines = 'l', kEvents = 'e', kStrings = 's', kCheckpoints = 'c';

class PieceIndexer final : public StretchReader {
 public:
  PieceIndexer(const std::vector<std::string>& files, const Session& session, const ScratchFolder& scratch,
               const PiecePlan& plan, const ScanContext& fresh, const VocabularyLookup& lookup)
      : StretchReader(plan, files.size()), files_(files), session_(session), scratch_(scratch), fresh_(fresh),
        lookup_(lookup), stretches_(plan.groupStarts.size()) {}
  ~PieceIndexer() override {
    for (size_t s = 0; s < stretches_.size(); ++s) {
      for (char kind : {kTokens, kLines, kEvents, kStrings, kCheckpoints}) scratch_.Remove(Name(kind, s));
    }
  }

  bool Read(ProgressSink* progress, bool& stopped) { return ReadStretches(progress, stopped); }
  // Brings the stretches into `writer`, in text order.
  Status AppendTo(IndexWriter& writer);

 private:
  struct Stretch {
    FileWriter tokens, lines, events, strings, checkpoints;
    std::unique_ptr<IndexWriter> writer;
  };
  static std::string Name(char kind, size_t stretch) { return std::string("X") + kind + std::to_string(stretch + 1); }
  bool ReadStretch(size_t index) override;

  const std::vector<std::string>& files_;
  const Session& session_;
  const ScratchFolder& scratch_;
  const ScanContext& fresh_;
  const VocabularyLookup& lookup_;
  std::vector<Stretch> stretches_;
};

bool PieceIndexer::ReadStretch(size_t index) {
  Stretch& stretch = stretches_[index];
  const std::pair<char, FileWriter*> outputs[] = {{kTokens, &stretch.tokens},
                                                  {kLines, &stretch.lines},
                                                  {kEvents, &stretch.events},
                                                  {kStrings, &stretch.strings},
                                                  {kCheckpoints, &stretch.checkpoints}};
  for (const auto& [kind, writer] : outputs) {
    if (!scratch_.OpenForWrite(Name(kind, index), *writer).ok()) return false;
  }
  stretch.writer = std::make_unique<IndexWriter>(
      IndexOutputs{&stretch.tokens, &stretch.lines, &stretch.events, &stretch.strings, &stretch.checkpoints},
      session_.lists.Vocabulary, fresh_);
  IndexWriter& writer = *stretch.writer;
  ScanContext context;
  for (size_t p = FirstPiece(index); p < EndPiece(index) && !Stopping(); ++p) {
    const TextPiece& piece = plan_.pieces[p];
    const std::string& path = files_[piece.file];
    PrepareForPiece(context, fresh_, piece, path);
    writer.BeginPiece(fresh_);
    const PieceRead read = StreamPieceTokens(path, piece, context, lookup_, writer);
    if (read != PieceRead::Read || !writer.EndPiece(piece, context, files_.size())) return false;
    PieceDone(index, p);
  }
  writer.FlushTokens();
  for (const auto& [kind, output] : outputs) {
    if (!output->Close().ok()) return false;
  }
  return true;
}

Status PieceIndexer::AppendTo(IndexWriter& writer) {
  for (size_t s = 0; s < stretches_.size(); ++s) {
    Status status = writer.AppendPieces(*stretches_[s].writer, plan_.StretchPieces(s), scratch_, Name(kTokens, s),
                                        Name(kLines, s), Name(kCheckpoints, s));
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

}  // namespace

namespace {

constexpr size_t kMostThreads = 16;
constexpr size_t kWriterBytesPerEntry = 40;
constexpr size_t kMostWriterBytes = size_t{256} << 20;

size_t BuildThreads(const IndexBuildOptions& options, size_t entries) {
  const size_t asked =
      options.threads > 0 ? static_cast<size_t>(options.threads) : std::max(1u, std::thread::hardware_concurrency());
  return std::clamp<size_t>(asked, 1, std::min(kMostThreads, std::max<size_t>(1, AffordableStretches(entries))));
}

}  // namespace

size_t AffordableStretches(size_t entries) {
  return kMostWriterBytes / std::max<size_t>(1, entries * kWriterBytesPerEntry);
}

Status WriteTokensInPieces(const std::vector<std::string>& files, const Session& session, const ScratchFolder& scratch,
                           const IndexBuildOptions& options, IndexWriter& writer, ProgressSink* progress, bool& taken) {
  taken = false;
  const size_t threads = BuildThreads(options, session.lists.Vocabulary.size());
  if (threads < 2) return Status::Ok();
  // Every piece starts from the pass's reader with its running line number from zero: the
  // index keeps line numbers as changes from a text's start.
  ScanContext fresh = BeginTokenPass(session.scan, session.project.rules, session.tables);
  fresh.ErrorReportText.clear();
  fresh.state.currentLineNumber = 0;
  const PiecePlan plan = PlanPieces(files, fresh, session.tables, options.pieceBytes, threads);
  if (plan.groupStarts.size() < 2) return Status::Ok();
  std::unique_ptr<VocabularyLookup> lookup;
  try {
    lookup = std::make_unique<VocabularyLookup>(session.tables, session.lists.Vocabulary);
  } catch (const std::bad_alloc&) {
    return Status::Ok();  // the single pass meets the shortage itself
  }
  PieceIndexer indexer(files, session, scratch, plan, fresh, *lookup);
  bool stopped = false;
  const bool read = indexer.Read(progress, stopped);
  if (stopped) {
    taken = true;
    return Status::Error("Stopped.");
  }
  if (!read) return Status::Ok();
  taken = true;
  return indexer.AppendTo(writer);
}

}  // namespace wordloom
