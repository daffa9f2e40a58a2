#include "ui/highlight_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <limits>

#include "ui/hit_table_model.h"

namespace wordloom::app {

HighlightDelegate::HighlightDelegate(Qt::TextElideMode mode, QObject* parent)
    : QStyledItemDelegate(parent), mode_(mode) {}

void HighlightDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  option->textElideMode = mode_;
}

void HighlightDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QList<int> places = index.data(HitTableModel::kHighlightRole).value<QList<int>>();
  if (places.isEmpty()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem cell(option);
  initStyleOption(&cell, index);
  const QString text = cell.text;
  cell.text.clear();  // the style draws the background, the selection and the focus
  const QWidget* widget = cell.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget).adjusted(margin, 0, -margin, 0);

  // Cut short as the plain cells are: "…" and the end of the text, or its start and "…".
  const QFontMetrics metrics(cell.font);
  QString shown = text;
  qsizetype shift = 0;
  qsizetype visibleFrom = 0, visibleTo = text.size();
  if (metrics.horizontalAdvance(text) > area.width()) {
    shown = metrics.elidedText(text, mode_, area.width());
    if (mode_ == Qt::ElideLeft) {
      shift = shown.size() - text.size();
      visibleFrom = 1;
      visibleTo = shown.size();
    } else {
      visibleTo = shown.size() - 1;
    }
  }
  const bool selected = cell.state & QStyle::State_Selected;
  QTextCharFormat marked;
  marked.setFontWeight(QFont::Bold);
  if (!selected) marked.setForeground(QColor(0xa8, 0x3c, 0x00));
  QList<QTextLayout::FormatRange> formats;
  for (qsizetype i = 0; i + 1 < places.size(); i += 2) {
    const qsizetype start = std::max(visibleFrom, places[i] + shift);
    const qsizetype end = std::min(visibleTo, places[i] + shift + places[i + 1]);
    if (start < end) formats.append({static_cast<int>(start), static_cast<int>(end - start), marked});
  }

  QTextLayout layout(shown, cell.font);
  layout.setFormats(formats);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  line.setLineWidth(std::numeric_limits<int>::max() / 4);
  layout.endLayout();
  const qreal width = line.naturalTextWidth();
  const qreal x = cell.displayAlignment & Qt::AlignRight ? area.right() + 1 - width : area.left();
  const qreal y = area.top() + (area.height() - line.height()) / 2;
  painter->save();
  painter->setClipRect(area);
  painter->setPen(cell.palette.color(cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                                     selected ? QPalette::HighlightedText : QPalette::Text));
  layout.draw(painter, QPointF(x, y));
  painter->restore();
}

}  // namespace wordloom::app
