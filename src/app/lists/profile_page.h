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

  QPushButton* Command3;   // "Profile"
  QRadioButton* Option10;  // "All"
  QRadioButton* Option11;  // "KeyWords"
  QTabWidget* SSTab2;      // "Words", "Statistics"
  OutputPane* RichTextBox3;
  OutputPane* RichTextBox4;
  QLineEdit* Text11;       // the title of the statistics
};

}  // namespace wordloom::app
