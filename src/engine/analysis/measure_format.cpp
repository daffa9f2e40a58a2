// How the analyses' tables write a measure.
#include <cmath>

#include "analysis/analysis.h"
#include "lists/number_format.h"

namespace wordloom {

std::string FormatMeasure(double value) {
  if (!std::isfinite(value)) return "";
  std::string text = FormatDecimals(value, 6);
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

}  // namespace wordloom
