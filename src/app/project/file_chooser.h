// FileChooser: the folder and file panel of the New and Edit Project dialogs.
//
// The drive list offers the file-system roots: "/", the home folder and the mounted volumes.
// The folder list shows the current folder as a path tree (the ancestors from the drive's
// root, then the subfolders) and moves on a double-click or Enter; the file list shows the
// folder's plain files that match the typed patterns ("*.log;*.txt", matched without regard
// to case). Hidden files and folders are left out. Enter acts inside the panel and never
// reaches the dialog's default button. The panel reads a folder each time it shows it and
// keeps no other state. The object names of its controls are in file_chooser_names.h.
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
  // Shows `folder` (the nearest existing folder above it when it no longer exists): the drive
  // holding it, the folder in the tree and in the folder box, and its files that match.
  void SetFolder(const QString& folder);
  QString Folder() const;              // the folder listed (absolute, no trailing "/" except for "/")
  void SetPattern(const QString& pattern);  // the file pattern; refills the file list
  QString Pattern() const;             // the pattern as typed
  QStringList SelectedFiles() const;   // the selected file names (names only), in list order
  void SelectAll();                    // "All"
  void SelectNone();                   // "None": deselect every entry, from the last entry to the first

 signals:
  void fileActivated(const QString& name);  // a double-click (or Enter) on a file

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowFolder(const QString& folder);
  void FillFolders();
  void FillFiles();
  void EnterFolder(QListWidgetItem* entry);

  QComboBox* drivesBox_;
  QListWidget* foldersList_;
  QListWidget* filesList_;  // extended multi-selection
  QLineEdit* patternEdit_;  // "*.txt" at first
  QLineEdit* folderEdit_;   // the folder listed, read-only
  QString root_;            // the drive whose tree the folder list shows
  QString folder_;          // the folder whose files are listed
};

}  // namespace wordloom::app
