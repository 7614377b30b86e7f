#ifndef VIDORA_UI_DIALOGS_SKINNED_DIALOG_H_
#define VIDORA_UI_DIALOGS_SKINNED_DIALOG_H_

#include <QDialog>
#include <QSize>
#include <QRect>

class QAbstractButton;

namespace vidora {

class SoftKeyBar;

// Commands every dialog knows: Done (its Done button, Enter) and Cancel
// (Escape, a close request), and the soft keys'.
inline constexpr int kDoneCommand = 1;
inline constexpr int kCancelCommand = 2;
inline constexpr int ID_SOFTKEY_LEFT = 59280;
inline constexpr int ID_SOFTKEY_RIGHT = 59281;

// The standard dialog frame every dialog of the application is built on.
//
// A full-screen dialog (the default) is frameless and covers its owner's
// window (the available screen area without an owner) and shows its Done
// button (object name "done", drawn as the desktop's close control "×",
// tooltip "Close without saving") at the right end of its title strip, the
// top BarUnit() pixels; it sends kDoneCommand. An own-size dialog keeps the size its code gives
// it and has no such button. Both take the skin's dialog colours.
//
// Dialogs with soft keys ask for SoftKeys(): the bar sits at the bottom
// and the client area (ClientRect) shrinks by its height. The subclass
// paints its own title strip (PaintTitleStrip) in its paintEvent.
//
// Commands (the Done button, the soft keys, Escape, a window close) go
// through RunCommand: the subclass sees them first in HandleCommand; what
// it leaves ends the dialog, kDoneCommand and ID_SOFTKEY_LEFT with result 1,
// kCancelCommand and ID_SOFTKEY_RIGHT with result 2.
//
// Keys: Tab and Shift+Tab walk the controls, F1 and F2 press the soft
// keys, Escape sends kCancelCommand, and Enter that no control takes presses the
// left soft key (the Done button when the left key has no command). UI
// thread only.
class SkinnedDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Size { kFullScreen, kOwn };
  // A full-screen dialog without a visible owner window: the main
  // window's default, portrait size.
  static constexpr QSize kOwnerlessSize{480, 640};

  explicit SkinnedDialog(QWidget* owner, Size size = Size::kFullScreen);

  // The client area: the whole dialog above the soft-key bar, at (0, 0).
  QRect ClientRect() const;
  // The soft-key bar, created and shown at the first call; its commands
  // go through RunCommand.
  SoftKeyBar* SoftKeys();
  bool HasSoftKeys() const { return soft_keys_ != nullptr; }
  // The title strip's Done button ("×"), or nullptr for own-size dialogs.
  QAbstractButton* DoneButton() const { return done_; }

  // Runs `command` as the dialog's command handling would.
  void RunCommand(int command);

  void setVisible(bool visible) override;

 protected:
  // Returns true when the dialog handled `command` itself.
  virtual bool HandleCommand(int command);
  // Lays the dialog's own controls out in a client area of that size;
  // called on every size change, after the frame's own children moved.
  virtual void LayoutClient(int width, int height);

  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;
  void accept() override;

 private:
  void PlaceFrameChildren();

  Size size_;
  QAbstractButton* done_ = nullptr;
  SoftKeyBar* soft_keys_ = nullptr;
  bool placed_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_SKINNED_DIALOG_H_
