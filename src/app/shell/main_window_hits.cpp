// The table's passes: a Kwic or Line run that gathers hits, arranging the hits anew, exporting
// them, and opening a hit's text. Each reads only what it was handed (the store, the rows,
// the session while nothing changes it) on the runner's thread; its result is shown once it
// has ended.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <algorithm>
#include <utility>

#include "base/paths.h"
#include "base/scratch_folder.h"
#include "concordance/concordance_page.h"
#include "concordance/file_view.h"
#include "concordance/hit_table_panel.h"
#include "hits/hits.h"
#include "shell/main_window.h"
#include "shell/pass_runner.h"
#include "ui/code_page.h"
#include "ui/hit_table_model.h"
#include "ui/prompts.h"

namespace wordloom::app {
namespace {

using Rows = std::vector<int64_t>;

// "A: Act 1   S: Hale   L: 11": the letters that have a value, in order.
QString ReferencesText(const std::array<std::string, kLetterCount + 1>& values, TextEncoding encoding) {
  QStringList shown;
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    if (values[static_cast<size_t>(letter)].empty()) continue;
    shown << QStringLiteral("%1: %2").arg(QChar(u'A' + letter - 1),
                                          DecodeText(values[static_cast<size_t>(letter)], encoding));
  }
  return shown.join(QStringLiteral("   "));
}

}  // namespace

// The run gathers, then arranges the hits as the table's sort and thinning say; a run stopped
// while gathering still arranges what it found.
void MainWindow::RunHitPass(bool line) {
  HitQuery query = concordancePage_->TableQuery(line ? ConcordanceKind::Line : ConcordanceKind::Kwic,
                                                session_.project.rules.encoding);
  query.keyWordsOrder = listOrderBox_->currentData().toInt();
  query.keyWordsRhyme = rhymeCheck_->checkState() != Qt::Unchecked;
  const HitTablePanel* table = concordancePage_->table();
  const Thinning thinning = table->ThinningChosen();
  const std::vector<SortLevel> levels = table->SortLevels();
  const std::shared_ptr<ScratchFolder> scratch = PrepareScratch(this);
  if (!scratch) return;
  const size_t reported = session_.scan.ErrorReportText.size();
  auto result = std::make_shared<HitRunResult>();
  auto rows = std::make_shared<Rows>();
  StartIndexedPass(
      "gather the hits", true,
      [&session = std::as_const(session_), query, scratch, result, rows, thinning, levels](ProgressSink& progress) {
        return GatherArrangedHits(session, query, *scratch, thinning, levels, *result, *rows, progress);
      },
      [this, result, rows, reported](const Status& status) {
        CommitHits(session_, *result);  // its Error Report entries, even when it failed
        if (!status.ok()) {
          prompts_.Message(this, QString::fromStdString(status.message()), MessageKind::Warning);
        } else {
          // New hits, or none when there was nothing to search for: the old ones go.
          if (fileView_) fileView_->Clear();
          if (result->store) {
            concordancePage_->table()->ShowHits(result->store, rows, session_.project.rules.encoding);
          } else {
            concordancePage_->table()->clear();
          }
          concordancePage_->ShowCounts(ProjectText(result->countsText));
          ShowStatus(PathText(session_.project.FileName));
          if (result->stopped) pathPanel_->setText(QStringLiteral("Stopped: the table holds the hits found so far"));
        }
        if (session_.scan.ErrorReportText.size() > reported) ShowErrorReport();
      });
}

// A stopped arrangement leaves the table as it was.
void MainWindow::ArrangeHitTable() {
  const HitTablePanel* table = concordancePage_->table();
  const std::shared_ptr<const HitStore> store = table->model()->store();
  if (!store) return;
  const Thinning thinning = table->ThinningChosen();
  const std::vector<SortLevel> levels = table->SortLevels();
  const std::shared_ptr<const Rows> within = table->limit();
  auto rows = std::make_shared<Rows>();
  auto arranged = std::make_shared<bool>(false);
  runner_->Start(
      "sort the hits", true,
      [&tables = std::as_const(session_.tables), store, thinning, levels, within, rows, arranged](ProgressSink& progress) {
        *arranged = ArrangeHits(*store, tables, thinning, levels, *rows, &progress, false, within.get());
        return Status();
      },
      [this, store, rows, arranged](const Status& status) {
        HitTablePanel* table = concordancePage_->table();
        if (!status.ok()) {
          prompts_.Message(this, QString::fromStdString(status.message()), MessageKind::Warning);
        } else if (!*arranged) {
          pathPanel_->setText(QStringLiteral("Stopped: the table keeps its order"));
        } else if (table->model()->store() == store) {
          table->ShowArrangement(rows);
        }
      });
}

// Every row of the arrangement is written, with its contexts as the table cuts them.
void MainWindow::ExportHitTable(TableFormat format) {
  const HitTableModel* model = concordancePage_->table()->model();
  const std::shared_ptr<const HitStore> store = model->store();
  const HitTableModel::Rows rows = model->rows();
  if (!store || !rows) return;
  ExportTable(format, "export the hits", "hit", rows->size(),
              [store, rows, window = model->context(), format](FileWriter& out, ProgressSink& progress) {
                return ExportHits(*store, *rows, window, format, out, &progress);
              });
}

void MainWindow::OpenHit(int row) {
  const HitTableModel* model = concordancePage_->table()->model();
  const std::shared_ptr<const HitStore> store = model->store();
  if (!store || row < 0 || row >= model->rowCount()) return;
  const int64_t storeRow = model->StoreRow(row);
  const int32_t file = store->FileNumber(storeRow);
  const std::string& path = store->files()[static_cast<size_t>(file)];
  const TextEncoding encoding = model->encoding();
  // The store's reader goes on through the text from the last place it was asked about.
  auto references = std::make_shared<ReferenceReader>(store, file);
  FileView::ReferencesAt referencesAt = [references, encoding](int64_t offset) -> std::optional<QString> {
    std::array<std::string, kLetterCount + 1> values;
    if (!references->ValuesAt(offset, values).ok()) return std::nullopt;
    return ReferencesText(values, encoding);
  };
  size_t current = 0;
  std::vector<FileHit> hits = HitsInFileOf(*store, *model->rows(), storeRow, current);
  if (!fileView_) fileView_ = new FileView(this);
  QString error;
  if (!fileView_->Show(PathText(NormalisePath(path)), encoding, std::move(hits), current, std::move(referencesAt),
                       error)) {
    prompts_.Message(this, error, MessageKind::Warning);
  }
}

}  // namespace wordloom::app
