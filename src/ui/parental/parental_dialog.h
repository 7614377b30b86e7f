#ifndef VIDORA_UI_PARENTAL_PARENTAL_DIALOG_H_
#define VIDORA_UI_PARENTAL_PARENTAL_DIALOG_H_

#include <QString>

#include <functional>
#include <optional>

#include "ui/dialogs/skinned_dialog.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace vidora {

class ChannelCatalogue;
class ParentalLock;

// "Parental lock…" of the settings: sets, changes (Ctrl+P) or removes the
// PIN, and lists the catalogue's categories and the playlists' groups to
// lock, checked when locked (the list is disabled until a PIN is set). A
// note says that a right PIN keeps locked channels open until the player
// closes. The PIN changes at once (after the old one was given; a wrong
// one is said in the state line); the list
// is stored through the left soft key only. `lock` and `catalogue` (may be
// nullptr: categories only as the lock knows them) must outlive the
// dialog. UI thread only.
class ParentalDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  ParentalDialog(QWidget* owner, ParentalLock& lock, const ChannelCatalogue* catalogue);

  QListWidget* list() const { return list_; }
  QPushButton* pin_button() const { return pin_; }
  QPushButton* remove_button() const { return remove_; }
  // Set a first PIN, or change it after asking for the old one.
  void SetOrChangePin();
  void RemovePin();

  // Tests answer the questions: `old_pin` asks for the PIN in use (empty:
  // cancelled), `new_pin` for a new one (empty: cancelled).
  using PinQuestion = std::function<QString()>;
  void set_questions(PinQuestion old_pin, PinQuestion new_pin) {
    ask_old_ = std::move(old_pin);
    ask_new_ = std::move(new_pin);
  }

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Fill(const ChannelCatalogue* catalogue);
  void ShowPinState();

  ParentalLock& lock_;
  QLabel* state_;
  QLabel* note_;
  QPushButton* pin_;
  QPushButton* remove_;
  QListWidget* list_;
  PinQuestion ask_old_;
  PinQuestion ask_new_;
};

// Opens the parental lock's settings over `owner`: with a PIN set, only
// after the PIN was given. Uses the current ParentalLock and catalogue;
// does nothing without a lock. UI thread only.
void OpenParentalDialog(QWidget* owner);

}  // namespace vidora

#endif  // VIDORA_UI_PARENTAL_PARENTAL_DIALOG_H_
