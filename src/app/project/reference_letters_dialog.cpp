#include "project/reference_letters_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "project/reference_letters.h"
#include "project/reference_letters_dialog_names.h"
#include "ui/code_page.h"
#include "ui/controls.h"

namespace wordloom::app {
namespace {

namespace names = reference_letters_dialog_names;

bool IsFixed(int row, int column) { return row < 1 || column < 1; }

}  // namespace

ReferenceLettersDialog::ReferenceLettersDialog(ReferenceLetters& letters, QWidget* parent)
    : QDialog(parent), letters_(letters) {
  setObjectName(QString::fromLatin1(names::kDialog));
  setWindowTitle(QStringLiteral("Reference Letter Definition"));
  letters_.FillFixedCells();

  grid_ = Named(new QTableWidget(ReferenceLetters::kRows, ReferenceLetters::kColumns, this), names::kGrid);
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  const QPalette palette = grid_->palette();
  for (int row = 0; row < ReferenceLetters::kRows; ++row) {
    for (int column = 0; column < ReferenceLetters::kColumns; ++column) {
      auto* cell = new QTableWidgetItem;
      if (IsFixed(row, column)) {
        // Disabled, so neither a click nor an arrow key stops on a header or a letter; the
        // colours keep the text readable, like a header's.
        cell->setFlags(Qt::NoItemFlags);
        cell->setBackground(palette.button());
        cell->setForeground(palette.buttonText());
      } else {
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      }
      grid_->setItem(row, column, cell);
    }
  }

  letterLabel_ = Label(names::kLetter, QString(), this);
  letterLabel_->setMinimumWidth(letterLabel_->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 2);
  textEdit_ = TextBox(names::kText, this);
  textEdit_->setFixedWidth(textEdit_->fontMetrics().averageCharWidth() * 30);
  addButton_ = Button(names::kAdd, QStringLiteral("Add"), this);
  addButton_->setDefault(true);
  closeButton_ = Button(names::kClose, QStringLiteral("Close"), this);

  grid_->setColumnWidth(0, grid_->fontMetrics().horizontalAdvance(QStringLiteral("Comment")) + 16);
  grid_->setColumnWidth(1, textEdit_->width());
  grid_->setColumnWidth(2, textEdit_->width());
  grid_->setMinimumWidth(grid_->columnWidth(0) + 2 * textEdit_->width() + 2 * grid_->frameWidth() +
                         grid_->verticalScrollBar()->sizeHint().width());
  grid_->setMinimumHeight(grid_->rowHeight(0) * 12);

  auto* editRow = new QHBoxLayout;
  editRow->addWidget(letterLabel_);
  editRow->addWidget(textEdit_);
  editRow->addWidget(addButton_);
  editRow->addStretch();
  editRow->addWidget(closeButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_);
  layout->addLayout(editRow);

  Refresh();
  grid_->setCurrentCell(1, 1);
  ShowCell(1, 1);
  connect(grid_, &QTableWidget::currentCellChanged, this, [this](int row, int column) { ShowCell(row, column); });
  connect(addButton_, &QPushButton::clicked, this, &ReferenceLettersDialog::AddText);
  connect(closeButton_, &QPushButton::clicked, this, &QWidget::hide);
}

void ReferenceLettersDialog::Refresh() {
  for (int row = 0; row < ReferenceLetters::kRows; ++row) {
    for (int column = 0; column < ReferenceLetters::kColumns; ++column) {
      grid_->item(row, column)->setText(DecodeText(letters_.Cell(row, column), encoding_));
    }
  }
}

void ReferenceLettersDialog::SetEncoding(TextEncoding encoding) {
  encoding_ = encoding;
  Refresh();
}

void ReferenceLettersDialog::showEvent(QShowEvent* event) {
  Refresh();
  ShowCell(grid_->currentRow(), grid_->currentColumn());
  QDialog::showEvent(event);
}

// A fixed cell leaves the edit box and the letter as they were.
void ReferenceLettersDialog::ShowCell(int row, int column) {
  if (IsFixed(row, column)) return;
  textEdit_->setText(grid_->item(row, column)->text());
  letterLabel_->setText(grid_->item(row, 0)->text());
}

void ReferenceLettersDialog::AddText() {
  const int row = grid_->currentRow();
  const int column = grid_->currentColumn();
  if (IsFixed(row, column)) return;
  letters_.SetCell(row, column, EncodeText(textEdit_->text(), encoding_));
  // The grid shows what the table holds: a character with no byte shows as "?".
  grid_->item(row, column)->setText(DecodeText(letters_.Cell(row, column), encoding_));
}

}  // namespace wordloom::app
