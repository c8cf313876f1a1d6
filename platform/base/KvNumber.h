// Number texts of the platform.
#pragma once

#include <string>
#include <string_view>

namespace tav {

// The platform string's number conversion: the shortest text that reads back as exactly the same
// double ("0.1", "100", "1e-07", "-2.5"). Negative zero is written "0".
std::string FormatShortest(double value);

// printf "%lg": six significant digits ("0.333333", "1e+06").
std::string FormatG(double value);

// Whole text must be a number (leading and trailing blanks allowed). False on anything else.
bool ParseDouble(std::string_view text, double& value);
bool ParseLong(std::string_view text, long long& value);

}  // namespace tav
