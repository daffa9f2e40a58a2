// HitTableModel: a table over a store of hits in the order of an arrangement, for a QTableView.
//
// The columns are the hit's gathering number, its file's name (the full path as the tool tip),
// its line within the file, its citation, and its left context, key and right context under
// the model's context window. Nothing is copied out of the store: a row is read when the view
// asks for it, and the texts of the rows shown last are kept in a small cache, so a million
// hits scroll as smoothly as ten and no context is read for a row that is never shown. A
// context that cannot be read shows the reason as its tool tip. A Line run shows its whole line
// as the left context, as it is exported. A second word may be highlighted in the contexts:
// the model gives its places, and the view's delegate draws them.
// Memory: the arrangement (8 bytes a row, shared with the passes that read it) and the texts
// of at most kCachedRows rows.
#pragma once

#include <QAbstractTableModel>
#include <QCache>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "hits/hits.h"
#include "scan/scan_rules.h"

namespace wordloom::app {

class HitTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kNumber, kFile, kLine, kCitation, kLeft, kKey, kRight, kColumnCount };
  using Rows = std::shared_ptr<const std::vector<int64_t>>;
  static constexpr int kCachedRows = 2000;
  // The data role of a context's places of the highlighted word: (start, length) pairs of
  // its text, as a QList<int>.
  static constexpr int kHighlightRole = Qt::UserRole + 1;

  explicit HitTableModel(QObject* parent = nullptr);

  // Shows `rows` of `store` (indexes into it, in the order shown); its texts are in `encoding`.
  void Show(std::shared_ptr<const HitStore> store, Rows rows, TextEncoding encoding);
  TextEncoding encoding() const { return encoding_; }
  // Shows another arrangement of the same store.
  void Arrange(Rows rows);
  void clear() { Show(nullptr, nullptr, TextEncoding::Windows1252); }
  // Cuts the contexts anew: every row's contexts change at once.
  void SetContext(const ContextWindow& window);
  // Marks `word`, besides the key, wherever it stands whole in the contexts (a collocate
  // beside its node); empty marks nothing. Show clears it.
  void SetHighlight(const QString& word);
  const QString& highlight() const { return highlight_; }

  const std::shared_ptr<const HitStore>& store() const { return store_; }
  const Rows& rows() const { return rows_; }
  const ContextWindow& context() const { return window_; }
  // The store's row shown in row `row` of the table.
  int64_t StoreRow(int row) const { return (*rows_)[static_cast<size_t>(row)]; }
  // A cell's text as the table shows it.
  QString Text(int row, int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  struct Cells {
    std::array<QString, kColumnCount> texts;
    QString path;   // the file's full path
    QString error;  // why the contexts could not be read
  };
  // The texts of the store's row `storeRow`, from the cache or read now.
  const Cells& CellsOf(int64_t storeRow) const;

  std::shared_ptr<const HitStore> store_;
  Rows rows_;
  TextEncoding encoding_ = TextEncoding::Windows1252;
  ContextWindow window_;
  QString highlight_;
  mutable QCache<int64_t, Cells> cache_{kCachedRows};
};

}  // namespace wordloom::app
