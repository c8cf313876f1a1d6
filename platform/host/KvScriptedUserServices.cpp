#include "platform/host/KvScriptedUserServices.h"

#include "platform/base/KvStrings.h"

namespace {

template <typename T>
bool TakeFront(std::deque<T>& queue, T& out) {
  if (queue.empty()) return false;
  out = std::move(queue.front());
  queue.pop_front();
  return true;
}

const char* ButtonsName(unsigned flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OK: return "OK";
    case MB_OKCANCEL: return "OK/Cancel";
    case MB_ABORTRETRYIGNORE: return "Abort/Retry/Ignore";
    case MB_YESNOCANCEL: return "Yes/No/Cancel";
    case MB_YESNO: return "Yes/No";
    case MB_RETRYCANCEL: return "Retry/Cancel";
    default: return "?";
  }
}

// The answers a message box with these buttons can give.
bool AnswerFitsButtons(int answer, unsigned flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OK: return answer == IDOK;
    case MB_OKCANCEL: return answer == IDOK || answer == IDCANCEL;
    case MB_ABORTRETRYIGNORE: return answer == IDABORT || answer == IDRETRY || answer == IDIGNORE;
    case MB_YESNOCANCEL: return answer == IDYES || answer == IDNO || answer == IDCANCEL;
    case MB_YESNO: return answer == IDYES || answer == IDNO;
    case MB_RETRYCANCEL: return answer == IDRETRY || answer == IDCANCEL;
    default: return false;
  }
}

}  // namespace

void KvScriptedUserServices::QueueFile(std::string path) {
  KvFileDialogResult answer;
  answer.accepted = true;
  answer.paths.push_back(std::move(path));
  fileAnswers_.push_back(std::move(answer));
}

void KvScriptedUserServices::QueueFiles(std::vector<std::string> paths) {
  KvFileDialogResult answer;
  answer.accepted = true;
  answer.paths = std::move(paths);
  fileAnswers_.push_back(std::move(answer));
}

void KvScriptedUserServices::QueueFileCancel() { fileAnswers_.push_back(KvFileDialogResult{}); }

size_t KvScriptedUserServices::UnusedAnswers() const {
  return messageBoxAnswers_.size() + stringAnswers_.size() + keywordAnswers_.size() + pointAnswers_.size() +
         pickAnswers_.size() + selectionAnswers_.size() + fileAnswers_.size() + colorAnswers_.size();
}

void KvScriptedUserServices::ClearRecords() {
  output_.clear();
  prints_.clear();
  commandPrompts_ = 0;
  messageBoxes_.clear();
  alerts_.clear();
  fileDialogs_.clear();
  colorDialogs_.clear();
  stringPrompts_.clear();
  keywordPrompts_.clear();
  pointPrompts_.clear();
  pickPrompts_.clear();
  selectionPrompts_.clear();
  events_.clear();
  errors_.clear();
}

void KvScriptedUserServices::Unexpected(const std::string& what) {
  std::string message = "unexpected " + what + " with no scripted answer";
  errors_.push_back(message);
  if (policy_ == Policy::kThrow) throw KvUnexpectedQuestion(message);
}

void KvScriptedUserServices::Print(std::string_view text) {
  output_.append(text);
  prints_.emplace_back(text);
}

void KvScriptedUserServices::ShowCommandPrompt() {
  ++commandPrompts_;
  events_.push_back({Event::Kind::kCommandPrompt, {}});
}

KvStringResult KvScriptedUserServices::GetString(const KvStringRequest& request) {
  stringPrompts_.push_back(request);
  events_.push_back({Event::Kind::kString, request.prompt});
  output_.append(request.prompt);
  KvStringResult answer;
  if (!TakeFront(stringAnswers_, answer)) {
    Unexpected("string prompt \"" + request.prompt + "\"");
    return {};
  }
  if (answer.status == KvPromptStatus::kNormal && !request.allowSpaces) {
    size_t space = answer.text.find(' ');
    if (space != std::string::npos) answer.text.resize(space);  // a space ends the input
  }
  if (answer.status == KvPromptStatus::kNormal && answer.text.empty()) {
    if (!request.defaultValue.empty()) answer.text = request.defaultValue;
    else answer.status = KvPromptStatus::kNone;
  }
  return answer;
}

KvStringResult KvScriptedUserServices::GetKeyword(const KvKeywordRequest& request) {
  keywordPrompts_.push_back(request);
  events_.push_back({Event::Kind::kKeyword, request.prompt});
  output_.append(request.prompt);
  KvStringResult answer;
  if (!TakeFront(keywordAnswers_, answer)) {
    Unexpected("keyword prompt \"" + request.prompt + "\"");
    return {};
  }
  if (answer.status == KvPromptStatus::kNone && !request.allowNone) {
    Unexpected("empty answer to keyword prompt \"" + request.prompt + "\" that needs a keyword");
    return {};
  }
  if (answer.status == KvPromptStatus::kNormal || answer.status == KvPromptStatus::kKeyword) {
    // The answer is matched like typed input: case folded, and given back as the request spells it.
    for (const std::string& keyword : request.keywords) {
      if (tav::EqualsNoCase(keyword, answer.text)) {
        answer.text = keyword;
        answer.status = KvPromptStatus::kNormal;
        return answer;
      }
    }
    Unexpected("answer \"" + answer.text + "\" that is no keyword of \"" + request.prompt + "\"");
    return {};
  }
  return answer;
}

KvPointResult KvScriptedUserServices::GetPoint(const KvPointRequest& request) {
  pointPrompts_.push_back(request);
  events_.push_back({Event::Kind::kPoint, request.prompt});
  output_.append(request.prompt);
  KvPointResult answer;
  if (!TakeFront(pointAnswers_, answer)) {
    Unexpected("point prompt \"" + request.prompt + "\"");
    return {};
  }
  if (answer.status == KvPromptStatus::kNone && !request.allowNone) {
    Unexpected("empty answer to point prompt \"" + request.prompt + "\" that needs a point");
    return {};
  }
  return answer;
}

KvPickResult KvScriptedUserServices::PickEntity(const KvPickRequest& request) {
  pickPrompts_.push_back(request);
  events_.push_back({Event::Kind::kPick, request.prompt});
  output_.append(request.prompt);
  KvPickResult answer;
  if (!TakeFront(pickAnswers_, answer)) {
    Unexpected("entity pick \"" + request.prompt + "\"");
    return {};
  }
  return answer;
}

KvSelectionResult KvScriptedUserServices::Select(const KvSelectionRequest& request) {
  selectionPrompts_.push_back(request);
  events_.push_back({Event::Kind::kSelection, request.prompt});
  output_.append(request.prompt);
  KvSelectionResult answer;
  if (!TakeFront(selectionAnswers_, answer)) {
    Unexpected("selection \"" + request.prompt + "\"");
    return {};
  }
  if (request.singleSelection && answer.handles.size() > 1) answer.handles.resize(1);
  return answer;
}

int KvScriptedUserServices::MessageBox(const KvMessageBoxRequest& request) {
  messageBoxes_.push_back(request);
  events_.push_back({Event::Kind::kMessageBox, request.text});
  int answer = 0;
  if (!TakeFront(messageBoxAnswers_, answer)) {
    // A box with only an OK button needs no script: it can only be acknowledged.
    if ((request.flags & MB_TYPEMASK) == MB_OK) return IDOK;
    Unexpected(std::string("message box \"") + request.text + "\" (" + ButtonsName(request.flags) + ")");
    return (request.flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
  }
  if (!AnswerFitsButtons(answer, request.flags)) {
    Unexpected(std::string("answer ") + std::to_string(answer) + " to message box \"" + request.text +
               "\" with buttons " + ButtonsName(request.flags));
    return (request.flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
  }
  return answer;
}

void KvScriptedUserServices::Alert(std::string_view text) {
  alerts_.emplace_back(text);
  events_.push_back({Event::Kind::kAlert, std::string(text)});
}

KvFileDialogResult KvScriptedUserServices::FileDialog(const KvFileDialogRequest& request) {
  fileDialogs_.push_back(request);
  events_.push_back({Event::Kind::kFileDialog, request.filter});
  std::vector<KvFileFilter> filters;
  std::string error;
  if (!request.filter.empty() && !KvParseFileFilter(request.filter, filters, &error)) {
    Unexpected("file dialog with a bad filter: " + error);
    return {};
  }
  KvFileDialogResult answer;
  if (!TakeFront(fileAnswers_, answer)) {
    Unexpected("file dialog \"" + request.filter + "\"");
    return {};
  }
  if (answer.accepted && answer.paths.size() > 1 && !(request.flags & OFN_ALLOWMULTISELECT)) {
    Unexpected("several files chosen in a file dialog without OFN_ALLOWMULTISELECT");
    return {};
  }
  if (answer.accepted && request.kind == KvFileDialogKind::kSave && !request.defaultExtension.empty()) {
    // A typed name without an extension gets the default one, as the save dialog does.
    for (std::string& path : answer.paths) {
      size_t slash = path.find_last_of('/');
      size_t dot = path.find_last_of('.');
      if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        path += "." + request.defaultExtension;
    }
  }
  return answer;
}

KvColorResult KvScriptedUserServices::ColorDialog(const KvColorRequest& request) {
  colorDialogs_.push_back(request);
  events_.push_back({Event::Kind::kColorDialog, std::to_string(request.initialColor)});
  KvColorResult answer;
  if (!TakeFront(colorAnswers_, answer)) {
    Unexpected("colour dialog");
    return {};
  }
  if (answer.accepted) {
    bool meta = answer.color == kColorByLayer || answer.color == kColorByBlock;
    if (answer.color < 0 || answer.color > 256 || (meta && !request.allowMetaColors)) {
      Unexpected("colour answer " + std::to_string(answer.color) + " the dialog cannot give");
      return {};
    }
  }
  return answer;
}
