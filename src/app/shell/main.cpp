// The program's start: the splash window, the main window with its settings, then the event loop.
//
// `wordloom [FILE]` opens FILE (a project or a text file) once the window is up. Two options
// serve demonstrations and screenshots: `--kwic KEYS` runs a Kwic concordance of KEYS after
// opening, and `--screenshot PNG` then saves a picture of the window and ends the program.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include "base/standard_streams.h"
#include "project/project_actions.h"
#include "project/session.h"
#include "shell/app_info.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/small_windows.h"
#include "ui/code_page.h"
#include "ui/prompts.h"

int main(int argc, char* argv[]) {
  using namespace wordloom::app;
  wordloom::GuardStandardStreams();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
  QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/wordloom.png")));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Wordloom, a concordance program"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A project (.wlm) or a text file to open."));
  const QCommandLineOption kwic(QStringLiteral("kwic"), QStringLiteral("Runs a Kwic concordance of <keys>."),
                                QStringLiteral("keys"));
  const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                      QStringLiteral("Saves a picture of the window to <png> and ends."),
                                      QStringLiteral("png"));
  parser.addOptions({kwic, screenshot});
  parser.process(application);

  SplashWindow splash;
  splash.show();
  QApplication::processEvents();

  wordloom::Session session;
  Settings settings;
  DialogPrompts prompts;
  MainWindow window(session, settings, prompts);
  window.Load();
  splash.close();
  window.show();

  // The start-up actions run inside the event loop, so that closing the window during them
  // ends the program.
  // A text file opens the New Project dialog: the concordance and the picture wait for it.
  // The picture waits for the concordance to be shown.
  const auto takePicture = [&] {
    if (parser.isSet(screenshot) && window.isVisible()) {
      const bool saved = window.grab().save(parser.value(screenshot));
      window.close();
      QApplication::exit(saved ? 0 : 1);
    }
  };
  const auto afterOpening = [&] {
    if (parser.isSet(kwic) && window.isVisible()) {
      window.RunKwic(parser.value(kwic));
      if (window.IsRunning()) {
        QObject::connect(&window, &MainWindow::busyChanged, &window, takePicture, Qt::SingleShotConnection);
        return;
      }
    }
    takePicture();
  };
  QTimer::singleShot(0, &window, [&] {
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
      afterOpening();
      return;
    }
    const QString path = QFileInfo(files.first()).absoluteFilePath();
    const bool textFile = wordloom::OpensAsTextFile(PathBytes(path));
    if (textFile) {
      QObject::connect(&window, &MainWindow::textFileOpenFinished, &window, afterOpening, Qt::SingleShotConnection);
    }
    window.OpenPath(path);
    if (!textFile) afterOpening();
  });
  return QApplication::exec();
}
