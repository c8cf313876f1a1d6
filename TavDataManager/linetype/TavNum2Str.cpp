#include "TavDataManager/linetype/TavNum2Str.h"

#include <cmath>
#include <cstdio>

#include "platform/base/KvNumber.h"

std::string TavNum2Str(double value, int precision) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (precision < 0) return tav::FormatShortest(value);
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f", precision > 300 ? 300 : precision, value);
  std::string text = buffer;
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}
