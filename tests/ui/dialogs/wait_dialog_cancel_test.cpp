#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/stores/language_pack.h"
#include "support/temp_dir.h"
#include "ui/dialogs/skin_test_support.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/dialogs/wait_dialog.h"
#include "ui/shell/shell_test_support.h"
#include "ui/lifecycle/app_closing.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

// A worker that waits for its cancel flag, as a transfer watching it does.
UpdateWaitDialog::Worker WaitForCancel(std::atomic<bool>& cancel) {
  return [&cancel](UpdateWaitDialog& wait) {
    while (!cancel) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    wait.EndFromWorker(1);
  };
}

TEST(WaitDialogCancelTest, TheCancelSoftKeyEscapeOrACloseEndTheWorkersTransfers) {
  testing::LoadTestSkin();
  testing::TempDir dir;
  testing::InstallLanguages(dir / "Languages.lngp",
                            {testing::TestLanguage{u"Deutsch", u"de", {{"button_cancel", u"Abbrechen"}}}}, u"de");
  for (int way = 0; way < 3; ++way) {
    std::atomic<bool> cancel{false};
    UpdateWaitDialog dialog(nullptr, "str_check_updates", WaitForCancel(cancel), &cancel);
    ASSERT_TRUE(dialog.HasSoftKeys());
    EXPECT_EQ(dialog.SoftKeys()->RightCaption(), QStringLiteral("Abbrechen"));
    QTimer::singleShot(20, &dialog, [&dialog, way] {
      if (way == 0) dialog.SoftKeys()->PressRight();
      if (way == 1) dialog.RunCommand(kCancelCommand);
      if (way == 2) dialog.close();
    });
    EXPECT_EQ(dialog.Run(), 1) << way;
    EXPECT_TRUE(dialog.cancelled()) << way;
  }
  FreeLanguagePack();
}

TEST(WaitDialogCancelTest, WhileThePlayerClosesNoMessageBoxOpens) {
  SetAppClosing(true);
  EXPECT_EQ(ShowMessageByKey(nullptr, "msg_noupdates", MessageButtons::kOk), MessageAnswer::kOk);
  EXPECT_EQ(ShowMessageByKey(nullptr, "msg_update_available", MessageButtons::kYesNo), MessageAnswer::kNo);
  ShowPlainMessageBox(nullptr, QStringLiteral("x"), QString());
  SetAppClosing(false);
}

}  // namespace
}  // namespace vidora
