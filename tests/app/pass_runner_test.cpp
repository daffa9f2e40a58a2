// The runner of the window's passes: the pass runs on its own thread, its result comes back on
// the GUI thread, Stop reaches it, and nothing is left running.
#include <new>

#include "app_test.h"
#include "shell/pass_runner.h"

namespace wordloom::app::test {

class PassRunnerTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { VerifyNoWindowLeft(); }

  // `done` gets the pass's own status, or a message when the pass runs out of memory.
  void APassRunsOffTheGuiThreadAndEndsOnIt() {
    PassRunner runner;
    QSignalSpy finished(&runner, &PassRunner::finished);
    QThread *passThread = nullptr, *doneThread = nullptr;
    QString seen;
    const auto done = [&](const Status& status) {
      doneThread = QThread::currentThread();
      seen = QString::fromStdString(status.message());
      QVERIFY(!runner.IsRunning());
    };
    QVERIFY(runner.Start("count", false, [&](ProgressSink& progress) {
      passThread = QThread::currentThread();
      progress.Progress(1, 2);
      return Status::Error("the pass's own failure");
    }, done));
    QVERIFY(runner.IsRunning());
    QVERIFY(!runner.Start("again", false, [](ProgressSink&) { return Status(); }, nullptr));  // one at a time
    QVERIFY(finished.wait(60000));
    QVERIFY(passThread && passThread != QThread::currentThread());
    QCOMPARE(doneThread, QThread::currentThread());
    QCOMPARE(seen, QStringLiteral("the pass's own failure"));
    QVERIFY(runner.Start("make the word list", false, [](ProgressSink&) -> Status { throw std::bad_alloc(); }, done));
    QVERIFY(finished.wait(60000));
    QCOMPARE(seen, QStringLiteral("Not enough memory to make the word list."));
  }

  // A scan runs to its end whatever Stop says; a runner that goes waits for its pass, which it
  // stops, and drops the pass's result.
  void StopReachesAStoppablePassOnlyAndTheRunnerWaitsForItsPass() {
    for (const bool stoppable : {true, false}) {
      PassRunner runner;
      QSemaphore running, release;
      bool sawStop = false;
      QSignalSpy finished(&runner, &PassRunner::finished);
      runner.Start("wait", stoppable, [&](ProgressSink& progress) {
        running.release();
        if (!stoppable) release.acquire();
        while (stoppable && !progress.StopRequested()) QThread::yieldCurrentThread();
        sawStop = progress.StopRequested();
        return Status();
      }, nullptr);
      running.acquire();
      runner.Stop();
      if (!stoppable) release.release();
      QVERIFY(finished.wait(60000));
      QCOMPARE(sawStop, stoppable);
    }
    bool ended = false, done = false;
    {
      QSemaphore running;
      PassRunner runner;
      runner.Start("wait", true, [&](ProgressSink& progress) {
        running.release();
        while (!progress.StopRequested()) QThread::yieldCurrentThread();
        return ended = true, Status();
      }, [&](const Status&) { done = true; });
      running.acquire();
    }  // the runner goes while its pass runs
    QVERIFY(ended && !done);
  }
};

WORDLOOM_APP_TEST(PassRunnerTest);

}  // namespace wordloom::app::test

#include "pass_runner_test.moc"
