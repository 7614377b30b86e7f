#ifndef VIDORA_UI_SHELL_UPDATE_PROMOTION_H_
#define VIDORA_UI_SHELL_UPDATE_PROMOTION_H_

#include <functional>

class QWidget;

namespace vidora {

// Turns what the automatic update checks found into their menu commands:
// a pending catalogue becomes ID_CHANNEL_UPDATE, a pending application
// version ID_UPDATE, each at most once per run and only while the main
// frame is the active window (no dialog in front of it). Polled by the
// view tick on the UI thread.
class UpdatePromotion {
 public:
  // Read on the UI thread; the flags themselves are written by the
  // checking threads.
  using Flag = std::function<bool()>;
  using CommandSender = std::function<void(int command)>;

  UpdatePromotion() = default;
  UpdatePromotion(Flag catalogue_pending, Flag application_pending)
      : catalogue_pending_(std::move(catalogue_pending)), application_pending_(std::move(application_pending)) {}

  // One poll: the catalogue first, then the application. `frame_active`
  // is asked right before each command, since the first command's dialogs
  // run inside this call.
  void Poll(const Flag& frame_active, const CommandSender& send);

  bool catalogue_issued() const { return catalogue_issued_; }
  bool application_issued() const { return application_issued_; }

 private:
  Flag catalogue_pending_;
  Flag application_pending_;
  bool catalogue_issued_ = false;
  bool application_issued_ = false;
};

// Whether `frame` is the active window: no modal dialog is open and the
// application's active window is the frame itself.
bool IsActiveFrame(const QWidget* frame);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_UPDATE_PROMOTION_H_
