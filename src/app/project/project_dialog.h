// Form1 (New Project, "New Wlm Project") and Form4 (Edit Project, "Wlm Project").
//
// Both dialogs edit a Project record as the user types: the Edit Project dialog the current
// project, the New Project dialog the one being created. They choose the text files, edit the
// scanning rules and the vocabulary-saving options, and pass "Save" and "OK" on to the main
// window, which scans, saves and updates itself. The New Project dialog adds "No Path" and
// takes at most one typed character in the one-character rule boxes. The dialogs are created
// once and hidden by OK and Cancel, so what they show persists.
#pragma once

#include <QDialog>

#include "project/project.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace wordloom::app {

class FileChooser;
class Prompts;

class ProjectDialog : public QDialog {
  Q_OBJECT
 public:
  enum class Kind { New, Edit };

  ProjectDialog(Kind kind, Project& project, Prompts& prompts, QWidget* parent = nullptr);

  Kind kind() const { return kind_; }
  // Shows the record again, after it changed behind the dialog (opened, reset, saved).
  void Refresh();
  // The folder and the file pattern the chooser starts from: "*.txt" in `folder`.
  void ResetFolder(const QString& folder);
  // The chooser's folder and pattern of another dialog, as the New Project dialog's OK hands
  // them to the Edit Project dialog.
  void CopyFolderFrom(const ProjectDialog& other);
  // A scan from this dialog is running: everything but the progress bar is off, and the
  // dialog cannot be closed.
  void SetBusy(bool busy);
  // Closes the dialog as its OK does once the project is accepted.
  void Finish() { accept(); }

  // The Project frame.
  QLineEdit* Text3;       // "Title:"
  QLineEdit* Text1;       // "File name:"
  QCheckBox* Check1;      // "Save Vocabulary"
  QCheckBox* Check2 = nullptr;  // "No Path", New Project only
  QPushButton* Command7;  // "Save"
  QPushButton* Command3;  // "OK"
  QPushButton* Command8;  // "Cancel"
  QPushButton* Command2;  // "Browse"
  // The text files.
  FileChooser* chooser;
  QPushButton* Command1;  // "Add selected files to the project"
  QPushButton* Command4;  // "All"
  QPushButton* Command6;  // "None"
  QListWidget* List1;     // "Files in the project"
  QProgressBar* ProgressBar1;
  // The scanning rules.
  QLineEdit* Text4;  // "Alphabet:"
  QRadioButton* Option10;  // "none"
  QRadioButton* Option11;  // "type1"
  QGroupBox* Frame2;
  QLineEdit* Text8;        // the opening character of a reference
  QPushButton* Command9;   // "Letter"
  QLineEdit* Text9;        // the closing character
  QLineEdit* Text7;        // "End of Line:"
  QLineEdit* Text6;        // "Join:"
  QLineEdit* Text13;       // "End Hyphen:"
  QPushButton* Command5;   // "Font"
  // The "Save Vocabulary" frame.
  QRadioButton* Option1;  // "All"
  QRadioButton* Option2;  // "None"
  QRadioButton* Option3;  // "Matches"
  QLineEdit* Text10;      // "Prefix"
  QLineEdit* Text11;      // "Suffix"
  QLineEdit* Text12;      // "Anywhere"

 signals:
  void saveRequested();
  void okRequested();
  void lettersRequested();

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* CreateProjectFrame();
  QWidget* CreateFilesFrame();
  QWidget* CreateRulesFrame();
  QWidget* CreateVocabularyFrame();
  void ConnectFields();

  void AddFiles(const QStringList& names);
  void RemoveFile(QListWidgetItem* item);
  void ShowReferenceType();
  void ChooseFont();
  void Browse();

  Kind kind_;
  Project& project_;
  Prompts& prompts_;
  bool busy_ = false;
};

}  // namespace wordloom::app
