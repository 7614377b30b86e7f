#ifndef VIDORA_CORE_STORES_MESSAGE_SINK_H_
#define VIDORA_CORE_STORES_MESSAGE_SINK_H_

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vidora {

// How the core shows a plain diagnostic message box (fixed texts such as
// the catalogue loader's warnings or the HTTP client's digits): the UI
// installs a sink that shows a modal box with an OK button and returns
// when it is dismissed; tests install one that collects the texts. An
// empty caption means a box without a caption. Without a sink the text
// goes to standard error.
//
// The sink is called on the thread that reports the message; the UI's sink
// must hand calls from other threads to the UI thread.
using MessageSink = std::function<void(const std::u16string& text, const std::u16string& caption)>;

// Installs `sink` (an empty function restores the standard-error sink).
// Call on the UI thread before other threads start.
void SetMessageSink(MessageSink sink);

// Shows `text` through the installed sink and returns when it is done.
void ShowPlainMessage(const std::u16string& text, const std::u16string& caption = {});

// While one lives, ShowPlainMessage calls on the thread that made it are
// kept in `messages` (text, caption) instead of being shown, so that work
// on a worker thread can hand its messages to the UI thread to show in
// order. Lives on one thread; captures nest (the newest one collects).
class ScopedMessageCapture {
 public:
  ScopedMessageCapture();
  ~ScopedMessageCapture();
  ScopedMessageCapture(const ScopedMessageCapture&) = delete;
  ScopedMessageCapture& operator=(const ScopedMessageCapture&) = delete;

  std::vector<std::pair<std::u16string, std::u16string>> messages;

 private:
  ScopedMessageCapture* outer_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_MESSAGE_SINK_H_
