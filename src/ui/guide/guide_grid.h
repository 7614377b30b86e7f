#ifndef VIDORA_UI_GUIDE_GUIDE_GRID_H_
#define VIDORA_UI_GUIDE_GUIDE_GRID_H_

#include <QElapsedTimer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/guide/channel_programmes.h"
#include "core/guide/guide_store.h"

namespace vidora {

class Channel;
class PlaylistManager;

// Whether a channel's `name` starts with typed `text`, letter case and
// accents aside ("ARTE" starts "Arté HD").
bool NameStartsWith(const QString& name, const QString& text);

// When a chosen programme runs, seen from the guide's clock.
enum class ProgrammeTime { kPast, kRunning, kFuture };

// A programme the user chose (Enter, a double click) in the grid. Past
// ones are for catch-up, future ones for reminders and recording; the
// channel is borrowed from the catalogue.
struct ChosenProgramme {
  const Channel* channel = nullptr;
  ProgrammeRecord programme;
  ProgrammeTime when = ProgrammeTime::kFuture;
  // Shift+Enter: the running programme is asked for from its start.
  bool from_start = false;
};

// The programme guide as a grid: channels down (the channel's number as the
// channels dialog and zapping show it, logo, name), time
// across in half-hour columns, a line at "now", each programme a block as
// wide as it lasts with its title cut with an ellipsis; running ones
// marked, past ones dimmed, the selected one framed. Painted, not built of
// widgets: only the visible rows and blocks are looked at, so 10,000
// channels over three weeks cost what one screen costs. Times are as the
// manager gives them: each channel's tvg-shift applied.
//
// Keys: Left/Right the previous or next programme (half an hour on an
// empty row), Up/Down the channel, Page Up/Down a day back or ahead, Home
// now, digits a channel number (digits typed within a second and a half
// make one number; the row of the channel with that number is selected);
// Enter chooses the selected programme
// (ProgrammeChosen; with Shift from its start), R asks to record it or not (RecordAsked); another
// letter asks for a search (SearchTyped). Wheel:
// channels; with Shift: time. The store and channels are read through
// `manager`. UI thread only.
class GuideGrid : public QWidget {
  Q_OBJECT

 public:
  explicit GuideGrid(PlaylistManager& manager, QWidget* parent = nullptr);

  // The rows; borrowed from the catalogue until the next call.
  void SetChannels(std::vector<const Channel*> channels);
  const std::vector<const Channel*>& channels() const { return channels_; }
  // Whether the programme of `channel` starting at `start` has a reminder
  // (drawn as a bell).
  void SetReminderCheck(std::function<bool(const Channel&, int64_t)> check) { has_reminder_ = std::move(check); }
  // Whether the programme of `channel` starting at `start` is scheduled
  // for recording (drawn with a red dot).
  void SetRecordingCheck(std::function<bool(const Channel&, int64_t)> check) { has_recording_ = std::move(check); }
  // Whether `channel` keeps an archive of past programmes (a "⟲" before
  // its name).
  void SetArchiveCheck(std::function<bool(const Channel&)> check) { has_archive_ = std::move(check); }
  bool HasArchive(const Channel& channel) const { return has_archive_ && has_archive_(channel); }

  // Moves the selection to the programme running now on the selected row.
  void JumpToNow();
  // Shows the day `days` from today (local time) at the hour now has.
  void ShowDay(int days);
  // Selects `row` and the programme there covering `time` (or the time
  // alone on an empty row), scrolling both into view.
  void Select(int row, int64_t time);

  int64_t view_start() const { return view_start_; }
  int64_t view_end() const;
  int first_row() const { return first_row_; }
  int selected_row() const { return selected_row_; }
  int64_t cursor_time() const { return cursor_; }
  const Channel* SelectedChannel() const;
  // The selected programme, or none (an empty slot).
  std::optional<ProgrammeRecord> SelectedProgramme() const;
  // Selects the row of the channel numbered `number` (ChannelNumber) at
  // the selected time; false (nothing changes) when no row has it.
  bool SelectNumber(const QString& number);
  // The channel's number as the grid shows it.
  QString NumberOf(const Channel& channel) const;

  // A programme block on screen.
  struct Block {
    QRect rect;
    int row = 0;
    ProgrammeRecord programme;
  };
  std::vector<Block> VisibleBlocks() const;
  bool IsSelected(const Block& block) const;
  // "HH:MM Title" (local time), the accessible name of a block.
  QString BlockName(const ProgrammeRecord& programme) const;

  static constexpr int64_t kColumnSeconds = 30 * 60;

 signals:
  void ProgrammeChosen(const ChosenProgramme& chosen);
  void RecordAsked(const ChosenProgramme& chosen);
  void SelectionChanged();
  void SearchTyped(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int RowHeight() const;
  int HeaderHeight() const;
  int NameWidth() const;
  int VisibleRows() const;
  int ColumnWidth() const;
  int XOf(int64_t time) const;
  int64_t TimeAt(int x) const;
  ChannelProgrammes RowProgrammes(int row) const;
  void StepProgramme(int direction);
  void KeepSelectionVisible();
  // The selected programme with when it runs; false on an empty slot.
  bool Chosen(ChosenProgramme& chosen) const;
  void Choose(bool from_start = false);
  void Changed();

  PlaylistManager& manager_;
  std::vector<const Channel*> channels_;
  std::function<bool(const Channel&, int64_t)> has_reminder_;
  std::function<bool(const Channel&, int64_t)> has_recording_;
  std::function<bool(const Channel&)> has_archive_;
  int64_t view_start_ = 0;
  int64_t cursor_ = 0;
  int first_row_ = 0;
  int selected_row_ = 0;
  QString typed_number_;
  QElapsedTimer typed_at_;
};

}  // namespace vidora

#endif  // VIDORA_UI_GUIDE_GUIDE_GRID_H_
