// The "KeyWords Required" dialog: the vocabulary on the left, the key words being edited on
// the right, and the moves between them by pattern, by frequency or as selected.
//
// The dialog holds no lists of its own: it shows session.lists.Vocabulary and
// session.lists.KeyWords (a view of the vocabulary) and makes every move through the engine's
// KeyWordsEditor. "OK" commits the key words into KeyWordsList and accepts; "Cancel" only
// hides, so the edits stay in KeyWords, uncommitted, for the next opening. Showing the dialog
// reloads both lists. Its controls' object names are in keywords_dialog_names.h.
#pragma once

#include <QDialog>
#include <functional>

#include "lists/keyword_selection.h"
#include "project/session.h"

class QLineEdit;
class QListView;
class QRadioButton;

namespace wordloom::app {

class EntryListModel;

class KeyWordsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit KeyWordsDialog(Session& session, QWidget* parent = nullptr);

  // Reloads both lists and their counts from the session.
  void Refresh();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* CreateMoveFrame();
  MoveDirection Direction() const;
  // Runs one move on the key words and shows the new list and count.
  void Move(const std::function<void(KeyWordsEditor&)>& move);
  void MoveSelection();

  Session& session_;
  EntryListModel* vocabulary_;
  EntryListModel* keyWords_;
  QListView* vocabularyList_;
  QListView* keyWordsList_;
  QLineEdit* vocabularyCount_;
  QLineEdit* keyWordsCount_;
  QRadioButton* addOption_;
};

}  // namespace wordloom::app
