#include "index/scan_recording.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <exception>
#include <new>

#include "base/side_by_side.h"
#include "index/index_writer.h"
#include "index/piece_tokens.h"
#include "scan/vocabulary.h"

namespace wordloom {
namespace {

// The scratch files of a stretch, by the letter after "R": its records as the scan wrote them.
constexpr char kIds = 't', kLines = 'l', kEvents = 'e', kStrings = 's', kCheckpoints = 'c';
constexpr char kKinds[] = {kIds, kLines, kEvents, kStrings, kCheckpoints};

std::string Name(char kind, size_t stretch) { return std::string("R") + kind + std::to_string(stretch + 1); }

}  // namespace

// One stretch: a writer of pieces over its scratch files.
class ScanRecording::Stretch final : public TokenRecorder {
 public:
  Stretch(const ScratchFolder& scratch, size_t index, size_t fileCount)
      : scratch_(scratch), index_(index), fileCount_(fileCount) {}
  ~Stretch() override {
    if (idsBack_ >= 0) close(idsBack_);
    writer.reset();  // before the files it writes to
    for (char kind : kKinds) scratch_.Remove(Name(kind, index_));
  }

  bool Open() {
    for (const auto& [kind, file] : Outputs()) {
      if (!scratch_.OpenForWrite(Name(kind, index_), *file).ok()) return false;
    }
    static const EntryList kNoWords;
    writer = std::make_unique<IndexWriter>(IndexOutputs{&ids_, &lines_, &events_, &strings_, &checkpoints_}, kNoWords,
                                           ScanContext{});
    return true;
  }
  void BeginPiece(const ScanContext& reader) override { writer->BeginPiece(reader); }
  void LineRead(const ScanContext& context, size_t waiting) override { writer->LineRead(context, waiting); }
  void Ids(const uint32_t* ids, size_t count) override { writer->Ids(ids, count); }
  bool EndPiece(const TextPiece& piece, const ScanContext& context) override {
    return writer->EndPiece(piece, context, fileCount_);
  }
  bool Close() {
    writer->FlushTokens();
    for (const auto& [kind, file] : Outputs()) {
      if (!file->Close().ok()) return false;
    }
    return true;
  }

  // Finds each id's vocabulary entry, whose position counts become the id's, and makes sure
  // the recorded files are all there. False when a word is not in the vocabulary, two share
  // an entry, or a file is missing or cut short.
  bool MapWords(const VocabularyLookup& lookup, const EntryList& vocabulary) {
    Status status;
    idsBack_ = scratch_.OpenForRead(Name(kIds, index_), status);
    if (idsBack_ < 0 || !HoldsBytes(idsBack_, static_cast<uint64_t>(writer->totalTokens()) * 4)) return false;
    const uint64_t lineBytes = static_cast<uint64_t>(writer->lineCount()) * sizeof(ProjectIndex::Line);
    const uint64_t checkpointBytes = static_cast<uint64_t>(writer->checkpointCount()) * sizeof(ProjectIndex::Checkpoint);
    for (const auto& [kind, bytes] : {std::pair{kLines, lineBytes}, std::pair{kCheckpoints, checkpointBytes}}) {
      const int fd = scratch_.OpenForRead(Name(kind, index_), status);
      const bool whole = fd >= 0 && HoldsBytes(fd, bytes);
      if (fd >= 0) close(fd);
      if (!whole) return false;
    }
    const size_t count = words.ends.size();
    entryOf_.resize(count);
    // The words' slots are scattered over the lookup: each is fetched a few words ahead.
    constexpr size_t kAhead = 16;
    std::vector<uint64_t> hashes(count);
    for (size_t id = 0, start = 0; id < count; start = words.ends[id++]) {
      hashes[id] = WordHash::Of(words.words.data() + start, words.ends[id] - start);
    }
    for (size_t id = 0; id < std::min(kAhead, count); ++id) lookup.Prefetch(hashes[id]);
    std::string word;  // zero-filled after the word, as the lookup reads it
    for (size_t id = 0, start = 0; id < count; start = words.ends[id++]) {
      if (id + kAhead < count) lookup.Prefetch(hashes[id + kAhead]);
      const size_t length = words.ends[id] - start;
      word.assign(words.words, start, length);
      word.resize(length + 16, '\0');
      entryOf_[id] = lookup.Find(std::string_view(word.data(), length), hashes[id]);
      if (entryOf_[id] == kNoEntry) return false;
    }
    const bool counted = writer->CountRecorded(entryOf_, words.positions, vocabulary);
    words = IdWords{};  // no longer wanted
    return counted;
  }
  // Writes the stretch's tokens as vocabulary entries at `offset` of `out`.
  bool MapTokens(const FileWriter& out, uint64_t offset) {
    const bool mapped = writer->MapRecorded(idsBack_, entryOf_, out, offset);
    close(idsBack_);
    idsBack_ = -1;
    scratch_.Remove(Name(kIds, index_));
    std::vector<uint32_t>().swap(entryOf_);
    return mapped;
  }
  // Brings the stretch, which is `pieces`, into `into`, its tokens already in place.
  Status AppendTo(IndexWriter& into, const std::vector<TextPiece>& pieces) {
    return into.AppendPieces(*writer, pieces, scratch_, "", Name(kLines, index_), Name(kCheckpoints, index_));
  }

  std::unique_ptr<IndexWriter> writer;
  IdWords words;

 private:
  std::array<std::pair<char, FileWriter*>, 5> Outputs() {
    return {{{kIds, &ids_}, {kLines, &lines_}, {kEvents, &events_}, {kStrings, &strings_}, {kCheckpoints, &checkpoints_}}};
  }

  static bool HoldsBytes(int fd, uint64_t bytes) {
    struct stat info {};
    return fstat(fd, &info) == 0 && static_cast<uint64_t>(info.st_size) == bytes;
  }

  const ScratchFolder& scratch_;
  size_t index_;
  size_t fileCount_;
  FileWriter ids_, lines_, events_, strings_, checkpoints_;
  int idsBack_ = -1;               // the ids, to be read back
  std::vector<uint32_t> entryOf_;  // per id, once the words are mapped
};

std::vector<ScanRecording::Stamp> ScanRecording::Stamps(const std::vector<std::string>& files) {
  std::vector<Stamp> stamps;
  stamps.reserve(files.size());
  for (const std::string& file : files) {
    struct stat info {};
    if (stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      stamps.push_back(Stamp{});
      continue;
    }
    stamps.push_back(Stamp{info.st_size, info.st_mtim.tv_sec * 1'000'000'000 + info.st_mtim.tv_nsec,
                           info.st_ctim.tv_sec * 1'000'000'000 + info.st_ctim.tv_nsec});
  }
  return stamps;
}

ScanRecording::ScanRecording(const ScratchFolder& scratch, const std::vector<std::string>& files, uint64_t rulesKey)
    : scratch_(scratch), files_(files), rulesKey_(rulesKey), before_(Stamps(files)) {}

ScanRecording::~ScanRecording() = default;

void ScanRecording::BeginScan(size_t stretches) {
  complete_ = false;
  stretches_.clear();
  stretches_.resize(stretches);
}

void ScanRecording::DropStretch(size_t stretch) { stretches_[stretch].reset(); }

void ScanRecording::EndScan() {
  if (!complete_) stretches_.clear();
}

TokenRecorder* ScanRecording::BeginStretch(size_t stretch) {
  auto recorder = std::make_unique<Stretch>(scratch_, stretch, files_.size());
  if (!recorder->Open()) return nullptr;
  stretches_[stretch] = std::move(recorder);
  return stretches_[stretch].get();
}

bool ScanRecording::EndStretch(size_t stretch, IdWords words) {
  Stretch& recorder = *stretches_[stretch];
  recorder.words = std::move(words);
  return recorder.Close();
}

void ScanRecording::Complete(const PiecePlan& plan) {
  plan_ = plan;
  after_ = Stamps(files_);
  const bool missing = std::any_of(after_.begin(), after_.end(), [](const Stamp& stamp) { return stamp.size < 0; });
  complete_ = !missing && after_ == before_;
}

Status ScanRecording::AppendTo(IndexWriter& writer, const std::vector<std::string>& files, uint64_t rulesKey,
                               const CharTables& tables, const EntryList& vocabulary, bool& taken) {
  taken = false;
  // Spent however it goes: its files go with it.
  const struct Spend {
    std::vector<std::unique_ptr<Stretch>>& stretches;
    ~Spend() { stretches.clear(); }
  } spend{stretches_};
  const bool fits = complete_ && files == files_ && rulesKey == rulesKey_ && Stamps(files) == after_;
  complete_ = false;
  if (!fits || stretches_.size() > AffordableStretches(vocabulary.size())) return Status::Ok();
  std::unique_ptr<VocabularyLookup> lookup;
  try {
    lookup = std::make_unique<VocabularyLookup>(tables, vocabulary);
  } catch (const std::bad_alloc&) {
    return Status::Ok();
  }
  std::vector<char> done(stretches_.size(), 0);
  const auto allDone = [&] { return std::all_of(done.begin(), done.end(), [](char d) { return d != 0; }); };
  const auto mapWords = [&](size_t s) {
    try {
      done[s] = stretches_[s]->MapWords(*lookup, vocabulary);
    } catch (const std::exception&) {
      done[s] = 0;  // memory ran out: the texts are read instead
    }
  };
  SideBySide(stretches_.size(), mapWords);
  if (!allDone()) return Status::Ok();
  lookup.reset();
  // Each stretch's tokens go straight to their place in the index.
  taken = true;
  std::vector<int64_t> firstToken(stretches_.size() + 1, 0);
  for (size_t s = 0; s < stretches_.size(); ++s) firstToken[s + 1] = firstToken[s] + stretches_[s]->writer->totalTokens();
  const int64_t offset = writer.ReserveLastTokens(firstToken.back());
  if (offset < 0) return Status::Error("Cannot write the index being built: " + writer.tokensFile().error().message());
  std::fill(done.begin(), done.end(), 0);
  const auto mapTokens = [&](size_t s) {
    try {
      done[s] = stretches_[s]->MapTokens(writer.tokensFile(), static_cast<uint64_t>(offset + firstToken[s] * 4));
    } catch (const std::exception&) {
      done[s] = 0;
    }
  };
  SideBySide(stretches_.size(), mapTokens);
  if (!allDone()) return Status::Error("Cannot write the index being built.");
  for (size_t s = 0; s < stretches_.size(); ++s) {
    Status status = stretches_[s]->AppendTo(writer, plan_.StretchPieces(s));
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

}  // namespace wordloom
