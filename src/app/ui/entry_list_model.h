// A list model over the engine's word lists: the vocabulary, or a view of it such as the key
// words; the word (decoded by the project's encoding) as the display text and its frequency as
// the item data.
//
// The model copies nothing: it reads the lists on demand, so a view over 200,000 words costs
// only the rows it shows. Whoever changes the lists does it inside Update(), which resets the
// model around the change.
#pragma once

#include <QAbstractListModel>
#include <functional>

#include "scan/scan_rules.h"
#include "scan/word_lists.h"

namespace wordloom::app {

class EntryListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  // The rows of `view` (one of the lists of `lists`), or of the vocabulary itself when it is null;
  // the words are in `encoding`, read at each use (the project's, which a new project changes).
  EntryListModel(const WordLists& lists, const EntryView* view, const TextEncoding& encoding,
                 QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  // Qt::DisplayRole: the word; Qt::UserRole: its frequency (an int when it fits one).
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // Runs `change` (which may alter the lists in any way) inside a model reset.
  void Update(const std::function<void()>& change = {});

 private:
  size_t size() const { return view_ ? view_->size() : lists_.Vocabulary.size(); }

  const WordLists& lists_;
  const EntryView* view_;
  const TextEncoding& encoding_;
};

}  // namespace wordloom::app
