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

constexpr int kMostContextCharacters = 240;

// The bytes [start, end) of the file (end -1: to the end), or those there are.
Status ReadWindow(int fd, int64_t start, int64_t end, std::string& bytes) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return Status::Error(ErrnoText(errno));
  if (end < 0 || end > info.st_size) end = info.st_size;
  bytes.resize(static_cast<size_t>(std::max<int64_t>(0, end - start)));
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(start) + static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Status::Error(ErrnoText(errno));
    if (n == 0) break;  // the text is shorter than it was
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

Status HitStore::Context(int64_t row, const ContextSpec& spec, HitContext& out) const {
  const HitRecord record = Record(row);
  if (kind_ == ConcordanceKind::Line) {
    // A whole line is its own context.
    Hit hit;
    Read(row, hit);
    out = HitContext{std::move(hit.text), "", ""};
    return Status::Ok();
  }
  Status status;
  const int fd = FileDescriptor(record.file, status);
  if (fd < 0) return status;
  std::string bytes;
  status = ReadWindow(fd, record.windowStart, record.windowEnd, bytes);
  if (!status.ok()) return status;

  LineSource source;
  source.OpenBytes(bytes);
  ScanContext context = reader_;
  ScanState& s = context.state;
  if (record.windowStart > 0) s.fileLineNumber = 2;  // a byte-order mark only opens the file
  std::string stream;
  std::vector<size_t> breaks;  // where empty logical lines stood
  CharacterRun run;
  while (ReadCharacterRun(context, source, ReaderMode::Concordance, run)) {
    if (run.emptyLine) {
      breaks.push_back(stream.size());
    } else {
      stream.append(run.text);
    }
  }
  // The window ends as the file does: its last line, the end-of-line text, the end padding and
  // the end-of-line text again. Only the first of these is text.
  const size_t tail = kHitPadding + s.endOfLine.size();
  const size_t keyStart = std::min(stream.size(), static_cast<size_t>(record.keyStart));
  const size_t keyEnd = std::min(stream.size(), keyStart + static_cast<size_t>(record.keyLength));
  const size_t textEnd = std::max(keyEnd, stream.size() >= tail ? stream.size() - tail : 0);
  const std::string_view text(stream);
  out.key.assign(text.substr(keyStart, keyEnd - keyStart));

  const int size = std::clamp(spec.size, 1, spec.unit == ContextUnit::Words ? static_cast<int>(kMostContextWords)
                                                                            : kMostContextCharacters);
  if (spec.unit == ContextUnit::Characters) {
    out.left.assign(LastColumns(text.substr(0, keyStart), size, utf8_));
    out.right.assign(FirstColumns(text.substr(keyEnd, textEnd - keyEnd), size, utf8_));
  } else {
    std::vector<StreamWord> before, after;
    std::array<bool, 256> isWord{};
    for (int c = 0; c < 256; ++c) isWord[static_cast<size_t>(c)] = s.classOfLower[c] == kWordClass;
    StreamWords words(tables_, isWord, [&](StreamWord&& word) {
      if (word.end <= static_cast<int64_t>(keyStart)) before.push_back(std::move(word));
      else if (word.start >= static_cast<int64_t>(keyEnd) && word.start < static_cast<int64_t>(textEnd)) after.push_back(std::move(word));
    });
    size_t fed = 0;
    for (size_t at : breaks) {
      words.Feed(text.substr(fed, at - fed));
      words.Break();
      fed = at;
    }
    words.Feed(text.substr(fed));
    words.Finish();
    const size_t from = before.size() >= static_cast<size_t>(size) ? static_cast<size_t>(before[before.size() - size].start) : 0;
    const size_t to = after.size() >= static_cast<size_t>(size) ? static_cast<size_t>(after[size - 1].end) : textEnd;
    out.left.assign(text.substr(from, keyStart - from));
    out.right.assign(text.substr(keyEnd, std::max(to, keyEnd) - keyEnd));
  }
  RestoreRuleChars(s, out.left);
  RestoreRuleChars(s, out.key);
  RestoreRuleChars(s, out.right);
  return Status::Ok();
}

}  // namespace wordloom
