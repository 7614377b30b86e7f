#ifndef VIDORA_TESTS_UI_PLAYBACK_PLAYBACK_TEST_SUPPORT_H_
#define VIDORA_TESTS_UI_PLAYBACK_PLAYBACK_TEST_SUPPORT_H_

#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "ui/playback/playback_control.h"
#include "ui/shell/view_messages.h"

namespace vidora::testing {

// Adds a channel with one source (or none when `address` is empty).
inline DocNode* AddTestChannel(DocNode& country, const std::string& name, const std::u16string& address,
                               bool radio = false, const std::string& provider = {}) {
  DocNode* channel = country.AddChild(name);
  channel->SetWideString("n", std::u16string(name.begin(), name.end()));
  channel->SetString("c", "n");
  if (radio) channel->SetBool("r", true);
  if (!provider.empty()) channel->SetString("g", provider);
  if (!address.empty()) {
    DocNode* source = channel->AddChild("0");
    source->SetInt("b", 100);
    source->SetWideString("u", address);
  }
  return channel;
}

// Writes `root` as the catalogue file in `folder` and loads it as the
// process-wide catalogue.
inline ChannelCatalogue& LoadTestCatalogue(const DocNode& root, const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kCatalogueFileName;
  SaveDocumentFile(root, path);
  return LoadCatalogueFile(path);
}

// Stands in for the main view: records the private messages and runs the
// playback ones on `control`, as the view does.
class RecordingViewTarget : public ViewMessageTarget {
 public:
  struct Message {
    unsigned message;
    uintptr_t wparam;
    Channel* channel;
  };

  intptr_t SendViewMessage(unsigned message, uintptr_t wparam, Channel* channel) override {
    messages.push_back({message, wparam, channel});
    if (control == nullptr) return 0;
    if (message == WM_PLAY_CHANNEL) control->PlayChannel(channel);
    if (message == WM_STOP_PLAYBACK) control->StopPlayback();
    if (message == WM_STEP_FAVOURITE) control->StepFavourite(wparam);
    return 0;
  }

  PlaybackControl* control = nullptr;
  std::vector<Message> messages;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_PLAYBACK_PLAYBACK_TEST_SUPPORT_H_
