#ifndef VIDORA_UI_SETTINGS_SETTINGS_AUTOSAVE_H_
#define VIDORA_UI_SETTINGS_SETTINGS_AUTOSAVE_H_

#include <QObject>
#include <QTimer>

#include <functional>

namespace vidora {

// Saves the process-wide settings a short while after they last changed
// (kDelayMs of quiet), so that a crash or a power loss loses at most a few
// seconds of changes; the save itself is the usual atomic replacement.
// `before_save` (optional) brings values that are not kept as they change
// up to date first (the window's place). Listens to the settings while it
// lives; one at a time. UI thread only.
class SettingsAutosave : public QObject {
  Q_OBJECT

 public:
  static constexpr int kDelayMs = 1500;

  explicit SettingsAutosave(std::function<void()> before_save = {}, QObject* parent = nullptr);
  ~SettingsAutosave() override;

  // Something worth saving changed: the save comes kDelayMs later.
  void Changed();
  // Drops a due save (the close sequence saves anyway).
  void Cancel() { timer_.stop(); }
  bool pending() const { return timer_.isActive(); }

 private:
  void Save();

  std::function<void()> before_save_;
  QTimer timer_;
  bool saving_ = false;
};

}  // namespace vidora

#endif  // VIDORA_UI_SETTINGS_SETTINGS_AUTOSAVE_H_
