#ifndef VIDORA_UI_GUIDE_GUIDE_PAGE_H_
#define VIDORA_UI_GUIDE_GUIDE_PAGE_H_

#include <QListWidget>
#include <QString>

#include <cstdint>
#include <vector>

#include "core/guide/channel_programmes.h"
#include "core/guide/guide_store.h"

namespace vidora {

class Channel;
class PlaylistManager;

// The "Guide" page of the channels dialog: one channel's programmes of
// today (local time; one still running from yesterday included), one row
// each, "HH:MM  Title", the running one marked ("▶", bold) and selected;
// "str_no_guide" when there are none. Escape, Backspace and Left ask to go
// back (BackRequested), Enter to play (PlayRequested). UI thread only.
class GuidePage : public QListWidget {
  Q_OBJECT

 public:
  explicit GuidePage(QWidget* parent = nullptr);

  // Fills the page for `channel` at the manager's clock; the channel is
  // borrowed until the next Show or Clear.
  void Show(const PlaylistManager& manager, const Channel& channel);
  // Fills it again (a new guide, a new minute).
  void Refresh(const PlaylistManager& manager);
  void Clear();
  const Channel* channel() const { return channel_; }
  // The row of the running programme, or -1.
  int RunningRow() const { return running_row_; }

 signals:
  void BackRequested();
  void PlayRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  const Channel* channel_ = nullptr;
  int running_row_ = -1;
};

// The programmes of `programmes` (in time order, shifted as shown) that
// run on the local day of `now`.
std::vector<ProgrammeRecord> ProgrammesOfToday(const ChannelProgrammes& programmes, int64_t now);

// "HH:MM" of a guide time in the local time zone.
QString GuideClock(int64_t seconds);

}  // namespace vidora

#endif  // VIDORA_UI_GUIDE_GUIDE_PAGE_H_
