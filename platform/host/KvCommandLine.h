// The host's command line: running commands by name, commands sent from inside a command
// (acedCommand), text posted to run once the current command has ended (acedPostCommand), and the
// printing calls. Output and prompts go to the current KvUserServices.
#pragma once

#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/KvArx.h"

// Result and argument type codes of the command-line calls (ObjectARX values).
inline constexpr int RTNONE = 5000;
inline constexpr int RTREAL = 5001;
inline constexpr int RTPOINT = 5002;
inline constexpr int RTSHORT = 5003;
inline constexpr int RTANG = 5004;
inline constexpr int RTSTR = 5005;
inline constexpr int RTENAME = 5006;
inline constexpr int RT3DPOINT = 5009;
inline constexpr int RTLONG = 5010;
inline constexpr int RTNORM = 5100;
inline constexpr int RTERROR = -5001;
inline constexpr int RTCAN = -5002;
inline constexpr int RTREJ = -5003;
inline constexpr int RTFAIL = -5004;
inline constexpr int RTKWORD = -5005;

// One argument of acedCommand.
struct KvCommandArg {
  int type = RTSTR;   // RTSTR, RTSHORT, RTLONG, RTREAL, RTANG, RTPOINT, RT3DPOINT
  std::string text;   // RTSTR
  long long integer = 0;  // RTSHORT, RTLONG
  double real = 0;    // RTREAL, RTANG
  double point[3] = {0, 0, 0};  // RTPOINT (z = 0), RT3DPOINT
  std::string ToString() const;  // the argument as it would be typed
};

// One command the command line ran (or tried to run).
struct KvCommandRecord {
  enum class Source { kTyped, kInvoked, kPosted };
  Source source = Source::kTyped;
  std::string name;                 // as given, with any "." or "_" prefix (".REGEN")
  std::vector<KvCommandArg> args;   // acedCommand arguments after the name
  std::string group;                // the group the command was found in; empty when unknown
  int result = RTNORM;              // RTNORM; RTERROR for an unknown or failed command; RTREJ refused
  int depth = 0;                    // 0 for a command started at the prompt, 1 for one run inside it, ...
  std::string error;                // what ended the command when it failed with an exception
};

class KvCommandLine {
 public:
  // The command line of the process.
  static KvCommandLine& Current();

  // Runs the command `name` at the prompt (as typed). A leading "." or "_" (or both) and a leading "'"
  // are ignored for the lookup. Unknown names go to the unknown-command handler (see below) or print
  // "\n未知命令“NAME”。". After the command ends (and no other is running), posted text runs.
  // Returns RTNORM when a command ran, RTERROR for an unknown name; RTREJ when a command without
  // ACRX_CMD_TRANSPARENT is typed while another command runs (Invoke runs commands inside commands).
  int RunCommand(std::string_view name);

  // acedCommand: args[0] (RTSTR) names the command; the others are kept in the record and are the
  // running command's Arguments(). Runs at once, inside the current command. An empty list or a
  // first argument that is no string gives RTERROR. An empty command name (acedCommand(RTSTR, "",
  // RTNONE)) ends nothing and returns RTNORM, like pressing Enter.
  int Invoke(std::vector<KvCommandArg> args);

  // acedPostCommand: appends text to the posted queue. A command entry ends with '\r', '\n' or a blank;
  // complete entries run once no command is active (at once when the command line is idle).
  void Post(std::string_view text);
  // Runs the complete posted entries (the host calls this when its command loop is idle; RunCommand
  // does it itself). Returns the number of entries run.
  int RunPosted();
  // Posted text not yet ended by '\r', '\n' or a blank.
  std::string PendingPostedText() const { return posted_; }

  bool IsCommandActive() const { return depth_ > 0; }
  // Name of the innermost running command ("" when idle).
  std::string ActiveCommand() const { return active_.empty() ? std::string() : active_.back().name; }
  // acedCommand arguments of the innermost running command (empty for typed and posted ones).
  const std::vector<KvCommandArg>& Arguments() const;

  // Commands the host handles itself (REGEN, ...) without a command stack entry: called with the record
  // (name without prefixes in `lookupName`); returns true when handled.
  using UnknownCommandHandler = std::function<bool(const KvCommandRecord& record, std::string_view lookupName)>;
  void SetUnknownCommandHandler(UnknownCommandHandler handler) { unknown_ = std::move(handler); }

  // Everything run, in the order started; every text posted, as posted.
  const std::vector<KvCommandRecord>& History() const { return history_; }
  const std::vector<std::string>& PostedTexts() const { return postedTexts_; }
  // Forgets history, posted texts and pending posted text.
  void Clear();

 private:
  int Run(KvCommandRecord record);

  int depth_ = 0;
  std::vector<KvCommandRecord> active_;
  std::string posted_;
  std::vector<KvCommandRecord> history_;
  std::vector<std::string> postedTexts_;
  UnknownCommandHandler unknown_;
  bool drainingPosted_ = false;
};

// acedCommand(RTSTR, ".REGEN", RTNONE): pairs of type code and value ended by RTNONE. RTSTR takes a
// const char* (UTF-8), RTSHORT an int, RTLONG a long, RTREAL and RTANG a double, RTPOINT and RT3DPOINT
// a const double*. An unknown type code gives RTERROR without running anything.
int acedCommand(int rtype, ...);
// Same, with the arguments as a list (rtype is the first type code).
int acedCommandV(int rtype, va_list args);
// Posts `text` to run after the current command ends ("KvLoadUI\r"). Returns RTNORM.
int acedPostCommand(const char* text);
// printf-style output on the command line (UTF-8). Returns the number of bytes printed.
int acutPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Shows the command prompt again.
void acedPostCommandPrompt();
// The alert box. Returns RTNORM.
int acedAlert(const char* text);
// The colour dialog: `color` is the initial colour on entry and the chosen one on return (1..255,
// 256 ByLayer, 0 ByBlock). False when cancelled (`color` untouched).
bool acedSetColorDialog(int& color, bool allowMetaColor, int currentLayerColor);
