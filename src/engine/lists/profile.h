// The word frequency profile: statistics of the vocabulary or of the committed key words.
//
// Writes two scratch texts: "~3", the statistics (counts, type/token ratios, Yule's
// characteristic), and "~2", the frequency spectrum (for each frequency that occurs, the
// number of word types with it and the running totals and percentages). The spectrum is kept
// sparsely, so any frequency may occur; sums are exact 64-bit integers, or doubles summed from
// exact products. Memory: one counter per distinct frequency.
#pragma once

#include <string>

#include "base/scratch_folder.h"
#include "base/status.h"
#include "project/session.h"

namespace wordloom {

struct ProfileResult {
  std::string statisticsPath;  // "~3"
  std::string spectrumPath;    // "~2"
  std::string title;           // "Word Frequency Profile of 400 words"
};

// The whole "Profile" action: of the committed key words when `keyWords`, else of every
// word type. Sets the session's vocabulary size.
[[nodiscard]] Status MakeProfile(Session& session, bool keyWords, const ScratchFolder& scratch, ProfileResult& result);

}  // namespace wordloom
