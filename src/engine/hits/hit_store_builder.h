// Inside the hit store: how a run writes it, and how one text's hits are gathered.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/file_writer.h"
#include "base/scratch_folder.h"
#include "concordance/gather.h"
#include "hits/hit_record.h"
#include "hits/hits.h"

namespace wordloom {

class HitMatcher;

inline constexpr int64_t kMostContextWords = 20;
inline constexpr int64_t kNearContextWords = 5;  // contexts up to this many words,
inline constexpr int64_t kNearContextBytes = 60;  // or this many bytes, read less text
inline constexpr int kMostContextCharacters = 120;
inline constexpr size_t kHitPadding = 250;  // the keyword pass's end padding

struct HitGatherSettings {
  std::vector<int> letters;  // the citation letters
  int64_t lineNumberWidth = 6;
  int64_t contextBytes = kMostContextCharacters;  // stream bytes the widest context in characters may need
  bool hyphenated = false;  // the rules have an end hyphen: a word may run on into the next line
};

class HitStoreBuilder {
 public:
  explicit HitStoreBuilder(const ScratchFolder& scratch);
  Status Open();
  void Add(const HitRecord& record, const std::array<std::string, kHitStrings>& strings);
  int64_t count() const { return count_; }
  // The next file starts: the running line number and the values in force.
  void StartFile(int64_t line, const std::array<std::string, kLetterCount + 1>& values) {
    fileStarts_.push_back({line, values});
  }
  // Closes the files and maps them as a store.
  Status Finish(ConcordanceKind kind, const Session& session, std::vector<std::string> keys,
                std::shared_ptr<const HitStore>& store);

 private:
  const ScratchFolder& scratch_;
  FileWriter records_, strings_;
  int64_t count_ = 0;
  int64_t stringBytes_ = 0;
  std::vector<HitStore::FileStart> fileStarts_;
};

// Reads one text as the keyword pass does, keeping its hits.
Status GatherFileHits(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                      int32_t fileIndex, HitMatcher& matcher, const HitGatherSettings& settings,
                      HitStoreBuilder& builder, ProgressSink* progress);
// The same over a stretch of the text (`file` open at its offset, the reader's state there in
// `context`): only the hits whose first word starts in its examined characters, each exactly as
// reading the whole text keeps it. Sets `further`, keeping nothing, when a hit would need
// more of the text before it than the stretch starts with (never for a stretch at the text's
// start).
Status GatherFileHitsStretch(ScanContext& context, const ScanRules& rules, const CharTables& tables, LineSource& file,
                             const std::string& path, int32_t fileIndex, HitMatcher& matcher,
                             const HitGatherSettings& settings, HitStoreBuilder& builder, const TextStretch& stretch,
                             bool& further, ProgressSink* progress);

// Reads one text as the whole-line pass does, keeping its lines that match. `patterns`: the
// matcher, not the key table of `base`, decides which lines match. With `stretch`, reads only
// that stretch of `file`, as GatherLineStretch does.
Status GatherFileLines(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                       int32_t fileIndex, HitMatcher& matcher, bool patterns, const GatherQuery& base,
                       HitStoreBuilder& builder, ProgressSink* progress, LineSource* file = nullptr,
                       const TextStretch& stretch = {});

// Prepares the reader for a text as the keyword pass reads it, with the origins kept.
void PrepareHitReader(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path);

}  // namespace wordloom
