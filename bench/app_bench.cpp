// The desktop application under load, on the offscreen platform: how long the event loop
// stalls while a scan and a Kwic concordance run, how soon "Stop" returns the window to idle,
// and how soon a concordance's first screen shows.
//
//   wordloom-app-bench TEXT.txt KEYS
//
// Opens TEXT as a new project (its scan), then runs Kwic for KEYS, then runs it again and
// presses Stop a fifth of a second in. A timer in the GUI thread ticks every 5 ms and records
// the longest gap between its ticks during each pass.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "project/project_dialog_names.h"
#include "project/session.h"
#include "shell/main_window.h"
#include "shell/main_window_names.h"
#include "shell/settings.h"
#include "ui/output_file.h"
#include "ui/output_pane.h"
#include "ui/prompts.h"

namespace wordloom::app {
namespace {

// Answers every question "No" and reports messages.
class QuietPrompts : public Prompts {
 public:
  void Message(QWidget*, const QString& text, MessageKind) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
  bool Question(QWidget*, const QString&) override { return false; }
  QString OpenFileName(QWidget*, const QString&) override { return path; }
  QString SaveFileName(QWidget*, const QString&, const QString&) override { return QString(); }
  bool ChoosePrinter(QWidget*, QPrinter&) override { return false; }
  void SetUpPage(QWidget*, QPrinter&) override {}
  void PreviewPrint(QWidget*, QPrinter&, const std::function<void(QPrinter*)>&) override {}
  bool OpenUrl(const QUrl&) override { return false; }
  bool StartProgram(const QString&) override { return false; }
  bool ChooseFont(QWidget*, QFont&) override { return false; }
  QString path;
};

// The longest gap between the ticks of a 5 ms timer, from Reset() on.
class StallMeter : public QObject {
 public:
  StallMeter() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] {
      worst_ = std::max(worst_, sinceTick_.restart());
    });
    timer_.start();
  }
  void Reset() {
    worst_ = 0;
    sinceTick_.start();
  }
  qint64 Worst() const { return std::max(worst_, sinceTick_.elapsed()); }

 private:
  QTimer timer_;
  QElapsedTimer sinceTick_;
  qint64 worst_ = 0;
};

// Runs the event loop until the window is idle again.
void WaitIdle(MainWindow& window) {
  while (window.IsRunning()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace
}  // namespace wordloom::app

int main(int argc, char* argv[]) {
  using namespace wordloom::app;
  namespace names = main_window_names;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: wordloom-app-bench TEXT.txt KEYS\n");
    return 2;
  }
  QTemporaryDir folder;
  qputenv("TEMP", folder.filePath(QStringLiteral("scratch")).toLocal8Bit());
  wordloom::Session session;
  Settings settings(folder.filePath(QStringLiteral("settings.conf")));
  QuietPrompts prompts;
  MainWindow window(session, settings, prompts);
  window.Load();
  window.show();
  StallMeter stall;

  // The scan: the text opened as a new project, OK in its dialog.
  prompts.path = QString::fromLocal8Bit(argv[1]);
  QElapsedTimer clock;
  window.OpenPath(prompts.path);
  auto* ok = window.findChild<QWidget*>(QString::fromLatin1(project_dialog_names::kNewDialog))
                 ->findChild<QPushButton*>(QString::fromLatin1(project_dialog_names::kOk));
  stall.Reset();
  clock.start();
  ok->click();
  WaitIdle(window);
  std::printf("scan: %.2f s, longest event-loop stall %lld ms\n", clock.elapsed() / 1000.0,
              static_cast<long long>(stall.Worst()));

  // Kwic: from the click until the pane shows the output.
  window.findChild<QLineEdit*>(QString::fromLatin1(names::kKeys))->setText(QString::fromLocal8Bit(argv[2]));
  auto* kwic = window.findChild<QPushButton*>(QString::fromLatin1(names::kKwic));
  auto* pane = window.findChild<OutputPane*>(QString::fromLatin1(names::kConcordancePane));
  stall.Reset();
  clock.restart();
  kwic->click();
  WaitIdle(window);
  QApplication::processEvents();  // the first paint
  const auto lines = pane->File() ? pane->File()->LineCount() : 0;
  std::printf("kwic: first screen after %.2f s (%llu lines), longest event-loop stall %lld ms\n",
              clock.elapsed() / 1000.0, static_cast<unsigned long long>(lines), static_cast<long long>(stall.Worst()));

  // Stop a fifth of a second in.
  auto* stop = window.findChild<QPushButton*>(QString::fromLatin1(names::kStop));
  qint64 stopLatency = -1;
  QTimer::singleShot(200, &window, [&] {
    clock.restart();
    stop->click();
  });
  kwic->click();
  WaitIdle(window);
  stopLatency = clock.elapsed();
  std::printf("stop: idle %lld ms after Stop\n", static_cast<long long>(stopLatency));
  window.close();
  return 0;
}
