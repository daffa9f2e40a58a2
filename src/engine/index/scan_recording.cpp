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

// The scratch files of a stretch, by the letter after "R": its records as the scan wrote them,
// and its tokens once mapped.
constexpr char kIds = 't', kLines = 'l', kEvents = 'e', kStrings = 's', kCheckpoints = 'c', kTokens = 'm';
constexpr char kKinds[] = {kIds, kLines, kEvents, kStrings, kCheckpoints, kTokens};

std::string Name(char kind, size_t stretch) { return std::string("R") + kind + std::to_string(stretch + 1); }

}  // namespace

// One stretch: a writer of pieces over its scratch files.
class ScanRecording::Stretch final : public TokenRecorder {
 public:
  Stretch(const ScratchFolder& scratch, size_t index, size_t fileCount)
      : scratch_(scratch), index_(index), fileCount_(fileCount) {}
  ~Stretch() override {
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

  // Writes the stretch's tokens as vocabulary entries, each id's position counts its entry's.
  bool Map(const VocabularyLookup& lookup, const EntryList& vocabulary) {
    std::vector<uint32_t> entryOf(words.ends.size());
    std::string word;  // zero-filled after the word, as the lookup reads it
    for (size_t id = 0, start = 0; id < entryOf.size(); start = words.ends[id++]) {
      const size_t length = words.ends[id] - start;
      word.assign(words.words, start, length);
      word.resize(length + 16, '\0');
      entryOf[id] = lookup.Find(std::string_view(word.data(), length), WordHash::Of(word.data(), length));
      if (entryOf[id] == kNoEntry) return false;
    }
    words = IdWords{};  // no longer wanted
    Status status;
    const int fd = scratch_.OpenForRead(Name(kIds, index_), status);
    if (fd < 0) return false;
    FileWriter tokens;
    bool mapped = scratch_.OpenForWrite(Name(kTokens, index_), tokens).ok() &&
                  writer->MapRecorded(fd, entryOf, vocabulary, tokens) && tokens.Close().ok();
    close(fd);
    scratch_.Remove(Name(kIds, index_));
    return mapped;
  }
  // Brings the stretch, which is `pieces`, into `into`.
  Status AppendTo(IndexWriter& into, const std::vector<TextPiece>& pieces) {
    return into.AppendPieces(*writer, pieces, scratch_, Name(kTokens, index_), Name(kLines, index_),
                             Name(kCheckpoints, index_));
  }

  std::unique_ptr<IndexWriter> writer;
  IdWords words;

 private:
  std::array<std::pair<char, FileWriter*>, 5> Outputs() {
    return {{{kIds, &ids_}, {kLines, &lines_}, {kEvents, &events_}, {kStrings, &strings_}, {kCheckpoints, &checkpoints_}}};
  }

  const ScratchFolder& scratch_;
  size_t index_;
  size_t fileCount_;
  FileWriter ids_, lines_, events_, strings_, checkpoints_;
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
  std::vector<char> mapped(stretches_.size(), 0);
  const auto map = [&](size_t s) {
    try {
      mapped[s] = stretches_[s]->Map(*lookup, vocabulary);
    } catch (const std::exception&) {
      mapped[s] = 0;  // memory ran out: the texts are read instead
    }
  };
  SideBySide(stretches_.size(), map);
  if (!std::all_of(mapped.begin(), mapped.end(), [](char done) { return done != 0; })) return Status::Ok();
  taken = true;
  for (size_t s = 0; s < stretches_.size(); ++s) {
    Status status = stretches_[s]->AppendTo(writer, plan_.StretchPieces(s));
    if (!status.ok()) return status;
  }
  return Status::Ok();
}

}  // namespace wordloom
