// The Plot page and its passes: the dispersion of each key over the parts, measured on the
// runner's thread and shown once it has ended; saving and printing the plot; and the hits
// under a mark, shown in the Concordance page's table with the mark's first hit selected.
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTabWidget>
#include <array>
#include <utility>

#include "analysis/analysis.h"
#include "analysis/keyness_page.h"
#include "analysis/plot_page.h"
#include "analysis/plot_view.h"
#include "base/scratch_folder.h"
#include "concordance/concordance_page.h"
#include "concordance/file_view.h"
#include "concordance/hit_table_panel.h"
#include "plot/plot_picture.h"
#include "scan/status_texts.h"
#include "shell/main_window.h"
#include "shell/pass_runner.h"
#include "shell/project_commands.h"
#include "ui/code_page.h"
#include "ui/hit_table_model.h"
#include "ui/hit_table_view.h"
#include "ui/prompts.h"

namespace wordloom::app {
namespace {

// One key's share of a run over several keys: key `index` of `count` moves the bar through
// its own stretch.
class KeyProgress final : public ProgressSink {
 public:
  KeyProgress(ProgressSink& run, size_t index, size_t count) : run_(run), index_(index), count_(count) {}
  void Progress(int64_t done, int64_t total) override {
    if (total > 0) run_.Progress(static_cast<int64_t>(index_) * total + done, static_cast<int64_t>(count_) * total);
  }
  void Yield() override { run_.Yield(); }
  bool StopRequested() override { return run_.StopRequested(); }

 private:
  ProgressSink& run_;
  size_t index_;
  size_t count_;
};

// The store's row of hit `ordinal` (0-based, in text order) of the part named `part`: by file
// (letter 0) the file of that name, else the places where the letter's value in force is
// `part`. A hit is a place (file and offset), which a store lists once for each key it
// matches. -1 when the store holds fewer such hits, or when stopped.
Status FindPartHit(const std::shared_ptr<const HitStore>& store, int letter, const std::string& part, int64_t ordinal,
                   ProgressSink& progress, int64_t& found) {
  found = -1;
  int64_t seen = -1;
  int32_t file = -1;
  int64_t offset = -1;
  std::unique_ptr<ReferenceReader> references;
  std::array<std::string, kLetterCount + 1> values;
  for (int64_t row = 0; row < store->size(); ++row) {
    if (row % 1024 == 0) {
      if (progress.StopRequested()) return Status();
      progress.Progress(row, store->size());
    }
    const int32_t rowFile = store->FileNumber(row);
    const int64_t rowOffset = store->Offset(row);
    if (rowFile == file && rowOffset == offset) continue;
    if (rowFile != file && letter > 0) references = std::make_unique<ReferenceReader>(store, rowFile);
    file = rowFile;
    offset = rowOffset;
    bool inPart = false;
    if (letter == 0) {
      inPart = store->files()[static_cast<size_t>(file)] == part;
    } else {
      const Status status = references->ValuesAt(offset, values);
      if (!status.ok()) return status;
      inPart = values[static_cast<size_t>(letter)] == part;
    }
    if (inPart && ++seen == ordinal) {
      found = row;
      return Status();
    }
  }
  return Status();
}

// The table's row that shows the store's row `target`; when thinning left it out, the row of
// the next hit shown in the same file. -1 for none.
int64_t ShownRowOf(const HitStore& store, const std::vector<int64_t>& rows, int64_t target) {
  if (target < 0) return -1;
  int64_t next = -1;
  for (size_t row = 0; row < rows.size(); ++row) {
    if (rows[row] == target) return static_cast<int64_t>(row);
    if (rows[row] > target && store.FileNumber(rows[row]) == store.FileNumber(target) &&
        (next < 0 || rows[row] < rows[static_cast<size_t>(next)])) {
      next = static_cast<int64_t>(row);
    }
  }
  return next;
}

}  // namespace

// Between Clusters and Keyness.
void MainWindow::CreatePlotPage() {
  plotPage_ = new PlotPage(pages_);
  const int keyness = pages_->indexOf(keynessPage_);
  pages_->insertTab(keyness < 0 ? pages_->count() : keyness, plotPage_, QStringLiteral("Plot"));
}

void MainWindow::ConnectPlot() {
  connect(plotPage_, &PlotPage::plotRequested, this, &MainWindow::RunPlot);
  connect(plotPage_, &PlotPage::stopRequested, runner_, &PassRunner::Stop);
  connect(plotPage_, &PlotPage::saveRequested, this, &MainWindow::SavePlot);
  connect(plotPage_, &PlotPage::printRequested, this, &MainWindow::PrintPlot);
  connect(plotPage_, &PlotPage::markClicked, this, &MainWindow::OpenPlotHits);
  connect(runner_, &PassRunner::started, plotPage_, [this](bool stoppable) { plotPage_->SetRunning(true, stoppable); });
  connect(runner_, &PassRunner::finished, plotPage_, [this] { plotPage_->SetRunning(false, false); });
  // Another project, or a new scan, may name other parts and use other letters.
  const auto reset = [this] {
    plotPage_->clear();
    plotPage_->SetUsedLetters(ProjectText(ReferenceLetterBoxText(session_.scan.references)));
  };
  connect(projectCommands_, &ProjectCommands::projectOpened, this, reset);
  connect(projectCommands_, &ProjectCommands::newProjectTaken, this, reset);
  connect(projectCommands_, &ProjectCommands::projectScanned, this, reset);
}

// One dispersion a key, its places kept; a stopped or failed run leaves the plot on show.
void MainWindow::RunPlot() {
  std::vector<std::string> keys = plotPage_->Keys(session_.project.rules.encoding);
  if (keys.empty()) keys.emplace_back();  // the search says why it cannot run
  auto run = std::make_shared<PlotResult>();
  run->plot.encoding = session_.project.rules.encoding;
  run->mode = plotPage_->Mode();
  run->letter = plotPage_->Letter();
  auto stopped = std::make_shared<bool>(false);
  StartIndexedPass(
      "measure the dispersion", true,
      [&session = std::as_const(session_), keys, run, stopped](ProgressSink& progress) {
        DispersionOptions options;
        options.letter = run->letter;
        options.places = true;
        for (size_t k = 0; k < keys.size(); ++k) {
          HitQuery query;
          query.keys = keys[k];
          query.mode = run->mode;
          std::unique_ptr<NodeSearch> search;
          Status status = NodeSearch::Make(session, query, search);
          if (!status.ok()) return status;
          PlotSeries& series = run->plot.series.emplace_back();
          series.key = keys[k];
          KeyProgress keyProgress(progress, k, keys.size());
          status = Dispersion(session, *search, options, series.result, &keyProgress);
          if (!status.ok()) return status;
          if (series.result.stopped) {
            *stopped = true;
            break;
          }
        }
        return Status();
      },
      [this, run, stopped](const Status& status) {
        if (!status.ok()) {
          prompts_.Message(this, ProjectText(status.message()), MessageKind::Warning);
        } else if (*stopped) {
          pathPanel_->setText(QStringLiteral("Stopped: the plot is as it was"));
        } else {
          plotPage_->ShowPlot(run);
        }
      });
}

// A file named ".svg" is written as SVG, any other as PNG, as wide as wordloom-cli draws it.
void MainWindow::SavePlot() {
  const std::shared_ptr<const PlotResult> result = plotPage_->result();
  if (!result) return;
  const QString path = prompts_.SaveFileName(
      this, QStringLiteral("PNG pictures (*.png)|*.png|SVG pictures (*.svg)|*.svg"), QString());
  if (path.isEmpty()) return;
  const std::string bytes = PathBytes(path);
  const Status status = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)
                            ? SavePlotSvg(result->plot, bytes, kPlotPictureWidth)
                            : SavePlotPng(result->plot, bytes, kPlotPictureWidth);
  if (!status.ok()) {
    prompts_.Message(this, PathText(status.message()), MessageKind::Warning);
    return;
  }
  pathPanel_->setText(QStringLiteral("Saved the plot to %1").arg(path));
}

void MainWindow::PrintPlot() {
  const std::shared_ptr<const PlotResult> result = plotPage_->result();
  if (!result || IsRunning() || !prompts_.ChoosePrinter(this, plotPage_->printer())) return;
  QString error;
  if (!PrintDispersionPlot(result->plot, plotPage_->printer(), error)) {
    prompts_.Message(this, error, MessageKind::Warning);
  }
}

// The mark's key is gathered as a Kwic table run gathers it, arranged as the table is set to
// arrange hits, and shown with the mark's first hit selected: the hit of that part at the
// mark's place.
void MainWindow::OpenPlotHits(size_t series, size_t part, qint64 firstHit) {
  const std::shared_ptr<const PlotResult> plot = plotPage_->result();
  if (!plot || series >= plot->plot.series.size() || IsRunning()) return;
  const DispersionResult& dispersion = plot->plot.series[series].result;
  if (part >= dispersion.parts.size()) return;
  const std::string partName = dispersion.parts[part].name;
  const int letter = plot->letter;
  const TextEncoding encoding = session_.project.rules.encoding;
  HitQuery query = concordancePage_->TableQuery(ConcordanceKind::Kwic, encoding);  // its citation letters
  query.keys = plot->plot.series[series].key;
  query.mode = plot->mode;
  query.keyWords = false;
  const HitTablePanel* table = concordancePage_->table();
  const Thinning thinning = table->ThinningChosen();
  const std::vector<SortLevel> levels = table->SortLevels();
  const std::shared_ptr<ScratchFolder> scratch = PrepareScratch(this);
  if (!scratch) return;
  const size_t reported = session_.scan.ErrorReportText.size();
  auto result = std::make_shared<HitRunResult>();
  auto rows = std::make_shared<std::vector<int64_t>>();
  auto selected = std::make_shared<int64_t>(-1);
  StartIndexedPass(
      "gather the hits", true,
      [&session = std::as_const(session_), query, scratch, result, rows, thinning, levels, letter, partName, firstHit,
       selected, hits = dispersion.hits](ProgressSink& progress) {
        Status status = GatherArrangedHits(session, query, *scratch, thinning, levels, *result, *rows, progress);
        if (!status.ok() || !result->store) return status;
        if (!result->stopped && CountHitPlaces(*result->store) != hits) return Status::Error(kTextsChanged);
        int64_t target = -1;
        status = FindPartHit(result->store, letter, partName, firstHit, progress, target);
        *selected = ShownRowOf(*result->store, *rows, target);
        return status;
      },
      [this, query, result, rows, selected, reported](const Status& status) {
        CommitHits(session_, *result);  // its Error Report entries, even when it failed
        if (!status.ok()) {
          prompts_.Message(this, ProjectText(status.message()), MessageKind::Warning);
        } else if (result->store) {
          pages_->setCurrentWidget(concordancePage_);
          concordancePage_->SetKeys(ProjectText(query.keys));
          concordancePage_->SearchWordsInTable();
          concordancePage_->table()->SetMode(query.mode);
          if (fileView_) fileView_->Clear();
          concordancePage_->table()->ShowHits(result->store, rows, session_.project.rules.encoding);
          concordancePage_->ShowCounts(ProjectText(result->countsText));
          ShowStatus(PathText(session_.project.FileName));
          if (result->stopped) pathPanel_->setText(QStringLiteral("Stopped: the table holds the hits found so far"));
          if (*selected >= 0) {
            HitTableView* view = concordancePage_->table()->view();
            const QModelIndex index = view->model()->index(static_cast<int>(*selected), HitTableModel::kKey);
            view->selectionModel()->setCurrentIndex(index,
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            view->scrollTo(index, QAbstractItemView::PositionAtCenter);
            view->setFocus();
          }
        }
        if (session_.scan.ErrorReportText.size() > reported) ShowErrorReport();
      });
}

}  // namespace wordloom::app
