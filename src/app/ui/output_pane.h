// OutputPane: a rich-text pane that shows an output text in a fixed-pitch font.
//
// A pane loads its output file as plain Windows-1252 text (CR LF line ends), lets the user
// read, select and edit it, and saves its content as RTF or as plain text. Saving writes a
// new file beside the old one and renames it into place, so a failed save never damages
// the file it would have replaced.
#pragma once

#include <QPlainTextEdit>

namespace wordloom::app {

class OutputPane : public QPlainTextEdit {
  Q_OBJECT
 public:
  // The font name that saved documents name, whatever the system shows in its place.
  static constexpr const char* kFontName = "Courier New";
  static constexpr double kPointSize = 10;

  explicit OutputPane(const QString& objectName, QWidget* parent = nullptr);

  // Replaces the content with the file's text; an empty text and the reason when unreadable.
  bool LoadPlainTextFile(const QString& path, QString& error);
  // The content as typed: no-break spaces stay what they are, lines end with "\n".
  QString Text() const;
  // Saves the content; false with the message to show when the file cannot be written.
  bool SaveRtf(const QString& path, QString& error) const;
  bool SavePlainText(const QString& path, QString& error) const;
};

// "Courier New" when the system has it, else the system's fixed-pitch font, at the panes' size.
QFont PaneFont();

// Writes `bytes` to `path` through a temporary file; false with "Could not save <path>:
// <reason>." when it fails.
bool SaveBytes(const QString& path, const std::string& bytes, QString& error);

}  // namespace wordloom::app
