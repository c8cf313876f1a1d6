#include "apps/tavcad/CadMainWindow.h"

#include "apps/tavcad/CadView.h"
#include "apps/tavcad/CommandLineWidget.h"
#include "apps/tavcad/HostInteraction.h"
#include "platform/base/KvStrings.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtUIConfig.h"
#include "platform/config/KvPaths.h"
#include "platform/host/KvAcDb.h"
#include "platform/host/KvCommandLine.h"

#include <QAction>
#include <algorithm>
#include <functional>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace tavcad {

namespace {

CadMainWindow* s_current = nullptr;

QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

// The command name as the command stack knows it: without "'", "." and "_" prefixes.
std::string LookupName(std::string name)
{
    while (!name.empty() && (name[0] == '\'' || name[0] == '.' || name[0] == '_'))
        name.erase(0, 1);
    return name;
}

// A menu title without its mnemonic ("文件(&F)" -> "文件").
QString PlainTitle(QString title)
{
    const int paren = title.indexOf(QStringLiteral("(&"));
    if (paren >= 0)
        title.truncate(paren);
    title.remove(QLatin1Char('&'));
    return title.trimmed();
}

// A value of the UI configuration's dictionary item (its options may sit at the top of the embedded
// dictionary or under its own name).
template <class T>
bool UiOption(const char* key, T& out)
{
    if (!g_pUiDictionary)
        return false;
    const KvDtDictionary& dict = g_pUiDictionary->GetDictionary();
    if (dict.GetValue(key, out))
        return true;
    return dict.GetValue(g_pUiDictionary->GetName() + "\\" + key, out);
}

}  // namespace

std::string CadMainWindow::DefaultModulePath()
{
    return FromQt(QCoreApplication::applicationDirPath()) + "/libTavDataManager.so";
}

CadMainWindow* CadMainWindow::Current()
{
    return s_current;
}

CadMainWindow::CadMainWindow(QWidget* parent) : QMainWindow(parent), m_services(this)
{
    s_current = this;
    resize(1280, 800);

    m_view = new CadView(this);
    m_view->SetScene(&m_scene);
    setCentralWidget(m_view);

    m_commandLine = new CommandLineWidget(this);
    auto* dock = new QDockWidget(QStringLiteral("命令行"), this);
    dock->setObjectName(QStringLiteral("CommandLineDock"));
    dock->setWidget(m_commandLine);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    resizeDocks({dock}, {150}, Qt::Vertical);

    m_interaction = new HostInteraction(m_commandLine, m_view, &m_scene, this);
    m_services.SetInteraction(m_interaction);
    m_services.SetAlertCaption("tavcad");
    m_previousServices = KvSetUserServices(&m_services);

    connect(m_view, &CadView::entityClicked, this, &CadMainWindow::OnEntityClicked);
    connect(m_view, &CadView::windowSelected, this, &CadMainWindow::OnWindowSelected);
    connect(m_view, &CadView::escapePressed, this, &CadMainWindow::Escape);
    connect(m_view, &CadView::textTyped, m_commandLine, &CommandLineWidget::TypeText);
    connect(m_view, &CadView::enterPressed, m_commandLine, &CommandLineWidget::SubmitInput);
    connect(m_commandLine, &CommandLineWidget::submitted, this, &CadMainWindow::OnSubmitted);
    connect(m_commandLine, &CommandLineWidget::escapePressed, this, &CadMainWindow::Escape);

    RegisterHostCommands();
    BuildHostMenus();
    auto* coordinates = new QLabel(this);
    coordinates->setMinimumWidth(260);
    statusBar()->addPermanentWidget(coordinates);
    connect(m_view, &CadView::cursorMoved, coordinates, [coordinates](QPointF w) {
        coordinates->setText(QStringLiteral("%1, %2").arg(w.x(), 0, 'f', 4).arg(w.y(), 0, 'f', 4));
    });
    statusBar()->showMessage(QStringLiteral("就绪"));
    NewDrawing();
}

CadMainWindow::~CadMainWindow()
{
    m_interaction->Cancel();
    // Applications go first, while the services and the document they may use still exist.
    for (KvLoadedApp* app : m_loader.Apps())
        m_loader.Unload(app, true);
    if (m_document) {
        acDocManager->closeDocument(m_document);
        m_document = nullptr;
    }
    KvSetUserServices(m_previousServices);
    m_services.SetInteraction(nullptr);
    if (s_current == this)
        s_current = nullptr;
}

bool CadMainWindow::Start(const StartupOptions& options)
{
    if (!options.mainDirectory.empty())
        tav::SetMainDirectory(options.mainDirectory);
    if (!options.configDirectory.empty())
        tav::SetUserConfigDirectory(options.configDirectory);
    std::string error;
    if (!tav::SeedUserConfig(&error))
        m_interaction->Print("\n无法准备用户配置目录: " + error);
    if (!LoadConfig())
        m_interaction->Print("\n" + tav::LastConfigFileError());
    if (!LoadUIConfig())
        m_interaction->Print("\n" + tav::LastConfigFileError());
    if (!options.modulePath.empty())
        LoadApplication(options.modulePath);
    bool opened = true;
    if (!options.drawing.empty())
        opened = OpenDrawing(ToQt(options.drawing));
    LoadUI();
    m_commandLine->Input()->setFocus();
    return opened;
}

// ---- drawings ---------------------------------------------------------------------------------------

bool CadMainWindow::NewDrawing()
{
    if (!MaybeSave())
        return false;
    // A new drawing read back from its own bytes starts unmodified.
    tav::cad::DxfDocument doc;
    doc.LoadFromBytes(tav::cad::DxfDocument::CreateNew().SaveToString());
    AcApDocument* created = acDocManager->adoptDatabase(std::make_unique<AcDbDatabase>(std::move(doc)));
    m_untitledName = QStringLiteral("Drawing%1.dxf").arg(++m_untitledCount);
    ReplaceDocument(created);
    return true;
}

bool CadMainWindow::OpenDrawing(const QString& path)
{
    if (!MaybeSave())
        return false;
    tav::cad::DxfResult result;
    AcApDocument* opened = acDocManager->openDocument(FromQt(path), &result);
    if (!opened) {
        if (m_document)
            acDocManager->setCurDocument(m_document);
        KvMessageBox("无法打开图形 " + FromQt(path) + ":\n" + result.Message(), "tavcad", MB_OK | MB_ICONERROR);
        return false;
    }
    ReplaceDocument(opened);
    m_interaction->Print("\n已打开 " + FromQt(path) + "，" + std::to_string(m_scene.Entities().size()) + " 个对象。");
    return true;
}

bool CadMainWindow::SaveDrawing()
{
    if (!m_document)
        return false;
    if (m_document->fileName().empty())
        return SaveDrawingAs();
    return SaveDrawingAs(ToQt(m_document->fileName()));
}

bool CadMainWindow::SaveDrawingAs(const QString& pathIn)
{
    if (!m_document)
        return false;
    std::string path = FromQt(pathIn);
    if (path.empty()) {
        KvFileDialogRequest request;
        request.kind = KvFileDialogKind::kSave;
        request.title = "图形另存为";
        request.defaultExtension = "dxf";
        request.fileName = FromQt(DrawingName());
        request.filter = "DXF 图形(*.dxf)|*.dxf||";
        request.flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
        const KvFileDialogResult answer = KvGetUserServices().FileDialog(request);
        if (!answer.accepted || answer.path().empty())
            return false;
        path = answer.path();
    }
    AcDbDatabase* db = m_document->database();
    tav::cad::DxfResult result;
    if (db->saveAs(path, &result) != Acad::eOk) {
        KvMessageBox("无法保存图形 " + path + ":\n" + result.Message(), "tavcad", MB_OK | MB_ICONERROR);
        return false;
    }
    // The drawing is now what the file holds: read it back so that it counts as unmodified.
    if (db->readDxfFile(path, &result) != Acad::eOk)
        m_interaction->Print("\n保存后重新读取图形失败: " + result.Message());
    m_interaction->Print("\n已保存 " + path);
    UpdateTitle();
    return true;
}

bool CadMainWindow::MaybeSave()
{
    if (!IsModified())
        return true;
    KvMessageBoxRequest request;
    request.text = "是否将改动保存到 " + FromQt(DrawingName()) + "?";
    request.caption = "tavcad";
    request.flags = MB_YESNOCANCEL | MB_ICONWARNING;
    switch (KvGetUserServices().MessageBox(request)) {
    case IDYES: return SaveDrawing();
    case IDNO: return true;
    default: return false;
    }
}

bool CadMainWindow::IsModified() const
{
    return m_document && m_document->database()->document().IsModified();
}

QString CadMainWindow::DrawingPath() const
{
    return m_document ? ToQt(m_document->fileName()) : QString();
}

QString CadMainWindow::DrawingName() const
{
    const QString path = DrawingPath();
    return path.isEmpty() ? m_untitledName : QFileInfo(path).fileName();
}

void CadMainWindow::ReplaceDocument(AcApDocument* doc)
{
    AcApDocument* old = m_document;
    m_document = doc;
    acDocManager->setCurDocument(doc);
    if (old && old != doc)
        acDocManager->closeDocument(old);
    m_view->SetHighlighted({});
    Regen();
    m_view->SetScene(&m_scene);  // zooms to the new drawing's extents
    UpdateTitle();
}

void CadMainWindow::UpdateTitle()
{
    setWindowTitle(DrawingName() + (IsModified() ? QStringLiteral("*") : QString()) + QStringLiteral(" - tavcad"));
}

// ---- commands ---------------------------------------------------------------------------------------

int CadMainWindow::RunTyped(const QString& text)
{
    QString name = text.trimmed();
    if (name.isEmpty()) {
        if (m_lastCommand.isEmpty())
            return RTNONE;
        name = m_lastCommand;
    }
    m_lastCommand = name;
    const std::string utf8 = FromQt(name);
    const KvRegisteredCommand* command = acedRegCmds()->lookupCmd(LookupName(utf8));
    const bool hostCommand = command && tav::EqualsNoCase(command->group, kHostGroup);
    const int result = KvCommandLine::Current().RunCommand(utf8);
    if (m_document && result == RTNORM && !hostCommand) {
        // A command of an application may have changed the drawing; its selection is used up.
        SetSelection({});
        Regen();
    }
    m_commandLine->SetPrompt(CommandLineWidget::IdlePrompt());
    UpdateTitle();
    return result;
}

void CadMainWindow::Regen()
{
    if (!m_document) {
        m_scene.Clear();
    } else {
        m_scene.Build(m_document->database()->document());
        // Entities that are gone leave the selection too.
        std::vector<EntityHandle> kept;
        for (EntityHandle h : Selection())
            if (m_scene.Find(h))
                kept.push_back(h);
        SetSelection(kept);
    }
    m_view->SceneChanged();
}

KvLoadedApp* CadMainWindow::LoadApplication(const std::string& path)
{
    std::string error;
    KvLoadedApp* app = m_loader.Load(path, &error);
    if (!app) {
        m_interaction->Print("\n无法加载应用程序 " + path + ": " + error);
        return nullptr;
    }
    m_interaction->Print("\n已加载 " + path);
    return app;
}

void CadMainWindow::Escape()
{
    if (m_interaction->Cancel())
        return;
    if (m_view->PanMode())
        m_view->SetPanMode(false);
    m_commandLine->NoteCancel();
    SetSelection({});
}

void CadMainWindow::SetSelection(const std::vector<EntityHandle>& handles)
{
    m_view->SetHighlighted(handles);
    if (!m_document)
        return;
    AcDbObjectIdArray ids;
    AcDbDatabase* db = m_document->database();
    for (EntityHandle h : handles)
        ids.push_back(AcDbObjectId(db, h));
    m_document->setPickfirst(std::move(ids));
}

std::vector<EntityHandle> CadMainWindow::Selection() const
{
    return m_view->Highlighted();
}

void CadMainWindow::OnEntityClicked(EntityHandle handle, QPointF world, Qt::KeyboardModifiers modifiers)
{
    const bool remove = modifiers & Qt::ShiftModifier;
    if (m_interaction->AnswerClick(handle, world, remove) || !handle)
        return;
    std::vector<EntityHandle> selection = Selection();
    auto it = std::find(selection.begin(), selection.end(), handle);
    if (remove && it != selection.end())
        selection.erase(it);
    else if (!remove && it == selection.end())
        selection.push_back(handle);
    SetSelection(selection);
}

void CadMainWindow::OnWindowSelected(QRectF world, bool crossing, Qt::KeyboardModifiers modifiers)
{
    const bool remove = modifiers & Qt::ShiftModifier;
    if (m_interaction->AnswerWindow(world, crossing, remove))
        return;
    std::vector<EntityHandle> selection = Selection();
    for (EntityHandle h : m_scene.SelectWindow(world, crossing)) {
        auto it = std::find(selection.begin(), selection.end(), h);
        if (remove && it != selection.end())
            selection.erase(it);
        else if (!remove && it == selection.end())
            selection.push_back(h);
    }
    SetSelection(selection);
}

void CadMainWindow::OnSubmitted(const QString& text)
{
    if (m_interaction->AnswerText(text))
        return;
    RunTyped(text);
}

void CadMainWindow::RunFromUi(const QString& command)
{
    if (m_interaction->WaitingFor() != HostInteraction::Waiting::kNone || KvCommandLine::Current().IsCommandActive()) {
        // As a menu macro "^C^C": end what runs, then start the command.
        m_interaction->Cancel();
        QTimer::singleShot(0, this, [this, command] {
            if (!KvCommandLine::Current().IsCommandActive())
                RunFromUi(command);
        });
        return;
    }
    m_commandLine->AppendOutput(QStringLiteral("\n") + CommandLineWidget::IdlePrompt() + command);
    RunTyped(command);
}

// ---- menus ------------------------------------------------------------------------------------------

void CadMainWindow::BuildHostMenus()
{
    auto command = [this](QMenu* menu, const QString& text, const QString& name, const QKeySequence& keys = {}) {
        QAction* a = menu->addAction(text);
        if (!keys.isEmpty())
            a->setShortcut(keys);
        connect(a, &QAction::triggered, this, [this, name] { RunFromUi(name); });
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    command(file, QStringLiteral("新建(&N)"), QStringLiteral("NEW"), QKeySequence::New);
    command(file, QStringLiteral("打开(&O)..."), QStringLiteral("OPEN"), QKeySequence::Open);
    command(file, QStringLiteral("保存(&S)"), QStringLiteral("QSAVE"), QKeySequence::Save);
    command(file, QStringLiteral("另存为(&A)..."), QStringLiteral("SAVEAS"), QKeySequence::SaveAs);
    file->addSeparator();
    command(file, QStringLiteral("加载应用程序(&L)..."), QStringLiteral("APPLOAD"));
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("退出(&X)"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    command(view, QStringLiteral("重生成(&G)"), QStringLiteral("REGEN"));
    QAction* extents = view->addAction(QStringLiteral("范围缩放(&E)"));
    connect(extents, &QAction::triggered, m_view, &CadView::ZoomExtents);
    command(view, QStringLiteral("平移(&P)"), QStringLiteral("PAN"));

    QMenu* tools = menuBar()->addMenu(QStringLiteral("工具(&T)"));
    command(tools, QStringLiteral("重新加载界面(&U)"), QStringLiteral("KvLoadUI"));
    m_hostMenus = {file, view, tools};

    m_hostToolBar = addToolBar(QStringLiteral("标准"));
    m_hostToolBar->setObjectName(QStringLiteral("HostToolBar"));
    for (QAction* a : file->actions().mid(0, 3))
        m_hostToolBar->addAction(a);
    m_hostToolBar->addSeparator();
    for (QAction* a : view->actions())
        m_hostToolBar->addAction(a);
}

QString CadMainWindow::IconPath(const std::string& icon) const
{
    if (icon.empty())
        return {};
    std::string relative = icon;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const QString path = ToQt(GetMainDirectory() + relative);
    return QFileInfo::exists(path) ? path : QString();
}

namespace {

struct UiBuildContext {
    CadMainWindow* window;
    std::function<void(const QString&)> run;
    bool tooltips = true;
};

QAction* CommandAction(const UiBuildContext& ctx, QObject* parent, const std::string& commandName,
                       const std::string& caption, const std::function<QString(const std::string&)>& iconPath)
{
    const KvDtUICommandDef* def = g_dbCfgUI.FindCommandDef(commandName);
    std::string text = caption;
    if (text.empty() && def)
        text = def->GetCaption();
    if (text.empty())
        text = commandName;
    auto* action = new QAction(ToQt(text), parent);
    if (def) {
        if (ctx.tooltips && !def->GetTooltip().empty())
            action->setToolTip(ToQt(def->GetTooltip()));
        action->setStatusTip(ToQt(def->GetDescription()));
        const QString icon = iconPath(def->GetIcon());
        if (!icon.isEmpty())
            action->setIcon(QIcon(icon));
    }
    const QString command = ToQt(commandName);
    auto run = ctx.run;
    QObject::connect(action, &QAction::triggered, parent, [run, command] { run(command); });
    return action;
}

void FillMenu(const UiBuildContext& ctx, QMenu* menu, const KvDtUIItem& def,
              const std::function<QString(const std::string&)>& iconPath, int depth)
{
    for (int i = 0; i < def.GetChildCount(); ++i) {
        const KvDtUIItem* child = def.GetChild(i);
        if (child->IsKind("Reference")) {
            const KvDtUIItem* target = g_dbCfgUI.FindNamedItem(static_cast<const KvDtUIReference*>(child)->GetTarget());
            if (target && target != &def && depth < 8)
                child = target;
        }
        if (child->IsKind("Separator")) {
            menu->addSeparator();
        } else if (child->IsKind("MenuItem")) {
            const auto* item = static_cast<const KvDtUIMenuItem*>(child);
            menu->addAction(CommandAction(ctx, menu, item->GetCommand(), item->GetCaption(), iconPath));
        } else if (child->IsKind("MenuDef") && depth < 8) {
            QMenu* sub = menu->addMenu(ToQt(child->GetCaption()));
            FillMenu(ctx, sub, *child, iconPath, depth + 1);
        }
    }
}

void Walk(const KvDtUIItem& item, const std::function<void(const KvDtUIItem&)>& visit)
{
    visit(item);
    if (item.IsKind("MenuDef"))
        return;  // a menu's children belong to the menu
    for (int i = 0; i < item.GetChildCount(); ++i)
        Walk(*item.GetChild(i), visit);
}

}  // namespace

void CadMainWindow::LoadUI()
{
    for (QMenu* menu : m_configMenus) {
        menuBar()->removeAction(menu->menuAction());
        delete menu;
    }
    m_configMenus.clear();
    for (QToolBar* bar : m_configToolBars) {
        removeToolBar(bar);
        delete bar;
    }
    m_configToolBars.clear();
    for (QAction* a : m_shortcutActions) {
        removeAction(a);
        delete a;
    }
    m_shortcutActions.clear();

    bool showMenu = true, showToolbar = true, tooltips = true;
    int iconSize = 24;
    std::string area, menuAfter;
    UiOption("SHOW_MENU", showMenu);
    UiOption("SHOW_TOOLBAR", showToolbar);
    UiOption("SHOW_TOOLTIPS", tooltips);
    UiOption("TOOLBAR_ICON_SIZE", iconSize);
    UiOption("TOOLBAR_AREA", area);
    UiOption("MENU_AFTER", menuAfter);
    Qt::ToolBarArea toolBarArea = Qt::TopToolBarArea;
    if (area == "左侧")
        toolBarArea = Qt::LeftToolBarArea;
    else if (area == "右侧")
        toolBarArea = Qt::RightToolBarArea;
    else if (area == "底部")
        toolBarArea = Qt::BottomToolBarArea;

    UiBuildContext ctx{this, [this](const QString& c) { RunFromUi(c); }, tooltips};
    const auto iconPath = [this](const std::string& icon) { return IconPath(icon); };

    // Where configured menus go: after the host menu named by MENU_AFTER, else at the end.
    QAction* before = nullptr;
    if (!menuAfter.empty()) {
        const QList<QAction*> bar = menuBar()->actions();
        for (int i = 0; i < bar.size(); ++i)
            if (PlainTitle(bar[i]->text()) == ToQt(menuAfter) && i + 1 < bar.size())
                before = bar[i + 1];
    }

    Walk(g_dbCfgUI.GetRoot(), [&](const KvDtUIItem& item) {
        if (item.IsKind("MenuDef")) {
            auto* menu = new QMenu(ToQt(item.GetCaption().empty() ? item.GetName() : item.GetCaption()), menuBar());
            FillMenu(ctx, menu, item, iconPath, 0);
            if (before)
                menuBar()->insertMenu(before, menu);
            else
                menuBar()->addMenu(menu);
            menu->menuAction()->setVisible(showMenu);
            m_configMenus.push_back(menu);
        } else if (item.IsKind("Directory")) {
            bool hasControls = false;
            for (int i = 0; i < item.GetChildCount(); ++i)
                hasControls = hasControls || item.GetChild(i)->IsKind("Control");
            if (!hasControls)
                return;
            auto* bar = new QToolBar(ToQt(item.GetCaption().empty() ? item.GetName() : item.GetCaption()), this);
            bar->setObjectName(ToQt(item.GetName()));
            bar->setIconSize(QSize(iconSize, iconSize));
            bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            for (int i = 0; i < item.GetChildCount(); ++i) {
                const KvDtUIItem* child = item.GetChild(i);
                if (child->IsKind("Separator")) {
                    bar->addSeparator();
                } else if (child->IsKind("Control")) {
                    const auto* control = static_cast<const KvDtUIControl*>(child);
                    QAction* a = CommandAction(ctx, bar, control->GetCommand(), control->GetCaption(), iconPath);
                    a->setCheckable(control->GetStyle() == "Check");
                    bar->addAction(a);
                }
            }
            addToolBar(toolBarArea, bar);
            bar->setVisible(showToolbar);
            m_configToolBars.push_back(bar);
        } else if (item.IsKind("ShortCut")) {
            const auto* shortcut = static_cast<const KvDtUIShortCut*>(&item);
            const QKeySequence keys(ToQt(shortcut->GetKeys()));
            if (keys.isEmpty())
                return;
            QAction* a = CommandAction(ctx, this, shortcut->GetCommand(), shortcut->GetCaption(), iconPath);
            a->setShortcut(keys);
            a->setShortcutContext(Qt::ApplicationShortcut);
            addAction(a);
            m_shortcutActions.push_back(a);
        }
    });
}

// ---- window -----------------------------------------------------------------------------------------

void CadMainWindow::closeEvent(QCloseEvent* event)
{
    if (KvCommandLine::Current().IsCommandActive()) {
        m_interaction->Print("\n命令正在执行，请先结束命令。");
        m_interaction->Cancel();
        event->ignore();
        return;
    }
    if (!MaybeSave()) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace tavcad
