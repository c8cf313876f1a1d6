#include "TavDataManager/options/KvUiOptionSheets.h"

#include <QLabel>
#include <QVBoxLayout>

#include "platform/config/KvConfigFiles.h"
#include "platform/config/KvDtDictionary.h"

namespace {

QString ToQt(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

// ---- KvUiOptionSheet ----------------------------------------------------------------------------------

KvUiOptionSheet::KvUiOptionSheet(std::string caption, QWidget* parent)
    : KvUiTabChildDialog(parent), caption_(std::move(caption)) {}

KvUiOptionSheet::~KvUiOptionSheet() = default;

std::string KvUiOptionSheet::GetNotice() const { return "“" + caption_ + "”的编辑页尚未提供，此处的设置保持不变。"; }

bool KvUiOptionSheet::OnInitDialog() {
  KvUiTabChildDialog::OnInitDialog();
  auto* layout = new QVBoxLayout(this);
  notice_ = new QLabel(ToQt(GetNotice()), this);
  notice_->setAlignment(Qt::AlignCenter);
  notice_->setWordWrap(true);
  layout->addWidget(notice_);
  return true;
}

void KvUiOptionSheet::StoreToConfig() {}
void KvUiOptionSheet::ReloadFromConfig() {}
void KvUiOptionSheet::ResetAndFill() {}

// ---- the sheets ----------------------------------------------------------------------------------------

KvUiAdvanceSheet::KvUiAdvanceSheet(QWidget* parent) : KvUiOptionSheet("高级选项", parent) {}
KvUiTextStyleSheet::KvUiTextStyleSheet(QWidget* parent) : KvUiOptionSheet("文字样式", parent) {}
KvUiDimStyleSheet::KvUiDimStyleSheet(QWidget* parent) : KvUiOptionSheet("尺寸样式", parent) {}

KvUiLayerBaseSheet::KvUiLayerBaseSheet(QWidget* parent) : KvUiOptionSheet("图层设置", parent) {
  g_dictCfg.GetValue("LAYER\\CUR_STD", shownStandard_);
  RebuildSubTabs();
}

void KvUiLayerBaseSheet::StoreLayerPages() {}

void KvUiLayerBaseSheet::RebuildSubTabs() {
  tabKeys_.clear();
  if (shownStandard_.empty()) g_dictCfg.GetValue("LAYER\\CUR_STD", shownStandard_);
  const KvDtDictionary* standard = g_dictCfg.FindDict("LAYER\\" + shownStandard_);
  if (!standard || shownStandard_.empty()) return;
  for (const char* key : {"LAYER_FIELD_DEF", "ASSEMBLY_LAYER_DEF"})
    if (standard->FindDict(key)) tabKeys_.push_back(key);
}

KvUiSystemSetSheet::KvUiSystemSetSheet(QWidget* parent) : KvUiOptionSheet("管道设置", parent) {}
bool KvUiSystemSetSheet::CheckSystemRows() { return true; }
void KvUiSystemSetSheet::SaveSystemRows(KvDtDictionary*) {}
void KvUiSystemSetSheet::RebuildSystemLayers() {}
void KvUiSystemSetSheet::InitSystemGrid() {}
void KvUiSystemSetSheet::LoadSystemRows(KvDtDictionary*) {}

KvUiMaterialSetSheet::KvUiMaterialSetSheet(QWidget* parent) : KvUiOptionSheet("管道材料", parent) {}
void KvUiMaterialSetSheet::SetMaterialDictionary(KvDtDictionary* tav) { working_ = tav; }
void KvUiMaterialSetSheet::SaveMaterials(KvDtDictionary* tav) { working_ = tav; }

KvUiClbdyDlg::KvUiClbdyDlg(QWidget* parent) : KvUiOptionSheet("材料统计", parent) {}
void KvUiClbdyDlg::OnSheetOK() {}
void KvUiClbdyDlg::RefreshSheet() {}
