#include "shell/pass_runner.h"

#include <QThread>
#include <new>
#include <string>

namespace wordloom::app {

// The pass's side of the runner: progress goes to the GUI thread only when the shown value
// changes, so a pass may report as often as it likes.
class PassRunner::Sink : public ProgressSink {
 public:
  Sink(PassRunner& runner, uint64_t pass) : runner_(runner), pass_(pass) {}
  void Progress(int64_t done, int64_t total) override {
    if (total <= 0) return;
    const int permille = static_cast<int>(done * 1000 / total);
    if (runner_.permille_.exchange(permille) == permille) return;
    QMetaObject::invokeMethod(
        &runner_,
        [runner = &runner_, pass = pass_, permille] {
          if (runner->pass_ == pass) emit runner->progress(permille);
        },
        Qt::QueuedConnection);
  }
  bool StopRequested() override { return runner_.stoppable_ && runner_.stopRequested_.load(); }

 private:
  PassRunner& runner_;
  uint64_t pass_;
};

PassRunner::PassRunner(QObject* parent) : QObject(parent) {}

PassRunner::~PassRunner() { Abandon(); }

bool PassRunner::Start(const char* operation, bool stoppable, Pass pass, Done done) {
  if (thread_) return false;
  stoppable_ = stoppable;
  stopRequested_ = false;
  permille_ = -1;
  done_ = std::move(done);
  const uint64_t number = ++pass_;
  thread_ = QThread::create([this, number, operation, pass = std::move(pass)] {
    Sink sink(*this, number);
    try {
      status_ = pass(sink);
    } catch (const std::bad_alloc&) {
      status_ = Status::Error(std::string("Not enough memory to ") + operation + ".");
    }
  });
  connect(thread_, &QThread::finished, this, [this, number] {
    if (thread_ && pass_ == number) Finish();
  });
  thread_->start();
  // Its end is queued to this thread, so whatever `started` does comes first.
  emit started(stoppable);
  if (thread_) emit progress(-1);
  return true;
}

void PassRunner::Stop() { stopRequested_ = true; }

void PassRunner::Abandon() {
  if (!thread_) return;
  stopRequested_ = true;
  thread_->wait();
  done_ = nullptr;
  Finish();
}

void PassRunner::Finish() {
  thread_->wait();  // "finished" comes from the thread just before it ends
  delete thread_;
  thread_ = nullptr;
  const Done done = std::move(done_);
  done_ = nullptr;
  if (done) done(status_);
  // `done` may have started the next pass, which keeps the runner busy.
  if (!thread_) emit finished();
}

}  // namespace wordloom::app
