#include "platform/base/KvNumber.h"

#include <charconv>
#include <cstdio>
#include <system_error>

#include "platform/base/KvStrings.h"

namespace tav {

std::string FormatShortest(double value) {
  if (value == 0) return "0";
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, r.ptr);
}

std::string FormatG(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

bool ParseDouble(std::string_view text, double& value) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  const char* b = t.data();
  if (*b == '+') ++b;
  const auto r = std::from_chars(b, t.data() + t.size(), value);
  return r.ec == std::errc() && r.ptr == t.data() + t.size();
}

bool ParseLong(std::string_view text, long long& value) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  const char* b = t.data();
  if (*b == '+') ++b;
  const auto r = std::from_chars(b, t.data() + t.size(), value);
  return r.ec == std::errc() && r.ptr == t.data() + t.size();
}

}  // namespace tav
