#include "lists/profile.h"

#include <cmath>
#include <map>

#include "base/bits.h"
#include "base/file_writer.h"
#include "lists/number_format.h"
#include "scan/status_texts.h"

namespace wordloom {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr size_t kZone = 14;

void WriteLine(FileWriter& out, std::string_view line) {
  out.Write(line);
  out.Write(kCrLf);
}

// Appends `field` at the first print-zone boundary at or after the end of `line`.
void AppendInZone(std::string& line, std::string_view field) {
  if (!line.empty()) line.append((kZone - line.size() % kZone) % kZone, ' ');
  line += field;
}

std::string Ratio(double value) { return FormatDecimals(value, 8); }

}  // namespace

Status ComputeProfile(const Session& session, bool keyWords, ProfileNumbers& numbers) {
  numbers = ProfileNumbers{};
  const WordLists& lists = session.lists;
  const EntryView& analysed = keyWords ? lists.KeyWordsList : lists.AllWordsList;
  numbers.keyWords = keyWords;
  numbers.vocabularySize = static_cast<int64_t>(lists.Vocabulary.size());
  numbers.keyWordCount = static_cast<int64_t>(lists.KeyWordsList.size());
  numbers.tokens = session.totals.tokenCount;
  numbers.types = static_cast<int64_t>(analysed.size());

  // The spectrum: how many word types have each frequency.
  std::map<int64_t, int64_t> spectrum;
  for (size_t i = 0; i < analysed.size(); ++i) {
    const int64_t frequency = lists.At(analysed, i).count;
    if (frequency >= 0) ++spectrum[frequency];
  }
  numbers.spectrum.assign(spectrum.begin(), spectrum.end());
  for (const auto& [frequency, count] : numbers.spectrum) {
    // TL, and the sums behind Yule's k, each term an exact product before it is rounded.
    int64_t tokens = 0;
    if (MultiplyOverflows(frequency, count, tokens) || AddOverflows(numbers.analysedTokens, tokens, numbers.analysedTokens)) {
      return Status::Error("The word frequencies add up to more than the profile can count.");
    }
    numbers.s1 += static_cast<double>(tokens);
    numbers.s2 += WideProductAsDouble(static_cast<uint64_t>(tokens), static_cast<uint64_t>(frequency));
  }
  return Status::Ok();
}

Status WriteProfile(const ProfileNumbers& numbers, const ScratchFolder& scratch, ProfileResult& result) {
  result = ProfileResult{};
  const int64_t vocabularySize = numbers.vocabularySize;  // N
  const int64_t keyWordCount = numbers.keyWordCount;      // K
  const int64_t tokens = numbers.tokens;                  // T
  const int64_t types = numbers.types;                    // L
  const int64_t analysedTokens = numbers.analysedTokens;  // TL

  FileWriter stats;
  Status status = scratch.OpenForWrite("3", stats);
  if (!status.ok()) return status;
  WriteLine(stats, numbers.keyWords ? "Analysis based on the key words" : "Analysis based on the whole vocabulary");
  WriteLine(stats, "Total vocabulary = " + std::to_string(vocabularySize) + " types");
  WriteLine(stats, "Project wordcount = " + std::to_string(tokens) + " tokens");
  if (numbers.keyWords) {
    result.title = "Word Frequency Profile of " + std::to_string(keyWordCount) + " words";
    std::string share, tokenShare;
    if (vocabularySize != 0) {
      // Computed in double, kept as a single-precision value.
      const float percent = static_cast<float>(static_cast<double>(keyWordCount) / static_cast<double>(vocabularySize) * 100);
      share = FormatSingleDecimals(percent, 8) + " % of whole vocabulary)";
    }
    if (vocabularySize != 0 && tokens != 0) {
      tokenShare = FormatDecimals(static_cast<double>(analysedTokens) / static_cast<double>(tokens) * 100, 8) +
                   " % of total word count)";
    }
    WriteLine(stats, "KeyWords selected = " + std::to_string(keyWordCount) + " types (" + share);
    WriteLine(stats, "KeyWords wordcount = " + std::to_string(analysedTokens) + " tokens (" + tokenShare);
    if (analysedTokens >= 1) {
      WriteLine(stats, "Types/tokens = " + Ratio(static_cast<double>(keyWordCount) / static_cast<double>(analysedTokens)));
      WriteLine(stats, "Types/sqrt(tokens) = " +
                           Ratio(static_cast<double>(keyWordCount) / std::sqrt(static_cast<double>(analysedTokens))));
    }
  } else {
    result.title = "Word Frequency Profile of " + std::to_string(vocabularySize) + " words";
    if (tokens >= 1) {
      WriteLine(stats, "Types/tokens = " + Ratio(static_cast<double>(vocabularySize) / static_cast<double>(tokens)));
      WriteLine(stats, "Types/sqrt(tokens) = " +
                           Ratio(static_cast<double>(vocabularySize) / std::sqrt(static_cast<double>(tokens))));
    }
  }

  FileWriter table;
  status = scratch.OpenForWrite("2", table);
  if (!status.ok()) return status;
  if (types > 0) {
    WriteLine(table, "     Word       Number    Cumulative    Cumulative    Percentage    Percentage");
    WriteLine(table, "Frequency     of Words    Vocabulary    Word Count    Vocabulary    Word Count");
  }
  int64_t cumulativeTypes = 0, cumulativeTokens = 0;
  std::string row;
  for (const auto& [frequency, count] : numbers.spectrum) {
    cumulativeTypes += count;
    cumulativeTokens += frequency * count;
    row.clear();
    AppendInZone(row, PadNumber(frequency, 9));
    AppendInZone(row, PadNumber(count, 8));
    AppendInZone(row, PadNumber(cumulativeTypes, 8));
    AppendInZone(row, PadNumber(cumulativeTokens, 8));
    AppendInZone(row, FormatDecimals(static_cast<double>(cumulativeTypes) / static_cast<double>(types) * 100, 5));
    // Only words of frequency 0 (a damaged project) leave no tokens to take a share of.
    AppendInZone(row, analysedTokens == 0 ? std::string("0.")
                                          : FormatDecimals(static_cast<double>(cumulativeTokens) /
                                                               static_cast<double>(analysedTokens) * 100, 5));
    WriteLine(table, row);
  }
  status = table.Close();

  const double s1 = numbers.s1, s2 = numbers.s2;
  WriteLine(stats, s1 > 0 ? "Yule's k = " + Ratio(10000 * (s2 - s1) / s1 / s1) : std::string());
  Status closed = stats.Close();
  if (!status.ok()) return status;
  if (!closed.ok()) return closed;
  result.vocabularySize = vocabularySize;
  result.statisticsPath = scratch.PathOf("3");
  result.spectrumPath = scratch.PathOf("2");
  return Status::Ok();
}

Status MakeProfile(const Session& session, bool keyWords, const ScratchFolder& scratch, ProfileResult& result) {
  result = ProfileResult{};
  ProfileNumbers numbers;
  Status status = ComputeProfile(session, keyWords, numbers);
  if (!status.ok()) return status;
  return WriteProfile(numbers, scratch, result);
}

void CommitProfile(Session& session, const ProfileResult& result) { session.totals.vocabularySize = result.vocabularySize; }

}  // namespace wordloom
