#include "concordance/file_text.h"

#include <QFile>
#include <algorithm>

#include "ui/code_page.h"

namespace wordloom::app {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string_view BytesOf(const QByteArray& bytes, int64_t begin, int64_t end) {
  return std::string_view(bytes.constData() + begin, static_cast<size_t>(std::max<int64_t>(0, end - begin)));
}

}  // namespace

bool FileText::Load(const QString& path, TextEncoding encoding, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("Could not read %1: %2.").arg(path, file.errorString());
    return false;
  }
  // The whole text stands in the view, decoded, several times its size in memory.
  constexpr qint64 kMostBytes = qint64{256} << 20;
  if (file.size() > kMostBytes) {
    error = QStringLiteral("%1 is too large to show here (%2 MB; at most %3 MB).")
                .arg(path)
                .arg(file.size() >> 20)
                .arg(kMostBytes >> 20);
    return false;
  }
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    error = QStringLiteral("Could not read %1: %2.").arg(path, file.errorString());
    return false;
  }
  Set(std::move(bytes), encoding);
  return true;
}

void FileText::Set(QByteArray bytes, TextEncoding encoding) {
  bytes_ = std::move(bytes);
  encoding_ = TypedEncoding(encoding);
  markSize_ = encoding_ == TextEncoding::Utf8 && bytes_.startsWith(kByteOrderMark) ? 3 : 0;
  lineStarts_.clear();
  lineEnds_.clear();
  blockStarts_.clear();
  text_.clear();
  const int64_t size = bytes_.size();
  const char* data = bytes_.constData();
  int64_t start = 0;
  for (int64_t at = 0; at < size; ++at) {
    const char c = data[at];
    if (c != '\n' && c != '\r') continue;
    lineStarts_.push_back(start);
    lineEnds_.push_back(at);
    if (c == '\r' && at + 1 < size && data[at + 1] == '\n') ++at;
    start = at + 1;
  }
  // The line end after the last line starts no further line; an empty file is one empty line.
  if (start < size || lineStarts_.empty()) {
    lineStarts_.push_back(start);
    lineEnds_.push_back(size);
  }
  for (size_t line = 0; line < lineStarts_.size(); ++line) {
    if (line > 0) text_ += u'\n';
    blockStarts_.push_back(static_cast<int>(text_.size()));
    QString shown = DecodeText(BytesOf(bytes_, ShownStart(line), lineEnds_[line]), encoding_);
    // A paragraph separator would start a block of its own in the document.
    shown.replace(QChar::ParagraphSeparator, u' ');
    text_ += shown;
  }
}

int64_t FileText::ShownStart(size_t line) const {
  return line == 0 ? std::min(markSize_, lineEnds_[0]) : lineStarts_[line];
}

int FileText::PositionOf(int64_t offset, int64_t fileLine) const {
  size_t line = static_cast<size_t>(fileLine - 1);
  const bool holds = fileLine >= 1 && line < lineStarts_.size() && lineStarts_[line] <= offset &&
                     (line + 1 == lineStarts_.size() || offset < lineStarts_[line + 1]);
  if (!holds) {
    line = static_cast<size_t>(std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset) - lineStarts_.begin());
    line = line == 0 ? 0 : line - 1;
  }
  const int64_t end = std::clamp<int64_t>(offset, ShownStart(line), lineEnds_[line]);
  const int64_t characters = DecodeText(BytesOf(bytes_, ShownStart(line), end), encoding_).size();
  const int lineEnd = line + 1 < blockStarts_.size() ? blockStarts_[line + 1] - 1 : static_cast<int>(text_.size());
  return std::min(blockStarts_[line] + static_cast<int>(characters), lineEnd);
}

int64_t FileText::OffsetOf(int position) const {
  const size_t line =
      static_cast<size_t>(std::upper_bound(blockStarts_.begin(), blockStarts_.end(), position) - blockStarts_.begin()) -
      1;
  const QString before = text_.mid(blockStarts_[line], position - blockStarts_[line]);
  return ShownStart(line) + static_cast<int64_t>(EncodeText(before, encoding_).size());
}

}  // namespace wordloom::app
