#include "lists/number_format.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace wordloom {
namespace {

// A plain decimal text as its digits and the number of them before the point: "12.5" is
// "125" with 2 integer digits. There is always at least one integer digit.
struct Digits {
  bool negative = false;
  std::string digits;
  size_t integerDigits = 1;
};

Digits Split(std::string_view text) {
  Digits d;
  d.negative = !text.empty() && text.front() == '-';
  if (d.negative) text.remove_prefix(1);
  const size_t point = text.find('.');
  std::string_view integer = text.substr(0, point);
  d.digits = integer.empty() ? "0" : std::string(integer);
  d.integerDigits = d.digits.size();
  if (point != std::string_view::npos) d.digits += text.substr(point + 1);
  return d;
}

// Keeps the first `keep` digits, rounding half away from zero on the digits dropped.
void RoundAt(Digits& d, size_t keep) {
  if (keep >= d.digits.size()) return;
  const bool up = d.digits[keep] >= '5';
  d.digits.resize(keep);
  if (!up) return;
  size_t i = keep;
  while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
  if (i == 0) {
    d.digits.insert(d.digits.begin(), '1');
    ++d.integerDigits;
  } else {
    ++d.digits[i - 1];
  }
}

// The exact decimal expansion of a double (every double has at most 1074 decimals).
std::string Exact(double value) {
  std::vector<char> buffer(1400);
  std::snprintf(buffer.data(), buffer.size(), "%.1074f", value);
  return buffer.data();
}

}  // namespace

std::string RoundDecimalText(std::string_view text, int decimals) {
  Digits d = Split(text);
  RoundAt(d, d.integerDigits + static_cast<size_t>(decimals));
  std::string integer = d.digits.substr(0, d.integerDigits);
  std::string fraction = d.digits.substr(std::min(d.integerDigits, d.digits.size()));
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  const size_t leading = integer.find_first_not_of('0');
  integer = leading == std::string::npos ? std::string(1, '0') : integer.substr(leading);
  std::string written(d.negative && !(integer == "0" && fraction.empty()) ? 1 : 0, '-');
  written += integer;
  written += '.';
  written += fraction;
  return written;
}

std::string FormatDecimals(double value, int decimals) {
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value < 0 ? "-Infinity" : "Infinity");
  return RoundDecimalText(Exact(value), decimals);
}

std::string FormatSingleDecimals(float value, int decimals) {
  if (!std::isfinite(value)) return FormatDecimals(value, decimals);
  // First the 7 significant digits it is shown with, rounded half away from zero like the
  // patterns; the dropped integer digits become zeros.
  Digits d = Split(Exact(value));
  const size_t first = d.digits.find_first_not_of('0');
  if (first != std::string::npos) {
    RoundAt(d, first + 7);
    if (d.digits.size() < d.integerDigits) d.digits.append(d.integerDigits - d.digits.size(), '0');
  }
  std::string shown(d.negative ? 1 : 0, '-');
  shown += d.digits.substr(0, d.integerDigits);
  shown += '.';
  shown += d.digits.substr(d.integerDigits);
  return RoundDecimalText(shown, decimals);
}

}  // namespace wordloom
