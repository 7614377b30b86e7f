#ifndef VIDORA_CORE_COMMANDS_VIEW_REQUESTS_H_
#define VIDORA_CORE_COMMANDS_VIEW_REQUESTS_H_

namespace vidora {

class Channel;

// What the rest of the player asks of the main view. Every request is
// handled synchronously, on the UI thread, before the call returns. The
// main view implements it; tests record the calls.
class ViewRequests {
 public:
  virtual ~ViewRequests() = default;

  // Plays `channel` (borrowed from the catalogue), or the catalogue's
  // current channel when it is null.
  virtual void PlayChannel(Channel* channel) = 0;
  // Stops the player and gives the play button its Play glyphs.
  virtual void StopPlayback() = 0;
  // Switches between the normal and the full-screen layout of the view.
  virtual void ToggleFullLayout() = 0;
  // Plays the next (`forward`) or previous favourite, if there is one.
  virtual void StepFavourite(bool forward) = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_COMMANDS_VIEW_REQUESTS_H_
