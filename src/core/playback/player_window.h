#ifndef VIDORA_CORE_PLAYBACK_PLAYER_WINDOW_H_
#define VIDORA_CORE_PLAYBACK_PLAYER_WINDOW_H_

#include <map>
#include <string>

namespace vidora {

// The base of every registered player. Constructing one enters it into
// PlayerRegistry under its name (replacing an earlier entry of that name);
// destroying it takes it out again if the entry is still its own.
// Operations are skipped by derived players while `connected` is false.
// UI thread only.
class PlayerWindow {
 public:
  explicit PlayerWindow(std::u16string name);
  virtual ~PlayerWindow();
  PlayerWindow(const PlayerWindow&) = delete;
  PlayerWindow& operator=(const PlayerWindow&) = delete;

  virtual void Play(const std::u16string& address) = 0;
  virtual void Stop() = 0;
  // Moves the player's window; the base has no window and does nothing.
  virtual void Move(int x, int y, int width, int height);
  // 0-100; the base ignores it.
  virtual void SetVolume(int level);
  virtual void ToggleFullScreen();
  virtual bool IsFullScreen() const;

  const std::u16string& name() const { return name_; }
  bool connected() const { return connected_; }

 protected:
  void set_connected(bool connected) { connected_ = connected; }

 private:
  std::u16string name_;
  bool connected_ = false;
};

// The process-wide players by name (ordered), not owning. UI thread only.
using PlayerRegistryMap = std::map<std::u16string, PlayerWindow*>;
PlayerRegistryMap& PlayerRegistry();

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_PLAYER_WINDOW_H_
