#ifndef VIDORA_UI_PARENTAL_PIN_PROMPT_H_
#define VIDORA_UI_PARENTAL_PIN_PROMPT_H_

#include <QString>
#include <QTimer>

#include "ui/dialogs/skinned_dialog.h"

class QLabel;
class QLineEdit;

namespace vidora {

class ParentalLock;

// Asks for the parental PIN: `question` above a hidden-text field of
// digits. The left soft key (or Enter) checks it through the lock
// (ParentalLock::TryPin): a right PIN ends the dialog with 1 (pin() is
// what was typed), a wrong one says so and empties the field, and while
// the lock waits after wrong tries the field is disabled and the seconds
// left are shown, until the wait is over. The right soft key, Escape and
// the close control end it with 2. `lock` must outlive the dialog. UI
// thread only.
class PinPrompt : public SkinnedDialog {
  Q_OBJECT

 public:
  PinPrompt(QWidget* owner, ParentalLock& lock, const QString& question);

  QLineEdit* edit() const { return edit_; }
  QLabel* status() const { return status_; }
  QString pin() const { return pin_; }
  // Shows the wait (or ends it) as the lock's clock says now.
  void RefreshWait();

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Check();

  ParentalLock& lock_;
  QLabel* question_;
  QLineEdit* edit_;
  QLabel* status_;
  QString pin_;
  QTimer wait_timer_;
};

// Asks for a new PIN twice (4 to 8 digits). The left soft key ends the
// dialog with 1 only when both fields hold the same valid PIN (pin());
// otherwise the status line says what is wrong. UI thread only.
class NewPinDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  explicit NewPinDialog(QWidget* owner);

  QLineEdit* first() const { return first_; }
  QLineEdit* second() const { return second_; }
  QLabel* status() const { return status_; }
  QString pin() const;

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* first_label_;
  QLineEdit* first_;
  QLabel* second_label_;
  QLineEdit* second_;
  QLabel* status_;
};

}  // namespace vidora

#endif  // VIDORA_UI_PARENTAL_PIN_PROMPT_H_
