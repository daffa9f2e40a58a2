#include "lists/word_table_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "lists/word_list_page_names.h"
#include "ui/controls.h"
#include "ui/table_controls.h"
#include "ui/row_table_view.h"

namespace wordloom::app {

namespace names = word_list_page_names;

namespace {

enum FilterKind { kWildcard, kRegex };

}  // namespace

WordTablePanel::WordTablePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QString::fromLatin1(names::kTablePanel));
  model_ = new WordTableModel(this);
  view_ = Named(new RowTableView(model_, this), names::kTable);
  // Widths from the font, never from the rows: measuring them would read every word.
  const int digit = view_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
  const std::pair<int, int> widths[] = {{WordTableModel::kRank, 8},
                                        {WordTableModel::kWord, 24},
                                        {WordTableModel::kFrequency, 10},
                                        {WordTableModel::kPerMillion, 12}};
  for (const auto& [column, digits] : widths) view_->setColumnWidth(column, digits * digit);
  view_->horizontalHeader()->setSortIndicator(WordTableModel::kRank, Qt::AscendingOrder);
  view_->setSortingEnabled(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addWidget(CreateFilterRow());
  layout->addWidget(view_, 1);
  setFocusProxy(view_);

  connect(view_, &QAbstractItemView::activated, this,
          [this](const QModelIndex& index) { emit wordActivated(index.row()); });
  UpdateControls();
}

QWidget* WordTablePanel::CreateFilterRow() {
  auto* row = new QWidget(this);
  QLabel* filterLabel = Label(names::kFilterLabel, QStringLiteral("Filter:"), row);
  filterBox_ = TextBox(names::kFilter, row);
  filterBox_->setToolTip(QStringLiteral("Shows only the words that match; empty shows every word"));
  filterBox_->setClearButtonEnabled(true);
  filterLabel->setBuddy(filterBox_);
  filterKindBox_ = DropDown(names::kFilterKind, {{"Wildcard", kWildcard}, {"Regex", kRegex}}, row);
  filterKindBox_->setToolTip(
      QStringLiteral("Wildcards (* any letters, ? one letter) or a regular expression, matching whole words"));
  filterMessage_ = Label(names::kFilterMessage, QString(), row);
  stopButton_ = Button(names::kStop, QStringLiteral("&Stop"), row);
  stopButton_->setToolTip(QStringLiteral("Stops making or exporting the table"));
  exportButton_ = ExportButton({names::kExport, names::kExportTsv, names::kExportCsv, names::kExportJsonLines},
                               QStringLiteral("Writes the rows on show, as filtered and sorted, to a file"), row,
                               [this](TableFormat format) { emit exportRequested(format); });

  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(filterLabel);
  layout->addWidget(filterBox_);
  layout->addWidget(filterKindBox_);
  layout->addWidget(filterMessage_, 1);
  layout->addWidget(stopButton_);
  layout->addWidget(exportButton_);

  connect(filterBox_, &QLineEdit::textChanged, this, &WordTablePanel::filterChanged);
  connect(filterKindBox_, &QComboBox::currentIndexChanged, this, &WordTablePanel::filterChanged);
  connect(stopButton_, &QPushButton::clicked, this, &WordTablePanel::stopRequested);
  return row;
}

QString WordTablePanel::Filter() const { return filterBox_->text(); }
bool WordTablePanel::FilterIsRegex() const { return filterKindBox_->currentData().toInt() == kRegex; }

void WordTablePanel::ShowTable(std::shared_ptr<const WordTable> table, const EntryList* vocabulary,
                               TextEncoding encoding) {
  model_->Show(std::move(table), vocabulary, encoding);
  filterMessage_->clear();
  UpdateControls();
}

void WordTablePanel::ShowKept(WordTableModel::Rows kept) {
  model_->Keep(std::move(kept));
  filterMessage_->clear();
}

void WordTablePanel::ShowFilterError(const QString& message) { filterMessage_->setText(message); }

void WordTablePanel::clear() {
  model_->clear();
  filterMessage_->clear();
  UpdateControls();
}

void WordTablePanel::SetRunning(bool running, bool stoppable) {
  running_ = running;
  stoppable_ = stoppable;
  UpdateControls();
}

// The filter reads the vocabulary, which waits, like the session, while a pass runs.
void WordTablePanel::UpdateControls() {
  const bool table = model_->table() != nullptr;
  filterBox_->setEnabled(!running_);
  filterKindBox_->setEnabled(!running_);
  stopButton_->setEnabled(running_ && stoppable_);
  exportButton_->setEnabled(table && !running_);
}

}  // namespace wordloom::app
