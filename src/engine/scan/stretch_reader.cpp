#include "scan/stretch_reader.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

namespace wordloom {
namespace {
// A thread tells the calling thread of its progress at most about this often, in bytes read.
constexpr int64_t kNoticeBytes = 1 << 20;
}  // namespace

StretchReader::StretchReader(const PiecePlan& plan, size_t fileCount)
    : plan_(plan), fileCount_(fileCount), unnoticed_(plan.groupStarts.size(), 0),
      failed_(plan.groupStarts.size(), 0) {}

void StretchReader::PieceDone(size_t stretch, size_t piece) {
  unnoticed_[stretch] += plan_.BytesOf(plan_.pieces[piece]);
  if (unnoticed_[stretch] < kNoticeBytes && piece + 1 != EndPiece(stretch)) return;
  unnoticed_[stretch] = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    piecesDone_[stretch] = piece + 1 - FirstPiece(stretch);
  }
  noticed_.notify_one();
}

void StretchReader::RunStretch(size_t stretch) {
  try {
    failed_[stretch] = !ReadStretch(stretch);
  } catch (const std::exception&) {
    failed_[stretch] = true;  // memory ran out, say: the single pass then meets the shortage itself
  }
  if (failed_[stretch]) stop_ = true;  // the others' work would be thrown away
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++stretchesDone_;
  }
  noticed_.notify_one();
}

bool StretchReader::ReadStretches(ProgressSink* progress, bool& stopped) {
  std::vector<int64_t> piecesLeft(fileCount_);  // per file
  for (const TextPiece& piece : plan_.pieces) ++piecesLeft[piece.file];
  const size_t stretches = StretchCount();
  std::vector<size_t> counted(stretches);  // per stretch: the pieces counted as done
  piecesDone_.assign(stretches, 0);
  int64_t filesDone = 0;
  size_t started = 0;
  bool asked = progress && progress->StopRequested();
  if (asked) stop_ = true;
  {
    std::vector<std::jthread> threads;
    try {
      for (; started < stretches; ++started) threads.emplace_back([this, s = started] { RunStretch(s); });
    } catch (const std::system_error&) {
      stop_ = true;  // no thread to be had: the single pass reads the texts
    }
    for (bool all = false; !all;) {
      std::vector<size_t> done;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        noticed_.wait(lock, [&] { return stretchesDone_ == started || piecesDone_ != counted; });
        done = piecesDone_;
        all = stretchesDone_ == started;
      }
      const int64_t before = filesDone;
      for (size_t s = 0; s < stretches; ++s) {
        for (; counted[s] < done[s]; ++counted[s]) {
          if (--piecesLeft[plan_.pieces[FirstPiece(s) + counted[s]].file] == 0) ++filesDone;
        }
      }
      if (!progress) continue;
      if (filesDone > before) progress->Progress(filesDone, static_cast<int64_t>(fileCount_));
      progress->Yield();
      if (!asked && progress->StopRequested()) {
        asked = true;
        stop_ = true;
      }
    }
  }
  stopped = asked;
  return started == stretches && std::none_of(failed_.begin(), failed_.end(), [](char failed) { return failed != 0; });
}

}  // namespace wordloom
