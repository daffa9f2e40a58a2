// Prompts: every message box, file dialog, printer dialog and outside program of the windows.
//
// The windows never open a modal dialog of the system directly; they ask a Prompts object.
// DialogPrompts shows the real dialogs; tests give the windows a scripted Prompts that
// answers from a queue and records what was asked, so no test ever waits for a person.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QFont;
class QPrinter;
class QWidget;

namespace wordloom::app {

enum class MessageKind { Information, Warning, Critical };

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual void Message(QWidget* parent, const QString& text, MessageKind kind = MessageKind::Information) = 0;
  // A Yes/No question; true for Yes.
  virtual bool Question(QWidget* parent, const QString& text) = 0;
  // The chosen file, or an empty text when the user cancels. `filter` is written
  // "Description|pattern|Description|pattern".
  virtual QString OpenFileName(QWidget* parent, const QString& filter) = 0;
  // As OpenFileName, for saving: starts at `initialName` and asks before replacing a file.
  virtual QString SaveFileName(QWidget* parent, const QString& filter, const QString& initialName) = 0;
  // The print dialog; false when the user cancels.
  virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer) = 0;
  // The page set-up dialog of `printer`.
  virtual void SetUpPage(QWidget* parent, QPrinter& printer) = 0;
  // A print preview that draws its pages with `paint`.
  virtual void PreviewPrint(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint) = 0;
  // Opens an address in the system's browser; false when nothing could open it.
  virtual bool OpenUrl(const QUrl& url) = 0;
  // Starts an outside program in its own window; false when it could not be started.
  virtual bool StartProgram(const QString& program) = 0;
  // The font dialog, starting at `font`; false, with `font` unchanged, when the user cancels.
  virtual bool ChooseFont(QWidget* parent, QFont& font) = 0;
};

// The real dialogs.
class DialogPrompts : public Prompts {
 public:
  void Message(QWidget* parent, const QString& text, MessageKind kind) override;
  bool Question(QWidget* parent, const QString& text) override;
  QString OpenFileName(QWidget* parent, const QString& filter) override;
  QString SaveFileName(QWidget* parent, const QString& filter, const QString& initialName) override;
  bool ChoosePrinter(QWidget* parent, QPrinter& printer) override;
  void SetUpPage(QWidget* parent, QPrinter& printer) override;
  void PreviewPrint(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint) override;
  bool OpenUrl(const QUrl& url) override;
  bool StartProgram(const QString& program) override;
  bool ChooseFont(QWidget* parent, QFont& font) override;
};

// "Rtf files(*.rtf)|*.rtf" becomes "Rtf files(*.rtf)", one entry per pair, as Qt's dialogs
// take their filters.
QString QtFileFilter(const QString& filter);

}  // namespace wordloom::app
