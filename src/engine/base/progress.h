// Progress and stop requests for long passes.
//
// A pass over the texts reports its progress through a ProgressSink and asks it, at the
// points where the pass may end early, whether the user has asked it to stop. The desktop
// application turns this into a progress bar and a "Stop" button; the command-line tool
// passes nothing. Calling the sink costs a virtual call per file or per hundred lines.
#pragma once

#include <cstdint>

namespace wordloom {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // The pass has done `done` of `total` steps (files, or entries of a list).
  virtual void Progress(int64_t done, int64_t total) { (void)done; (void)total; }
  // Called every hundred numbered lines: a chance to keep a window responsive.
  virtual void Yield() {}
  // True once the user has asked the running pass to stop.
  virtual bool StopRequested() { return false; }
};

}  // namespace wordloom
