#include <gtest/gtest.h>

#include "platform/host/KvScriptedUserServices.h"

namespace {

TEST(ScriptedUserServices, MessageBoxesAreRecordedWithCaptionIconAndButtons) {
  KvScriptedUserServices services;
  KvUserServicesScope scope(services);
  services.QueueMessageBoxAnswer(IDYES);
  EXPECT_EQ(KvMessageBox("确定要删除该系统吗？", "删除", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(KvMessageBox("导入完成！"), IDOK);  // OK alone needs no scripted answer
  ASSERT_EQ(services.messageBoxes().size(), 2u);
  EXPECT_EQ(services.messageBoxes()[0].caption, "删除");
  EXPECT_EQ(services.messageBoxes()[0].flags & MB_TYPEMASK, MB_YESNO);
  EXPECT_EQ(services.messageBoxes()[0].flags & MB_ICONMASK, MB_ICONQUESTION);
  EXPECT_EQ(services.messageBoxes()[1].caption, "");
  EXPECT_EQ(services.messageBoxes()[1].text, "导入完成！");
  EXPECT_TRUE(services.errors().empty());
}

TEST(ScriptedUserServices, AQuestionWithoutAnAnswerFailsClearly) {
  KvScriptedUserServices services;
  EXPECT_THROW(services.MessageBox({"是否保存当前修改?", "", MB_YESNO}), KvUnexpectedQuestion);
  EXPECT_THROW(services.FileDialog({}), KvUnexpectedQuestion);
  EXPECT_THROW(services.PickEntity({"\n选择要编辑的设备表:", {}}), KvUnexpectedQuestion);
  ASSERT_EQ(services.errors().size(), 3u);
  EXPECT_NE(services.errors()[0].find("是否保存当前修改?"), std::string::npos);
}

TEST(ScriptedUserServices, RecordPolicyAnswersCancelAndKeepsTheError) {
  KvScriptedUserServices services(KvScriptedUserServices::Policy::kCancelAndRecord);
  EXPECT_EQ(services.MessageBox({"是否保存当前修改?", "", MB_YESNO}), IDNO);
  EXPECT_EQ(services.MessageBox({"x", "", MB_OKCANCEL}), IDCANCEL);
  EXPECT_FALSE(services.ColorDialog({}).accepted);
  EXPECT_EQ(services.Select({}).status, KvPromptStatus::kCancel);
  EXPECT_EQ(services.errors().size(), 4u);
}

TEST(ScriptedUserServices, AnAnswerTheButtonsCannotGiveIsAnError) {
  KvScriptedUserServices services;
  services.QueueMessageBoxAnswer(IDOK);
  EXPECT_THROW(services.MessageBox({"?", "删除", MB_YESNO}), KvUnexpectedQuestion);
}

TEST(ScriptedUserServices, AnswersAreTakenInOrderPerKind) {
  KvScriptedUserServices services;
  services.QueueMessageBoxAnswer(IDNO);
  services.QueueMessageBoxAnswer(IDYES);
  services.QueuePickHandle(0x2A);
  services.QueuePick({KvPromptStatus::kCancel, 0, {}, {}});
  EXPECT_EQ(services.UnusedAnswers(), 4u);
  EXPECT_EQ(services.PickEntity({"\n选择要编辑的设备表:", {}}).handle, 0x2Au);
  EXPECT_EQ(services.MessageBox({"a", "", MB_YESNO}), IDNO);
  EXPECT_EQ(services.PickEntity({"\n选择要编辑的设备表:", {}}).status, KvPromptStatus::kCancel);
  EXPECT_EQ(services.MessageBox({"b", "", MB_YESNO}), IDYES);
  EXPECT_EQ(services.UnusedAnswers(), 0u);
  EXPECT_EQ(services.pickPrompts().size(), 2u);
  EXPECT_EQ(services.output(), "\n选择要编辑的设备表:\n选择要编辑的设备表:");
  ASSERT_EQ(services.events().size(), 4u);
  EXPECT_EQ(services.events()[1].kind, KvScriptedUserServices::Event::Kind::kMessageBox);
  EXPECT_EQ(services.events()[1].text, "a");
}

TEST(ScriptedUserServices, SaveDialogAddsTheDefaultExtensionAndRecordsTheRequest) {
  KvScriptedUserServices services;
  services.QueueFile("/tmp/out/澈岩建筑配置");
  services.QueueFile("/tmp/out.d/named.xml");
  KvFileDialogRequest request;
  request.kind = KvFileDialogKind::kSave;
  request.defaultExtension = "allcfg";
  request.fileName = "澈岩建筑配置.allcfg";
  request.filter = "配置文档(*.allcfg)|*.allcfg||";
  request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  KvFileDialogResult result = services.FileDialog(request);
  ASSERT_TRUE(result.accepted);
  EXPECT_EQ(result.path(), "/tmp/out/澈岩建筑配置.allcfg");
  EXPECT_EQ(services.FileDialog(request).path(), "/tmp/out.d/named.xml");
  ASSERT_EQ(services.fileDialogs().size(), 2u);
  EXPECT_EQ(services.fileDialogs()[0].flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  EXPECT_EQ(services.fileDialogs()[0].fileName, "澈岩建筑配置.allcfg");
}

TEST(ScriptedUserServices, SeveralFilesOnlyWithMultiSelect) {
  KvScriptedUserServices services;
  services.QueueFiles({"/a.allcfg", "/b.allcfg"});
  services.QueueFiles({"/a.allcfg", "/b.allcfg"});
  services.QueueFileCancel();
  KvFileDialogRequest request;
  request.filter = "配置文件 (*.allcfg)|*.allcfg||";
  request.flags = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT;
  EXPECT_EQ(services.FileDialog(request).paths.size(), 2u);
  request.flags = OFN_HIDEREADONLY;
  EXPECT_THROW(services.FileDialog(request), KvUnexpectedQuestion);
  KvFileDialogResult cancelled = services.FileDialog(request);
  EXPECT_FALSE(cancelled.accepted);
  EXPECT_EQ(cancelled.path(), "");
}

TEST(ScriptedUserServices, AFileDialogWithABadFilterIsAnError) {
  KvScriptedUserServices services;
  services.QueueFile("/x.lin");
  KvFileDialogRequest request;
  request.filter = "线型文件(*.LIN)||";
  EXPECT_THROW(services.FileDialog(request), KvUnexpectedQuestion);
}

TEST(ScriptedUserServices, ColourAnswersMustFitTheDialog) {
  KvScriptedUserServices services;
  services.QueueColor(0);
  services.QueueColor(256);
  services.QueueColor(300);
  EXPECT_EQ(services.ColorDialog({5, true, 7}).color, 0);
  EXPECT_THROW(services.ColorDialog({5, false, 7}), KvUnexpectedQuestion);
  EXPECT_THROW(services.ColorDialog({5, true, 7}), KvUnexpectedQuestion);
}

TEST(ScriptedUserServices, PromptsFollowTheRequestRules) {
  KvScriptedUserServices services;
  services.QueueString("标准 一");
  services.QueueString("");
  services.QueueString("");
  services.QueueKeyword({KvPromptStatus::kNormal, "yes"});
  services.QueueKeyword({KvPromptStatus::kNormal, "Maybe"});
  services.QueuePoint({KvPromptStatus::kNone, {}, {}});
  services.QueueSelection({KvPromptStatus::kNormal, {1, 2, 3}});
  EXPECT_EQ(services.GetString({"\n名称:", false, ""}).text, "标准");  // a blank ends the input
  EXPECT_EQ(services.GetString({"\n名称:", true, "默认"}).text, "默认");
  EXPECT_EQ(services.GetString({"\n名称:", true, ""}).status, KvPromptStatus::kNone);
  EXPECT_EQ(services.GetKeyword({"\n[Yes/No]:", {"Yes", "No"}, false}).text, "Yes");
  EXPECT_THROW(services.GetKeyword({"\n[Yes/No]:", {"Yes", "No"}, false}), KvUnexpectedQuestion);
  EXPECT_THROW(services.GetPoint({"\n点:", {}, {}, false}), KvUnexpectedQuestion);
  KvSelectionRequest select;
  select.prompt = "\n请选择需要统计的设备:";
  select.typeFilter = {"TAV_EQUIPMENT"};
  select.singleSelection = true;
  EXPECT_EQ(services.Select(select).handles, std::vector<std::uint64_t>{1});
  EXPECT_EQ(services.selectionPrompts().at(0).typeFilter, std::vector<std::string>{"TAV_EQUIPMENT"});
}

TEST(UserServices, TheCurrentServicesAreRestoredByTheScope) {
  KvScriptedUserServices outer, inner;
  KvUserServices* before = KvSetUserServices(&outer);
  {
    KvUserServicesScope scope(inner);
    EXPECT_EQ(&KvGetUserServices(), &inner);
  }
  EXPECT_EQ(&KvGetUserServices(), &outer);
  KvSetUserServices(before);
}

TEST(UserServices, WithoutAHostQuestionsAreAnsweredAsCancelled) {
  KvUserServices* before = KvSetUserServices(nullptr);
  EXPECT_EQ(KvMessageBox("?", "", MB_YESNO), IDNO);
  EXPECT_EQ(KvMessageBox("?", "", MB_YESNOCANCEL), IDCANCEL);
  EXPECT_FALSE(KvGetUserServices().FileDialog({}).accepted);
  EXPECT_EQ(KvGetUserServices().PickEntity({}).status, KvPromptStatus::kCancel);
  KvSetUserServices(before);
}

}  // namespace
