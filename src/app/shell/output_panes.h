// OutputPanes: the four panes that show the outputs of the passes, by their pane codes, and
// the saving and printing of the pane on show.
//
// A pane shows an output file that it holds open, so what is saved or printed is exactly what
// the pane shows, whatever later passes write to their scratch files.
#pragma once

#include <QObject>
#include <QPrinter>
#include <array>
#include <memory>

class QWidget;

namespace wordloom::app {

class OutputFile;
class OutputPane;
class Prompts;

// The panes by the codes the window knows them by: the concordance, the word list, and the
// profile's spectrum and statistics.
enum class PaneCode { Concordance = 0, WordList = 1, Spectrum = 20, Statistics = 21 };

class OutputPanes : public QObject {
  Q_OBJECT
 public:
  OutputPanes(OutputPane* concordance, OutputPane* wordList, OutputPane* spectrum, OutputPane* statistics,
              Prompts& prompts, QWidget* window);

  OutputPane* Of(PaneCode code) const;
  void Show(PaneCode code, std::shared_ptr<const OutputFile> file);
  void ClearAll();

  // Asks for a file name and saves the pane's output: as text when the name ends in ".txt",
  // else as RTF.
  void Save(PaneCode code);
  void Print(PaneCode code);
  void PrintPreview(PaneCode code);
  void SetUpPage();

 private:
  // The pane's output, or null once the user has been told there is none yet.
  std::shared_ptr<const OutputFile> OutputOf(PaneCode code, const QString& missing);

  std::array<OutputPane*, 4> panes_;
  Prompts& prompts_;
  QWidget* window_;
  QPrinter printer_;
};

}  // namespace wordloom::app
