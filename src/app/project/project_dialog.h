// The New Project and Edit Project dialogs, one class for both.
//
// Both dialogs edit a Project record as the user types: the Edit Project dialog the current
// project, the New Project dialog the one being created. They choose the text files, edit the
// texts' encoding, the scanning rules and the vocabulary-saving options, and pass "Save" and "OK" on to the main
// window, which scans, saves and updates itself. The New Project dialog adds "No Path" and
// takes at most one typed character in the one-character rule boxes. The dialogs are created
// once and hidden by OK and Cancel, so what they show persists. The record's texts are in its
// encoding; changing the encoding recodes them (see project_texts.h). The object names of the
// controls are in project_dialog_names.h.
#pragma once

#include <QDialog>

#include "project/project.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
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
  // The folder the chooser lists, where a project file name without a folder is offered.
  QString ChosenFolder() const;
  // A scan from this dialog is running: everything but the progress bar is off, the bar shows
  // a run of unknown length, and the dialog cannot be closed. Not busy hides and resets the bar.
  void SetBusy(bool busy);
  // The scan's progress in thousandths (0 to 1000) on the dialog's progress bar.
  void ShowProgress(int permille);
  // Closes the dialog as its OK does once the project is accepted.
  void Finish() { accept(); }

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
  QWidget* CreateProjectFilesFrame();
  QWidget* CreateRulesFrame();
  // The encoding and the rules of UTF-8 projects, rows of the rules frame from `row` on.
  void CreateEncodingRows(QGridLayout* grid, int row, QWidget* frame);
  QWidget* CreateVocabularyFrame();
  void ConnectFields();

  void AddFiles(const QStringList& names);
  void RemoveFile(QListWidgetItem* item);
  void ShowReferenceType();
  void ShowEncoding();
  void ChooseFont();
  void Browse();

  Kind kind_;
  Project& project_;
  Prompts& prompts_;
  bool busy_ = false;

  // The project's title and file.
  QLineEdit* titleEdit_;
  QLineEdit* fileNameEdit_;
  QPushButton* browseButton_;
  QCheckBox* saveVocabularyCheck_;
  QCheckBox* noPathCheck_ = nullptr;  // New Project only
  QPushButton* saveButton_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
  // The text files.
  FileChooser* chooser_;
  QPushButton* selectAllButton_;
  QPushButton* selectNoneButton_;
  QPushButton* addFilesButton_;
  QWidget* projectFilesFrame_;
  QListWidget* projectFilesList_;
  QProgressBar* progressBar_;
  // The scanning rules.
  QLineEdit* alphabetEdit_;
  QPushButton* fontButton_;
  QRadioButton* noReferencesOption_;
  QRadioButton* type1ReferencesOption_;
  QGroupBox* referencePatternFrame_;
  QLineEdit* leftReferenceEdit_;
  QPushButton* lettersButton_;
  QLineEdit* rightReferenceEdit_;
  QLineEdit* endOfLineEdit_;
  QLineEdit* joinEdit_;
  QLineEdit* endHyphenEdit_;
  QComboBox* encodingBox_;
  QLineEdit* languageEdit_;
  QComboBox* wordsBox_;
  QCheckBox* unicodeLettersCheck_;
  QCheckBox* needLetterCheck_;
  // The vocabulary to save.
  QRadioButton* scopeAllOption_;
  QRadioButton* scopeNoneOption_;
  QRadioButton* scopeMatchesOption_;
  QLineEdit* prefixEdit_;
  QLineEdit* suffixEdit_;
  QLineEdit* anywhereEdit_;
};

}  // namespace wordloom::app
