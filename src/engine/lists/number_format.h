// Decimal numbers as the profile writes them: the patterns "0.########", "##0.########" and
// "##0.#####".
//
// A value is rounded to the pattern's last decimal, half away from zero, on its exact decimal
// expansion; trailing zero decimals are dropped, and a value with no decimals left keeps its
// decimal point ("50."). At least one integer digit is written ("0.25").
#pragma once

#include <string>
#include <string_view>

namespace wordloom {

// `value` with at most `decimals` decimals.
std::string FormatDecimals(double value, int decimals);

// A single-precision value as it is shown (its 7 significant digits), then written with at
// most `decimals` decimals: 1 / 3 * 100 gives "33.33333".
std::string FormatSingleDecimals(float value, int decimals);

// The core: a plain decimal text ("-12.3456", "7") rounded and written as above.
std::string RoundDecimalText(std::string_view text, int decimals);

}  // namespace wordloom
