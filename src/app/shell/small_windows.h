// The small windows around the main window: the splash window, the About box, the
// "Copyright and Legals" window and the Error Report window. The object names of their
// controls are in small_windows_names.h.
#pragma once

#include <QDialog>
#include <QWidget>
#include <string>

#include "scan/scan_rules.h"

class QPlainTextEdit;

namespace wordloom::app {

class Prompts;

// The splash window: the product's name and version while the program starts.
class SplashWindow : public QWidget {
  Q_OBJECT
 public:
  explicit SplashWindow(QWidget* parent = nullptr);
};

// The About box: the title, the version, and "System Info...".
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  AboutDialog(Prompts& prompts, QWidget* parent = nullptr);
  // Starts the first system-information program found on the PATH, or says there is none.
  void ShowSystemInfo();

 private:
  Prompts& prompts_;
};

// The "Copyright and Legals" window, the text of "copyrigh.rtf".
class CopyrightWindow : public QDialog {
  Q_OBJECT
 public:
  explicit CopyrightWindow(QWidget* parent = nullptr);
  // Loads the RTF file; false with the reason when it cannot be read.
  bool LoadRtfFile(const QString& path, QString& error);

 private:
  QPlainTextEdit* textView_;
};

// The "Error Report" window, the reference syntax errors of the last scans.
class ErrorReportWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ErrorReportWindow(QWidget* parent = nullptr);
  // Shows the report's text, which is in the project's `encoding`.
  void SetReport(const std::string& text, TextEncoding encoding);
  QString Report() const;

 private:
  QPlainTextEdit* reportView_;
};

}  // namespace wordloom::app
