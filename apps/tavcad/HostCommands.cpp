// The host's own commands, registered in the command stack like an application's, so that typed names,
// acedCommand(".REGEN") and posted "KvLoadUI\r" all find them.
#include "apps/tavcad/CadMainWindow.h"
#include "apps/tavcad/CadView.h"
#include "platform/host/KvArx.h"
#include "platform/host/KvCommandLine.h"
#include "platform/host/KvUserServices.h"

#include <QString>

#include <cmath>

namespace tavcad {

namespace {

CadMainWindow* Window()
{
    CadMainWindow* w = CadMainWindow::Current();
    if (!w)
        acutPrintf("\n没有打开的图形窗口。");
    return w;
}

std::string AskFile(KvFileDialogKind kind, const std::string& title, const std::string& filter, const std::string& ext)
{
    KvFileDialogRequest request;
    request.kind = kind;
    request.title = title;
    request.filter = filter;
    request.defaultExtension = ext;
    request.flags = OFN_HIDEREADONLY | (kind == KvFileDialogKind::kOpen ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT);
    const KvFileDialogResult answer = KvGetUserServices().FileDialog(request);
    return answer.accepted ? answer.path() : std::string();
}

void CmdRegen()
{
    if (CadMainWindow* w = Window()) {
        acutPrintf("\n正在重生成模型。");
        w->Regen();
    }
}

void CmdLoadUI()
{
    if (CadMainWindow* w = Window())
        w->LoadUI();
}

void CmdAppLoad()
{
    CadMainWindow* w = Window();
    if (!w)
        return;
    const std::string path = AskFile(KvFileDialogKind::kOpen, "加载应用程序", "应用程序(*.so)|*.so||", "so");
    if (!path.empty())
        w->LoadApplication(path);
}

void CmdNew()
{
    if (CadMainWindow* w = Window())
        w->NewDrawing();
}

void CmdOpen()
{
    CadMainWindow* w = Window();
    if (!w || !w->MaybeSave())
        return;
    const std::string path = AskFile(KvFileDialogKind::kOpen, "打开图形", "DXF 图形(*.dxf)|*.dxf||", "dxf");
    if (!path.empty())
        w->OpenDrawing(QString::fromStdString(path));
}

void CmdSave()
{
    if (CadMainWindow* w = Window())
        w->SaveDrawing();
}

void CmdSaveAs()
{
    if (CadMainWindow* w = Window())
        w->SaveDrawingAs();
}

void CmdZoom()
{
    CadMainWindow* w = Window();
    if (!w)
        return;
    KvKeywordRequest request;
    request.prompt = "\n输入选项 [范围(E)/窗口(W)] <范围>: ";
    request.keywords = {"Extents", "Window"};
    request.allowNone = true;
    const KvStringResult answer = KvGetUserServices().GetKeyword(request);
    if (answer.status == KvPromptStatus::kCancel || answer.status == KvPromptStatus::kError)
        return;
    if (answer.status == KvPromptStatus::kKeyword && answer.text == "Window") {
        KvPointRequest first;
        first.prompt = "\n指定第一个角点: ";
        const KvPointResult a = KvGetUserServices().GetPoint(first);
        if (a.status != KvPromptStatus::kNormal)
            return;
        KvPointRequest second;
        second.prompt = "\n指定对角点: ";
        second.basePoint = a.point;
        const KvPointResult b = KvGetUserServices().GetPoint(second);
        if (b.status != KvPromptStatus::kNormal)
            return;
        CadView* view = w->View();
        const double dx = std::abs(b.point.x - a.point.x), dy = std::abs(b.point.y - a.point.y);
        if (dx <= 0 && dy <= 0)
            return;
        const double scale = std::min(dx > 0 ? view->width() / dx : 1e300, dy > 0 ? view->height() / dy : 1e300);
        view->SetView(QPointF((a.point.x + b.point.x) / 2, (a.point.y + b.point.y) / 2), scale);
        return;
    }
    w->View()->ZoomExtents();
}

void CmdPan()
{
    if (CadMainWindow* w = Window()) {
        w->View()->SetPanMode(true);
        acutPrintf("\n按 Esc 键退出平移模式。");
    }
}

}  // namespace

void RegisterHostCommands()
{
    static const KvCmdTableEntry table[] = {
        {"REGEN", CmdRegen, ACRX_CMD_TRANSPARENT},
        {"KvLoadUI", CmdLoadUI, 0},
        {"APPLOAD", CmdAppLoad, 0},
        {"NEW", CmdNew, 0},
        {"OPEN", CmdOpen, 0},
        {"QSAVE", CmdSave, 0},
        {"SAVE", CmdSave, 0},
        {"SAVEAS", CmdSaveAs, 0},
        {"ZOOM", CmdZoom, ACRX_CMD_TRANSPARENT},
        {"PAN", CmdPan, ACRX_CMD_TRANSPARENT},
    };
    AcEdCommandStack* stack = acedRegCmds();
    if (stack->hasGroup(CadMainWindow::kHostGroup))
        return;
    KvDefineCommand(CadMainWindow::kHostGroup, table, static_cast<int>(std::size(table)), 0);
}

}  // namespace tavcad
