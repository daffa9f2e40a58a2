#include "ui/hit_table_view.h"

#include <QStyledItemDelegate>

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

}  // namespace

HitTableView::HitTableView(HitTableModel* model, QWidget* parent) : RowTableView(model, parent) {
  setItemDelegateForColumn(HitTableModel::kLeft, new ElidingDelegate(Qt::ElideLeft, this));
  // Widths from the font, never from the rows: measuring them would read every hit.
  const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
  const std::pair<int, int> widths[] = {{HitTableModel::kNumber, 8}, {HitTableModel::kFile, 14},
                                        {HitTableModel::kLine, 7},   {HitTableModel::kCitation, 14},
                                        {HitTableModel::kLeft, 36},  {HitTableModel::kKey, 14}};
  for (const auto& [column, digits] : widths) setColumnWidth(column, digits * digit);
}

}  // namespace wordloom::app
