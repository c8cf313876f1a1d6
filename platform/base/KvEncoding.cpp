#include "platform/base/KvEncoding.h"

#include <cerrno>
#include <iconv.h>

namespace tav {

bool IsValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t len;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (size_t k = 1; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)) return false;
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

static bool HasUtf8Bom(std::string_view b) { return b.size() >= 3 && b.substr(0, 3) == "\xEF\xBB\xBF"; }

TextFormat DetectTextFormat(std::string_view bytes) {
  TextFormat f;
  if (HasUtf8Bom(bytes)) {
    f.bom = true;
  } else if (!IsValidUtf8(bytes)) {
    f.encoding = TextEncoding::Gbk;
  }
  const size_t lf = bytes.find('\n');
  f.crlf = lf != std::string_view::npos && lf > 0 && bytes[lf - 1] == '\r';
  return f;
}

static bool Convert(const char* to, const char* from, std::string_view in, std::string& out, std::string* error) {
  out.clear();
  if (in.empty()) return true;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    if (error) *error = std::string("no converter from ") + from + " to " + to;
    return false;
  }
  std::string buffer(in.size() * 2 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  bool ok = true;
  while (srcLeft > 0) {
    char* dst = buffer.data();
    size_t dstLeft = buffer.size();
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer.data(), buffer.size() - dstLeft);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      if (error) *error = "invalid " + std::string(from) + " byte at offset " + std::to_string(in.size() - srcLeft);
      ok = false;
      break;
    }
  }
  iconv_close(cd);
  return ok;
}

bool GbkToUtf8(std::string_view gbk, std::string& out, std::string* error) {
  return Convert("UTF-8", "GB18030", gbk, out, error);
}

bool Utf8ToGbk(std::string_view utf8, std::string& out, std::string* error) {
  return Convert("GB18030", "UTF-8", utf8, out, error);
}

bool DecodeText(std::string_view bytes, const TextFormat& format, std::string& utf8, std::string* error) {
  if (format.encoding == TextEncoding::Gbk) return GbkToUtf8(bytes, utf8, error);
  if (HasUtf8Bom(bytes)) bytes.remove_prefix(3);
  if (!IsValidUtf8(bytes)) {
    if (error) *error = "invalid UTF-8";
    return false;
  }
  utf8.assign(bytes);
  return true;
}

bool EncodeText(std::string_view utf8, const TextFormat& format, std::string& bytes, std::string* error) {
  if (format.encoding == TextEncoding::Gbk) return Utf8ToGbk(utf8, bytes, error);
  bytes.clear();
  if (format.bom) bytes = "\xEF\xBB\xBF";
  bytes.append(utf8);
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

char32_t NextCodePoint(std::string_view s, size_t& pos) {
  const auto c = static_cast<unsigned char>(s[pos]);
  size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
  if (len == 0 || pos + len > s.size() || !IsValidUtf8(s.substr(pos, len))) {
    ++pos;
    return len == 1 ? c : 0xFFFD;
  }
  char32_t cp = len == 1 ? c : (c & (0x7F >> len));
  for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[pos + k]) & 0x3F);
  pos += len;
  return cp;
}

}  // namespace tav
