// Reading UTF-8: decoding with replacement, NFC, clusters, widths and the encoding check.
#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstring>

#include "base/line_source.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

const UNormalizer2* Nfc() {
  UErrorCode error = U_ZERO_ERROR;
  static const UNormalizer2* nfc = unorm2_getNFCInstance(&error);
  return nfc;
}

// The length of the valid sequence at `at`, or 0 when it is not valid.
size_t ValidLength(std::string_view text, size_t at) {
  int32_t i = static_cast<int32_t>(at);
  UChar32 c;
  U8_NEXT(text.data(), i, static_cast<int32_t>(text.size()), c);
  return c < 0 ? 0 : static_cast<size_t>(i) - at;
}

// Text of `out` in NFC, through UTF-16 (ICU's normaliser works on it), unless it is NFC already.
void Normalize(std::string& text) {
  std::u16string utf16(text.size(), u'\0');
  UErrorCode error = U_ZERO_ERROR;
  int32_t length = 0;
  u_strFromUTF8(reinterpret_cast<UChar*>(utf16.data()), static_cast<int32_t>(utf16.size()), &length, text.data(),
                static_cast<int32_t>(text.size()), &error);
  if (U_FAILURE(error)) return;
  utf16.resize(static_cast<size_t>(length));
  const UChar* source = reinterpret_cast<const UChar*>(utf16.data());
  if (unorm2_isNormalized(Nfc(), source, length, &error) || U_FAILURE(error)) return;
  error = U_ZERO_ERROR;
  std::u16string normal(utf16.size() * 3 + 16, u'\0');
  int32_t normalLength = unorm2_normalize(Nfc(), source, length, reinterpret_cast<UChar*>(normal.data()),
                                          static_cast<int32_t>(normal.size()), &error);
  if (U_FAILURE(error)) return;
  std::string back(static_cast<size_t>(normalLength) * 3, '\0');
  int32_t backLength = 0;
  error = U_ZERO_ERROR;
  u_strToUTF8(back.data(), static_cast<int32_t>(back.size()), &backLength, reinterpret_cast<const UChar*>(normal.data()),
              normalLength, &error);
  if (U_FAILURE(error)) return;
  back.resize(static_cast<size_t>(backLength));
  text.swap(back);
}

}  // namespace

bool IsAscii(std::string_view text) {
  const char* p = text.data();
  size_t n = text.size(), i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t block;
    std::memcpy(&block, p + i, 8);
    if (block & 0x8080808080808080ULL) return false;
  }
  for (; i < n; ++i) {
    if (static_cast<unsigned char>(p[i]) >= 0x80) return false;
  }
  return true;
}

// The end of the run of ASCII bytes that starts at `at`, eight bytes at a time.
size_t AsciiRunEnd(std::string_view text, size_t at) {
  const char* p = text.data();
  const size_t n = text.size();
  for (uint64_t block; at + 8 <= n; at += 8) {
    std::memcpy(&block, p + at, 8);
    if (block & 0x8080808080808080ULL) break;
  }
  while (at < n && static_cast<unsigned char>(p[at]) < 0x80) ++at;
  return at;
}

size_t DecodeLine(std::string_view line, std::string& out) {
  out.clear();
  size_t firstInvalid = std::string_view::npos;
  bool maybeNotNfc = false;
  out.reserve(line.size() + 8);
  for (size_t at = 0; at < line.size();) {
    const size_t ascii = AsciiRunEnd(line, at);
    out.append(line, at, ascii - at);
    at = ascii;
    if (at == line.size()) break;
    int32_t i = static_cast<int32_t>(at);
    UChar32 c;
    U8_NEXT(line.data(), i, static_cast<int32_t>(line.size()), c);
    if (c < 0) {
      // U8_NEXT takes a maximal ill-formed prefix as one error.
      if (firstInvalid == std::string_view::npos) firstInvalid = at;
      out += kReplacementCharacter;
    } else {
      // A line of characters that are NFC as they stand and combine with nothing is NFC.
      maybeNotNfc = maybeNotNfc || (c >= 0x300 && (u_getCombiningClass(c) != 0 ||
                                                   u_getIntPropertyValue(c, UCHAR_NFC_QUICK_CHECK) != UNORM_YES));
      out.append(line, at, static_cast<size_t>(i) - at);
    }
    at = std::max(static_cast<size_t>(i), at + 1);
  }
  if (maybeNotNfc) Normalize(out);
  return firstInvalid;
}

TextEncoding DetectEncoding(const std::vector<std::string>& files) {
  bool sawHighByte = false;
  std::string line;
  for (const std::string& path : files) {
    LineSource file;
    if (!file.Open(path).ok()) continue;
    bool first = true;
    while (file.ReadLine(line)) {
      std::string_view text = line;
      if (first && text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
      first = false;
      if (IsAscii(text)) continue;
      sawHighByte = true;
      for (size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
          ++at;
          continue;
        }
        size_t length = ValidLength(text, at);
        if (length == 0) return TextEncoding::Windows1252;
        at += length;
      }
    }
  }
  return sawHighByte ? TextEncoding::Utf8 : TextEncoding::Windows1252;
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
  size_t next = at;
  const char32_t c = NextCodePoint(text, next);
  if (next >= text.size()) return text.size();
  size_t peek = next;
  if (!NeedsBreakRules(c, NextCodePoint(text, peek))) return next;
  UErrorCode error = U_ZERO_ERROR;
  UText* utext = utext_openUTF8(nullptr, text.data() + at, static_cast<int64_t>(text.size() - at), &error);
  thread_local UBreakIterator* characters = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &error);
  error = U_ZERO_ERROR;
  ubrk_setUText(characters, utext, &error);
  int32_t end = U_SUCCESS(error) ? ubrk_following(characters, 0) : UBRK_DONE;
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
