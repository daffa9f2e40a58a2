// PlotLayout: where every piece of a dispersion plot goes, worked out once so that the screen,
// the PNG, the SVG and the printout show the same picture.
//
// A plot shows one or more searches. Each is a group: a title row ("the" - 1,234 hits, with the
// column heads), then one strip a part: the part's name, a thin box with a mark at each hit's
// relative place in the part, its hits and its rate per million tokens. Groups stack top to
// bottom. With no part to show at all, the picture is the single line "No hits.".
//
// Marks are binned into the box's pixel columns: the hits that fall on one column are one mark,
// so drawing costs at most one line a column whatever the number of hits. Place 0 falls on the
// first column and place 1 on the last. Texts are decoded from the project's encoding here.
// Memory: 16 bytes a marked column of each strip, and the texts; laying out reads each hit once.
#pragma once

#include <QFont>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "scan/scan_rules.h"

namespace wordloom::app {

// One search's dispersion, its parts' places kept (DispersionOptions::places).
struct PlotSeries {
  std::string key;  // the search as typed, in the project's encoding
  DispersionResult result;
};

struct DispersionPlot {
  std::vector<PlotSeries> series;
  TextEncoding encoding = TextEncoding::Windows1252;  // of the keys and the part names
};

// A text at its place: `origin` is the left end of its baseline and `right` its right end. A
// right-aligned text is anchored at `right` in the SVG, so another font keeps the column straight.
struct PlotText {
  enum class Role { Title, Head, Name, Number, Empty };
  QString text;
  QPointF origin;
  qreal right = 0;
  Role role = Role::Name;
  bool alignRight = false;
};

// A column of a box holding hits: the hits firstHit .. firstHit + hits - 1 of the part (its
// places in ascending order, as the dispersion gives them).
struct PlotMark {
  int column = 0;
  int64_t firstHit = 0;
  int64_t hits = 0;
};

struct PlotStrip {
  size_t series = 0;  // the search
  size_t part = 0;    // its part
  QRect box;          // the frame; marks fill the columns inside it
  std::vector<PlotMark> marks;  // by column, ascending

  int Columns() const { return box.width() - 2; }
  // The x of the middle of inner column `column` (0 .. Columns() - 1).
  qreal MarkX(int column) const { return box.left() + 1 + column + 0.5; }
  // The column a place 0..1 falls on.
  int ColumnOf(double place) const;
};

struct PlotLayout {
  QSize size;        // the whole picture
  QFont font;        // names, numbers and heads
  QFont titleFont;   // group titles: `font` in bold
  std::vector<PlotText> texts;
  std::vector<PlotStrip> strips;
};

// The least picture width; narrower requests are widened to it.
inline constexpr int kLeastPlotWidth = 240;

// Lays out `plot` `width` pixels wide (or wider, when the columns need it) in `font`.
PlotLayout LayOutPlot(const DispersionPlot& plot, int width, const QFont& font);

// The font pictures are saved in: the application's family at a fixed pixel size, so a PNG
// and an SVG come out the same size on any screen.
QFont PlotFont();

// The mark nearest to `point` within `slack` pixels, on the strip under it: what a click there
// picks. Empty when there is none.
struct PlotPick {
  size_t strip = 0;
  PlotMark mark;
};
std::optional<PlotPick> MarkAt(const PlotLayout& layout, QPointF point, int slack = 2);

}  // namespace wordloom::app
