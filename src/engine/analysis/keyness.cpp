// Keyness: each word of the target against a reference corpus, by log-likelihood and log ratio.
#include <algorithm>
#include <cmath>

#include "analysis/analysis.h"

namespace wordloom {
namespace {

__extension__ typedef __int128 Wide;

// One term of LL: a frequency of 0 counts 0.
double Term(int64_t observed, double expected) {
  if (observed == 0) return 0;
  const double o = static_cast<double>(observed);
  return o * std::log(o / expected);
}

// A frequency in the log ratio: 0 counts as 0.5.
double RatioFrequency(int64_t frequency) { return frequency == 0 ? 0.5 : static_cast<double>(frequency); }

}  // namespace

void MeasureKeyness(int64_t a, int64_t b, int64_t c, int64_t d, KeynessRow& row) {
  row.frequency = a;
  row.referenceFrequency = b;
  const double total = static_cast<double>(c) + static_cast<double>(d);
  const double both = static_cast<double>(a) + static_cast<double>(b);
  const double e1 = static_cast<double>(c) * both / total;
  const double e2 = static_cast<double>(d) * both / total;
  // LL is never negative; rounding may leave a word of equal rates a hair below 0.
  row.ll = std::max(0.0, 2 * (Term(a, e1) + Term(b, e2)));
  row.logRatio = std::log2((RatioFrequency(a) / static_cast<double>(c)) / (RatioFrequency(b) / static_cast<double>(d)));
  row.positive = static_cast<Wide>(a) * d > static_cast<Wide>(b) * c;
}

Status Keyness(const Session& session, const ReferenceCorpus& reference, const KeynessOptions& options,
               std::vector<KeynessRow>& rows) {
  rows.clear();
  if (reference.tokens <= 0) return Status::Error("The reference corpus holds no words.");
  Status status = RequireWords(session);
  if (!status.ok()) return status;
  const int64_t tokens = session.totals.tokenCount;
  const EntryList& vocabulary = session.lists.Vocabulary;
  for (size_t p = 0; p < vocabulary.size(); ++p) {
    const Entry& entry = vocabulary[p];
    if (entry.count < options.minimum) continue;
    const auto found = reference.frequencies.find(entry.word);
    KeynessRow row;
    row.entry = static_cast<EntryPosition>(p);
    MeasureKeyness(entry.count, found == reference.frequencies.end() ? 0 : found->second, tokens, reference.tokens,
                   row);
    if (row.ll >= options.threshold) rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end(), [](const KeynessRow& x, const KeynessRow& y) {
    if (x.positive != y.positive) return x.positive;
    if (x.ll != y.ll) return x.ll > y.ll;
    return x.entry < y.entry;
  });
  return Status::Ok();
}

std::vector<TableColumn> KeynessColumns() {
  return {{"rank", true}, {"word"},           {"frequency", true}, {"reference_frequency", true},
          {"ll", true},   {"log_ratio", true}, {"direction"}};
}

Status ExportKeyness(const Session& session, const std::vector<KeynessRow>& rows, TableFormat format,
                     FileWriter& out) {
  TableWriter writer(out, format, KeynessColumns(), session.tables.unicode == nullptr);
  std::string rank, frequency, referenceFrequency, ll, logRatio;
  for (size_t i = 0; i < rows.size(); ++i) {
    const KeynessRow& row = rows[i];
    rank = std::to_string(i + 1);
    frequency = std::to_string(row.frequency);
    referenceFrequency = std::to_string(row.referenceFrequency);
    ll = FormatMeasure(row.ll);
    logRatio = FormatMeasure(row.logRatio);
    writer.Row({rank, session.lists.Vocabulary[row.entry].word, frequency, referenceFrequency, ll, logRatio,
                row.positive ? "+" : "-"});
  }
  return out.error();
}

}  // namespace wordloom
