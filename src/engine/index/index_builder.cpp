// Building an index file: one pass over the texts that changed (the others' tokens come from
// the old index), then each entry's positions, a group of entries at a time.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <functional>
#include <unordered_map>

#include "base/atomic_file.h"
#include "base/bits.h"
#include "base/regular_file.h"
#include "index/index_format.h"
#include "index/text_marks.h"

namespace wordloom {
namespace {

constexpr size_t kPositionBudget = 32u << 20;  // bytes of coded positions built at a time
constexpr int64_t kChangedWhileRead = -2;      // a text's size when it changed while it was read

template <typename Record>
void Put(FileWriter& out, const Record& record) {
  out.Write(std::string_view(reinterpret_cast<const char*>(&record), sizeof record));
}

void PadToEight(FileWriter& out, uint64_t& at) {
  static constexpr char kZeros[8] = {};
  const uint64_t pad = (8 - at % 8) % 8;
  out.Write(std::string_view(kZeros, pad));
  at += pad;
}

// The tokens, lines and values of the texts as the pass hands them out, written in order:
// the tokens to the index itself, the lines, values and strings to scratch files that follow
// them into the index. Counts each entry's coded positions as it goes.
// An entry's coded positions as they are counted, then written: their bytes so far and the
// last position, side by side so that a token reaches one place.
struct PostingCursor {
  uint64_t bytes = 0;
  uint64_t last = 0;
};

class IndexWriter final : public TokenSink {
 public:
  IndexWriter(FileWriter& tokens, FileWriter& lines, FileWriter& events, FileWriter& strings,
              FileWriter& checkpoints, const EntryList& vocabulary, const ScanContext& reader)
      : tokens_(tokens), lines_(lines), events_(events), strings_(strings), checkpoints_(checkpoints),
        postings_(vocabulary.size()),
        marks_(reader) {
    wordBytes_.reserve(vocabulary.size());
    for (const Entry& entry : vocabulary)
      wordBytes_.push_back(static_cast<uint8_t>(std::min<size_t>(entry.word.size(), 255)));
    pending_.reserve(kPendingTokens);
  }
  ~IndexWriter() override { FlushTokens(); }

  // Texts from here on are numbered through `fresh`: the pass's i-th text is fresh[i].
  void Texts(const std::vector<size_t>* fresh, std::function<void(size_t)> before) {
    fresh_ = fresh;
    before_ = std::move(before);
  }

  void BeginFile(uint32_t file) override {
    const size_t real = (*fresh_)[file];
    before_(real);
    StartText();
    marks_.BeginText();
    lastOffset_ = -1;
  }
  void LineRead(const ScanContext& context) override {
    ProjectIndex::Checkpoint checkpoint;
    if (marks_.LineRead(context, text_.tokenCount, text_.eventCount, checkpoint)) AddCheckpoint(checkpoint);
    if (context.state.physicalLineOffset != lastOffset_) {
      lastOffset_ = context.state.physicalLineOffset;
      AddLine(ProjectIndex::Line{lastOffset_, text_.tokenCount});
    }
    AddValuesSet(context);
  }
  void TextRead(const ScanContext& context) override {
    marks_.TextRead(context);
    AddValuesSet(context);
  }
  void Tokens(const EntryPosition* entries, size_t count) override {
    for (size_t i = 0; i < count; ++i) Token(entries[i]);
  }
  void Token(EntryPosition entry) override {
    pending_.push_back(entry);
    if (pending_.size() == kPendingTokens) FlushTokens();
    marks_.Token(entry == kNoEntry ? -1 : wordBytes_[entry]);
    if (entry != kNoEntry) CountPosition(entry, static_cast<uint64_t>(totalTokens_));
    ++text_.tokenCount;
    ++totalTokens_;
  }
  void EndFile() override {
    marks_.EndText(text_);
    texts_.push_back(text_);
  }

  // A text taken whole from the old index, its tokens renumbered through `renumber`.
  void CopyText(const ProjectIndex& old, size_t file, const std::vector<uint32_t>& renumber) {
    StartText();
    for (uint32_t token : old.FileTokens(file)) Token(renumber[token]);
    for (const ProjectIndex::Line& line : old.TextLines(file)) AddLine(line);
    for (const ProjectIndex::Event& event : old.TextEvents(file)) {
      AddEvent(event.token, static_cast<int>(event.letter), old.EventValue(event));
    }
    for (const ProjectIndex::Checkpoint& checkpoint : old.TextCheckpoints(file)) AddCheckpoint(checkpoint);
    const ProjectIndex::Text& record = old.TextRecord(file);
    text_.physicalLines = record.physicalLines;
    text_.logicalLines = record.logicalLines;
    text_.lineNumber = record.lineNumber;
    text_.flags = record.flags;
    texts_.push_back(text_);
  }

  // Gives each text its stamp and path, once every text is in.
  void StampTexts(const std::vector<TextStamp>& stamps, const std::vector<std::string>& paths) {
    for (size_t i = 0; i < texts_.size(); ++i) {
      ProjectIndex::Text& text = texts_[i];
      text.size = stamps[i].size;
      text.mtimeNs = stamps[i].mtimeNs;
      text.hash = stamps[i].hash;
      text.pathOffset = stringBytes_;
      text.pathLength = paths[i].size();
      strings_.Write(paths[i]);
      stringBytes_ += paths[i].size();
    }
  }

  // Writes the tokens held back; called before the tokens are read back.
  void FlushTokens() {
    tokens_.Write(std::string_view(reinterpret_cast<const char*>(pending_.data()), pending_.size() * 4));
    pending_.clear();
  }
  int64_t totalTokens() const { return totalTokens_; }
  int64_t lineCount() const { return lineCount_; }
  int64_t eventCount() const { return eventCount_; }
  int64_t checkpointCount() const { return checkpointCount_; }
  uint64_t stringBytes() const { return stringBytes_; }
  const std::vector<ProjectIndex::Text>& texts() const { return texts_; }
  std::vector<PostingCursor>& postings() {
    while (delayedCount_ > 0) ApplyOldestPosition();
    return postings_;
  }

 private:
  void StartText() {
    text_ = ProjectIndex::Text{};
    text_.firstToken = totalTokens_;
    text_.firstLine = lineCount_;
    text_.firstEvent = eventCount_;
    text_.firstCheckpoint = checkpointCount_;
  }
  void AddCheckpoint(const ProjectIndex::Checkpoint& checkpoint) {
    Put(checkpoints_, checkpoint);
    ++text_.checkpointCount;
    ++checkpointCount_;
  }
  // The values the lines read since last asked set, taking effect at the next token.
  void AddValuesSet(const ScanContext& context) {
    for (int letter = 1; letter <= kLetterCount; ++letter) {
      if (marks_.ValueSet(context, letter)) {
        AddEvent(text_.tokenCount, letter, context.references.ReferenceLetterValue[static_cast<size_t>(letter)]);
      }
    }
  }
  void AddLine(const ProjectIndex::Line& line) {
    Put(lines_, line);
    ++text_.lineCount;
    ++lineCount_;
  }
  void AddEvent(int64_t token, int letter, std::string_view value) {
    Put(events_, ProjectIndex::Event{token, static_cast<uint32_t>(letter), static_cast<uint32_t>(value.size()),
                                     stringBytes_});
    strings_.Write(value);
    stringBytes_ += value.size();
    ++text_.eventCount;
    ++eventCount_;
  }

  // An entry's position is counted a few tokens late, its cursor fetched from memory meanwhile.
  void CountPosition(EntryPosition entry, uint64_t position) {
    Prefetch(&postings_[entry]);
    if (delayedCount_ == kDelayed) ApplyOldestPosition();
    delayed_[(delayedFirst_ + delayedCount_++) % kDelayed] = DelayedPosition{entry, position};
  }
  void ApplyOldestPosition() {
    const DelayedPosition& oldest = delayed_[delayedFirst_];
    PostingCursor& posting = postings_[oldest.entry];
    posting.bytes += VarintSize(oldest.position - posting.last);
    posting.last = oldest.position;
    delayedFirst_ = (delayedFirst_ + 1) % kDelayed;
    --delayedCount_;
  }

  static constexpr size_t kPendingTokens = 1 << 14;
  static constexpr size_t kDelayed = 16;
  struct DelayedPosition {
    EntryPosition entry;
    uint64_t position;
  };
  std::array<DelayedPosition, kDelayed> delayed_{};
  size_t delayedFirst_ = 0;
  size_t delayedCount_ = 0;

  FileWriter& tokens_;
  std::vector<uint32_t> pending_;  // tokens not yet written
  std::vector<uint8_t> wordBytes_;  // per entry: its word's length, at most 255
  FileWriter& lines_;
  FileWriter& events_;
  FileWriter& strings_;
  FileWriter& checkpoints_;
  std::vector<PostingCursor> postings_;  // per entry
  TextMarks marks_;
  const std::vector<size_t>* fresh_ = nullptr;
  std::function<void(size_t)> before_;
  ProjectIndex::Text text_{};
  std::vector<ProjectIndex::Text> texts_;
  int64_t lastOffset_ = -1;
  int64_t totalTokens_ = 0;
  int64_t lineCount_ = 0;
  int64_t eventCount_ = 0;
  int64_t checkpointCount_ = 0;
  uint64_t stringBytes_ = 0;
};

// Appends the scratch file `name` to `out`.
Status CopyScratch(const ScratchFolder& scratch, const std::string& name, FileWriter& out) {
  Status status;
  const int fd = scratch.OpenForRead(name, status);
  if (fd < 0) return status;
  std::vector<char> buffer(1 << 20);
  ssize_t got;
  while ((got = read(fd, buffer.data(), buffer.size())) > 0) out.Write(std::string_view(buffer.data(), static_cast<size_t>(got)));
  close(fd);
  scratch.Remove(name);
  return got < 0 ? Status::Error("Cannot read the scratch file " + name + ".") : Status::Ok();
}

// Writes each entry's coded positions, in entry order, reading the tokens back from the
// first `tokenCount` tokens of `tokensPath`: a group of entries whose positions fit the
// budget at a time. `postings` (each entry's coded size) are used up as cursors.
Status WritePositions(const std::string& tokensPath, int64_t tokenCount, std::vector<PostingCursor>& postings,
                      FileWriter& out) {
  const int fd = open(tokensPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Status::Error("Cannot read back the index being written.");
  std::vector<uint32_t> block(1 << 18);
  std::vector<unsigned char> coded;
  const size_t entries = postings.size();
  Status status;
  for (size_t lo = 0; lo < entries && status.ok();) {
    size_t hi = lo;
    uint64_t groupBytes = 0;
    while (hi < entries && (hi == lo || groupBytes + postings[hi].bytes <= kPositionBudget)) {
      groupBytes += postings[hi++].bytes;
    }
    if (groupBytes > 0) {
      coded.assign(groupBytes, 0);
      for (size_t e = lo, at = 0; e < hi; ++e) {
        const uint64_t size = postings[e].bytes;
        postings[e] = PostingCursor{at, 0};
        at += size;
      }
      const uint32_t first = static_cast<uint32_t>(lo);
      const uint32_t span = static_cast<uint32_t>(hi - lo);
      for (int64_t done = 0; done < tokenCount;) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(tokenCount - done, static_cast<int64_t>(block.size())));
        const ssize_t got = pread(fd, block.data(), want * 4, static_cast<off_t>(done) * 4);
        if (got != static_cast<ssize_t>(want * 4)) {
          status = Status::Error("Cannot read back the index being written.");
          break;
        }
        // The entries a token reaches lie anywhere: their cursors, then the places their
        // positions go, are fetched ahead of need.
        const auto ahead = [&](size_t i, bool place) {
          if (i >= want || block[i] - first >= span) return;
          const PostingCursor& posting = postings[block[i]];
          Prefetch(place ? static_cast<const void*>(coded.data() + posting.bytes) : &posting);
        };
        for (size_t i = 0; i < want; ++i) {
          ahead(i + 16, false);
          ahead(i + 8, true);
          const uint32_t entry = block[i];
          if (entry - first >= span) continue;  // another group's, or no entry
          const uint64_t position = static_cast<uint64_t>(done) + i;
          PostingCursor& posting = postings[entry];
          posting.bytes += PutVarint(position - posting.last, coded.data() + posting.bytes);
          posting.last = position;
        }
        done += static_cast<int64_t>(want);
      }
      out.Write(std::string_view(reinterpret_cast<const char*>(coded.data()), coded.size()));
    }
    lo = hi;
  }
  close(fd);
  return status;
}

// Which texts of the old index can stand for the session's: the same path, size and content
// under the same rules, with every token's word in the new vocabulary. -1 for a text to read.
std::vector<int64_t> ReusableTexts(const Session& session, const ProjectIndex* old, const std::vector<TextStamp>& stamps,
                                   std::vector<uint32_t>& renumber) {
  const std::vector<std::string>& files = session.project.Files;
  std::vector<int64_t> reuse(files.size(), -1);
  if (old == nullptr || old->rulesKey() != RulesKey(session.project.rules, session.tables)) return reuse;
  std::unordered_map<std::string_view, uint32_t> newPlace;
  const EntryList& vocabulary = session.lists.Vocabulary;
  for (size_t p = 0; p < vocabulary.size(); ++p) newPlace.emplace(vocabulary[p].word, static_cast<uint32_t>(p));
  renumber.assign(old->entryCount() + 1, kNoEntry);
  for (size_t p = 0; p < old->entryCount(); ++p) {
    auto found = newPlace.find(old->words()[p]);
    if (found != newPlace.end()) renumber[p] = found->second;
  }
  std::unordered_map<std::string_view, size_t> oldText;
  for (size_t i = 0; i < old->fileCount(); ++i) oldText.emplace(old->TextPath(i), i);
  for (size_t i = 0; i < files.size(); ++i) {
    auto found = oldText.find(files[i]);
    if (found == oldText.end() || stamps[i].size < 0) continue;
    const ProjectIndex::Text& record = old->TextRecord(found->second);
    if (record.size != stamps[i].size || record.hash != stamps[i].hash) continue;
    bool known = true;
    for (uint32_t token : old->FileTokens(found->second)) {
      if (token >= old->entryCount() || renumber[token] == kNoEntry) {
        known = false;
        break;
      }
    }
    if (known) reuse[i] = static_cast<int64_t>(found->second);
  }
  return reuse;
}

Status BuildIndex(const Session& session, const std::string& path, const ScratchFolder& scratch,
                  const ProjectIndex* old, ProgressSink* progress) {
  const std::vector<std::string>& files = session.project.Files;
  std::vector<TextStamp> stamps;
  stamps.reserve(files.size());
  for (const std::string& file : files) stamps.push_back(StampText(file, true));
  std::vector<uint32_t> renumber;
  const std::vector<int64_t> reuse = ReusableTexts(session, old, stamps, renumber);
  std::vector<size_t> fresh;
  for (size_t i = 0; i < files.size(); ++i) {
    if (reuse[i] < 0) fresh.push_back(i);
  }
  std::vector<std::string> freshPaths;
  for (size_t i : fresh) freshPaths.push_back(files[i]);

  AtomicFile target;
  Status status = target.Open(path);
  if (!status.ok()) return status;
  FileWriter& out = target.writer();
  FileWriter lines, events, strings, checkpoints;
  for (auto [name, writer] : {std::pair{"X1", &lines}, std::pair{"X2", &events}, std::pair{"X3", &strings},
                              std::pair{"X4", &checkpoints}}) {
    status = scratch.OpenForWrite(name, *writer);
    if (!status.ok()) return status;
  }
  IndexWriter writer(out, lines, events, strings, checkpoints, session.lists.Vocabulary, session.scan);
  size_t next = 0;  // the next text to write
  auto copyUntil = [&](size_t end) {
    for (; next < end; ++next) writer.CopyText(*old, static_cast<size_t>(reuse[next]), renumber);
  };
  writer.Texts(&fresh, [&](size_t real) {
    copyUntil(real);
    next = real + 1;
  });
  if (!StreamTokens(freshPaths, session.project.rules, session.tables, session.scan, session.lists.Vocabulary, writer,
                    progress)) {
    return Status::Error("Stopped.");
  }
  copyUntil(files.size());
  // A text that changed while it was read is kept as one that never matches.
  for (size_t i : fresh) {
    const TextStamp after = StampText(files[i], false);
    if (after.size != stamps[i].size || after.mtimeNs != stamps[i].mtimeNs) stamps[i].size = kChangedWhileRead;
  }
  writer.FlushTokens();
  writer.StampTexts(stamps, files);
  for (FileWriter* staged : {&lines, &events, &strings, &checkpoints}) {
    status = staged->Close();
    if (!status.ok()) return status;
  }

  IndexHeader header{};
  std::memcpy(header.magic, kIndexMagic, sizeof kIndexMagic);
  header.version = kIndexVersion;
  header.rulesKey = RulesKey(session.project.rules, session.tables);
  header.vocabularyKey = VocabularyKey(session.lists.Vocabulary);
  header.filesKey = FilesKey(files);
  header.tokenCount = static_cast<uint64_t>(writer.totalTokens());
  header.fileCount = files.size();
  header.entryCount = session.lists.Vocabulary.size();
  uint64_t at = 0;
  auto place = [&](IndexSection section, uint64_t size) {
    PadToEight(out, at);
    header.sections[section] = IndexSectionPlace{at, size};
    at += size;
  };
  place(kTokensSection, header.tokenCount * 4);
  place(kLinesSection, static_cast<uint64_t>(writer.lineCount()) * sizeof(ProjectIndex::Line));
  status = CopyScratch(scratch, "X1", out);
  place(kEventsSection, static_cast<uint64_t>(writer.eventCount()) * sizeof(ProjectIndex::Event));
  if (status.ok()) status = CopyScratch(scratch, "X2", out);
  place(kStringsSection, writer.stringBytes());
  if (status.ok()) status = CopyScratch(scratch, "X3", out);
  place(kCheckpointsSection, static_cast<uint64_t>(writer.checkpointCount()) * sizeof(ProjectIndex::Checkpoint));
  if (status.ok()) status = CopyScratch(scratch, "X4", out);
  if (!status.ok()) return status;
  place(kTextsSection, writer.texts().size() * sizeof(ProjectIndex::Text));
  for (const ProjectIndex::Text& text : writer.texts()) Put(out, text);

  const EntryList& vocabulary = session.lists.Vocabulary;
  place(kWordOffsetsSection, (vocabulary.size() + 1) * 8);
  uint64_t wordBytes = 0;
  for (const Entry& entry : vocabulary) {
    Put(out, wordBytes);
    wordBytes += entry.word.size();
  }
  Put(out, wordBytes);
  place(kWordBytesSection, wordBytes);
  for (const Entry& entry : vocabulary) out.Write(entry.word);

  std::vector<PostingCursor>& postings = writer.postings();
  place(kPostingOffsetsSection, (vocabulary.size() + 1) * 8);
  uint64_t postingBytes = 0;
  for (const PostingCursor& posting : postings) {
    Put(out, postingBytes);
    postingBytes += posting.bytes;
  }
  Put(out, postingBytes);
  place(kPostingsSection, postingBytes);
  out.Flush();
  status = WritePositions(target.temporaryPath(), writer.totalTokens(), postings, out);
  if (!status.ok()) return status;
  Put(out, header);
  return target.Commit();
}

}  // namespace

std::string IndexPathFor(const std::string& projectPath) {
  const size_t slash = projectPath.find_last_of('/');
  const size_t dot = projectPath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? projectPath.substr(0, dot) : projectPath) + ".wlx";
}

Status UpdateProjectIndex(const Session& session, const std::string& path, const ScratchFolder& scratch,
                          std::shared_ptr<const ProjectIndex>& index, ProgressSink* progress) {
  index.reset();
  if (session.lists.Vocabulary.empty()) return Status::Ok();
  // Something else where the index would go (a folder, a device) is left alone, at once.
  struct stat info {};
  if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return Status::Error(kNotRegularFile);
  std::shared_ptr<const ProjectIndex> old;
  if (ProjectIndex::Open(path, old).ok() && old->Matches(session)) {
    index = std::move(old);
    return Status::Ok();
  }
  Status status = BuildIndex(session, path, scratch, old.get(), progress);
  if (!status.ok()) return status;
  return ProjectIndex::Open(path, index);
}

}  // namespace wordloom
