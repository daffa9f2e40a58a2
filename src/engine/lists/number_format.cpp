#include "lists/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace wordloom {

std::string RoundDecimalText(std::string_view text, int decimals) {
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  const size_t point = text.find('.');
  std::string integer(text.substr(0, point));
  std::string fraction = point == std::string_view::npos ? std::string() : std::string(text.substr(point + 1));
  if (integer.empty()) integer.assign(1, '0');
  const size_t keep = static_cast<size_t>(decimals);
  bool roundUp = fraction.size() > keep && fraction[keep] >= '5';
  if (fraction.size() > keep) fraction.resize(keep);
  if (roundUp) {
    // Add one in the last kept place, carrying into the integer digits.
    std::string digits = integer + fraction;
    size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0) {
      digits.insert(digits.begin(), '1');
    } else {
      ++digits[i - 1];
    }
    integer = digits.substr(0, digits.size() - fraction.size());
    fraction = digits.substr(digits.size() - fraction.size());
  }
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  size_t leading = integer.find_first_not_of('0');
  integer = leading == std::string::npos ? std::string(1, '0') : integer.substr(leading);
  if (integer == "0" && fraction.empty()) negative = false;
  return (negative ? "-" : "") + integer + "." + fraction;
}

std::string FormatDecimals(double value, int decimals) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value < 0 ? "-Infinity" : "Infinity");
  // Every double has a finite decimal expansion of at most 1074 decimals.
  std::vector<char> buffer(1400);
  std::snprintf(buffer.data(), buffer.size(), "%.1074f", value);
  return RoundDecimalText(buffer.data(), decimals);
}

std::string FormatSingleDecimals(float value, int decimals) {
  if (!std::isfinite(value)) return FormatDecimals(value, decimals);
  // The 7 significant digits, as mantissa and exponent, turned into plain decimal text.
  char shown[32];
  std::snprintf(shown, sizeof shown, "%.6e", static_cast<double>(value));
  std::string text(shown);
  const size_t e = text.find('e');
  const int exponent = std::atoi(text.c_str() + e + 1);
  std::string mantissa = text.substr(0, e);
  const bool negative = mantissa.front() == '-';
  if (negative) mantissa.erase(0, 1);
  std::string digits = mantissa.substr(0, 1) + mantissa.substr(2);  // seven digits, point after the first
  int pointAt = 1 + exponent;
  if (pointAt <= 0) {
    digits.insert(0, static_cast<size_t>(-pointAt), '0');
    pointAt = 0;
  } else if (pointAt > static_cast<int>(digits.size())) {
    digits.append(static_cast<size_t>(pointAt) - digits.size(), '0');
  }
  std::string plain = digits.substr(0, static_cast<size_t>(pointAt)) + "." + digits.substr(static_cast<size_t>(pointAt));
  return RoundDecimalText((negative ? "-" : "") + plain, decimals);
}

}  // namespace wordloom
