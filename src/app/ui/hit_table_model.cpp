#include "ui/hit_table_model.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <limits>

#include "base/paths.h"
#include "ui/code_page.h"

namespace wordloom::app {

HitTableModel::HitTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void HitTableModel::Show(std::shared_ptr<const HitStore> store, Rows rows, TextEncoding encoding) {
  beginResetModel();
  store_ = std::move(store);
  rows_ = store_ && rows ? std::move(rows) : nullptr;
  encoding_ = encoding;
  highlight_.clear();
  cache_.clear();
  endResetModel();
}

void HitTableModel::Arrange(Rows rows) {
  if (!store_) return;
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();  // the cache is by the store's rows, which stay as they were
}

void HitTableModel::SetContext(const ContextWindow& window) {
  if (window.unit == window_.unit && window.size == window_.size) return;
  window_ = window;
  cache_.clear();
  if (rowCount() > 0) emit dataChanged(index(0, kLeft), index(rowCount() - 1, kRight));
}

void HitTableModel::SetHighlight(const QString& word) {
  if (word == highlight_) return;
  highlight_ = word;
  if (rowCount() > 0) emit dataChanged(index(0, kLeft), index(rowCount() - 1, kRight));
}

namespace {

// The word's places where it stands whole: no letter or digit touches it on either side.
QList<int> PlacesOf(const QString& word, const QString& text) {
  QList<int> places;
  for (qsizetype at = text.indexOf(word, 0, Qt::CaseInsensitive); at >= 0;
       at = text.indexOf(word, at + 1, Qt::CaseInsensitive)) {
    const qsizetype end = at + word.size();
    if ((at == 0 || !text[at - 1].isLetterOrNumber()) && (end == text.size() || !text[end].isLetterOrNumber())) {
      places << static_cast<int>(at) << static_cast<int>(word.size());
    }
  }
  return places;
}

}  // namespace

// A table view counts its rows in int; rows beyond that are exported, never shown.
int HitTableModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !rows_) return 0;
  return static_cast<int>(std::min<size_t>(rows_->size(), std::numeric_limits<int>::max()));
}

int HitTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

const HitTableModel::Cells& HitTableModel::CellsOf(int64_t storeRow) const {
  if (const Cells* cached = cache_.object(storeRow)) return *cached;
  auto* cells = new Cells;
  Hit hit;
  store_->Read(storeRow, hit);
  const std::string& path = store_->files()[static_cast<size_t>(hit.file)];
  cells->path = PathText(path);
  cells->texts[kNumber] = QString::number(hit.number);
  cells->texts[kFile] = PathText(FileNameOf(path));
  cells->texts[kLine] = QString::number(hit.fileLine);
  cells->texts[kCitation] = DecodeText(hit.citation, encoding_);
  // A Line run's hit is its whole line, shown (as exported) as the left context.
  HitContext context{hit.text, std::string(), std::string()};
  const Status status = store_->kind() == ConcordanceKind::Line ? Status() : store_->Context(storeRow, window_, context);
  if (status.ok()) {
    cells->texts[kLeft] = DecodeText(context.left, encoding_);
    cells->texts[kKey] = DecodeText(context.key, encoding_);
    cells->texts[kRight] = DecodeText(context.right, encoding_);
  } else {
    cells->texts[kKey] = DecodeText(hit.text, encoding_);
    cells->error = PathText(status.message());
  }
  cache_.insert(storeRow, cells);
  return *cells;
}

QString HitTableModel::Text(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return QString();
  return CellsOf(StoreRow(row)).texts[static_cast<size_t>(column)];
}

QVariant HitTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return Text(index.row(), column);
    case Qt::ToolTipRole: {
      const Cells& cells = CellsOf(StoreRow(index.row()));
      if (column == kFile) return cells.path;
      if (column >= kLeft && !cells.error.isEmpty()) return cells.error;
      return {};
    }
    // The left context ends against the key, the right one starts against it.
    case Qt::TextAlignmentRole:
      if (column == kNumber || column == kLine || (column == kLeft && store_->kind() == ConcordanceKind::Kwic)) {
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
      }
      return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::FontRole:
      if (column == kKey) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::ForegroundRole:
      if (column == kKey) return QGuiApplication::palette().color(QPalette::Link);
      return {};
    case kHighlightRole:
      if (highlight_.isEmpty() || (column != kLeft && column != kRight)) return {};
      return QVariant::fromValue(PlacesOf(highlight_, Text(index.row(), column)));
    default:
      return {};
  }
}

QVariant HitTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return QAbstractTableModel::headerData(section, orientation, role);
  static const std::array<const char*, kColumnCount> kTitles = {"#",    "File", "Line", "Citation",
                                                                "Left", "Key",  "Right"};
  return section >= 0 && section < kColumnCount ? QString::fromLatin1(kTitles[static_cast<size_t>(section)])
                                                : QVariant();
}

}  // namespace wordloom::app
