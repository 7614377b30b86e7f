#include "ui/playback/control_panel.h"

#include <QAction>
#include <QPainter>
#include <QSignalBlocker>

#include <string_view>

#include "core/commands/view_requests.h"
#include "ui/dialogs/image_button.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/playback/volume_trackbar.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"
#include "ui/lifecycle/ui_thread.h"

namespace vidora {
namespace {

void Describe(QWidget* control, std::string_view name_key, std::string_view tip_key) {
  control->setAccessibleName(Text(name_key));
  control->setAccessibleDescription(Text(tip_key));
  control->setToolTip(Text(tip_key));
}

ImageButton* MakeButton(QWidget* parent, const GlyphSet& glyphs) {
  auto* button = new ImageButton(parent);
  // The panel's layout sizes the buttons, not their glyphs.
  button->set_keep_size(true);
  button->SetImages(glyphs);
  return button;
}

}  // namespace

ControlPanel::ControlPanel(QWidget* parent, ViewRequests* view, QAction* full_screen, VolumeHandler on_volume)
    : QWidget(parent),
      view_(view),
      full_screen_action_(full_screen),
      on_volume_(std::move(on_volume)) {
  AssertUiThread();
  setAttribute(Qt::WA_OpaquePaintEvent);
  play_ = MakeButton(this, Skin().PlayGlyphs());
  full_screen_ = MakeButton(this, Skin().FrameGlyphs());
  previous_ = MakeButton(this, Skin().PreviousGlyphs());
  next_ = MakeButton(this, Skin().NextGlyphs());
  play_->setObjectName(QStringLiteral("play"));
  full_screen_->setObjectName(QStringLiteral("full_screen"));
  previous_->setObjectName(QStringLiteral("previous"));
  next_->setObjectName(QStringLiteral("next"));
  volume_ = new VolumeTrackbar(this);
  volume_->setObjectName(QStringLiteral("volume"));
  volume_->setRange(0, 100);
  volume_->setSingleStep(5);
  // Names for screen readers; tooltips name the action and its key.
  Describe(full_screen_, "menu_fullscreen", "tip_full_screen");
  Describe(previous_, "acc_previous", "tip_previous");
  Describe(next_, "acc_next", "tip_next");
  Describe(volume_, "acc_volume", "tip_volume");
  DescribePlayButton();

  connect(play_, &QAbstractButton::clicked, this, [this] { OnPlayClicked(); });
  connect(full_screen_, &QAbstractButton::clicked, this, [this] {
    if (full_screen_action_ != nullptr) full_screen_action_->trigger();
  });
  connect(previous_, &QAbstractButton::clicked, this, [this] {
    if (view_ != nullptr) view_->StepFavourite(false);
  });
  connect(next_, &QAbstractButton::clicked, this, [this] {
    if (view_ != nullptr) view_->StepFavourite(true);
  });
  connect(volume_, &QAbstractSlider::valueChanged, this, [this](int level) {
    if (on_volume_) on_volume_(level);
  });
}

void ControlPanel::ShowVolume(int level, bool muted) {
  // The owner applied it already; the trackbar only follows.
  const QSignalBlocker blocker(volume_);
  volume_->setValue(level);
  volume_->SetMuted(muted);
}

void ControlPanel::OnPlayClicked() {
  if (view_ == nullptr) return;
  if (playing_) {
    view_->StopPlayback();
  } else {
    view_->PlayChannel(nullptr);
  }
}

void ControlPanel::SetPlaying(bool playing) {
  AssertUiThread();
  if (playing == playing_) return;
  playing_ = playing;
  play_->SetImages(playing ? Skin().StopGlyphs() : Skin().PlayGlyphs());
  DescribePlayButton();
}

void ControlPanel::DescribePlayButton() { Describe(play_, playing_ ? "acc_stop" : "acc_play", "tip_play_stop"); }

void ControlPanel::resizeEvent(QResizeEvent*) {
  const int unit = BarUnit();
  const int width = this->width();
  const int size = unit * 10 / 6;
  const int gap = unit / 16;
  const int y = (2 * unit - size) / 2;
  const int track_height = unit * 5 / 6;
  play_->setGeometry(gap, y, size, size);
  full_screen_->setGeometry(size + 2 * gap, y, size, size);
  next_->setGeometry(width - gap - size, y, size, size);
  previous_->setGeometry(width - 2 * (size + gap), y, size, size);
  volume_->setGeometry(2 * size + 3 * gap, (2 * unit - track_height) / 2, width - 4 * size - 6 * gap, track_height);
}

void ControlPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawBarStrip(painter, Skin().TallBarStrip(), rect());
}

}  // namespace vidora
