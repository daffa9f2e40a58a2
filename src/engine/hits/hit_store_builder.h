// Inside the hit store: how a run writes it, and how one text's hits are gathered.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/file_writer.h"
#include "base/scratch_folder.h"
#include "hits/hit_record.h"
#include "hits/hits.h"

namespace wordloom {

class HitMatcher;

inline constexpr int64_t kMostContextWords = 20;
inline constexpr size_t kHitPadding = 250;  // the keyword pass's end padding

struct HitGatherSettings {
  std::vector<int> letters;  // the citation letters
  int64_t lineNumberWidth = 6;
  int64_t contextBytes = 240;  // stream bytes the widest context in characters may need
};

class HitStoreBuilder {
 public:
  explicit HitStoreBuilder(const ScratchFolder& scratch);
  Status Open();
  void Add(const HitRecord& record, const std::array<std::string, kHitStrings>& strings);
  int64_t count() const { return count_; }
  // Closes the files and maps them as a store.
  Status Finish(ConcordanceKind kind, const Session& session, std::vector<std::string> keys,
                std::shared_ptr<const HitStore>& store);

 private:
  const ScratchFolder& scratch_;
  FileWriter records_, strings_;
  int64_t count_ = 0;
  int64_t stringBytes_ = 0;
};

// Reads one text as the keyword pass does, keeping its hits.
Status GatherFileHits(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path,
                      int32_t fileIndex, HitMatcher& matcher, const HitGatherSettings& settings,
                      HitStoreBuilder& builder, ProgressSink* progress);

// Prepares the reader for a text as the keyword pass reads it, with the origins kept.
void PrepareHitReader(ScanContext& context, const ScanRules& rules, const CharTables& tables, const std::string& path);

}  // namespace wordloom
