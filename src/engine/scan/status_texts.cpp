#include "scan/status_texts.h"

#include <cmath>

namespace wordloom {

std::string PadNumber(int64_t value, int64_t width) {
  std::string digits = std::to_string(value);
  if (static_cast<int64_t>(digits.size()) >= width) return digits;
  return std::string(static_cast<size_t>(width) - digits.size(), ' ') + digits;
}

double Log10(double x) { return std::log(x) / std::log(10.0); }

int64_t LineNumberWidth(int64_t physicalLineTotal) {
  if (physicalLineTotal < 1) return 6;
  return static_cast<int64_t>(std::nearbyint(Log10(static_cast<double>(physicalLineTotal)) + 1));
}

std::string ProjectCountsText(int64_t fileCount, const ScanTotals& totals) {
  std::string text = std::to_string(fileCount) + (fileCount == 1 ? " file" : " files");
  if (totals.linesShown > 0) text += ", " + std::to_string(totals.linesShown) + " lines";
  if (totals.tokenCount > 0) text += ", " + std::to_string(totals.tokenCount) + " words";
  if (totals.vocabularySize > 0) text += ", " + std::to_string(totals.vocabularySize) + " word vocabulary";
  return text;
}

ProjectStatus ShowProjectStatus(const std::string& title, int64_t fileCount, const ScanTotals& totals,
                                int64_t physicalLineTotal) {
  return ProjectStatus{title, ProjectCountsText(fileCount, totals), LineNumberWidth(physicalLineTotal)};
}

std::string ShowKeyWordsSummary(const WordLists& lists) {
  const EntryView& keyWords = lists.KeyWords;
  if (lists.Vocabulary.empty()) return "No vocabulary saved";
  if (keyWords.empty()) return "No words selected";
  std::string text = std::to_string(keyWords.size()) + " words:  ";
  for (size_t i = 0; i < keyWords.size() && i < 3; ++i) {
    if (i > 0) text += ", ";
    text += lists.At(keyWords, i).word;
  }
  return text;
}

std::string WordCountText(int64_t count) { return std::to_string(count) + " words"; }

std::string ReferenceLetterBoxText(const ReferenceState& references) {
  std::string text;
  for (int letter = 1; letter <= kLetterCount; ++letter) {
    if (references.ReferenceLetterUsed[letter] > 0) text += static_cast<char>('A' + letter - 1);
  }
  return text;
}

}  // namespace wordloom
