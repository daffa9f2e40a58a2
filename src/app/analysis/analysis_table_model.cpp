#include "analysis/analysis_table_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <tuple>
#include <utility>

namespace wordloom::app {

AnalysisTableModel::AnalysisTableModel(std::vector<AnalysisColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

void AnalysisTableModel::Show(std::shared_ptr<const AnalysisRows> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  order_ = Ordered();
  endResetModel();
}

AnalysisTableModel::Order AnalysisTableModel::Ordered() const {
  if (!rows_) return nullptr;
  auto order = std::make_shared<std::vector<uint32_t>>(rows_->size());
  std::iota(order->begin(), order->end(), uint32_t{0});
  const bool descending = sortOrder_ == Qt::DescendingOrder;
  switch (columns_[static_cast<size_t>(sortColumn_)].kind) {
    case ColumnKind::Rank:
      if (descending) std::reverse(order->begin(), order->end());
      break;
    case ColumnKind::Word:
      std::stable_sort(order->begin(), order->end(), [this, descending](uint32_t a, uint32_t b) {
        return descending ? rows_->WordBefore(b, a) : rows_->WordBefore(a, b);
      });
      break;
    case ColumnKind::Number: {
      // (no value, key, listed row): NaN last in either order.
      std::vector<std::tuple<bool, double, uint32_t>> keyed(order->size());
      for (uint32_t row = 0; row < keyed.size(); ++row) {
        const double value = rows_->Number(row, sortColumn_);
        const bool none = std::isnan(value);
        keyed[row] = {none, none ? 0.0 : (descending ? -value : value), row};
      }
      std::sort(keyed.begin(), keyed.end());
      for (size_t i = 0; i < keyed.size(); ++i) (*order)[i] = std::get<2>(keyed[i]);
      break;
    }
  }
  return order;
}

// The selection and the current row follow their rows to their new places.
void AnalysisTableModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= columnCount()) return;
  sortColumn_ = column;
  sortOrder_ = order;
  if (!rows_) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  const Order old = order_;
  order_ = Ordered();
  if (!before.isEmpty()) {
    std::vector<int> placeOf(order_->size(), -1);
    for (int row = 0; row < rowCount(); ++row) placeOf[(*order_)[static_cast<size_t>(row)]] = row;
    QModelIndexList after;
    for (const QModelIndex& index : before) {
      after << this->index(placeOf[(*old)[static_cast<size_t>(index.row())]], index.column());
    }
    changePersistentIndexList(before, after);
  }
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// A table view counts its rows in int; rows beyond that are exported, never shown.
int AnalysisTableModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !order_) return 0;
  return static_cast<int>(std::min<size_t>(order_->size(), std::numeric_limits<int>::max()));
}

int AnalysisTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QString AnalysisTableModel::Text(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return QString();
  const size_t listed = ListedRow(row);
  if (columns_[static_cast<size_t>(column)].kind == ColumnKind::Rank) return QString::number(listed + 1);
  return rows_->Text(listed, column);
}

QVariant AnalysisTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return Text(index.row(), index.column());
    case Qt::TextAlignmentRole: {
      const bool word = columns_[static_cast<size_t>(index.column())].kind == ColumnKind::Word;
      return QVariant::fromValue(Qt::Alignment((word ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter));
    }
    case Qt::ForegroundRole:
      return rows_->Foreground(ListedRow(index.row()));
    default:
      return {};
  }
}

// A first click on a number's header puts the largest first.
QVariant AnalysisTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
    return QAbstractTableModel::headerData(section, orientation, role);
  const AnalysisColumn& column = columns_[static_cast<size_t>(section)];
  if (role == Qt::InitialSortOrderRole) {
    return static_cast<int>(column.kind == ColumnKind::Number ? Qt::DescendingOrder : Qt::AscendingOrder);
  }
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  return QString::fromLatin1(column.title);
}

}  // namespace wordloom::app
