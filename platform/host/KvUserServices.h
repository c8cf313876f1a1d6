// Everything the host shows to the user or asks of the user.
//
// The engine never opens a window itself: command-line output and prompts, picks and selections,
// message boxes, alerts, file dialogs and the colour dialog all go through the one KvUserServices object
// the host has made current. tavcad implements it with Qt widgets; tests and tavtool use
// KvScriptedUserServices (KvScriptedUserServices.h), which answers from queues and records what it shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Message box buttons, icons and default button (the values of the Windows API, so that flags combine
// the same way: MB_YESNO | MB_ICONQUESTION).
inline constexpr unsigned MB_OK = 0x00000000u;
inline constexpr unsigned MB_OKCANCEL = 0x00000001u;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x00000002u;
inline constexpr unsigned MB_YESNOCANCEL = 0x00000003u;
inline constexpr unsigned MB_YESNO = 0x00000004u;
inline constexpr unsigned MB_RETRYCANCEL = 0x00000005u;
inline constexpr unsigned MB_TYPEMASK = 0x0000000Fu;
inline constexpr unsigned MB_ICONHAND = 0x00000010u;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
inline constexpr unsigned MB_ICONQUESTION = 0x00000020u;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x00000030u;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONASTERISK = 0x00000040u;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_ICONMASK = 0x000000F0u;
inline constexpr unsigned MB_DEFBUTTON1 = 0x00000000u;
inline constexpr unsigned MB_DEFBUTTON2 = 0x00000100u;
inline constexpr unsigned MB_DEFBUTTON3 = 0x00000200u;
inline constexpr unsigned MB_DEFMASK = 0x00000F00u;

// Message box answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// File dialog flags (values of the Windows API).
inline constexpr unsigned OFN_READONLY = 0x00000001u;
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x00000002u;
inline constexpr unsigned OFN_HIDEREADONLY = 0x00000004u;
inline constexpr unsigned OFN_NOCHANGEDIR = 0x00000008u;
inline constexpr unsigned OFN_ALLOWMULTISELECT = 0x00000200u;
inline constexpr unsigned OFN_PATHMUSTEXIST = 0x00000800u;
inline constexpr unsigned OFN_FILEMUSTEXIST = 0x00001000u;
inline constexpr unsigned OFN_CREATEPROMPT = 0x00002000u;
inline constexpr unsigned OFN_EXPLORER = 0x00080000u;

// Colour indexes of the colour dialog besides 1..255.
inline constexpr int kColorByBlock = 0;
inline constexpr int kColorByLayer = 256;

// How a prompt, pick, selection or dialog ended.
enum class KvPromptStatus {
  kNormal,   // a value was given
  kNone,     // the user pressed Enter without input (only where the request allows it)
  kKeyword,  // the user typed one of the request's keywords (the result's text holds it)
  kCancel,   // Escape, window closed, Cancel
  kError,    // the host could not ask (no drawing, nothing to pick from)
};

// ---- requests ------------------------------------------------------------------------------------

struct KvStringRequest {
  std::string prompt;          // shown as it is; prompts of the system begin with "\n"
  bool allowSpaces = false;    // false: a space ends the input like Enter
  std::string defaultValue;    // offered as the answer to Enter; empty: Enter gives kNone
};

struct KvKeywordRequest {
  std::string prompt;
  std::vector<std::string> keywords;  // the accepted words; the answer is one of them, as written here
  bool allowNone = false;             // Enter without a keyword gives kNone
};

struct KvPoint3 {
  double x = 0, y = 0, z = 0;
  bool operator==(const KvPoint3&) const = default;
};

struct KvPointRequest {
  std::string prompt;
  std::optional<KvPoint3> basePoint;  // rubber band from here
  std::vector<std::string> keywords;  // optional keywords accepted instead of a point
  bool allowNone = false;
};

struct KvPickRequest {
  std::string prompt;                 // e.g. "\n选择要编辑的设备表:"
  std::vector<std::string> keywords;  // optional keywords accepted instead of a pick
};

struct KvSelectionRequest {
  std::string prompt;                  // prompt for adding; empty: the host's default
  std::string removePrompt;            // prompt for removing; empty: the host's default
  std::vector<std::string> typeFilter; // DXF entity type names ("TAV_EQUIPMENT"); empty: any type
  std::string mode;                    // selection mode text (":$" prompts given, ":S" single); may be empty
  bool singleSelection = false;
};

struct KvMessageBoxRequest {
  std::string text;
  std::string caption;  // empty: the window has no caption text
  unsigned flags = MB_OK;  // buttons | icon | default button
};

enum class KvFileDialogKind { kOpen, kSave };

struct KvFileDialogRequest {
  KvFileDialogKind kind = KvFileDialogKind::kOpen;
  std::string title;             // empty: the host's default ("打开" / "另存为")
  std::string defaultExtension;  // without dot ("allcfg"); appended to a typed name without one
  std::string fileName;          // initial file name; may be empty
  std::string initialDirectory;  // may be empty
  std::string filter;            // "描述|*.ext|描述2|*.a;*.b||" (see KvParseFileFilter)
  unsigned flags = OFN_HIDEREADONLY;  // OFN_*
};

struct KvColorRequest {
  int initialColor = 7;         // 0..256
  bool allowMetaColors = true;  // ByLayer / ByBlock offered
  int layerColor = 7;           // shown for ByLayer
};

// ---- results -------------------------------------------------------------------------------------

struct KvStringResult {
  KvPromptStatus status = KvPromptStatus::kCancel;
  std::string text;  // the input, or the keyword
};

struct KvPointResult {
  KvPromptStatus status = KvPromptStatus::kCancel;
  KvPoint3 point;
  std::string keyword;
};

struct KvPickResult {
  KvPromptStatus status = KvPromptStatus::kCancel;  // kNone: the pick hit empty space
  std::uint64_t handle = 0;                         // the picked entity's handle
  KvPoint3 point;                                   // where it was picked
  std::string keyword;
};

struct KvSelectionResult {
  KvPromptStatus status = KvPromptStatus::kCancel;  // kNone: nothing selected
  std::vector<std::uint64_t> handles;               // in selection order
};

struct KvFileDialogResult {
  bool accepted = false;            // false: cancelled
  std::vector<std::string> paths;   // one path, or several with OFN_ALLOWMULTISELECT
  int filterIndex = 1;              // 1-based index of the chosen filter
  const std::string& path() const;  // the first path ("" when cancelled): GetPathName
};

struct KvColorResult {
  bool accepted = false;  // false: cancelled
  int color = 7;          // 1..255, kColorByLayer (256) or kColorByBlock (0)
};

// ---- the services ----------------------------------------------------------------------------------

class KvUserServices {
 public:
  virtual ~KvUserServices();

  // Command line. Print shows text as it is (it carries its own "\n"); ShowCommandPrompt shows the
  // command prompt again after output that ended a command (acedPostCommandPrompt).
  virtual void Print(std::string_view text) = 0;
  virtual void ShowCommandPrompt() = 0;
  virtual KvStringResult GetString(const KvStringRequest& request) = 0;
  virtual KvStringResult GetKeyword(const KvKeywordRequest& request) = 0;
  virtual KvPointResult GetPoint(const KvPointRequest& request) = 0;
  // One entity picked in the drawing.
  virtual KvPickResult PickEntity(const KvPickRequest& request) = 0;
  // A selection set built interactively.
  virtual KvSelectionResult Select(const KvSelectionRequest& request) = 0;

  // Modal windows. MessageBox returns one of the ID* answers of the shown buttons (IDCANCEL or IDNO
  // when the window is closed without a button).
  virtual int MessageBox(const KvMessageBoxRequest& request) = 0;
  // The CAD alert box: text, one OK button, the host's caption.
  virtual void Alert(std::string_view text) = 0;
  virtual KvFileDialogResult FileDialog(const KvFileDialogRequest& request) = 0;
  virtual KvColorResult ColorDialog(const KvColorRequest& request) = 0;
};

// The host's current services. Never null: without services set by the host, a fallback prints
// to standard output and answers every question with "cancelled" (it writes a note to standard error
// each time, so that an unattended run shows what it was asked).
KvUserServices& KvGetUserServices();
// Makes `services` current (not owned; null returns to the fallback). Returns the previous one
// (null when the fallback was current).
KvUserServices* KvSetUserServices(KvUserServices* services);

// Scope guard: makes `services` current and restores the previous ones on destruction.
class KvUserServicesScope {
 public:
  explicit KvUserServicesScope(KvUserServices& services) : previous_(KvSetUserServices(&services)) {}
  ~KvUserServicesScope() { KvSetUserServices(previous_); }
  KvUserServicesScope(const KvUserServicesScope&) = delete;
  KvUserServicesScope& operator=(const KvUserServicesScope&) = delete;

 private:
  KvUserServices* previous_;
};

// ---- shortcuts for callers ---------------------------------------------------------------------------

// Shows a message box through the current services; returns the answer (IDOK, IDYES, ...).
int KvMessageBox(std::string_view text, std::string_view caption = {}, unsigned flags = MB_OK);

// One entry of a file dialog filter: its description and its patterns ("*.allcfg", "*.a;*.b" split).
struct KvFileFilter {
  std::string description;
  std::vector<std::string> patterns;
  bool operator==(const KvFileFilter&) const = default;
};

// Parses the MFC filter form "配置文档(*.allcfg)|*.allcfg||" (pairs of description and pattern list,
// separated by '|', ended by "||"; patterns separated by ';', blanks around them dropped).
// A missing final "||" is accepted. Returns false (and a message in `error`, if given) for an empty
// filter, an odd number of parts, an empty description or an empty pattern list; `filters` is then
// left empty.
bool KvParseFileFilter(std::string_view filter, std::vector<KvFileFilter>& filters,
                       std::string* error = nullptr);

// True when `fileName` matches one of the patterns ('*' and '?' wildcards, ASCII case folded, as file
// dialogs match on the add-on's platform).
bool KvMatchFilePattern(std::string_view fileName, const std::vector<std::string>& patterns);
