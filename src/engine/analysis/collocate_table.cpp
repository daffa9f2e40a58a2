// Collocates as numbers and as a table: the measures of one collocate from its counts, and
// the rows written with their rank.
#include <cmath>

#include "analysis/analysis.h"

namespace wordloom {
namespace {

// O·ln(O/E), 0 when O is 0.
double LogLikelihoodTerm(double observed, double expected) {
  return observed == 0 ? 0 : observed * std::log(observed / expected);
}

}  // namespace

std::optional<CollocateMeasure> CollocateMeasureNamed(std::string_view name) {
  if (name == "mi") return CollocateMeasure::MI;
  if (name == "t") return CollocateMeasure::T;
  if (name == "logdice") return CollocateMeasure::LogDice;
  if (name == "ll") return CollocateMeasure::LL;
  if (name == "frequency") return CollocateMeasure::Frequency;
  return std::nullopt;
}

void MeasureCollocate(int64_t observed, int64_t nodeHits, int64_t frequency, int64_t tokens, int span,
                      CollocateRow& row) {
  row.observed = observed;
  row.frequency = frequency;
  row.mi = row.t = row.logDice = row.ll = kNoMeasure;
  const double o = static_cast<double>(observed);
  const double n = static_cast<double>(tokens);
  const double r1 = static_cast<double>(nodeHits) * span;
  const double fc = static_cast<double>(frequency);
  if (tokens <= 0) return;
  const double expected = r1 * fc / n;
  if (observed > 0) {
    if (expected > 0) row.mi = std::log2(o / expected);
    row.t = (o - expected) / std::sqrt(o);
    if (nodeHits + frequency > 0) row.logDice = 14 + std::log2(2 * o / static_cast<double>(nodeHits + frequency));
  }
  // The 2x2 table: in a window or not, the collocate or another word.
  const double cells[2][2] = {{o, r1 - o}, {fc - o, n - r1 - fc + o}};
  const double rows[2] = {r1, n - r1};
  const double columns[2] = {fc, n - fc};
  double sum = 0;
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      if (cells[i][j] < 0) return;
      sum += LogLikelihoodTerm(cells[i][j], rows[i] * columns[j] / n);
    }
  }
  row.ll = 2 * sum;
}

std::vector<TableColumn> CollocateColumns() {
  return {{"rank", true},      {"word"},
          {"left", true},      {"right", true},
          {"frequency", true}, {"collocate_frequency", true},
          {"mi", true},        {"t", true},
          {"logdice", true},   {"ll", true}};
}

Status ExportCollocates(const Session& session, const CollocateResult& result, TableFormat format, FileWriter& out) {
  TableWriter writer(out, format, CollocateColumns(), !session.tables.unicode);
  const EntryList& vocabulary = session.lists.Vocabulary;
  std::string rank, left, right, observed, frequency, mi, t, logDice, ll;
  for (size_t i = 0; i < result.rows.size(); ++i) {
    const CollocateRow& row = result.rows[i];
    rank = std::to_string(i + 1);
    left = std::to_string(row.left);
    right = std::to_string(row.right);
    observed = std::to_string(row.observed);
    frequency = std::to_string(row.frequency);
    mi = FormatMeasure(row.mi);
    t = FormatMeasure(row.t);
    logDice = FormatMeasure(row.logDice);
    ll = FormatMeasure(row.ll);
    writer.Row({rank, vocabulary[row.entry].word, left, right, observed, frequency, mi, t, logDice, ll});
  }
  return out.error();
}

}  // namespace wordloom
