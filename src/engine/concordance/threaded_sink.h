// ThreadedSink: hands the citations of a pass on to another sink on a thread of its own, in the
// order they come, so that ordering them (sorting, spilling runs to scratch files) overlaps
// reading the texts.
//
// The other sink sees exactly the calls it would see without it, one after the other; it must
// not be used by anyone else until Finish() has returned. An exception on its thread (memory
// running out) comes out of Finish(). Without a thread to be had, the records go straight on.
// Memory: at most four batches of about 1 MiB of records.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "concordance/citation_record.h"

namespace wordloom {

class ThreadedSink : public CitationSink {
 public:
  explicit ThreadedSink(CitationSink& sink);
  // Finishes, dropping an exception Finish() would have given.
  ~ThreadedSink() override;
  ThreadedSink(const ThreadedSink&) = delete;
  ThreadedSink& operator=(const ThreadedSink&) = delete;

  void Add(int64_t keyNumber, int64_t sequence, std::string_view citation, std::string_view leftContext,
           std::string_view rightContext) override;
  // Hands on the last records and waits until the other sink has taken every one.
  void Finish();

 private:
  void HandOver();
  void Work();

  CitationSink& sink_;
  std::string batch_;  // records not yet handed over
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> queue_;  // batches handed over, oldest first
  bool finished_ = false;
  std::exception_ptr failure_;
  std::thread worker_;
};

}  // namespace wordloom
