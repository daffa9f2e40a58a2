#include "ui/entry_list_model.h"

#include <limits>

#include "ui/code_page.h"

namespace wordloom::app {

EntryListModel::EntryListModel(const WordLists& lists, const EntryView* view, const TextEncoding& encoding,
                               QObject* parent)
    : QAbstractListModel(parent), lists_(lists), view_(view), encoding_(encoding) {}

int EntryListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(size()); }

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || static_cast<size_t>(index.row()) >= size()) return {};
  const size_t row = static_cast<size_t>(index.row());
  const Entry& entry = view_ ? lists_.At(*view_, row) : lists_.Vocabulary[row];
  if (role == Qt::DisplayRole) return DecodeText(entry.word, encoding_);
  if (role == Qt::UserRole) {
    if (entry.count <= std::numeric_limits<int>::max()) return static_cast<int>(entry.count);
    return static_cast<qlonglong>(entry.count);
  }
  return {};
}

void EntryListModel::Update(const std::function<void()>& change) {
  beginResetModel();
  if (change) change();
  endResetModel();
}

}  // namespace wordloom::app
