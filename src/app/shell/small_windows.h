// The small windows around the main window: the splash window, the About box, the
// "Copyright and Legals" window and the Error Report window.
#pragma once

#include <QDialog>
#include <QWidget>

class QPlainTextEdit;

namespace wordloom::app {

class Prompts;

// frmSplash: the product's name and version while the program starts.
class SplashWindow : public QWidget {
  Q_OBJECT
 public:
  explicit SplashWindow(QWidget* parent = nullptr);
};

// frmAbout: the title, the version, and "System Info...".
class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  AboutDialog(Prompts& prompts, QWidget* parent = nullptr);
  // Starts the first system-information program found on the PATH, or says there is none.
  void ShowSystemInfo();

 private:
  Prompts& prompts_;
};

// Form2: "Copyright and Legals", the text of "copyrigh.rtf".
class CopyrightWindow : public QDialog {
  Q_OBJECT
 public:
  explicit CopyrightWindow(QWidget* parent = nullptr);
  // Loads the RTF file; false with the reason when it cannot be read.
  bool LoadRtfFile(const QString& path, QString& error);

 private:
  QPlainTextEdit* RichTextBox1_;
};

// Form6: "Error Report", the reference syntax errors of the last scans.
class ErrorReportWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ErrorReportWindow(QWidget* parent = nullptr);
  void SetReport(const std::string& text);
  QString Report() const;

 private:
  QPlainTextEdit* RichTextBox1_;
};

}  // namespace wordloom::app
