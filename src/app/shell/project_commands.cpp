#include "shell/project_commands.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "base/paths.h"
#include "base/scratch_folder.h"
#include "lists/keywords_dialog.h"
#include "index/index.h"
#include "project/project_actions.h"
#include "project/project_dialog.h"
#include "project/project_texts.h"
#include "project/reference_letters_dialog.h"
#include "shell/pass_runner.h"
#include "shell/settings.h"
#include "ui/code_page.h"
#include "ui/prompts.h"

namespace wordloom::app {
namespace {

const QString kOpenFilter = QStringLiteral("Wlm projects (*.wlm)|*.wlm|Text files (*.txt)|*.txt");
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

ProjectCommands::ProjectCommands(Session& session, Settings& settings, Prompts& prompts, PassRunner& runner,
                                 ScratchSource scratchFor, QWidget* window)
    : QObject(window), session_(session), settings_(settings), prompts_(prompts), runner_(runner),
      scratchFor_(std::move(scratchFor)), window_(window) {}

void ProjectCommands::Warn(QWidget* parent, const std::string& message) {
  prompts_.Message(parent, QString::fromStdString(message), MessageKind::Warning);
}

ProjectDialog* ProjectCommands::ProjectDialogOf(bool isNew) {
  ProjectDialog*& dialog = isNew ? newProjectDialog_ : editProjectDialog_;
  if (dialog) return dialog;
  dialog = new ProjectDialog(isNew ? ProjectDialog::Kind::New : ProjectDialog::Kind::Edit,
                             isNew ? session_.newProject : session_.project, prompts_, window_);
  dialog->ResetFolder(PathText(CurrentFolder()));
  connect(dialog, &ProjectDialog::saveRequested, this, [this, dialog] { SaveFromProjectDialog(dialog); });
  connect(dialog, &ProjectDialog::okRequested, this, [this, dialog] { AcceptProjectDialog(dialog); });
  connect(dialog, &ProjectDialog::lettersRequested, this,
          [this, isNew] { ShowReferenceLetters((isNew ? session_.newProject : session_.project).rules.encoding); });
  if (isNew) connect(dialog, &QDialog::finished, this, &ProjectCommands::FinishTextFileOpen);
  return dialog;
}

// A scan abandoned as the window closes leaves its dialog busy: it is made idle again.
void ProjectCommands::HideDialogs() {
  for (ProjectDialog* dialog : {newProjectDialog_, editProjectDialog_}) {
    if (dialog) dialog->SetBusy(false);
  }
  for (QWidget* dialog : std::initializer_list<QWidget*>{newProjectDialog_, editProjectDialog_, keyWordsDialog_,
                                                          referenceLettersDialog_}) {
    if (dialog) dialog->hide();
  }
}

void ProjectCommands::NewProject() {
  ResetToNewProjectDefaults(session_.newProject, CurrentFolder());
  ProjectDialog* dialog = ProjectDialogOf(true);
  dialog->ResetFolder(PathText(CurrentFolder()));
  dialog->Refresh();
  ShowOnTop(dialog);
}

void ProjectCommands::EditProject() { ShowOnTop(ProjectDialogOf(false)); }

void ProjectCommands::Open() {
  const QString path = prompts_.OpenFileName(window_, kOpenFilter);
  if (!path.isEmpty()) OpenPath(path);
}

void ProjectCommands::OpenPath(const QString& path) {
  if (OpensAsTextFile(PathBytes(path))) {
    OpenTextFile(path);
  } else {
    OpenProjectFile(path);
  }
}

void ProjectCommands::OpenProjectFile(const QString& path) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ProjectFileReport report = OpenProject(session_, PathBytes(path), ProgramFolder(), CurrentFolder());
  QApplication::restoreOverrideCursor();
  if (!report.status.ok()) {
    Warn(window_, report.status.message());
    if (!QFileInfo::exists(path)) {
      settings_.RemoveRecentProject(path);
      emit recentProjectsChanged();
    }
    return;
  }
  for (const std::string& message : report.messages) prompts_.Message(window_, PathText(message), MessageKind::Warning);
  OpenMatchingIndex(session_);
  if (editProjectDialog_) editProjectDialog_->ResetFolder(PathText(CurrentFolder()));
  settings_.AddRecentProject(path);
  emit recentProjectsChanged();
  emit projectOpened(PathText(StatusPathAfterOpen(PathBytes(path))));
}

// A text file becomes the only file of a new project named after it, which the New Project
// dialog then shows, starting in the file's folder. The Error Report is emptied first, so
// that it shows the errors of this scan alone when the dialog closes.
void ProjectCommands::OpenTextFile(const QString& path) {
  const QFileInfo text(path);
  letterFlagsBeforeTextFile_ = session_.scan.references.ReferenceLetterUsed;
  session_.newProject = NewProjectFromTextFile(session_, PathBytes(path), PathBytes(text.absolutePath()));
  const QString name = NameOfTextFile(path);
  session_.newProject.Title = EncodeText(name, session_.newProject.rules.encoding);
  session_.newProject.FileName = PathBytes(name);
  emit errorReportCleared();
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
void ProjectCommands::FinishTextFileOpen() {
  if (textFileOpening_.isEmpty()) return;
  const QString path = textFileOpening_;
  textFileOpening_.clear();
  if (newProjectTaken_) {
    emit projectOpened(PathText(StatusPathAfterOpen(PathBytes(path))));
  } else {
    session_.scan.references.ReferenceLetterUsed = letterFlagsBeforeTextFile_;
  }
  emit errorReportChanged();
  emit textFileOpenFinished();
}

// The dialog's project is checked and prepared apart from the session; on the runner's thread
// its texts settle an Automatic encoding and are scanned; only then does it become current.
// A refused or failed OK leaves the project, the vocabulary and the totals as they were; the
// Edit Project dialog's OK makes its rebuilt tables current even so, and the Error Report,
// emptied for the scan, stays empty.
void ProjectCommands::ScanFromProjectDialog(ProjectDialog* dialog, std::function<void()> accepted) {
  const bool isNew = dialog->kind() == ProjectDialog::Kind::New;
  if (isNew) ProjectDialogOf(false)->CopyFolderFrom(*dialog);
  auto candidate = std::make_shared<ProjectCandidate>();
  const Status prepared =
      isNew ? PrepareNewProject(session_, session_.newProject, *candidate) : PrepareEditProject(session_, *candidate);
  if (!prepared.ok()) {
    if (!isNew) session_.tables = candidate->tables;
    return Warn(dialog, prepared.message());
  }
  const bool scans = candidate->NeedsScan();
  if (!scans && candidate->project.rules.encoding != TextEncoding::Automatic) {
    // Nothing is read, so no scratch folder is needed.
    CommitProject(session_, std::move(*candidate), nullptr);
    newProjectTaken_ = newProjectTaken_ || isNew;
    return accepted();
  }

  std::shared_ptr<ScratchFolder> scratch;  // null: the texts settle the encoding, unscanned
  if (scans) {
    // The Error Report shows the errors of the last scan and of the runs since.
    session_.scan.ErrorReportText.clear();
    emit errorReportCleared();
    scratch = scratchFor_(dialog);
    if (!scratch) return;
  }
  auto outcome = std::make_shared<ScanOutcome>();
  auto recoded = std::make_shared<bool>(false);
  dialog->SetBusy(true);
  const QMetaObject::Connection progress = connect(&runner_, &PassRunner::progress, dialog, &ProjectDialog::ShowProgress);
  const Session& session = session_;
  const int threads = settings_.ReadOptions().threads;
  const bool started = runner_.Start(
      scans ? "scan the texts" : "read the texts", false,
      [&session, candidate, scratch, outcome, recoded, threads](ProgressSink& sink) {
        const auto settle = [recoded, threads](ProjectCandidate& settled) {
          *recoded = SettleCandidate(settled, threads);
        };
        if (!scratch) {
          settle(*candidate);
          return Status::Ok();
        }
        VocabularyOptions options;
        options.progress = &sink;
        options.threads = threads;
        return ScanSettlingEncoding(session, *candidate, *scratch, *outcome, options, settle);
      },
      [this, dialog, isNew, candidate, outcome, recoded, progress, accepted = std::move(accepted)](const Status& status) {
        disconnect(progress);
        dialog->SetBusy(false);
        if (!status.ok()) return Warn(dialog, status.message());
        // CommitProject gives an edited project its settled rules; its recoded texts come too.
        if (*recoded && !isNew) session_.project = candidate->project;
        if (*recoded) RecodeLettersToUtf8(session_.referenceLetters);
        // A text file's name, kept as the title, may hold characters Windows-1252 lacks.
        const QString name = NameOfTextFile(textFileOpening_);
        Project& recodedProject = candidate->project;
        if (*recoded && isNew && !textFileOpening_.isEmpty() &&
            recodedProject.Title == EncodeText(Decode1252(Encode1252(name)), TextEncoding::Utf8)) {
          recodedProject.Title = EncodeText(name, TextEncoding::Utf8);
        }
        const bool scanned = candidate->NeedsScan();
        CommitProject(session_, std::move(*candidate), scanned ? outcome.get() : nullptr);
        newProjectTaken_ = newProjectTaken_ || isNew;
        if (scanned) {
          emit projectScanned();
          // A text file's dialog shows its errors once it closes.
          if (textFileOpening_.isEmpty()) emit errorReportChanged();
        }
        accepted();
      });
  if (!started) {
    disconnect(progress);
    dialog->SetBusy(false);
  }
}

void ProjectCommands::AcceptProjectDialog(ProjectDialog* dialog) {
  ScanFromProjectDialog(dialog, [this, dialog] {
    const bool isNew = dialog->kind() == ProjectDialog::Kind::New;
    Project& shown = isNew ? session_.newProject : session_.project;
    if (prompts_.Question(dialog, QStringLiteral("Do you want to save the project?"))) {
      SaveProjectWithDialog(dialog, dialog->ChosenFolder());
    } else {
      shown.FileName.clear();
    }
    if (isNew) {
      emit newProjectTaken(PathText(shown.FileName));
    } else {
      emit projectAccepted(PathText(shown.FileName));
    }
    dialog->Refresh();
    dialog->Finish();
  });
}

// Save scans first when "Save Vocabulary" is checked. The New Project dialog's project becomes
// the current one before it is scanned and saved, as its OK makes it, so the file never holds
// the previous project under the new name.
void ProjectCommands::SaveFromProjectDialog(ProjectDialog* dialog) {
  ScanFromProjectDialog(dialog, [this, dialog] {
    SaveProjectWithDialog(dialog, dialog->ChosenFolder());
    if (dialog->kind() == ProjectDialog::Kind::New) emit newProjectTaken(PathText(session_.project.FileName));
    dialog->Refresh();
  });
}

// A file name without a folder is offered in `folder`; a text file's name (from "Browse") is
// offered with ".wlm", so that the project is not saved over a text by mistake.
void ProjectCommands::SaveProjectWithDialog(QWidget* parent, const QString& folder) {
  Status status = CheckProjectToSave(session_);
  if (!status.ok()) {
    Warn(parent, status.message());
    emit keyWordsChanged();
    return;
  }
  QString initial = PathText(session_.project.FileName);
  if (!initial.isEmpty() && QFileInfo(initial).isRelative()) initial = QDir(folder).filePath(initial);
  if (initial.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)) initial = initial.chopped(4) + QStringLiteral(".wlm");
  const QString chosen = prompts_.SaveFileName(parent, kProjectFilter, initial);
  if (!chosen.isEmpty()) {
    session_.newProject.FileName = PathBytes(chosen);
    status = SaveProject(session_, PathBytes(chosen));
    if (status.ok()) {
      OpenMatchingIndex(session_);
      settings_.AddRecentProject(chosen);
      emit recentProjectsChanged();
    } else {
      Warn(parent, status.message());
    }
  }
  emit keyWordsChanged();
}

void ProjectCommands::ShowReferenceLetters(TextEncoding encoding) {
  if (!referenceLettersDialog_) referenceLettersDialog_ = new ReferenceLettersDialog(session_.referenceLetters, window_);
  referenceLettersDialog_->SetEncoding(encoding);
  ShowOnTop(referenceLettersDialog_);
}

// A double-click on a "KeyWords" choice may come while a pass reads the key words.
void ProjectCommands::ShowKeyWords() {
  if (runner_.IsRunning()) return;
  if (!keyWordsDialog_) {
    keyWordsDialog_ = new KeyWordsDialog(session_, window_);
    connect(keyWordsDialog_, &QDialog::accepted, this, &ProjectCommands::keyWordsChanged);
  }
  ShowOnTop(keyWordsDialog_);
}

}  // namespace wordloom::app
