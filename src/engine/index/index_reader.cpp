// Opening an index file: the mapping and the checks that make every later read stay inside it.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <unordered_map>
#include <bit>

#include "base/regular_file.h"
#include "index/index_format.h"

namespace wordloom {

namespace {
constexpr int64_t kReleaseEvery = (1 << 22) - 1;  // tokens read before their pages are let go
}  // namespace

// Reads the header and sections of a mapped file into a ProjectIndex, checking as it goes.
struct IndexLayout {
  static Status Fail() { return Status::Error("The index is damaged or of another version."); }

  // The section's place, when it lies inside the file, is aligned, and holds `count` records
  // of `record` bytes (any whole number of them when `count` is negative).
  static bool Section(const ProjectIndex& index, const IndexHeader& header, IndexSection section, size_t record,
                      int64_t count, const unsigned char*& at, size_t& size) {
    const IndexSectionPlace& place = header.sections[section];
    if (place.offset % 8 != 0 || place.offset > index.size_ || place.size > index.size_ - place.offset) return false;
    if (place.size % record != 0) return false;
    if (count >= 0 && place.size / record != static_cast<uint64_t>(count)) return false;
    at = index.data_ + place.offset;
    size = static_cast<size_t>(place.size);
    return true;
  }

  // True when `offsets` (count + 1 of them) rise from 0 to `total`.
  static bool Rising(const uint64_t* offsets, size_t count, size_t total) {
    if (offsets[0] != 0 || offsets[count] != total) return false;
    for (size_t i = 0; i < count; ++i) {
      if (offsets[i] > offsets[i + 1]) return false;
    }
    return true;
  }

  static Status Read(ProjectIndex& index) {
    if (index.size_ < sizeof(IndexHeader)) return Fail();
    IndexHeader header;
    std::memcpy(&header, index.data_ + index.size_ - sizeof header, sizeof header);  // the header ends the file
    if (std::memcmp(header.magic, kIndexMagic, sizeof kIndexMagic) != 0 || header.version != kIndexVersion ||
        header.flags != 0) {
      return Fail();
    }
    if (header.tokenCount > index.size_ / 4 || header.fileCount > index.size_ / sizeof(ProjectIndex::Text) ||
        header.entryCount >= index.size_ / 8) {
      return Fail();
    }
    index.tokenCount_ = static_cast<int64_t>(header.tokenCount);
    index.entryCount_ = static_cast<size_t>(header.entryCount);
    index.rulesKey_ = header.rulesKey;
    index.vocabularyKey_ = header.vocabularyKey;
    index.filesKey_ = header.filesKey;
    const unsigned char* at = nullptr;
    size_t size = 0;
    const int64_t entries = static_cast<int64_t>(header.entryCount);
    if (!Section(index, header, kTokensSection, 4, index.tokenCount_, at, size)) return Fail();
    index.tokens_ = reinterpret_cast<const uint32_t*>(at);
    if (!Section(index, header, kLinesSection, sizeof(ProjectIndex::Line), -1, at, size)) return Fail();
    index.lines_ = reinterpret_cast<const ProjectIndex::Line*>(at);
    const int64_t lineCount = static_cast<int64_t>(size / sizeof(ProjectIndex::Line));
    if (!Section(index, header, kEventsSection, sizeof(ProjectIndex::Event), -1, at, size)) return Fail();
    index.events_ = reinterpret_cast<const ProjectIndex::Event*>(at);
    const int64_t eventCount = static_cast<int64_t>(size / sizeof(ProjectIndex::Event));
    if (!Section(index, header, kStringsSection, 1, -1, at, index.stringBytes_)) return Fail();
    index.strings_ = reinterpret_cast<const char*>(at);
    if (!Section(index, header, kCheckpointsSection, sizeof(ProjectIndex::Checkpoint), -1, at, size)) return Fail();
    index.checkpoints_ = reinterpret_cast<const ProjectIndex::Checkpoint*>(at);
    const int64_t checkpointCount = static_cast<int64_t>(size / sizeof(ProjectIndex::Checkpoint));
    if (!Section(index, header, kTextsSection, sizeof(ProjectIndex::Text), static_cast<int64_t>(header.fileCount), at,
                 size)) {
      return Fail();
    }
    // Opening reads the texts' records, values and restart points through: ahead of need.
    index.MapNow(index.events_, index.events_ + eventCount);
    index.MapNow(index.checkpoints_, index.checkpoints_ + checkpointCount);
    index.fileCount_ = static_cast<size_t>(header.fileCount);
    index.files_.resize(index.fileCount_);
    if (size != 0) std::memcpy(index.files_.data(), at, size);
    if (!CheckTexts(index, lineCount, eventCount, checkpointCount)) return Fail();

    const unsigned char* wordBytes = nullptr;
    size_t wordSize = 0;
    if (!Section(index, header, kWordOffsetsSection, 8, entries + 1, at, size) ||
        !Section(index, header, kWordBytesSection, 1, -1, wordBytes, wordSize)) {
      return Fail();
    }
    const uint64_t* wordOffsets = reinterpret_cast<const uint64_t*>(at);
    if (!Rising(wordOffsets, index.entryCount_, wordSize)) return Fail();
    index.wordOffsets_ = wordOffsets;
    index.wordBytes_ = reinterpret_cast<const char*>(wordBytes);
    if (!Section(index, header, kPostingOffsetsSection, 8, entries + 1, at, size) ||
        !Section(index, header, kPostingsSection, 1, -1, index.postings_, index.postingBytes_)) {
      return Fail();
    }
    index.postingOffsets_ = reinterpret_cast<const uint64_t*>(at);
    if (!Rising(index.postingOffsets_, index.entryCount_, index.postingBytes_)) return Fail();
    return Status::Ok();
  }

  // The texts' tokens, lines and events follow each other and stay inside their sections;
  // each event's value lies inside the strings and names a letter.
  static bool CheckTexts(const ProjectIndex& index, int64_t lineCount, int64_t eventCount, int64_t checkpointCount) {
    int64_t token = 0, line = 0, event = 0, checkpoint = 0;
    for (const ProjectIndex::Text& text : index.files_) {
      if (text.firstToken != token || text.firstLine != line || text.firstEvent != event ||
          text.firstCheckpoint != checkpoint) {
        return false;
      }
      if (text.tokenCount < 0 || text.lineCount < 0 || text.eventCount < 0 || text.checkpointCount < 0) return false;
      if (text.tokenCount > index.tokenCount_ - token || text.lineCount > lineCount - line ||
          text.eventCount > eventCount - event || text.checkpointCount > checkpointCount - checkpoint) {
        return false;
      }
      // Checkpoints rise through the text, stay within its bytes, tokens and values, and lie far
      // enough apart for a pass to start reading one checkpoint before where it looks.
      int64_t previousToken = 0, previousChars = 0, previousOffset = 0;
      for (int64_t c = checkpoint; c < checkpoint + text.checkpointCount; ++c) {
        const ProjectIndex::Checkpoint& at = index.checkpoints_[c];
        if (at.token < previousToken || at.token > text.tokenCount || at.chars - previousChars < kCheckpointChars ||
            at.chars > kMostChars || at.offset <= previousOffset || at.offset >= text.size || at.event < 0 ||
            at.event > text.eventCount) {
          return false;
        }
        previousToken = at.token;
        previousChars = at.chars;
        previousOffset = at.offset;
      }
      checkpoint += text.checkpointCount;
      if (text.pathOffset > index.stringBytes_ || text.pathLength > index.stringBytes_ - text.pathOffset) return false;
      token += text.tokenCount;
      line += text.lineCount;
      event += text.eventCount;
      for (int64_t e = text.firstEvent; e < event; ++e) {
        const ProjectIndex::Event& value = index.events_[e];
        if (value.letter < 1 || value.letter > kLetterCount || value.stringOffset > index.stringBytes_ ||
            value.length > index.stringBytes_ - value.stringOffset || value.token < 0 ||
            value.token > text.tokenCount) {
          return false;
        }
      }
    }
    return token == index.tokenCount_ && line == lineCount && event == eventCount && checkpoint == checkpointCount;
  }
};

void ProjectIndex::Release(const void* from, const void* to) const {
  // Whole pages only, so that nothing still to be read is dropped; the data stays in the
  // system's cache, and this process's share of memory stays flat however long the stream.
  static const uintptr_t kPage = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = (reinterpret_cast<uintptr_t>(from) + kPage - 1) & ~(kPage - 1);
  const uintptr_t last = reinterpret_cast<uintptr_t>(to) & ~(kPage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

ProjectIndex::~ProjectIndex() {
  if (data_ != nullptr) munmap(const_cast<unsigned char*>(data_), size_);
}

Status ProjectIndex::Open(const std::string& path, std::shared_ptr<const ProjectIndex>& index) {
  index.reset();
  if constexpr (std::endian::native != std::endian::little) {
    return Status::Error("The index is kept only on little-endian machines.");
  }
  int fd = -1;
  Status status = OpenRegularFile(path, fd);
  if (!status.ok()) return status;
  struct stat info {};
  if (fstat(fd, &info) != 0 || info.st_size <= 0) {
    close(fd);
    return IndexLayout::Fail();
  }
  std::shared_ptr<ProjectIndex> opened(new ProjectIndex);
  opened->size_ = static_cast<size_t>(info.st_size);
  void* mapped = mmap(nullptr, opened->size_, PROT_READ, MAP_SHARED, fd, 0);
  close(fd);
  if (mapped == MAP_FAILED) return IndexLayout::Fail();
  opened->data_ = static_cast<const unsigned char*>(mapped);
  // Queries touch a few pages here and there: no reading ahead, nor mapping the pages around
  // each one read. Streams ask for reading ahead on what they stream.
  madvise(mapped, opened->size_, MADV_RANDOM);
  status = IndexLayout::Read(*opened);
  if (!status.ok()) return status;
  index = std::move(opened);
  return Status::Ok();
}

bool ProjectIndex::Matches(const Session& session) const {
  return entryCount_ == session.lists.Vocabulary.size() && vocabularyKey_ == VocabularyKey(session.lists.Vocabulary) &&
         HoldsTexts(session.project.Files, RulesKey(session.project.rules, session.tables));
}

bool ProjectIndex::HoldsTexts(const std::vector<std::string>& files, uint64_t rulesKey) const {
  if (files.size() != files_.size() || rulesKey_ != rulesKey || filesKey_ != FilesKey(files)) return false;
  for (size_t i = 0; i < files.size(); ++i) {
    const TextStamp stamp = StampText(files[i], false);
    if (stamp.size != files_[i].size || (stamp.size >= 0 && stamp.mtimeNs != files_[i].mtimeNs)) return false;
  }
  return true;
}

bool ProjectIndex::MayLendAText(const std::vector<std::string>& files, uint64_t rulesKey) const {
  if (rulesKey_ != rulesKey) return false;
  std::unordered_map<std::string_view, int64_t> sizes;
  for (size_t i = 0; i < files_.size(); ++i) sizes.emplace(TextPath(i), files_[i].size);
  return std::any_of(files.begin(), files.end(), [&](const std::string& file) {
    const auto found = sizes.find(file);
    return found != sizes.end() && found->second >= 0 && found->second == StampText(file, false).size;
  });
}

std::span<const uint32_t> ProjectIndex::FileTokens(size_t file) const {
  const Text& text = files_[file];
  return {tokens_ + text.firstToken, static_cast<size_t>(text.tokenCount)};
}

int64_t ProjectIndex::FirstToken(size_t file) const { return files_[file].firstToken; }

const ProjectIndex::Text& ProjectIndex::TextRecord(size_t file) const { return files_[file]; }

std::string_view ProjectIndex::TextPath(size_t file) const {
  return {strings_ + files_[file].pathOffset, static_cast<size_t>(files_[file].pathLength)};
}

std::span<const ProjectIndex::Line> ProjectIndex::TextLines(size_t file) const {
  return {lines_ + files_[file].firstLine, static_cast<size_t>(files_[file].lineCount)};
}

std::span<const ProjectIndex::Event> ProjectIndex::TextEvents(size_t file) const {
  return {events_ + files_[file].firstEvent, static_cast<size_t>(files_[file].eventCount)};
}

std::span<const ProjectIndex::Checkpoint> ProjectIndex::TextCheckpoints(size_t file) const {
  return {checkpoints_ + files_[file].firstCheckpoint, static_cast<size_t>(files_[file].checkpointCount)};
}

std::string_view ProjectIndex::EventValue(const Event& event) const {
  return {strings_ + event.stringOffset, event.length};
}

bool ProjectIndex::Positions(EntryPosition entry, std::vector<int64_t>& positions) const {
  positions.clear();
  if (entry >= entryCount_) return false;
  const unsigned char* at = postings_ + postingOffsets_[entry];
  const unsigned char* end = postings_ + postingOffsets_[entry + 1];
  uint64_t position = 0;
  while (at < end) {
    uint64_t delta = 0;
    for (unsigned shift = 0;; shift += 7) {
      if (at == end || shift > 63) return false;
      const unsigned char byte = *at++;
      delta |= static_cast<uint64_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) break;
    }
    position += delta;
    if (position >= static_cast<uint64_t>(tokenCount_)) return false;
    positions.push_back(static_cast<int64_t>(position));
  }
  return true;
}

bool ProjectIndex::StreamAround(const std::vector<EntryPosition>& starts, int64_t before, int64_t after,
                                const ScanContext& reader, TokenSink& sink, ProgressSink* progress) const {
  std::vector<int64_t> positions, some;
  for (EntryPosition entry : starts) {
    if (!Positions(entry, some)) return Stream(reader, sink, progress);  // damaged: the whole stream instead
    positions.insert(positions.end(), some.begin(), some.end());
  }
  std::sort(positions.begin(), positions.end());
  size_t file = 0;
  for (size_t i = 0; i < positions.size();) {
    if (progress && (i & 0xFFFF) == 0 && progress->StopRequested()) return false;
    while (positions[i] >= files_[file].firstToken + files_[file].tokenCount) ++file;
    const int64_t textStart = files_[file].firstToken;
    const int64_t textEnd = textStart + files_[file].tokenCount;
    const int64_t from = std::max(textStart, positions[i] - before);
    int64_t to = std::min(textEnd, positions[i] + after + 1);
    for (++i; i < positions.size() && positions[i] - before <= to && positions[i] < textEnd; ++i) {
      to = std::min(textEnd, positions[i] + after + 1);
    }
    sink.BeginFile(static_cast<uint32_t>(file));
    for (int64_t t = from; t < to; ++t) sink.Token(tokens_[t] < entryCount_ ? tokens_[t] : kNoEntry);
    sink.EndFile();
    // The system maps the pages around each one read (a whole large page of the cache at
    // times): let the neighbourhood go.
    constexpr uintptr_t kAround = uintptr_t{1} << 21;
    const uintptr_t first = reinterpret_cast<uintptr_t>(tokens_ + from) & ~(kAround - 1);
    const uintptr_t last = (reinterpret_cast<uintptr_t>(tokens_ + to) + kAround - 1) & ~(kAround - 1);
    const uintptr_t mapped = reinterpret_cast<uintptr_t>(data_);
    Release(reinterpret_cast<const void*>(std::max(first, mapped)),
            reinterpret_cast<const void*>(std::min(last, mapped + size_)));
  }
  return !(progress && progress->StopRequested());
}

void ProjectIndex::MapNow(const void* from, const void* to) const {
#ifdef MADV_POPULATE_READ
  // One call maps every page, where reading them would fault on each.
  static const uintptr_t kPage = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = reinterpret_cast<uintptr_t>(from) & ~(kPage - 1);
  const uintptr_t last = reinterpret_cast<uintptr_t>(to);
  if (last > first && madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_READ) == 0) return;
#endif
  ReadAhead(from, to);  // an older kernel
}

void ProjectIndex::ReadAhead(const void* from, const void* to) const {
  static const uintptr_t kPage = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = reinterpret_cast<uintptr_t>(from) & ~(kPage - 1);
  const uintptr_t last = reinterpret_cast<uintptr_t>(to);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_SEQUENTIAL);
}

bool ProjectIndex::Stream(const ScanContext& reader, TokenSink& sink, ProgressSink* progress) const {
  ReadAhead(tokens_, tokens_ + tokenCount_);
  ScanContext context = reader.PassCopy();
  std::array<std::string, kLetterCount + 1>& values = context.references.ReferenceLetterValue;
  const int64_t fileTotal = static_cast<int64_t>(files_.size());
  for (size_t f = 0; f < files_.size(); ++f) {
    if (progress && progress->StopRequested()) return false;
    const Text& text = files_[f];
    sink.BeginFile(static_cast<uint32_t>(f));
    const uint32_t* tokens = tokens_ + text.firstToken;
    const Event* event = events_ + text.firstEvent;
    const Event* lastEvent = event + text.eventCount;
    // The tags a line sets take effect when the reader hands the line out, before its tokens;
    // a line is handed out at the text's start and wherever a value changed.
    for (int64_t t = 0; t < text.tokenCount || event != lastEvent;) {
      for (; event != lastEvent && event->token <= t; ++event) {
        values[event->letter].assign(strings_ + event->stringOffset, event->length);
      }
      sink.LineRead(context);
      const int64_t until = event != lastEvent ? event->token : text.tokenCount;
      for (; t < until; ++t) {
        const uint32_t entry = tokens[t];
        sink.Token(entry < entryCount_ ? entry : kNoEntry);
        if ((t & kReleaseEvery) == kReleaseEvery) Release(tokens + t - kReleaseEvery, tokens + t);
      }
    }
    sink.EndFile();
    Release(tokens, tokens + text.tokenCount);
    if (progress) progress->Progress(static_cast<int64_t>(f + 1), fileTotal);
  }
  return !(progress && progress->StopRequested());
}

}  // namespace wordloom
