// HitTableView: the table of hits, a row at a time.
//
// Rows are selected whole and have one height, so the view never measures the rows it does not
// show. The left context is cut short at its left end, so the words next to the key stay in
// sight. Copying (Ctrl+C, or the context menu) puts the selected rows on the clipboard as
// tab-separated text: the shown columns in their shown order, one row a line. Enter or a
// double-click on a row emits `activated`, as in any item view.
#pragma once

#include <QTableView>

namespace wordloom::app {

class HitTableModel;

class HitTableView : public QTableView {
  Q_OBJECT
 public:
  HitTableView(HitTableModel* model, QWidget* parent = nullptr);

  // The selected rows as tab-separated text, each line ended by "\n".
  QString SelectedText() const;

 public slots:
  void copy();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  HitTableModel* model_;
};

}  // namespace wordloom::app
