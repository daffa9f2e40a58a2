// HighlightDelegate: draws a column's texts cut short at one side, with the places of a
// highlighted word (HitTableModel::kHighlightRole) in bold and a colour of their own.
//
// A cell with no places is drawn as any other; a cell with some is drawn as one line, aligned
// as the model says, its places moved with the text when it is cut short.
#pragma once

#include <QStyledItemDelegate>

namespace wordloom::app {

class HighlightDelegate : public QStyledItemDelegate {
 public:
  HighlightDelegate(Qt::TextElideMode mode, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  Qt::TextElideMode mode_;
};

}  // namespace wordloom::app
