// WordTableModel: the Word List table, for a QTableView.
//
// The columns are a row's rank in the table's list, its word, its frequency, its frequency per
// million tokens and its range. The model shows the table's rows, or those a filter kept, in
// an order of its own: sorting by a column sorts a vector of row indexes on the column's
// number, the rank breaking ties, so a million rows sort in a fraction of a second; the word
// column sorts by rank, as ranks follow the project's collation. Texts are made when the view
// asks for them, from the vocabulary the table was made from: the caller keeps that vocabulary
// unchanged while the model shows it, and clears the model before it changes.
// Memory: 4 bytes a shown row (the order shown, shared with an export that writes it), and
// while sorting 16 bytes a row; the table itself is shared.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <memory>
#include <vector>

#include "lists/word_table.h"
#include "scan/scan_rules.h"

namespace wordloom::app {

class WordTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Column { kRank, kWord, kFrequency, kPerMillion, kRange, kColumnCount };
  // Indexes into the table, in the order shown.
  using Rows = std::shared_ptr<const std::vector<uint32_t>>;

  explicit WordTableModel(QObject* parent = nullptr);

  // Shows every row of `table`, made from `vocabulary`, whose words are in `encoding`, in the
  // order last chosen.
  void Show(std::shared_ptr<const WordTable> table, const EntryList* vocabulary, TextEncoding encoding);
  void clear() { Show(nullptr, nullptr, TextEncoding::Windows1252); }
  // Shows only the rows `kept` (indexes into the table, in its order), or every row when null.
  void Keep(Rows kept);

  const std::shared_ptr<const WordTable>& table() const { return table_; }
  const EntryList* vocabulary() const { return vocabulary_; }
  const Rows& rows() const { return rows_; }
  // A cell's text as the table shows it.
  QString Text(int row, int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 private:
  // The kept rows in the order chosen.
  Rows Ordered() const;

  std::shared_ptr<const WordTable> table_;
  const EntryList* vocabulary_ = nullptr;
  TextEncoding encoding_ = TextEncoding::Windows1252;
  Rows kept_;  // null: every row
  Rows rows_;
  int sortColumn_ = kRank;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace wordloom::app
