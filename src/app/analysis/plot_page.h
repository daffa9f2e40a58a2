// The "Plot" page: keys to plot, each its own search, how they match, the parts they are
// counted over (the files, or the values of a reference letter), and the dispersion plot, one
// group of strips a key, which can be saved as a PNG or SVG picture and printed. A click on a
// mark shows the key's hits in the Concordance page's table.
//
// The page holds the controls and shows the plot the main window committed; it tells the
// main window what the user asked for through its signals, and the main window runs it.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "hits/hits.h"
#include "plot/plot_layout.h"

class QComboBox;
class QLineEdit;
class QPrinter;
class QPushButton;

namespace wordloom::app {

class PlotView;

// A plot as it was run: its searches' mode and parts, and each key's dispersion.
struct PlotResult {
  DispersionPlot plot;
  SearchMode mode = SearchMode::Word;
  int letter = 0;  // 0: by file; 1 (A) to 26 (Z): by that letter's values
};

class PlotPage : public QWidget {
  Q_OBJECT
 public:
  explicit PlotPage(QWidget* parent = nullptr);
  ~PlotPage() override;

  // The keys in `encoding`, one search each: split at spaces, but a phrase or a regular
  // expression is one key, as the concordance table reads them. Empty when none is typed.
  std::vector<std::string> Keys(TextEncoding encoding) const;
  SearchMode Mode() const;
  // 0 for File, else the reference letter chosen (1 for A).
  int Letter() const;
  // "By" offers File, then the letters the project uses ("AS"), then the others; the choice
  // stays when it is still offered.
  void SetUsedLetters(const QString& letters);

  // Shows a committed plot and its count.
  void ShowPlot(std::shared_ptr<const PlotResult> result);
  void clear();
  // A pass runs: nothing that would start another is on, and "Stop" is on when it can stop it.
  void SetRunning(bool running, bool stoppable);
  const std::shared_ptr<const PlotResult>& result() const { return result_; }
  // The printer plots are printed on, its page set-up kept from one printout to the next.
  QPrinter& printer();
  PlotView* view() const { return view_; }

 signals:
  void plotRequested();
  void stopRequested();
  void saveRequested();
  void printRequested();
  // A click on a mark: its first hit, `firstHit` of the part `part` of the search `series`.
  void markClicked(size_t series, size_t part, qint64 firstHit);

 private:
  QWidget* CreateButtonRow();
  void UpdateControls();

  QLineEdit* keysEdit_;
  QComboBox* modeBox_;
  QComboBox* byBox_;
  QPushButton* plotButton_;
  QPushButton* stopButton_;
  QLineEdit* countBox_;
  QPushButton* saveButton_;
  QPushButton* printButton_;
  PlotView* view_;
  std::unique_ptr<QPrinter> printer_;
  std::shared_ptr<const PlotResult> result_;
  bool running_ = false;
  bool stoppable_ = false;
};

// "2 keys, 1,234 hits in 5 parts".
QString PlotCountText(const DispersionPlot& plot);

}  // namespace wordloom::app
