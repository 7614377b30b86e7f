#include "core/playback/player_window.h"

#include <utility>

namespace vidora {

PlayerRegistryMap& PlayerRegistry() {
  static PlayerRegistryMap registry;
  return registry;
}

PlayerWindow::PlayerWindow(std::u16string name) : name_(std::move(name)) { PlayerRegistry()[name_] = this; }

PlayerWindow::~PlayerWindow() {
  // A player can go before the process ends (tests, the view's end); the
  // registry must never hold a dangling entry.
  auto it = PlayerRegistry().find(name_);
  if (it != PlayerRegistry().end() && it->second == this) PlayerRegistry().erase(it);
}

void PlayerWindow::Move(int, int, int, int) {}
void PlayerWindow::SetVolume(int) {}
void PlayerWindow::ToggleFullScreen() {}
bool PlayerWindow::IsFullScreen() const { return false; }

}  // namespace vidora
