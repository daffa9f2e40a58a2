// The "Concordance" page of the main window: the keys, the match kind, the run buttons and
// the concordance pane.
//
// The page holds the controls and turns them into a query; the main window runs it.
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

  // The query of the page's controls (the caller adds the word-list order and the context).
  ConcordanceQuery Query(ConcordanceKind kind) const;

  QPushButton* Command5;  // "Kwic"
  QPushButton* Command2;  // "Line"
  QPushButton* Command4;  // "Stop"
  QRadioButton* Option5;  // "Concordance"
  QRadioButton* Option6;  // "Index"
  QComboBox* Combo3;      // the order
  QLineEdit* Text1;       // the keys
  QRadioButton* Option3;  // "word"
  QRadioButton* Option1;  // "prefix"
  QRadioButton* Option2;  // "suffix"
  QRadioButton* Option4;  // "anywhere"
  QRadioButton* Option9;  // "KeyWords"
  QLineEdit* Text7;       // the letters to cite
  QLineEdit* Text6;       // the counts line
  OutputPane* RichTextBox1;
};

}  // namespace wordloom::app
