#include "ui/elided_label.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace wordloom::app {

void ElidedLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = contentsRect();
  const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
  style()->drawItemText(&painter, area, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), shown,
                        foregroundRole());
}

bool ElidedLabel::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) setToolTip(text());
  return QLabel::event(event);
}

}  // namespace wordloom::app
