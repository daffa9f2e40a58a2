#include "scan/run_files.h"

#include <unistd.h>


#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace wordloom {

void WriteRunRecord(FileWriter& out, int64_t count, std::string_view word, uint32_t rank) {
  char header[16];
  uint32_t length = static_cast<uint32_t>(word.size());
  std::memcpy(header, &count, 8);
  std::memcpy(header + 8, &length, 4);
  std::memcpy(header + 12, &rank, 4);
  out.Write(std::string_view(header, sizeof header));
  out.Write(word);
}

void WriteSpanRecord(FileWriter& out, int64_t count, std::string_view word, const FileSpan& files) {
  char header[28];
  uint32_t length = static_cast<uint32_t>(word.size());
  std::memcpy(header, &count, 8);
  std::memcpy(header + 8, &length, 4);
  std::memcpy(header + 12, &files.range, 4);
  std::memcpy(header + 16, &files.first, 4);
  std::memcpy(header + 20, &files.last, 4);
  std::memset(header + 24, 0, 4);
  out.Write(std::string_view(header, sizeof header));
  out.Write(word);
}

RunReader::~RunReader() {
  if (fd_ >= 0) ::close(fd_);
}

Status RunReader::Open(const ScratchFolder& scratch, const std::string& name, bool spans) {
  if (fd_ >= 0) ::close(fd_);
  name_ = scratch.PathOf(name);
  spans_ = spans;
  error_ = Status::Ok();
  Status status;
  fd_ = scratch.OpenForRead(name, status);
  reader_.Reset(fd_, name_);
  return status;
}

void RunReader::Next(RunRecord& record) {
  char header[28];
  uint32_t length = 0;
  if (reader_.Read(header, spans_ ? 28 : 16)) {
    std::memcpy(&record.count, header, 8);
    std::memcpy(&length, header + 8, 4);
    if (spans_) {
      std::memcpy(&record.files.range, header + 12, 4);
      std::memcpy(&record.files.first, header + 16, 4);
      std::memcpy(&record.files.last, header + 20, 4);
    } else {
      std::memcpy(&record.rank, header + 12, 4);
    }
    record.word.resize(length);
    if (reader_.Read(record.word.data(), length)) return;
  }
  // Every file ends with a file-end record: running out of data before it means damage.
  if (error().ok()) error_ = Status::Error("The scratch file " + name_ + " ended early.");
  record.count = kFileEnd;
  record.word.clear();
}

namespace {

// One merge pass over inputs (in1, in2) into outputs (out1, out2). Returns false when an
// input was empty from the start, `result` then naming the other input.
class MergePass {
 public:
  MergePass(const ScratchFolder& scratch, const MergeOrder& order)
      : scratch_(scratch), order_(order), spans_(order.Spans()) {}

  Status Run(const std::array<std::string, 4>& names, bool& finished, std::string& result) {
    Status status = in1_.Open(scratch_, names[0], spans_);
    if (status.ok()) status = in2_.Open(scratch_, names[1], spans_);
    if (status.ok()) status = scratch_.OpenForWrite(names[2], out_[0]);
    if (status.ok()) status = scratch_.OpenForWrite(names[3], out_[1]);
    if (!status.ok()) return status;

    in1_.Next(r1_);
    in2_.Next(r2_);
    finished = r1_.IsFileEnd() || r2_.IsFileEnd();
    if (finished) {
      result = r1_.IsFileEnd() ? names[1] : names[0];
    } else {
      MergeAll();
    }
    Status closed = out_[0].Close();
    Status closed2 = out_[1].Close();
    if (!in1_.error().ok()) return in1_.error();
    if (!in2_.error().ok()) return in2_.error();
    if (!closed.ok()) return closed;
    return closed2;
  }

 private:
  void Write(FileWriter& out, int64_t count, std::string_view word, uint32_t rank, const FileSpan& files) {
    if (spans_) {
      WriteSpanRecord(out, count, word, files);
    } else {
      WriteRunRecord(out, count, word, rank);
    }
  }
  void Write(FileWriter& out, const RunRecord& record) { Write(out, record.count, record.word, record.rank, record.files); }
  void End(FileWriter& out, int64_t end) { Write(out, end, "", 0, FileSpan{}); }

  // Copies the rest of an input, run ends included, to the second output and ends both.
  void Drain(RunReader& in, RunRecord& current) {
    while (!current.IsFileEnd()) {
      Write(out_[1], current);
      in.Next(current);
    }
    End(out_[1], kFileEnd);
    End(out_[0], kFileEnd);
  }

  void CopyRun(RunReader& in, RunRecord& current, FileWriter& out) {
    while (current.IsEntry()) {
      Write(out, current);
      in.Next(current);
    }
  }

  void MergeAll() {
    int current = 0;
    for (;;) {
      if (r1_.IsFileEnd()) return Drain(in2_, r2_);
      if (r2_.IsFileEnd()) return Drain(in1_, r1_);
      FileWriter& out = out_[current];
      while (r1_.IsEntry() && r2_.IsEntry()) {
        int order = order_.Compare(r1_, r2_);
        if (order < 0) {
          Write(out, r1_);
          in1_.Next(r1_);
        } else if (order > 0) {
          Write(out, r2_);
          in2_.Next(r2_);
        } else {
          // The first input's runs come from the earlier files.
          Write(out, r1_.count + r2_.count, r1_.word, 0, FileSpan::Joined(r1_.files, r2_.files));
          in1_.Next(r1_);
          in2_.Next(r2_);
        }
      }
      if (r1_.IsRunEnd()) {
        CopyRun(in2_, r2_, out);
      } else if (r2_.IsRunEnd()) {
        CopyRun(in1_, r1_, out);
      }
      End(out, kRunEnd);
      if (r1_.IsRunEnd()) in1_.Next(r1_);
      if (r2_.IsRunEnd()) in2_.Next(r2_);
      current = 1 - current;
    }
  }

  const ScratchFolder& scratch_;
  const MergeOrder& order_;
  bool spans_;
  RunReader in1_, in2_;
  FileWriter out_[2];
  RunRecord r1_, r2_;
};

}  // namespace

Status MergeRunFiles(const ScratchFolder& scratch, const MergeOrder& order, std::string& result, RunFileNames names) {
  for (;;) {
    bool finished = false;
    MergePass pass(scratch, order);
    Status status = pass.Run(names, finished, result);
    if (!status.ok() || finished) return status;
    names = {names[2], names[3], names[0], names[1]};
  }
}

Status EndRunFiles(const ScratchFolder& scratch, FileWriter (&runs)[2], const MergeOrder& order,
                   const RunFileNames& names, std::string& result) {
  for (FileWriter& out : runs) {
    if (order.Spans()) {
      WriteSpanRecord(out, kFileEnd, "", FileSpan{});
    } else {
      WriteRunRecord(out, kFileEnd, "");
    }
    Status closed = out.Close();
    if (!closed.ok()) {
      return Status::Error("Could not write the scratch files in " + scratch.folder() + ": " + closed.message());
    }
  }
  return MergeRunFiles(scratch, order, result, names);
}

Status FinishRunFiles(const ScratchFolder& scratch, FileWriter (&runs)[2], const MergeOrder& order,
                      EntryList& entries, std::vector<uint32_t>* ranges) {
  std::string result;
  Status status = EndRunFiles(scratch, runs, order, RunFileNamesOf(), result);
  RunReader reader;
  if (status.ok()) status = reader.Open(scratch, result, order.Spans());
  if (!status.ok()) return status;
  RunRecord record;
  for (reader.Next(record); record.IsEntry(); reader.Next(record)) {
    entries.push_back(Entry{std::move(record.word), record.count});
    if (ranges && order.Spans()) ranges->push_back(record.files.range);
  }
  return reader.error();
}

}  // namespace wordloom
