#include "concordance/citation_sort.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "base/buffered_reader.h"
#include "base/cp1252.h"
#include "unicode/unicode_text.h"

namespace wordloom {
namespace {

// A blob: key length (4 bytes), body length (4), flag (1), the sort key, then the body:
// key number (8), sequence (8) and the three strings, each length-prefixed (4).
constexpr size_t kHeaderSize = 9;
constexpr size_t kMergeFanIn = 64;
constexpr size_t kCursorBuffer = 256 * 1024;

void PutU32(std::string& out, uint32_t value) { out.append(reinterpret_cast<const char*>(&value), 4); }
void PutI64(std::string& out, int64_t value) { out.append(reinterpret_cast<const char*>(&value), 8); }
void PutString(std::string& out, std::string_view text) {
  PutU32(out, static_cast<uint32_t>(text.size()));
  out.append(text);
}
uint32_t GetU32(const char* at) {
  uint32_t value;
  std::memcpy(&value, at, 4);
  return value;
}

// Orders two sort keys: bytes first, a key that is a prefix of the other first, then the flag.
int CompareKeys(std::string_view a, bool flagA, std::string_view b, bool flagB) {
  int bytes = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (bytes != 0) return bytes;
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return static_cast<int>(flagA) - static_cast<int>(flagB);
}

std::string_view BlobKey(std::string_view blob) { return blob.substr(kHeaderSize, GetU32(blob.data())); }
bool BlobFlag(std::string_view blob) { return blob[8] != 0; }

bool DecodeBlob(std::string_view blob, CitationRecord& record) {
  size_t at = kHeaderSize + GetU32(blob.data());
  if (blob.size() < at + 16) return false;
  std::memcpy(&record.keyNumber, blob.data() + at, 8);
  std::memcpy(&record.sequence, blob.data() + at + 8, 8);
  at += 16;
  for (std::string* field : {&record.citation, &record.leftContext, &record.rightContext}) {
    if (blob.size() < at + 4) return false;
    uint32_t length = GetU32(blob.data() + at);
    at += 4;
    if (blob.size() < at + length) return false;
    field->assign(blob.data() + at, length);
    at += length;
  }
  return true;
}

// Walks a context the way the context orders compare it and appends each word character's
// collating value: one byte for 1 to 254, otherwise 0 (below those) or 255 (above them)
// followed by the value in two bytes, so that the bytes compare as the values do. `flag` is set
// when characters that are not word characters remain after the last word character of the
// walk: such a context is not used up when the other one is, which decides between equal word
// sequences.
template <typename Step>
void AppendWalk(const CollationView& view, size_t length, Step at, std::string& key, bool& flag) {
  size_t trailing = 0;
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(at(i));
    if (!view.isWord[c]) {
      ++trailing;
      continue;
    }
    trailing = 0;
    const int value = view.collation[c];
    if (value >= 1 && value <= 254) {
      key += static_cast<char>(value);
    } else {
      const uint16_t shifted = static_cast<uint16_t>(value + 32768);
      key += static_cast<char>(value < 1 ? 0 : 255);
      key += static_cast<char>(shifted >> 8);
      key += static_cast<char>(shifted & 0xFF);
    }
  }
  flag = trailing > 0;
}

// The same walk over UTF-8 contexts: the word characters met, lower-cased, make one word whose
// collation key is appended. Backwards, the user-perceived characters come last first.
void AppendUnicodeWalk(const UnicodeText& unicode, std::string_view context, bool backwards, std::string& key,
                       bool& flag) {
  std::vector<std::string_view> clusters;
  for (size_t at = 0; at < context.size();) {
    const size_t end = ClusterEnd(context, at);
    clusters.push_back(context.substr(at, end - at));
    at = end;
  }
  if (backwards) std::reverse(clusters.begin(), clusters.end());
  std::string walk;
  size_t trailing = 0;
  for (std::string_view cluster : clusters) {
    size_t at = 0;
    if (!unicode.IsWordChar(NextCodePoint(cluster, at))) {
      ++trailing;
      continue;
    }
    trailing = 0;
    unicode.AppendLower(cluster, walk);
  }
  unicode.AppendSortKey(walk, key);
  flag = trailing > 0;
}

// The first twelve bytes of a sort key (the key number and eight bytes of context), zero-padded,
// as two numbers that compare as the bytes do: most comparisons end there.
struct KeyHead {
  uint32_t high = 0;
  uint64_t low = 0;
  uint64_t next = 0;
  explicit KeyHead(std::string_view key) {
    auto byte = [&](size_t i) { return i < key.size() ? static_cast<unsigned char>(key[i]) : 0u; };
    for (size_t i = 0; i < 4; ++i) high = (high << 8) | byte(i);
    for (size_t i = 4; i < 12; ++i) low = (low << 8) | byte(i);
    for (size_t i = 12; i < 20; ++i) next = (next << 8) | byte(i);
  }
  KeyHead() = default;
  int Compare(const KeyHead& other) const {
    if (high != other.high) return high < other.high ? -1 : 1;
    if (low != other.low) return low < other.low ? -1 : 1;
    if (next != other.next) return next < other.next ? -1 : 1;
    return 0;
  }
};

}  // namespace

CollationView::CollationView(const CharTables& tables) : unicode(tables.unicode.get()) {
  for (int c = 0; c < 256; ++c) {
    unsigned char lower = ToLower1252(static_cast<unsigned char>(c));
    isWord[static_cast<size_t>(c)] = tables.CharClassTable[lower] % 10 == kWordClass;
    collation[static_cast<size_t>(c)] = tables.CollationTable[lower];
  }
}

bool CitationBefore(const CitationRecord& a, const CitationRecord& b, CitationOrder order, const CollationView& view) {
  if (a.keyNumber != b.keyNumber) return a.keyNumber < b.keyNumber;
  if (order == CitationOrder::AsItOccurs) return a.sequence <= b.sequence;
  if (order != CitationOrder::LeftContext && order != CitationOrder::RightContext) return true;
  const bool left = order == CitationOrder::LeftContext;
  const std::string& sa = left ? a.leftContext : a.rightContext;
  const std::string& sb = left ? b.leftContext : b.rightContext;
  // The right context's last character never takes part.
  const size_t la = left ? sa.size() : (sa.empty() ? 0 : sa.size() - 1);
  const size_t lb = left ? sb.size() : (sb.empty() ? 0 : sb.size() - 1);
  auto charAt = [left](const std::string& s, size_t length, size_t i) {
    return static_cast<unsigned char>(left ? s[length - 1 - i] : s[i]);
  };
  size_t i = 0, j = 0;
  for (;;) {
    if (i == la) return j == lb ? a.sequence <= b.sequence : true;
    if (j == lb) return false;
    unsigned char ca = charAt(sa, la, i);
    unsigned char cb = charAt(sb, lb, j);
    if (!view.isWord[ca]) {
      ++i;
    } else if (!view.isWord[cb]) {
      ++j;
    } else if (view.collation[ca] != view.collation[cb]) {
      return view.collation[ca] < view.collation[cb];
    } else {
      ++i;
      ++j;
    }
  }
}

// Reads the blobs of one spilled run through a buffer of its own.
class CitationSorter::RunCursor {
 public:
  RunCursor(int fd, const std::string& name, uint64_t offset, uint64_t length, size_t bufferSize) : reader_(bufferSize) {
    reader_.Reset(fd, name, offset, length);
  }

  // Loads the next blob; false at the end of the run or when it cannot be read.
  bool Advance() {
    if (reader_.AtEnd()) return false;
    char header[kHeaderSize];
    if (!reader_.Read(header, kHeaderSize)) return CutShort();
    const uint64_t size = kHeaderSize + uint64_t{GetU32(header)} + GetU32(header + 4);
    blob_.resize(size);
    std::memcpy(blob_.data(), header, kHeaderSize);
    if (!reader_.Read(blob_.data() + kHeaderSize, size - kHeaderSize)) return CutShort();
    head_ = KeyHead(BlobKey(blob_));
    return true;
  }
  std::string_view blob() const { return blob_; }
  const KeyHead& head() const { return head_; }
  const Status& error() const { return reader_.error().ok() ? error_ : reader_.error(); }

 private:
  bool CutShort() {
    if (error_.ok()) error_ = Status::Error("A scratch file of the concordance ordering ended early.");
    return false;
  }

  BufferedReader reader_;
  std::string blob_;
  KeyHead head_;
  Status error_;
};

CitationSorter::CitationSorter(const ScratchFolder& scratch, std::string family, CitationOrder order,
                               const CharTables& tables, const CitationSortOptions& options)
    : scratch_(scratch), family_(std::move(family)), order_(order), view_(tables), options_(options) {}

CitationSorter::~CitationSorter() {
  merger_.reset();
  if (runFd_ >= 0) ::close(runFd_);
}

void CitationSorter::RemoveScratchFiles() const {
  for (const char* name : {"A", "B", "C", "D"}) scratch_.Remove(name + family_);
}

void CitationSorter::AppendKey(int64_t keyNumber, std::string_view leftContext, std::string_view rightContext,
                               bool& flag) {
  uint32_t number = static_cast<uint32_t>(std::clamp<int64_t>(keyNumber, 0, UINT32_MAX));
  for (int shift = 24; shift >= 0; shift -= 8) arena_ += static_cast<char>((number >> shift) & 0xFF);
  flag = false;
  if (view_.unicode && (order_ == CitationOrder::LeftContext || order_ == CitationOrder::RightContext)) {
    const bool left = order_ == CitationOrder::LeftContext;
    std::string_view context = left ? leftContext : rightContext;
    // The right context's last character never takes part.
    if (!left && !context.empty()) {
      size_t last = 0;
      for (size_t at = 0; at < context.size(); at = ClusterEnd(context, at)) last = at;
      context = context.substr(0, last);
    }
    AppendUnicodeWalk(*view_.unicode, context, left, arena_, flag);
    return;
  }
  if (order_ == CitationOrder::LeftContext) {
    AppendWalk(view_, leftContext.size(), [&](size_t i) { return leftContext[leftContext.size() - 1 - i]; }, arena_, flag);
  } else if (order_ == CitationOrder::RightContext) {
    size_t length = rightContext.empty() ? 0 : rightContext.size() - 1;
    AppendWalk(view_, length, [&](size_t i) { return rightContext[i]; }, arena_, flag);
  }
}

void CitationSorter::Add(int64_t keyNumber, int64_t sequence, std::string_view citation, std::string_view leftContext,
                         std::string_view rightContext) {
  ++count_;
  if (arena_.capacity() == 0) arena_.reserve(options_.budgetBytes + 4096);
  Item item{0, 0, arena_.size(), 0, 0, 0, false};
  arena_.append(kHeaderSize, '\0');
  AppendKey(keyNumber, leftContext, rightContext, item.flag);
  item.keyLength = static_cast<uint32_t>(arena_.size() - item.offset - kHeaderSize);
  const KeyHead head(std::string_view(arena_.data() + item.offset + kHeaderSize, item.keyLength));
  item.head = head.high;
  item.prefix = head.low;
  item.more = head.next;
  size_t bodyStart = arena_.size();
  PutI64(arena_, keyNumber);
  PutI64(arena_, sequence);
  PutString(arena_, citation);
  PutString(arena_, leftContext);
  PutString(arena_, rightContext);
  uint32_t bodyLength = static_cast<uint32_t>(arena_.size() - bodyStart);
  char* header = arena_.data() + item.offset;
  std::memcpy(header, &item.keyLength, 4);
  std::memcpy(header + 4, &bodyLength, 4);
  header[8] = item.flag ? 1 : 0;
  item.size = static_cast<uint32_t>(arena_.size() - item.offset);
  items_.push_back(item);
  if (arena_.size() + items_.size() * sizeof(Item) >= options_.budgetBytes) SpillChunk();
}

void CitationSorter::SortChunk() {
  const char* base = arena_.data();
  auto key = [base](const Item& item) { return std::string_view(base + item.offset + kHeaderSize, item.keyLength); };
  std::sort(items_.begin(), items_.end(), [&](const Item& a, const Item& b) {
    if (a.head != b.head) return a.head < b.head;
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (a.more != b.more) return a.more < b.more;
    int order = CompareKeys(key(a), a.flag, key(b), b.flag);
    return order != 0 ? order < 0 : a.offset < b.offset;
  });
}

void CitationSorter::SpillChunk() {
  if (items_.empty()) return;
  SortChunk();
  if (!runWriter_.IsOpen() && error_.ok()) {
    runFile_ = "A" + family_;
    error_ = scratch_.OpenForWrite(runFile_, runWriter_);
  }
  uint64_t start = runBytes_;
  for (const Item& item : items_) {
    runWriter_.Write(std::string_view(arena_.data() + item.offset, item.size));
    runBytes_ += item.size;
  }
  runs_.emplace_back(start, runBytes_ - start);
  arena_.clear();
  items_.clear();
}

// Merges spilled runs: the least blob first, and of equal blobs the one of the earlier run.
class CitationSorter::Merger {
 public:
  Merger(int fd, const std::string& name, const std::vector<std::pair<uint64_t, uint64_t>>& runs, size_t first,
         size_t last, size_t budget) {
    size_t buffer = std::clamp<size_t>(budget / std::max<size_t>(last - first, 1), 16 * 1024, kCursorBuffer);
    for (size_t i = first; i < last; ++i) {
      cursors_.push_back(std::make_unique<RunCursor>(fd, name, runs[i].first, runs[i].second, buffer));
      if (cursors_.back()->Advance()) Push(cursors_.size() - 1);
      Check(*cursors_.back());
    }
  }

  // The next blob in order, valid until the next call; false when every run is used up.
  bool Next(std::string_view& blob) {
    if (pending_ != kNone) {
      RunCursor& cursor = *cursors_[pending_];
      if (cursor.Advance()) Push(pending_);
      Check(cursor);
      pending_ = kNone;
    }
    if (heap_.empty() || !error_.ok()) return false;
    std::pop_heap(heap_.begin(), heap_.end(), Later(this));
    pending_ = heap_.back();
    heap_.pop_back();
    blob = cursors_[pending_]->blob();
    return true;
  }
  const Status& error() const { return error_; }

 private:
  static constexpr size_t kNone = SIZE_MAX;

  void Check(const RunCursor& cursor) {
    if (error_.ok() && !cursor.error().ok()) error_ = cursor.error();
  }
  void Push(size_t index) {
    heap_.push_back(index);
    std::push_heap(heap_.begin(), heap_.end(), Later(this));
  }
  // Heap order: true when run `a`'s blob comes after run `b`'s.
  class Later {
   public:
    explicit Later(const Merger* merger) : merger_(merger) {}
    bool operator()(size_t a, size_t b) const {
      const RunCursor& first = *merger_->cursors_[a];
      const RunCursor& second = *merger_->cursors_[b];
      int order = first.head().Compare(second.head());
      if (order == 0) {
        order = CompareKeys(BlobKey(first.blob()), BlobFlag(first.blob()), BlobKey(second.blob()), BlobFlag(second.blob()));
      }
      return order != 0 ? order > 0 : a > b;
    }

   private:
    const Merger* merger_ = nullptr;
  };

  std::vector<std::unique_ptr<RunCursor>> cursors_;
  std::vector<size_t> heap_;
  size_t pending_ = kNone;
  Status error_;
};

Status CitationSorter::ReduceRuns() {
  // Merge at most kMergeFanIn runs at once, through the family's other file, until the
  // final merge can read every run.
  while (runs_.size() > kMergeFanIn) {
    std::string other = (runFile_[0] == 'A' ? "B" : "A") + family_;
    FileWriter out;
    Status status = scratch_.OpenForWrite(other, out);
    if (!status.ok()) return status;
    std::vector<std::pair<uint64_t, uint64_t>> merged;
    uint64_t bytes = 0;
    for (size_t first = 0; first < runs_.size(); first += kMergeFanIn) {
      Merger merger(runFd_, scratch_.PathOf(runFile_), runs_, first, std::min(first + kMergeFanIn, runs_.size()),
                    options_.budgetBytes);
      uint64_t start = bytes;
      std::string_view blob;
      while (merger.Next(blob)) {
        out.Write(blob);
        bytes += blob.size();
      }
      if (!merger.error().ok()) return merger.error();
      merged.emplace_back(start, bytes - start);
    }
    status = out.Close();
    if (!status.ok()) return status;
    ::close(runFd_);
    runFd_ = scratch_.OpenForRead(other, status);
    if (!status.ok()) return status;
    runFile_ = other;
    runs_ = std::move(merged);
  }
  return Status::Ok();
}

Status CitationSorter::Finish() {
  if (!error_.ok()) return error_;
  if (runs_.empty()) {
    SortChunk();
    nextItem_ = 0;
    return Status::Ok();
  }
  SpillChunk();
  Status status = runWriter_.Close();
  if (status.ok()) runFd_ = scratch_.OpenForRead(runFile_, status);
  if (status.ok()) status = ReduceRuns();
  if (status.ok()) {
    merger_ = std::make_unique<Merger>(runFd_, scratch_.PathOf(runFile_), runs_, 0, runs_.size(), options_.budgetBytes);
  }
  if (!status.ok()) error_ = status;
  return status;
}

bool CitationSorter::Next(CitationRecord& record) {
  if (!error_.ok()) return false;
  if (!merger_) {
    if (nextItem_ == items_.size()) return false;
    const Item& item = items_[nextItem_++];
    return DecodeBlob(std::string_view(arena_.data() + item.offset, item.size), record);
  }
  std::string_view blob;
  if (merger_->Next(blob) && DecodeBlob(blob, record)) return true;
  if (!merger_->error().ok()) error_ = merger_->error();
  return false;
}

}  // namespace wordloom
