// The dispersion plot as a picture: drawn with a QPainter (the screen, a PNG, a printout) or
// written as SVG text, all from one PlotLayout (plot_layout.h).
//
// The picture is black on white whatever the widget's palette, so it looks the same on screen,
// on paper and in a file. Drawing costs one line a marked pixel column, not one a hit, and
// skips the strips outside the painter's clip. Saving writes a temporary file beside the
// target and renames it over the target only once it is whole (base/atomic_file.h): a failed
// save leaves any earlier file as it was, and the message names the file and the reason. An SVG
// is UTF-8, its texts escaped, in the layout's font family and pixel size.
// Memory: the layout; a PNG also holds the image (4 bytes a pixel) and its encoded bytes.
#pragma once

#include <QPainter>
#include <string>

#include "base/status.h"
#include "plot/plot_layout.h"

namespace wordloom::app {

// Draws `layout` with its top left corner at the painter's origin.
void DrawPlot(QPainter& painter, const PlotLayout& layout);

// The SVG document of `layout`.
std::string PlotSvg(const PlotLayout& layout);

// Saves `plot`, `width` pixels wide in PlotFont(), as a PNG or an SVG file at `path` (bytes in
// the system's encoding); fails with "Could not save the plot to PATH: REASON.".
[[nodiscard]] Status SavePlotPng(const DispersionPlot& plot, const std::string& path, int width);
[[nodiscard]] Status SavePlotSvg(const DispersionPlot& plot, const std::string& path, int width);

}  // namespace wordloom::app
