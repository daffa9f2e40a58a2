// Rich Text Format: the writer that saves an output, and a reader for what such writers produce.
//
// RtfWriter writes Windows-1252 or UTF-8 text as an RTF document in one font, taking the text
// in pieces of any size (a UTF-8 character may fall across two): each line end (CR LF or LF)
// becomes "\par", a tab "\tab", and "\", "{", "}" and other control bytes are escaped, so the
// document's text is the text's. Windows-1252 bytes above 127 are written as "\'hh"; UTF-8
// characters beyond ASCII as "\uN?", N each UTF-16 code unit as a signed 16-bit number (so
// two for a character beyond U+FFFF), with invalid UTF-8 written as U+FFFD.
// It hands the document to its sink in blocks, so a large output never sits in memory twice.
// RtfPlainText reads the text back from a document of plain paragraphs: it skips the font,
// colour, style and information tables and every "\*" destination, and ignores formatting.
// Both cost one pass over the text.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "scan/scan_rules.h"

namespace wordloom::app {

class RtfWriter {
 public:
  // Receives a block of the document; returns false when it cannot take it.
  using Sink = std::function<bool(std::string_view bytes)>;

  RtfWriter(const std::string& fontName, double pointSize, Sink sink,
            TextEncoding encoding = TextEncoding::Windows1252);
  // Adds text; false once the sink has failed.
  bool Write(std::string_view text);
  // Ends the document and hands over the rest; false when the sink failed.
  bool Finish();

 private:
  bool Flush();
  // A UTF-8 byte: starts, continues or ends a character; false when it is no part of one.
  bool AddUtf8Byte(char c);
  void AppendCharacter(char32_t c);

  Sink sink_;
  bool utf8_;
  std::string sequence_;    // the bytes so far of a UTF-8 character
  std::string out_;
  bool pendingCr_ = false;  // a CR that ends a line if an LF follows
  bool failed_ = false;
};

// The whole document for `text` at once.
std::string RtfDocument(std::string_view text, const std::string& fontName, double pointSize,
                        TextEncoding encoding = TextEncoding::Windows1252);

// The text of `rtf` in `encoding` with "\n" line ends: Windows-1252 bytes (a character with no
// byte as "?"), or UTF-8.
std::string RtfPlainText(std::string_view rtf, TextEncoding encoding = TextEncoding::Windows1252);

}  // namespace wordloom::app
