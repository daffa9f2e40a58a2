#include "ui/run_progress.h"

#include <QApplication>
#include <QProgressBar>

namespace wordloom::app {

RunProgress::RunProgress(QProgressBar* bar, std::function<void(bool)> setBusy)
    : bar_(bar), setBusy_(std::move(setBusy)) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (setBusy_) setBusy_(true);
  if (bar_) {
    bar_->setRange(0, 0);
    bar_->setVisible(true);
  }
  sinceEvents_.start();
}

RunProgress::~RunProgress() {
  if (bar_) {
    bar_->reset();
    bar_->setVisible(false);
  }
  if (setBusy_) setBusy_(false);
  QApplication::restoreOverrideCursor();
}

void RunProgress::Progress(int64_t done, int64_t total) {
  if (bar_ && total > 0) {
    // The bar counts in thousandths, so any total fits its int range.
    bar_->setRange(0, 1000);
    bar_->setValue(static_cast<int>(done * 1000 / total));
  }
  Yield();
}

void RunProgress::Yield() {
  if (sinceEvents_.elapsed() < 40) return;
  QApplication::processEvents();
  sinceEvents_.restart();
}

}  // namespace wordloom::app
