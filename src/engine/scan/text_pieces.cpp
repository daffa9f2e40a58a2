#include "scan/text_pieces.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "base/line_source.h"
#include "base/regular_file.h"
#include "scan/reference_markup.h"
#include "scan/text_reader.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

constexpr size_t kWindow = 64u << 10;       // bytes read at a time about a place to cut
constexpr int64_t kMostSearch = 256 << 10;  // how far past that place a cut is looked for
constexpr int64_t kLookBack = 4 << 10;      // how far before it the line that reaches it may start
// ASCII marks that are word boundaries on both sides whatever stands beside them, but for
// combining characters after them (which are never ASCII).
constexpr char kBoundaryMarks[] = "!#$%&()*+/<=>?@[\\]^`{|}~";

// Finds safe cuts in one file by reading its lines, in windows, through the reader's own markup
// and decoding: each line as the pass would see it.
class CutFinder {
 public:
  CutFinder(const std::string& path, const ScanContext& reader, const CharTables& tables)
      : probe_(reader), unicodeWords_(tables.unicode && tables.unicode->boundaries() == WordBoundaries::Unicode) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    probe_.state.trackOrigins = false;
  }
  ~CutFinder() {
    if (fd_ >= 0) ::close(fd_);
  }
  CutFinder(const CutFinder&) = delete;
  CutFinder& operator=(const CutFinder&) = delete;

  // The first safe cut at or after `from` (and before the file's last line), looked for in
  // windows that start before `limit`; -1 when none.
  int64_t Find(int64_t from, int64_t limit) {
    // The window starts a little before `from`, so that the line that reaches it is looked at.
    int64_t at = std::max<int64_t>(0, from - kLookBack);
    while (fd_ >= 0 && at >= 0 && at < limit) {
      int64_t cut = -1;
      at = FindInWindow(at, from, cut);
      if (cut >= 0) return cut;
    }
    return -1;
  }

 private:
  // Looks at the lines of the window at `at`: its first line may have begun before it (unless
  // it starts the file) and its last may go on after it, so only the lines between are weighed.
  // Returns where the next window starts (-1 at the end of the file).
  int64_t FindInWindow(int64_t at, int64_t from, int64_t& cut) {
    window_.resize(kWindow);
    const ssize_t got = ::pread(fd_, window_.data(), kWindow, at);
    if (got <= 0) return -1;
    window_.resize(static_cast<size_t>(got));
    const int64_t next = static_cast<size_t>(got) < kWindow ? -1 : at + got;
    LineSource lines;
    lines.OpenBytes(window_);
    probe_.state.fileLineNumber = at == 0 ? 1 : kPieceFirstLine;  // a byte-order mark starts line 1 only
    int64_t safeEnd = -1;  // the end of the line before, when a cut may follow it
    for (bool first = true;; first = false) {
      const int64_t lineStart = at + lines.nextLineOffset();
      if (!ReadLine(lines)) return next;
      probe_.state.fileLineNumber = kPieceFirstLine;
      const std::string& line = probe_.state.lineBuffer;
      const bool whole = !lines.AtEnd() || next < 0;  // the window's last line may go on
      if (whole && !(first && at > 0) && safeEnd >= from && StartsAfterBoundary(line)) {
        cut = safeEnd;
        return -1;
      }
      // A cut never follows the file's last line; the window's last line is read again whole.
      if (lines.AtEnd()) return next < 0 || lineStart - 1 <= at ? next : lineStart - 1;
      if (first && at > 0) continue;
      safeEnd = EndsEveryWord(line) ? at + lines.nextLineOffset() : -1;
      if (safeEnd >= from && !unicodeWords_) {
        cut = safeEnd;
        return -1;
      }
    }
  }

  bool ReadLine(LineSource& lines) {
    probe_.ErrorReportText.clear();
    return ReadScanLine(probe_, lines, "", true);
  }

  bool IsWordByte(unsigned char c) const {
    const ScanState& s = probe_.state;
    return s.classOfLower[c] == kWordClass || (s.utf8 && c >= 0x80);
  }

  // The logical line of a physical line that is not the file's last (as ReadLogicalLine makes
  // it) is not blank, holds no join character, and its last character ends any word.
  bool EndsEveryWord(std::string_view line) const {
    const ScanState& s = probe_.state;
    const size_t keep = line.find_last_not_of(' ');
    if (keep == std::string_view::npos) return false;  // a blank line: the pass reads on past it
    line = line.substr(0, keep + 1);
    const bool hyphen = static_cast<unsigned char>(line.back()) == s.endHyphenChar;
    const std::string_view endOfLine = hyphen ? std::string_view() : std::string_view(s.endOfLine);
    if (s.joinChar >= 0 && (line.find(static_cast<char>(s.joinChar)) != std::string_view::npos ||
                            endOfLine.find(static_cast<char>(s.joinChar)) != std::string_view::npos)) {
      return false;
    }
    const unsigned char last = static_cast<unsigned char>(endOfLine.empty() ? line.back() : endOfLine.back());
    if (IsWordByte(last)) return false;
    // Under Unicode word boundaries: a mark that no rule joins to what follows it.
    return !unicodeWords_ || (last != 0 && std::strchr(kBoundaryMarks, last) != nullptr);
  }

  // Under Unicode word boundaries the next line must start with an ASCII character, which no
  // rule joins to the mark before it.
  bool StartsAfterBoundary(std::string_view line) const {
    if (!unicodeWords_) return true;
    if (line.find_last_not_of(' ') == std::string_view::npos) return false;
    const unsigned char first = static_cast<unsigned char>(line.front());
    return first < 0x80 && static_cast<int>(first) != probe_.state.joinChar;
  }

  ScanContext probe_;
  bool unicodeWords_;
  int fd_ = -1;
  std::string window_;
};

}  // namespace

void PrepareForPiece(ScanContext& context, const ScanContext& fresh, const TextPiece& piece, const std::string& path) {
  context = fresh;
  if (piece.FirstOfFile()) return;
  BeginFile(context, path);
  context.state.fileLineNumber = kPieceFirstLine;
}

PiecePlan PlanPieces(const std::vector<std::string>& files, const ScanContext& reader, const CharTables& tables,
                     size_t pieceBytes, size_t groups) {
  PiecePlan plan;
  int64_t total = 0;
  for (const std::string& path : files) total += plan.fileBytes.emplace_back(RegularFileSize(path));
  const int64_t step = std::max<int64_t>(1, static_cast<int64_t>(pieceBytes));
  if (total <= step) groups = 1;
  std::vector<int64_t> targets;  // where each stretch but the first should start, in the texts' bytes
  for (size_t g = 1; g < groups; ++g) targets.push_back(total * static_cast<int64_t>(g) / static_cast<int64_t>(groups));

  std::vector<int64_t> starts;  // each piece's first byte, counted through the texts
  int64_t fileStart = 0;
  for (size_t f = 0; f < files.size(); ++f) {
    const int64_t size = plan.fileBytes[f];
    std::vector<int64_t> wanted;
    for (int64_t at = step; groups > 1 && at < size; at += step) wanted.push_back(at);
    for (int64_t target : targets) {
      if (target > fileStart && target < fileStart + size) wanted.push_back(target - fileStart);
    }
    std::sort(wanted.begin(), wanted.end());
    TextPiece piece{static_cast<uint32_t>(f), 0, -1};
    if (!wanted.empty()) {
      CutFinder finder(files[f], reader, tables);
      for (size_t w = 0; w < wanted.size(); ++w) {
        if (wanted[w] <= piece.begin) continue;
        const int64_t cut = finder.Find(wanted[w], std::min(size, wanted[w] + kMostSearch));
        if (cut <= piece.begin) continue;
        piece.end = cut;
        plan.pieces.push_back(piece);
        starts.push_back(fileStart + piece.begin);
        piece = TextPiece{static_cast<uint32_t>(f), cut, -1};
      }
    }
    plan.pieces.push_back(piece);
    starts.push_back(fileStart + piece.begin);
    fileStart += size;
  }

  plan.groupStarts.push_back(0);
  for (int64_t target : targets) {
    const size_t first = static_cast<size_t>(std::lower_bound(starts.begin(), starts.end(), target) - starts.begin());
    if (first < plan.pieces.size() && first > plan.groupStarts.back()) plan.groupStarts.push_back(first);
  }
  return plan;
}

}  // namespace wordloom
