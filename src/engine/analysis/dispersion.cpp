// Dispersion: how a search's hits spread over the project's files or over the values of a
// reference letter, counted in one pass over the token stream, with range, Gries' DP, DPnorm
// and Juilland's D.
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "analysis/analysis.h"
#include "index/index.h"

namespace wordloom {
namespace {

constexpr uint32_t kNoPart = UINT32_MAX;

// Counts each part's tokens and hits. A line's part is found once a line: its file, or the
// letter's value then in force, numbered as first read; a part joins the list with its first
// token. Memory: a few words a part, and 4 bytes a hit when places are kept.
class PartCounter final : public HitTokenSink {
 public:
  PartCounter(const NodeSearch& search, const std::vector<std::string>& files, const DispersionOptions& options)
      : HitTokenSink(search), files_(files), letter_(static_cast<size_t>(options.letter)), places_(options.places) {
    if (letter_ == 0) listed_.assign(files.size(), kNoPart);
  }

  // The parts with tokens, in order of first appearance; each place still a count of tokens.
  std::vector<DispersionPart>& parts() { return parts_; }

 private:
  void FileStarted(uint32_t file) override { file_ = file; }

  uint32_t PartOfLine(const ScanContext& context) override {
    if (letter_ == 0) return file_;
    const std::string& value = context.references.ReferenceLetterValue[letter_];
    if (lastPart_ != kNoPart && value == names_[lastPart_]) return lastPart_;
    const auto [at, added] = numbers_.try_emplace(value, static_cast<uint32_t>(names_.size()));
    if (added) {
      names_.push_back(value);
      listed_.push_back(kNoPart);
    }
    return lastPart_ = at->second;
  }

  void TokenAt(int64_t, EntryPosition, int hitTokens, uint32_t part) override {
    uint32_t& listed = listed_[part];
    if (listed == kNoPart) {
      listed = static_cast<uint32_t>(parts_.size());
      parts_.emplace_back().name = letter_ == 0 ? files_[part] : names_[part];
    }
    DispersionPart& counted = parts_[listed];
    if (hitTokens > 0) {
      ++counted.hits;
      if (places_) counted.places.push_back(static_cast<float>(counted.tokens));
    }
    ++counted.tokens;
  }

  const std::vector<std::string>& files_;
  const size_t letter_;
  const bool places_;
  uint32_t file_ = 0;
  std::vector<std::string> names_;  // the letter's values, numbered as first read
  std::unordered_map<std::string, uint32_t> numbers_;
  uint32_t lastPart_ = kNoPart;
  std::vector<uint32_t> listed_;  // per file or value: its place in parts_, kNoPart before its first token
  std::vector<DispersionPart> parts_;
};

}  // namespace

Status Dispersion(const Session& session, const NodeSearch& search, const DispersionOptions& options,
                  DispersionResult& result, ProgressSink* progress) {
  result = DispersionResult{};
  if (options.letter < 0 || options.letter > kLetterCount) {
    return Status::Error("A reference letter is A to Z.");
  }
  // The values in force before any tag are the project's own.
  ScanContext reader = session.scan.PassCopy();
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    reader.references.ReferenceLetterValue[static_cast<size_t>(letter)] = session.referenceLetters.Value(letter);
  }
  PartCounter counter(search, session.project.Files, options);
  if (!StreamProjectTokens(session, reader, counter, progress)) {
    result.stopped = true;
    return Status::Ok();
  }
  result.parts = std::move(counter.parts());
  for (DispersionPart& part : result.parts) {
    const double tokens = static_cast<double>(part.tokens);
    for (float& place : part.places) place = static_cast<float>(place / tokens);
  }
  MeasureDispersion(result);
  return Status::Ok();
}

void MeasureDispersion(DispersionResult& result) {
  std::erase_if(result.parts, [](const DispersionPart& part) { return part.tokens <= 0; });
  result.tokens = result.hits = result.range = 0;
  for (const DispersionPart& part : result.parts) {
    result.tokens += part.tokens;
    result.hits += part.hits;
    result.range += part.hits > 0 ? 1 : 0;
  }
  result.dp = result.dpNorm = result.juillandD = kNoMeasure;
  if (result.hits == 0) return;
  const double n = static_cast<double>(result.parts.size());
  const double tokens = static_cast<double>(result.tokens);
  const double hits = static_cast<double>(result.hits);
  double differences = 0;
  double smallest = 1;
  double rateSum = 0;
  for (const DispersionPart& part : result.parts) {
    const double size = static_cast<double>(part.tokens) / tokens;
    differences += std::abs(static_cast<double>(part.hits) / hits - size);
    smallest = std::min(smallest, size);
    rateSum += static_cast<double>(part.hits) / static_cast<double>(part.tokens);
  }
  result.dp = differences / 2;
  if (result.parts.size() < 2) return;
  if (smallest < 1) result.dpNorm = result.dp / (1 - smallest);
  // Juilland's D: the variation of the parts' rates (population deviation over the mean).
  const double mean = rateSum / n;
  double squares = 0;
  for (const DispersionPart& part : result.parts) {
    const double rate = static_cast<double>(part.hits) / static_cast<double>(part.tokens);
    squares += (rate - mean) * (rate - mean);
  }
  const double variation = std::sqrt(squares / n) / mean;
  result.juillandD = 1 - variation / std::sqrt(n - 1);
}

std::vector<TableColumn> DispersionColumns() {
  return {{"part"},       {"tokens", true}, {"hits", true},   {"per_million", true},
          {"range", true}, {"dp", true},     {"dp_norm", true}, {"juilland_d", true}};
}

Status ExportDispersion(const Session& session, const DispersionResult& result, TableFormat format,
                        FileWriter& out) {
  TableWriter writer(out, format, DispersionColumns(), !session.tables.unicode);
  const auto perMillion = [](int64_t hits, int64_t tokens) {
    return FormatMeasure(tokens > 0 ? static_cast<double>(hits) * 1e6 / static_cast<double>(tokens) : kNoMeasure);
  };
  std::string tokens, hits, rate;
  for (const DispersionPart& part : result.parts) {
    tokens = std::to_string(part.tokens);
    hits = std::to_string(part.hits);
    rate = perMillion(part.hits, part.tokens);
    writer.Row({part.name, tokens, hits, rate, "", "", "", ""});
  }
  tokens = std::to_string(result.tokens);
  hits = std::to_string(result.hits);
  rate = perMillion(result.hits, result.tokens);
  // With no hits every measure is empty, the range too.
  const std::string range = result.hits > 0 ? std::to_string(result.range) : "";
  const std::string dp = FormatMeasure(result.dp);
  const std::string dpNorm = FormatMeasure(result.dpNorm);
  const std::string juillandD = FormatMeasure(result.juillandD);
  writer.Row({"*", tokens, hits, rate, range, dp, dpNorm, juillandD});
  return out.error();
}

}  // namespace wordloom
