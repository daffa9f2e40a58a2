// Rich Text Format: the writer that saves a pane, and a reader for what such writers produce.
//
// RtfDocument writes Windows-1252 text as an RTF document in one font: each line ends with
// "\par", a tab is "\tab", and "\", "{", "}", control bytes and bytes above 127 are escaped.
// RtfPlainText reads the text back from a document of plain paragraphs: it skips the font,
// colour, style and information tables and every "\*" destination, and ignores formatting.
// Both work on byte strings and cost one pass over the text.
#pragma once

#include <string>
#include <string_view>

namespace wordloom::app {

std::string RtfDocument(std::string_view text, const std::string& fontName, double pointSize);

// The text of `rtf` as Windows-1252 bytes with "\n" line ends.
std::string RtfPlainText(std::string_view rtf);

}  // namespace wordloom::app
