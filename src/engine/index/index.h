// The positional index of a project: its texts' tokens kept in one file, "NAME.wlx" beside
// "NAME.wlm", so that a pass over the words reads the index instead of the texts.
//
// What it holds: the token stream as vocabulary positions (4 bytes a token, kNoEntry for a
// word the vocabulary lacks), each entry's positions in that stream (64-bit, delta and
// variable-length coded), and per text: its size, modification time and content hash, its
// tokens, its lines (the byte offset of each line the reader hands out, with the tokens
// before it) and the reference values its tags set (with the token they take effect at).
// The tokens are exactly those of StreamTokens (scan/vocabulary.h) over the same texts and
// vocabulary, so whatever a pass computes from them it computes the same from the index.
//
// Guarantees:
// - An index is used only when it matches the session: the same rules and tables, the same
//   vocabulary, the same list of texts, and each text of the same size and modification time
//   as when it was indexed. Anything else (another version, another project, a stale or
//   damaged file) is passed over: UpdateProjectIndex builds it again, silently.
// - A rebuild reuses what it kept of each text whose path, size and content hash are unchanged,
//   when the rules are the same, its tokens renumbered into the new vocabulary; the others are
//   read again. A text that changed while it was read is marked so that it never matches.
// - The file is written beside the target and renamed over it (base/atomic_file.h), so no
//   reader ever maps a half-written index. Opening checks every section's bounds and counts and
//   every restart point, so a truncated or foreign file fails to open rather than being read
//   past its end. There is no checksum of the content: bytes changed inside the bounds give
//   wrong answers, never a read outside the file.
// - Little-endian, 64-bit offsets and positions throughout; read through a read-only mapping.
//
// Building reads the texts on several threads when every text is read afresh and they are
// large enough to cut (piece_tokens.h); the positions of each group of entries are then coded
// a thread a stretch of the token stream.
//
// Memory: reading maps the file and touches only what a pass reads, letting the token stream's
// pages go once read; opening copies only the texts' records, so that it costs the same
// whatever the size of the vocabulary. Building holds about 60 bytes a vocabulary entry (the token pass's lookup
// table and the positions' counts) and about 40 more for each thread that reads the texts,
// twice that while old texts are reused, one line of text and 1 MiB of mapped tokens a thread
// (and 1 MiB for the thread that reads the texts' content hashes meanwhile), and at most 32 MiB
// of positions at a time (more only for one word whose positions alone are larger); the index
// on disk is about 1.2 times the size of ordinary text.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/progress.h"
#include "base/scratch_folder.h"
#include "base/status.h"
#include "project/session.h"
#include "scan/vocabulary.h"

namespace wordloom {

class ProjectIndex {
 public:
  struct Text;   // what the index records of one text
  struct Line;   // one line the reader handed out
  struct Event;  // one reference value set by a tag
  struct Checkpoint;  // a place where a pass may start reading a text

  ~ProjectIndex();
  ProjectIndex(const ProjectIndex&) = delete;
  ProjectIndex& operator=(const ProjectIndex&) = delete;

  // Maps the index at `path` and checks its structure. Fails on a missing, foreign, damaged or
  // truncated file, or one of another version; does not compare it with any project.
  static Status Open(const std::string& path, std::shared_ptr<const ProjectIndex>& index);

  // True when the index answers for `session` as it now is (see the guarantees above): a stat
  // of each text, and a hash of the rules and the vocabulary.
  bool Matches(const Session& session) const;
  // True when the index holds `files`, each as it now is (a stat of each), read under rules of
  // key `rulesKey` (RulesKey).
  bool HoldsTexts(const std::vector<std::string>& files, uint64_t rulesKey) const;
  // True when, read under rules of key `rulesKey`, it holds a text of `files` at that path and
  // of the size it now has: a build would most likely take that text from it.
  bool MayLendAText(const std::vector<std::string>& files, uint64_t rulesKey) const;

  int64_t tokenCount() const { return tokenCount_; }
  size_t fileCount() const { return fileCount_; }
  size_t entryCount() const { return entryCount_; }
  // The tokens of text `file`, in order.
  std::span<const uint32_t> FileTokens(size_t file) const;
  // The position in the whole stream of text `file`'s first token.
  int64_t FirstToken(size_t file) const;
  // The path text `file` had when it was indexed.
  std::string_view TextPath(size_t file) const;
  // What the index records of text `file`.
  const Text& TextRecord(size_t file) const;
  // The lines and the tag values of text `file`, and an event's value.
  std::span<const Line> TextLines(size_t file) const;
  std::span<const Event> TextEvents(size_t file) const;
  std::string_view EventValue(const Event& event) const;
  std::span<const Checkpoint> TextCheckpoints(size_t file) const;
  // The vocabulary the index was built with (what its token numbers are positions in).
  std::string_view Word(size_t entry) const {
    return {wordBytes_ + wordOffsets_[entry], static_cast<size_t>(wordOffsets_[entry + 1] - wordOffsets_[entry])};
  }
  uint64_t rulesKey() const { return rulesKey_; }
  // The positions of `entry` in the whole stream, ascending, into `positions` (emptied first).
  // False when its coding is damaged (then `positions` holds what came before the damage).
  bool Positions(EntryPosition entry, std::vector<int64_t>& positions) const;
  // The stretches of the stream around each position of `starts`' entries: from `before`
  // tokens ahead of it to `after` tokens behind it, within its text, stretches that meet or
  // overlap joined. Each is handed to `sink` as a text of its own (BeginFile with the number
  // of the text it lies in), without lines. A pass whose counts all come from windows of that
  // reach around such positions counts the same as over the whole stream.
  // A damaged list of positions makes it the whole stream instead (Stream, from `reader`).
  bool StreamAround(const std::vector<EntryPosition>& starts, int64_t before, int64_t after, const ScanContext& reader,
                    TokenSink& sink, ProgressSink* progress) const;
  // The stream's tokens with the reference values in force at each as the reader would have
  // them, handed to `sink` as StreamTokens hands them (see StreamProjectTokens), except that a
  // line is handed out only at a text's start and where a value changes.
  bool Stream(const ScanContext& reader, TokenSink& sink, ProgressSink* progress) const;

 private:
  friend bool CountProjectRanges(const Session&, std::vector<uint32_t>&, ProgressSink*);
  ProjectIndex() = default;
  // Lets the pages of [from, to) of the mapping go from this process once read.
  void Release(const void* from, const void* to) const;
  // Asks for the pages of [from, to) to be read ahead: they are about to be read in order.
  void ReadAhead(const void* from, const void* to) const;
  // Maps the pages of [from, to) at once: they are about to be read through.
  void MapNow(const void* from, const void* to) const;
  friend struct IndexLayout;

  const unsigned char* data_ = nullptr;
  size_t size_ = 0;
  int64_t tokenCount_ = 0;
  size_t entryCount_ = 0;
  size_t fileCount_ = 0;
  uint64_t rulesKey_ = 0;
  uint64_t vocabularyKey_ = 0;
  uint64_t filesKey_ = 0;
  const uint32_t* tokens_ = nullptr;
  const Line* lines_ = nullptr;
  const Event* events_ = nullptr;
  const Checkpoint* checkpoints_ = nullptr;
  const char* strings_ = nullptr;
  size_t stringBytes_ = 0;
  const uint64_t* postingOffsets_ = nullptr;
  const unsigned char* postings_ = nullptr;
  size_t postingBytes_ = 0;
  std::vector<Text> files_;
  const uint64_t* wordOffsets_ = nullptr;  // entryCount_ + 1 of them, rising through wordBytes_
  const char* wordBytes_ = nullptr;
};

// The index file of a project file: its name with ".wlx" in place of its extension.
std::string IndexPathFor(const std::string& projectPath);
// Whether the index at `path` opens and may lend a build a text of `files` (MayLendAText): a
// scan of them then need not record their tokens, since a build that reuses a text reads the
// others itself.
bool IndexMayLendTexts(const std::string& path, const std::vector<std::string>& files, uint64_t rulesKey);

// How an index is built: the threads of its token pass (0: one a hardware thread; tokens the
// scan recorded keep the scan's threads), about how many bytes a piece of a large text holds
// when several threads read it, and how many bytes of coded positions are built in memory at a
// time (lower only in tests).
struct IndexBuildOptions {
  int threads = 0;
  size_t pieceBytes = 4u << 20;
  size_t positionBytes = 32u << 20;
};

// Makes `index` the index of `session`'s project at `path`: the file there when it matches,
// else a new one built (reusing what it can of the old), written and opened. Does nothing and
// leaves `index` empty for a project without words. Fails when the index cannot be written;
// the caller then reads the texts as before.
Status UpdateProjectIndex(const Session& session, const std::string& path, const ScratchFolder& scratch,
                          std::shared_ptr<const ProjectIndex>& index, ProgressSink* progress = nullptr,
                          const IndexBuildOptions& options = {});

// The stretches of the session's tokens around the positions of `starts`' entries, as
// ProjectIndex::StreamAround gives them, when the session's index matches and they are few
// enough for that to pay; else the whole stream, as StreamProjectTokens gives it.
[[nodiscard]] bool StreamProjectTokensAround(const Session& session, const std::vector<EntryPosition>& starts,
                                             int64_t before, int64_t after, TokenSink& sink,
                                             ProgressSink* progress = nullptr);

// Opens the index beside the session's project file into `session.index` when one is there
// and matches; never builds one, so it is quick enough to run at once on opening a project.
void OpenMatchingIndex(Session& session);

// The tokens of the session's texts, exactly as StreamTokens gives them with `reader` and the
// session's files, rules, tables and vocabulary: from the session's index when it matches,
// else from the texts. Same progress and stop as StreamTokens.
[[nodiscard]] bool StreamProjectTokens(const Session& session, const ScanContext& reader, TokenSink& sink,
                                       ProgressSink* progress = nullptr);

// The range of each vocabulary entry, as CountWordRanges gives it over the session's texts:
// from the session's index when it matches, else from the texts.
[[nodiscard]] bool CountProjectRanges(const Session& session, std::vector<uint32_t>& ranges,
                                      ProgressSink* progress = nullptr);

}  // namespace wordloom
