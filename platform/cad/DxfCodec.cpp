#include "platform/cad/DxfCodec.h"

#include <iconv.h>

#include <cstdio>
#include <cstring>

#include "platform/base/KvEncoding.h"

namespace tav::cad {

bool IsAscii(std::string_view text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  size_t n = text.size();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p + i, 8);
    if (w & 0x8080808080808080ull) return false;
  }
  for (; i < n; ++i)
    if (p[i] & 0x80) return false;
  return true;
}

namespace {

// Windows-1252 0x80-0x9F; bytes the code page leaves undefined map to the C1 control of the same value.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool GbkStructureValid(std::string_view raw) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(raw.data());
  size_t n = raw.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = p[i];
    if (c < 0x80) continue;
    if (c == 0x80 || c == 0xFF) return false;
    if (i + 1 >= n) return false;
    unsigned char t = p[i + 1];
    if (!((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFE))) return false;
    ++i;
  }
  return true;
}

bool IconvConvert(const std::string& to, const std::string& from, std::string_view in, std::string& out) {
  iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.assign(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return false;
  out.resize(out.size() - dstLeft);
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Replaces every \U+XXXX in UTF-8 text by its character.
void ResolveEscapes(std::string& text) {
  if (text.find("\\U+") == std::string::npos && text.find("\\u+") == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '\\' && i + 7 <= text.size() &&
        (text[i + 1] == 'U' || text[i + 1] == 'u') && text[i + 2] == '+') {
      int v = 0;
      bool ok = true;
      for (int k = 0; k < 4; ++k) {
        int h = HexValue(text[i + 3 + k]);
        if (h < 0) {
          ok = false;
          break;
        }
        v = v * 16 + h;
      }
      if (ok) {
        AppendUtf8(out, static_cast<char32_t>(v));
        i += 7;
        continue;
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  text.swap(out);
}

void AppendEscape(std::string& raw, char32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "\\U+%04X", static_cast<unsigned>(cp));
  raw += buf;
}

}  // namespace

DxfCodec DxfCodec::For(std::string_view acadver, std::string_view codePage) {
  DxfCodec codec;
  // AC1021 (R2007) and later store UTF-8.
  if (acadver.size() == 6 && acadver.substr(0, 2) == "AC" && acadver >= "AC1021") return codec;
  std::string cp;
  for (char c : codePage) cp.push_back(static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c));
  if (cp == "ANSI_936" || cp == "GB2312" || cp == "GBK") {
    codec.kind_ = Kind::Gbk;
  } else if (cp.rfind("ANSI_", 0) == 0 && cp != "ANSI_1252") {
    std::string name = "CP" + cp.substr(5);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd != reinterpret_cast<iconv_t>(-1)) {
      iconv_close(cd);
      codec.kind_ = Kind::Iconv;
      codec.iconvName_ = name;
    } else {
      codec.kind_ = Kind::Cp1252;
    }
  } else {
    codec.kind_ = Kind::Cp1252;
  }
  return codec;
}

bool DxfCodec::Validate(std::string_view raw) const {
  if (IsAscii(raw)) return true;
  switch (kind_) {
    case Kind::Utf8: return IsValidUtf8(raw);
    case Kind::Gbk: return GbkStructureValid(raw);
    case Kind::Cp1252: return true;
    case Kind::Iconv: {
      std::string out;
      return IconvConvert("UTF-8", iconvName_, raw, out);
    }
  }
  return false;
}

bool DxfCodec::Decode(std::string_view raw, std::string& utf8) const {
  if (IsAscii(raw)) {
    utf8.assign(raw);
  } else {
    switch (kind_) {
      case Kind::Utf8:
        if (!IsValidUtf8(raw)) return false;
        utf8.assign(raw);
        break;
      case Kind::Gbk:
        if (!GbkStructureValid(raw) || !GbkToUtf8(raw, utf8)) return false;
        break;
      case Kind::Cp1252:
        utf8.clear();
        for (unsigned char c : raw) {
          if (c < 0x80) utf8.push_back(static_cast<char>(c));
          else if (c < 0xA0) AppendUtf8(utf8, kCp1252High[c - 0x80]);
          else AppendUtf8(utf8, c);
        }
        break;
      case Kind::Iconv:
        if (!IconvConvert("UTF-8", iconvName_, raw, utf8)) return false;
        break;
    }
  }
  ResolveEscapes(utf8);
  return true;
}

bool DxfCodec::Encode(std::string_view utf8, std::string& raw) const {
  if (IsAscii(utf8)) {
    raw.assign(utf8);
    return true;
  }
  if (!IsValidUtf8(utf8)) return false;
  if (kind_ == Kind::Utf8) {
    raw.assign(utf8);
    return true;
  }
  raw.clear();
  size_t pos = 0;
  while (pos < utf8.size()) {
    size_t start = pos;
    char32_t cp = NextCodePoint(utf8, pos);
    if (cp < 0x80) {
      raw.push_back(static_cast<char>(cp));
      continue;
    }
    std::string_view one = utf8.substr(start, pos - start);
    std::string bytes;
    bool ok = false;
    switch (kind_) {
      case Kind::Gbk:
        ok = Utf8ToGbk(one, bytes) && bytes.size() == 2;
        break;
      case Kind::Cp1252:
        if (cp >= 0xA0 && cp <= 0xFF) {
          bytes.push_back(static_cast<char>(cp));
          ok = true;
        } else {
          for (int k = 0; k < 32; ++k)
            if (kCp1252High[k] == cp && cp > 0xFF) {
              bytes.push_back(static_cast<char>(0x80 + k));
              ok = true;
              break;
            }
        }
        break;
      case Kind::Iconv:
        ok = IconvConvert(iconvName_, "UTF-8", one, bytes) && !bytes.empty();
        break;
      case Kind::Utf8:
        break;
    }
    if (ok) raw += bytes;
    else AppendEscape(raw, cp);
  }
  return true;
}

}  // namespace tav::cad
