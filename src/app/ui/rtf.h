// Rich Text Format: the writer that saves an output, and a reader for what such writers produce.
//
// RtfWriter writes Windows-1252 text as an RTF document in one font, taking the text in pieces
// of any size: each line end (CR LF or LF) becomes "\par", a tab "\tab", and "\", "{", "}",
// other control bytes and bytes above 127 are escaped, so the document's text is the text's.
// It hands the document to its sink in blocks, so a large output never sits in memory twice.
// RtfPlainText reads the text back from a document of plain paragraphs: it skips the font,
// colour, style and information tables and every "\*" destination, and ignores formatting.
// Both cost one pass over the text.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace wordloom::app {

class RtfWriter {
 public:
  // Receives a block of the document; returns false when it cannot take it.
  using Sink = std::function<bool(std::string_view bytes)>;

  RtfWriter(const std::string& fontName, double pointSize, Sink sink);
  // Adds text; false once the sink has failed.
  bool Write(std::string_view text);
  // Ends the document and hands over the rest; false when the sink failed.
  bool Finish();

 private:
  bool Flush();

  Sink sink_;
  std::string out_;
  bool pendingCr_ = false;  // a CR that ends a line if an LF follows
  bool failed_ = false;
};

// The whole document for `text` at once.
std::string RtfDocument(std::string_view text, const std::string& fontName, double pointSize);

// The text of `rtf` as Windows-1252 bytes with "\n" line ends.
std::string RtfPlainText(std::string_view rtf);

}  // namespace wordloom::app
