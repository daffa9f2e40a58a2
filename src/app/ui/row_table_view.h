// RowTableView: a read-only table whose rows are chosen whole, over any table model.
//
// Rows have one height, so the view never measures the rows it does not show. Copying (Ctrl+C,
// or the context menu) puts the selected rows on the clipboard as tab-separated text: the
// shown columns in their shown order, as the model displays them, one row a line. Enter or a
// double-click on a row emits `activated`, as in any item view.
#pragma once

#include <QTableView>

namespace wordloom::app {

class RowTableView : public QTableView {
  Q_OBJECT
 public:
  RowTableView(QAbstractItemModel* model, QWidget* parent = nullptr);

  // The selected rows as tab-separated text, each line ended by "\n".
  QString SelectedText() const;

 public slots:
  void copy();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace wordloom::app
