// RunProgress: a long pass's progress bar, its "Stop" button and the busy state of a window.
//
// While a RunProgress lives, the pointer is the busy pointer and the window's `setBusy`
// callback has turned off every action that would start another pass. The pass calls back
// into it: each call lets the window paint and take clicks (at most every 40 ms, so the pass
// loses little time), and a click on "Stop" is seen at the pass's next check. The window gets
// no events before the pass's first call, so it can note the run before anything can stop it.
#pragma once

#include <QElapsedTimer>
#include <functional>

#include "base/progress.h"

class QProgressBar;

namespace wordloom::app {

class RunProgress : public ProgressSink {
 public:
  RunProgress(QProgressBar* bar, std::function<void(bool)> setBusy);
  ~RunProgress() override;
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;

  void Progress(int64_t done, int64_t total) override;
  void Yield() override;
  bool StopRequested() override { return stopRequested_; }
  void RequestStop() { stopRequested_ = true; }

 private:
  QProgressBar* bar_;
  std::function<void(bool)> setBusy_;
  QElapsedTimer sinceEvents_;
  bool stopRequested_ = false;
};

}  // namespace wordloom::app
