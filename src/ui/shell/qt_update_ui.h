#ifndef VIDORA_UI_SHELL_QT_UPDATE_UI_H_
#define VIDORA_UI_SHELL_QT_UPDATE_UI_H_

#include "core/updates/update_ui.h"

class QWidget;

namespace vidora {

class MainActions;
class ViewRequests;

// Whether `frame` is the active window: no modal dialog is open and the
// application's active window is the frame itself.
bool IsActiveFrame(const QWidget* frame);

// The update service's user interface on the main window: wait dialogs
// owned by the active window, message boxes owned by the frame, the
// browser, the view's stop request and the frame's update actions. Borrows
// the frame, the view and the actions, which must outlive it. UI thread
// only.
class QtUpdateUi : public UpdateUi {
 public:
  QtUpdateUi(QWidget* frame, ViewRequests* view, const MainActions* actions);

  void RunWaitDialog(UpdateWaitKind kind, std::string_view title_key, WaitWorker worker,
                     std::atomic<bool>& cancel) override;
  MessageAnswer ShowMessageByKey(std::string_view key, MessageButtons buttons) override;
  void OpenWebAddress(const std::u16string& address) override;
  void StopPlayback() override;
  bool IsFrameActive() override;
  void SendCommand(UpdateCommand command) override;

 private:
  QWidget* frame_;
  ViewRequests* view_;
  const MainActions* actions_;
};

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_QT_UPDATE_UI_H_
