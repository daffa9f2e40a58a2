// StretchReader: the threads of a pass over the texts' pieces (text_pieces.h). Each stretch of
// pieces is read on a thread of its own; the calling thread waits, tells its ProgressSink of
// the files done and passes on a stop request, which the threads heed between pieces. A
// stretch that fails, or a thread that cannot be started, makes the others give up too.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "base/progress.h"
#include "scan/text_pieces.h"

namespace wordloom {

class StretchReader {
 public:
  virtual ~StretchReader() = default;
  StretchReader(const StretchReader&) = delete;
  StretchReader& operator=(const StretchReader&) = delete;

 protected:
  StretchReader(const PiecePlan& plan, size_t fileCount);

  // Reads every stretch, each on a thread of its own. False when a thread could not be started
  // or a stretch failed; `stopped` when `progress` asked to stop (and only then).
  bool ReadStretches(ProgressSink* progress, bool& stopped);
  // Reads the pieces [FirstPiece(stretch), EndPiece(stretch)) in order, calling PieceDone after
  // each and giving up when Stopping. False when the stretch failed; an exception fails it.
  virtual bool ReadStretch(size_t stretch) = 0;

  size_t StretchCount() const { return plan_.groupStarts.size(); }
  size_t FirstPiece(size_t stretch) const { return plan_.groupStarts[stretch]; }
  size_t EndPiece(size_t stretch) const {
    return stretch + 1 < plan_.groupStarts.size() ? plan_.groupStarts[stretch + 1] : plan_.pieces.size();
  }
  bool Stopping() const { return stop_.load(); }
  // Piece `piece` of `stretch` has been read: the calling thread hears of it now and then.
  void PieceDone(size_t stretch, size_t piece);

  const PiecePlan& plan_;

 private:
  void RunStretch(size_t stretch);

  size_t fileCount_;
  std::atomic<bool> stop_{false};
  std::vector<int64_t> unnoticed_;  // per stretch: bytes read since the calling thread last heard
  std::vector<char> failed_;        // per stretch
  std::mutex mutex_;
  std::condition_variable noticed_;
  std::vector<size_t> piecesDone_;  // per stretch, guarded by mutex_
  size_t stretchesDone_ = 0;        // guarded by mutex_
};

}  // namespace wordloom
