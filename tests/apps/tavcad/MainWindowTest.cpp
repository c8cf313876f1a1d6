// The main window as a user works in it: drawings opened and saved, commands typed on the command line,
// prompts answered by typing, clicking and windows, the implied selection, REGEN, KvLoadUI, the module
// loaded at start, and a screenshot of the sample drawing.
#include "apps/tavcad/CadMainWindow.h"
#include "apps/tavcad/CadView.h"
#include "apps/tavcad/CommandLineWidget.h"
#include "apps/tavcad/HostInteraction.h"
#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtUIConfig.h"
#include "platform/config/KvPaths.h"
#include "platform/host/KvAcDb.h"
#include "platform/host/KvCommandLine.h"
#include "platform/host/KvScriptedUserServices.h"
#include "platform/host/KvSelection.h"
#include "tests/support/TempDir.h"

#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace tavcad;

namespace {

const std::string kSample = std::string(TAV_MAIN_DIR) + "/Samples/给排水示例.dxf";
const std::string kModule = std::string(TAV_BINARY_DIR) + "/bin/libTavDataManager.so";
constexpr const char* kTestGroup = "TAVCAD_TEST";

// What the test commands saw.
struct Seen {
    int count = 0;
    KvStringResult answer;
    int result = 0;
    std::uint64_t picked = 0;
    std::vector<std::uint64_t> selected;
    int generationInside = -1;
    int menusInside = -1;
    std::vector<std::uint64_t> pickfirstInside;
};
Seen g_seen;

std::vector<std::uint64_t> HandlesOf(ads_name ss)
{
    std::vector<std::uint64_t> out;
    for (const AcDbObjectId& id : tav::host::SelectionIds(ss))
        out.push_back(id.handle().value());
    return out;
}

void CmdCount() { ++g_seen.count; }

void CmdAsk()
{
    KvStringRequest request;
    request.prompt = "\n输入名称: ";
    g_seen.answer = KvGetUserServices().GetString(request);
}

void CmdPick()
{
    ads_name entity;
    ads_point point;
    g_seen.result = acedEntSel("\n选择对象: ", entity, point);
    AcDbObjectId id;
    if (g_seen.result == RTNORM && acdbGetObjectId(id, entity) == Acad::eOk)
        g_seen.picked = id.handle().value();
}

void CmdSelect()
{
    ads_name ss;
    g_seen.result = acedSSGet(nullptr, nullptr, nullptr, nullptr, ss);
    if (g_seen.result == RTNORM) {
        g_seen.selected = HandlesOf(ss);
        acedSSFree(ss);
    }
}

void CmdImplied()
{
    for (const AcDbObjectId& id : acDocManager->curDocument()->pickfirst())
        g_seen.pickfirstInside.push_back(id.handle().value());
    ads_name ss;
    g_seen.result = acedSSGet("I", nullptr, nullptr, nullptr, ss);
    if (g_seen.result == RTNORM) {
        g_seen.selected = HandlesOf(ss);
        acedSSFree(ss);
    }
}

void CmdRegenInside()
{
    acedCommand(RTSTR, ".REGEN", RTNONE);
    g_seen.generationInside = CadMainWindow::Current()->Scene().Generation();
}

void CmdPostLoadUI()
{
    acedPostCommand("KvLoadUI\r");
    g_seen.menusInside = static_cast<int>(CadMainWindow::Current()->ConfigMenus().size());
}

void CmdEdit()
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    tav::cad::DxfObject o = db->document().AddEntity("LINE");
    tav::cad::DxfLine(o).SetEnd({5000, 5000, 0});
    g_seen.picked = o.GetHandle();
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A drawing with two lines: (0,0)-(1000,0) and (0,500)-(1000,500).
std::string WriteTwoLines(const tav::test::TempDir& dir, std::uint64_t& lower, std::uint64_t& upper)
{
    tav::cad::DxfDocument doc = tav::cad::DxfDocument::CreateNew();
    auto add = [&](double y) {
        tav::cad::DxfObject o = doc.AddEntity("LINE");
        tav::cad::DxfLine(o).SetStart({0, y, 0});
        tav::cad::DxfLine(o).SetEnd({1000, y, 0});
        return o.GetHandle();
    };
    lower = add(0);
    upper = add(500);
    const std::string path = dir.file("two-lines.dxf");
    EXPECT_TRUE(doc.Save(path));
    return path;
}

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static const KvCmdTableEntry table[] = {
            {"TESTCOUNT", CmdCount, 0},      {"TESTASK", CmdAsk, 0},         {"TESTPICK", CmdPick, 0},
            {"TESTSEL", CmdSelect, 0},       {"TESTIMPLIED", CmdImplied, ACRX_CMD_USEPICKSET},
            {"TESTREGEN", CmdRegenInside, 0}, {"TESTPOSTUI", CmdPostLoadUI, 0}, {"TESTEDIT", CmdEdit, 0},
        };
        ASSERT_TRUE(KvDefineCommand(kTestGroup, table, static_cast<int>(std::size(table)), 0));
    }
    static void TearDownTestSuite() { acedRegCmds()->removeGroup(kTestGroup); }

    void SetUp() override
    {
        g_seen = Seen();
        window = std::make_unique<CadMainWindow>();
        window->resize(1200, 800);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override
    {
        QObject::disconnect(answerConnection);
        window.reset();
    }

    QLineEdit* Input() const { return window->CommandLine()->Input(); }
    void Type(const QString& text)
    {
        QTest::keyClicks(Input(), text);
        QTest::keyClick(Input(), Qt::Key_Return);
    }
    // Runs `answer` once the next prompt opens (from the event loop that waits for the answer).
    void WhenPrompted(std::function<void()> answer)
    {
        QObject::disconnect(answerConnection);
        answerConnection = QObject::connect(window->Interaction(), &HostInteraction::promptOpened, window.get(),
                                            [this, answer] {
                                                QObject::disconnect(answerConnection);
                                                QTimer::singleShot(0, window.get(), answer);
                                            });
    }
    // Runs one action at each prompt that opens, in order.
    void OnPrompts(QList<std::function<void()>> actions)
    {
        QObject::disconnect(answerConnection);
        auto queue = std::make_shared<QList<std::function<void()>>>(std::move(actions));
        answerConnection = QObject::connect(window->Interaction(), &HostInteraction::promptOpened, window.get(),
                                            [this, queue] {
                                                if (!queue->isEmpty())
                                                    QTimer::singleShot(0, window.get(), queue->takeFirst());
                                            });
    }
    // Types the entries of one list at each prompt that opens, in order.
    void AnswerPrompts(const QList<QStringList>& answers)
    {
        QList<std::function<void()>> actions;
        for (const QStringList& entries : answers)
            actions.push_back([this, entries] {
                for (const QString& e : entries)
                    Type(e);
            });
        OnPrompts(std::move(actions));
    }
    QPoint Screen(double x, double y) const { return window->View()->WorldToScreen(QPointF(x, y)).toPoint(); }
    QString History() const { return window->CommandLine()->HistoryText(); }

    std::unique_ptr<CadMainWindow> window;
    QMetaObject::Connection answerConnection;
    tav::test::TempDir dir;
};

}  // namespace

// ---- drawings -----------------------------------------------------------------------------------------

TEST_F(MainWindowTest, OpensAndSavesTheSampleDrawingByteForByte)
{
    ASSERT_TRUE(std::filesystem::exists(kSample));
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(kSample)));
    EXPECT_EQ(window->DrawingName(), QStringLiteral("给排水示例.dxf"));
    EXPECT_FALSE(window->IsModified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("给排水示例.dxf - tavcad"));
    EXPECT_GT(window->Scene().Entities().size(), 50u);

    const std::string out = dir.file("copy.dxf");
    ASSERT_TRUE(window->SaveDrawingAs(QString::fromStdString(out)));
    EXPECT_EQ(ReadAll(out), ReadAll(kSample));
    EXPECT_EQ(window->DrawingPath(), QString::fromStdString(out));
    // Saving again to its own file keeps it identical.
    ASSERT_TRUE(window->SaveDrawing());
    EXPECT_EQ(ReadAll(out), ReadAll(kSample));
}

TEST_F(MainWindowTest, UnreadableDrawingIsReportedAndTheCurrentOneStays)
{
    std::uint64_t lower = 0, upper = 0;
    const std::string good = WriteTwoLines(dir, lower, upper);
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(good)));
    const std::string bad = dir.file("bad.dxf");
    std::ofstream(bad) << "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nnot a number\n";
    KvScriptedUserServices scripted;
    KvUserServicesScope scope(scripted);
    scripted.QueueMessageBoxAnswer(IDOK);
    EXPECT_FALSE(window->OpenDrawing(QString::fromStdString(bad)));
    ASSERT_EQ(scripted.events().size(), 1u);
    EXPECT_NE(scripted.events()[0].text.find("bad.dxf"), std::string::npos);
    EXPECT_EQ(window->DrawingPath(), QString::fromStdString(good));
    EXPECT_EQ(acDocManager->curDocument(), window->Document());
    EXPECT_NE(window->Scene().Find(upper), nullptr);
}

TEST_F(MainWindowTest, ModifiedDrawingShowsStarAndAsksBeforeItIsReplaced)
{
    std::uint64_t lower = 0, upper = 0;
    const std::string path = WriteTwoLines(dir, lower, upper);
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(path)));
    window->RunTyped(QStringLiteral("TESTEDIT"));
    EXPECT_TRUE(window->IsModified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("two-lines.dxf* - tavcad"));
    EXPECT_NE(window->Scene().Find(g_seen.picked), nullptr);  // the view shows the new line

    KvScriptedUserServices scripted;
    KvUserServicesScope scope(scripted);
    scripted.QueueMessageBoxAnswer(IDCANCEL);
    EXPECT_FALSE(window->NewDrawing());
    EXPECT_EQ(window->DrawingPath(), QString::fromStdString(path));
    scripted.QueueMessageBoxAnswer(IDCANCEL);
    EXPECT_FALSE(window->close());  // closing is refused the same way
    EXPECT_TRUE(window->IsModified());

    // Save: the file gets the change and the drawing counts as unmodified again.
    scripted.QueueMessageBoxAnswer(IDYES);
    EXPECT_TRUE(window->NewDrawing());
    EXPECT_FALSE(window->IsModified());
    EXPECT_NE(ReadAll(path).find("5000"), std::string::npos);
    ASSERT_GE(scripted.events().size(), 1u);
    EXPECT_NE(scripted.events()[0].text.find("two-lines.dxf"), std::string::npos);

    // Discard: nothing is written.
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(path)));
    const std::string before = ReadAll(path);
    window->RunTyped(QStringLiteral("TESTEDIT"));
    scripted.QueueMessageBoxAnswer(IDNO);
    EXPECT_TRUE(window->NewDrawing());
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_TRUE(window->DrawingPath().isEmpty());
}

// ---- the command line ---------------------------------------------------------------------------------

TEST_F(MainWindowTest, TypedCommandRunsAndEnterOrSpaceRepeatsIt)
{
    Type(QStringLiteral("testcount"));
    EXPECT_EQ(g_seen.count, 1);
    EXPECT_TRUE(History().contains(QStringLiteral("命令: testcount")));
    QTest::keyClick(Input(), Qt::Key_Return);
    EXPECT_EQ(g_seen.count, 2);
    QTest::keyClick(Input(), Qt::Key_Space);
    EXPECT_EQ(g_seen.count, 3);
    EXPECT_EQ(window->LastCommand(), QStringLiteral("testcount"));
}

TEST_F(MainWindowTest, UnknownCommandIsReported)
{
    Type(QStringLiteral("NOSUCHCOMMAND"));
    EXPECT_TRUE(History().contains(QStringLiteral("未知命令“NOSUCHCOMMAND”。"))) << History().toStdString();
}

TEST_F(MainWindowTest, StringPromptIsAnsweredFromTheCommandLine)
{
    WhenPrompted([this] {
        EXPECT_EQ(window->CommandLine()->Prompt(), QStringLiteral("输入名称: "));
        Type(QStringLiteral("PUMP-1"));
    });
    Type(QStringLiteral("TESTASK"));
    EXPECT_EQ(g_seen.answer.status, KvPromptStatus::kNormal);
    EXPECT_EQ(g_seen.answer.text, "PUMP-1");
    EXPECT_EQ(window->CommandLine()->Prompt(), CommandLineWidget::IdlePrompt());
    EXPECT_TRUE(History().contains(QStringLiteral("输入名称: PUMP-1")));
}

TEST_F(MainWindowTest, EscapeCancelsThePrompt)
{
    WhenPrompted([this] {
        QTest::keyClicks(Input(), QStringLiteral("half"));
        QTest::keyClick(Input(), Qt::Key_Escape);
    });
    Type(QStringLiteral("TESTASK"));
    EXPECT_EQ(g_seen.answer.status, KvPromptStatus::kCancel);
    EXPECT_TRUE(History().contains(QStringLiteral("*取消*")));
    EXPECT_EQ(window->Interaction()->WaitingFor(), HostInteraction::Waiting::kNone);
    // The command line takes commands again.
    Type(QStringLiteral("TESTCOUNT"));
    EXPECT_EQ(g_seen.count, 1);
}

TEST_F(MainWindowTest, KeywordAndPointPromptsOfZoomWindowAreAnsweredByTyping)
{
    // A keyword that is not offered is refused and asked again; "w" stands for "Window".
    AnswerPrompts({{QStringLiteral("Q"), QStringLiteral("w")}, {QStringLiteral("0,0")}, {QStringLiteral("100,50")}});
    Type(QStringLiteral("ZOOM"));
    EXPECT_TRUE(History().contains(QStringLiteral("无效的选项关键字。")));
    EXPECT_TRUE(History().contains(QStringLiteral("指定对角点: 100,50")));
    CadView* v = window->View();
    EXPECT_NEAR(v->Center().x(), 50.0, 1e-9);
    EXPECT_NEAR(v->Center().y(), 25.0, 1e-9);
    EXPECT_NEAR(v->Scale(), std::min(v->width() / 100.0, v->height() / 50.0), 1e-9);
    EXPECT_EQ(window->Interaction()->WaitingFor(), HostInteraction::Waiting::kNone);
}

TEST_F(MainWindowTest, PointPromptsAreAnsweredByClicksInTheView)
{
    std::uint64_t lower = 0, upper = 0;
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(WriteTwoLines(dir, lower, upper))));
    // Corners clicked on the ends of the two lines (a point prompt takes the point, not the entity).
    const QPoint first = Screen(0, 0), second = Screen(1000, 500);
    const QPointF a = window->View()->ScreenToWorld(QPointF(first)), b = window->View()->ScreenToWorld(QPointF(second));
    OnPrompts({[this] { Type(QStringLiteral("W")); },
               [this, first] { QTest::mouseClick(window->View(), Qt::LeftButton, {}, first); },
               [this, a, second] {
                   // The second corner is asked for with a line from the first.
                   ASSERT_TRUE(window->View()->RubberBand().has_value());
                   // The click lands on a whole pixel: the base point is the first corner within one pixel.
                   const double pixel = 1.0 / window->View()->Scale();
                   EXPECT_NEAR(window->View()->RubberBand()->x(), a.x(), pixel);
                   EXPECT_NEAR(window->View()->RubberBand()->y(), a.y(), pixel);
                   QTest::mouseClick(window->View(), Qt::LeftButton, {}, second);
               }});
    Type(QStringLiteral("ZOOM"));
    EXPECT_EQ(window->Interaction()->WaitingFor(), HostInteraction::Waiting::kNone);
    EXPECT_NEAR(window->View()->Center().x(), (a.x() + b.x()) / 2, 1e-6);
    EXPECT_NEAR(window->View()->Center().y(), (a.y() + b.y()) / 2, 1e-6);
    EXPECT_TRUE(window->Selection().empty());  // the clicks selected nothing
    EXPECT_FALSE(window->View()->RubberBand().has_value());
}

TEST_F(MainWindowTest, AppLoadLoadsTheApplicationChosenInTheFileDialog)
{
    KvScriptedUserServices scripted(KvScriptedUserServices::Policy::kCancelAndRecord);
    KvUserServicesScope scope(scripted);
    scripted.QueueFile(kModule);
    Type(QStringLiteral("APPLOAD"));
    EXPECT_TRUE(acedRegCmds()->hasGroup("TavDataManager"));
    ASSERT_EQ(window->Loader().Apps().size(), 1u);
    EXPECT_EQ(window->Loader().Apps().front()->path(), kModule);
    EXPECT_EQ(scripted.UnusedAnswers(), 0u);
}

TEST_F(MainWindowTest, OutputOfAcutPrintfIsShown)
{
    acutPrintf("\n管道系统 %d 个", 3);
    EXPECT_TRUE(History().endsWith(QStringLiteral("管道系统 3 个")));
}

// ---- picks and selections -----------------------------------------------------------------------------

TEST_F(MainWindowTest, PickInTheViewAnswersWithTheEntityHandle)
{
    std::uint64_t lower = 0, upper = 0;
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(WriteTwoLines(dir, lower, upper))));
    WhenPrompted([this] {
        EXPECT_EQ(window->Interaction()->WaitingFor(), HostInteraction::Waiting::kPick);
        QTest::mouseClick(window->View(), Qt::LeftButton, {}, Screen(700, 500));
    });
    Type(QStringLiteral("TESTPICK"));
    EXPECT_EQ(g_seen.result, RTNORM);
    EXPECT_EQ(g_seen.picked, upper);

    // A click on empty space is no entity.
    g_seen = Seen();
    WhenPrompted([this] { QTest::mouseClick(window->View(), Qt::LeftButton, {}, Screen(500, 250)); });
    Type(QStringLiteral("TESTPICK"));
    EXPECT_EQ(g_seen.result, RTERROR);
}

TEST_F(MainWindowTest, WindowSelectionAnswersTheSelectionPrompt)
{
    std::uint64_t lower = 0, upper = 0;
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(WriteTwoLines(dir, lower, upper))));
    WhenPrompted([this] {
        QTest::mouseClick(window->View(), Qt::LeftButton, {}, Screen(-20, -20));
        QTest::mouseClick(window->View(), Qt::LeftButton, {}, Screen(1020, 20));
        EXPECT_EQ(window->View()->Highlighted().size(), 1u);
        QTest::keyClick(Input(), Qt::Key_Return);
    });
    Type(QStringLiteral("TESTSEL"));
    EXPECT_EQ(g_seen.result, RTNORM);
    EXPECT_EQ(g_seen.selected, std::vector<std::uint64_t>{lower});
    EXPECT_TRUE(History().contains(QStringLiteral("找到 1 个")));
    EXPECT_TRUE(window->View()->Highlighted().empty());
}

TEST_F(MainWindowTest, SelectionBeforeTheCommandIsTheImpliedSelection)
{
    std::uint64_t lower = 0, upper = 0;
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(WriteTwoLines(dir, lower, upper))));
    // A crossing window (right to left) through both lines, then a click that adds nothing new.
    QTest::mouseClick(window->View(), Qt::LeftButton, {}, Screen(600, 600));
    QTest::mouseClick(window->View(), Qt::LeftButton, {}, Screen(400, -100));
    QTest::mouseClick(window->View(), Qt::LeftButton, {}, Screen(100, 0));
    EXPECT_EQ(window->Selection(), (std::vector<EntityHandle>{lower, upper}));
    ASSERT_EQ(window->Document()->pickfirst().size(), 2u);

    Type(QStringLiteral("TESTIMPLIED"));
    EXPECT_EQ(g_seen.pickfirstInside, (std::vector<std::uint64_t>{lower, upper}));
    EXPECT_EQ(g_seen.result, RTNORM);
    EXPECT_EQ(g_seen.selected, (std::vector<std::uint64_t>{lower, upper}));
    // Used up by the command.
    EXPECT_TRUE(window->Selection().empty());
    EXPECT_TRUE(window->Document()->pickfirst().empty());

    // Shift+click takes an entity out; Esc clears the rest.
    QTest::mouseClick(window->View(), Qt::LeftButton, {}, Screen(100, 0));
    QTest::mouseClick(window->View(), Qt::LeftButton, {}, Screen(100, 500));
    QTest::mouseClick(window->View(), Qt::LeftButton, Qt::ShiftModifier, Screen(100, 0));
    EXPECT_EQ(window->Selection(), std::vector<EntityHandle>{upper});
    QTest::keyClick(window->View(), Qt::Key_Escape);
    EXPECT_TRUE(window->Selection().empty());
}

// ---- REGEN, KvLoadUI, applications ---------------------------------------------------------------------

TEST_F(MainWindowTest, RegenRebuildsTheSceneFromTheDatabase)
{
    std::uint64_t lower = 0, upper = 0;
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(WriteTwoLines(dir, lower, upper))));
    tav::cad::DxfDocument& doc = window->Document()->database()->document();
    tav::cad::DxfObject added = doc.AddEntity("CIRCLE");
    tav::cad::DxfCircle(added).SetRadius(50);
    EXPECT_EQ(window->Scene().Find(added.GetHandle()), nullptr);
    const int generation = window->Scene().Generation();
    Type(QStringLiteral("REGEN"));
    EXPECT_EQ(window->Scene().Generation(), generation + 1);
    EXPECT_NE(window->Scene().Find(added.GetHandle()), nullptr);

    // ".REGEN" sent from inside a command runs at once.
    Type(QStringLiteral("TESTREGEN"));
    EXPECT_EQ(g_seen.generationInside, generation + 2);
}

TEST_F(MainWindowTest, KvLoadUIPostedByACommandBuildsMenusToolbarAndShortcutsAfterIt)
{
    ASSERT_TRUE(g_dbCfgUI.ReadFromXML(std::string(TAV_MAIN_DIR) + "/UIConfig.xml"));
    Type(QStringLiteral("TESTPOSTUI"));
    EXPECT_EQ(g_seen.menusInside, 0);  // not while the posting command runs
    ASSERT_EQ(window->ConfigMenus().size(), 1);
    QMenu* menu = window->ConfigMenus().front();
    EXPECT_EQ(menu->title(), QStringLiteral("给排水"));
    EXPECT_TRUE(window->menuBar()->actions().contains(menu->menuAction()));
    QStringList texts;
    int separators = 0;
    for (QAction* a : menu->actions())
        a->isSeparator() ? ++separators : (texts << a->text(), 0);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("选项配置..."), QStringLiteral("图形设置..."),
                                  QStringLiteral("线型管理..."), QStringLiteral("设备表编辑")}));
    EXPECT_EQ(separators, 1);

    ASSERT_EQ(window->ConfigToolBars().size(), 1);
    QStringList buttons;
    for (QAction* a : window->ConfigToolBars().front()->actions())
        if (!a->isSeparator())
            buttons << a->text();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("选项配置"), QStringLiteral("图形设置"), QStringLiteral("线型管理"),
                                    QStringLiteral("设备表编辑")}));
    QStringList keys;
    for (QAction* a : window->actions())
        if (!a->shortcut().isEmpty())
            keys << a->shortcut().toString();
    EXPECT_TRUE(keys.contains(QStringLiteral("Ctrl+Shift+G")));
    EXPECT_TRUE(keys.contains(QStringLiteral("Ctrl+Shift+O")));

    // A menu entry runs its command at the prompt.
    menu->actions().back()->trigger();
    EXPECT_TRUE(History().contains(QStringLiteral("命令: XG")));

    // Loading again replaces, it does not add.
    Type(QStringLiteral("KvLoadUI"));
    EXPECT_EQ(window->ConfigMenus().size(), 1);
    g_dbCfgUI.Reset();
    window->LoadUI();
    EXPECT_TRUE(window->ConfigMenus().isEmpty());
}

TEST_F(MainWindowTest, ModuleLoadsThroughItsEntryPointAndRegistersItsCommands)
{
    ASSERT_TRUE(std::filesystem::exists(kModule)) << kModule;
    ASSERT_NE(window->LoadApplication(kModule), nullptr);
    const KvRegisteredCommand* xg = acedRegCmds()->lookupCmd("XG");
    ASSERT_NE(xg, nullptr);
    EXPECT_EQ(xg->group, "TavDataManager");
    EXPECT_NE(acedRegCmds()->lookupCmd("TavConfig"), nullptr);
    // Loading it twice is refused with a message.
    EXPECT_EQ(window->LoadApplication(kModule), nullptr);
    EXPECT_TRUE(History().contains(QStringLiteral("无法加载应用程序")));
    window.reset();  // closing the program unloads it
    EXPECT_FALSE(acedRegCmds()->hasGroup("TavDataManager"));
}

TEST_F(MainWindowTest, ModuleCommandRunsInTheHostWithTheImpliedSelection)
{
    ASSERT_NE(window->LoadApplication(kModule), nullptr);
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(kSample)));
    // The table's title is selected before the command, as a user would click it.
    EntityHandle title = 0;
    for (const SceneEntity& e : window->Scene().Entities())
        for (const ScenePrimitive& p : e.primitives)
            if (p.kind == ScenePrimitive::Kind::kText && QString(p.text).remove(QLatin1Char(' ')) == QStringLiteral("设备材料表"))
                title = e.handle;
    ASSERT_NE(title, 0u);
    const SceneEntity* e = window->Scene().Find(title);
    window->View()->SetView(e->bounds.center(), window->View()->Scale());
    QTest::mouseClick(window->View(), Qt::LeftButton, {}, Screen(e->bounds.center().x(), e->bounds.center().y()));
    ASSERT_EQ(window->Selection(), std::vector<EntityHandle>{title});

    // Whatever the command shows is closed: prompts with Esc, dialogs with Cancel.
    QTimer closer;
    int closed = 0;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
                ++closed;
            }
        } else if (window->Interaction()->WaitingFor() != HostInteraction::Waiting::kNone) {
            window->Interaction()->Cancel();
            ++closed;
        }
    });
    closer.start(50);
    Type(QStringLiteral("XG"));
    closer.stop();
    EXPECT_FALSE(KvCommandLine::Current().IsCommandActive());
    EXPECT_EQ(window->Interaction()->WaitingFor(), HostInteraction::Waiting::kNone);
    EXPECT_FALSE(History().contains(QStringLiteral("未知命令")));
    EXPECT_TRUE(window->Selection().empty());
    std::cout << "XG in the host (" << closed << " prompts or dialogs closed):\n"
              << History().toStdString() << std::endl;
}

TEST_F(MainWindowTest, StartSeedsTheUserFolderLoadsModuleDrawingAndMenus)
{
    StartupOptions options;
    options.mainDirectory = TAV_MAIN_DIR;
    options.configDirectory = dir.path() + "config";
    options.drawing = kSample;
    options.modulePath = kModule;
    EXPECT_TRUE(window->Start(options));
    EXPECT_TRUE(std::filesystem::exists(dir.path() + "config/UIConfig.xml"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() + "config/Config.xml"));
    EXPECT_TRUE(acedRegCmds()->hasGroup("TavDataManager"));
    EXPECT_EQ(acedRegCmds()->commands("TavDataManager").size(), 4u);
    EXPECT_EQ(window->DrawingName(), QStringLiteral("给排水示例.dxf"));
    ASSERT_EQ(window->ConfigMenus().size(), 1);
    EXPECT_EQ(window->ConfigMenus().front()->title(), QStringLiteral("给排水"));
    window.reset();
    tav::SetMainDirectory("");
    tav::SetUserConfigDirectory("");
}

TEST_F(MainWindowTest, ScreenshotOfTheSampleDrawing)
{
    ASSERT_TRUE(window->OpenDrawing(QString::fromStdString(kSample)));
    ASSERT_TRUE(g_dbCfgUI.ReadFromXML(std::string(TAV_MAIN_DIR) + "/UIConfig.xml"));
    window->LoadUI();
    window->resize(1600, 1000);
    QApplication::processEvents();
    window->View()->ZoomExtents();
    window->RunTyped(QStringLiteral("REGEN"));
    const QImage shot = window->grab().toImage();
    const QString folder = QStringLiteral(TAV_BINARY_DIR) + QStringLiteral("/screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(shot.save(folder + QStringLiteral("/tavcad-sample.png")));

    // The view shows the drawing: many pixels differ from the background.
    const QImage view = window->View()->grab().toImage();
    const QRgb background = CadView::Background().rgb();
    int drawn = 0;
    for (int y = 0; y < view.height(); y += 2)
        for (int x = 0; x < view.width(); x += 2)
            drawn += (view.pixel(x, y) | 0xff000000) != (background | 0xff000000);
    EXPECT_GT(drawn, 500);
    // The equipment table up close: the Chinese texts of the drawing (they are all in the table) fill
    // the view, and each is drawn large enough to be read.
    QRectF table;
    for (const SceneEntity& e : window->Scene().Entities())
        for (const ScenePrimitive& p : e.primitives)
            if (e.type == "TEXT" && p.text.front().unicode() >= 0x4e00)
                table = table.isNull() ? e.bounds : table.united(e.bounds);
    ASSERT_FALSE(table.isNull());
    for (const SceneEntity& e : window->Scene().Entities())  // with the frame and the legends
        if (e.bounds.intersects(table.adjusted(-1, -1, 1, 1)))
            table = table.united(e.bounds);
    CadView* v = window->View();
    v->SetView(table.center(), std::min(v->width() / table.width(), v->height() / table.height()) * 0.9);
    ASSERT_TRUE(window->grab().save(folder + QStringLiteral("/tavcad-sample-table.png")));
    const QTransform w2s = v->WorldToScreenTransform();
    int readable = 0, chinese = 0;
    for (const SceneEntity& e : window->Scene().Entities())
        for (const ScenePrimitive& p : e.primitives)
            if (p.kind == ScenePrimitive::Kind::kText && p.text.front().unicode() >= 0x4e00) {
                ++chinese;
                readable += std::sqrt(std::abs((p.textToWorld * w2s).determinant())) * CadScene::kFontEm >= 10;
            }
    EXPECT_GT(chinese, 10);
    EXPECT_EQ(readable, chinese);
}
