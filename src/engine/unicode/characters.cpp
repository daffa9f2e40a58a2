// Reading UTF-8: decoding with replacement, NFC, clusters, widths and the encoding check.
#include <sys/stat.h>
#include <unistd.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/unorm2.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "base/regular_file.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

// True when a character is NFC on its own and combines with nothing: such characters never
// change under NFC, whatever surrounds them. Looked up in a bit table of the Basic
// Multilingual Plane made once from ICU's properties.
bool StableInNfc(char32_t c) {
  auto stable = [](char32_t x) {
    return u_getCombiningClass(static_cast<UChar32>(x)) == 0 &&
           u_getIntPropertyValue(static_cast<UChar32>(x), UCHAR_NFC_QUICK_CHECK) == UNORM_YES;
  };
  if (c < 0x300) return true;
  if (c >= 0x10000) return stable(c);
  static const std::vector<uint64_t> table = [&] {
    std::vector<uint64_t> bits(1024, 0);
    for (char32_t x = 0; x < 0x10000; ++x) {
      if (stable(x)) bits[x >> 6] |= uint64_t{1} << (x & 63);
    }
    return bits;
  }();
  return (table[c >> 6] >> (c & 63)) & 1;
}

// `text` in NFC, UTF-8 to UTF-8, unless it is NFC already.
void Normalize(std::string& text) {
  UErrorCode error = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(error);
  if (U_FAILURE(error) || nfc->isNormalizedUTF8(text, error) || U_FAILURE(error)) return;
  std::string normal;
  normal.reserve(text.size() + 16);
  icu::StringByteSink<std::string> sink(&normal);
  nfc->normalizeUTF8(0, text, sink, nullptr, error);
  if (U_SUCCESS(error)) text.swap(normal);
}

// The end of the run of ASCII bytes that starts at `at`, eight bytes at a time.
size_t AsciiRunEnd(std::string_view text, size_t at) {
  const char* p = text.data();
  const size_t n = text.size();
  for (uint64_t block[4]; at + 32 <= n; at += 32) {
    std::memcpy(block, p + at, 32);
    if ((block[0] | block[1] | block[2] | block[3]) & 0x8080808080808080ULL) break;
  }
  for (uint64_t block; at + 8 <= n; at += 8) {
    std::memcpy(&block, p + at, 8);
    if (block & 0x8080808080808080ULL) break;
  }
  while (at < n && static_cast<unsigned char>(p[at]) < 0x80) ++at;
  return at;
}

}  // namespace

namespace {

// Calls visit(at, end, c) for each character of `line` beyond ASCII, from byte `at` to `end`;
// c is negative for an ill-formed sequence (U8_NEXT takes a maximal ill-formed prefix as one).
// Stops, and returns false, when visit does.
template <typename Visit>
bool EachBeyondAscii(std::string_view line, Visit visit) {
  for (size_t at = 0; at < line.size();) {
    at = AsciiRunEnd(line, at);
    if (at == line.size()) break;
    int32_t i = static_cast<int32_t>(at);
    UChar32 c;
    U8_NEXT(line.data(), i, static_cast<int32_t>(line.size()), c);
    if (!visit(at, static_cast<size_t>(i), c)) return false;
    at = static_cast<size_t>(i);
  }
  return true;
}

}  // namespace

bool IsCleanLine(std::string_view line) {
  return EachBeyondAscii(line, [](size_t, size_t, UChar32 c) { return c >= 0 && StableInNfc(static_cast<char32_t>(c)); });
}

size_t DecodeLine(std::string_view line, std::string& out) {
  out.clear();
  size_t firstInvalid = std::string_view::npos;
  bool maybeNotNfc = false;
  out.reserve(line.size() + 8);
  size_t copied = 0;  // the line is copied as it is up to here
  EachBeyondAscii(line, [&](size_t at, size_t end, UChar32 c) {
    if (c < 0) {
      if (firstInvalid == std::string_view::npos) firstInvalid = at;
      out.append(line, copied, at - copied);
      out += kReplacementCharacter;
      copied = end;
    } else {
      // A line of characters that are NFC as they stand and combine with nothing is NFC.
      maybeNotNfc = maybeNotNfc || !StableInNfc(static_cast<char32_t>(c));
    }
    return true;
  });
  out.append(line, copied, line.size() - copied);
  if (maybeNotNfc) Normalize(out);
  return firstInvalid;
}

namespace {

enum class FileBytes { Ascii, Utf8, Other };

// Texts of fewer bytes are checked on one thread: another would cost more than it saves.
constexpr int64_t kLeastBytesToCut = int64_t{16} << 20;
constexpr size_t kBlockBytes = size_t{1} << 20;

FileBytes Either(FileBytes a, FileBytes b) {
  if (a == FileBytes::Other || b == FileBytes::Other) return FileBytes::Other;
  return a == FileBytes::Utf8 || b == FileBytes::Utf8 ? FileBytes::Utf8 : FileBytes::Ascii;
}

// What a text's bytes from `begin` to `end` hold, read in blocks the size of `buffer`: ASCII
// only, valid UTF-8 beyond ASCII (a byte-order mark counts), or neither. A sequence cut short
// by `end` is not valid. Bytes that cannot be read hold nothing. `other` is set on finding
// neither, and read before each block: the other half of the text may have found it first.
FileBytes ReadBytes(int fd, int64_t begin, int64_t end, std::vector<char>& buffer, std::atomic<bool>& other) {
  size_t kept = 0;  // bytes of a sequence cut by the end of the last block
  bool beyondAscii = false;
  for (int64_t offset = begin;;) {
    if (other.load(std::memory_order_relaxed)) return FileBytes::Other;
    const int64_t room = static_cast<int64_t>(buffer.size() - kept);
    const size_t wanted = static_cast<size_t>(std::min(room, end - offset));
    const ssize_t got = wanted == 0 ? 0 : ::pread(fd, buffer.data() + kept, wanted, offset);
    if (got < 0 && errno == EINTR) continue;
    const bool atEnd = got <= 0;
    if (!atEnd) offset += got;
    const std::string_view block(buffer.data(), kept + static_cast<size_t>(atEnd ? 0 : got));
    size_t at = 0;
    while (at < block.size()) {
      at = AsciiRunEnd(block, at);
      if (at == block.size()) break;
      beyondAscii = true;
      int32_t i = static_cast<int32_t>(at);
      UChar32 c;
      U8_NEXT(block.data(), i, static_cast<int32_t>(block.size()), c);
      if (c >= 0) {
        at = static_cast<size_t>(i);
      } else if (!atEnd && block.size() - at < 4) {
        break;  // perhaps a sequence the next block completes
      } else {
        other = true;
        return FileBytes::Other;
      }
    }
    if (atEnd) break;
    kept = block.size() - at;
    std::memmove(buffer.data(), buffer.data() + at, kept);
  }
  return beyondAscii ? FileBytes::Utf8 : FileBytes::Ascii;
}

// Where a large text is cut in two for checking: at the first byte from the middle on that
// is no continuation byte (at most four on), so that a valid text's characters are never cut,
// and an invalid one stays invalid in one half or the other. -1 when those bytes cannot be
// read: the text is then read whole.
int64_t CutOf(int fd, int64_t size) {
  const int64_t middle = size / 2;
  unsigned char bytes[4] = {};
  ssize_t got;
  do {
    got = ::pread(fd, bytes, sizeof bytes, middle);
  } while (got < 0 && errno == EINTR);
  if (got != static_cast<ssize_t>(sizeof bytes)) return -1;
  int64_t skip = 0;
  while (skip < 4 && (bytes[skip] & 0xC0) == 0x80) ++skip;
  return middle + skip;
}

struct ClosedAtEnd {
  int fd;
  ~ClosedAtEnd() { ::close(fd); }
};

// What one text holds (see ReadBytes); an unreadable text holds nothing, as ASCII. A large
// text is read in two halves side by side when `threads` allows; the first to find bytes
// that are not UTF-8 stops the other.
FileBytes ReadFileBytes(const std::string& path, int threads) {
  int fd = -1;
  if (!OpenRegularFile(path, fd).ok()) return FileBytes::Ascii;
  const ClosedAtEnd closing{fd};
  struct stat info {};
  const int64_t size = ::fstat(fd, &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
  std::atomic<bool> other{false};
  std::vector<char> buffer(kBlockBytes);
  const int64_t cut = threads > 1 && size >= kLeastBytesToCut ? CutOf(fd, size) : -1;
  if (cut < 0) return ReadBytes(fd, 0, INT64_MAX, buffer, other);
  std::vector<char> secondBuffer(kBlockBytes);  // made here, where running out of memory is reported
  FileBytes first = FileBytes::Ascii, second = FileBytes::Ascii;
  try {
    std::jthread reader([&] { second = ReadBytes(fd, cut, INT64_MAX, secondBuffer, other); });
    first = ReadBytes(fd, 0, cut, buffer, other);
  } catch (const std::system_error&) {  // no thread to be had: this one reads both halves
    first = ReadBytes(fd, 0, cut, buffer, other);
    second = ReadBytes(fd, cut, INT64_MAX, buffer, other);
  }
  return Either(first, second);
}

}  // namespace

TextEncoding DetectEncoding(const std::vector<std::string>& files, int threads) {
  if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  bool sawUtf8 = false;
  for (const std::string& path : files) {
    const FileBytes bytes = ReadFileBytes(path, threads);
    if (bytes == FileBytes::Other) return TextEncoding::Windows1252;
    sawUtf8 = sawUtf8 || bytes == FileBytes::Utf8;
  }
  return sawUtf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

bool TextsBeginInAscii(const std::vector<std::string>& files) {
  constexpr size_t kSampledTexts = 64;
  std::vector<char> sample(size_t{64} << 10);
  for (size_t i = 0; i < files.size() && i < kSampledTexts; ++i) {
    int fd = -1;
    if (!OpenRegularFile(files[i], fd).ok()) continue;
    const ClosedAtEnd closing{fd};
    ssize_t got;
    do {
      got = ::pread(fd, sample.data(), sample.size(), 0);
    } while (got < 0 && errno == EINTR);
    if (got > 0 && !IsAscii(std::string_view(sample.data(), static_cast<size_t>(got)))) return false;
  }
  return true;
}

namespace {

// True when a cluster boundary between `c` and the next character `d` may depend on more than
// the two of them (marks, joiners, Hangul jamo, flags): the break iterator then decides.
bool NeedsBreakRules(char32_t c, char32_t d) {
  if (c < 0x300 && d < 0x300) return false;  // no extending character below the combining marks
  auto kind = [](char32_t x) { return u_getIntPropertyValue(static_cast<UChar32>(x), UCHAR_GRAPHEME_CLUSTER_BREAK); };
  const int before = kind(c), after = kind(d);
  return after == U_GCB_EXTEND || after == U_GCB_ZWJ || after == U_GCB_SPACING_MARK || before == U_GCB_PREPEND ||
         before == U_GCB_L || before == U_GCB_V || before == U_GCB_T || before == U_GCB_LV || before == U_GCB_LVT ||
         before == U_GCB_REGIONAL_INDICATOR || before == U_GCB_ZWJ;
}

}  // namespace

size_t ClusterEnd(std::string_view text, size_t at) {
  if (at >= text.size()) return text.size();
  if (static_cast<unsigned char>(text[at]) < 0x80 &&
      (at + 1 == text.size() || static_cast<unsigned char>(text[at + 1]) < 0x80)) {
    return at + 1;  // ASCII before ASCII: no rule joins them (lines hold no CR LF)
  }
  size_t next = at;
  const char32_t c = NextCodePoint(text, next);
  if (next >= text.size()) return text.size();
  size_t peek = next;
  if (!NeedsBreakRules(c, NextCodePoint(text, peek))) return next;
  // One character break iterator for each thread, closed with it.
  struct Closer {
    void operator()(UBreakIterator* iterator) const { ubrk_close(iterator); }
  };
  thread_local const std::unique_ptr<UBreakIterator, Closer> characters = [] {
    UErrorCode opened = U_ZERO_ERROR;
    UBreakIterator* iterator = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &opened);
    return std::unique_ptr<UBreakIterator, Closer>(U_SUCCESS(opened) ? iterator : nullptr);
  }();
  if (!characters) return next;
  UErrorCode error = U_ZERO_ERROR;
  UText* utext = utext_openUTF8(nullptr, text.data() + at, static_cast<int64_t>(text.size() - at), &error);
  ubrk_setUText(characters.get(), utext, &error);
  int32_t end = U_SUCCESS(error) ? ubrk_following(characters.get(), 0) : UBRK_DONE;
  utext_close(utext);
  if (end == UBRK_DONE || end <= 0) return next;
  return at + static_cast<size_t>(end);
}

int ClusterWidth(std::string_view cluster) {
  if (cluster.empty()) return 0;
  size_t at = 0;
  char32_t c = NextCodePoint(cluster, at);
  if (c < 0x1100) return 1;
  int width = u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_EAST_ASIAN_WIDTH);
  return width == U_EA_WIDE || width == U_EA_FULLWIDTH ? 2 : 1;
}

int64_t DisplayWidth(std::string_view text) {
  if (IsAscii(text)) return static_cast<int64_t>(text.size());
  int64_t width = 0;
  for (size_t at = 0; at < text.size();) {
    size_t end = ClusterEnd(text, at);
    width += ClusterWidth(text.substr(at, end - at));
    at = end;
  }
  return width;
}

}  // namespace wordloom
