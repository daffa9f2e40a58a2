#include "lists/profile.h"

#include <cmath>
#include <map>

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

// Products of frequencies are formed exactly before they are summed in double.
__extension__ typedef unsigned __int128 ExactProduct;

}  // namespace

Status MakeProfile(Session& session, bool keyWords, const ScratchFolder& scratch, ProfileResult& result) {
  result = ProfileResult{};
  const int64_t vocabularySize = static_cast<int64_t>(session.lists.Vocabulary.size());   // N
  const int64_t keyWordCount = static_cast<int64_t>(session.lists.KeyWordsList.size());  // K
  const int64_t tokens = session.totals.tokenCount;                                       // T
  const EntryList& analysed = keyWords ? session.lists.KeyWordsList : session.lists.AllWordsList;
  const int64_t types = static_cast<int64_t>(analysed.size());                            // L

  // The spectrum: how many word types have each frequency. Negative frequencies (only a
  // damaged project has them) are left out.
  std::map<int64_t, int64_t> spectrum;
  for (const Entry& entry : analysed) {
    if (entry.count >= 0) ++spectrum[entry.count];
  }
  int64_t analysedTokens = 0;  // TL; every other sum of products is at most this
  for (const auto& [frequency, count] : spectrum) {
    int64_t tokens = 0;
    if (__builtin_mul_overflow(frequency, count, &tokens) ||
        __builtin_add_overflow(analysedTokens, tokens, &analysedTokens)) {
      return Status::Error("The word frequencies add up to more than the profile can count.");
    }
  }

  FileWriter stats;
  Status status = scratch.OpenForWrite("3", stats);
  if (!status.ok()) return status;
  WriteLine(stats, keyWords ? "Analysis based on the key words" : "Analysis based on the whole vocabulary");
  WriteLine(stats, "Total vocabulary = " + std::to_string(vocabularySize) + " types");
  WriteLine(stats, "Project wordcount = " + std::to_string(tokens) + " tokens");
  if (keyWords) {
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
  double s1 = 0, s2 = 0;
  int64_t cumulativeTypes = 0, cumulativeTokens = 0;
  std::string row;
  for (const auto& [frequency, count] : spectrum) {
    const ExactProduct product = static_cast<ExactProduct>(frequency) * static_cast<uint64_t>(count);
    s1 += static_cast<double>(product);
    s2 += static_cast<double>(product * static_cast<uint64_t>(frequency));
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

  session.totals.vocabularySize = vocabularySize;
  WriteLine(stats, s1 > 0 ? "Yule's k = " + Ratio(10000 * (s2 - s1) / s1 / s1) : std::string());
  Status closed = stats.Close();
  if (!status.ok()) return status;
  if (!closed.ok()) return closed;
  result.statisticsPath = scratch.PathOf("3");
  result.spectrumPath = scratch.PathOf("2");
  return Status::Ok();
}

}  // namespace wordloom
