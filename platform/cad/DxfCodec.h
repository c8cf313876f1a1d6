// Text encoding of DXF values (internal to the drawing database): UTF-8 from R2007 on, before that
// the code page of $DWGCODEPAGE with \U+XXXX escapes for characters the code page lacks.
#pragma once

#include <string>
#include <string_view>

namespace tav::cad {

class DxfCodec {
 public:
  enum class Kind { Utf8, Gbk, Cp1252, Iconv };

  DxfCodec() = default;
  // For a file of `acadver` with code page `codePage` ("ANSI_936"); an unknown code page falls back
  // to ANSI_1252, which accepts every byte.
  static DxfCodec For(std::string_view acadver, std::string_view codePage);
  static DxfCodec Utf8() { return DxfCodec(); }

  Kind kind() const { return kind_; }

  // File bytes -> UTF-8, \U+XXXX escapes resolved. False on bytes invalid in the encoding.
  bool Decode(std::string_view raw, std::string& utf8) const;
  // True when `raw` decodes without error.
  bool Validate(std::string_view raw) const;
  // UTF-8 -> file bytes; characters the code page lacks become \U+XXXX. False on invalid UTF-8.
  bool Encode(std::string_view utf8, std::string& raw) const;

 private:
  Kind kind_ = Kind::Utf8;
  std::string iconvName_;
};

// True when every byte is below 0x80.
bool IsAscii(std::string_view text);

}  // namespace tav::cad
