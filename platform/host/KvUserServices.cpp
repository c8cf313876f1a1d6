#include "platform/host/KvUserServices.h"

#include <cstdio>
#include <iostream>

#include "platform/base/KvStrings.h"

KvUserServices::~KvUserServices() = default;

const std::string& KvFileDialogResult::path() const {
  static const std::string empty;
  return paths.empty() ? empty : paths.front();
}

namespace {

// Without a host: output goes to standard output, every question is answered as cancelled and noted
// on standard error.
class KvFallbackUserServices final : public KvUserServices {
 public:
  void Print(std::string_view text) override {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
  void ShowCommandPrompt() override {}
  KvStringResult GetString(const KvStringRequest& r) override { return Note("prompt", r.prompt), KvStringResult{}; }
  KvStringResult GetKeyword(const KvKeywordRequest& r) override { return Note("keyword prompt", r.prompt), KvStringResult{}; }
  KvPointResult GetPoint(const KvPointRequest& r) override { return Note("point prompt", r.prompt), KvPointResult{}; }
  KvPickResult PickEntity(const KvPickRequest& r) override { return Note("entity pick", r.prompt), KvPickResult{}; }
  KvSelectionResult Select(const KvSelectionRequest& r) override { return Note("selection", r.prompt), KvSelectionResult{}; }
  int MessageBox(const KvMessageBoxRequest& r) override {
    Note("message box", r.text);
    unsigned type = r.flags & MB_TYPEMASK;
    if (type == MB_OK) return IDOK;
    if (type == MB_YESNO) return IDNO;
    return IDCANCEL;
  }
  void Alert(std::string_view text) override { Note("alert", text); }
  KvFileDialogResult FileDialog(const KvFileDialogRequest& r) override { return Note("file dialog", r.filter), KvFileDialogResult{}; }
  KvColorResult ColorDialog(const KvColorRequest&) override { return Note("colour dialog", ""), KvColorResult{}; }

 private:
  static void Note(const char* what, std::string_view text) {
    std::cerr << "(no user interface) " << what << ": " << text << " -> cancelled\n";
  }
};

KvFallbackUserServices& Fallback() {
  static KvFallbackUserServices fallback;
  return fallback;
}

KvUserServices* g_current = nullptr;

}  // namespace

KvUserServices& KvGetUserServices() { return g_current ? *g_current : Fallback(); }

KvUserServices* KvSetUserServices(KvUserServices* services) {
  KvUserServices* previous = g_current;
  g_current = services;
  return previous;
}

int KvMessageBox(std::string_view text, std::string_view caption, unsigned flags) {
  return KvGetUserServices().MessageBox({std::string(text), std::string(caption), flags});
}

bool KvParseFileFilter(std::string_view filter, std::vector<KvFileFilter>& filters, std::string* error) {
  filters.clear();
  auto fail = [&](std::string message) {
    filters.clear();
    if (error) *error = std::move(message);
    return false;
  };
  std::string_view body = filter;
  // The list ends at the first empty part ("||"); anything after it is ignored, as MFC does.
  size_t end = body.find("||");
  if (end != std::string_view::npos) body = body.substr(0, end);
  else if (!body.empty() && body.back() == '|') body.remove_suffix(1);
  if (body.empty()) return fail("empty file filter");
  std::vector<std::string> parts = tav::Split(body, '|');
  if (parts.size() % 2 != 0)
    return fail("file filter \"" + std::string(filter) + "\" has a description without patterns");
  for (size_t i = 0; i < parts.size(); i += 2) {
    KvFileFilter entry;
    entry.description = parts[i];
    if (tav::Trim(entry.description).empty())
      return fail("file filter \"" + std::string(filter) + "\" has an empty description");
    for (const std::string& pattern : tav::Split(parts[i + 1], ';')) {
      std::string trimmed = tav::Trim(pattern);
      if (!trimmed.empty()) entry.patterns.push_back(trimmed);
    }
    if (entry.patterns.empty())
      return fail("file filter \"" + std::string(filter) + "\" has no pattern for \"" + entry.description + "\"");
    filters.push_back(std::move(entry));
  }
  return true;
}

namespace {

bool WildcardMatch(std::string_view text, std::string_view pattern) {
  size_t t = 0, p = 0, starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || tav::FoldAscii(pattern[p]) == tav::FoldAscii(text[t]))) {
      ++t;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starT = t;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool KvMatchFilePattern(std::string_view fileName, const std::vector<std::string>& patterns) {
  size_t slash = fileName.find_last_of('/');
  if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
  for (const std::string& pattern : patterns) {
    if (pattern == "*.*" || WildcardMatch(fileName, pattern)) return true;
  }
  return false;
}
