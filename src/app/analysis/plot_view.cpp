#include "analysis/plot_view.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <vector>

#include "plot/plot_picture.h"
#include "ui/code_page.h"

namespace wordloom::app {
namespace {

QString HitsText(int64_t hits) {
  static const QLocale english(QLocale::English, QLocale::UnitedStates);
  return english.toString(static_cast<qlonglong>(hits)) + QLatin1String(hits == 1 ? " hit" : " hits");
}

// A run of the picture's height that holds texts or strips; a page may break only between
// two. A title and its heads keep with the row after them.
struct Band {
  qreal top = 0;
  qreal bottom = 0;
  bool keepWithNext = false;
};

std::vector<Band> BandsOf(const PlotLayout& layout) {
  std::vector<Band> bands;
  const QFontMetricsF text(layout.font);
  const QFontMetricsF title(layout.titleFont);
  for (const PlotText& shown : layout.texts) {
    const QFontMetricsF& metrics = shown.role == PlotText::Role::Title ? title : text;
    const bool heading = shown.role == PlotText::Role::Title || shown.role == PlotText::Role::Head;
    bands.push_back({shown.origin.y() - metrics.ascent(), shown.origin.y() + metrics.descent(), heading});
  }
  for (const PlotStrip& strip : layout.strips) {
    bands.push_back({static_cast<qreal>(strip.box.top()), static_cast<qreal>(strip.box.bottom() + 1), false});
  }
  std::sort(bands.begin(), bands.end(), [](const Band& a, const Band& b) { return a.top < b.top; });
  std::vector<Band> merged;
  for (const Band& band : bands) {
    if (!merged.empty() && band.top < merged.back().bottom) {
      merged.back().bottom = std::max(merged.back().bottom, band.bottom);
      merged.back().keepWithNext = merged.back().keepWithNext || band.keepWithNext;
    } else {
      merged.push_back(band);
    }
  }
  return merged;
}

// Where each page starts, in the layout's pixels, for pages `pageHeight` of them tall.
std::vector<qreal> PageTops(const PlotLayout& layout, qreal pageHeight) {
  const std::vector<Band> bands = BandsOf(layout);
  std::vector<qreal> tops{0};
  for (size_t b = 0; b < bands.size(); ++b) {
    if (bands[b].bottom - tops.back() <= pageHeight) continue;
    // The page ends before this band, or before the headings that lead up to it.
    size_t first = b;
    while (first > 0 && bands[first - 1].keepWithNext && bands[first - 1].top > tops.back()) --first;
    if (bands[first].top <= tops.back()) first = b;
    if (bands[first].top > tops.back()) tops.push_back(bands[first].top);
  }
  return tops;
}

}  // namespace

PlotView::PlotView(QWidget* parent) : QAbstractScrollArea(parent) {
  viewport()->setAutoFillBackground(true);
}

void PlotView::SetPlot(std::shared_ptr<const DispersionPlot> plot) {
  plot_ = std::move(plot);
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  LayOut();
}

void PlotView::LayOut() {
  laidOutWidth_ = viewport()->width();
  layout_ = plot_ ? LayOutPlot(*plot_, laidOutWidth_, font()) : PlotLayout{};
  UpdateScrollBars();
}

void PlotView::UpdateScrollBars() {
  const QSize shown = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, layout_.size.width() - shown.width()));
  horizontalScrollBar()->setPageStep(shown.width());
  verticalScrollBar()->setRange(0, std::max(0, layout_.size.height() - shown.height()));
  verticalScrollBar()->setPageStep(shown.height());
  verticalScrollBar()->setSingleStep(std::max(1, fontMetrics().height()));
  viewport()->update();
}

QPoint PlotView::ViewportPoint(QPointF layoutPoint) const {
  return QPoint(static_cast<int>(layoutPoint.x()) - horizontalScrollBar()->value(),
                static_cast<int>(layoutPoint.y()) - verticalScrollBar()->value());
}

std::optional<PlotPick> PlotView::MarkAtPoint(QPoint point) const {
  if (!plot_) return std::nullopt;
  return MarkAt(layout_, QPointF(point + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value())) +
                             QPointF(0.5, 0.5));
}

QString PlotView::ToolTipAt(QPoint point) const {
  const std::optional<PlotPick> pick = MarkAtPoint(point);
  if (!pick) return QString();
  const PlotStrip& strip = layout_.strips[pick->strip];
  const std::string& name = plot_->series[strip.series].result.parts[strip.part].name;
  const QString part = name.empty() ? QStringLiteral("(none)") : DecodeText(name, plot_->encoding);
  return QStringLiteral("%1: %2").arg(part, HitsText(pick->mark.hits));
}

void PlotView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  if (!plot_) return;
  const QPoint offset(horizontalScrollBar()->value(), verticalScrollBar()->value());
  painter.translate(-offset);
  // DrawPlot draws only what falls in the clip.
  painter.setClipRect(QRect(offset, viewport()->size()));
  DrawPlot(painter, layout_);
}

void PlotView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (viewport()->width() != laidOutWidth_) {
    LayOut();
  } else {
    UpdateScrollBars();
  }
}

void PlotView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
  const std::optional<PlotPick> pick = MarkAtPoint(event->position().toPoint());
  if (!pick) return;
  const PlotStrip& strip = layout_.strips[pick->strip];
  emit markClicked(strip.series, strip.part, pick->mark.firstHit);
}

bool PlotView::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QAbstractScrollArea::viewportEvent(event);
  auto* help = static_cast<QHelpEvent*>(event);
  const QString tip = ToolTipAt(help->pos());
  if (tip.isEmpty()) {
    QToolTip::hideText();
    event->ignore();
  } else {
    QToolTip::showText(help->globalPos(), tip, viewport());
  }
  return true;
}

void PlotView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) LayOut();
}

void PlotView::scrollContentsBy(int, int) { viewport()->update(); }

bool PrintDispersionPlot(const DispersionPlot& plot, QPrinter& printer, QString& error) {
  const PlotLayout layout = LayOutPlot(plot, kPlotPictureWidth, PlotFont());
  QPainter painter;
  if (!painter.begin(&printer)) {
    error = QStringLiteral("Could not start the printer.");
    return false;
  }
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  const qreal scale = static_cast<qreal>(page.width()) / layout.size.width();
  const qreal pageHeight = page.height() / scale;
  const std::vector<qreal> tops = PageTops(layout, pageHeight);
  for (size_t p = 0; p < tops.size(); ++p) {
    if (p > 0) printer.newPage();
    const qreal bottom = p + 1 < tops.size() ? tops[p + 1] : layout.size.height();
    painter.save();
    painter.scale(scale, scale);
    painter.translate(0, -tops[p]);
    painter.setClipRect(QRectF(0, tops[p], layout.size.width(), bottom - tops[p]));
    DrawPlot(painter, layout);
    painter.restore();
  }
  painter.end();
  return true;
}

}  // namespace wordloom::app
