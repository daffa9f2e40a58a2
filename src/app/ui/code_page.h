// Texts between the engine's Windows-1252 bytes and Qt's Unicode strings, and file names
// between the engine's bytes and Qt's strings.
//
// The engine reads and writes single-byte Windows-1252 text; the windows show Unicode. Every
// byte has a character (the five bytes that Windows-1252 leaves undefined stand for the C1
// control of the same code), so decoding never fails and encoding a decoded text gives the
// bytes back. A character with no byte is encoded as "?".
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace wordloom::app {

QString Decode1252(std::string_view bytes);
std::string Encode1252(const QString& text);

// File names are bytes in the system's encoding, whatever the texts' code page.
std::string PathBytes(const QString& path);
QString PathText(const std::string& path);

}  // namespace wordloom::app
