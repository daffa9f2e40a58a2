#include "ui/code_page.h"

#include <QFile>
#include <array>
#include <unordered_map>

namespace wordloom::app {
namespace {

// The characters of bytes 0x80 to 0x9F; the others are the Latin-1 characters of their code.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t CharOf(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t(byte);
}

const std::unordered_map<char16_t, char>& ByteOfHighControl() {
  static const std::unordered_map<char16_t, char> bytes = [] {
    std::unordered_map<char16_t, char> map;
    for (int i = 0; i < 32; ++i) map.emplace(kHighControls[i], static_cast<char>(0x80 + i));
    return map;
  }();
  return bytes;
}

}  // namespace

QString Decode1252(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (size_t i = 0; i < bytes.size(); ++i) out[i] = QChar(CharOf(static_cast<unsigned char>(bytes[i])));
  return text;
}

std::string Encode1252(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<size_t>(text.size()));
  for (QChar c : text) {
    const char16_t unit = c.unicode();
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
      bytes.push_back(static_cast<char>(unit));
    } else if (auto found = ByteOfHighControl().find(unit); found != ByteOfHighControl().end()) {
      bytes.push_back(found->second);
    } else {
      bytes.push_back('?');
    }
  }
  return bytes;
}

QString DecodeText(std::string_view bytes, TextEncoding encoding) {
  if (TypedEncoding(encoding) == TextEncoding::Windows1252) return Decode1252(bytes);
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string EncodeText(const QString& text, TextEncoding encoding) {
  if (TypedEncoding(encoding) == TextEncoding::Windows1252) return Encode1252(text);
  return text.toUtf8().toStdString();
}

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString PathText(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace wordloom::app
