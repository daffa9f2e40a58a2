// IndexKeeper: builds a saved project's positional index before the first pass that reads
// through it, as the command line does, so that the window's concordances, tables and analyses
// answer from the index too.
//
// The build is a stoppable pass of its own on the window's runner; the pass it was asked for
// starts once the build has ended, and not when it was stopped. A build that fails (a folder
// the index cannot be written to, a text that changed while it was read) is not tried again
// until the project is opened, scanned or saved again: its passes read the texts, as they would
// without an index. Memory: that of the build.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/scratch_folder.h"
#include "project/session.h"
#include "shell/pass_runner.h"

class QWidget;

namespace wordloom::app {

class IndexKeeper {
 public:
  using ScratchFor = std::function<std::shared_ptr<ScratchFolder>(QWidget* parent)>;
  // `threads` gives the threads a build reads the texts with (0 follows the machine).
  IndexKeeper(Session& session, PassRunner& runner, ScratchFor scratchFor, std::function<int()> threads);

  // Calls `start`, which starts a pass, at once when the project's index is current or cannot
  // be had; else after a pass that builds it.
  void Then(QWidget* parent, std::function<void()> start);
  // The project was opened, scanned or saved: its index may be had again.
  void Forget();

 private:
  bool Wanted() const;

  Session& session_;
  PassRunner& runner_;
  ScratchFor scratchFor_;
  std::function<int()> threads_;
  std::string failedFor_;  // the project file whose index could not be written
};

}  // namespace wordloom::app
