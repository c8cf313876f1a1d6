// Fixed names and texts of the .allcfg configuration bundle (docs/bundles.md).
//
// A bundle is one XML document: the root "VenoConfigDataSet" holds a copy of "Config.xml" (renamed
// "VENO_CONFIG"), a copy of "UIConfig.xml" ("VENO_UI_CONFIG") and the drawing settings
// ("VENO_DWG_CONFIG"), in that order; a file that is not found is left out.
#pragma once

namespace tav::bundle {

// The document.
inline constexpr const char* kDeclaration = "version='1.0' encoding='utf-8'";
inline constexpr const char* kRootElement = "VenoConfigDataSet";
inline constexpr const char* kRootName = "TECTO_CONFIGTION";
inline constexpr const char* kRootCaption = "澈岩建筑软件设置";

// The three sections (the `name` and `localname` of the root's children).
inline constexpr const char* kConfigName = "VENO_CONFIG";
inline constexpr const char* kConfigCaption = "选项设置";
inline constexpr const char* kUiName = "VENO_UI_CONFIG";
inline constexpr const char* kUiCaption = "自定义设置";
inline constexpr const char* kDwgElement = "VenoDwgConfig";
inline constexpr const char* kDwgName = "VENO_DWG_CONFIG";
inline constexpr const char* kDwgCaption = "图形设置";

// The two directories of the drawing section.
inline constexpr const char* kBaseName = "VENO_BASE_CONFIG";
inline constexpr const char* kBaseCaption = "基本设置";
inline constexpr const char* kHatchName = "VENO_BOLT_CONFIG";
inline constexpr const char* kHatchCaption = "填充设置";
// A material whose key is not a system key is written under this prefix and a running number.
inline constexpr const char* kCustomMaterialPrefix = "VENO_SYS_MAT_CUSTOM_";

// Files located with FindFile.
inline constexpr const char* kConfigFile = "Config.xml";
inline constexpr const char* kUiFile = "UIConfig.xml";
inline constexpr const char* kDefaultBundleFile = "DefaultCfg.allcfg";

// File dialogs.
inline constexpr const char* kExportFilter = "配置文档(*.allcfg)|*.allcfg||";
inline constexpr const char* kImportFilter = "配置文件 (*.allcfg)|*.allcfg||";
inline constexpr const char* kDefaultExtension = "allcfg";
inline constexpr const char* kDefaultFileName = "澈岩建筑配置.allcfg";

// Messages (shown without caption, with one OK button).
inline constexpr const char* kCreateFailed = "创建XML文档失败！请安装MSXML4.0SP2组件";
inline constexpr const char* kOpenFailed = "打开XML文档失败！请安装MSXML4.0SP2组件";
inline constexpr const char* kDefaultNotFound = "未找到默认配置文档：DefaultCfg.allcfg!";

// Titles of the import selection dialog by mode.
inline constexpr int kModeImport = 0;
inline constexpr int kModeRestore = 1;
inline constexpr const char* kImportTitle = "导入设置";
inline constexpr const char* kRestoreTitle = "导入默认设置";
inline const char* SelectionTitle(int mode) { return mode == kModeRestore ? kRestoreTitle : kImportTitle; }

}  // namespace tav::bundle
