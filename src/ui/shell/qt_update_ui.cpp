#include "ui/shell/qt_update_ui.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

#include "core/commands/view_requests.h"
#include "ui/dialogs/loading_screen.h"
#include "ui/dialogs/wait_dialog.h"
#include "ui/shell/main_actions.h"
#include "ui/shell/main_menu.h"
#include "ui/texts/ui_texts.h"
#include "ui/lifecycle/ui_thread.h"

namespace vidora {

bool IsActiveFrame(const QWidget* frame) {
  if (frame == nullptr) return false;
  if (QApplication::activeModalWidget() != nullptr) return false;
  return QApplication::activeWindow() == frame;
}

QtUpdateUi::QtUpdateUi(QWidget* frame, ViewRequests* view, const MainActions* actions)
    : frame_(frame), view_(view), actions_(actions) {}

void QtUpdateUi::RunWaitDialog(UpdateWaitKind, std::string_view title_key, WaitWorker worker,
                               std::atomic<bool>& cancel) {
  AssertUiThread();
  UpdateWaitDialog dialog(LastingOwner(frame_), title_key,
                          [worker = std::move(worker)](UpdateWaitDialog& wait) {
                            worker([&wait](std::string_view key) { wait.SetTitleByKeyFromWorker(std::string(key)); });
                            // The worker has written its results: only now may the UI thread go on.
                            wait.EndFromWorker(1);
                          },
                          &cancel);
  dialog.Run();
}

MessageAnswer QtUpdateUi::ShowMessageByKey(std::string_view key, MessageButtons buttons) {
  AssertUiThread();
  return vidora::ShowMessageByKey(frame_, key, buttons);
}

void QtUpdateUi::OpenWebAddress(const std::u16string& address) { OpenInBrowser(ToQString(address)); }

void QtUpdateUi::StopPlayback() {
  AssertUiThread();
  if (view_ != nullptr) view_->StopPlayback();
}

// The loading screen closes on its own whatever is open over it: nothing
// is offered while it is up.
bool QtUpdateUi::IsFrameActive() { return CurrentLoadingScreen() == nullptr && IsActiveFrame(frame_); }

void QtUpdateUi::SendCommand(UpdateCommand command) {
  AssertUiThread();
  if (actions_ == nullptr) return;
  actions_->Get(command == UpdateCommand::kCatalogue ? MainCommand::kChannelUpdate : MainCommand::kUpdate)->trigger();
}

}  // namespace vidora
