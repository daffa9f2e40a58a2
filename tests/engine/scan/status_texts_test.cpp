// The status texts where their rules have edges: padding that never truncates and line-number
// widths rounded half to even. (The counts, the key-word summary and the letter box are in the
// command-line tool's conformance cases.)
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "scan/status_texts.h"

namespace wordloom {
namespace {

TEST(StatusTextsTest, NumbersAndWidths) {
  const std::tuple<int64_t, int64_t, const char*> padded[] = {
      {42, 5, "   42"}, {123456, 3, "123456"}, {7, 0, "7"}, {5, -3, "5"}, {5'000'000'000, 12, "  5000000000"}};
  for (const auto& [value, width, text] : padded) EXPECT_EQ(PadNumber(value, width), text) << value << " in " << width;
  const std::pair<int64_t, int64_t> widths[] = {{0, 6},  {-5, 6},   {1, 1},     {3, 1},     {4, 2},
                                                {31, 2}, {32, 3},   {316, 3},   {317, 4},   {1'000'000'000'000, 13}};
  for (const auto& [lines, width] : widths) EXPECT_EQ(LineNumberWidth(lines), width) << lines << " lines";
}

}  // namespace
}  // namespace wordloom
