#ifndef VIDORA_UI_DIALOGS_SOFT_KEY_BAR_H_
#define VIDORA_UI_DIALOGS_SOFT_KEY_BAR_H_

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>

class QAbstractButton;

namespace vidora {

// The soft-key bar: a skinned strip at the bottom of a window with two
// keys. The left key runs a command or triggers an action (the main
// frame's); the right key either runs a command or opens a pop-up menu
// whose items carry their command ids (see AddMenuCommand) or are actions
// with slots of their own. Every command id, from a key or from a menu
// item (sub-menus included), is reported through CommandTriggered. A key
// without a caption does nothing. F1 and F2 in the bar's window press the
// left and right keys; a menu opened by F2 starts on its first item. UI
// thread only. A screen reader finds each key with a caption as a push
// button of that name whose press action presses the key.
class SoftKeyBar : public QWidget {
  Q_OBJECT

 public:
  explicit SoftKeyBar(QWidget* parent = nullptr);

  // The bar's height: 4/3 of BarUnit().
  static int BarHeight();

  // Left key: `caption` runs `command`.
  void SetLeftKey(const QString& caption, int command);
  // Left key: the action's text is the caption and a press triggers it
  // (borrowed; a deleted action leaves the key doing nothing).
  void SetLeftAction(QAction* action);
  // Right key as a plain command.
  void SetRightKey(const QString& caption, int command);
  // Right key opening `menu` (borrowed: the caller keeps it alive as long
  // as the bar shows it, and may change its items at any time).
  void SetRightMenu(const QString& caption, QMenu* menu);
  // Captions only (a language change); commands and menu stay.
  void SetCaptions(const QString& left, const QString& right);
  // An empty bar: no captions, no commands, no menu.
  void Clear();

  QString LeftCaption() const { return left_caption_; }
  QString RightCaption() const { return right_caption_; }
  int LeftCommand() const { return left_command_; }
  QAction* LeftAction() const { return left_action_; }
  int RightCommand() const { return right_command_; }
  QMenu* RightMenu() const { return right_menu_; }

  // Presses a key as a tap on it would: the left key triggers its action
  // or emits its command;
  // the right key emits its command or pops its menu up above the bar's
  // right end (non-blocking).
  void PressLeft();
  void PressRight();

  QSize sizeHint() const override;
  // A key's tooltip: its caption and its key, "Channels (F1)"; empty for a
  // key without a caption.
  QString KeyTip(bool left) const;

 signals:
  // A key or a menu item with command id `command` was chosen.
  void CommandTriggered(int command);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Key { kNone, kLeft, kRight };
  Key KeyAt(const QPoint& point) const;
  // Accessible name and description from the captions.
  void Describe();
  void OnMenuTriggered(QAction* action);

  QString left_caption_;
  QString right_caption_;
  int left_command_ = 0;
  QPointer<QAction> left_action_;
  int right_command_ = 0;
  QPointer<QMenu> right_menu_;
  QMetaObject::Connection menu_connection_;
  Key pressed_ = Key::kNone;
  // The keys as a screen reader sees them: unpainted, untouchable buttons
  // over the painted halves (the bar paints and takes the taps).
  QAbstractButton* left_button_ = nullptr;
  QAbstractButton* right_button_ = nullptr;
};

// Appends an item that reports `command` when chosen from a menu shown by
// a SoftKeyBar (the id is the action's data). Returns the new action,
// owned by `menu`.
QAction* AddMenuCommand(QMenu* menu, const QString& text, int command);

// The command id carried by `action`, or 0.
int MenuCommandOf(const QAction* action);

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_SOFT_KEY_BAR_H_
