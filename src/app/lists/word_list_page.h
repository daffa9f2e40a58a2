// The "Word List" page of the main window: the layout, the frequencies flag, the choice of
// words, and the word list as text (the word-list pane) or as a table of words to sort,
// filter, export and look up in a concordance; "Text" and "Table" switch between the two
// views. The order and the rhyme flag are on the KeyWords toolbar.
#pragma once

#include <QWidget>

#include "lists/word_list.h"
#include "lists/word_table.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;

namespace wordloom::app {

class OutputPane;
class WordTablePanel;

class WordListPage : public QWidget {
  Q_OBJECT
 public:
  explicit WordListPage(QWidget* parent = nullptr);

  // The query of the page's controls with the toolbar's order and rhyme flag.
  WordListQuery Query(int order, bool rhyme) const;
  // The query of a table run: the same choice of words, order and rhyme flag.
  WordTableQuery TableQuery(int order, bool rhyme) const;
  // True when the page shows the table, which the run button then makes instead of the text.
  bool TableShown() const;
  void ShowCount(const QString& count);
  // A pass runs: the run button is off, and the table's "Stop" is on when the pass can be stopped.
  void SetRunning(bool running, bool stoppable);
  OutputPane* pane() const { return pane_; }
  WordTablePanel* table() const { return tablePanel_; }

 signals:
  void wordListRequested();

 private:
  QPushButton* wordListButton_;
  QComboBox* layoutBox_;
  QCheckBox* frequenciesCheck_;
  QRadioButton* allWordsOption_;
  QRadioButton* keyWordsOption_;
  QLineEdit* countBox_;
  OutputPane* pane_;
  QToolButton* textViewButton_;
  QToolButton* tableViewButton_;
  QStackedWidget* views_;
  WordTablePanel* tablePanel_;
};

}  // namespace wordloom::app
