// Contexts of a stored hit, cut from its text as the reader gives it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/line_source.h"
#include "base/regular_file.h"
#include "hits/hit_store_builder.h"
#include "hits/hit_words.h"
#include "scan/text_reader.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

// The bytes [start, end) of the file (end -1: to its end), or those there are.
Status ReadWindow(int fd, int64_t start, int64_t end, std::string& bytes) {
  constexpr size_t kChunk = 16 * 1024;
  bytes.clear();
  size_t got = 0;
  for (;;) {
    const size_t want = end >= 0 ? static_cast<size_t>(std::max<int64_t>(0, end - start)) : got + kChunk;
    if (got >= want) break;
    bytes.resize(want);
    const ssize_t n = ::pread(fd, bytes.data() + got, want - got, static_cast<off_t>(start) + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Status::Error(ErrnoText(errno));
    if (n == 0) break;  // the end of the file (a text may be shorter than it was)
    got += static_cast<size_t>(n);
  }
  bytes.resize(got);
  return Status::Ok();
}

// The last `columns` display columns of `text`, whole characters only.
std::string_view LastColumns(std::string_view text, int columns, bool utf8) {
  if (!utf8) return text.substr(text.size() - std::min(text.size(), static_cast<size_t>(columns)));
  std::vector<std::pair<size_t, int>> clusters;
  size_t start = 0;
  while (start < text.size() && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) ++start;
  for (size_t at = start; at < text.size();) {
    const size_t end = ClusterEnd(text, at);
    clusters.emplace_back(at, ClusterWidth(text.substr(at, end - at)));
    at = end;
  }
  int width = 0;
  size_t keep = clusters.size();
  while (keep > 0 && width + clusters[keep - 1].second <= columns) width += clusters[--keep].second;
  return keep < clusters.size() ? text.substr(clusters[keep].first) : std::string_view();
}

std::string_view FirstColumns(std::string_view text, int columns, bool utf8) {
  if (!utf8) return text.substr(0, std::min(text.size(), static_cast<size_t>(columns)));
  int width = 0;
  size_t at = 0;
  while (at < text.size()) {
    const size_t end = ClusterEnd(text, at);
    const int w = ClusterWidth(text.substr(at, end - at));
    if (width + w > columns) break;
    width += w;
    at = end;
  }
  return text.substr(0, at);
}

}  // namespace

// The reader's text of a window, read as far as the context needs.
struct WindowText {
  std::string stream;
  size_t textEnd = 0;  // where the text ends: the end padding is not text
  std::vector<StreamWord> before, after;  // the words before the key and after it
};

Status HitStore::ReadText(int32_t file, int64_t start, int64_t end, TextCache* cache, std::string& own,
                          std::string_view& bytes) const {
  constexpr int64_t kCacheBytes = 4096;  // a few windows where hits stand close
  Status status;
  const int fd = FileDescriptor(file, status);
  if (fd < 0) return status;
  if (!cache) {
    status = ReadWindow(fd, start, end, own);
    bytes = own;
    return status;
  }
  const int64_t cached = static_cast<int64_t>(cache->bytes.size());
  const bool held = cache->file == file && start >= cache->start &&
                    (end < 0 ? cache->toEnd : end <= cache->start + cached || cache->toEnd);
  if (!held) {
    // Where hits stand close, a read takes in the next few windows too; elsewhere just this one.
    const bool close = cache->file == file && start >= cache->start && start - cache->start < kCacheBytes;
    const int64_t wanted = end < 0 ? -1 : start + std::max(end - start, close ? kCacheBytes : 0);
    cache->file = -1;
    status = ReadWindow(fd, start, wanted, cache->bytes);
    if (!status.ok()) return status;
    cache->file = file;
    cache->start = start;
    cache->toEnd = wanted < 0 || static_cast<int64_t>(cache->bytes.size()) < wanted - start;
  }
  const std::string_view all(cache->bytes);
  const size_t from = std::min(all.size(), static_cast<size_t>(start - cache->start));
  bytes = end < 0 ? all.substr(from) : all.substr(from, static_cast<size_t>(end - start));
  return Status::Ok();
}

Status HitStore::ReadContextWindow(int32_t file, int64_t start, int64_t end, size_t keyStart, size_t keyEnd,
                                   const ContextWindow& window, WindowText& text, TextCache* cache) const {
  std::string own;
  std::string_view bytes;
  Status status = ReadText(file, start, end, cache, own, bytes);
  if (!status.ok()) return status;
  LineSource source;
  source.OpenBytes(bytes);
  // A reader kept in the cache is set back to the start of a file, as a fresh copy would be.
  std::optional<ScanContext> fresh;
  ScanContext& context = cache ? (cache->reader ? *cache->reader : cache->reader.emplace(reader_)) : fresh.emplace(reader_);
  BeginFile(context, "");
  context.state.joinPending = false;
  context.ErrorReportText.clear();
  ScanState& s = context.state;
  if (start > 0) s.fileLineNumber = 2;  // a byte-order mark only opens the file
  const bool words = window.unit == ContextUnit::Words;
  std::array<bool, 256> isWord{};
  for (int c = 0; c < 256; ++c) isWord[static_cast<size_t>(c)] = s.classOfLower[c] == kWordClass;
  StreamWords cutter(tables_, isWord, [&](StreamWord&& word) {
    if (word.end <= static_cast<int64_t>(keyStart)) {
      text.before.push_back(word);
    } else if (word.start >= static_cast<int64_t>(keyEnd)) {
      text.after.push_back(word);
    }
  }, false);
  auto enough = [&] {
    if (words) return text.after.size() >= static_cast<size_t>(window.size);
    if (text.stream.size() <= keyEnd) return false;
    const std::string_view rest = std::string_view(text.stream).substr(keyEnd);
    return FirstColumns(rest, window.size, utf8_).size() < rest.size();
  };
  CharacterRun run;
  while (ReadCharacterRun(context, source, ReaderMode::Concordance, run)) {
    if (words) {
      if (run.emptyLine) cutter.Break();
      cutter.Feed(run.text);
    }
    text.stream.append(run.text);
    if (enough()) break;
  }
  // A window ends as the file does: its last line, the end-of-line text, the end padding and
  // the end-of-line text again. Only the first of these is text; a join may have dropped them.
  const std::string_view stream(text.stream);
  const size_t tail = kHitPadding + s.endOfLine.size();
  const bool padded = stream.size() >= tail && stream.ends_with(s.endOfLine) &&
                      stream.substr(stream.size() - tail, kHitPadding).find_first_not_of(' ') == std::string_view::npos;
  text.textEnd = std::max(std::min(keyEnd, stream.size()), padded ? stream.size() - tail : stream.size());
  while (!text.after.empty() && text.after.back().start >= static_cast<int64_t>(text.textEnd)) text.after.pop_back();
  return Status::Ok();
}

Status HitStore::Context(int64_t row, const ContextWindow& window, HitContext& out, TextCache* cache) const {
  const HitRecord record = Record(row);
  if (kind_ == ConcordanceKind::Line) {
    // A whole line is its own context.
    Hit hit;
    Read(row, hit);
    out = HitContext{std::move(hit.text), "", ""};
    return Status::Ok();
  }
  const bool words = window.unit == ContextUnit::Words;
  ContextWindow wanted = window;
  wanted.size = std::clamp(window.size, 1, words ? static_cast<int>(kMostContextWords) : kMostContextCharacters);
  const int size = wanted.size;
  // The nearer start first, when it may hold the context; the far one when it does not.
  const bool tryNear = words ? size <= kNearContextWords : true;
  for (const bool near : {true, false}) {
    if (near && !tryNear) continue;
    const int64_t start = near ? record.nearStart : record.windowStart;
    const size_t keyStart = static_cast<size_t>(near ? record.nearKeyStart : record.keyStart);
    const size_t keyEnd = keyStart + static_cast<size_t>(record.keyLength);
    WindowText text;
    Status status = ReadContextWindow(record.file, start, record.windowEnd, keyStart, keyEnd, wanted, text, cache);
    if (!status.ok()) return status;
    const std::string_view stream(text.stream);
    const size_t key = std::min(keyStart, stream.size());
    const size_t end = std::min(keyEnd, text.textEnd);
    out.key.assign(stream.substr(key, std::min(keyEnd, stream.size()) - key));
    bool filled = true;
    if (!words) {
      out.left.assign(LastColumns(stream.substr(0, key), size, utf8_));
      filled = Columns(out.left, utf8_) >= size;
      out.right.assign(FirstColumns(stream.substr(end, text.textEnd - end), size, utf8_));
    } else {
      const auto& before = text.before;
      filled = before.size() >= static_cast<size_t>(size);
      const size_t from = filled ? static_cast<size_t>(before[before.size() - static_cast<size_t>(size)].start) : 0;
      const size_t to = text.after.size() >= static_cast<size_t>(size) ? static_cast<size_t>(text.after[static_cast<size_t>(size) - 1].end)
                                                                      : text.textEnd;
      out.left.assign(stream.substr(from, key - from));
      out.right.assign(stream.substr(end, std::max(to, end) - end));
    }
    // Where the window starts with the file, there is no more to be had.
    if (filled || start == 0 || !near) break;
  }
  RestoreRuleChars(reader_.state, out.left);
  RestoreRuleChars(reader_.state, out.key);
  RestoreRuleChars(reader_.state, out.right);
  return Status::Ok();
}

}  // namespace wordloom
