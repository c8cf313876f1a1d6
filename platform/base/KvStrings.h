// Strings of the platform: UTF-8 std::string inside, ASCII case folding for case-insensitive work.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tav {

// ASCII-only case folding; bytes >= 0x80 (Chinese text in UTF-8) are compared as they are.
char FoldAscii(char c);
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
// <0, 0, >0 like strcmp, after ASCII folding.
int CompareNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// Removes spaces, tabs, CR and LF at both ends; an all-blank text gives "".
std::string Trim(std::string_view text);
std::string TrimRight(std::string_view text);
std::string TrimLeft(std::string_view text);

// Splits at every separator; empty pieces are kept ("a,,b" gives three pieces, "" gives one empty piece).
std::vector<std::string> Split(std::string_view text, char separator);
std::string Join(const std::vector<std::string>& parts, std::string_view separator);

// Replaces every occurrence of `from` (non-empty) with `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Number of Unicode code points in a UTF-8 text (invalid bytes count one each).
size_t Utf8Length(std::string_view text);

}  // namespace tav

// Splits `text` at every occurrence of `separator` into `array` (emptied first). Empty pieces are
// dropped, as the platform's string cutter does; an empty separator gives the whole text as one piece.
// Returns the number of pieces.
int CutStrToArr(const std::string& text, const std::string& separator, std::vector<std::string>& array);
