// plot: the dispersion plot of a search, drawn as a PNG or SVG picture. Drawing needs Qt's
// text rendering, which a build without the desktop application leaves out, and which only
// wordloom-cli-plot loads.
#include <unistd.h>

#include <cerrno>

#include "analysis/analysis.h"
#include "base/paths.h"
#include "cli/command.h"

#if WORDLOOM_HAS_PLOT
#include <QGuiApplication>
#include <cstdio>

#include "plot/plot_picture.h"
#endif

namespace wordloom::cli {

#if WORDLOOM_HAS_PLOT

// Wide enough for a long part name and a strip that shows where the hits fall.
constexpr int kPictureWidth = 1000;

int RunPlotCommand(const Arguments& args, const ScratchFolder& scratch, Output& output) {
  Session session;
  Status status = LoadSource(args, scratch, session, output);
  std::unique_ptr<NodeSearch> search;
  if (status.ok()) status = MakeSearch(args, session, search);
  if (!status.ok()) return Fail(output, status);
  app::DispersionPlot plot;
  plot.encoding = session.project.rules.encoding;
  app::PlotSeries& series = plot.series.emplace_back();
  series.key = SearchQuery(args).keys;
  DispersionOptions options;
  options.letter = args.analysis.letter;
  options.places = true;
  status = Dispersion(session, *search, options, series.result);
  if (!status.ok()) return Fail(output, status);

  // Fonts and pictures need a GUI application, which needs no display offscreen; its notes
  // about the desktop's settings are no concern of the tool's output.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
  });
  int argc = 1;
  char name[] = "wordloom-cli";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  const std::string& path = args.analysis.out;
  status = EndsWithNoCase(path, ".svg") ? app::SavePlotSvg(plot, path, kPictureWidth)
                                        : app::SavePlotPng(plot, path, kPictureWidth);
  if (!status.ok()) return Fail(output, status);
  output.err += std::to_string(series.result.hits) + (series.result.hits == 1 ? " hit" : " hits") + " in " +
                std::to_string(series.result.parts.size()) + (series.result.parts.size() == 1 ? " part" : " parts") +
                ", drawn in " + path + "\n";
  return 0;
}

bool HandOverPlot(char**, std::string&) { return false; }

#else

int RunPlotCommand(const Arguments&, const ScratchFolder&, Output& output) {
  return Fail(output, Status::Error("This wordloom-cli was built without the desktop application, which draws plots."));
}

#if WORDLOOM_PLOT_PROGRAM
bool HandOverPlot(char** argv, std::string& problem) {
  // Never a program of that name in the working folder.
  std::string folder;
  if (!ExecutableFolder(folder)) {
    problem = "Could not find wordloom-cli-plot, which draws plots: the system does not say where wordloom-cli is.";
    return true;
  }
  const std::string program = folder + "/wordloom-cli-plot";
  ::execv(program.c_str(), argv);
  problem = "Could not start " + program + ", which draws plots: " + ErrnoText(errno) + ".";
  return true;
}
#else
bool HandOverPlot(char**, std::string&) { return false; }
#endif

#endif

}  // namespace wordloom::cli
