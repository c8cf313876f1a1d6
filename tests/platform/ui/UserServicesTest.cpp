// The Qt user services: message boxes as the request says, file dialog filters and flags, the colour
// dialog, and the command-line part handed to the host's interaction.
#include "platform/ui/KvUiColorDialog.h"
#include "platform/ui/KvUiQtUserServices.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `inspect` on the modal window of type T once it is up.
template <typename T>
void WhenModal(std::function<void(T*)> inspect)
{
    auto tries = std::make_shared<int>(0);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [inspect, tries, poll]() {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            inspect(window);
            return;
        }
        if (++*tries < 200)
            QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
}

struct Seen {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QString> buttons;
    QString defaultButton;
};

}  // namespace

// ---- message boxes ----------------------------------------------------------------------------------

TEST(QtMessageBox, ShowsTheExactTextCaptionIconAndButtons)
{
    KvUiQtUserServices services;
    Seen seen;
    WhenModal<QMessageBox>([&seen](QMessageBox* box) {
        seen.text = box->text();
        seen.title = box->windowTitle();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        box->button(QMessageBox::Yes)->click();
    });
    const int answer = services.MessageBox({"确定要删除该系统吗？", "删除", MB_YESNO | MB_ICONQUESTION});
    EXPECT_EQ(answer, IDYES);
    EXPECT_EQ(seen.text, QStringLiteral("确定要删除该系统吗？"));
    EXPECT_EQ(seen.title, QStringLiteral("删除"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons.size(), 2);
    EXPECT_EQ(seen.defaultButton, QStringLiteral("是(&Y)"));
}

TEST(QtMessageBox, EmptyCaptionGivesAnEmptyTitle)
{
    KvUiQtUserServices services;
    QString title = QStringLiteral("unset");
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        icon = box->icon();
        box->accept();
    });
    services.MessageBox({"导出成功！", "", MB_OK | MB_ICONINFORMATION});
    EXPECT_TRUE(title.isEmpty());
    EXPECT_EQ(icon, QMessageBox::Information);
}

TEST(QtMessageBox, ClosingAYesNoBoxAnswersNoAndStopIconIsCritical)
{
    KvUiQtUserServices services;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        icon = box->icon();
        box->reject();
    });
    EXPECT_EQ(services.MessageBox({"是否保存当前修改?", "提示信息", MB_YESNO | MB_ICONSTOP}), IDNO);
    EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtMessageBox, SecondDefaultButtonAndCancelAnswers)
{
    std::unique_ptr<QMessageBox> box(KvUiQtUserServices::CreateMessageBox(
        {"x", "错误", MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONERROR}, nullptr));
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(box->buttons().size(), 3);
    EXPECT_EQ(KvUiQtUserServices::AnswerOf(*box, MB_YESNOCANCEL), IDCANCEL);  // nothing clicked
}

TEST(QtMessageBox, AlertUsesTheHostsCaption)
{
    KvUiQtUserServices services;
    services.SetAlertCaption("tavcad");
    QString title, text;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        box->accept();
    });
    services.Alert("所选实体不是设备表！");
    EXPECT_EQ(title, QStringLiteral("tavcad"));
    EXPECT_EQ(text, QStringLiteral("所选实体不是设备表！"));
}

// ---- file dialogs ---------------------------------------------------------------------------------

TEST(QtFileDialog, MfcFilterBecomesQtNameFilters)
{
    QStringList filters;
    ASSERT_TRUE(KvUiQtUserServices::ToQtNameFilters("配置文档|*.allcfg||", filters));
    EXPECT_EQ(filters, QStringList{QStringLiteral("配置文档 (*.allcfg)")});
    ASSERT_TRUE(KvUiQtUserServices::ToQtNameFilters("线型文件(*.lin)|*.lin;*.LIN|所有文件|*.*||", filters));
    EXPECT_EQ(filters, (QStringList{QStringLiteral("线型文件(*.lin) (*.lin *.LIN)"), QStringLiteral("所有文件 (*)")}));
    ASSERT_TRUE(KvUiQtUserServices::ToQtNameFilters("", filters));
    EXPECT_EQ(filters, QStringList{QStringLiteral("All files (*)")});
}

TEST(QtFileDialog, MalformedFilterIsRefusedWithAReason)
{
    QStringList filters;
    std::string error;
    EXPECT_FALSE(KvUiQtUserServices::ToQtNameFilters("配置文档||", filters, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(filters.isEmpty());
}

TEST(QtFileDialog, FlagsChooseModeOverwritePromptAndTitle)
{
    KvFileDialogRequest save;
    save.kind = KvFileDialogKind::kSave;
    save.filter = "配置文档|*.allcfg||";
    save.defaultExtension = "allcfg";
    save.flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    std::unique_ptr<QFileDialog> saveDialog(KvUiQtUserServices::CreateFileDialog(save, nullptr));
    EXPECT_EQ(saveDialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(saveDialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(saveDialog->defaultSuffix(), QStringLiteral("allcfg"));
    EXPECT_EQ(saveDialog->windowTitle(), QStringLiteral("另存为"));
    EXPECT_EQ(saveDialog->nameFilters(), QStringList{QStringLiteral("配置文档 (*.allcfg)")});

    KvFileDialogRequest open;
    open.filter = "线型文件|*.lin||";
    open.title = "导入线型文件";
    open.flags = OFN_ALLOWMULTISELECT;
    std::unique_ptr<QFileDialog> openDialog(KvUiQtUserServices::CreateFileDialog(open, nullptr));
    EXPECT_EQ(openDialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(openDialog->fileMode(), QFileDialog::ExistingFiles);
    EXPECT_EQ(openDialog->windowTitle(), QStringLiteral("导入线型文件"));
    open.flags = 0;
    std::unique_ptr<QFileDialog> single(KvUiQtUserServices::CreateFileDialog(open, nullptr));
    EXPECT_EQ(single->fileMode(), QFileDialog::ExistingFile);
}

TEST(QtFileDialog, ChosenFileAndFilterIndexComeBack)
{
    const QString dir = QDir(QStringLiteral(TAV_MAIN_DIR)).absoluteFilePath(QStringLiteral("Skin"));
    KvUiQtUserServices services;
    KvFileDialogRequest request;
    request.filter = "图标|*.ico|所有文件|*.*||";
    request.initialDirectory = dir.toStdString();
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        dialog->selectNameFilter(dialog->nameFilters().at(1));
        dialog->selectFile(QDir(dir).absoluteFilePath(QStringLiteral("txt.ico")));
        static_cast<QDialog*>(dialog)->accept();
    });
    const KvFileDialogResult result = services.FileDialog(request);
    ASSERT_TRUE(result.accepted);
    EXPECT_EQ(result.path(), QDir(dir).absoluteFilePath(QStringLiteral("txt.ico")).toStdString());
    EXPECT_EQ(result.filterIndex, 2);
}

TEST(QtFileDialog, CancelGivesNoPath)
{
    KvUiQtUserServices services;
    WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    const KvFileDialogResult result = services.FileDialog({});
    EXPECT_FALSE(result.accepted);
    EXPECT_TRUE(result.path().empty());
}

// ---- colour dialog --------------------------------------------------------------------------------

TEST(QtColorDialog, ByLayerChosenComesBackAs256)
{
    KvUiQtUserServices services;
    WhenModal<KvUiColorDialog>([](KvUiColorDialog* dialog) {
        dialog->ChooseIndex(kColorByLayer);
        dialog->OnOK();
    });
    const KvColorResult result = services.ColorDialog({3, true, 7});
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.color, 256);
}

TEST(QtColorDialog, CancelKeepsNothing)
{
    KvUiQtUserServices services;
    WhenModal<KvUiColorDialog>([](KvUiColorDialog* dialog) {
        dialog->ChooseIndex(5);
        dialog->OnCancel();
    });
    EXPECT_FALSE(services.ColorDialog({3, true, 7}).accepted);
}

// ---- the host's part --------------------------------------------------------------------------------

namespace {

class FakeCommandLine : public KvUiInteraction {
public:
    std::string printed;
    void Print(std::string_view text) override { printed += text; }
    void ShowCommandPrompt() override { printed += "命令: "; }
    KvStringResult GetString(const KvStringRequest& r) override { return {KvPromptStatus::kNormal, r.prompt}; }
    KvStringResult GetKeyword(const KvKeywordRequest&) override { return {KvPromptStatus::kKeyword, "Y"}; }
    KvPointResult GetPoint(const KvPointRequest&) override { return {KvPromptStatus::kNormal, {1, 2, 0}, {}}; }
    KvPickResult PickEntity(const KvPickRequest&) override { return {KvPromptStatus::kNormal, 0x2A, {}, {}}; }
    KvSelectionResult Select(const KvSelectionRequest&) override { return {KvPromptStatus::kNormal, {1, 2}}; }
};

}  // namespace

TEST(QtUserServices, PromptsAndPicksGoToTheHostsCommandLine)
{
    KvUiQtUserServices services;
    EXPECT_EQ(services.PickEntity({"\n选择要编辑的设备表:", {}}).status, KvPromptStatus::kError);
    FakeCommandLine line;
    services.SetInteraction(&line);
    services.Print("\n修改图层标注无法对当前图纸上已存在的图层进行修改！\n");
    EXPECT_EQ(line.printed, "\n修改图层标注无法对当前图纸上已存在的图层进行修改！\n");
    EXPECT_EQ(services.PickEntity({"\n选择要编辑的设备表:", {}}).handle, 0x2Au);
    EXPECT_EQ(services.GetString({"\n名称:", false, ""}).text, "\n名称:");
    EXPECT_EQ(services.Select({}).handles.size(), 2u);
}
