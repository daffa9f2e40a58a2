#include "plot/plot_layout.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "ui/code_page.h"

namespace wordloom::app {
namespace {

constexpr int kPictureFontPixels = 13;

QString Count(int64_t count) {
  static const QLocale english(QLocale::English, QLocale::UnitedStates);
  return english.toString(static_cast<qlonglong>(count));
}

QString HitsText(int64_t hits) { return Count(hits) + QLatin1String(hits == 1 ? " hit" : " hits"); }

QString PerMillion(const DispersionPart& part) {
  const double rate = part.tokens > 0 ? static_cast<double>(part.hits) * 1e6 / static_cast<double>(part.tokens)
                                      : kNoMeasure;
  return QString::fromStdString(FormatMeasure(rate));
}

// A part before any value of its letter has the empty name; the picture says so.
QString PartName(const std::string& name, TextEncoding encoding) {
  return name.empty() ? QStringLiteral("(none)") : DecodeText(name, encoding);
}

// The marks of `places` in `strip`'s columns: one a column holding hits.
void BinPlaces(const std::vector<float>& places, PlotStrip& strip) {
  const int columns = std::max(strip.Columns(), 1);
  std::vector<int64_t> counts(static_cast<size_t>(columns), 0);
  std::vector<int64_t> first(static_cast<size_t>(columns), -1);
  for (size_t hit = 0; hit < places.size(); ++hit) {
    const auto column = static_cast<size_t>(strip.ColumnOf(places[hit]));
    if (counts[column]++ == 0) first[column] = static_cast<int64_t>(hit);
  }
  for (int column = 0; column < columns; ++column) {
    const auto c = static_cast<size_t>(column);
    if (counts[c] > 0) strip.marks.push_back(PlotMark{column, first[c], counts[c]});
  }
}

// The sizes every row and column is cut from, in proportion to the font.
struct Metrics {
  explicit Metrics(const QFont& font, const QFont& titleFont)
      : text(font), title(titleFont), line(std::ceil(text.height())), margin(std::round(line * 0.75)),
        gap(std::round(line * 0.75)), row(std::ceil(line * 1.35)), box(std::round(line * 0.7)),
        titleRow(std::ceil(title.height() * 1.4)), groupGap(std::round(line * 0.6)), leastStrip(line * 8) {}
  QFontMetricsF text, title;
  qreal line, margin, gap, row, box, titleRow, groupGap, leastStrip;
};

// The widths of the name, hits and rate columns over every part shown.
struct Columns {
  qreal name = 0, hits = 0, rate = 0;
};

Columns MeasureColumns(const DispersionPlot& plot, const Metrics& m) {
  Columns widths;
  widths.hits = m.text.horizontalAdvance(QStringLiteral("hits"));
  widths.rate = m.text.horizontalAdvance(QStringLiteral("per million"));
  for (const PlotSeries& series : plot.series) {
    for (const DispersionPart& part : series.result.parts) {
      widths.name = std::max(widths.name, m.text.horizontalAdvance(PartName(part.name, plot.encoding)));
      widths.hits = std::max(widths.hits, m.text.horizontalAdvance(Count(part.hits)));
      widths.rate = std::max(widths.rate, m.text.horizontalAdvance(PerMillion(part)));
    }
  }
  widths.name = std::ceil(widths.name);
  widths.hits = std::ceil(widths.hits);
  widths.rate = std::ceil(widths.rate);
  return widths;
}

bool HasParts(const DispersionPlot& plot) {
  return std::any_of(plot.series.begin(), plot.series.end(),
                     [](const PlotSeries& series) { return !series.result.parts.empty(); });
}

}  // namespace

int PlotStrip::ColumnOf(double place) const {
  const int columns = std::max(Columns(), 1);
  if (!(place > 0)) return 0;  // NaN too
  return std::min(static_cast<int>(place * columns), columns - 1);
}

QFont PlotFont() {
  QFont font = QGuiApplication::font();
  font.setFamily(QFontInfo(font).family());
  font.setPixelSize(kPictureFontPixels);
  return font;
}

PlotLayout LayOutPlot(const DispersionPlot& plot, int width, const QFont& font) {
  PlotLayout layout;
  layout.font = font;
  layout.titleFont = font;
  layout.titleFont.setBold(true);
  const Metrics m(layout.font, layout.titleFont);
  width = std::max(width, kLeastPlotWidth);
  const auto textAt = [&](QString text, qreal x, qreal top, qreal rowHeight, PlotText::Role role, bool right = false) {
    const QFontMetricsF& metrics = role == PlotText::Role::Title ? m.title : m.text;
    // Whole-pixel baselines keep the glyphs sharp.
    const qreal baseline = std::round(top + (rowHeight - metrics.height()) / 2 + metrics.ascent());
    const qreal advance = metrics.horizontalAdvance(text);
    const qreal left = right ? x - advance : x;
    layout.texts.push_back(PlotText{std::move(text), QPointF(left, baseline), left + advance, role, right});
  };

  if (!HasParts(plot)) {
    textAt(QStringLiteral("No hits."), m.margin, m.margin, m.line, PlotText::Role::Empty);
    layout.size = QSize(width, static_cast<int>(2 * m.margin + m.line));
    return layout;
  }

  // Columns, left to right: name, box, hits, rate. The names give way first when the box would
  // be too narrow; then the picture widens.
  Columns widths = MeasureColumns(plot, m);
  const qreal numbers = widths.hits + m.gap + widths.rate;
  widths.name = std::min(widths.name, std::round(width * 0.4));
  const qreal leastName = std::min(widths.name, m.text.horizontalAdvance(QStringLiteral("MMMM\u2026")));
  const qreal fixed = 2 * m.margin + 2 * m.gap + numbers;
  widths.name = std::max(leastName, std::min(widths.name, width - fixed - m.leastStrip));
  width = std::max(width, static_cast<int>(std::ceil(fixed + widths.name + m.leastStrip)));
  const int boxLeft = static_cast<int>(m.margin + widths.name + m.gap);
  const int boxRight = static_cast<int>(width - m.margin - numbers - m.gap);
  const qreal hitsRight = boxRight + m.gap + widths.hits;
  const qreal rateRight = width - m.margin;

  qreal top = m.margin;
  for (size_t s = 0; s < plot.series.size(); ++s) {
    const PlotSeries& series = plot.series[s];
    if (s > 0) top += m.groupGap;
    const QString title =
        QStringLiteral("\"%1\" - %2").arg(DecodeText(series.key, plot.encoding), HitsText(series.result.hits));
    textAt(m.title.elidedText(title, Qt::ElideRight, boxRight - m.margin), m.margin, top, m.titleRow,
           PlotText::Role::Title);
    textAt(QStringLiteral("hits"), hitsRight, top, m.titleRow, PlotText::Role::Head, true);
    textAt(QStringLiteral("per million"), rateRight, top, m.titleRow, PlotText::Role::Head, true);
    top += m.titleRow;
    if (series.result.parts.empty()) {
      textAt(QStringLiteral("No hits."), m.margin, top, m.row, PlotText::Role::Empty);
      top += m.row;
    }
    for (size_t p = 0; p < series.result.parts.size(); ++p) {
      const DispersionPart& part = series.result.parts[p];
      const QString name = m.text.elidedText(PartName(part.name, plot.encoding), Qt::ElideMiddle, widths.name);
      textAt(name, m.margin, top, m.row, PlotText::Role::Name);
      textAt(Count(part.hits), hitsRight, top, m.row, PlotText::Role::Number, true);
      textAt(PerMillion(part), rateRight, top, m.row, PlotText::Role::Number, true);
      PlotStrip strip;
      strip.series = s;
      strip.part = p;
      const int boxTop = static_cast<int>(std::round(top + (m.row - m.box) / 2));
      strip.box = QRect(boxLeft, boxTop, boxRight - boxLeft, static_cast<int>(m.box));
      BinPlaces(part.places, strip);
      layout.strips.push_back(std::move(strip));
      top += m.row;
    }
  }
  layout.size = QSize(width, static_cast<int>(std::ceil(top + m.margin)));
  return layout;
}

std::optional<PlotPick> MarkAt(const PlotLayout& layout, QPointF point, int slack) {
  for (size_t s = 0; s < layout.strips.size(); ++s) {
    const PlotStrip& strip = layout.strips[s];
    if (!QRectF(strip.box).adjusted(-slack, -slack, slack, slack).contains(point)) continue;
    const int column = static_cast<int>(std::floor(point.x() - strip.box.left() - 1));
    const auto near = std::lower_bound(strip.marks.begin(), strip.marks.end(), column - slack,
                                       [](const PlotMark& mark, int least) { return mark.column < least; });
    std::optional<PlotPick> best;
    for (auto mark = near; mark != strip.marks.end() && mark->column <= column + slack; ++mark) {
      if (!best || std::abs(mark->column - column) < std::abs(best->mark.column - column)) best = PlotPick{s, *mark};
    }
    return best;
  }
  return std::nullopt;
}

}  // namespace wordloom::app
