// User services that answer from queues filled in advance and record everything shown.
//
// Used by the tests and by tavtool. Each kind of question has its own queue; an answer is taken from
// the front when the question arrives. A question with no queued answer is a failure of the script:
// by default it throws KvUnexpectedQuestion; with Policy::kCancelAndRecord it is recorded in errors()
// and answered as cancelled instead.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/host/KvUserServices.h"

class KvUnexpectedQuestion : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class KvScriptedUserServices : public KvUserServices {
 public:
  enum class Policy { kThrow, kCancelAndRecord };

  // One shown message box, alert or dialog request, in the order shown.
  struct Event {
    enum class Kind { kMessageBox, kAlert, kFileDialog, kColorDialog, kString, kKeyword, kPoint,
                      kPick, kSelection, kCommandPrompt };
    Kind kind;
    std::string text;  // message text, alert text, prompt, or file dialog filter
  };

  explicit KvScriptedUserServices(Policy policy = Policy::kThrow) : policy_(policy) {}

  // ---- answers ----
  void QueueMessageBoxAnswer(int answer) { messageBoxAnswers_.push_back(answer); }
  void QueueString(KvStringResult answer) { stringAnswers_.push_back(std::move(answer)); }
  void QueueString(std::string text) { stringAnswers_.push_back({KvPromptStatus::kNormal, std::move(text)}); }
  void QueueKeyword(KvStringResult answer) { keywordAnswers_.push_back(std::move(answer)); }
  void QueuePoint(KvPointResult answer) { pointAnswers_.push_back(std::move(answer)); }
  void QueuePick(KvPickResult answer) { pickAnswers_.push_back(std::move(answer)); }
  void QueuePickHandle(std::uint64_t handle) { pickAnswers_.push_back({KvPromptStatus::kNormal, handle, {}, {}}); }
  void QueueSelection(KvSelectionResult answer) { selectionAnswers_.push_back(std::move(answer)); }
  void QueueFile(std::string path);                  // accepted, one path
  void QueueFiles(std::vector<std::string> paths);   // accepted, several paths
  void QueueFileCancel();
  void QueueColor(int color) { colorAnswers_.push_back({true, color}); }
  void QueueColorCancel() { colorAnswers_.push_back({false, 0}); }

  // Answers not used yet, over all queues.
  size_t UnusedAnswers() const;

  // ---- records ----
  const std::string& output() const { return output_; }                    // all printed text
  const std::vector<std::string>& prints() const { return prints_; }      // each Print call
  int commandPrompts() const { return commandPrompts_; }
  const std::vector<KvMessageBoxRequest>& messageBoxes() const { return messageBoxes_; }
  const std::vector<std::string>& alerts() const { return alerts_; }
  const std::vector<KvFileDialogRequest>& fileDialogs() const { return fileDialogs_; }
  const std::vector<KvColorRequest>& colorDialogs() const { return colorDialogs_; }
  const std::vector<KvStringRequest>& stringPrompts() const { return stringPrompts_; }
  const std::vector<KvKeywordRequest>& keywordPrompts() const { return keywordPrompts_; }
  const std::vector<KvPointRequest>& pointPrompts() const { return pointPrompts_; }
  const std::vector<KvPickRequest>& pickPrompts() const { return pickPrompts_; }
  const std::vector<KvSelectionRequest>& selectionPrompts() const { return selectionPrompts_; }
  const std::vector<Event>& events() const { return events_; }
  // Questions that arrived with no queued answer (Policy::kCancelAndRecord).
  const std::vector<std::string>& errors() const { return errors_; }
  void ClearRecords();

  // ---- KvUserServices ----
  void Print(std::string_view text) override;
  void ShowCommandPrompt() override;
  KvStringResult GetString(const KvStringRequest& request) override;
  KvStringResult GetKeyword(const KvKeywordRequest& request) override;
  KvPointResult GetPoint(const KvPointRequest& request) override;
  KvPickResult PickEntity(const KvPickRequest& request) override;
  KvSelectionResult Select(const KvSelectionRequest& request) override;
  int MessageBox(const KvMessageBoxRequest& request) override;
  void Alert(std::string_view text) override;
  KvFileDialogResult FileDialog(const KvFileDialogRequest& request) override;
  KvColorResult ColorDialog(const KvColorRequest& request) override;

 private:
  // Throws or records; `what` describes the question.
  void Unexpected(const std::string& what);

  Policy policy_;
  std::deque<int> messageBoxAnswers_;
  std::deque<KvStringResult> stringAnswers_;
  std::deque<KvStringResult> keywordAnswers_;
  std::deque<KvPointResult> pointAnswers_;
  std::deque<KvPickResult> pickAnswers_;
  std::deque<KvSelectionResult> selectionAnswers_;
  std::deque<KvFileDialogResult> fileAnswers_;
  std::deque<KvColorResult> colorAnswers_;

  std::string output_;
  std::vector<std::string> prints_;
  int commandPrompts_ = 0;
  std::vector<KvMessageBoxRequest> messageBoxes_;
  std::vector<std::string> alerts_;
  std::vector<KvFileDialogRequest> fileDialogs_;
  std::vector<KvColorRequest> colorDialogs_;
  std::vector<KvStringRequest> stringPrompts_;
  std::vector<KvKeywordRequest> keywordPrompts_;
  std::vector<KvPointRequest> pointPrompts_;
  std::vector<KvPickRequest> pickPrompts_;
  std::vector<KvSelectionRequest> selectionPrompts_;
  std::vector<Event> events_;
  std::vector<std::string> errors_;
};
