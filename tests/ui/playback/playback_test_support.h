#ifndef VIDORA_TESTS_UI_PLAYBACK_PLAYBACK_TEST_SUPPORT_H_
#define VIDORA_TESTS_UI_PLAYBACK_PLAYBACK_TEST_SUPPORT_H_

#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/commands/view_requests.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "ui/playback/playback_control.h"

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

// Stands in for the main view: records the requests and runs the playback
// ones on `control`, as the view does.
class RecordingViewTarget : public ViewRequests {
 public:
  enum class Kind { kPlayChannel, kStopPlayback, kToggleFullLayout, kStepFavourite };
  struct Request {
    Kind kind;
    bool forward;      // kStepFavourite only
    Channel* channel;  // kPlayChannel only
  };

  void PlayChannel(Channel* channel) override {
    requests.push_back({Kind::kPlayChannel, false, channel});
    if (control != nullptr) control->PlayChannel(channel);
  }
  void StopPlayback() override {
    requests.push_back({Kind::kStopPlayback, false, nullptr});
    if (control != nullptr) control->StopPlayback();
  }
  void ToggleFullLayout() override { requests.push_back({Kind::kToggleFullLayout, false, nullptr}); }
  void StepFavourite(bool forward) override {
    requests.push_back({Kind::kStepFavourite, forward, nullptr});
    if (control != nullptr) control->StepFavourite(forward);
  }

  PlaybackControl* control = nullptr;
  std::vector<Request> requests;
};

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_PLAYBACK_PLAYBACK_TEST_SUPPORT_H_
