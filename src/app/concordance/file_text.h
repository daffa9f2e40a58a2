// FileText: a text file decoded for showing line by line, and the way between its byte offsets
// and the places of the shown text.
//
// The file's physical lines end at LF, CR LF or a lone CR, as the engine reads them; the shown
// text joins them with "\n", so physical line n is the document's block n - 1. A UTF-8 file's
// byte-order mark is not shown, though the offsets count it. A byte offset inside line n maps
// to the characters decoded from the bytes of that line before it, so an offset inside a line
// end maps to the end of the line. Memory: the file's bytes, its decoded text and two numbers a
// line.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "scan/scan_rules.h"

namespace wordloom::app {

class FileText {
 public:
  // Reads and decodes the file; false with "Could not read PATH: REASON." when it cannot.
  bool Load(const QString& path, TextEncoding encoding, QString& error);
  // Takes `bytes` as the file's content.
  void Set(QByteArray bytes, TextEncoding encoding);

  const QString& text() const { return text_; }
  int64_t LineCount() const { return static_cast<int64_t>(lineStarts_.size()); }
  // The place in text() of byte `offset` of the file, which lies on line `fileLine` (from 1;
  // found from the offset when it is 0 or does not hold it).
  int PositionOf(int64_t offset, int64_t fileLine = 0) const;
  // The byte offset of a place in text().
  int64_t OffsetOf(int position) const;

 private:
  // The byte where line `line` (from 0) starts to be shown: after its start and the mark.
  int64_t ShownStart(size_t line) const;

  QByteArray bytes_;
  TextEncoding encoding_ = TextEncoding::Windows1252;
  int64_t markSize_ = 0;             // the UTF-8 byte-order mark
  std::vector<int64_t> lineStarts_;  // the first byte of each line
  std::vector<int64_t> lineEnds_;    // the byte after each line's last one, before its line end
  std::vector<int> blockStarts_;     // the place in text_ of each line's first character
  QString text_;
};

}  // namespace wordloom::app
