#include "apps/tavcad/HostInteraction.h"

#include "apps/tavcad/CadView.h"
#include "apps/tavcad/CommandLineWidget.h"
#include "platform/base/KvStrings.h"

#include <QEventLoop>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace tavcad {

namespace {

QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

// "x,y" or "x,y,z" typed at a point prompt.
bool ParsePoint(const QString& text, KvPoint3& point)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    double v[3] = {0, 0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok)
            return false;
    }
    point = {v[0], v[1], v[2]};
    return true;
}

}  // namespace

struct HostInteraction::Pending {
    Waiting kind = Waiting::kNone;
    QEventLoop loop;
    bool done = false;
    KvPromptStatus status = KvPromptStatus::kCancel;
    std::string text;
    KvPoint3 point;
    EntityHandle handle = 0;
    std::vector<std::string> keywords;
    bool allowNone = false;
    bool allowSpaces = false;
    std::string defaultValue;
    std::vector<std::string> typeFilter;
    bool single = false;
    std::vector<EntityHandle> selection;
};

HostInteraction::HostInteraction(CommandLineWidget* line, CadView* view, const CadScene* scene, QObject* parent)
    : QObject(parent), m_line(line), m_view(view), m_scene(scene)
{
}

HostInteraction::~HostInteraction()
{
    if (m_pending)
        Cancel();
}

void HostInteraction::Print(std::string_view text)
{
    if (m_line)
        m_line->AppendOutput(text);
    else
        std::fwrite(text.data(), 1, text.size(), stdout);
}

void HostInteraction::ShowCommandPrompt()
{
    if (m_line && !m_pending)
        m_line->SetPrompt(CommandLineWidget::IdlePrompt());
}

HostInteraction::Pending* HostInteraction::Open() const
{
    return m_pending && !m_pending->done ? m_pending : nullptr;
}

HostInteraction::Waiting HostInteraction::WaitingFor() const
{
    return Open() ? m_pending->kind : Waiting::kNone;
}

std::vector<EntityHandle> HostInteraction::PendingSelection() const
{
    return Open() ? m_pending->selection : std::vector<EntityHandle>{};
}

void HostInteraction::Wait(Pending& pending, const QString& prompt)
{
    m_pending = &pending;
    m_line->SetPrompt(prompt);
    m_line->SetSpaceEnds(!(pending.kind == Waiting::kString && pending.allowSpaces));
    switch (pending.kind) {
    case Waiting::kPick: m_view->SetMode(CadView::Mode::kPickEntity); break;
    case Waiting::kSelect: m_view->SetMode(CadView::Mode::kSelect); break;
    case Waiting::kPoint: m_view->SetMode(CadView::Mode::kPoint); break;
    default: break;
    }
    emit promptOpened();
    if (!pending.done)
        pending.loop.exec();
    m_pending = nullptr;
    m_line->SetPrompt(CommandLineWidget::IdlePrompt());
    m_line->SetSpaceEnds(true);
    m_view->SetMode(CadView::Mode::kIdle);
}

void HostInteraction::Finish()
{
    if (!m_pending)
        return;
    m_pending->done = true;
    m_pending->loop.quit();
}

KvStringResult HostInteraction::GetString(const KvStringRequest& request)
{
    if (m_pending)
        return {KvPromptStatus::kError, {}};
    Pending p;
    p.kind = Waiting::kString;
    p.allowSpaces = request.allowSpaces;
    p.defaultValue = request.defaultValue;
    Wait(p, ToQt(request.prompt));
    return {p.status, p.text};
}

KvStringResult HostInteraction::GetKeyword(const KvKeywordRequest& request)
{
    if (m_pending)
        return {KvPromptStatus::kError, {}};
    Pending p;
    p.kind = Waiting::kKeyword;
    p.keywords = request.keywords;
    p.allowNone = request.allowNone;
    Wait(p, ToQt(request.prompt));
    return {p.status, p.text};
}

KvPointResult HostInteraction::GetPoint(const KvPointRequest& request)
{
    KvPointResult result;
    if (m_pending) {
        result.status = KvPromptStatus::kError;
        return result;
    }
    Pending p;
    p.kind = Waiting::kPoint;
    p.keywords = request.keywords;
    p.allowNone = request.allowNone;
    if (request.basePoint)
        m_view->SetRubberBand(QPointF(request.basePoint->x, request.basePoint->y));
    Wait(p, ToQt(request.prompt));
    m_view->SetRubberBand(std::nullopt);
    result.status = p.status;
    result.point = p.point;
    if (p.status == KvPromptStatus::kKeyword)
        result.keyword = p.text;
    return result;
}

KvPickResult HostInteraction::PickEntity(const KvPickRequest& request)
{
    KvPickResult result;
    if (m_pending || !m_scene) {
        result.status = KvPromptStatus::kError;
        return result;
    }
    Pending p;
    p.kind = Waiting::kPick;
    p.keywords = request.keywords;
    Wait(p, ToQt(request.prompt.empty() ? std::string("\n选择对象: ") : request.prompt));
    result.status = p.status;
    result.handle = p.handle;
    result.point = p.point;
    if (p.status == KvPromptStatus::kKeyword)
        result.keyword = p.text;
    return result;
}

KvSelectionResult HostInteraction::Select(const KvSelectionRequest& request)
{
    KvSelectionResult result;
    if (m_pending || !m_scene) {
        result.status = KvPromptStatus::kError;
        return result;
    }
    Pending p;
    p.kind = Waiting::kSelect;
    for (const std::string& names : request.typeFilter)
        for (const std::string& name : tav::Split(names, ','))
            p.typeFilter.push_back(tav::ToUpperAscii(tav::Trim(name)));
    p.single = request.singleSelection;
    const std::vector<EntityHandle> before = m_view->Highlighted();
    Wait(p, ToQt(request.prompt.empty() ? std::string("\n选择对象: ") : request.prompt));
    m_view->SetHighlighted(before);
    result.status = p.status;
    if (p.status == KvPromptStatus::kNormal)
        result.handles.assign(p.selection.begin(), p.selection.end());
    return result;
}

bool HostInteraction::MatchKeyword(const QString& text, std::string& keyword) const
{
    const std::string typed = tav::ToUpperAscii(FromQt(text.trimmed()));
    if (typed.empty())
        return false;
    const std::string* prefixMatch = nullptr;
    int prefixCount = 0;
    for (const std::string& k : m_pending->keywords) {
        const std::string upper = tav::ToUpperAscii(k);
        if (upper == typed) {
            keyword = k;
            return true;
        }
        if (upper.compare(0, typed.size(), typed) == 0) {
            prefixMatch = &k;
            ++prefixCount;
        }
    }
    if (prefixCount == 1) {
        keyword = *prefixMatch;
        return true;
    }
    return false;
}

bool HostInteraction::AnswerText(const QString& text)
{
    if (!Open())
        return false;
    Pending& p = *m_pending;
    std::string keyword;
    switch (p.kind) {
    case Waiting::kString:
        if (text.isEmpty()) {
            p.status = p.defaultValue.empty() ? KvPromptStatus::kNone : KvPromptStatus::kNormal;
            p.text = p.defaultValue;
        } else {
            p.status = KvPromptStatus::kNormal;
            p.text = FromQt(text);
        }
        Finish();
        return true;
    case Waiting::kKeyword:
        if (text.isEmpty() && p.allowNone) {
            p.status = KvPromptStatus::kNone;
            Finish();
        } else if (MatchKeyword(text, keyword)) {
            p.status = KvPromptStatus::kKeyword;
            p.text = keyword;
            Finish();
        } else {
            Print("\n无效的选项关键字。");
        }
        return true;
    case Waiting::kPoint:
        if (text.isEmpty() && p.allowNone) {
            p.status = KvPromptStatus::kNone;
            Finish();
        } else if (ParsePoint(text, p.point)) {
            p.status = KvPromptStatus::kNormal;
            Finish();
        } else if (MatchKeyword(text, keyword)) {
            p.status = KvPromptStatus::kKeyword;
            p.text = keyword;
            Finish();
        } else {
            Print("\n需要点或选项关键字。");
        }
        return true;
    case Waiting::kPick:
        if (text.isEmpty()) {
            p.status = KvPromptStatus::kNone;
            Finish();
        } else if (MatchKeyword(text, keyword)) {
            p.status = KvPromptStatus::kKeyword;
            p.text = keyword;
            Finish();
        } else {
            Print("\n无效的选择。");
        }
        return true;
    case Waiting::kSelect:
        if (text.isEmpty()) {
            p.status = p.selection.empty() ? KvPromptStatus::kNone : KvPromptStatus::kNormal;
            Finish();
        } else {
            Print("\n*无效的选择*");
        }
        return true;
    case Waiting::kNone:
        break;
    }
    return false;
}

bool HostInteraction::PassesTypeFilter(EntityHandle handle) const
{
    if (m_pending->typeFilter.empty())
        return true;
    const SceneEntity* e = m_scene ? m_scene->Find(handle) : nullptr;
    if (!e)
        return false;
    return std::find(m_pending->typeFilter.begin(), m_pending->typeFilter.end(), e->type) != m_pending->typeFilter.end();
}

void HostInteraction::AddToSelection(const std::vector<EntityHandle>& handles, bool remove)
{
    Pending& p = *m_pending;
    int changed = 0;
    for (EntityHandle h : handles) {
        auto it = std::find(p.selection.begin(), p.selection.end(), h);
        if (remove) {
            if (it != p.selection.end()) {
                p.selection.erase(it);
                ++changed;
            }
        } else if (it == p.selection.end() && PassesTypeFilter(h)) {
            p.selection.push_back(h);
            ++changed;
        }
    }
    Print((remove ? "\n删除 " : "\n找到 ") + std::to_string(changed) + " 个");
    m_view->SetHighlighted(p.selection);
    if (p.single && !p.selection.empty()) {
        p.status = KvPromptStatus::kNormal;
        Finish();
    }
}

bool HostInteraction::AnswerClick(EntityHandle handle, const QPointF& world, bool remove)
{
    if (!Open())
        return false;
    Pending& p = *m_pending;
    switch (p.kind) {
    case Waiting::kPoint:
        p.point = {world.x(), world.y(), 0};
        p.status = KvPromptStatus::kNormal;
        Finish();
        return true;
    case Waiting::kPick:
        p.point = {world.x(), world.y(), 0};
        p.handle = handle;
        p.status = handle ? KvPromptStatus::kNormal : KvPromptStatus::kNone;
        Finish();
        return true;
    case Waiting::kSelect:
        if (handle)
            AddToSelection({handle}, remove);
        return true;
    default:
        return false;
    }
}

bool HostInteraction::AnswerWindow(const QRectF& world, bool crossing, bool remove)
{
    if (!Open() || m_pending->kind != Waiting::kSelect || !m_scene)
        return false;
    AddToSelection(m_scene->SelectWindow(world, crossing), remove);
    return true;
}

bool HostInteraction::Cancel()
{
    if (!Open())
        return false;
    m_line->NoteCancel();
    m_pending->status = KvPromptStatus::kCancel;
    Finish();
    return true;
}

}  // namespace tavcad
