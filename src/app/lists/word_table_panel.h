// The Word List page's table view: a filter, Stop and Export, and the table of words.
//
// The panel holds the controls and the table's model. The main window makes the table on the
// worker thread and hands it over. Typing a filter asks the main window to match the words,
// which it does against the vocabulary, and it hands back the rows kept or the reason the
// pattern is refused, which shows beside the filter. A click on a column's header sorts the
// rows there and then. Exporting is asked for here and done by the main window.
#pragma once

#include <QWidget>
#include <memory>

#include "lists/word_table.h"
#include "ui/word_table_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace wordloom::app {

class RowTableView;

class WordTablePanel : public QWidget {
  Q_OBJECT
 public:
  explicit WordTablePanel(QWidget* parent = nullptr);

  // The filter as typed; empty keeps every row.
  QString Filter() const;
  bool FilterIsRegex() const;

  // Shows every row of a new table, sorted as the header says; the caller filters it next.
  void ShowTable(std::shared_ptr<const WordTable> table, const EntryList* vocabulary, TextEncoding encoding);
  // Shows the rows the filter kept (null: every row) and clears the filter's message.
  void ShowKept(WordTableModel::Rows kept);
  // Shows why the filter was refused; the rows stay as they were.
  void ShowFilterError(const QString& message);
  void clear();
  // A pass runs: nothing that would start another is on, and "Stop" is on when it can stop it.
  void SetRunning(bool running, bool stoppable);
  WordTableModel* model() const { return model_; }
  RowTableView* view() const { return view_; }

 signals:
  void filterChanged();
  void stopRequested();
  void exportRequested(TableFormat format);
  // Enter or a double-click on a row of the table.
  void wordActivated(int row);

 private:
  QWidget* CreateFilterRow();
  void UpdateControls();

  QLineEdit* filterBox_;
  QComboBox* filterKindBox_;
  QLabel* filterMessage_;
  QPushButton* stopButton_;
  QPushButton* exportButton_;
  WordTableModel* model_;
  RowTableView* view_;
  bool running_ = false;
  bool stoppable_ = false;
};

}  // namespace wordloom::app
