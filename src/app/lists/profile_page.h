// The "Profile" page of the main window: the choice of words, the "Profile" button, and the
// "Words" (frequency spectrum) and "Statistics" panes.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace wordloom::app {

class OutputPane;

class ProfilePage : public QWidget {
  Q_OBJECT
 public:
  explicit ProfilePage(QWidget* parent = nullptr);

  static constexpr const char* kTitle = "Word Frequency Profile";

  // True when the profile is of the committed key words rather than of every word.
  bool KeyWordsChosen() const;
  // The title above the statistics; an empty text puts back the page's own.
  void ShowTitle(const QString& title);
  void SetRunning(bool running);
  OutputPane* spectrumPane() const { return spectrumPane_; }
  OutputPane* statisticsPane() const { return statisticsPane_; }
  // The pane on show: the spectrum or the statistics.
  OutputPane* shownPane() const;

 signals:
  void profileRequested();
  // A double-click on the "KeyWords" choice.
  void keyWordsDialogRequested();

 private:
  QPushButton* profileButton_;
  QRadioButton* allWordsOption_;
  QRadioButton* keyWordsOption_;
  QTabWidget* panes_;
  OutputPane* spectrumPane_;
  OutputPane* statisticsPane_;
  QLineEdit* titleBox_;
};

}  // namespace wordloom::app
