#include "platform/host/KvCommandLine.h"

#include <cstdio>

#include <cstdlib>
#include <exception>
#include "platform/host/KvUserServices.h"

namespace {

std::string_view LookupName(std::string_view name) {
  while (!name.empty() && (name.front() == '.' || name.front() == '_' || name.front() == '\''))
    name.remove_prefix(1);
  return name;
}

bool IsEntryEnd(char c) { return c == '\r' || c == '\n' || c == ' '; }

std::string NumberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  // Use the shortest form that reads back the same.
  for (int precision = 1; precision <= 17; ++precision) {
    char shorter[64];
    std::snprintf(shorter, sizeof shorter, "%.*g", precision, value);
    if (std::strtod(shorter, nullptr) == value) return shorter;
  }
  return buffer;
}

}  // namespace

std::string KvCommandArg::ToString() const {
  switch (type) {
    case RTSTR: return text;
    case RTSHORT:
    case RTLONG: return std::to_string(integer);
    case RTREAL:
    case RTANG: return NumberText(real);
    case RTPOINT: return NumberText(point[0]) + "," + NumberText(point[1]);
    case RT3DPOINT: return NumberText(point[0]) + "," + NumberText(point[1]) + "," + NumberText(point[2]);
    default: return {};
  }
}

KvCommandLine& KvCommandLine::Current() {
  static KvCommandLine commandLine;
  return commandLine;
}

const std::vector<KvCommandArg>& KvCommandLine::Arguments() const {
  static const std::vector<KvCommandArg> none;
  return active_.empty() ? none : active_.back().args;
}

int KvCommandLine::Run(KvCommandRecord record) {
  std::string_view lookup = LookupName(record.name);
  const KvRegisteredCommand* found = acedRegCmds()->lookupCmd(lookup);
  if (record.source != KvCommandRecord::Source::kInvoked && depth_ > 0 &&
      !(found && (found->flags & ACRX_CMD_TRANSPARENT))) {
    record.result = RTREJ;
    record.depth = depth_;
    history_.push_back(record);
    return RTREJ;
  }
  record.depth = depth_;
  KvRegisteredCommand command;
  if (found) {
    command = *found;  // the stack may change while the command runs
    record.group = command.group;
  }
  size_t index = history_.size();
  history_.push_back(record);
  active_.push_back(record);
  ++depth_;
  int result = RTNORM;
  struct Leave {
    KvCommandLine* self;
    ~Leave() {
      --self->depth_;
      self->active_.pop_back();
    }
  } leave{this};
  try {
    if (found) {
      command.handler();
    } else if (!(unknown_ && unknown_(record, lookup))) {
      KvGetUserServices().Print("\n未知命令“" + std::string(lookup) + "”。");
      result = RTERROR;
    }
  } catch (const std::exception& error) {
    // A command that fails this way ends; the command line goes on.
    history_[index].error = error.what();
    KvGetUserServices().Print("\n命令 " + std::string(lookup) + " 出错：" + error.what());
    result = RTERROR;
  }
  history_[index].result = result;
  return result;
}

int KvCommandLine::RunCommand(std::string_view name) {
  KvCommandRecord record;
  record.source = KvCommandRecord::Source::kTyped;
  record.name = std::string(name);
  int result = Run(std::move(record));
  if (depth_ == 0) RunPosted();
  return result;
}

int KvCommandLine::Invoke(std::vector<KvCommandArg> args) {
  if (args.empty() || args.front().type != RTSTR) return RTERROR;
  KvCommandRecord record;
  record.source = KvCommandRecord::Source::kInvoked;
  record.name = args.front().text;
  if (LookupName(record.name).empty()) return RTNORM;  // Enter alone
  record.args.assign(args.begin() + 1, args.end());
  int result = Run(std::move(record));
  if (depth_ == 0) RunPosted();
  return result;
}

void KvCommandLine::Post(std::string_view text) {
  postedTexts_.emplace_back(text);
  posted_.append(text);
  if (depth_ == 0) RunPosted();
}

int KvCommandLine::RunPosted() {
  if (depth_ > 0 || drainingPosted_) return 0;
  drainingPosted_ = true;
  int ran = 0;
  for (;;) {
    size_t end = 0;
    while (end < posted_.size() && !IsEntryEnd(posted_[end])) ++end;
    if (end == posted_.size()) break;  // no complete entry left
    std::string entry = posted_.substr(0, end);
    posted_.erase(0, end + 1);
    if (entry.empty()) continue;  // Enter alone at the prompt
    KvCommandRecord record;
    record.source = KvCommandRecord::Source::kPosted;
    record.name = std::move(entry);
    Run(std::move(record));
    ++ran;
  }
  drainingPosted_ = false;
  return ran;
}

void KvCommandLine::Clear() {
  history_.clear();
  postedTexts_.clear();
  posted_.clear();
}

int acedCommandV(int rtype, va_list list) {
  std::vector<KvCommandArg> args;
  for (int type = rtype; type != RTNONE; type = va_arg(list, int)) {
    KvCommandArg arg;
    arg.type = type;
    switch (type) {
      case RTSTR: {
        const char* text = va_arg(list, const char*);
        arg.text = text ? text : "";
        break;
      }
      case RTSHORT: arg.integer = va_arg(list, int); break;
      case RTLONG: arg.integer = va_arg(list, long); break;
      case RTREAL:
      case RTANG: arg.real = va_arg(list, double); break;
      case RTPOINT:
      case RT3DPOINT: {
        const double* point = va_arg(list, const double*);
        if (!point) return RTERROR;
        arg.point[0] = point[0];
        arg.point[1] = point[1];
        arg.point[2] = type == RT3DPOINT ? point[2] : 0.0;
        break;
      }
      default: return RTERROR;
    }
    args.push_back(std::move(arg));
  }
  return KvCommandLine::Current().Invoke(std::move(args));
}

int acedCommand(int rtype, ...) {
  va_list list;
  va_start(list, rtype);
  int result = acedCommandV(rtype, list);
  va_end(list);
  return result;
}

int acedPostCommand(const char* text) {
  KvCommandLine::Current().Post(text ? text : "");
  return RTNORM;
}

int acutPrintf(const char* format, ...) {
  va_list list;
  va_start(list, format);
  va_list copy;
  va_copy(copy, list);
  int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (size < 0) {
    va_end(list);
    return size;
  }
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, list);
  va_end(list);
  text.resize(static_cast<size_t>(size));
  KvGetUserServices().Print(text);
  return size;
}

void acedPostCommandPrompt() { KvGetUserServices().ShowCommandPrompt(); }

int acedAlert(const char* text) {
  KvGetUserServices().Alert(text ? text : "");
  return RTNORM;
}

bool acedSetColorDialog(int& color, bool allowMetaColor, int currentLayerColor) {
  KvColorResult result = KvGetUserServices().ColorDialog({color, allowMetaColor, currentLayerColor});
  if (!result.accepted) return false;
  color = result.color;
  return true;
}
