// Building an index file: the tokens of the texts that changed (the others' come from the old
// index; when every text changed, from the scan's recording of them, scan_recording.h, or
// read on several threads, piece_tokens.h, else one pass), then each entry's positions, a
// group of entries at a time, each stretch's tokens on a thread of its own. Every text is read
// once more for its content hash: first, when an old index may lend texts, else on a thread of
// its own meanwhile.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "base/atomic_file.h"
#include "base/bits.h"
#include "base/regular_file.h"
#include "base/side_by_side.h"
#include "base/table_memory.h"
#include "index/index_format.h"
#include "index/index_writer.h"
#include "index/piece_tokens.h"
#include "index/scan_recording.h"

namespace wordloom {
namespace {

constexpr int64_t kChangedWhileRead = -2;      // a text's size when it changed while it was read

template <typename Record>
void Put(FileWriter& out, const Record& record) {
  out.Write(std::string_view(reinterpret_cast<const char*>(&record), sizeof record));
}

// Appends the scratch file `name` to `out`.
Status CopyScratch(const ScratchFolder& scratch, const std::string& name, FileWriter& out) {
  Status status;
  const int fd = scratch.OpenForRead(name, status);
  if (fd < 0) return status;
  struct stat info {};
  const bool copied = fstat(fd, &info) == 0 && out.CopyFrom(fd, static_cast<uint64_t>(info.st_size));
  close(fd);
  scratch.Remove(name);
  return copied ? Status::Ok() : Status::Error("Cannot read the scratch file " + name + ".");
}

// The entries [lo, hi) whose coded positions are built at once.
struct PositionGroup {
  size_t lo = 0;
  size_t hi = 0;
  uint64_t bytes = 0;
};

// Groups of entries whose positions fit `budget` bytes (an entry larger than that alone).
std::vector<PositionGroup> PositionGroups(const std::vector<PostingCursor>& postings, uint64_t budget) {
  std::vector<PositionGroup> groups;
  for (size_t lo = 0; lo < postings.size();) {
    PositionGroup group{lo, lo, 0};
    while (group.hi < postings.size() && (group.hi == lo || group.bytes + postings[group.hi].bytes <= budget)) {
      group.bytes += postings[group.hi++].bytes;
    }
    groups.push_back(group);
    lo = group.hi;
  }
  return groups;
}

// The group's entries cut into spans whose coded positions and cursors fit a core's cache (a
// 128th of the budget `budget` of a group: 256 KiB), as the span of each entry of the group,
// counted from the group's first.
std::vector<uint8_t> CacheSpans(const std::vector<PostingCursor>& postings, const PositionGroup& group,
                                uint64_t budget, size_t& spanCount) {
  constexpr size_t kMostSpans = 256;
  const uint64_t spanBytes = std::max<uint64_t>(budget / 128, group.bytes / kMostSpans + 1);
  std::vector<uint8_t> spanOf(group.hi - group.lo);
  uint64_t filled = 0;
  size_t span = 0;
  for (size_t e = group.lo; e < group.hi; ++e) {
    if (filled > 0 && filled + postings[e].bytes + sizeof(PostingCursor) > spanBytes && span + 1 < kMostSpans) {
      ++span;
      filled = 0;
    }
    filled += postings[e].bytes + sizeof(PostingCursor);
    spanOf[e - group.lo] = static_cast<uint8_t>(span);
  }
  spanCount = span + 1;
  return spanOf;
}

// Takes the whole pages of `bytes` bytes at `start`, part of a mapped file, out of the mapping:
// the system keeps them in its cache, and the process holds no more of the file than it reads
// at once. A page read again is mapped again.
void LeaveMapping(const void* start, size_t bytes) {
  static const uintptr_t kPage = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t from = reinterpret_cast<uintptr_t>(start) & ~(kPage - 1);
  const uintptr_t to = (reinterpret_cast<uintptr_t>(start) + bytes) & ~(kPage - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

// Codes the positions of `group`'s entries among `slice`'s tokens into `coded`, the stream's
// tokens being `tokens`. `cursors` (one an entry of the group) say where each entry's first
// position there goes and what position came before it. `spanOf` cuts the group into spans
// (CacheSpans): each block of tokens is sorted by span, keeping their order, so that coding
// a span's tokens writes to a stretch of `coded` that stays in the cache.
void CodeSlice(const uint32_t* tokens, const PositionSlice& slice, const PositionGroup& group,
               const std::vector<uint8_t>& spanOf, size_t spanCount, std::vector<PostingCursor>& cursors,
               unsigned char* coded) {
  struct Token {
    uint32_t entry;   // from the group's first
    uint32_t offset;  // in the block
  };
  const uint32_t first = static_cast<uint32_t>(group.lo);
  const uint32_t width = static_cast<uint32_t>(group.hi - group.lo);
  // A block's tokens, picked and sorted, stay in a core's cache.
  constexpr size_t kBlock = 1 << 16;
  constexpr uint32_t kSpanShift = 24, kOffsetMask = (1u << kSpanShift) - 1;
  static_assert(kBlock <= kOffsetMask + 1);
  std::vector<Token> picked(kBlock), sorted(spanCount > 1 ? kBlock : 0);
  std::vector<size_t> starts(spanCount + 1);
  for (int64_t done = 0; done < slice.tokenCount;) {
    const size_t want = static_cast<size_t>(std::min<int64_t>(slice.tokenCount - done, static_cast<int64_t>(kBlock)));
    const int64_t at = slice.firstToken + done;
    const uint32_t* block = tokens + at;
    // The group's tokens, without a branch (the others are another group's, or no entry's).
    size_t inGroup = 0;
    for (size_t i = 0; i < want; ++i) {
      const uint32_t entry = block[i] - first;
      picked[inGroup] = Token{entry, static_cast<uint32_t>(i)};
      inGroup += entry < width ? 1 : 0;
    }
    if (spanCount > 1) {
      // Each token's span is looked up once, and kept above its offset for the scatter.
      std::fill(starts.begin(), starts.end(), 0);
      for (size_t i = 0; i < inGroup; ++i) {
        const uint32_t span = spanOf[picked[i].entry];
        ++starts[span + 1];
        picked[i].offset |= span << kSpanShift;
      }
      for (size_t span = 1; span <= spanCount; ++span) starts[span] += starts[span - 1];
      for (size_t i = 0; i < inGroup; ++i) sorted[starts[picked[i].offset >> kSpanShift]++] = picked[i];
    }
    const std::vector<Token>& ordered = spanCount > 1 ? sorted : picked;
    for (size_t i = 0; i < inGroup; ++i) {
      // A cursor is first met in a block out of the cache: it is fetched ahead of need.
      if (i + 16 < inGroup) Prefetch(&cursors[ordered[i + 16].entry]);
      const Token& token = ordered[i];
      const uint64_t position = static_cast<uint64_t>(at) + (token.offset & kOffsetMask);
      PostingCursor& cursor = cursors[token.entry];
      cursor.bytes += PutVarint(position - cursor.last, coded + cursor.bytes);
      cursor.last = position;
    }
    LeaveMapping(block, want * 4);
    done += static_cast<int64_t>(want);
  }
}

// Where each slice's positions of `group`'s entries start: an entry's positions follow one
// another slice after slice, and only the first in a slice is coded against another slice's.
std::vector<std::vector<PostingCursor>> SliceCursors(const std::vector<PositionSlice>& slices,
                                                     const std::vector<PostingCursor>& postings,
                                                     const PositionGroup& group) {
  std::vector<std::vector<PostingCursor>> cursors(slices.size(), std::vector<PostingCursor>(group.hi - group.lo));
  uint64_t at = 0;
  for (size_t e = group.lo; e < group.hi; ++e) {
    uint64_t start = at, last = 0;
    for (size_t s = 0; s < slices.size(); ++s) {
      cursors[s][e - group.lo] = PostingCursor{start, last};
      const PostingCursor& counted = (*slices[s].postings)[e];
      if (counted.bytes == 0) continue;
      const uint64_t base = static_cast<uint64_t>(slices[s].firstToken);
      start += JoinedBytes(counted, (*slices[s].firsts)[e], base, last);
      last = base + counted.last;
    }
    at += postings[e].bytes;
  }
  return cursors;
}

// Writes each entry's coded positions, in entry order, reading the tokens back from the start
// of `tokensPath`: a group of entries of no more than `budget` bytes at a time, its slices of
// the token stream side by side. `postings` hold each entry's coded size over the whole stream.
Status WritePositions(const std::string& tokensPath, const std::vector<PositionSlice>& slices,
                      const std::vector<PostingCursor>& postings, uint64_t budget, FileWriter& out) {
  const Status cannotReadBack = Status::Error("Cannot read back the index being written.");
  if (slices.empty()) return cannotReadBack;
  const int64_t tokenCount = slices.back().firstToken + slices.back().tokenCount;
  if (tokenCount == 0) return Status::Ok();
  // Mapped, the tokens are read where the system keeps them: every group reads them all.
  const size_t tokenBytes = static_cast<size_t>(tokenCount) * 4;
  const int fd = open(tokensPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return cannotReadBack;
  // A file shorter than its tokens (a write that failed) would fault when read past its end.
  struct stat info {};
  void* mapped = fstat(fd, &info) == 0 && static_cast<uint64_t>(info.st_size) >= tokenBytes
                     ? mmap(nullptr, tokenBytes, PROT_READ, MAP_SHARED, fd, 0)
                     : MAP_FAILED;
  close(fd);
  if (mapped == MAP_FAILED) return cannotReadBack;
  const std::unique_ptr<void, MappedMemory> unmap(mapped, MappedMemory{tokenBytes});
  bool ok = true;
  for (const PositionGroup& group : PositionGroups(postings, budget)) {
    if (group.bytes == 0) continue;  // entries never met
    // Unwritten, its pages are first touched by the slices' threads, side by side.
    const auto coded = MapTable<unsigned char>(group.bytes);
    if (!coded) throw std::bad_alloc();  // as any other memory the build cannot have
    std::vector<std::vector<PostingCursor>> cursors = SliceCursors(slices, postings, group);
    size_t spanCount = 0;
    const std::vector<uint8_t> spanOf = CacheSpans(postings, group, budget, spanCount);
    std::vector<char> done(slices.size(), 0);
    const auto code = [&](size_t s) {
      try {
        CodeSlice(static_cast<const uint32_t*>(mapped), slices[s], group, spanOf, spanCount, cursors[s], coded.get());
        done[s] = 1;
      } catch (const std::exception&) {
        done[s] = 0;  // memory ran out: the build fails
      }
    };
    SideBySide(slices.size(), code);
    ok = std::all_of(done.begin(), done.end(), [](char d) { return d != 0; });
    if (!ok) break;
    out.Write(std::string_view(reinterpret_cast<const char*>(coded.get()), group.bytes));
    out.StartWriteBack();  // to storage while the next group is coded
  }
  return ok ? Status::Ok() : cannotReadBack;
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
    auto found = newPlace.find(old->Word(p));
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
                  const ProjectIndex* old, const IndexBuildOptions& options, ProgressSink* progress) {
  const std::vector<std::string>& files = session.project.Files;
  IndexHeader header{};
  header.rulesKey = RulesKey(session.project.rules, session.tables);
  // Which texts the old index can lend is known by their hashes; with nothing to lend, the
  // hashes are read while the index is built, and the texts' records written once they are in.
  const bool mayLend = old != nullptr && old->rulesKey() == header.rulesKey;
  std::vector<TextStamp> stamps, hashed(files.size());
  stamps.reserve(files.size());
  for (const std::string& file : files) stamps.push_back(StampText(file, mayLend));
  const auto hashAll = [&files, &hashed](const std::stop_token& stop) {
    try {
      for (size_t i = 0; i < files.size() && !stop.stop_requested(); ++i) hashed[i] = StampText(files[i], true);
    } catch (const std::bad_alloc&) {
      // A text left unhashed has no size: it never matches.
    }
  };
  std::jthread hashing;
  if (!mayLend) {
    try {
      hashing = std::jthread(hashAll);
    } catch (const std::system_error&) {
      hashAll(std::stop_token());  // no thread to be had: this one reads them
    }
  }
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
  IndexWriter writer(IndexOutputs{&out, &lines, &events, &strings, &checkpoints}, session.lists.Vocabulary,
                     session.scan);
  size_t next = 0;  // the next text to write
  auto copyUntil = [&](size_t end) {
    for (; next < end; ++next) writer.CopyText(*old, static_cast<size_t>(reuse[next]), renumber);
  };
  writer.Texts(&fresh, [&](size_t real) {
    copyUntil(real);
    next = real + 1;
  });
  // Texts read afresh, every one of them, may come from the scan's recording, or be read in
  // pieces side by side.
  bool inPieces = false;
  if (fresh.size() == files.size() && session.recording) {
    status = session.recording->AppendTo(writer, files, header.rulesKey, session.tables, session.lists.Vocabulary,
                                         inPieces);
    if (!status.ok()) return status;
  }
  if (fresh.size() == files.size() && !inPieces) {
    status = WriteTokensInPieces(freshPaths, session, scratch, options, writer, progress, inPieces);
    if (!status.ok()) return status;
  }
  if (inPieces) next = files.size();
  if (!inPieces && !StreamTokens(freshPaths, session.project.rules, session.tables, session.scan,
                                 session.lists.Vocabulary, writer, progress)) {
    return Status::Error("Stopped.");
  }
  copyUntil(files.size());
  writer.FlushTokens();
  std::jthread tokensToStorage = out.StartWriteBackAside();  // while the positions are coded
  writer.NameTexts(files);
  for (FileWriter* staged : {&lines, &events, &strings, &checkpoints}) {
    status = staged->Close();
    if (!status.ok()) return status;
  }

  std::memcpy(header.magic, kIndexMagic, sizeof kIndexMagic);
  header.version = kIndexVersion;
  header.vocabularyKey = VocabularyKey(session.lists.Vocabulary);
  header.filesKey = FilesKey(files);
  header.tokenCount = static_cast<uint64_t>(writer.totalTokens());
  header.fileCount = files.size();
  header.entryCount = session.lists.Vocabulary.size();
  // Each section starts at an 8-byte boundary; `out` already holds those `written`, padding and all.
  uint64_t at = 0;
  auto place = [&](IndexSection section, uint64_t size, bool written = false) {
    const std::string_view pad = PaddingToEight(at);
    if (!written) out.Write(pad);
    header.sections[section] = IndexSectionPlace{at + pad.size(), size};
    at += pad.size() + size;
  };
  place(kTokensSection, header.tokenCount * 4, true);
  const bool linesWritten = writer.linesFollowTokens();
  place(kLinesSection, static_cast<uint64_t>(writer.lineCount()) * sizeof(ProjectIndex::Line), linesWritten);
  if (linesWritten) {
    scratch.Remove("X1");
  } else {
    status = CopyScratch(scratch, "X1", out);
  }
  place(kEventsSection, static_cast<uint64_t>(writer.eventCount()) * sizeof(ProjectIndex::Event));
  if (status.ok()) status = CopyScratch(scratch, "X2", out);
  place(kStringsSection, writer.stringBytes());
  if (status.ok()) status = CopyScratch(scratch, "X3", out);
  place(kCheckpointsSection, static_cast<uint64_t>(writer.checkpointCount()) * sizeof(ProjectIndex::Checkpoint));
  if (status.ok()) status = CopyScratch(scratch, "X4", out);
  if (!status.ok()) return status;
  place(kTextsSection, writer.texts().size() * sizeof(ProjectIndex::Text));
  const int64_t textsAt = out.Reserve(writer.texts().size() * sizeof(ProjectIndex::Text));

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

  const std::vector<PostingCursor>& postings = writer.postings();
  place(kPostingOffsetsSection, (vocabulary.size() + 1) * 8);
  uint64_t postingBytes = 0;
  for (const PostingCursor& posting : postings) {
    Put(out, postingBytes);
    postingBytes += posting.bytes;
  }
  Put(out, postingBytes);
  place(kPostingsSection, postingBytes);
  out.Flush();
  status = WritePositions(target.temporaryPath(), writer.slices(), postings, options.positionBytes, out);
  if (!status.ok()) return status;

  if (!mayLend) {
    // A stop asked for meanwhile ends the reading after the text being read.
    if (progress && progress->StopRequested()) return Status::Error("Stopped.");
    if (hashing.joinable()) hashing.join();
    // A hash read after the text changed stands for no token read before.
    for (size_t i = 0; i < files.size(); ++i) {
      if (hashed[i].size != stamps[i].size || hashed[i].mtimeNs != stamps[i].mtimeNs) hashed[i].size = kChangedWhileRead;
    }
    stamps = std::move(hashed);
  }
  // A text that changed while it was read is kept as one that never matches.
  for (size_t i : fresh) {
    const TextStamp after = StampText(files[i], false);
    if (after.size != stamps[i].size || after.mtimeNs != stamps[i].mtimeNs) stamps[i].size = kChangedWhileRead;
  }
  writer.StampTexts(stamps);
  const std::vector<ProjectIndex::Text>& texts = writer.texts();
  if (textsAt < 0 || !out.WriteAt(static_cast<uint64_t>(textsAt),
                                  std::string_view(reinterpret_cast<const char*>(texts.data()),
                                                   texts.size() * sizeof(ProjectIndex::Text)))) {
    return Status::Error("Cannot write the index being built.");
  }
  Put(out, header);
  if (tokensToStorage.joinable()) tokensToStorage.join();
  return target.Commit();
}

}  // namespace

std::string IndexPathFor(const std::string& projectPath) {
  const size_t slash = projectPath.find_last_of('/');
  const size_t dot = projectPath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? projectPath.substr(0, dot) : projectPath) + ".wlx";
}

bool IndexMayLendTexts(const std::string& path, const std::vector<std::string>& files, uint64_t rulesKey) {
  std::shared_ptr<const ProjectIndex> index;
  return ProjectIndex::Open(path, index).ok() && index->MayLendAText(files, rulesKey);
}

Status UpdateProjectIndex(const Session& session, const std::string& path, const ScratchFolder& scratch,
                          std::shared_ptr<const ProjectIndex>& index, ProgressSink* progress,
                          const IndexBuildOptions& options) {
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
  Status status = BuildIndex(session, path, scratch, old.get(), options, progress);
  if (!status.ok()) return status;
  return ProjectIndex::Open(path, index);
}

}  // namespace wordloom
