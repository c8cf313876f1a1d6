// Number texts of the add-on's utility functions.
#pragma once

#include <string>

// The text of `value`. With `precision` -1 (the default precision): the shortest text that reads back
// as exactly the same number ("50", "-4", "1.1", "1e-07"); negative zero is "0". With a precision of
// 0 or more: that many decimals, trailing zeros and a trailing point removed ("2.50" -> "2.5").
// Not-a-number and infinities give "nan", "inf" and "-inf".
std::string TavNum2Str(double value, int precision = -1);
