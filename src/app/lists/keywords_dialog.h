// Form3, the "KeyWords Required" dialog: the vocabulary on the left, the key words being
// edited on the right, and the moves between them by pattern, by frequency or as selected.
//
// The dialog holds no lists of its own: it shows session.lists.Vocabulary and
// session.lists.KeyWords and makes every move through the engine's KeyWordsEditor. "OK"
// commits the key words into KeyWordsList and accepts; "Cancel" only hides, so the edits stay
// in KeyWords, uncommitted, for the next opening. Showing the dialog reloads both lists.
#pragma once

#include <QDialog>
#include <functional>

#include "lists/keyword_selection.h"
#include "project/session.h"

class QGroupBox;
class QLineEdit;
class QListView;
class QPushButton;
class QRadioButton;

namespace wordloom::app {

class EntryListModel;

class KeyWordsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit KeyWordsDialog(Session& session, QWidget* parent = nullptr);

  // Reloads both lists and their counts from the session.
  void Refresh();

  QListView* List1;       // the vocabulary
  QListView* List2;       // the key words required
  QLineEdit* Text7;       // "N words" under List1
  QLineEdit* Text8;       // "N words" under List2
  QRadioButton* Option1;  // "Add"
  QRadioButton* Option2;  // "Remove"
  QGroupBox* Frame1;      // "Add by" / "Remove by"
  QGroupBox* Frame3;      // "Pattern"
  QLineEdit* Text4;       // prefix
  QLineEdit* Text5;       // suffix
  QLineEdit* Text6;       // anywhere
  QPushButton* Command11;
  QPushButton* Command13;
  QPushButton* Command14;
  QGroupBox* Frame2;  // "Frequency"
  QLineEdit* Text1;   // greater than
  QLineEdit* Text2;   // less than
  QLineEdit* Text3;   // equal to
  QPushButton* Command8;
  QPushButton* Command9;
  QPushButton* Command10;
  QPushButton* Command4;   // "Selection"
  QPushButton* Command12;  // "not", hidden: the same move as "Selection"
  QGroupBox* Frame4;       // select in List1
  QPushButton* Command6;   // "All"
  QPushButton* Command7;   // "None"
  QGroupBox* Frame5;       // select in List2
  QPushButton* Command15;  // "All"
  QPushButton* Command16;  // "None"
  QPushButton* Command5;   // "Clear"
  QPushButton* Command2;   // "OK"
  QPushButton* Command1;   // "Cancel"

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QGroupBox* CreateMoveFrame();
  MoveDirection Direction() const;
  // Runs one move on the key words and shows the new list and count.
  void Move(const std::function<void(KeyWordsEditor&)>& move);
  void MoveSelection();

  Session& session_;
  EntryListModel* vocabulary_;
  EntryListModel* keyWords_;
};

}  // namespace wordloom::app
