#include <gtest/gtest.h>

#include "TavDataManager/frame/KvDialogRegistry.h"

namespace {

int Result(KvFrameDialog dialog) {
  std::optional<KvDialogOutcome> outcome = KvRunDialog(dialog);
  return outcome ? outcome->result : -1;
}

TEST(DialogRegistry, TheLatestRegistrationIsShownAndRemovingItUncoversTheEarlier) {
  KvDialogRegistration real(KvFrameDialog::kLinetype, [] { return KvDialogOutcome{IDOK, false}; });
  EXPECT_EQ(Result(KvFrameDialog::kLinetype), IDOK);
  {
    KvDialogRegistration scripted(KvFrameDialog::kLinetype, [] { return KvDialogOutcome{IDCANCEL, true}; });
    EXPECT_EQ(Result(KvFrameDialog::kLinetype), IDCANCEL);
    EXPECT_TRUE(KvRunDialog(KvFrameDialog::kLinetype)->configReplaced);
  }
  EXPECT_EQ(Result(KvFrameDialog::kLinetype), IDOK);
}

TEST(DialogRegistry, AnEmptyRegistrationMeansNoDialog) {
  KvDialogRegistration real(KvFrameDialog::kOptions, [] { return KvDialogOutcome{IDOK, false}; });
  {
    KvDialogRegistration none(KvFrameDialog::kOptions, nullptr);
    EXPECT_FALSE(KvHasDialog(KvFrameDialog::kOptions));
    EXPECT_EQ(Result(KvFrameDialog::kOptions), -1);
  }
  EXPECT_TRUE(KvHasDialog(KvFrameDialog::kOptions));
}

TEST(DialogRegistry, AnEarlierRegistrationCanGoFirst) {
  std::uint64_t first = KvRegisterDialog(KvFrameDialog::kDrawingSettings, [] { return KvDialogOutcome{IDOK, false}; });
  std::uint64_t second = KvRegisterDialog(KvFrameDialog::kDrawingSettings, [] { return KvDialogOutcome{IDCANCEL, false}; });
  EXPECT_NE(first, second);
  EXPECT_TRUE(KvUnregisterDialog(KvFrameDialog::kDrawingSettings, first));
  EXPECT_EQ(Result(KvFrameDialog::kDrawingSettings), IDCANCEL);
  EXPECT_FALSE(KvUnregisterDialog(KvFrameDialog::kDrawingSettings, first));
  EXPECT_FALSE(KvUnregisterDialog(KvFrameDialog::kOptions, second));  // the token belongs to another dialog
  EXPECT_TRUE(KvUnregisterDialog(KvFrameDialog::kDrawingSettings, second));
}

}  // namespace
