// A list model over one of the engine's entry lists: the word (decoded from Windows-1252) as
// the display text and its frequency as the item data.
//
// The model copies nothing: it reads the list on demand, so a view over 200,000 words costs
// only the rows it shows. Whoever changes the list does it inside Update(), which resets the
// model around the change.
#pragma once

#include <QAbstractListModel>
#include <functional>

#include "scan/word_lists.h"

namespace wordloom::app {

class EntryListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  EntryListModel(const EntryList& list, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  // Qt::DisplayRole: the word; Qt::UserRole: its frequency (an int when it fits one).
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Runs `change` (which may alter the list in any way) inside a model reset.
  void Update(const std::function<void()>& change = {});

 private:
  const EntryList& list_;
};

}  // namespace wordloom::app
