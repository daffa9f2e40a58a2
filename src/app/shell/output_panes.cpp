#include "shell/output_panes.h"

#include "ui/output_file.h"
#include "ui/output_pane.h"
#include "ui/output_saving.h"
#include "ui/prompts.h"
#include "ui/text_printer.h"

namespace wordloom::app {
namespace {

size_t IndexOf(PaneCode code) {
  switch (code) {
    case PaneCode::Concordance: return 0;
    case PaneCode::WordList: return 1;
    case PaneCode::Spectrum: return 2;
    case PaneCode::Statistics: return 3;
  }
  return 0;
}

}  // namespace

OutputPanes::OutputPanes(OutputPane* concordance, OutputPane* wordList, OutputPane* spectrum, OutputPane* statistics,
                         Prompts& prompts, QWidget* window)
    : QObject(window), panes_{concordance, wordList, spectrum, statistics}, prompts_(prompts), window_(window) {}

OutputPane* OutputPanes::Of(PaneCode code) const { return panes_[IndexOf(code)]; }

void OutputPanes::Show(PaneCode code, std::shared_ptr<const OutputFile> file) { Of(code)->Show(std::move(file)); }

void OutputPanes::ClearAll() {
  for (OutputPane* pane : panes_) pane->clear();
}

std::shared_ptr<const OutputFile> OutputPanes::OutputOf(PaneCode code, const QString& missing) {
  std::shared_ptr<const OutputFile> file = Of(code)->File();
  if (!file) prompts_.Message(window_, missing);
  return file;
}

void OutputPanes::Save(PaneCode code) {
  const auto file = OutputOf(code, QStringLiteral("There is no output on this page to save yet."));
  if (!file) return;
  const QString path = prompts_.SaveFileName(window_, QString::fromLatin1(kOutputSaveFilter), QString());
  QString error;
  if (!path.isEmpty() && !SaveOutput(*file, path, error)) prompts_.Message(window_, error, MessageKind::Warning);
}

void OutputPanes::Print(PaneCode code) {
  const auto file = OutputOf(code, QStringLiteral("There is no output on this page to print yet."));
  if (!file || !prompts_.ChoosePrinter(window_, printer_)) return;
  QString error;
  if (!PrintTextFile(*file, Of(code)->font(), printer_, error)) prompts_.Message(window_, error, MessageKind::Warning);
}

void OutputPanes::PrintPreview(PaneCode code) {
  const auto file = OutputOf(code, QStringLiteral("There is no output on this page to print yet."));
  if (!file) return;
  const QFont font = Of(code)->font();
  QString error;
  prompts_.PreviewPrint(window_, printer_, [&](QPrinter* target) { PrintTextFile(*file, font, *target, error); });
  if (!error.isEmpty()) prompts_.Message(window_, error, MessageKind::Warning);
}

void OutputPanes::SetUpPage() { prompts_.SetUpPage(window_, printer_); }

}  // namespace wordloom::app
