#include "concordance/threaded_sink.h"

#include <cstring>
#include <system_error>

namespace wordloom {
namespace {

constexpr size_t kBatchBytes = 1 << 20;
constexpr size_t kMostBatches = 4;

void PutNumber(std::string& out, int64_t value) { out.append(reinterpret_cast<const char*>(&value), sizeof value); }

void PutText(std::string& out, std::string_view text) {
  PutNumber(out, static_cast<int64_t>(text.size()));
  out.append(text);
}

int64_t TakeNumber(std::string_view& in) {
  int64_t value;
  std::memcpy(&value, in.data(), sizeof value);
  in.remove_prefix(sizeof value);
  return value;
}

std::string_view TakeText(std::string_view& in) {
  const auto size = static_cast<size_t>(TakeNumber(in));
  std::string_view text = in.substr(0, size);
  in.remove_prefix(size);
  return text;
}

}  // namespace

ThreadedSink::ThreadedSink(CitationSink& sink) : sink_(sink) {
  try {
    worker_ = std::thread([this] { Work(); });
  } catch (const std::system_error&) {
    // No thread to be had (memory or a process limit): the records go straight on.
  }
}

ThreadedSink::~ThreadedSink() {
  try {
    Finish();
  } catch (...) {
  }
}

void ThreadedSink::Add(int64_t keyNumber, int64_t sequence, std::string_view citation, std::string_view leftContext,
                       std::string_view rightContext) {
  if (!worker_.joinable()) return sink_.Add(keyNumber, sequence, citation, leftContext, rightContext);
  PutNumber(batch_, keyNumber);
  PutNumber(batch_, sequence);
  PutText(batch_, citation);
  PutText(batch_, leftContext);
  PutText(batch_, rightContext);
  if (batch_.size() >= kBatchBytes) HandOver();
}

void ThreadedSink::HandOver() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return queue_.size() < kMostBatches; });
  queue_.push_back(std::move(batch_));
  batch_ = std::string();
  changed_.notify_all();
}

void ThreadedSink::Finish() {
  if (!worker_.joinable()) return;
  if (!batch_.empty()) HandOver();
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
  worker_.join();
  if (failure_) std::rethrow_exception(failure_);
}

void ThreadedSink::Work() {
  for (;;) {
    std::string batch;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return !queue_.empty() || finished_; });
      if (queue_.empty()) return;
      batch = std::move(queue_.front());
      queue_.pop_front();
    }
    changed_.notify_all();
    // After a failure the batches are only taken, so that Add never waits for ever.
    if (failure_) continue;
    try {
      for (std::string_view in = batch; !in.empty();) {
        const int64_t keyNumber = TakeNumber(in);
        const int64_t sequence = TakeNumber(in);
        const std::string_view citation = TakeText(in);
        const std::string_view left = TakeText(in);
        const std::string_view right = TakeText(in);
        sink_.Add(keyNumber, sequence, citation, left, right);
      }
    } catch (...) {
      failure_ = std::current_exception();
    }
  }
}

}  // namespace wordloom
