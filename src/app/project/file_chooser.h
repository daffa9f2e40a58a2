// FileChooser: the folder and file panel of the New and Edit Project dialogs.
//
// Drive1 offers the file-system roots: "/", the home folder and the mounted volumes. Dir1
// shows the current folder as a path tree (the ancestors from the drive's root, then the
// subfolders) and moves on a double-click or Enter; File1 lists the folder's plain files that
// match Text5's patterns ("*.log;*.txt", matched without regard to case). Hidden files and
// folders are left out. Enter acts inside the panel and never reaches the dialog's default
// button. The panel reads a folder each time it shows it and keeps no other state.
#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace wordloom::app {

class FileChooser : public QWidget {
  Q_OBJECT
 public:
  explicit FileChooser(QWidget* parent = nullptr);
  // Shows `folder` (the nearest existing folder above it when it no longer exists): Drive1 set to
  // the drive holding it, Dir1 to the folder, File1 refilled with the pattern of Text5, Text2 = the folder.
  void SetFolder(const QString& folder);
  QString Folder() const;              // the folder File1 lists (absolute, no trailing "/" except for "/")
  void SetPattern(const QString& pattern);  // Text5 and File1's pattern; refills File1
  QString Pattern() const;             // Text5's text
  QStringList SelectedFiles() const;   // the selected file names of File1 (names only), in list order
  void SelectAll();                    // "All"
  void SelectNone();                   // "None": deselect every entry, from the last entry to the first
  QComboBox* Drive1;   // the drives
  QListWidget* Dir1;   // the folder list
  QListWidget* File1;  // the file list, extended multi-selection
  QLineEdit* Text5;    // the file pattern, "*.txt" at first
  QLineEdit* Text2;    // shows the folder of Dir1 (read-only)
 signals:
  void fileActivated(const QString& name);  // a double-click (or Enter) on an entry of File1

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowFolder(const QString& folder);
  void FillFolders();
  void FillFiles();
  void EnterFolder(QListWidgetItem* entry);

  QString root_;    // the drive whose tree Dir1 shows
  QString folder_;  // the folder File1 lists
};

}  // namespace wordloom::app
