#include "analysis/ngram_runs.h"

#include <unistd.h>

#include <algorithm>
#include <memory>

#include "base/buffered_reader.h"

namespace wordloom {
namespace {

constexpr uint64_t kStopCheck = uint64_t{1} << 16;  // records merged between asking whether to stop
constexpr size_t kMostRecordBytes = 2 + 5 * 5 + 4 * 10;  // head, length, words and numbers at their longest

// `value` in groups of 7 bits, the lowest first, each but the last with its top bit set.
char* PutNumber(char* out, uint64_t value) {
  for (; value >= 0x80; value >>= 7) *out++ = static_cast<char>(value | 0x80);
  *out++ = static_cast<char>(value);
  return out;
}

// Null when the bytes end inside the number or it runs past 64 bits.
const char* GetNumber(const char* in, const char* end, uint64_t& value) {
  value = 0;
  for (int shift = 0; in != end && shift < 64; shift += 7) {
    const auto byte = static_cast<uint8_t>(*in++);
    value |= uint64_t{byte & 0x7Fu} << shift;
    if (byte < 0x80) return in;
  }
  return nullptr;
}

// Writes the records of runs: a head byte (the words shared with the record before, and n),
// the length of the rest, the other words, the count, the range and the first and last file.
class RunEncoder {
 public:
  explicit RunEncoder(FileWriter& out) : out_(out) {}
  void Write(const NgramRecord& record) {
    const int n = record.n();
    int shared = 0;
    while (shared < n && record.Packed(shared) == previous_.Packed(shared)) ++shared;
    char bytes[kMostRecordBytes];
    char* end = bytes + 2;
    for (int i = shared; i < n; ++i) end = PutNumber(end, record.Packed(i));
    end = PutNumber(end, static_cast<uint64_t>(record.count));
    end = PutNumber(end, record.files.range);
    end = PutNumber(end, record.files.first);
    end = PutNumber(end, record.files.last - record.files.first);
    bytes[0] = static_cast<char>(shared << 4 | n);
    bytes[1] = static_cast<char>(end - bytes - 2);
    out_.Write(std::string_view(bytes, static_cast<size_t>(end - bytes)));
    written_ += static_cast<uint64_t>(end - bytes);
    previous_ = record;
  }
  // The next record starts a run: it shares nothing.
  void EndRun() { previous_ = NgramRecord{}; }
  uint64_t written() const { return written_; }

 private:
  FileWriter& out_;
  NgramRecord previous_;
  uint64_t written_ = 0;
};

// Reads one run's records back.
class RunDecoder {
 public:
  RunDecoder(int fd, const std::string& name, uint64_t from, uint64_t to, size_t bufferBytes)
      : reader_(bufferBytes), name_(name) {
    reader_.Reset(fd, name, from, to - from);
  }
  // The next record, or false at the run's end.
  bool Next(NgramRecord& record) {
    uint8_t head[2];
    char body[256];
    if (!reader_.Read(head, 2)) return false;
    const int shared = head[0] >> 4;
    const int n = head[0] & 0xF;
    if (n < 1 || n > 5 || shared >= n || !reader_.Read(body, head[1])) return Damaged();
    const char* at = body;
    const char* end = body + head[1];
    uint64_t value = 0;
    for (int i = shared; i < 5; ++i) {
      if (i < n && !(at = GetNumber(at, end, value))) return Damaged();
      current_.SetPacked(i, i < n ? static_cast<uint32_t>(value) : 0);
    }
    uint64_t count, range, first, last;
    if (!(at = GetNumber(at, end, count)) || !(at = GetNumber(at, end, range)) || !(at = GetNumber(at, end, first)) ||
        !(at = GetNumber(at, end, last))) {
      return Damaged();
    }
    current_.count = static_cast<int64_t>(count);
    current_.files = FileSpan{static_cast<uint32_t>(range), static_cast<uint32_t>(first),
                              static_cast<uint32_t>(first + last)};
    record = current_;
    return true;
  }
  Status error() const {
    if (!reader_.error().ok()) return reader_.error();
    return damaged_ ? Status::Error("The scratch file " + name_ + " is damaged.") : Status::Ok();
  }

 private:
  bool Damaged() {
    damaged_ = true;
    return false;
  }
  BufferedReader reader_;
  std::string name_;
  NgramRecord current_;
  bool damaged_ = false;
};

// One merge of adjacent runs: each run's next record, the smallest key first and, among equal
// keys, the earlier run's (its files come first, as FileSpan::Joined wants).
class GroupMerge {
 public:
  GroupMerge(int fd, const std::string& name, const std::vector<uint64_t>& ends, size_t first, size_t end,
             size_t bufferBytes) {
    for (size_t run = first; run < end; ++run) {
      runs_.push_back(std::make_unique<RunDecoder>(fd, name, run == 0 ? 0 : ends[run - 1], ends[run], bufferBytes));
    }
    heads_.resize(runs_.size());
    for (size_t i = 0; i < runs_.size(); ++i) Advance(i);
  }

  // The next n-gram, its counts and files summed over the runs; false at the end.
  bool Next(NgramRecord& merged) {
    if (heap_.empty()) return false;
    merged = Pop();
    while (!heap_.empty() && heads_[heap_.front()].SameGram(merged)) {
      const NgramRecord& later = Pop();
      merged.count += later.count;
      merged.files = FileSpan::Joined(merged.files, later.files);
    }
    return true;
  }

  Status error() const {
    for (const auto& run : runs_) {
      if (!run->error().ok()) return run->error();
    }
    return Status::Ok();
  }

 private:
  // Heap order: the run whose head comes last is "less", so the heap's front is the smallest.
  bool After(size_t a, size_t b) const {
    if (heads_[a].GramBefore(heads_[b])) return false;
    if (heads_[b].GramBefore(heads_[a])) return true;
    return a > b;
  }
  void Advance(size_t run) {
    if (!runs_[run]->Next(heads_[run])) return;
    heap_.push_back(run);
    std::push_heap(heap_.begin(), heap_.end(), [this](size_t a, size_t b) { return After(a, b); });
  }
  // Takes the smallest head; its record stays valid until the next Pop.
  const NgramRecord& Pop() {
    std::pop_heap(heap_.begin(), heap_.end(), [this](size_t a, size_t b) { return After(a, b); });
    const size_t run = heap_.back();
    heap_.pop_back();
    popped_ = heads_[run];
    Advance(run);
    return popped_;
  }

  std::vector<std::unique_ptr<RunDecoder>> runs_;
  std::vector<NgramRecord> heads_;
  std::vector<size_t> heap_;
  NgramRecord popped_;
};

}  // namespace

NgramRecord NgramRecord::Of(const EntryPosition* words, int n) {
  uint64_t packed[5] = {};
  for (int i = 0; i < n; ++i) packed[i] = uint64_t{words[i]} + 1;
  NgramRecord record;
  record.high = packed[0] << 32 | packed[1];
  record.middle = packed[2] << 32 | packed[3];
  record.low = static_cast<uint32_t>(packed[4]);
  return record;
}

void NgramRecord::SetPacked(int i, uint32_t word) {
  if (i == 4) {
    low = word;
    return;
  }
  uint64_t& half = i < 2 ? high : middle;
  const int shift = i % 2 == 0 ? 32 : 0;
  half = (half & ~(uint64_t{0xFFFFFFFF} << shift)) | uint64_t{word} << shift;
}

int NgramRecord::n() const {
  if (low != 0) return 5;
  if (middle != 0) return (middle & 0xFFFFFFFFu) != 0 ? 4 : 3;
  return (high & 0xFFFFFFFFu) != 0 ? 2 : 1;
}

uint64_t NgramRecord::Hash() const {
  uint64_t h = high * 0x9E3779B97F4A7C15ULL;
  h = (h ^ (h >> 32) ^ middle) * 0xbf58476d1ce4e5b9ULL;
  h = (h ^ (h >> 29) ^ low) * 0xff51afd7ed558ccdULL;
  return h ^ (h >> 32);
}

NgramRunFile::~NgramRunFile() {
  if (!out_.IsOpen()) return;
  (void)out_.Close();
  scratch_.Remove("N1");
  scratch_.Remove("N2");
}

void NgramRunFile::WriteRun(const NgramRecord* records, size_t count) {
  if (!error_.ok()) return;
  if (!out_.IsOpen()) {
    error_ = scratch_.OpenForWrite(name_, out_);
    if (!error_.ok()) return;
  }
  RunEncoder encoder(out_);
  for (size_t i = 0; i < count; ++i) encoder.Write(records[i]);
  written_ += encoder.written();
  ends_.push_back(written_);
  if (!out_.error().ok()) error_ = out_.error();
}

Status NgramRunFile::Merge(size_t fanIn, size_t bufferBytes, const std::function<void(const NgramRecord&)>& sink,
                           ProgressSink* progress, bool& stopped) {
  stopped = false;
  if (error_.ok() && out_.IsOpen()) error_ = out_.Close();
  std::vector<uint64_t> ends = ends_;
  std::string input = name_;
  uint64_t merged = 0;
  while (error_.ok()) {
    // A pass merges groups of adjacent runs into runs of the other file; the last, into the sink.
    const bool last = ends.size() <= fanIn;
    const std::string output = input == "N1" ? "N2" : "N1";
    FileWriter next;
    RunEncoder encoder(next);
    std::vector<uint64_t> nextEnds;
    if (!last) error_ = scratch_.OpenForWrite(output, next);
    const int fd = error_.ok() ? scratch_.OpenForRead(input, error_) : -1;
    for (size_t first = 0; error_.ok() && !stopped && first < ends.size(); first += fanIn) {
      GroupMerge group(fd, scratch_.PathOf(input), ends, first, std::min(ends.size(), first + fanIn), bufferBytes);
      NgramRecord record;
      while (group.Next(record)) {
        if (last) {
          sink(record);
        } else {
          encoder.Write(record);
        }
        if (++merged % kStopCheck == 0 && progress && progress->StopRequested()) {
          stopped = true;
          break;
        }
      }
      if (error_.ok()) error_ = group.error();
      nextEnds.push_back(encoder.written());
      encoder.EndRun();
    }
    if (fd >= 0) ::close(fd);
    scratch_.Remove(input);
    if (last || stopped) break;
    if (error_.ok()) error_ = next.Close();
    ends = std::move(nextEnds);
    input = output;
  }
  scratch_.Remove("N1");
  scratch_.Remove("N2");
  return error_;
}

}  // namespace wordloom
