// CAD wildcard matching, as the host's filters and table lookups use it.
//
// A pattern is one or more alternatives separated by ","; a string matches when it matches any of them.
// A pattern beginning with "~" matches what the rest does not match. In an alternative:
//   *        any sequence, also empty          ?   any one character
//   #        one decimal digit                 @   one letter (ASCII or any non-ASCII character)
//   .        one character that is neither a letter nor a digit
//   [...]    one of the characters listed, ranges "a-z" allowed; [~...] one character not listed
//   `x       the character x itself (so "`*" matches a star and "`," a comma)
// Letters are compared ignoring ASCII case; characters are whole UTF-8 characters, so "?" matches
// one Chinese character.
#pragma once

#include <string_view>

namespace tav::host {
// True when `text` matches `pattern`. An empty pattern matches only the empty string; a "[" without
// its "]" is taken as the character "[".
bool WcMatch(std::string_view text, std::string_view pattern);
}  // namespace tav::host

// RTNORM when `string` matches `pattern`, RTERROR otherwise (also for null arguments).
int acutWcMatch(const char* string, const char* pattern);
