#include "ui/row_table_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QToolTip>
#include <algorithm>

namespace wordloom::app {
namespace {

// A cell on one line of tab-separated text.
QString AsCell(QString text) {
  for (QChar& c : text) {
    if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
  }
  return text;
}

}  // namespace

RowTableView::RowTableView(QAbstractItemModel* model, QWidget* parent) : QTableView(parent) {
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
}

QString RowTableView::SelectedText() const {
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
    for (const int column : columns) cells << AsCell(model()->index(row, column).data().toString());
    text += cells.join(u'\t') + u'\n';
  }
  return text;
}

void RowTableView::copy() {
  if (!selectionModel()->hasSelection()) return;
  // Every row's cells are worked out here, on the window's thread: a table of millions goes out
  // by Export instead.
  constexpr int kMostCopiedRows = 100000;
  const auto rows = selectionModel()->selectedRows().size();
  if (rows > kMostCopiedRows) {
    QToolTip::showText(viewport()->mapToGlobal(viewport()->rect().center()),
                       QStringLiteral("%1 rows are too many to copy (at most %2): export them instead.")
                           .arg(rows)
                           .arg(kMostCopiedRows),
                       this);
    return;
  }
  QApplication::clipboard()->setText(SelectedText());
}

bool RowTableView::event(QEvent* event) {
  // Copying reaches the table even though the window's Copy action has the same shortcut.
  if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    event->accept();
    return true;
  }
  return QTableView::event(event);
}

void RowTableView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    copy();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void RowTableView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copyAction = menu.addAction(QStringLiteral("&Copy"), this, &RowTableView::copy);
  copyAction->setShortcut(QKeySequence::Copy);
  copyAction->setEnabled(selectionModel()->hasSelection());
  menu.addAction(QStringLiteral("Select &All"), this, &QTableView::selectAll)->setShortcut(QKeySequence::SelectAll);
  menu.exec(event->globalPos());
}

}  // namespace wordloom::app
