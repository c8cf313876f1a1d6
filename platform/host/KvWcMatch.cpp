#include "platform/host/KvWcMatch.h"

#include <string>
#include <vector>

#include "platform/host/KvCommandLine.h"

namespace tav::host {
namespace {

// Decodes UTF-8 into code points; a byte that starts no valid sequence stands for itself.
std::u32string Decode(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len <= 1 || i + len > s.size()) {
      out.push_back(c);
      ++i;
      continue;
    }
    char32_t cp = c & (0x7F >> len);
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) { ok = false; break; }
      cp = (cp << 6) | (d & 0x3F);
    }
    if (!ok) {
      out.push_back(c);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += len;
  }
  return out;
}

char32_t Fold(char32_t c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool IsLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c >= 0x80; }

// One element of a compiled alternative.
struct Element {
  enum Kind { kChar, kAny, kStar, kDigit, kLetter, kOther, kSet } kind = kChar;
  char32_t ch = 0;
  bool negate = false;
  std::vector<std::pair<char32_t, char32_t>> ranges;
};

std::vector<Element> Compile(const std::u32string& p) {
  std::vector<Element> out;
  for (std::size_t i = 0; i < p.size(); ++i) {
    Element e;
    char32_t c = p[i];
    if (c == '`' && i + 1 < p.size()) {
      e.ch = Fold(p[++i]);
    } else if (c == '*') {
      if (!out.empty() && out.back().kind == Element::kStar) continue;
      e.kind = Element::kStar;
    } else if (c == '?') {
      e.kind = Element::kAny;
    } else if (c == '#') {
      e.kind = Element::kDigit;
    } else if (c == '@') {
      e.kind = Element::kLetter;
    } else if (c == '.') {
      e.kind = Element::kOther;
    } else if (c == '[') {
      // Find the closing bracket; "]" right after "[" or "[~" belongs to the set.
      std::size_t j = i + 1;
      bool negate = j < p.size() && p[j] == '~';
      if (negate) ++j;
      std::size_t first = j;
      if (j < p.size() && p[j] == ']') ++j;
      while (j < p.size() && p[j] != ']') ++j;
      if (j >= p.size()) {
        e.ch = '[';  // no closing bracket: a literal "["
      } else {
        e.kind = Element::kSet;
        e.negate = negate;
        for (std::size_t k = first; k < j; ++k) {
          char32_t lo = p[k];
          if (lo == '`' && k + 1 < j) lo = p[++k];
          char32_t hi = lo;
          if (k + 2 < j && p[k + 1] == '-') {
            hi = p[k + 2];
            k += 2;
          }
          e.ranges.push_back({Fold(lo), Fold(hi)});
        }
        i = j;
      }
    } else {
      e.ch = Fold(c);
    }
    out.push_back(std::move(e));
  }
  return out;
}

bool One(const Element& e, char32_t c) {
  switch (e.kind) {
    case Element::kChar: return Fold(c) == e.ch;
    case Element::kAny: return true;
    case Element::kDigit: return IsDigit(c);
    case Element::kLetter: return IsLetter(c);
    case Element::kOther: return !IsDigit(c) && !IsLetter(c);
    case Element::kSet: {
      char32_t f = Fold(c);
      bool in = false;
      for (auto [lo, hi] : e.ranges) {
        // A range is compared on folded ends; letters fold to lower case on both sides.
        if ((f >= lo && f <= hi) || (c >= lo && c <= hi)) { in = true; break; }
      }
      return in != e.negate;
    }
    case Element::kStar: return true;
  }
  return false;
}

// Greedy matching with backtracking to the last star (linear in practice).
bool MatchOne(const std::vector<Element>& pat, const std::u32string& text) {
  std::size_t p = 0, t = 0;
  std::size_t starP = std::string::npos, starT = 0;
  while (t < text.size()) {
    if (p < pat.size() && pat[p].kind == Element::kStar) {
      starP = p++;
      starT = t;
    } else if (p < pat.size() && One(pat[p], text[t])) {
      ++p;
      ++t;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pat.size() && pat[p].kind == Element::kStar) ++p;
  return p == pat.size();
}

}  // namespace

bool WcMatch(std::string_view text, std::string_view pattern) {
  std::u32string p = Decode(pattern);
  std::u32string t = Decode(text);
  bool negate = false;
  if (!p.empty() && p[0] == '~') {
    negate = true;
    p.erase(0, 1);
  }
  // Split at commas that are not escaped and not inside brackets.
  std::vector<std::u32string> alternatives(1);
  bool inSet = false;
  for (std::size_t i = 0; i < p.size(); ++i) {
    char32_t c = p[i];
    if (c == '`' && i + 1 < p.size()) {
      alternatives.back() += c;
      alternatives.back() += p[++i];
      continue;
    }
    if (inSet) {
      if (c == ']') inSet = false;
    } else if (c == '[') {
      // Only a bracket with a closing partner opens a set.
      std::size_t j = i + 1;
      if (j < p.size() && p[j] == '~') ++j;
      if (j < p.size() && p[j] == ']') ++j;
      while (j < p.size() && p[j] != ']') ++j;
      if (j < p.size()) inSet = true;
    } else if (c == ',') {
      alternatives.emplace_back();
      continue;
    }
    alternatives.back() += c;
  }
  bool matched = false;
  for (const auto& alt : alternatives) {
    if (MatchOne(Compile(alt), t)) {
      matched = true;
      break;
    }
  }
  return matched != negate;
}

}  // namespace tav::host

int acutWcMatch(const char* string, const char* pattern) {
  if (!string || !pattern) return RTERROR;
  return tav::host::WcMatch(string, pattern) ? RTNORM : RTERROR;
}
