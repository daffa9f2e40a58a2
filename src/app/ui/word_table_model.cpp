#include "ui/word_table_model.h"

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>
#include <utility>

#include "ui/code_page.h"

namespace wordloom::app {

WordTableModel::WordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void WordTableModel::Show(std::shared_ptr<const WordTable> table, const EntryList* vocabulary,
                          TextEncoding encoding) {
  beginResetModel();
  table_ = vocabulary ? std::move(table) : nullptr;
  vocabulary_ = table_ ? vocabulary : nullptr;
  encoding_ = encoding;
  kept_ = nullptr;
  rows_ = Ordered();
  endResetModel();
}

void WordTableModel::Keep(Rows kept) {
  if (!table_) return;
  beginResetModel();
  kept_ = std::move(kept);
  rows_ = Ordered();
  endResetModel();
}

// The rank and word columns keep the table's order, or reverse it; a number column is sorted
// on (number, index) pairs, which puts equal numbers in the order of their ranks.
WordTableModel::Rows WordTableModel::Ordered() const {
  if (!table_) return nullptr;
  const bool descending = sortOrder_ == Qt::DescendingOrder;
  if (kept_ && !descending && (sortColumn_ == kRank || sortColumn_ == kWord)) return kept_;
  auto rows = std::make_shared<std::vector<uint32_t>>();
  if (kept_) {
    *rows = *kept_;
  } else {
    rows->resize(table_->size());
    std::iota(rows->begin(), rows->end(), uint32_t{0});
  }
  if (sortColumn_ == kRank || sortColumn_ == kWord) {
    if (descending) std::reverse(rows->begin(), rows->end());
    return rows;
  }
  std::vector<std::pair<int64_t, uint32_t>> keyed(rows->size());
  for (size_t i = 0; i < keyed.size(); ++i) {
    const uint32_t index = (*rows)[i];
    const EntryPosition position = table_->rows[index];
    const int64_t number = sortColumn_ == kRange ? int64_t{table_->ranges[position]} : (*vocabulary_)[position].count;
    keyed[i] = {descending ? -number : number, index};
  }
  std::sort(keyed.begin(), keyed.end());
  for (size_t i = 0; i < keyed.size(); ++i) (*rows)[i] = keyed[i].second;
  return rows;
}

// The selection and the current row follow their rows to their new places.
void WordTableModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= kColumnCount) return;
  sortColumn_ = column;
  sortOrder_ = order;
  if (!table_) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  const Rows old = rows_;
  rows_ = Ordered();
  if (!before.isEmpty()) {
    std::vector<int> placeOf(table_->size(), -1);
    for (int row = 0; row < rowCount(); ++row) placeOf[(*rows_)[static_cast<size_t>(row)]] = row;
    QModelIndexList after;
    for (const QModelIndex& index : before) {
      after << this->index(placeOf[(*old)[static_cast<size_t>(index.row())]], index.column());
    }
    changePersistentIndexList(before, after);
  }
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// A table view counts its rows in int; rows beyond that are exported, never shown.
int WordTableModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !rows_) return 0;
  return static_cast<int>(std::min<size_t>(rows_->size(), std::numeric_limits<int>::max()));
}

int WordTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QString WordTableModel::Text(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return QString();
  const uint32_t index = (*rows_)[static_cast<size_t>(row)];
  // Opening a project replaces the vocabulary a moment before the table is cleared.
  if (table_->rows[index] >= vocabulary_->size()) return QString();
  const WordTableRow shown = table_->Row(*vocabulary_, index);
  switch (column) {
    case kRank:
      return QString::number(shown.rank);
    case kWord:
      return DecodeText(shown.word, encoding_);
    case kFrequency:
      return QString::number(shown.frequency);
    case kPerMillion:
      return QString::fromStdString(PerMillionText(shown.frequency, table_->tokens));
    default:
      return QString::number(shown.range);
  }
}

QVariant WordTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole) return Text(index.row(), index.column());
  if (role == Qt::TextAlignmentRole) {
    const Qt::Alignment side = index.column() == kWord ? Qt::AlignLeft : Qt::AlignRight;
    return QVariant::fromValue(Qt::Alignment(side | Qt::AlignVCenter));
  }
  return {};
}

// A first click on a number's header puts the largest first.
QVariant WordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
    return QAbstractTableModel::headerData(section, orientation, role);
  if (role == Qt::InitialSortOrderRole) {
    return static_cast<int>(section == kRank || section == kWord ? Qt::AscendingOrder : Qt::DescendingOrder);
  }
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  static const std::array<const char*, kColumnCount> kTitles = {"Rank", "Word", "Frequency", "Per million", "Range"};
  return QString::fromLatin1(kTitles[static_cast<size_t>(section)]);
}

}  // namespace wordloom::app
