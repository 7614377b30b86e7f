#include "ui/dialogs/system_sound.h"

#include <dlfcn.h>

#include <cstdint>

namespace vidora {

namespace {

// The few libcanberra entry points used, looked up by name so that the
// library is never a link-time dependency.
struct Canberra {
  using CreateFn = int (*)(void** context);
  using PlayFn = int (*)(void* context, uint32_t id, ...);

  void* context = nullptr;
  PlayFn play = nullptr;

  Canberra() {
    void* library = dlopen("libcanberra.so.0", RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr) return;
    auto create = reinterpret_cast<CreateFn>(dlsym(library, "ca_context_create"));
    play = reinterpret_cast<PlayFn>(dlsym(library, "ca_context_play"));
    if (create == nullptr || play == nullptr || create(&context) != 0) {
      context = nullptr;
      play = nullptr;
    }
    // The library stays loaded for the rest of the run: the context and
    // its sound threads live in it.
  }
};

std::function<void(const std::string&)>& Player() {
  static std::function<void(const std::string&)> player;
  return player;
}

}  // namespace

void PlaySystemSound(const std::string& event_id) {
  if (Player()) {
    Player()(event_id);
    return;
  }
  static Canberra canberra;
  if (canberra.play == nullptr) return;
  canberra.play(canberra.context, 0, "event.id", event_id.c_str(), static_cast<const char*>(nullptr));
}

void SetSystemSoundPlayer(std::function<void(const std::string&)> player) { Player() = std::move(player); }

}  // namespace vidora
