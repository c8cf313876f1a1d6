// The host's answers to prompts, picks and selections (KvUiInteraction of the Qt user services):
// a request opens a prompt on the command line (and a pick or selection mode in the view), then waits
// in a local event loop until the user answers by typing, clicking, drawing a window or pressing Esc.
#pragma once

#include "apps/tavcad/CadScene.h"
#include "platform/ui/KvUiQtUserServices.h"

#include <QObject>
#include <QPointF>
#include <QRectF>

#include <memory>

class QEventLoop;

namespace tavcad {

class CadView;
class CommandLineWidget;

class HostInteraction : public QObject, public KvUiInteraction {
    Q_OBJECT
public:
    enum class Waiting { kNone, kString, kKeyword, kPoint, kPick, kSelect };

    // None of them owned; they must outlive the interaction.
    HostInteraction(CommandLineWidget* line, CadView* view, const CadScene* scene, QObject* parent = nullptr);
    ~HostInteraction() override;

    void Print(std::string_view text) override;
    void ShowCommandPrompt() override;
    KvStringResult GetString(const KvStringRequest& request) override;
    KvStringResult GetKeyword(const KvKeywordRequest& request) override;
    KvPointResult GetPoint(const KvPointRequest& request) override;
    KvPickResult PickEntity(const KvPickRequest& request) override;
    KvSelectionResult Select(const KvSelectionRequest& request) override;

    // What the open prompt waits for (kNone when none is open).
    Waiting WaitingFor() const;
    // The selection gathered so far by an open selection prompt.
    std::vector<EntityHandle> PendingSelection() const;

    // Answers of the user, from the command line and the view (the main window connects them).
    // Text entered at the open prompt; false when no prompt is open (the text is then a command).
    bool AnswerText(const QString& text);
    // A click in the view; false when no prompt takes clicks.
    bool AnswerClick(EntityHandle handle, const QPointF& world, bool remove);
    // A selection window; false when no prompt takes windows.
    bool AnswerWindow(const QRectF& world, bool crossing, bool remove);
    // Esc: ends the open prompt with kCancel; false when none is open.
    bool Cancel();

signals:
    // A prompt has opened and waits (sent before the local event loop starts).
    void promptOpened();

private:
    struct Pending;
    void Wait(Pending& pending, const QString& prompt);
    // The open prompt that still takes answers (null when none, or when it has just been answered).
    Pending* Open() const;
    void Finish();
    bool MatchKeyword(const QString& text, std::string& keyword) const;
    bool PassesTypeFilter(EntityHandle handle) const;
    void AddToSelection(const std::vector<EntityHandle>& handles, bool remove);

    CommandLineWidget* m_line;
    CadView* m_view;
    const CadScene* m_scene;
    Pending* m_pending = nullptr;
};

}  // namespace tavcad
