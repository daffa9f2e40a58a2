// AnalysisTableModel: the table of an analysis's rows (collocates, n-grams, key words), for a
// QTableView.
//
// A page names its columns once (a title and what kind of column it is); the rows come from
// an AnalysisRows over the analysis's committed result, which the model shares and never
// copies. The rows are shown in the order the analysis listed them, or in an order of the
// model's own: a click on a header sorts a vector of row indexes, as the word table does. A
// number column sorts on its value (first the largest, NaN last either way), a word column
// in the project's order, the rank column in the order listed; ties keep the listed order.
// Texts are made when the view asks for them, from the vocabulary the result was made from:
// the caller keeps that vocabulary unchanged while the model shows it, and clears the model
// before it changes.
// Memory: 4 bytes a row (the order shown), and while sorting 16 bytes a row.
#pragma once

#include <QAbstractTableModel>
#include <cstdint>
#include <memory>
#include <vector>

namespace wordloom::app {

enum class ColumnKind { Rank, Word, Number };

struct AnalysisColumn {
  const char* title;
  ColumnKind kind;
};

// An analysis's rows as the table reads them; row indexes are in the order listed.
class AnalysisRows {
 public:
  virtual ~AnalysisRows() = default;
  virtual size_t size() const = 0;
  // The text of a Word or Number column.
  virtual QString Text(size_t row, int column) const = 0;
  // The value a Number column sorts by.
  virtual double Number(size_t row, int column) const = 0;
  // True when row a's words come before row b's in the project's order.
  virtual bool WordBefore(size_t a, size_t b) const = 0;
  // A row's text colour, when it has one of its own.
  virtual QVariant Foreground(size_t row) const { (void)row; return {}; }
};

class AnalysisTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // Indexes into the rows, in the order shown.
  using Order = std::shared_ptr<const std::vector<uint32_t>>;

  AnalysisTableModel(std::vector<AnalysisColumn> columns, QObject* parent = nullptr);

  // Shows every row of `rows` (null: none), in the order last chosen.
  void Show(std::shared_ptr<const AnalysisRows> rows);
  void clear() { Show(nullptr); }
  const std::shared_ptr<const AnalysisRows>& rows() const { return rows_; }
  // The listed row shown in the table's row `row`.
  size_t ListedRow(int row) const { return (*order_)[static_cast<size_t>(row)]; }
  // A cell's text as the table shows it.
  QString Text(int row, int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 private:
  Order Ordered() const;

  std::vector<AnalysisColumn> columns_;
  std::shared_ptr<const AnalysisRows> rows_;
  Order order_;
  int sortColumn_ = 0;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace wordloom::app
