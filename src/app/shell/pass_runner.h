// PassRunner: runs the window's passes over the texts, one at a time, on a worker thread.
//
// A pass (a scan, a concordance, a word list, a profile) is a function that reads what it was
// given and computes a result; it must not touch anything the GUI thread uses. The runner
// starts it on its own thread, relays its progress to the GUI thread, and once it has ended
// calls the pass's `done` on the GUI thread, where the result is committed. "Stop" sets a flag
// that a stoppable pass reads at its next check. Memory: one thread while a pass runs.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>

#include "base/progress.h"
#include "base/status.h"

class QThread;

namespace wordloom::app {

class PassRunner : public QObject {
  Q_OBJECT
 public:
  using Pass = std::function<Status(ProgressSink&)>;
  using Done = std::function<void(const Status&)>;

  explicit PassRunner(QObject* parent = nullptr);
  // Waits for a running pass; its `done` is not called.
  ~PassRunner() override;

  // Starts `pass`; false when another pass is running. `operation` completes "Not enough
  // memory to …" when the pass runs out of memory.
  bool Start(const char* operation, bool stoppable, Pass pass, Done done);
  bool IsRunning() const { return thread_ != nullptr; }
  // Asks a stoppable pass to end at its next check.
  void Stop();
  // Stops a stoppable pass, waits for the running one to end, and drops its result.
  void Abandon();

 signals:
  void started(bool stoppable);
  // Progress in thousandths, or -1 while the length of the pass is not known.
  void progress(int permille);
  // After the pass's `done` has run, unless `done` started another pass.
  void finished();

 private:
  class Sink;
  void Finish();

  QThread* thread_ = nullptr;
  Done done_;
  Status status_;
  bool stoppable_ = false;
  uint64_t pass_ = 0;  // the number of the running pass: late events of an abandoned one are dropped
  std::atomic<bool> stopRequested_{false};
  std::atomic<int> permille_{-1};
};

}  // namespace wordloom::app
