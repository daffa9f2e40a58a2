// The "Word List" page of the main window: the layout, the frequencies flag, the choice of
// words and the word-list pane. The order and the rhyme flag are on the KeyWords toolbar.
#pragma once

#include <QWidget>

#include "lists/word_list.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace wordloom::app {

class OutputPane;

class WordListPage : public QWidget {
  Q_OBJECT
 public:
  explicit WordListPage(QWidget* parent = nullptr);

  // The query of the page's controls with the toolbar's order and rhyme flag.
  WordListQuery Query(int order, bool rhyme) const;
  void ShowCount(const QString& count);
  void SetRunning(bool running);
  OutputPane* pane() const { return pane_; }

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
};

}  // namespace wordloom::app
