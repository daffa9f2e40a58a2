// The keys that tie an index to its project, and the stamps of its texts.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "base/regular_file.h"
#include "index/index_format.h"

namespace wordloom {
namespace {

// Mixes values and strings into a key, each string after its length so that no two lists of
// strings give the same values. A vocabulary is keyed before every use of the index, so a
// string goes in eight bytes at a time.
class KeyBuilder {
 public:
  KeyBuilder& Number(uint64_t value) {
    hash_ = (hash_ ^ value) * 0xbf58476d1ce4e5b9ULL;
    hash_ ^= hash_ >> 29;
    return *this;
  }
  KeyBuilder& Text(std::string_view text) {
    Number(text.size());
    size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
      uint64_t word;
      std::memcpy(&word, text.data() + at, 8);
      Number(word);
    }
    if (at < text.size()) {
      uint64_t tail = 0;
      std::memcpy(&tail, text.data() + at, text.size() - at);
      Number(tail);
    }
    return *this;
  }
  uint64_t Value() const {
    const uint64_t h = (hash_ ^ (hash_ >> 31)) * 0xff51afd7ed558ccdULL;
    return h ^ (h >> 32);
  }

 private:
  uint64_t hash_ = 0x9E3779B97F4A7C15ULL;
};

}  // namespace

void ContentHasher::Add(std::string_view bytes) {
  length_ += bytes.size();
  size_t at = 0;
  while (pendingBytes_ != 0 && at < bytes.size()) {
    pending_ |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[at++])) << (8 * pendingBytes_);
    if (++pendingBytes_ == 8) {
      hash_ = (hash_ ^ pending_) * 0xbf58476d1ce4e5b9ULL;
      hash_ ^= hash_ >> 29;
      pending_ = 0;
      pendingBytes_ = 0;
    }
  }
  for (; at + 8 <= bytes.size(); at += 8) {
    uint64_t word;
    std::memcpy(&word, bytes.data() + at, 8);
    hash_ = (hash_ ^ word) * 0xbf58476d1ce4e5b9ULL;
    hash_ ^= hash_ >> 29;
  }
  for (; at < bytes.size(); ++at) {
    pending_ |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[at])) << (8 * pendingBytes_++);
  }
}

uint64_t ContentHasher::Value() const {
  uint64_t h = (hash_ ^ pending_) * 0xbf58476d1ce4e5b9ULL;
  h = (h ^ (h >> 29) ^ length_) * 0xff51afd7ed558ccdULL;
  return h ^ (h >> 32);
}

uint64_t RulesKey(const ScanRules& rules, const CharTables& tables) {
  KeyBuilder key;
  key.Text(rules.alphabet).Text(rules.join).Text(rules.endOfLine).Text(rules.endHyphen);
  key.Number(static_cast<uint64_t>(rules.referenceType)).Text(rules.leftReference).Text(rules.rightReference);
  key.Number(tables.unicode ? 1 : 0).Number(rules.unicodeLetters).Number(tables.needLetter).Text(rules.language);
  key.Number(static_cast<uint64_t>(rules.words));
  for (int16_t c : tables.CharClassTable) key.Number(static_cast<uint16_t>(c));
  for (int16_t c : tables.CollationTable) key.Number(static_cast<uint16_t>(c));
  return key.Value();
}

uint64_t VocabularyKey(const EntryList& vocabulary) {
  KeyBuilder key;
  key.Number(vocabulary.size());
  for (const Entry& entry : vocabulary) key.Text(entry.word).Number(static_cast<uint64_t>(entry.count));
  return key.Value();
}

uint64_t FilesKey(const std::vector<std::string>& files) {
  KeyBuilder key;
  key.Number(files.size());
  for (const std::string& file : files) key.Text(file);
  return key.Value();
}

TextStamp StampText(const std::string& path, bool withHash) {
  TextStamp stamp;
  int fd = -1;
  if (!OpenRegularFile(path, fd).ok()) return stamp;
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    close(fd);
    return stamp;
  }
  stamp.size = info.st_size;
  stamp.mtimeNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  if (withHash) {
    ContentHasher hasher;
    std::vector<char> buffer(1 << 20);
    for (;;) {
      const ssize_t got = read(fd, buffer.data(), buffer.size());
      if (got < 0) {
        stamp.size = -1;  // unreadable: never taken as unchanged
        break;
      }
      if (got == 0) break;
      hasher.Add(std::string_view(buffer.data(), static_cast<size_t>(got)));
    }
    stamp.hash = hasher.Value();
  }
  close(fd);
  return stamp;
}

}  // namespace wordloom
