// The word table's passes: making the table on the runner's thread, filtering it, exporting
// the rows on show, and looking a word up in the table of hits. The table's rows are positions
// in the session's vocabulary, which no pass changes; a scan or an open that replaces it clears
// the table first.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <utility>

#include "concordance/concordance_page.h"
#include "concordance/hit_table_panel.h"
#include "concordance/word_pattern.h"
#include "lists/word_list_page.h"
#include "lists/word_table.h"
#include "lists/word_table_panel.h"
#include "shell/main_window.h"
#include "shell/pass_runner.h"
#include "ui/code_page.h"
#include "ui/prompts.h"
#include "ui/word_table_model.h"

namespace wordloom::app {

// Ranges the project file did not keep are counted by a pass over the texts, which Stop ends;
// a stopped table leaves the one on show as it was.
void MainWindow::RunWordTable() {
  const WordTableQuery query =
      wordListPage_->TableQuery(listOrderBox_->currentData().toInt(), rhymeCheck_->checkState() != Qt::Unchecked);
  auto table = std::make_shared<WordTable>();
  auto made = std::make_shared<bool>(false);
  StartIndexedPass(
      "make the word table", true,
      [&session = std::as_const(session_), query, table, made](ProgressSink& progress) {
        *made = MakeWordTable(session, query, *table, &progress);
        return Status();
      },
      [this, table, made](const Status& status) {
        if (!status.ok()) {
          prompts_.Message(this, QString::fromStdString(status.message()), MessageKind::Warning);
          return;
        }
        if (!*made) {
          pathPanel_->setText(QStringLiteral("Stopped: the table is as it was"));
          return;
        }
        CommitWordTable(session_, *table);
        wordListPage_->table()->ShowTable(table, &session_.lists.Vocabulary, session_.project.rules.encoding);
        FilterWordTable();
        wordListPage_->ShowCount(ProjectText(WordTableCountText(*table, session_.lists.Vocabulary.size())));
        ShowStatus(ProjectText(session_.project.Title));
      });
}

// Matching is one pass over the table's words, done as the filter is typed; a pattern that is
// not valid leaves the rows as they were and says why beside the filter.
void MainWindow::FilterWordTable() {
  WordTablePanel* panel = wordListPage_->table();
  const WordTableModel* model = panel->model();
  if (!model->table()) return;
  const QString typed = panel->Filter();
  if (typed.isEmpty()) {
    panel->ShowKept(nullptr);
    return;
  }
  const std::string pattern = EncodeText(typed, session_.project.rules.encoding);
  const UnicodeText* unicode = session_.tables.unicode.get();
  std::unique_ptr<WordPattern> matcher;
  const Status status = panel->FilterIsRegex() ? WordPattern::Regex(pattern, unicode, matcher)
                                               : WordPattern::Wildcard(pattern, unicode, matcher);
  if (!status.ok()) {
    panel->ShowFilterError(ProjectText(status.message()));
    return;
  }
  panel->ShowKept(std::make_shared<const std::vector<uint32_t>>(
      MatchingRows(*model->table(), *model->vocabulary(), *matcher)));
}

// The rows on show are written, filtered and in their order, each with its rank in the list.
void MainWindow::ExportWordTable(TableFormat format) {
  const WordTableModel* model = wordListPage_->table()->model();
  const std::shared_ptr<const WordTable> table = model->table();
  const WordTableModel::Rows rows = model->rows();
  if (!table || !rows) return;
  ExportTable(format, "export the words", "word", rows->size(),
              [table, rows, &vocabulary = std::as_const(*model->vocabulary()), format](FileWriter& out,
                                                                                      ProgressSink& progress) {
                return wordloom::ExportWordTable(*table, vocabulary, format, out, rows.get(), &progress);
              });
}

// The word, as the table shows it, becomes the Concordance page's keys, matched as a word, and
// a Kwic run fills the page's table.
void MainWindow::RunWordConcordance(int row) {
  const WordTableModel* model = wordListPage_->table()->model();
  if (row < 0 || row >= model->rowCount() || IsRunning()) return;
  pages_->setCurrentWidget(concordancePage_);
  concordancePage_->SetKeys(model->Text(row, WordTableModel::kWord));
  concordancePage_->SearchWordsInTable();
  RunConcordancePass(false);
}

}  // namespace wordloom::app
