#include <cmath>

#include <gtest/gtest.h>

#include "analysis/analysis.h"

namespace wordloom {
namespace {

TEST(MeasureFormatTest, UpToSixDecimalsWithoutExponent) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0, "0"},           {2, "2"},         {-0.0000001, "0"},     {3.5, "3.5"},           {1.0 / 3, "0.333333"},
      {-2.0 / 3, "-0.666667"}, {1e-7, "0"}, {123456789012.0, "123456789012"}, {0.0000015, "0.000002"},
      {kNoMeasure, ""},   {INFINITY, ""},   {-INFINITY, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatMeasure(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace wordloom
