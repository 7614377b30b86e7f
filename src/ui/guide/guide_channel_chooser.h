#ifndef VIDORA_UI_GUIDE_GUIDE_CHANNEL_CHOOSER_H_
#define VIDORA_UI_GUIDE_GUIDE_CHANNEL_CHOOSER_H_

class QWidget;

namespace vidora {

class Channel;
class PlaylistManager;

// "Choose guide channel…": a list of the guide's channels (display name
// and id) with a search field, "Automatic" first; the choice is kept for
// `channel` and wins over every matching pass. Modal; UI thread.
void ChooseGuideChannel(QWidget* owner, PlaylistManager& manager, const Channel& channel);

}  // namespace vidora

#endif  // VIDORA_UI_GUIDE_GUIDE_CHANNEL_CHOOSER_H_
