#include "platform/cad/DxfTags.h"

#include <sys/mman.h>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tav::cad {

std::string FormatHandle(Handle handle) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(handle));
  return buf;
}

bool ParseHandle(std::string_view text, Handle& handle) {
  handle = 0;
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t' || text[e - 1] == '\r')) --e;
  if (b == e || e - b > 16) return false;
  Handle h = 0;
  for (size_t i = b; i < e; ++i) {
    char c = text[i];
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else return false;
    h = (h << 4) | static_cast<Handle>(d);
  }
  handle = h;
  return true;
}

DxfValueKind ValueKindOf(int code) {
  if (code == 999) return DxfValueKind::Comment;
  if (code >= 0 && code <= 4) return DxfValueKind::String;
  if (code == 5) return DxfValueKind::Handle;
  if (code >= 6 && code <= 9) return DxfValueKind::String;
  if (code >= 10 && code <= 59) return DxfValueKind::Double;
  if (code >= 60 && code <= 79) return DxfValueKind::Int16;
  if (code >= 90 && code <= 99) return DxfValueKind::Int32;
  if (code == 100 || code == 101 || code == 102) return DxfValueKind::String;
  if (code == 105) return DxfValueKind::Handle;
  if (code >= 110 && code <= 149) return DxfValueKind::Double;
  if (code >= 160 && code <= 169) return DxfValueKind::Int64;
  if (code >= 170 && code <= 179) return DxfValueKind::Int16;
  if (code >= 210 && code <= 239) return DxfValueKind::Double;
  if (code >= 270 && code <= 289) return DxfValueKind::Int16;
  if (code >= 290 && code <= 299) return DxfValueKind::Bool;
  if (code >= 300 && code <= 309) return DxfValueKind::String;
  if (code >= 310 && code <= 319) return DxfValueKind::Binary;
  if (code >= 320 && code <= 369) return DxfValueKind::Handle;
  if (code >= 370 && code <= 389) return DxfValueKind::Int16;
  if (code >= 390 && code <= 399) return DxfValueKind::Handle;
  if (code >= 400 && code <= 409) return DxfValueKind::Int16;
  if (code >= 410 && code <= 419) return DxfValueKind::String;
  if (code >= 420 && code <= 429) return DxfValueKind::Int32;
  if (code >= 430 && code <= 439) return DxfValueKind::String;
  if (code >= 440 && code <= 459) return DxfValueKind::Int32;
  if (code >= 460 && code <= 469) return DxfValueKind::Double;
  if (code >= 470 && code <= 479) return DxfValueKind::String;
  if (code >= 480 && code <= 481) return DxfValueKind::Handle;
  if (code >= 1000 && code <= 1003) return DxfValueKind::String;
  if (code == 1004) return DxfValueKind::Binary;
  if (code == 1005) return DxfValueKind::Handle;
  if (code >= 1006 && code <= 1009) return DxfValueKind::String;
  if (code >= 1010 && code <= 1059) return DxfValueKind::Double;
  if (code >= 1060 && code <= 1070) return DxfValueKind::Int16;
  if (code == 1071) return DxfValueKind::Int32;
  return DxfValueKind::String;
}

bool IsPointCode(int code) {
  return (code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 ||
         (code >= 1010 && code <= 1013);
}

std::string FormatDxfDouble(double value) {
  if (!std::isfinite(value)) value = 0;
  if (value == 0) return "0.0";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general);
  std::string text(buf, res.ptr);
  if (text.find('e') != std::string::npos) {
    // Fixed form with enough digits to read back the same value.
    for (int precision = 1; precision <= 340; ++precision) {
      char fixed[400];
      std::snprintf(fixed, sizeof fixed, "%.*f", precision, value);
      if (std::strtod(fixed, nullptr) == value) {
        text = fixed;
        break;
      }
    }
  }
  if (text.find('.') == std::string::npos) text += ".0";
  return text;
}

DxfTag MakeTag(int code, std::string_view text) { return DxfTag{code, std::string(text)}; }
DxfTag MakeTag(int code, double value) { return DxfTag{code, FormatDxfDouble(value)}; }
DxfTag MakeTag(int code, long long value) { return DxfTag{code, std::to_string(value)}; }
DxfTag MakeHandleTag(int code, Handle handle) { return DxfTag{code, FormatHandle(handle)}; }

void AppendPoint(std::vector<DxfTag>& tags, int code, const DxfPoint& point, bool withZ) {
  tags.push_back(MakeTag(code, point.x));
  tags.push_back(MakeTag(code + 10, point.y));
  if (withZ) tags.push_back(MakeTag(code + 20, point.z));
}

void AdviseHugePages(const void* data, std::size_t size) {
  constexpr std::uintptr_t kHuge = 2u << 20;
  if (size < 2 * kHuge) return;
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHuge - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

std::string DxfResult::Message() const {
  if (line == 0) return description;
  return "line " + std::to_string(line) + ": " + description;
}

namespace {

// Parses a group code line: optional blanks, optional sign, digits, optional blanks (and a CR that
// is not part of the line end when a file mixes line ends).
bool ParseCode(const char* b, const char* e, int& code) {
  while (b < e && (*b == ' ' || *b == '\t')) ++b;
  while (e > b && (e[-1] == ' ' || e[-1] == '\t' || e[-1] == '\r')) --e;
  if (b == e) return false;
  bool neg = false;
  if (*b == '-' || *b == '+') {
    neg = *b == '-';
    ++b;
    if (b == e) return false;
  }
  long v = 0;
  for (const char* p = b; p < e; ++p) {
    if (*p < '0' || *p > '9') return false;
    v = v * 10 + (*p - '0');
    if (v > 32768) return false;
  }
  if (neg) v = -v;
  if (v > 32767 || v < -32768) return false;
  code = static_cast<int>(v);
  return true;
}

}  // namespace

DxfResult ScanDxfTags(std::string_view bytes, std::vector<DxfRawTag>& tags) {
  tags.clear();
  DxfResult result;
  if (bytes.empty()) {
    result.status = DxfStatus::Empty;
    result.description = "the file is empty";
    return result;
  }
  static const char kBinarySentinel[] = "AutoCAD Binary DXF\r\n\x1a";
  if (bytes.size() >= 22 && std::memcmp(bytes.data(), kBinarySentinel, 22) == 0) {
    result.status = DxfStatus::Binary;
    result.description = "binary DXF is not supported; save the drawing as ASCII DXF";
    return result;
  }
  if (bytes.size() >= 0xFFFFFFF0u) {
    result.status = DxfStatus::IoError;
    result.description = "the file is larger than 4 GB";
    return result;
  }
  const char* data = bytes.data();
  const char* end = data + bytes.size();
  // A tag rarely takes fewer than 8 bytes; the reservation is not touched beyond what is used.
  tags.reserve(bytes.size() / 8 + 16);
  AdviseHugePages(tags.data(), tags.capacity() * sizeof(DxfRawTag));
  const char* p = data;
  std::uint32_t line = 1;
  while (p < end) {
    // Code line: the common form (blanks, digits, line end) is read inline.
    const char* codeStart = p;
    {
      const char* q = p;
      while (q < end && *q == ' ') ++q;
      int v = 0;
      const char* digits = q;
      while (q < end && *q >= '0' && *q <= '9' && q - digits < 5) v = v * 10 + (*q++ - '0');
      if (q > digits && q < end && (*q == '\n' || (*q == '\r' && q + 1 < end && q[1] == '\n'))) {
        const char* valueStart = q + (*q == '\r' ? 2 : 1);
        if (valueStart < end && v <= 32767 && valueStart - codeStart <= 0xFFFE) {
          const char* vnl =
              static_cast<const char*>(std::memchr(valueStart, '\n', static_cast<size_t>(end - valueStart)));
          const char* valueEnd = vnl ? vnl : end;
          const char* next = vnl ? vnl + 1 : end;
          if (valueEnd > valueStart && valueEnd[-1] == '\r') --valueEnd;
          DxfRawTag tag;
          tag.pos = static_cast<std::uint32_t>(codeStart - data);
          tag.skip = static_cast<std::uint16_t>(valueStart - codeStart);
          tag.length = static_cast<std::uint32_t>(valueEnd - valueStart);
          tag.code = static_cast<std::int16_t>(v);
          tags.push_back(tag);
          p = next;
          line += 2;
          continue;
        }
      }
    }
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* codeEnd = nl ? nl : end;
    // Blank lines at the very end of the file are allowed.
    {
      const char* q = codeStart;
      while (q < codeEnd && (*q == ' ' || *q == '\t' || *q == '\r')) ++q;
      if (q == codeEnd) {
        const char* r = codeEnd;
        bool allBlank = true;
        for (; r < end; ++r)
          if (*r != ' ' && *r != '\t' && *r != '\r' && *r != '\n') {
            allBlank = false;
            break;
          }
        if (allBlank) break;
      }
    }
    int code = 0;
    if (!ParseCode(codeStart, codeEnd, code)) {
      result.status = DxfStatus::BadGroupCode;
      result.line = line;
      std::string shown(codeStart, static_cast<size_t>(std::min<std::ptrdiff_t>(codeEnd - codeStart, 40)));
      if (!shown.empty() && shown.back() == '\r') shown.pop_back();
      result.description = "group code '" + shown + "' is not a number";
      return result;
    }
    if (!nl) {
      result.status = DxfStatus::Truncated;
      result.line = line;
      result.description = "the file ends after group code " + std::to_string(code) + " without its value";
      return result;
    }
    const char* valueStart = nl + 1;
    if (valueStart - codeStart > 0xFFFE) {
      result.status = DxfStatus::BadGroupCode;
      result.line = line;
      result.description = "group code line is too long";
      return result;
    }
    if (valueStart >= end) {
      result.status = DxfStatus::Truncated;
      result.line = line;
      result.description = "the file ends after group code " + std::to_string(code) + " without its value";
      return result;
    }
    const char* vnl = static_cast<const char*>(std::memchr(valueStart, '\n', static_cast<size_t>(end - valueStart)));
    const char* valueEnd = vnl ? vnl : end;
    const char* next = vnl ? vnl + 1 : end;
    if (valueEnd > valueStart && valueEnd[-1] == '\r') --valueEnd;
    DxfRawTag tag;
    tag.pos = static_cast<std::uint32_t>(codeStart - data);
    tag.skip = static_cast<std::uint16_t>(valueStart - codeStart);
    tag.length = static_cast<std::uint32_t>(valueEnd - valueStart);
    tag.code = static_cast<std::int16_t>(code);
    tags.push_back(tag);
    p = next;
    line += 2;
  }
  if (tags.empty()) {
    result.status = DxfStatus::Empty;
    result.description = "the file holds no tags";
  }
  return result;
}

}  // namespace tav::cad
