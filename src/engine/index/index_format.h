// The layout of an index file (see index.h), shared by its writer and its reader.
//
// Sections at 8-byte aligned offsets from the file's start, each located by the section table
// of the header, which ends the file (it is written last). All numbers are little-endian.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/bits.h"
#include "index/index.h"

namespace wordloom {

inline constexpr char kIndexMagic[8] = {'W', 'L', 'X', 'I', 'N', 'D', 'E', 'X'};
inline constexpr uint32_t kIndexVersion = 2;

enum IndexSection : uint32_t {
  kTokensSection,          // uint32_t per token
  kLinesSection,           // ProjectIndex::Line per line, text after text
  kEventsSection,          // ProjectIndex::Event per tag value, text after text
  kStringsSection,         // the events' values and the texts' paths
  kTextsSection,           // ProjectIndex::Text per text
  kWordOffsetsSection,     // uint64_t per entry and one more: where each word starts in the next
  kWordBytesSection,       // the vocabulary's words, one after the other
  kPostingOffsetsSection,  // uint64_t per entry and one more: where each entry's positions start
  kPostingsSection,        // the positions, delta and variable-length coded
  kCheckpointsSection,     // ProjectIndex::Checkpoint per restart point, text after text
  kSectionCount
};

struct IndexSectionPlace {
  uint64_t offset;
  uint64_t size;
};

struct IndexHeader {
  char magic[8];
  uint32_t version;
  uint32_t flags;
  uint64_t rulesKey;       // what cuts the tokens: the rules and the tables
  uint64_t vocabularyKey;  // the vocabulary's words and counts, in order
  uint64_t filesKey;       // the list of texts
  uint64_t tokenCount;
  uint64_t fileCount;
  uint64_t entryCount;
  IndexSectionPlace sections[kSectionCount];
};

struct ProjectIndex::Text {
  int64_t size;     // -1: the text could not be read; -2: it changed while it was read
  int64_t mtimeNs;  // modification time, nanoseconds since the epoch
  uint64_t hash;    // ContentHash of its bytes
  int64_t firstToken;
  int64_t tokenCount;
  int64_t firstLine;
  int64_t lineCount;
  int64_t firstEvent;
  int64_t eventCount;
  uint64_t pathOffset;  // its path, in the strings
  uint64_t pathLength;
  // The reader's counters over the whole text: physical and logical lines read, and the
  // running line number at its end (a change from its start, or where a line-number tag set it).
  int64_t physicalLines;
  int64_t logicalLines;
  int64_t lineNumber;
  uint32_t flags;  // TextFlag
  uint32_t unused;
  int64_t firstCheckpoint;
  int64_t checkpointCount;
};

// What the index knows of a text beyond its tokens.
enum TextFlag : uint32_t {
  kLineNumberSet = 1,    // a line-number tag set the running line number (lineNumber is absolute)
  kEndsJoined = 2,       // its last line holds (or starts with) a join character: the reader runs on
  kStartsJoined = 4,     // the pass that indexed it came to it joined to the text before
  kWordsMissing = 8,     // some of its words are not in the vocabulary
  kLongWord = 16,        // a word of more than 125 bytes (the Windows-1252 keyword pass sees it through its ring)
  kReported = 32,        // reading it added to the Error Report
};
// Restart points lie at least this many characters apart, and the first this far into its text.
inline constexpr int64_t kCheckpointChars = 1024;
// Beyond this, a count of characters in a restart point is damage (no text holds 2^50).
inline constexpr int64_t kMostChars = int64_t{1} << 50;

// A text the keyword pass must read whole: the reader could not be restarted inside it.
inline constexpr uint32_t kReadWhole = kEndsJoined | kStartsJoined | kWordsMissing | kLongWord | kReported;

// A place inside a text where a concordance pass may start reading: the start of a logical
// line that is one physical line, not joined to the line before, with the reader's state there.
struct ProjectIndex::Checkpoint {
  int64_t offset;         // the byte offset of its physical line
  int64_t chars;          // the characters the reader handed out before it
  int64_t token;          // the text's tokens before it
  int64_t event;          // the text's tag values set before it
  int64_t physicalLines;  // the physical and logical lines read before it
  int64_t logicalLines;
  int64_t lineNumber;     // the running line number before it: a change from the text's start,
  uint32_t flags;         // or absolute with kLineNumberSet
  uint32_t fileLine;      // the reader's physical line number in the text, at most 2^32 - 1
};

struct ProjectIndex::Line {
  int64_t offset;      // the byte offset of the (last) physical line the reader read for it
  int64_t firstToken;  // the tokens of the text handed out before it
};

struct ProjectIndex::Event {
  int64_t token;  // the tokens of the text handed out before the value took effect
  uint32_t letter;
  uint32_t length;
  uint64_t stringOffset;
};

static_assert(sizeof(IndexHeader) == 64 + 16 * kSectionCount);
static_assert(sizeof(ProjectIndex::Text) == 136 && sizeof(ProjectIndex::Line) == 16 &&
              sizeof(ProjectIndex::Event) == 24 && sizeof(ProjectIndex::Checkpoint) == 64);

// The keys that tie an index to its project.
uint64_t RulesKey(const ScanRules& rules, const CharTables& tables);
uint64_t VocabularyKey(const EntryList& vocabulary);
uint64_t FilesKey(const std::vector<std::string>& files);

// What the index records of a text's identity: size and modification time (size -1 when it
// cannot be read), and the hash of its bytes when `withHash`.
struct TextStamp {
  int64_t size = -1;
  int64_t mtimeNs = 0;
  uint64_t hash = 0;
};
TextStamp StampText(const std::string& path, bool withHash);

// A 64-bit hash of bytes fed in pieces of any size (FNV-style over 8-byte words).
class ContentHasher {
 public:
  void Add(std::string_view bytes);
  uint64_t Value() const;

 private:
  uint64_t hash_ = 0x9E3779B97F4A7C15ULL;
  uint64_t pending_ = 0;
  unsigned pendingBytes_ = 0;
  uint64_t length_ = 0;
};

// Variable-length coding: 7 bits a byte, low bits first, the high bit set on all but the last.
inline size_t PutVarint(uint64_t value, unsigned char* out) {
  size_t n = 0;
  while (value >= 0x80) {
    out[n++] = static_cast<unsigned char>(value | 0x80);
    value >>= 7;
  }
  out[n++] = static_cast<unsigned char>(value);
  return n;
}

}  // namespace wordloom
