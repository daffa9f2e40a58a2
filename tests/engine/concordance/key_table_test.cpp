// The key table against trying MatchKey on each key in turn.
#include <gtest/gtest.h>

#include <random>

#include "concordance/key_table.h"

namespace wordloom::test {
namespace {

// Few letters, so that keys repeat, hold each other and occur many times; a space and a
// hyphen; a byte above 127 that the table may or may not count as a word character.
constexpr char kLetters[] = "abca-\xE9 ";

std::string RandomString(std::mt19937& random, int longest) {
  std::string text(static_cast<size_t>(std::uniform_int_distribution<int>(0, longest)(random)), ' ');
  for (char& c : text) c = kLetters[std::uniform_int_distribution<size_t>(0, sizeof kLetters - 2)(random)];
  return text;
}

TEST(KeyTable, FindsWhatMatchKeyFindsForEveryKey) {
  std::mt19937 random(1206);
  std::vector<size_t> found;
  for (int round = 0; round < 3000; ++round) {
    const MatchKind kind = static_cast<MatchKind>(std::uniform_int_distribution<int>(1, 4)(random));
    WordCharTable isWord{};
    for (const char c : {'a', 'b', 'c'}) isWord[static_cast<unsigned char>(c)] = true;
    isWord[0xE9] = round % 2 == 0;
    isWord['-'] = round % 3 == 0;
    std::vector<std::string> keys;
    const int count = std::uniform_int_distribution<int>(1, round % 5 == 0 ? 3 : 60)(random);
    for (int i = 0; i < count; ++i) {
      // Now and then a key listed before, again.
      keys.push_back(!keys.empty() && i % 7 == 3 ? keys[static_cast<size_t>(i / 2)] : RandomString(random, 4));
    }
    KeyTable table(kind, keys);
    for (int t = 0; t < 20; ++t) {
      // A word as the keyword pass hands it over, or a line of words and spaces.
      std::string text = RandomString(random, t % 2 == 0 ? 8 : 40);
      if (t % 2 == 0) {
        for (char& c : text) c = isWord[static_cast<unsigned char>(c)] ? c : 'a';
      }
      std::vector<size_t> expected;
      for (size_t n = 0; n < keys.size(); ++n) {
        if (MatchKey(kind, keys[n], text, isWord)) expected.push_back(n);
      }
      table.Match(text, isWord, found);
      std::string context = "kind " + std::to_string(static_cast<int>(kind)) + " text [" + text + "] keys";
      for (const std::string& key : keys) context += " [" + key + "]";
      ASSERT_EQ(found, expected) << context;
    }
  }
}

}  // namespace
}  // namespace wordloom::test
