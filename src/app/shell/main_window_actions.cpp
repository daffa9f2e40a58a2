// The main window's actions: opening, the passes over the texts, saving and printing.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <new>

#include "base/paths.h"
#include "base/scratch_folder.h"
#include "concordance/concordance_page.h"
#include "project/project_dialog.h"
#include "lists/profile.h"
#include "lists/profile_page.h"
#include "lists/word_list_page.h"
#include "project/project_actions.h"
#include "scan/status_texts.h"
#include "shell/main_window.h"
#include "shell/small_windows.h"
#include "ui/code_page.h"
#include "ui/output_pane.h"
#include "ui/prompts.h"
#include "ui/run_progress.h"
#include "ui/text_printer.h"

namespace wordloom::app {
namespace {

const QString kOpenFilter = QStringLiteral("Wlm projects (*.wlm)|*.wlm|Text files (*.txt)|*.txt");
const QString kRtfFilter = QStringLiteral("Rtf files(*.rtf)|*.rtf");
const QString kWordListFilter = QStringLiteral("Text files(*.txt)|*.txt|Rtf files(*.rtf)|*.rtf");

QString MessageText(const Status& status) { return QString::fromStdString(status.message()); }

// The scratch file of each pane.
const char* ScratchNameOf(int code) {
  switch (code) {
    case 0: return "0";
    case 1: return "1";
    case 20: return "2";
    case 21: return "3";
    default: return nullptr;
  }
}

}  // namespace

// Opening.

void MainWindow::OpenProjectCommand() {
  const QString path = prompts_.OpenFileName(this, kOpenFilter);
  if (!path.isEmpty()) OpenPath(path);
}

void MainWindow::OpenPath(const QString& path) {
  if (IsRunning()) return;
  if (OpensAsTextFile(PathBytes(path))) {
    OpenTextFile(path);
  } else {
    OpenProjectFile(path);
  }
}

void MainWindow::OpenProjectFile(const QString& path) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const ProjectFileReport report = OpenProject(session_, PathBytes(path), ProgramFolder(), CurrentFolder());
  QApplication::restoreOverrideCursor();
  if (!report.status.ok()) {
    prompts_.Message(this, MessageText(report.status), MessageKind::Warning);
    if (!QFileInfo::exists(path)) {
      settings_.RemoveRecentProject(path);
      UpdateRecentProjects();
    }
    return;
  }
  for (const std::string& message : report.messages) prompts_.Message(this, PathText(message), MessageKind::Warning);
  ClearOutputs();
  if (Form4_) Form4_->ResetFolder(PathText(CurrentFolder()));
  settings_.AddRecentProject(path);
  UpdateRecentProjects();
  ShowOpenedProject(PathText(StatusPathAfterOpen(PathBytes(path))));
}

void MainWindow::ShowOpenedProject(const QString& statusPath) {
  concordancePage_->Text7->setText(Decode1252(ReferenceLetterBoxText(session_.scan.references)));
  ShowProjectReady();
  SSTab1->setCurrentIndex(StartUpOutput_);
  ShowKeyWordsSummary();
  ShowStatus(statusPath);
}

void MainWindow::ShowProjectReady() {
  SSTab1->setEnabled(true);
  statusPanels_[1]->setText(Decode1252(session_.project.Title));
  Toolbar2->setEnabled(true);
  for (QAction* action : {mnuFileSave, mnuFileSaveAs, mnuFilePrint, mnuFilePrintPreview}) action->setEnabled(true);
}

void MainWindow::ClearOutputs() {
  for (int code : {0, 1, 20, 21}) PaneOf(code)->clear();
  filledPanes_.clear();
  wordListPage_->Text5->clear();
  concordancePage_->Text6->clear();
  profilePage_->Text11->setText(QString::fromLatin1(ProfilePage::kTitle));
}

// Panel 1 shows a path or the title, panel 3 the project's counts.
void MainWindow::ShowStatus(const QString& shown) {
  const ProjectStatus status =
      wordloom::ShowProjectStatus(std::string(), static_cast<int64_t>(session_.project.Files.size()), session_.totals,
                                  session_.scan.state.physicalLineTotal);
  statusPanels_[0]->setText(shown);
  statusPanels_[2]->setText(Decode1252(status.counts));
}

void MainWindow::ShowKeyWordsSummary() {
  Text2->setText(Decode1252(wordloom::ShowKeyWordsSummary(session_.lists)));
}

void MainWindow::UpdateRecentProjects() {
  for (QAction* action : mnuFileMRU) recentMenu_->removeAction(action);
  qDeleteAll(mnuFileMRU);
  mnuFileMRU.clear();
  const QStringList recent = settings_.RecentProjects();
  for (qsizetype i = 0; i < recent.size(); ++i) {
    QString shown = recent[i];
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown), this);
    action->setObjectName(QStringLiteral("mnuFileMRU%1").arg(i + 1));
    action->setStatusTip(QStringLiteral("Opens %1").arg(recent[i]));
    const QString path = recent[i];
    connect(action, &QAction::triggered, this, [this, path] { OpenPath(path); });
    recentMenu_->insertAction(exitSeparator_, action);
    mnuFileMRU << action;
  }
}

void MainWindow::ShowErrorReportIfAny(size_t before) {
  if (session_.scan.ErrorReportText.size() <= before) return;
  if (!Form6_) Form6_ = new ErrorReportWindow(this);
  Form6_->SetReport(session_.scan.ErrorReportText);
  Form6_->show();
}

// The passes.

QString MainWindow::ScratchFolderPath() const {
  return TempDir_.isEmpty() ? PathText(ScratchFolder::DefaultPath()) : TempDir_;
}

QString MainWindow::RunFolderPath() const { return scratch_ ? PathText(scratch_->folder()) : QString(); }

// The private per-user folder is checked as such (its owner and its mode), whoever named it.
std::shared_ptr<ScratchFolder> MainWindow::PrepareScratch(QWidget* parent) {
  const std::string folder = PathBytes(ScratchFolderPath());
  if (scratch_ && scratchSetting_ == folder) return scratch_;
  auto scratch = std::make_shared<ScratchFolder>();
  const Status status = folder == ScratchFolder::DefaultPath() ? scratch->PrepareDefault() : scratch->Prepare(folder);
  if (!status.ok()) {
    prompts_.Message(parent, MessageText(status), MessageKind::Warning);
    return nullptr;
  }
  scratch_ = scratch;
  scratchSetting_ = folder;
  return scratch_;
}

bool MainWindow::RunPass(const char* operation, bool stoppable,
                         const std::function<Status(const ScratchFolder&, RunProgress&)>& pass, ProjectDialog* from) {
  QWidget* parent = from ? static_cast<QWidget*>(from) : this;
  const std::shared_ptr<ScratchFolder> scratch = PrepareScratch(parent);
  if (!scratch) return false;
  Status status;
  {
    RunProgress progress(from ? from->ProgressBar1 : ProgressBar1, [this, stoppable, from](bool busy) {
      SetBusy(busy, stoppable);
      if (from) from->SetBusy(busy);
      if (!busy) emit busyChanged(false);
    });
    if (stoppable) currentRun_ = &progress;
    emit busyChanged(true);  // once Stop can reach the run
    try {
      status = pass(*scratch, progress);
    } catch (const std::bad_alloc&) {
      status = Status::Error(std::string("Not enough memory to ") + operation + ".");
    }
    currentRun_ = nullptr;
  }
  if (!status.ok()) prompts_.Message(parent, MessageText(status), MessageKind::Warning);
  return status.ok();
}

void MainWindow::SetBusy(bool busy, bool stoppable) {
  busy_ = busy;
  if (busy) {
    QList<QObject*> blocked = {mnuFileNew,  mnuFileOpen, mnuViewProject, mnuViewOptions, mnuFilePrint,
                               mnuFilePrintPreview, concordancePage_->Command5, concordancePage_->Command2,
                               wordListPage_->Command6, profilePage_->Command3, Command9};
    for (QAction* action : mnuFileMRU) blocked << action;
    enabledBeforeRun_.clear();
    for (QObject* control : blocked) {
      // A widget's own setting, not whether a disabled page hides it.
      auto* widget = qobject_cast<QWidget*>(control);
      const bool enabled = widget ? !widget->testAttribute(Qt::WA_ForceDisabled) : control->property("enabled").toBool();
      enabledBeforeRun_.append({control, enabled});
      control->setProperty("enabled", false);
    }
  } else {
    for (const auto& [control, enabled] : enabledBeforeRun_) control->setProperty("enabled", enabled);
    enabledBeforeRun_.clear();
    if (closePending_) QTimer::singleShot(0, this, &QWidget::close);
  }
  concordancePage_->Command4->setEnabled(busy && stoppable);
}

void MainWindow::LoadPane(int code, const std::string& path) {
  QString error;
  try {
    if (!PaneOf(code)->LoadPlainTextFile(PathText(path), error)) prompts_.Message(this, error, MessageKind::Warning);
  } catch (const std::bad_alloc&) {
    PaneOf(code)->clear();
    prompts_.Message(this, QStringLiteral("Not enough memory to show the output."), MessageKind::Warning);
  }
  filledPanes_.insert(code, scratch_);
}

void MainWindow::RunKwic(const QString& keys) {
  concordancePage_->Text1->setText(keys);
  RunConcordancePass(false);
}

void MainWindow::RunConcordancePass(bool line) {
  if (IsRunning()) return;
  ConcordanceQuery query = concordancePage_->Query(line ? ConcordanceKind::Line : ConcordanceKind::Kwic);
  query.keyWordsOrder = Combo2->currentData().toInt();
  query.keyWordsRhyme = Check2->checkState() != Qt::Unchecked;
  query.contextWidth = ContextWidth_;
  const size_t reported = session_.scan.ErrorReportText.size();
  ConcordanceResult result;
  const bool ran = RunPass("make the concordance", true, [&](const ScratchFolder& scratch, RunProgress& progress) {
    ConcordanceOptions options;
    options.progress = &progress;
    return RunConcordance(session_, query, scratch, result, options);
  });
  CommitConcordance(session_, result);
  if (ran && result.wrote) {
    LoadPane(0, result.outputPath);
    concordancePage_->Text6->setText(Decode1252(result.countsText));
    ShowStatus(PathText(session_.project.FileName));
  }
  ShowErrorReportIfAny(reported);
}

void MainWindow::RunWordList() {
  if (IsRunning()) return;
  const WordListQuery query =
      wordListPage_->Query(Combo2->currentData().toInt(), Check2->checkState() != Qt::Unchecked);
  WordListResult result;
  if (!RunPass("make the word list", false, [&](const ScratchFolder& scratch, RunProgress&) {
        return MakeWordList(session_, query, scratch, result);
      })) {
    return;
  }
  CommitWordList(session_, result);
  LoadPane(1, result.outputPath);
  wordListPage_->Text5->setText(Decode1252(result.countText));
  ShowStatus(Decode1252(session_.project.Title));
}

void MainWindow::RunProfile() {
  if (IsRunning()) return;
  ProfileResult result;
  const bool keyWords = !profilePage_->Option10->isChecked();
  if (!RunPass("make the profile", false, [&](const ScratchFolder& scratch, RunProgress&) {
        return MakeProfile(session_, keyWords, scratch, result);
      })) {
    return;
  }
  CommitProfile(session_, result);
  LoadPane(20, result.spectrumPath);
  LoadPane(21, result.statisticsPath);
  profilePage_->Text11->setText(Decode1252(result.title));
  ShowStatus(Decode1252(session_.project.Title));
}

// Saving and printing the pane on show.

int MainWindow::PaneCode() const {
  const int page = SSTab1->currentIndex();
  return page == 2 ? 20 + profilePage_->SSTab2->currentIndex() : page;
}

OutputPane* MainWindow::PaneOf(int code) const {
  switch (code) {
    case 0: return concordancePage_->RichTextBox1;
    case 1: return wordListPage_->RichTextBox2;
    case 20: return profilePage_->RichTextBox3;
    case 21: return profilePage_->RichTextBox4;
    default: return nullptr;
  }
}

void MainWindow::SavePane(int code) {
  OutputPane* pane = PaneOf(code);
  if (!pane) return;
  const QString path = prompts_.SaveFileName(this, kRtfFilter, QString());
  QString error;
  if (!path.isEmpty() && !pane->SaveRtf(path, error)) prompts_.Message(this, error, MessageKind::Warning);
}

// The word list may be saved as text: a name ending in ".txt" (exactly) saves text, any
// other name RTF.
void MainWindow::SaveWordList() {
  const QString path = prompts_.SaveFileName(this, kWordListFilter, QString());
  if (path.isEmpty()) return;
  QString error;
  OutputPane* pane = PaneOf(1);
  const bool saved = path.endsWith(QLatin1String(".txt"), Qt::CaseSensitive) ? pane->SavePlainText(path, error)
                                                                              : pane->SaveRtf(path, error);
  if (!saved) prompts_.Message(this, error, MessageKind::Warning);
}

// The output file of a pane that a pass has filled since the project opened; a pane that no
// pass has filled has nothing to print (its file may hold another project's output).
QString MainWindow::PrintablePath(int code) {
  const char* name = ScratchNameOf(code);
  if (!name || IsRunning()) return QString();
  if (!filledPanes_.contains(code)) {
    prompts_.Message(this, QStringLiteral("There is no output on this page to print yet."));
    return QString();
  }
  return PathText(filledPanes_.value(code)->PathOf(name));
}

// Printing reads the output file, so the printout shows the text as it was written.
void MainWindow::PrintPane(int code) {
  const QString path = PrintablePath(code);
  if (path.isEmpty() || !prompts_.ChoosePrinter(this, printer_)) return;
  QString error;
  if (!PrintTextFile(path, PaneOf(code)->font(), printer_, error)) prompts_.Message(this, error, MessageKind::Warning);
}

void MainWindow::PrintPreview() {
  const int code = PaneCode();
  const QString path = PrintablePath(code);
  if (path.isEmpty()) return;
  const QFont font = PaneOf(code)->font();
  QString error;
  prompts_.PreviewPrint(this, printer_, [&](QPrinter* target) { PrintTextFile(path, font, *target, error); });
  if (!error.isEmpty()) prompts_.Message(this, error, MessageKind::Warning);
}

}  // namespace wordloom::app
