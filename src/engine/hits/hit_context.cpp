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

Status HitStore::Context(int64_t row, const ContextWindow& window, HitContext& out) const {
  const HitRecord record = Record(row);
  if (kind_ == ConcordanceKind::Line) {
    // A whole line is its own context.
    Hit hit;
    Read(row, hit);
    out = HitContext{std::move(hit.text), "", ""};
    return Status::Ok();
  }
  const bool words = window.unit == ContextUnit::Words;
  const int size = std::clamp(window.size, 1, words ? static_cast<int>(kMostContextWords) : kMostContextCharacters);
  // The nearer start serves when the text from it to the key holds the context.
  const bool near = words ? size <= kNearContextWords
                          : record.nearStart == 0 || record.nearKeyStart >= size * (utf8_ ? 4 : 1);
  const int64_t windowStart = near ? record.nearStart : record.windowStart;
  Status status;
  const int fd = FileDescriptor(record.file, status);
  if (fd < 0) return status;
  std::string bytes;
  status = ReadWindow(fd, windowStart, record.windowEnd, bytes);
  if (!status.ok()) return status;

  LineSource source;
  source.OpenBytes(bytes);
  ScanContext context = reader_;
  ScanState& s = context.state;
  if (windowStart > 0) s.fileLineNumber = 2;  // a byte-order mark only opens the file
  const size_t keyStart = static_cast<size_t>(near ? record.nearKeyStart : record.keyStart);
  const size_t keyEnd = keyStart + static_cast<size_t>(record.keyLength);

  // The stream is read line by line, and only as far as the context needs.
  std::string stream;
  std::vector<StreamWord> before, after;
  std::array<bool, 256> isWord{};
  for (int c = 0; c < 256; ++c) isWord[static_cast<size_t>(c)] = s.classOfLower[c] == kWordClass;
  StreamWords cutter(tables_, isWord, [&](StreamWord&& word) {
    if (word.end <= static_cast<int64_t>(keyStart)) {
      before.push_back(word);
    } else if (word.start >= static_cast<int64_t>(keyEnd)) {
      after.push_back(word);
    }
  }, false);
  const size_t charactersAfter = keyEnd + static_cast<size_t>(size) * (utf8_ ? 16 : 1) + 1;
  CharacterRun run;
  bool whole = true;  // the window's last line was read, with the end padding
  while (ReadCharacterRun(context, source, ReaderMode::Concordance, run)) {
    if (words) {
      if (run.emptyLine) cutter.Break();
      cutter.Feed(run.text);
    }
    stream.append(run.text);
    if (words ? after.size() >= static_cast<size_t>(size) : stream.size() >= charactersAfter) {
      whole = source.AtEnd() && s.linePosition > s.lineLength;
      break;
    }
  }
  // A window ends as the file does: its last line, the end-of-line text, the end padding and
  // the end-of-line text again. Only the first of these is text.
  const size_t tail = kHitPadding + s.endOfLine.size();
  const size_t textEnd = std::max(std::min(keyEnd, stream.size()), whole && stream.size() >= tail ? stream.size() - tail : stream.size());
  const std::string_view text(stream);
  const size_t key = std::min(keyStart, stream.size());
  out.key.assign(text.substr(key, std::min(keyEnd, stream.size()) - key));
  if (!words) {
    out.left.assign(LastColumns(text.substr(0, key), size, utf8_));
    out.right.assign(FirstColumns(text.substr(std::min(keyEnd, textEnd), textEnd - std::min(keyEnd, textEnd)), size, utf8_));
  } else {
    while (!after.empty() && after.back().start >= static_cast<int64_t>(textEnd)) after.pop_back();
    const size_t from = before.size() >= static_cast<size_t>(size) ? static_cast<size_t>(before[before.size() - size].start) : 0;
    const size_t to = after.size() >= static_cast<size_t>(size) ? static_cast<size_t>(after[size - 1].end) : textEnd;
    out.left.assign(text.substr(from, key - from));
    out.right.assign(text.substr(std::min(keyEnd, textEnd), std::max(to, keyEnd) - std::min(keyEnd, to)));
  }
  RestoreRuleChars(s, out.left);
  RestoreRuleChars(s, out.key);
  RestoreRuleChars(s, out.right);
  return Status::Ok();
}

}  // namespace wordloom
