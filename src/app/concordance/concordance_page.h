// The "Concordance" page of the main window: the keys, the match kind, the run buttons, and
// the concordance as text (the concordance pane) or as a table of hits to sort, thin, open
// and export; "Text" and "Table" switch between the two views.
//
// The page holds the controls and turns them into a query; it tells the main window what the
// user asked for through its signals, and the main window runs it.
#pragma once

#include <QWidget>

#include "concordance/concordance_run.h"
#include "hits/hits.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;

namespace wordloom::app {

class HitTablePanel;
class OutputPane;

class ConcordancePage : public QWidget {
  Q_OBJECT
 public:
  explicit ConcordancePage(QWidget* parent = nullptr);

  // The query of the page's controls, its keys in `encoding` (the caller adds the word-list
  // order and the context).
  ConcordanceQuery Query(ConcordanceKind kind, TextEncoding encoding) const;
  // The query of a table run: the same keys, key words and letters, and the table's search
  // mode (the caller adds the word-list order).
  HitQuery TableQuery(ConcordanceKind kind, TextEncoding encoding) const;
  // True when the page shows the table, whose runs gather hits instead of writing a text.
  bool TableShown() const;

  void SetKeys(const QString& keys);
  void SetCitationLetters(const QString& letters);
  void ShowCounts(const QString& counts);
  // Matches the keys as whole words (not the key words), and shows the Table view.
  void SearchWordsInTable();
  void FocusKeys();
  // A pass runs: the run buttons are off, and "Stop" is on when the pass can be stopped.
  void SetRunning(bool running, bool stoppable);
  OutputPane* pane() const { return pane_; }
  HitTablePanel* table() const { return tablePanel_; }

 signals:
  void kwicRequested();
  void lineRequested();
  void stopRequested();
  // A double-click on the "KeyWords" choice.
  void keyWordsDialogRequested();

 private:
  void KeepMatchInStep();

  QPushButton* kwicButton_;
  QPushButton* lineButton_;
  QPushButton* stopButton_;
  QRadioButton* concordanceOption_;
  QRadioButton* indexOption_;
  QComboBox* orderBox_;
  QLineEdit* keysEdit_;
  QRadioButton* wordOption_;
  QRadioButton* prefixOption_;
  QRadioButton* suffixOption_;
  QRadioButton* anywhereOption_;
  QRadioButton* keyWordsOption_;
  QLineEdit* citationLettersEdit_;
  QLineEdit* countsBox_;
  OutputPane* pane_;
  QToolButton* textViewButton_;
  QToolButton* tableViewButton_;
  QStackedWidget* views_;
  HitTablePanel* tablePanel_;
};

}  // namespace wordloom::app
