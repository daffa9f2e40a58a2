#include "ui/hit_table_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/hit_table_model.h"

namespace wordloom::app {
namespace {

// Draws a column's texts cut short at the side `mode` names.
class ElidingDelegate : public QStyledItemDelegate {
 public:
  ElidingDelegate(Qt::TextElideMode mode, QObject* parent) : QStyledItemDelegate(parent), mode_(mode) {}

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = mode_;
  }

 private:
  Qt::TextElideMode mode_;
};

// A cell on one line of tab-separated text.
QString AsCell(QString text) {
  for (QChar& c : text) {
    if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
  }
  return text;
}

}  // namespace

HitTableView::HitTableView(HitTableModel* model, QWidget* parent) : QTableView(parent), model_(model) {
  setModel(model);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setStretchLastSection(true);
  setItemDelegateForColumn(HitTableModel::kLeft, new ElidingDelegate(Qt::ElideLeft, this));
  // Widths from the font, never from the rows: measuring them would read every hit.
  const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  const std::pair<int, int> widths[] = {{HitTableModel::kNumber, 8}, {HitTableModel::kFile, 14},
                                        {HitTableModel::kLine, 7},   {HitTableModel::kCitation, 14},
                                        {HitTableModel::kLeft, 36},  {HitTableModel::kKey, 14}};
  for (const auto& [column, digits] : widths) setColumnWidth(column, digits * digit);
}

QString HitTableView::SelectedText() const {
  QList<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  QList<int> columns;
  for (int visual = 0; visual < horizontalHeader()->count(); ++visual) {
    const int column = horizontalHeader()->logicalIndex(visual);
    if (!isColumnHidden(column)) columns << column;
  }
  QString text;
  for (const int row : rows) {
    QStringList cells;
    for (const int column : columns) cells << AsCell(model_->Text(row, column));
    text += cells.join(u'\t') + u'\n';
  }
  return text;
}

void HitTableView::copy() {
  if (selectionModel()->hasSelection()) QApplication::clipboard()->setText(SelectedText());
}

bool HitTableView::event(QEvent* event) {
  // Copying reaches the table even though the window's Copy action has the same shortcut.
  if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    event->accept();
    return true;
  }
  return QTableView::event(event);
}

void HitTableView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    copy();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void HitTableView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copyAction = menu.addAction(QStringLiteral("&Copy"), this, &HitTableView::copy);
  copyAction->setShortcut(QKeySequence::Copy);
  copyAction->setEnabled(selectionModel()->hasSelection());
  menu.addAction(QStringLiteral("Select &All"), this, &QTableView::selectAll)->setShortcut(QKeySequence::SelectAll);
  menu.exec(event->globalPos());
}

}  // namespace wordloom::app
