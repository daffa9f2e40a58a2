#include "ui/entry_list_model.h"

#include <limits>

#include "ui/code_page.h"

namespace wordloom::app {

EntryListModel::EntryListModel(const EntryList& list, QObject* parent) : QAbstractListModel(parent), list_(list) {}

int EntryListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.size());
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || static_cast<size_t>(index.row()) >= list_.size()) return {};
  const Entry& entry = list_[static_cast<size_t>(index.row())];
  if (role == Qt::DisplayRole) return Decode1252(entry.word);
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
