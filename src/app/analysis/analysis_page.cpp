#include "analysis/analysis_page.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QVBoxLayout>

#include "ui/controls.h"
#include "ui/row_table_view.h"
#include "ui/table_controls.h"

namespace wordloom::app {

AnalysisPage::AnalysisPage(const AnalysisPageNames& names, std::vector<AnalysisColumn> columns,
                           const QString& runTip, QWidget* parent)
    : QWidget(parent) {
  setObjectName(QString::fromLatin1(names.page));
  model_ = new AnalysisTableModel(std::move(columns), this);
  view_ = Named(new RowTableView(model_, this), names.table);
  // Widths from the font, never from the rows: measuring them would read every row.
  const int digit = view_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
  for (int column = 0; column < model_->columnCount(); ++column) {
    const int titleDigits = static_cast<int>(model_->headerData(column, Qt::Horizontal).toString().size()) + 3;
    view_->setColumnWidth(column, std::max(column == 1 ? 24 : 9, titleDigits) * digit);
  }
  view_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  view_->setSortingEnabled(true);

  auto* parameterRow = new QHBoxLayout;
  parameters_ = parameterRow;
  layout_ = new QVBoxLayout(this);
  layout_->setSpacing(4);
  layout_->addLayout(parameterRow);
  layout_->addWidget(CreateButtonRow(names, runTip));
  layout_->addWidget(view_, 1);

  connect(view_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) { emit rowActivated(index.row()); });
  UpdateControls();
}

QWidget* AnalysisPage::CreateButtonRow(const AnalysisPageNames& names, const QString& runTip) {
  auto* row = new QWidget(this);
  runButton_ = Button(names.run, QStringLiteral("&Run"), row);
  runButton_->setToolTip(runTip);
  stopButton_ = Button(names.stop, QStringLiteral("&Stop"), row);
  stopButton_->setToolTip(QStringLiteral("Stops the run; the table stays as it was"));
  countBox_ = ResultBox(names.count, row);
  countBox_->setFocusPolicy(Qt::NoFocus);
  copyButton_ = Button(names.copy, QStringLiteral("&Copy"), row);
  copyButton_->setToolTip(QStringLiteral("Copies the selected rows, or every row, as tab-separated text"));
  exportButton_ = ExportButton({names.exportButton, names.exportTsv, names.exportCsv, names.exportJsonLines},
                               QStringLiteral("Writes every row, in the order listed, to a file"), row,
                               [this](TableFormat format) { emit exportRequested(format); });

  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(runButton_);
  layout->addWidget(stopButton_);
  layout->addWidget(countBox_, 1);
  layout->addWidget(copyButton_);
  layout->addWidget(exportButton_);

  connect(runButton_, &QPushButton::clicked, this, &AnalysisPage::runRequested);
  connect(stopButton_, &QPushButton::clicked, this, &AnalysisPage::stopRequested);
  connect(copyButton_, &QPushButton::clicked, this, &AnalysisPage::CopyRows);
  return row;
}

QBoxLayout* AnalysisPage::AddParameterRow() {
  auto* row = new QHBoxLayout;
  layout_->insertLayout(parameterRows_++, row);
  return row;
}

void AnalysisPage::CopyRows() {
  if (!view_->selectionModel()->hasSelection()) view_->selectAll();
  view_->copy();
}

void AnalysisPage::ShowRows(std::shared_ptr<const AnalysisRows> rows, const QString& count) {
  model_->Show(std::move(rows));
  countBox_->setText(count);
  UpdateControls();
}

void AnalysisPage::clear() {
  model_->clear();
  countBox_->clear();
  UpdateControls();
}

void AnalysisPage::SetRunning(bool running, bool stoppable) {
  running_ = running;
  stoppable_ = stoppable;
  UpdateControls();
}

void AnalysisPage::UpdateControls() {
  const bool rows = model_->rows() != nullptr;
  runButton_->setEnabled(!running_);
  stopButton_->setEnabled(running_ && stoppable_);
  copyButton_->setEnabled(model_->rowCount() > 0);
  exportButton_->setEnabled(rows && !running_);
}

}  // namespace wordloom::app
