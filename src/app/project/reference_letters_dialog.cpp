#include "project/reference_letters_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "project/reference_letters.h"
#include "ui/code_page.h"
#include "ui/controls.h"

namespace wordloom::app {
namespace {

bool IsFixed(int row, int column) { return row < 1 || column < 1; }

}  // namespace

ReferenceLettersDialog::ReferenceLettersDialog(ReferenceLetters& letters, QWidget* parent)
    : QDialog(parent), letters_(letters) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("Reference Letter Definition"));
  letters_.FillFixedCells();

  MSFlexGrid1 = Named(new QTableWidget(ReferenceLetters::kRows, ReferenceLetters::kColumns, this), "MSFlexGrid1");
  MSFlexGrid1->horizontalHeader()->hide();
  MSFlexGrid1->verticalHeader()->hide();
  MSFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  MSFlexGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  const QPalette palette = MSFlexGrid1->palette();
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
      MSFlexGrid1->setItem(row, column, cell);
    }
  }

  Label1 = Label("Label1", QString(), this);
  Label1->setMinimumWidth(Label1->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 2);
  Text1 = TextBox("Text1", this);
  Text1->setFixedWidth(Text1->fontMetrics().averageCharWidth() * 30);
  Command1 = Button("Command1", QStringLiteral("Add"), this);
  Command1->setDefault(true);
  Command2 = Button("Command2", QStringLiteral("Close"), this);

  MSFlexGrid1->setColumnWidth(0, MSFlexGrid1->fontMetrics().horizontalAdvance(QStringLiteral("Comment")) + 16);
  MSFlexGrid1->setColumnWidth(1, Text1->width());
  MSFlexGrid1->setColumnWidth(2, Text1->width());
  MSFlexGrid1->setMinimumWidth(MSFlexGrid1->columnWidth(0) + 2 * Text1->width() + 2 * MSFlexGrid1->frameWidth() +
                               MSFlexGrid1->verticalScrollBar()->sizeHint().width());
  MSFlexGrid1->setMinimumHeight(MSFlexGrid1->rowHeight(0) * 12);

  auto* editRow = new QHBoxLayout;
  editRow->addWidget(Label1);
  editRow->addWidget(Text1);
  editRow->addWidget(Command1);
  editRow->addStretch();
  editRow->addWidget(Command2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MSFlexGrid1);
  layout->addLayout(editRow);

  Refresh();
  MSFlexGrid1->setCurrentCell(1, 1);
  ShowCell(1, 1);
  connect(MSFlexGrid1, &QTableWidget::currentCellChanged, this, [this](int row, int column) { ShowCell(row, column); });
  connect(Command1, &QPushButton::clicked, this, &ReferenceLettersDialog::AddText);
  connect(Command2, &QPushButton::clicked, this, &QWidget::hide);
}

void ReferenceLettersDialog::Refresh() {
  for (int row = 0; row < ReferenceLetters::kRows; ++row) {
    for (int column = 0; column < ReferenceLetters::kColumns; ++column) {
      MSFlexGrid1->item(row, column)->setText(Decode1252(letters_.Cell(row, column)));
    }
  }
}

void ReferenceLettersDialog::showEvent(QShowEvent* event) {
  Refresh();
  ShowCell(MSFlexGrid1->currentRow(), MSFlexGrid1->currentColumn());
  QDialog::showEvent(event);
}

// A fixed cell leaves the edit box and the letter as they were.
void ReferenceLettersDialog::ShowCell(int row, int column) {
  if (IsFixed(row, column)) return;
  Text1->setText(MSFlexGrid1->item(row, column)->text());
  Label1->setText(MSFlexGrid1->item(row, 0)->text());
}

void ReferenceLettersDialog::AddText() {
  const int row = MSFlexGrid1->currentRow();
  const int column = MSFlexGrid1->currentColumn();
  if (IsFixed(row, column)) return;
  letters_.SetCell(row, column, Encode1252(Text1->text()));
  // The grid shows what the table holds: a character with no byte shows as "?".
  MSFlexGrid1->item(row, column)->setText(Decode1252(letters_.Cell(row, column)));
}

}  // namespace wordloom::app
