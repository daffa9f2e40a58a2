// The status texts: padded numbers, the line-number width, the counts text, the key-word
// summary and the reference-letter box.
#include <gtest/gtest.h>

#include <string>

#include "scan/status_texts.h"

namespace wordloom {
namespace {

TEST(StatusTextsTest, PadNumber) {
  struct Case { int64_t value; int64_t width; const char* text; };
  const Case cases[] = {
      {42, 5, "   42"}, {123456, 3, "123456"}, {0, 1, "0"},          {0, 3, "  0"},
      {7, 0, "7"},      {12, 2, "12"},         {5, -3, "5"},         {32768, 6, " 32768"},
      {5'000'000'000, 12, "  5000000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(PadNumber(c.value, c.width), c.text) << c.value << " in " << c.width;
}

TEST(StatusTextsTest, LineNumberWidthRoundsLog10PlusOneHalfToEven) {
  const std::pair<int64_t, int64_t> cases[] = {
      {0, 6},      {-5, 6},     {1, 1},      {3, 1},       {4, 2},      {5, 2},      {9, 2},
      {10, 2},     {31, 2},     {32, 3},     {316, 3},     {317, 4},    {1000, 4},   {31622, 5},
      {31623, 6},  {100000, 6}, {1'000'000'000'000, 13},
  };
  for (const auto& [lines, width] : cases) EXPECT_EQ(LineNumberWidth(lines), width) << lines << " lines";
}

TEST(StatusTextsTest, ProjectCountsText) {
  struct Case { int64_t files; ScanTotals totals; const char* text; };
  const Case cases[] = {
      {1, {120, 1500, 400, 9}, "1 file, 120 lines, 1500 words, 400 word vocabulary"},
      {2, {}, "2 files"},
      {0, {}, "0 files"},
      {1, {0, 5, 3, 2}, "1 file, 5 words, 3 word vocabulary"},
      {3, {10, 0, 0, 0}, "3 files, 10 lines"},
      {4, {0, 0, 7, 0}, "4 files, 7 word vocabulary"},
      {1, {-1, -2, -3, 0}, "1 file"},
      {12, {70'000, 5'000'000'000, 40'000, 0}, "12 files, 70000 lines, 5000000000 words, 40000 word vocabulary"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProjectCountsText(c.files, c.totals), c.text);
}

TEST(StatusTextsTest, ShowKeyWordsSummary) {
  const EntryList vocabulary = {{"cat", 2}};
  struct Case { EntryList keyWords; EntryList vocabulary; const char* text; };
  const Case cases[] = {
      {{{"cat", 1}, {"dog", 1}, {"the", 9}, {"zebra", 1}}, vocabulary, "4 words:  cat, dog, the"},
      {{{"cat", 1}, {"dog", 1}, {"the", 9}}, vocabulary, "3 words:  cat, dog, the"},
      {{{"cat", 1}, {"dog", 1}}, vocabulary, "2 words:  cat, dog"},
      {{{"cat", 1}}, vocabulary, "1 words:  cat"},
      {{}, vocabulary, "No words selected"},
      {{}, {}, "No vocabulary saved"},
      {{{"cat", 1}}, {}, "No vocabulary saved"},
  };
  for (const Case& c : cases) EXPECT_EQ(ShowKeyWordsSummary(c.keyWords, c.vocabulary), c.text);
  EXPECT_EQ(WordCountText(0), "0 words");
  EXPECT_EQ(WordCountText(400), "400 words");
}

TEST(StatusTextsTest, ReferenceLetterBoxListsTheUsedLettersInOrder) {
  ReferenceState references;
  EXPECT_EQ(ReferenceLetterBoxText(references), "");
  references.ReferenceLetterUsed[12] = 1;
  references.ReferenceLetterUsed[1] = 1;
  EXPECT_EQ(ReferenceLetterBoxText(references), "AL");
  references.ReferenceLetterUsed.fill(1);
  EXPECT_EQ(ReferenceLetterBoxText(references), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
}

}  // namespace
}  // namespace wordloom
