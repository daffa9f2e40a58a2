// The analysis pages and their passes: collocates, n-grams and clusters, and keyness, each
// made on the runner's thread from the session and shown once it has ended; their exports;
// and the hits of a row, shown in the Concordance page's table. A table's rows are positions
// in the session's vocabulary, which no pass changes; a scan or an open that replaces it
// clears the tables first.
#include <QLabel>
#include <QTabWidget>
#include <utility>

#include "analysis/analysis_rows.h"
#include "analysis/clusters_page.h"
#include "analysis/collocates_page.h"
#include "analysis/keyness_page.h"
#include "base/scratch_folder.h"
#include "concordance/concordance_page.h"
#include "concordance/file_view.h"
#include "concordance/hit_table_panel.h"
#include "shell/main_window.h"
#include "shell/pass_runner.h"
#include "ui/code_page.h"
#include "ui/prompts.h"

namespace wordloom::app {
namespace {

// The store's rows of the node hits numbered `hits` (0-based, in text order, ascending). The
// store keeps one row for each key a hit matches, in text order: a hit is a new place (file
// and offset).
std::vector<int64_t> RowsOfHits(const HitStore& store, const std::vector<int64_t>& hits) {
  std::vector<int64_t> rows;
  int64_t hit = -1;
  int32_t file = -1;
  int64_t offset = -1;
  size_t next = 0;
  for (int64_t row = 0; row < store.size() && next < hits.size(); ++row) {
    if (store.FileNumber(row) != file || store.Offset(row) != offset) {
      ++hit;
      file = store.FileNumber(row);
      offset = store.Offset(row);
    }
    while (next < hits.size() && hits[next] < hit) ++next;
    if (next < hits.size() && hits[next] == hit) rows.push_back(row);
  }
  return rows;
}

// A word as a phrase takes it: the characters a phrase reads as its own syntax become "?",
// which matches any one character.
QString PhraseWord(QString word) {
  for (QChar& c : word) {
    if (c == u'*' || c == u'|') c = u'?';
  }
  if (word.startsWith(u'{')) word[0] = u'?';
  return word;
}

}  // namespace

// Collocates, Clusters, then Keyness; the Plot page goes between Clusters and Keyness.
void MainWindow::CreateAnalysisPages() {
  collocatesPage_ = new CollocatesPage(pages_);
  clustersPage_ = new ClustersPage(pages_);
  keynessPage_ = new KeynessPage(pages_);
  pages_->addTab(collocatesPage_, QStringLiteral("Collocates"));
  pages_->addTab(clustersPage_, QStringLiteral("Clusters"));
  pages_->addTab(keynessPage_, QStringLiteral("Keyness"));
}

void MainWindow::ConnectAnalyses() {
  connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::UpdateOutputActions);
  const std::pair<AnalysisPage*, void (MainWindow::*)()> runs[] = {
      {collocatesPage_, &MainWindow::RunCollocates},
      {clustersPage_, &MainWindow::RunClusters},
      {keynessPage_, &MainWindow::RunKeyness}};
  for (const auto& [page, run] : runs) {
    connect(page, &AnalysisPage::runRequested, this, run);
    connect(page, &AnalysisPage::stopRequested, runner_, &PassRunner::Stop);
    connect(runner_, &PassRunner::started, page, [page](bool stoppable) { page->SetRunning(true, stoppable); });
    connect(runner_, &PassRunner::finished, page, [page] { page->SetRunning(false, false); });
  }
  // After SetBusy, whose printing actions do not know the page on show.
  connect(runner_, &PassRunner::started, this, &MainWindow::UpdateOutputActions);
  connect(runner_, &PassRunner::finished, this, &MainWindow::UpdateOutputActions);
  connect(collocatesPage_, &AnalysisPage::exportRequested, this, &MainWindow::ExportCollocates);
  connect(clustersPage_, &AnalysisPage::exportRequested, this, &MainWindow::ExportClusters);
  connect(keynessPage_, &AnalysisPage::exportRequested, this, &MainWindow::ExportKeyness);
  connect(collocatesPage_, &AnalysisPage::rowActivated, this, &MainWindow::OpenCollocateHits);
  connect(clustersPage_, &AnalysisPage::rowActivated, this, &MainWindow::OpenClusterHits);
  connect(keynessPage_, &AnalysisPage::rowActivated, this, &MainWindow::OpenKeyWordHits);
  connect(keynessPage_, &KeynessPage::referenceRequested, this, &MainWindow::ChooseReference);
}

void MainWindow::ClearAnalyses() {
  for (AnalysisPage* page : std::initializer_list<AnalysisPage*>{collocatesPage_, clustersPage_, keynessPage_}) {
    page->clear();
  }
}

// A stopped or failed run leaves the table on show as it was.
void MainWindow::RunCollocates() {
  auto run = std::make_shared<CollocatesRun>();
  run->query = collocatesPage_->Query(session_.project.rules.encoding);
  run->options = collocatesPage_->Options();
  StartIndexedPass(
      "find the collocates", true,
      [&session = std::as_const(session_), run](ProgressSink& progress) {
        std::unique_ptr<NodeSearch> search;
        const Status status = NodeSearch::Make(session, run->query, search);
        return status.ok() ? Collocates(session, *search, run->options, run->result, &progress) : status;
      },
      [this, run](const Status& status) {
        if (!status.ok()) {
          prompts_.Message(this, ProjectText(status.message()), MessageKind::Warning);
        } else if (run->result.stopped) {
          pathPanel_->setText(QStringLiteral("Stopped: the table is as it was"));
        } else {
          collocatesPage_->ShowRows(CollocateRows(run, &session_.lists.Vocabulary, session_.project.rules.encoding),
                                    CollocatesCountText(run->result));
        }
      });
}

void MainWindow::RunClusters() {
  auto run = std::make_shared<NgramRun>();
  run->clusters = clustersPage_->ClustersChosen();
  const HitQuery query = clustersPage_->Query(session_.project.rules.encoding);
  const ClusterPosition position = clustersPage_->Position();
  const NgramOptions options = clustersPage_->Options();
  const std::shared_ptr<ScratchFolder> scratch = PrepareScratch(this);
  if (!scratch) return;
  StartIndexedPass(
      run->clusters ? "find the clusters" : "count the n-grams", true,
      [&session = std::as_const(session_), run, query, position, options, scratch](ProgressSink& progress) {
        if (!run->clusters) return Ngrams(session, options, *scratch, run->result, &progress);
        std::unique_ptr<NodeSearch> search;
        const Status status = NodeSearch::Make(session, query, search);
        return status.ok() ? Clusters(session, *search, position, options, *scratch, run->result, &progress) : status;
      },
      [this, run](const Status& status) {
        if (!status.ok()) {
          prompts_.Message(this, ProjectText(status.message()), MessageKind::Warning);
        } else if (run->result.stopped) {
          pathPanel_->setText(QStringLiteral("Stopped: the table is as it was"));
        } else {
          clustersPage_->ShowRows(NgramRows(run, &session_.lists.Vocabulary, session_.project.rules.encoding),
                                  NgramCountText(*run));
        }
      });
}

// The reference is read anew for each run, so that a changed file is read as it now is.
void MainWindow::RunKeyness() {
  if (keynessPage_->References().isEmpty()) {
    prompts_.Message(this, QStringLiteral("Add a reference first: a project file, a word list (.tsv) or text files."));
    return;
  }
  std::vector<std::string> paths;
  for (const QString& path : keynessPage_->References()) paths.push_back(PathBytes(path));
  const KeynessOptions options = keynessPage_->Options();
  const std::shared_ptr<ScratchFolder> scratch = PrepareScratch(this);
  if (!scratch) return;
  auto run = std::make_shared<KeynessRun>();
  auto stopped = std::make_shared<bool>(false);
  const int threads = settings_.ReadOptions().threads;
  runner_->Start(
      "compare the words with the reference", true,
      [&session = std::as_const(session_), paths, options, scratch, run, stopped, threads](ProgressSink& progress) {
        ReferenceCorpus reference;
        const Status status = AddReferences(session, paths, *scratch, reference, &progress, threads);
        *stopped = progress.StopRequested();
        if (!status.ok() || *stopped) return status;
        return Keyness(session, reference, options, run->rows);
      },
      [this, run, stopped](const Status& status) {
        if (*stopped) {
          pathPanel_->setText(QStringLiteral("Stopped: the table is as it was"));
        } else if (!status.ok()) {
          prompts_.Message(this, PathText(status.message()), MessageKind::Warning);
        } else {
          keynessPage_->ShowRows(KeynessRows(run, &session_.lists.Vocabulary, session_.project.rules.encoding),
                                 KeynessCountText(*run));
        }
      });
}

void MainWindow::ChooseReference() {
  const QString path = prompts_.OpenFileName(
      this, QStringLiteral("Projects, word lists and texts (*.wlm *.tsv *.txt)|*.wlm;*.tsv;*.txt|Projects (*.wlm)|*.wlm|"
                           "Word lists (*.tsv)|*.tsv|Text files (*.txt)|*.txt|All files (*)|*"));
  keynessPage_->AddReference(path);
}

// Every row is written, in the order listed, as the command-line tool writes it.
void MainWindow::ExportCollocates(TableFormat format) {
  const std::shared_ptr<const CollocatesRun> run = CollocatesRunOf(collocatesPage_->model()->rows().get());
  if (!run) return;
  ExportTable(format, "export the collocates", "collocate", run->result.rows.size(),
              [&session = std::as_const(session_), run, format](FileWriter& out, ProgressSink&) {
                return wordloom::ExportCollocates(session, run->result, format, out);
              });
}

void MainWindow::ExportClusters(TableFormat format) {
  const std::shared_ptr<const NgramRun> run = NgramRunOf(clustersPage_->model()->rows().get());
  if (!run) return;
  ExportTable(format, run->clusters ? "export the clusters" : "export the n-grams", run->clusters ? "cluster" : "n-gram",
              run->result.table.size(), [&session = std::as_const(session_), run, format](FileWriter& out, ProgressSink&) {
                return ExportNgrams(session, run->result.table, format, out);
              });
}

void MainWindow::ExportKeyness(TableFormat format) {
  const std::shared_ptr<const KeynessRun> run = KeynessRunOf(keynessPage_->model()->rows().get());
  if (!run) return;
  ExportTable(format, "export the key words", "key word", run->rows.size(),
              [&session = std::as_const(session_), run, format](FileWriter& out, ProgressSink&) {
                return wordloom::ExportKeyness(session, run->rows, format, out);
              });
}

void MainWindow::RunTableConcordance(const QString& keys, SearchMode mode) {
  pages_->setCurrentWidget(concordancePage_);
  concordancePage_->SetKeys(keys);
  concordancePage_->SearchWordsInTable();
  concordancePage_->table()->SetMode(mode);
  RunConcordancePass(false);
}

void MainWindow::OpenKeyWordHits(int row) {
  const AnalysisTableModel* model = keynessPage_->model();
  if (row < 0 || row >= model->rowCount() || IsRunning()) return;
  RunTableConcordance(model->Text(row, kKeynessWord), SearchMode::Word);
}

// The n-gram's words as a phrase: its hits are the places the n-gram was counted.
void MainWindow::OpenClusterHits(int row) {
  const AnalysisTableModel* model = clustersPage_->model();
  const std::shared_ptr<const NgramRun> run = NgramRunOf(model->rows().get());
  if (!run || row < 0 || row >= model->rowCount() || IsRunning()) return;
  const NgramTable& table = run->result.table;
  const size_t listed = model->ListedRow(row);
  QStringList words;
  for (int i = 0; i < table.n(listed); ++i) {
    const EntryPosition word = table.words(listed)[i];
    if (word >= session_.lists.Vocabulary.size()) return;
    words << PhraseWord(ProjectText(session_.lists.Vocabulary[word].word));
  }
  RunTableConcordance(words.join(u' '), SearchMode::Phrase);
}

// The node's hits are gathered as a Kwic table run gathers them; only those that have the
// collocate in their window are shown, with the collocate marked beside the key.
void MainWindow::OpenCollocateHits(int row) {
  const AnalysisTableModel* model = collocatesPage_->model();
  const std::shared_ptr<const CollocatesRun> run = CollocatesRunOf(model->rows().get());
  if (!run || row < 0 || row >= model->rowCount() || IsRunning()) return;
  const EntryPosition collocate = run->result.rows[model->ListedRow(row)].entry;
  const QString word = model->Text(row, kCollocateWord);
  const TextEncoding encoding = session_.project.rules.encoding;
  HitQuery query = run->query;
  query.kind = ConcordanceKind::Kwic;
  query.citationLetters = concordancePage_->TableQuery(ConcordanceKind::Kwic, encoding).citationLetters;
  const std::shared_ptr<ScratchFolder> scratch = PrepareScratch(this);
  if (!scratch) return;
  const size_t reported = session_.scan.ErrorReportText.size();
  auto result = std::make_shared<HitRunResult>();
  auto rows = std::make_shared<std::vector<int64_t>>();
  auto hits = std::make_shared<std::vector<int64_t>>();
  auto stopped = std::make_shared<bool>(false);
  StartIndexedPass(
      "gather the collocate's hits", true,
      [&session = std::as_const(session_), query, options = run->options, collocate, scratch, result, rows, hits,
       stopped](ProgressSink& progress) {
        Status status = GatherHits(session, query, *scratch, *result, &progress);
        if (status.ok() && result->store && !result->stopped) {
          std::unique_ptr<NodeSearch> search;
          status = NodeSearch::Make(session, query, search);
          int64_t nodeHits = 0;
          if (status.ok()) status = CollocateHits(session, *search, options, collocate, *hits, &progress, &nodeHits);
          if (status.ok() && !progress.StopRequested() && nodeHits != CountHitPlaces(*result->store)) {
            status = Status::Error(kTextsChanged);
          }
          if (status.ok()) *rows = RowsOfHits(*result->store, *hits);
        }
        *stopped = result->stopped || progress.StopRequested();
        return status;
      },
      [this, query, word, result, rows, hits, stopped, reported](const Status& status) {
        CommitHits(session_, *result);  // its Error Report entries, even when it failed
        if (!status.ok()) {
          prompts_.Message(this, ProjectText(status.message()), MessageKind::Warning);
        } else if (*stopped || !result->store) {
          pathPanel_->setText(QStringLiteral("Stopped: the table of hits is as it was"));
        } else {
          pages_->setCurrentWidget(concordancePage_);
          concordancePage_->SetKeys(ProjectText(query.keys));
          concordancePage_->SearchWordsInTable();
          concordancePage_->table()->SetMode(query.mode);
          if (fileView_) fileView_->Clear();
          concordancePage_->table()->ShowHits(result->store, rows, session_.project.rules.encoding, word);
          concordancePage_->table()->LimitTo(rows);
          concordancePage_->ShowCounts(QStringLiteral(" %1 of the hits have \"%2\" in their window")
                                           .arg(hits->size())
                                           .arg(word));
          ShowStatus(PathText(session_.project.FileName));
        }
        if (session_.scan.ErrorReportText.size() > reported) ShowErrorReport();
      });
}

}  // namespace wordloom::app
