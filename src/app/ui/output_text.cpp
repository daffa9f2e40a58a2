#include "ui/output_text.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/cp1252.h"
#include "ui/code_page.h"
#include "unicode/unicode_text.h"

namespace wordloom::app {
namespace {

// A character cluster of an Indic syllable runs to a dozen bytes; a read this long a column
// leaves every shown column whole.
constexpr uint64_t kUtf8BytesPerColumn = 16;

bool IsUtf8(TextEncoding encoding) { return TypedEncoding(encoding) == TextEncoding::Utf8; }

bool IsContinuation(unsigned char byte) { return U8_IS_TRAIL(byte); }

size_t EncodedLength(char32_t c) { return static_cast<size_t>(U8_LENGTH(static_cast<UChar32>(c))); }

// Writes `c` over the bytes at `at`, as many as its UTF-8 length.
void EncodeAt(std::string& text, size_t at, char32_t c) {
  int32_t offset = 0;
  U8_APPEND_UNSAFE(text.data() + at, offset, static_cast<UChar32>(c));
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// The column after the character `ch`, which starts at `column`.
uint64_t Advance(uint64_t column, std::string_view ch, TextEncoding encoding) {
  if (ch.size() == 1 && ch[0] == '\t') return column + kTabWidth - column % kTabWidth;
  const bool beyondAscii = IsUtf8(encoding) && static_cast<unsigned char>(ch[0]) >= 0x80;
  return column + (beyondAscii ? static_cast<uint64_t>(ClusterWidth(ch)) : 1);
}

// A UTF-8 character as shown: the character, or a space for a control character; U+FFFD for
// invalid bytes.
QString ShownUtf8(std::string_view ch) {
  size_t length = 0;
  const char32_t first = DecodeUtf8At(ch, 0, length);
  if (length != 0 && IsControl(first)) return QStringLiteral(" ");
  return QString::fromUtf8(ch.data(), static_cast<qsizetype>(ch.size()));
}

}  // namespace

uint64_t AdvanceBytes(uint64_t column, const char* begin, const char* end) {
  while (begin < end) {
    const auto* tab = static_cast<const char*>(std::memchr(begin, '\t', static_cast<size_t>(end - begin)));
    if (!tab) return column + static_cast<uint64_t>(end - begin);
    column += static_cast<uint64_t>(tab - begin);
    column += kTabWidth - column % kTabWidth;
    begin = tab + 1;
  }
  return column;
}

size_t Utf8SequenceLength(unsigned char lead) {
  return lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
}

char32_t DecodeUtf8At(std::string_view text, size_t at, size_t& length) {
  length = 0;
  if (at >= text.size()) return 0;
  int32_t next = static_cast<int32_t>(at);
  UChar32 c;
  U8_NEXT(text.data(), next, static_cast<int32_t>(text.size()), c);
  if (c < 0) return 0;
  length = static_cast<size_t>(next) - at;
  return static_cast<char32_t>(c);
}

void AppendUtf8(std::string& text, char32_t c) {
  const size_t at = text.size();
  text.append(EncodedLength(c), '\0');
  EncodeAt(text, at, c);
}

size_t CharEnd(std::string_view line, size_t offset, TextEncoding encoding) {
  if (offset >= line.size()) return line.size();
  if (!IsUtf8(encoding)) return offset + 1;
  const bool asciiPair = static_cast<unsigned char>(line[offset]) < 0x80 &&
                         (offset + 1 == line.size() || static_cast<unsigned char>(line[offset + 1]) < 0x80);
  return asciiPair ? offset + 1 : std::max(offset + 1, ClusterEnd(line, offset));
}

size_t CharStart(std::string_view line, size_t offset, TextEncoding encoding) {
  offset = std::min(offset, line.size());
  if (offset == 0) return 0;
  if (!IsUtf8(encoding)) return offset - 1;
  // Two ASCII characters are always two characters: the walk starts at the last such pair.
  const auto ascii = [line](size_t at) { return static_cast<unsigned char>(line[at]) < 0x80; };
  size_t at = offset - 1;
  while (at > 0 && !(ascii(at - 1) && ascii(at))) --at;
  for (size_t next = CharEnd(line, at, encoding); next < offset; next = CharEnd(line, at, encoding)) at = next;
  return at;
}

bool IsWordChar(std::string_view line, size_t offset, TextEncoding encoding) {
  if (offset >= line.size()) return false;
  if (!IsUtf8(encoding)) return Decode1252(line.substr(offset, 1)).at(0).isLetterOrNumber();
  size_t length = 0;
  const char32_t c = DecodeUtf8At(line, offset, length);
  return length != 0 && QChar::isLetterOrNumber(c);
}

uint64_t ColumnOf(std::string_view line, uint64_t offset, TextEncoding encoding) {
  const size_t end = static_cast<size_t>(std::min<uint64_t>(offset, line.size()));
  if (!IsUtf8(encoding)) return AdvanceBytes(0, line.data(), line.data() + end);
  uint64_t column = 0;
  for (size_t at = 0, next = 0; at < end; at = next) {
    next = CharEnd(line, at, encoding);
    if (next > end) break;
    column = Advance(column, line.substr(at, next - at), encoding);
  }
  return column;
}

uint64_t OffsetNearColumn(std::string_view line, double column, TextEncoding encoding) {
  uint64_t at = 0;
  for (size_t i = 0, next = 0; i < line.size(); i = next) {
    next = CharEnd(line, i, encoding);
    const uint64_t after = Advance(at, line.substr(i, next - i), encoding);
    if (column < (static_cast<double>(at) + static_cast<double>(after)) / 2) return i;
    at = after;
  }
  return line.size();
}

uint64_t BytesForColumns(uint64_t columns, TextEncoding encoding) {
  if (!IsUtf8(encoding)) return columns;
  constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max() / kUtf8BytesPerColumn;
  return columns >= kMost ? std::numeric_limits<uint64_t>::max() : (columns + 1) * kUtf8BytesPerColumn;
}

std::string_view WithoutCutSequence(std::string_view bytes, TextEncoding encoding) {
  if (!IsUtf8(encoding)) return bytes;
  for (size_t back = 1; back <= 4 && back <= bytes.size(); ++back) {
    const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if (IsContinuation(byte)) continue;
    return Utf8SequenceLength(byte) > back ? bytes.substr(0, bytes.size() - back) : bytes;
  }
  return bytes;
}

std::string ExpandTabs(std::string_view line) {
  std::string shown;
  shown.reserve(line.size());
  for (char c : line) {
    if (c == '\t') {
      shown.append(kTabWidth - shown.size() % kTabWidth, ' ');
    } else {
      shown += c;
    }
  }
  return shown;
}

QString DisplayLine(std::string_view bytes, TextEncoding encoding) {
  if (!IsUtf8(encoding)) {
    QString shown = Decode1252(ExpandTabs(bytes));
    for (QChar& c : shown) {
      if (IsControl(c.unicode())) c = QLatin1Char(' ');
    }
    return shown;
  }
  QString shown;
  shown.reserve(static_cast<qsizetype>(bytes.size()));
  uint64_t column = 0;
  for (size_t at = 0, next = 0; at < bytes.size(); at = next) {
    next = CharEnd(bytes, at, encoding);
    const std::string_view ch = bytes.substr(at, next - at);
    const uint64_t after = Advance(column, ch, encoding);
    shown += ch == "\t" ? QString(static_cast<qsizetype>(after - column), QLatin1Char(' ')) : ShownUtf8(ch);
    column = after;
  }
  return shown;
}

std::vector<ShownChar> ShownChars(std::string_view line, uint64_t first, uint64_t count) {
  std::vector<ShownChar> shown;
  uint64_t column = 0;
  for (size_t at = 0, next = 0; at < line.size() && column < first + count; at = next) {
    next = CharEnd(line, at, TextEncoding::Utf8);
    const std::string_view ch = line.substr(at, next - at);
    const uint64_t after = Advance(column, ch, TextEncoding::Utf8);
    if (after > first && ch != "\t") {
      QString text = ShownUtf8(ch);
      if (text != QLatin1String(" ")) shown.push_back({column, std::move(text)});
    }
    column = after;
  }
  return shown;
}

std::string FoldCase(std::string_view text, TextEncoding encoding) {
  if (!IsUtf8(encoding)) return Lower1252(text);
  std::string folded(text);
  for (size_t at = 0; at < folded.size();) {
    const auto byte = static_cast<unsigned char>(folded[at]);
    if (byte < 0x80) {
      if (byte >= 'A' && byte <= 'Z') folded[at] = static_cast<char>(byte + ('a' - 'A'));
      ++at;
      continue;
    }
    size_t length = 0;
    const char32_t c = DecodeUtf8At(folded, at, length);
    if (length == 0) {
      ++at;
      continue;
    }
    const char32_t foldedChar = QChar::toCaseFolded(c);
    if (foldedChar != c && EncodedLength(foldedChar) == length) EncodeAt(folded, at, foldedChar);
    at += length;
  }
  return folded;
}

}  // namespace wordloom::app
