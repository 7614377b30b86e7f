#include "ui/settings/settings_autosave.h"

#include <QtGlobal>

#include "core/stores/settings_store.h"

namespace vidora {

SettingsAutosave::SettingsAutosave(std::function<void()> before_save, QObject* parent)
    : QObject(parent), before_save_(std::move(before_save)) {
  timer_.setSingleShot(true);
  timer_.setInterval(kDelayMs);
  connect(&timer_, &QTimer::timeout, this, &SettingsAutosave::Save);
  Settings().set_change_listener([this] { Changed(); });
}

SettingsAutosave::~SettingsAutosave() { Settings().set_change_listener({}); }

void SettingsAutosave::Changed() {
  // What before_save writes is part of the save under way.
  if (!saving_) timer_.start();
}

void SettingsAutosave::Save() {
  // Settings that were never loaded from a file have nowhere to go.
  if (Settings().path().empty()) return;
  saving_ = true;
  if (before_save_) before_save_();
  // A failure is said when the window closes (its save reports); here it
  // is only logged, since the next change tries again.
  if (!SaveSettings()) qWarning("settings: could not save %s", Settings().path().string().c_str());
  saving_ = false;
}

}  // namespace vidora
