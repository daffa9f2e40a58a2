#include "scan/parallel_scan.h"

#include <algorithm>
#include <cstdint>
#include <thread>
#include <utility>

#include "scan/run_files.h"
#include "scan/stretch_reader.h"
#include "scan/text_pieces.h"
#include "scan/text_reader.h"
#include "scan/word_counter.h"

namespace wordloom {
namespace {

// A reference value no line can hold (lines end at line feeds): the piece did not set the letter.
const std::string kUnset = "\n";
constexpr int kLineLetter = 12;  // "L": its tag sets the current line number
// The current character before a piece's first.
constexpr int kNothingRead = -2;
// The least share of the counting budget that the machine's threads are given each: a smaller
// table would spill so often that another thread would not pay.
constexpr size_t kLeastShareBytes = 8u << 20;

// The reader's line as a piece left it: the pass's reader ends with the last piece's. Opening a
// file empties the line; the place of the physical line read last (and its scratch copy) stay
// until a physical line is read.
struct ReaderLine {
  std::string lineBuffer;
  int64_t linePosition = 1;
  int64_t lineLength = 0;
  void Take(ScanState& s) {
    lineBuffer.swap(s.lineBuffer);
    linePosition = s.linePosition;
    lineLength = s.lineLength;
  }
  void Give(ScanState& s) const {
    s.lineBuffer = lineBuffer;
    s.linePosition = linePosition;
    s.lineLength = lineLength;
  }
};
struct PhysicalLine {
  std::string rawLine;
  int64_t physicalLineOffset = 0;
  LineOrigins origins;
  void Take(ScanState& s) {
    rawLine.swap(s.rawLine);
    physicalLineOffset = s.physicalLineOffset;
    origins = std::move(s.origins);
  }
  void Give(ScanState& s) const {
    s.rawLine = rawLine;
    s.physicalLineOffset = physicalLineOffset;
    s.origins = origins;
  }
};

// What reading a piece from a fresh reader left, besides its words: the counters from zero,
// the reference letters it set, and its Error Report entries.
struct PieceReader {
  PieceRead read = PieceRead::Read;
  int64_t currentLineNumber = 0;
  int64_t fileLineNumber = 0;
  int64_t physicalLineTotal = 0;
  int64_t logicalLineTotal = 0;
  int endOfFileCount = 0;
  int currentChar = kNothingRead;
  int currentClass = 0;
  bool joinPending = false;
  bool invalidReported = false;
  uint32_t lettersUsed = 0;                             // bit `letter`
  std::vector<std::pair<int, std::string>> lettersSet;  // in letter order
  std::string errors;

  void Keep(const ScanContext& context) {
    const ScanState& s = context.state;
    currentLineNumber = s.currentLineNumber;
    fileLineNumber = s.fileLineNumber;
    physicalLineTotal = s.physicalLineTotal;
    logicalLineTotal = s.logicalLineTotal;
    endOfFileCount = s.endOfFileCount;
    currentChar = s.currentChar;
    currentClass = s.currentClass;
    joinPending = s.joinPending;
    invalidReported = s.invalidReported;
    for (int letter = 1; letter <= kLetterCount; ++letter) {
      if (context.references.ReferenceLetterUsed[letter]) lettersUsed |= 1u << letter;
      const std::string& value = context.references.ReferenceLetterValue[letter];
      if (value != kUnset) lettersSet.emplace_back(letter, value);
    }
    errors = context.ErrorReportText;
  }
  bool LineNumberSet() const {
    return std::any_of(lettersSet.begin(), lettersSet.end(), [](const auto& set) { return set.first == kLineLetter; });
  }
};

// What one thread made of its stretch of pieces.
struct Stretch {
  ScanTotals totals;
  ReaderLine line;          // of its last piece that opened its file
  PhysicalLine physical;    // of its last piece that read a physical line
  FinishedRun run;          // its counter's merged run
  bool recorded = false;    // its tokens were recorded, every one
};

class PieceScan final : public StretchReader {
 public:
  PieceScan(const std::vector<std::string>& files, const CharTables& tables, const ScratchFolder& scratch,
            const PiecePlan& plan, const ScanContext& pass, size_t budgetBytes, ScanRecorder* recorder)
      : StretchReader(plan, files.size()), files_(files), tables_(tables), scratch_(scratch), recorder_(recorder),
        stretches_(plan.groupStarts.size()), readers_(plan.pieces.size()) {
    budgetBytes_ = budgetBytes / stretches_.size();
    if (recorder_) recorder_->BeginScan(stretches_.size());
    // A fresh reader: the pass's, with counters from zero and no reference letter set.
    fresh_ = pass;
    fresh_.ErrorReportText.clear();
    fresh_.state.currentLineNumber = 0;
    fresh_.state.currentChar = kNothingRead;
    fresh_.references.ReferenceLetterValue.fill(kUnset);
  }
  ~PieceScan() override {
    for (size_t s = 0; s < stretches_.size(); ++s) {
      for (const std::string& name : RunFileNamesOf(RunTag(s))) scratch_.Remove(name);
    }
  }

  // Reads every stretch on a thread of its own, telling `progress` of the files done. False
  // when a stretch failed; `stopped` when `progress` asked to stop.
  bool Read(ProgressSink* progress, bool& stopped) { return ReadStretches(progress, stopped); }
  // Brings the pieces' readers into `pass`, in text order, as if it had read them itself.
  // False when a piece read again no longer reads as planned.
  bool Fold(ScanContext& pass, ProgressSink* progress);
  // The stretches' words, merged in text order, and the totals. Uses up the stretches' runs.
  Status Merge(ScanTotals& totals, EntryList& vocabulary, std::vector<uint32_t>& ranges);
  // Every stretch's tokens were recorded.
  bool Recorded() const {
    return std::all_of(stretches_.begin(), stretches_.end(), [](const Stretch& stretch) { return stretch.recorded; });
  }

 private:
  static std::string RunTag(size_t stretch) {
    std::string tag = "s";
    tag += std::to_string(stretch + 1);
    return tag;
  }
  bool ReadStretch(size_t index) override;
  static bool NeedsRereading(const ScanContext& pass, const TextPiece& piece, const PieceReader& reader);
  void TakeOver(ScanContext& pass, const TextPiece& piece, const PieceReader& reader) const;

  const std::vector<std::string>& files_;
  const CharTables& tables_;
  const ScratchFolder& scratch_;
  ScanRecorder* recorder_;
  ScanContext fresh_;
  size_t budgetBytes_ = 0;
  std::vector<Stretch> stretches_;
  std::vector<PieceReader> readers_;  // per piece
};

bool PieceScan::ReadStretch(size_t index) {
  Stretch& stretch = stretches_[index];
  WordCounter counter(scratch_, tables_, budgetBytes_, UINT32_MAX, RunTag(index));
  int64_t bytes = 0;
  for (size_t p = FirstPiece(index); p < EndPiece(index); ++p) bytes += plan_.BytesOf(plan_.pieces[p]);
  counter.ExpectBytes(static_cast<uint64_t>(bytes));
  if (!counter.Begin().ok()) return false;
  TokenRecorder* recorder = recorder_ ? recorder_->BeginStretch(index) : nullptr;
  counter.Record(recorder);
  ScanContext context;
  for (size_t p = FirstPiece(index); p < EndPiece(index) && !Stopping(); ++p) {
    const TextPiece& piece = plan_.pieces[p];
    const std::string& path = files_[piece.file];
    PrepareForPiece(context, fresh_, piece, path);
    counter.BeginFile(piece.file);
    if (recorder) recorder->BeginPiece(fresh_);
    PieceReader& reader = readers_[p];
    reader.read = ScanPieceWords(path, piece, context, counter, stretch.totals);
    counter.Flush();
    // A counter that wrote its table out mid-way gave ids twice: it records no more.
    if (recorder && (!counter.recording() || reader.read != PieceRead::Read || !recorder->EndPiece(piece, context))) {
      counter.Record(nullptr);
      recorder = nullptr;
      recorder_->DropStretch(index);  // the index build reads the texts itself
    }
    reader.Keep(context);
    if (reader.read == PieceRead::Changed) return false;
    if (reader.read == PieceRead::Read) stretch.line.Take(context.state);
    if (reader.physicalLineTotal > 0) stretch.physical.Take(context.state);
    PieceDone(index, p);
  }
  if (Stopping()) return true;
  if (!counter.FinishRun(stretch.run).ok()) return false;
  IdWords words;
  stretch.recorded = recorder && counter.TakeIdWords(words) && recorder_->EndStretch(index, std::move(words));
  if (recorder && !stretch.recorded) recorder_->DropStretch(index);
  return true;
}

// A piece's reader cannot be taken over as it stands when it depends on what came before:
// after the first piece of a file, its Error Report entries (their line numbers, and whether
// the file's first invalid UTF-8 was reported before); and at the start of a file, a join
// running on from the file before, which keeps the file's first line from being counted.
bool PieceScan::NeedsRereading(const ScanContext& pass, const TextPiece& piece, const PieceReader& reader) {
  if (!piece.FirstOfFile()) return !reader.errors.empty();
  return pass.state.joinPending && reader.logicalLineTotal > 0;
}

void PieceScan::TakeOver(ScanContext& pass, const TextPiece& piece, const PieceReader& reader) const {
  ScanState& s = pass.state;
  // An "L" tag sets the line number outright; else the piece's lines add to it.
  s.currentLineNumber = reader.currentLineNumber + (reader.LineNumberSet() ? 0 : s.currentLineNumber);
  if (piece.FirstOfFile()) {
    s.fileLineNumber = reader.fileLineNumber;
    s.invalidReported = reader.invalidReported;
  } else {
    s.fileLineNumber += reader.fileLineNumber - kPieceFirstLine;
  }
  s.physicalLineTotal += reader.physicalLineTotal;
  s.logicalLineTotal += reader.logicalLineTotal;
  if (reader.logicalLineTotal > 0) s.joinPending = reader.joinPending;
  s.endOfFileCount = reader.endOfFileCount;
  if (reader.currentChar != kNothingRead) s.currentChar = reader.currentChar;
  s.currentClass = reader.currentClass;
  s.currentFileName = files_[piece.file];
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    if (reader.lettersUsed & (1u << letter)) pass.references.ReferenceLetterUsed[letter] = 1;
  }
  for (const auto& [letter, value] : reader.lettersSet) pass.references.ReferenceLetterValue[letter] = value;
  pass.ErrorReportText += reader.errors;
}

bool PieceScan::Fold(ScanContext& pass, ProgressSink* progress) {
  // The lines of the last pieces taken over as they were left (null: the pass's reader has read
  // them again itself).
  const ReaderLine* lastLine = nullptr;
  const PhysicalLine* lastPhysical = nullptr;
  for (size_t s = 0; s < stretches_.size(); ++s) {
    const Stretch& stretch = stretches_[s];
    for (size_t p = FirstPiece(s); p < EndPiece(s); ++p) {
      const TextPiece& piece = plan_.pieces[p];
      const PieceReader& reader = readers_[p];
      if (reader.read == PieceRead::Unreadable) {
        pass.ErrorReportText += reader.errors;
      } else if (NeedsRereading(pass, piece, reader)) {
        if (ReadPieceLines(files_[piece.file], piece, pass, progress) != PieceRead::Read) return false;
        lastLine = nullptr;
        if (reader.physicalLineTotal > 0) lastPhysical = nullptr;
      } else {
        TakeOver(pass, piece, reader);
        lastLine = &stretch.line;
        if (reader.physicalLineTotal > 0) lastPhysical = &stretch.physical;
      }
    }
  }
  if (lastLine) lastLine->Give(pass.state);
  if (lastPhysical) lastPhysical->Give(pass.state);
  return true;
}

Status PieceScan::Merge(ScanTotals& totals, EntryList& vocabulary, std::vector<uint32_t>& ranges) {
  std::vector<FinishedRun> runs;
  for (Stretch& stretch : stretches_) {
    runs.push_back(std::move(stretch.run));
    totals.tokenCount += stretch.totals.tokenCount;
    totals.longestWord = std::max(totals.longestWord, stretch.totals.longestWord);
    totals.beyondAscii = totals.beyondAscii || stretch.totals.beyondAscii;
  }
  return WordCounter::MergeRuns(scratch_, tables_, runs, vocabulary, &ranges);
}

}  // namespace

int ScanThreadsOf(const VocabularyOptions& options) {
  if (options.threads > 0) return options.threads;
  const size_t machine = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<int>(std::clamp<size_t>(options.budgetBytes / kLeastShareBytes, 1, machine));
}

bool ScanInPieces(const std::vector<std::string>& files, const CharTables& tables, const ScratchFolder& scratch,
                  ScanContext& context, ScanTotals& totals, EntryList& vocabulary, std::vector<uint32_t>& ranges,
                  const VocabularyOptions& options, Status& status) {
  const int threads = ScanThreadsOf(options);
  if (threads < 2) return false;
  const PiecePlan plan = PlanPieces(files, context, tables, options.pieceBytes, static_cast<size_t>(threads));
  if (plan.groupStarts.size() < 2) return false;

  PieceScan scan(files, tables, scratch, plan, context, options.budgetBytes, options.recorder);
  bool stopped = false;
  if (!scan.Read(options.progress, stopped)) return false;
  status = Status::Ok();
  if (stopped) return true;
  ScanContext pass = context;
  if (!scan.Fold(pass, options.progress)) return false;
  ScanTotals counted = totals;
  if (!scan.Merge(counted, vocabulary, ranges).ok()) {
    vocabulary.clear();
    ranges.clear();
    return false;
  }
  context = std::move(pass);
  totals = counted;
  if (options.recorder && scan.Recorded()) options.recorder->Complete(plan);
  return true;
}

}  // namespace wordloom
