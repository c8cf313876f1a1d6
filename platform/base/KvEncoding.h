// Text encodings of files that come from Windows machines: UTF-8 (with or without BOM) and
// GBK (code page 936, decoded through GB18030 so that every valid GBK byte sequence maps back to
// exactly the same bytes). Inside the system all text is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace tav {

enum class TextEncoding { Utf8, Gbk };

// How a text file was stored, so that it can be written back the same way.
struct TextFormat {
  TextEncoding encoding = TextEncoding::Utf8;
  bool bom = false;   // UTF-8 byte order mark at the start
  bool crlf = false;  // the first line end found was CR LF
  bool operator==(const TextFormat&) const = default;
};

// True if `bytes` is well-formed UTF-8 (no overlongs, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Works out the format of a file's bytes: a BOM means UTF-8; otherwise well-formed UTF-8 is UTF-8;
// anything else is taken as GBK. An empty file is UTF-8 without BOM, LF.
TextFormat DetectTextFormat(std::string_view bytes);

// GBK <-> UTF-8. On bytes that are not valid in the source encoding: false, `out` unspecified,
// and `error` (if given) names the byte offset.
bool GbkToUtf8(std::string_view gbk, std::string& out, std::string* error = nullptr);
bool Utf8ToGbk(std::string_view utf8, std::string& out, std::string* error = nullptr);

// Bytes of a file -> UTF-8 text (BOM removed). Line ends are left as they are.
bool DecodeText(std::string_view bytes, const TextFormat& format, std::string& utf8, std::string* error = nullptr);
// UTF-8 text -> bytes of a file in `format` (BOM added when the format has one). Line ends are left as they are.
bool EncodeText(std::string_view utf8, const TextFormat& format, std::string& bytes, std::string* error = nullptr);

// Appends code point `cp` to `out` as UTF-8 (invalid code points become U+FFFD).
void AppendUtf8(std::string& out, char32_t cp);
// Decodes one code point at `pos` and advances `pos`; invalid bytes give U+FFFD and advance by one.
char32_t NextCodePoint(std::string_view text, size_t& pos);

}  // namespace tav
