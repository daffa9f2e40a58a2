// Texts between the engine's bytes and Qt's Unicode strings, by the project's encoding, and
// file names between the engine's bytes and Qt's strings.
//
// The engine hands out a project's texts in the project's encoding: Windows-1252 bytes or
// UTF-8. The windows show Unicode. In Windows-1252 every byte has a character (the five bytes
// that Windows-1252 leaves undefined stand for the C1 control of the same code), so decoding
// never fails and encoding a decoded text gives the bytes back; a character with no byte is
// encoded as "?". Invalid UTF-8 decodes to U+FFFD. An Automatic encoding is not settled yet:
// until it is, the texts typed for it are Windows-1252, as they always were.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "scan/scan_rules.h"

namespace wordloom::app {

QString Decode1252(std::string_view bytes);
std::string Encode1252(const QString& text);

// The encoding texts are typed and shown in: Windows-1252 for an unsettled (Automatic) one.
inline TextEncoding TypedEncoding(TextEncoding encoding) {
  return encoding == TextEncoding::Utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}
QString DecodeText(std::string_view bytes, TextEncoding encoding);
std::string EncodeText(const QString& text, TextEncoding encoding);

// File names are bytes in the system's encoding, whatever the texts' code page.
std::string PathBytes(const QString& path);
QString PathText(const std::string& path);

}  // namespace wordloom::app
