// The runner of the window's passes: the pass runs on its own thread, its result comes back on
// the GUI thread, Stop reaches it, and nothing is left running.
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>
#include <new>

#include "app_test.h"
#include "shell/pass_runner.h"

namespace wordloom::app::test {

class PassRunnerTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { VerifyNoWindowLeft(); }

  void APassRunsOffTheGuiThreadAndEndsOnIt() {
    PassRunner runner;
    QSignalSpy started(&runner, &PassRunner::started);
    QSignalSpy finished(&runner, &PassRunner::finished);
    QThread* passThread = nullptr;
    QThread* doneThread = nullptr;
    Status seen = Status::Error("not called");
    QVERIFY(runner.Start("count", false, [&](ProgressSink& progress) {
      passThread = QThread::currentThread();
      progress.Progress(1, 2);
      return Status::Error("the pass's own failure");
    }, [&](const Status& status) {
      doneThread = QThread::currentThread();
      seen = status;
      QVERIFY(!runner.IsRunning());
    }));
    QCOMPARE(started.count(), 1);
    QCOMPARE(started.first().first().toBool(), false);
    QVERIFY(runner.IsRunning());
    QVERIFY(!runner.Start("again", false, [](ProgressSink&) { return Status(); }, nullptr));  // one at a time
    QVERIFY(finished.wait(60000));
    QVERIFY(passThread && passThread != QThread::currentThread());
    QCOMPARE(doneThread, QThread::currentThread());
    QCOMPARE(seen.message(), std::string("the pass's own failure"));
  }

  void StopReachesAStoppablePassOnly() {
    for (const bool stoppable : {true, false}) {
      PassRunner runner;
      QSemaphore running;
      QSemaphore release;
      bool sawStop = false;
      QSignalSpy finished(&runner, &PassRunner::finished);
      runner.Start("wait", stoppable, [&](ProgressSink& progress) {
        running.release();
        if (stoppable) {
          while (!progress.StopRequested()) QThread::yieldCurrentThread();
          sawStop = true;
        } else {
          release.acquire();  // a scan runs to its end
          sawStop = progress.StopRequested();
        }
        return Status();
      }, nullptr);
      running.acquire();
      runner.Stop();
      if (!stoppable) release.release();
      QVERIFY(finished.wait(60000));
      QCOMPARE(sawStop, stoppable);
    }
  }

  void RunningOutOfMemoryIsAMessage() {
    PassRunner runner;
    QString message;
    QSignalSpy finished(&runner, &PassRunner::finished);
    runner.Start("make the word list", false, [](ProgressSink&) -> Status { throw std::bad_alloc(); },
                 [&](const Status& status) { message = QString::fromStdString(status.message()); });
    QVERIFY(finished.wait(60000));
    QCOMPARE(message, QStringLiteral("Not enough memory to make the word list."));
  }

  void AbandoningWaitsForThePassAndDropsItsResult() {
    QSemaphore running;
    bool ended = false;
    bool done = false;
    {
      PassRunner runner;
      runner.Start("wait", true, [&](ProgressSink& progress) {
        running.release();
        while (!progress.StopRequested()) QThread::yieldCurrentThread();
        ended = true;
        return Status();
      }, [&](const Status&) { done = true; });
      running.acquire();
    }  // the runner goes while its pass runs
    QVERIFY(ended);
    QVERIFY(!done);
  }
};

WORDLOOM_APP_TEST(PassRunnerTest);

}  // namespace wordloom::app::test

#include "pass_runner_test.moc"
