// The main window's passes: Kwic and Line, the word list and the profile, and the export of a
// table. Each reads the session on the runner's thread, while nothing changes it; its result
// is committed to the session and shown once it has ended.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <utility>

#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/scratch_folder.h"
#include "base/table_writer.h"
#include "concordance/concordance_page.h"
#include "concordance/file_view.h"
#include "lists/profile.h"
#include "lists/profile_page.h"
#include "lists/word_list_page.h"
#include "lists/word_table_panel.h"
#include "shell/main_window.h"
#include "shell/output_panes.h"
#include "shell/pass_runner.h"
#include "ui/code_page.h"
#include "ui/output_file.h"
#include "ui/prompts.h"

namespace wordloom::app {
namespace {

// An output file opened on the pass's thread, so that the window only shows it; it is in the
// encoding of the project the pass read.
struct OpenedOutput {
  explicit OpenedOutput(TextEncoding projectEncoding) : encoding(projectEncoding) {}
  TextEncoding encoding;
  std::shared_ptr<const OutputFile> file;
  Status Open(const std::string& path) {
    std::string error;
    file = OutputFile::Open(path, encoding, error);
    return file ? Status() : Status::Error(error);
  }
};

void Warn(Prompts& prompts, QWidget* parent, const Status& status) {
  prompts.Message(parent, QString::fromStdString(status.message()), MessageKind::Warning);
}

// The save dialog's filter of each format, "description|pattern" as the prompts take it.
QString ExportFilter(TableFormat format) {
  switch (format) {
    case TableFormat::Csv:
      return QStringLiteral("Comma-separated values (*.csv)|*.csv");
    case TableFormat::JsonLines:
      return QStringLiteral("JSON Lines (*.jsonl)|*.jsonl");
    default:
      return QStringLiteral("Tab-separated values (*.tsv)|*.tsv");
  }
}

}  // namespace

QString MainWindow::ScratchFolderPath() const {
  return tempDir_.isEmpty() ? PathText(ScratchFolder::DefaultPath()) : tempDir_;
}

QString MainWindow::RunFolderPath() const { return scratch_ ? PathText(scratch_->folder()) : QString(); }

// The private per-user folder is checked as such (its owner and its mode), whoever named it.
std::shared_ptr<ScratchFolder> MainWindow::PrepareScratch(QWidget* parent) {
  const std::string folder = PathBytes(ScratchFolderPath());
  if (scratch_ && scratchSetting_ == folder) return scratch_;
  auto scratch = std::make_shared<ScratchFolder>();
  const Status status = folder == ScratchFolder::DefaultPath() ? scratch->PrepareDefault() : scratch->Prepare(folder);
  if (!status.ok()) {
    Warn(prompts_, parent, status);
    return nullptr;
  }
  scratch_ = scratch;
  scratchSetting_ = folder;
  return scratch_;
}

// A pass whose end starts the next one turns the window busy twice and back once.
void MainWindow::SetBusy(bool busy, bool stoppable) {
  concordancePage_->SetRunning(busy, stoppable);
  wordListPage_->SetRunning(busy, stoppable);
  if (busy == busy_) return;
  busy_ = busy;
  for (QAction* action : {newAction_, openAction_, viewProjectAction_, optionsAction_}) action->setEnabled(!busy);
  for (QAction* action : recentProjectActions_) action->setEnabled(!busy);
  // Printing needs the printer dialogs, which wait for the pass; saving may go on, as each
  // pane holds its own output file open.
  const bool outputs = pages_->isEnabled() && !busy;
  for (QAction* action : {printAction_, printPreviewAction_}) action->setEnabled(outputs);
  keyWordsButton_->setEnabled(!busy);
  profilePage_->SetRunning(busy);
  progressBar_->setVisible(busy);
  if (busy) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
  } else {
    progressBar_->reset();
    QApplication::restoreOverrideCursor();
  }
  emit busyChanged(busy);
}

void MainWindow::RunKwic(const QString& keys) {
  concordancePage_->SetKeys(keys);
  RunConcordancePass(false);
}

void MainWindow::RunConcordancePass(bool line) {
  if (concordancePage_->TableShown()) {
    RunHitPass(line);
    return;
  }
  ConcordanceQuery query =
      concordancePage_->Query(line ? ConcordanceKind::Line : ConcordanceKind::Kwic, session_.project.rules.encoding);
  query.keyWordsOrder = listOrderBox_->currentData().toInt();
  query.keyWordsRhyme = rhymeCheck_->checkState() != Qt::Unchecked;
  query.contextWidth = contextWidth_;
  const std::shared_ptr<ScratchFolder> scratch = PrepareScratch(this);
  if (!scratch) return;
  const size_t reported = session_.scan.ErrorReportText.size();
  auto result = std::make_shared<ConcordanceResult>();
  auto output = std::make_shared<OpenedOutput>(session_.project.rules.encoding);
  StartIndexedPass(
      "make the concordance", true,
      [&session = std::as_const(session_), query, scratch, result, output](ProgressSink& progress) {
        ConcordanceOptions options;
        options.progress = &progress;
        const Status status = RunConcordance(session, query, *scratch, *result, options);
        if (!status.ok() || !result->wrote) return status;
        return output->Open(result->outputPath);
      },
      [this, result, output, reported](const Status& status) {
        CommitConcordance(session_, *result);  // its Error Report entries, even when it failed
        if (!status.ok()) {
          Warn(prompts_, this, status);
        } else if (result->wrote) {
          outputPanes_->Show(PaneCode::Concordance, output->file);
          concordancePage_->ShowCounts(ProjectText(result->countsText));
          ShowStatus(PathText(session_.project.FileName));
          if (result->stopped) pathPanel_->setText(QStringLiteral("Stopped: the output holds the citations found so far"));
        }
        if (session_.scan.ErrorReportText.size() > reported) ShowErrorReport();
      });
}

void MainWindow::RunWordList() {
  if (wordListPage_->TableShown()) {
    RunWordTable();
    return;
  }
  const WordListQuery query =
      wordListPage_->Query(listOrderBox_->currentData().toInt(), rhymeCheck_->checkState() != Qt::Unchecked);
  const std::shared_ptr<ScratchFolder> scratch = PrepareScratch(this);
  if (!scratch) return;
  auto result = std::make_shared<WordListResult>();
  auto output = std::make_shared<OpenedOutput>(session_.project.rules.encoding);
  runner_->Start(
      "make the word list", false,
      [&session = std::as_const(session_), query, scratch, result, output](ProgressSink&) {
        const Status status = MakeWordList(session, query, *scratch, *result);
        return status.ok() ? output->Open(result->outputPath) : status;
      },
      [this, result, output](const Status& status) {
        if (!status.ok()) {
          Warn(prompts_, this, status);
          return;
        }
        CommitWordList(session_, *result);
        outputPanes_->Show(PaneCode::WordList, output->file);
        wordListPage_->ShowCount(ProjectText(result->countText));
        ShowStatus(ProjectText(session_.project.Title));
      });
}

void MainWindow::RunProfile() {
  const bool keyWords = profilePage_->KeyWordsChosen();
  const std::shared_ptr<ScratchFolder> scratch = PrepareScratch(this);
  if (!scratch) return;
  auto result = std::make_shared<ProfileResult>();
  auto spectrum = std::make_shared<OpenedOutput>(session_.project.rules.encoding);
  auto statistics = std::make_shared<OpenedOutput>(session_.project.rules.encoding);
  runner_->Start(
      "make the profile", false,
      [&session = std::as_const(session_), keyWords, scratch, result, spectrum, statistics](ProgressSink&) {
        Status status = MakeProfile(session, keyWords, *scratch, *result);
        if (status.ok()) status = spectrum->Open(result->spectrumPath);
        return status.ok() ? statistics->Open(result->statisticsPath) : status;
      },
      [this, result, spectrum, statistics](const Status& status) {
        if (!status.ok()) {
          Warn(prompts_, this, status);
          return;
        }
        CommitProfile(session_, *result);
        outputPanes_->Show(PaneCode::Spectrum, spectrum->file);
        outputPanes_->Show(PaneCode::Statistics, statistics->file);
        profilePage_->ShowTitle(ProjectText(result->title));
        ShowStatus(ProjectText(session_.project.Title));
      });
}

// The table is written beside the chosen file first: a failed or stopped export leaves nothing
// under its name.
void MainWindow::ExportTable(TableFormat format, const char* operation, const char* noun, size_t count,
                             TableWrite write) {
  if (IsRunning()) return;
  const QString rows = QString::fromLatin1(noun) + u's';
  const QString initialName = rows + u'.' + QString::fromLatin1(TableFormatExtension(format));
  const QString path = prompts_.SaveFileName(this, ExportFilter(format), initialName);
  if (path.isEmpty()) return;
  auto stopped = std::make_shared<bool>(false);
  runner_->Start(
      operation, true,
      [write = std::move(write), target = PathBytes(path), rows = rows.toStdString(), stopped](ProgressSink& progress) {
        const auto failed = [&](const Status& status) {
          return Status::Error("Could not export the " + rows + " to " + target + ": " + status.message() + ".");
        };
        AtomicFile file;
        Status status = file.Open(target);
        if (!status.ok()) return failed(status);
        status = write(file.writer(), progress);
        if (!status.ok()) return status;
        *stopped = progress.StopRequested();
        if (*stopped) return Status();  // the temporary file goes with `file`
        status = file.Commit();
        return status.ok() ? status : failed(status);
      },
      [this, path, stopped, noun = QString::fromLatin1(noun), count](const Status& status) {
        if (!status.ok()) {
          prompts_.Message(this, PathText(status.message()), MessageKind::Warning);
        } else if (*stopped) {
          pathPanel_->setText(QStringLiteral("Stopped: nothing was exported"));
        } else {
          const QLatin1String plural(count == 1 ? "" : "s");
          pathPanel_->setText(QStringLiteral("Exported %1 %2%3 to %4").arg(count).arg(noun, plural, path));
        }
      });
}

PaneCode MainWindow::ShownPane() const {
  switch (pages_->currentIndex()) {
    case 0: return PaneCode::Concordance;
    case 1: return PaneCode::WordList;
    default:
      return profilePage_->shownPane() == profilePage_->spectrumPane() ? PaneCode::Spectrum : PaneCode::Statistics;
  }
}

}  // namespace wordloom::app
