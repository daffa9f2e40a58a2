// How the analyses' tables write a measure.
#include <charconv>
#include <cmath>

#include "analysis/analysis.h"

namespace wordloom {

std::string FormatMeasure(double value) {
  if (!std::isfinite(value)) return "";
  // Fixed notation, rounded as printf rounds the exact binary value, then without the zeros
  // that end the decimals (and without the point when no decimal is left).
  char buffer[400];  // the largest double has 309 integer digits
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  std::string text(buffer, error == std::errc() ? end : buffer);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

}  // namespace wordloom
