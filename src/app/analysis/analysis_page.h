// AnalysisPage: what the Collocates, Clusters and Keyness pages share: the run buttons, the
// count of rows, Copy and Export, and the sortable table of the analysis's rows.
//
// A page derived from it lays out its own parameters above the buttons and turns them into
// the options of a run. The page tells the main window what the user asked for through its
// signals; the main window runs the analysis on the worker thread and hands the result back
// to the page's table. Copying takes the selected rows (every row when none is selected);
// exporting is asked for here and done by the main window.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "analysis/analysis_table_model.h"
#include "base/table_writer.h"

class QBoxLayout;
class QLineEdit;
class QPushButton;

namespace wordloom::app {

class RowTableView;

struct AnalysisPageNames {
  const char* page;
  const char* run;
  const char* stop;
  const char* count;
  const char* copy;
  const char* exportButton;
  const char* exportTsv;
  const char* exportCsv;
  const char* exportJsonLines;
  const char* table;
};

class AnalysisPage : public QWidget {
  Q_OBJECT
 public:
  // `runTip` says what "Run" computes.
  AnalysisPage(const AnalysisPageNames& names, std::vector<AnalysisColumn> columns, const QString& runTip,
               QWidget* parent = nullptr);

  // Shows a run's rows and their count.
  void ShowRows(std::shared_ptr<const AnalysisRows> rows, const QString& count);
  void clear();
  // A pass runs: nothing that would start another is on, and "Stop" is on when it can stop it.
  void SetRunning(bool running, bool stoppable);
  AnalysisTableModel* model() const { return model_; }
  RowTableView* view() const { return view_; }

 signals:
  void runRequested();
  void stopRequested();
  void exportRequested(TableFormat format);
  // Enter or a double-click on a row of the table (a row of the view, in its order).
  void rowActivated(int row);

 protected:
  // The page's parameters go into this row, above the buttons.
  QBoxLayout* parameters() const { return parameters_; }
  // Adds a second row of parameters below the first.
  QBoxLayout* AddParameterRow();

 private:
  QWidget* CreateButtonRow(const AnalysisPageNames& names, const QString& runTip);
  void CopyRows();
  void UpdateControls();

  QBoxLayout* layout_;
  QBoxLayout* parameters_;
  int parameterRows_ = 1;
  QPushButton* runButton_;
  QPushButton* stopButton_;
  QLineEdit* countBox_;
  QPushButton* copyButton_;
  QPushButton* exportButton_;
  AnalysisTableModel* model_;
  RowTableView* view_;
  bool running_ = false;
  bool stoppable_ = false;
};

}  // namespace wordloom::app
