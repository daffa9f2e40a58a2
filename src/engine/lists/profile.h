// The word frequency profile: statistics of the vocabulary or of the committed key words.
//
// ComputeProfile takes the numbers: the counts, the frequency spectrum (for each frequency
// that occurs, the number of word types with it) and the sums behind Yule's characteristic.
// WriteProfile lays them out as two scratch texts: "~3", the statistics (counts, type/token
// ratios, Yule's characteristic), and "~2", the spectrum with running totals and percentages.
// The spectrum is kept sparsely, so any frequency may occur; sums are exact 64-bit integers,
// or doubles summed from exact products. The profile only reads the session; the vocabulary
// size it finds is the one thing CommitProfile makes current. Memory: one pair of numbers
// per distinct frequency.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/scratch_folder.h"
#include "base/status.h"
#include "project/session.h"

namespace wordloom {

struct ProfileNumbers {
  bool keyWords = false;       // of the committed key words, else of every word type
  int64_t vocabularySize = 0;  // N: the word types of the vocabulary
  int64_t keyWordCount = 0;    // K: the committed key words
  int64_t tokens = 0;          // T: the running words of the last scan
  int64_t types = 0;           // L: the word types analysed
  int64_t analysedTokens = 0;  // TL: the running words of the types analysed
  // (frequency, number of types with it), by increasing frequency; negative frequencies (only
  // a damaged project has them) are left out.
  std::vector<std::pair<int64_t, int64_t>> spectrum;
  double s1 = 0;  // the sum of frequency x types, and of frequency^2 x types, over the spectrum
  double s2 = 0;
};

struct ProfileResult {
  std::string statisticsPath;  // "~3"
  std::string spectrumPath;    // "~2"
  std::string title;           // "Word Frequency Profile of 400 words"
  int64_t vocabularySize = 0;  // for CommitProfile
};

// The numbers of the profile of the committed key words when `keyWords`, else of every word
// type. Fails when the frequencies add up to more than 64 bits hold.
[[nodiscard]] Status ComputeProfile(const Session& session, bool keyWords, ProfileNumbers& numbers);

// Writes the two texts of `numbers` and names them in `result`.
[[nodiscard]] Status WriteProfile(const ProfileNumbers& numbers, const ScratchFolder& scratch, ProfileResult& result);

// The whole "Profile" action: ComputeProfile, then WriteProfile. Reads the session only.
[[nodiscard]] Status MakeProfile(const Session& session, bool keyWords, const ScratchFolder& scratch,
                                 ProfileResult& result);

// Makes what a successful profile found current: the vocabulary size.
void CommitProfile(Session& session, const ProfileResult& result);

}  // namespace wordloom
