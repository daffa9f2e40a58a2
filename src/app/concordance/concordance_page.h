// The "Concordance" page of the main window: the keys, the match kind, the run buttons and
// the concordance pane.
//
// The page holds the controls and turns them into a query; it tells the main window what the
// user asked for through its signals, and the main window runs it.
#pragma once

#include <QWidget>

#include "concordance/concordance_run.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace wordloom::app {

class OutputPane;

class ConcordancePage : public QWidget {
  Q_OBJECT
 public:
  explicit ConcordancePage(QWidget* parent = nullptr);

  // The query of the page's controls, its keys in `encoding` (the caller adds the word-list
  // order and the context).
  ConcordanceQuery Query(ConcordanceKind kind, TextEncoding encoding) const;

  void SetKeys(const QString& keys);
  void SetCitationLetters(const QString& letters);
  void ShowCounts(const QString& counts);
  void FocusKeys();
  // A pass runs: the run buttons are off, and "Stop" is on when the pass can be stopped.
  void SetRunning(bool running, bool stoppable);
  OutputPane* pane() const { return pane_; }

 signals:
  void kwicRequested();
  void lineRequested();
  void stopRequested();
  // A double-click on the "KeyWords" choice.
  void keyWordsDialogRequested();

 private:
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
};

}  // namespace wordloom::app
