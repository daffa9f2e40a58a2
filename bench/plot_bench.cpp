// The dispersion plot of many hits: laying it out and drawing it into a picture, as the Plot
// page does when it shows a search. Usage: wordloom-plot-bench HITS
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "plot/plot_picture.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const int64_t hits = argc > 1 ? std::atoll(argv[1]) : 700000;
  // Sixteen parts of unequal size, the hits spread over them at random.
  wordloom::app::DispersionPlot plot;
  wordloom::app::PlotSeries& series = plot.series.emplace_back();
  series.key = "the";
  std::mt19937 random(7);
  constexpr int kParts = 16;
  for (int p = 0; p < kParts; ++p) {
    wordloom::DispersionPart& part = series.result.parts.emplace_back();
    part.name = "text" + std::to_string(p + 1) + ".txt";
    part.tokens = 200000 + 50000 * p;
  }
  std::uniform_real_distribution<float> place(0, 1);
  for (int64_t h = 0; h < hits; ++h) {
    wordloom::DispersionPart& part = series.result.parts[static_cast<size_t>(h % kParts)];
    part.places.push_back(place(random));
    ++part.hits;
  }
  for (auto& part : series.result.parts) std::sort(part.places.begin(), part.places.end());
  series.result.hits = hits;

  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    const auto start = std::chrono::steady_clock::now();
    const wordloom::app::PlotLayout layout = wordloom::app::LayOutPlot(plot, 1000, wordloom::app::PlotFont());
    QImage image(layout.size, QImage::Format_RGB32);
    QPainter painter(&image);
    wordloom::app::DrawPlot(painter, layout);
    painter.end();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::printf("plot of %lld hits in %d parts, laid out and drawn 1000 pixels wide: %.3f s (best of 5)\n",
              static_cast<long long>(hits), kParts, best);
  return 0;
}
