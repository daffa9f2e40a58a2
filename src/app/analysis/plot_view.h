// PlotView: the dispersion plot on screen, laid out to the view's width and scrolled when it
// is taller (or, at its least width, wider) than the view. A click on a mark names the
// search, the part and the first hit under it; a mark's tool tip gives its part and hits.
//
// The view only draws a committed plot it shares; it lays the plot out again when it is
// given another one, when its width changes and when its font does. Laying out reads each hit
// once; painting draws only the strips in sight. Printing lays the plot out as it is saved
// and scales it to the paper's width, breaking pages only between rows.
// Memory: the layout (plot_layout.h) beside the shared plot.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <memory>
#include <optional>

#include "plot/plot_layout.h"

class QPrinter;

namespace wordloom::app {

// The width plots are saved and printed at, as wordloom-cli draws them.
inline constexpr int kPlotPictureWidth = 1000;

class PlotView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit PlotView(QWidget* parent = nullptr);

  // Shows `plot`; null shows nothing.
  void SetPlot(std::shared_ptr<const DispersionPlot> plot);
  const PlotLayout& layout() const { return layout_; }
  // The mark at `point` of the viewport, as a click there picks it.
  std::optional<PlotPick> MarkAtPoint(QPoint point) const;
  // Where a layout's point stands in the viewport, as the view is scrolled.
  QPoint ViewportPoint(QPointF layoutPoint) const;
  // The tool tip at `point` of the viewport: "PART: N hits" on a mark, else empty.
  QString ToolTipAt(QPoint point) const;

 signals:
  // A click on a mark: the mark's first hit, `firstHit` (0-based, in text order) of the part
  // `part` of the plot's search `series`.
  void markClicked(size_t series, size_t part, qint64 firstHit);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void LayOut();
  void UpdateScrollBars();

  std::shared_ptr<const DispersionPlot> plot_;
  PlotLayout layout_;
  int laidOutWidth_ = -1;  // the width asked of the layout, which may have come out wider
};

// Prints `plot` at kPlotPictureWidth in PlotFont(), scaled to the width of `printer`'s page;
// false with the message to show when the printer cannot be started.
bool PrintDispersionPlot(const DispersionPlot& plot, QPrinter& printer, QString& error);

}  // namespace wordloom::app
