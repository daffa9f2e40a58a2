#include "corpus_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <unordered_set>
#include <vector>

namespace wordloom::bench {
namespace {

const char* const kCommon[] = {
    "the", "of", "and", "to", "a", "in", "that", "is", "was", "he", "for", "it", "with", "as", "his", "on",
    "be", "at", "by", "i", "this", "had", "not", "are", "but", "from", "or", "have", "an", "they", "which",
    "one", "you", "were", "her", "all", "she", "there", "would", "their", "we", "him", "been", "has", "when",
    "who", "will", "more", "no", "if", "out", "so", "said", "what", "up", "its", "about", "into", "than",
    "them", "can", "only", "other", "new", "some", "could", "time", "these", "two", "may", "then", "do",
    "first", "any", "my", "now", "such", "like", "our", "over", "man", "me", "even", "most", "made", "after",
    "also", "did", "many", "before", "must", "through", "back", "years", "where", "much", "your", "way",
    "well", "down", "should", "because", "each", "just", "those", "people", "how", "too", "little", "state",
    "good", "very", "make", "world", "still", "own", "see", "men", "work", "long", "get", "here", "between",
    "both", "life", "being", "under", "never", "day", "same", "another", "know", "don't", "it's"};

std::vector<std::string> MakeVocabulary(std::mt19937_64& rng, size_t size) {
  const char* onsets[] = {"", "b", "c", "d", "f", "g", "h", "l", "m", "n", "p", "r", "s", "t", "w",
                          "br", "cl", "dr", "fl", "gr", "pl", "st", "th", "sh", "ch", "tr", "wh"};
  const char* vowels[] = {"a", "e", "i", "o", "u", "ea", "ou", "ai", "ee", "oo"};
  const char* codas[] = {"", "n", "r", "s", "t", "d", "l", "m", "ng", "st", "nd", "ck", "rt", "th"};
  const int syllableCounts[] = {1, 1, 1, 1, 2, 2, 2, 3};
  auto pick = [&rng](auto& options) { return options[rng() % std::size(options)]; };

  std::vector<std::string> words;
  std::unordered_set<std::string> seen;
  for (const char* word : kCommon) {
    if (seen.insert(word).second) words.push_back(word);
  }
  while (words.size() < size) {
    std::string word;
    for (int s = pick(syllableCounts); s > 0; --s) word += std::string(pick(onsets)) + pick(vowels) + pick(codas);
    uint64_t r = rng() % 1000;
    if (r < 10) word += "'s";
    if (r >= 10 && r < 15) word += "-" + words[rng() % 200];
    if (!word.empty() && seen.insert(word).second) words.push_back(word);
  }
  return words;
}

}  // namespace

bool WriteCorpus(const std::string& path, uint64_t bytes, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<std::string> words = MakeVocabulary(rng, 250000);
  std::vector<double> cumulative(words.size());
  double total = 0;
  for (size_t rank = 0; rank < words.size(); ++rank) {
    total += 1.0 / std::pow(static_cast<double>(rank) + 2.7, 1.07);
    cumulative[rank] = total;
  }
  std::uniform_real_distribution<double> uniform(0.0, total);

  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  std::string line;
  uint64_t written = 0;
  bool capital = true;
  while (written < bytes) {
    size_t rank = std::lower_bound(cumulative.begin(), cumulative.end(), uniform(rng)) - cumulative.begin();
    std::string word = rng() % 250 == 0 ? std::to_string(rng() % 2000 + 1) : words[std::min(rank, words.size() - 1)];
    if (capital && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
    capital = false;
    uint64_t r = rng() % 1000;
    if (r < 60) {
      word += '.';
      capital = true;
    } else if (r < 120) {
      word += ',';
    } else if (r < 125) {
      word += ';';
    }
    if (!line.empty()) line += ' ';
    line += word;
    if (line.size() > 68) {
      line += "\r\n";
      if (rng() % 20 == 0) line += "\r\n";
      std::fwrite(line.data(), 1, line.size(), out);
      written += line.size();
      line.clear();
    }
  }
  return std::fclose(out) == 0;
}

}  // namespace wordloom::bench
