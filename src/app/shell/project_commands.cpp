// The main window's project commands: "&New", "&Project", opening a text file through the
// New Project dialog, the dialogs' Save and OK, the reference letters and the key words.
#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>

#include "base/paths.h"
#include "concordance/concordance_page.h"
#include "lists/keywords_dialog.h"
#include "project/file_chooser.h"
#include "project/project_actions.h"
#include "project/project_dialog.h"
#include "project/reference_letters_dialog.h"
#include "scan/status_texts.h"
#include "shell/main_window.h"
#include "shell/small_windows.h"
#include "ui/code_page.h"
#include "ui/prompts.h"
#include "ui/run_progress.h"

namespace wordloom::app {
namespace {

const QString kProjectFilter = QStringLiteral("Wlm projects (*.wlm)|*.wlm");

// The name a text file gives its project: the file name up to the first ".", or the whole
// name when that leaves nothing.
QString NameOfTextFile(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const QString title = name.left(name.indexOf(QLatin1Char('.')));
  return title.trimmed().isEmpty() ? name : title;
}

void ShowOnTop(QWidget* window) {
  window->setWindowModality(Qt::ApplicationModal);
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

ProjectDialog* MainWindow::ProjectDialogOf(bool isNew) {
  ProjectDialog*& dialog = isNew ? Form1_ : Form4_;
  if (dialog) return dialog;
  dialog = new ProjectDialog(isNew ? ProjectDialog::Kind::New : ProjectDialog::Kind::Edit,
                             isNew ? session_.newProject : session_.project, prompts_, this);
  dialog->ResetFolder(PathText(CurrentFolder()));
  connect(dialog, &ProjectDialog::saveRequested, this, [this, dialog] { SaveFromProjectDialog(dialog); });
  connect(dialog, &ProjectDialog::okRequested, this, [this, dialog] { AcceptProjectDialog(dialog); });
  connect(dialog, &ProjectDialog::lettersRequested, this, &MainWindow::ShowReferenceLetters);
  if (isNew) connect(dialog, &QDialog::finished, this, &MainWindow::FinishTextFileOpen);
  return dialog;
}

void MainWindow::NewProjectCommand() {
  if (IsRunning()) return;
  ResetToNewProjectDefaults(session_.newProject, CurrentFolder());
  ProjectDialog* dialog = ProjectDialogOf(true);
  dialog->ResetFolder(PathText(CurrentFolder()));
  dialog->Refresh();
  ShowOnTop(dialog);
}

void MainWindow::EditProjectCommand() {
  if (IsRunning()) return;
  ShowOnTop(ProjectDialogOf(false));
}

// A text file becomes the only file of a new project named after it, which the New Project
// dialog then shows, starting in the file's folder. The Error Report is emptied first, so
// that it shows the errors of this scan alone when the dialog closes.
void MainWindow::OpenTextFile(const QString& path) {
  const QFileInfo text(path);
  letterFlagsBeforeTextFile_ = session_.scan.references.ReferenceLetterUsed;
  session_.newProject = NewProjectFromTextFile(session_, PathBytes(path), PathBytes(text.absolutePath()));
  // A name that is blank before its first "." is used whole.
  const QString name = NameOfTextFile(path);
  session_.newProject.Title = Encode1252(name);
  session_.newProject.FileName = PathBytes(name);
  if (Form6_) {
    Form6_->hide();
    Form6_->SetReport(std::string());
  }
  ProjectDialog* dialog = ProjectDialogOf(true);
  dialog->ResetFolder(text.absolutePath());
  dialog->Refresh();
  textFileOpening_ = path;
  newProjectTaken_ = false;
  ShowOnTop(dialog);
}

// Once the dialog opened for a text file closes: a project made current by its OK or Save
// takes the main window over; otherwise the current project keeps its letters and the main
// window stays as it was. Either way the scan's errors are shown.
void MainWindow::FinishTextFileOpen() {
  if (textFileOpening_.isEmpty()) return;
  const QString path = textFileOpening_;
  textFileOpening_.clear();
  if (newProjectTaken_) {
    ClearOutputs();
    ShowOpenedProject(PathText(StatusPathAfterOpen(PathBytes(path))));
  } else {
    session_.scan.references.ReferenceLetterUsed = letterFlagsBeforeTextFile_;
  }
  ShowErrorReportIfAny(0);
  emit textFileOpenFinished();
}

bool MainWindow::ScanFromProjectDialog(ProjectDialog* dialog) {
  const bool isNew = dialog->kind() == ProjectDialog::Kind::New;
  if (isNew) ProjectDialogOf(false)->CopyFolderFrom(*dialog);
  auto accept = [this, isNew](const ScratchFolder& scratch, const VocabularyOptions& options) {
    return isNew ? AcceptNewProject(session_, session_.newProject, scratch, options)
                 : AcceptEditProject(session_, scratch, options);
  };
  if (!(isNew ? session_.newProject : session_.project).SavesVocabulary()) {
    // Nothing is scanned, so no scratch folder is needed.
    const Status status = accept(ScratchFolder(), {});
    if (!status.ok()) prompts_.Message(dialog, QString::fromStdString(status.message()), MessageKind::Warning);
    newProjectTaken_ = newProjectTaken_ || (isNew && status.ok());
    return status.ok();
  }

  // The Error Report shows the errors of the last scan and of the runs since.
  session_.scan.ErrorReportText.clear();
  if (Form6_) Form6_->SetReport(std::string());
  Session before = session_;
  const bool accepted = RunPass(
      "scan the texts", false,
      [&](const ScratchFolder& scratch, RunProgress& progress) {
        VocabularyOptions options;
        options.progress = &progress;
        return accept(scratch, options);
      },
      dialog);
  if (!accepted) {
    // A failed scan leaves the session as it was; the Edit Project dialog keeps what it shows.
    Project edited = std::move(session_.project);
    session_ = std::move(before);
    if (!isNew) session_.project = std::move(edited);
    return false;
  }
  newProjectTaken_ = newProjectTaken_ || isNew;
  ShowStatus(Decode1252(session_.project.Title));
  ShowKeyWordsSummary();
  // A text file's dialog shows its errors once it closes.
  if (textFileOpening_.isEmpty()) ShowErrorReportIfAny(0);
  return true;
}

// The main window once the New Project dialog's project is the current one: no output of
// the previous project is left on show.
void MainWindow::ShowNewProjectTaken(const QString& statusPath) {
  ClearOutputs();
  ShowProjectReady();
  concordancePage_->Text7->setText(Decode1252(ReferenceLetterBoxText(session_.scan.references)));
  ShowKeyWordsSummary();
  ShowStatus(statusPath);
}

void MainWindow::AcceptProjectDialog(ProjectDialog* dialog) {
  if (IsRunning()) return;
  const bool isNew = dialog->kind() == ProjectDialog::Kind::New;
  if (!ScanFromProjectDialog(dialog) || closePending_) return;
  Project& shown = isNew ? session_.newProject : session_.project;
  if (prompts_.Question(dialog, QStringLiteral("Do you want to save the project?"))) {
    SaveProjectWithDialog(dialog, dialog->chooser->Folder());
  } else {
    shown.FileName.clear();
  }
  if (isNew) {
    ShowNewProjectTaken(PathText(shown.FileName));
  } else {
    ShowProjectReady();
    ShowKeyWordsSummary();
    ShowStatus(PathText(shown.FileName));
  }
  dialog->Refresh();
  dialog->Finish();
}

// Save scans first when "Save Vocabulary" is checked. The New Project dialog's project becomes
// the current one before it is scanned and saved, as its OK makes it, so the file never holds
// the previous project under the new name.
void MainWindow::SaveFromProjectDialog(ProjectDialog* dialog) {
  if (IsRunning()) return;
  if (!ScanFromProjectDialog(dialog) || closePending_) return;
  SaveProjectWithDialog(dialog, dialog->chooser->Folder());
  if (dialog->kind() == ProjectDialog::Kind::New) ShowNewProjectTaken(PathText(session_.project.FileName));
  dialog->Refresh();
}

// A file name without a folder is offered in `folder`; a text file's name (from "Browse") is
// offered with ".wlm", so that the project is not saved over a text by mistake.
void MainWindow::SaveProjectWithDialog(QWidget* parent, const QString& folder) {
  Status status = CheckProjectToSave(session_);
  if (!status.ok()) {
    prompts_.Message(parent, QString::fromStdString(status.message()), MessageKind::Warning);
    ShowKeyWordsSummary();
    return;
  }
  QString initial = PathText(session_.project.FileName);
  if (!initial.isEmpty() && QFileInfo(initial).isRelative()) initial = QDir(folder).filePath(initial);
  if (initial.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)) {
    initial = initial.chopped(4) + QStringLiteral(".wlm");
  }
  const QString chosen = prompts_.SaveFileName(parent, kProjectFilter, initial);
  if (!chosen.isEmpty()) {
    session_.newProject.FileName = PathBytes(chosen);
    status = SaveProject(session_, PathBytes(chosen));
    if (status.ok()) {
      settings_.AddRecentProject(chosen);
      UpdateRecentProjects();
    } else {
      prompts_.Message(parent, QString::fromStdString(status.message()), MessageKind::Warning);
    }
  }
  ShowKeyWordsSummary();
}

void MainWindow::ShowReferenceLetters() {
  if (!Form5_) Form5_ = new ReferenceLettersDialog(session_.referenceLetters, this);
  ShowOnTop(Form5_);
}

void MainWindow::ShowKeyWordsDialog() {
  if (IsRunning()) return;
  if (!Form3_) {
    Form3_ = new KeyWordsDialog(session_, this);
    connect(Form3_, &QDialog::accepted, this, &MainWindow::ShowKeyWordsSummary);
  }
  ShowOnTop(Form3_);
}

}  // namespace wordloom::app
