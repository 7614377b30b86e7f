#include "ui/playback/control_panel.h"

#include <QPainter>
#include <QPushButton>
#include <QSlider>

#include "core/stores/settings_store.h"
#include "ui/playback/bar_slices.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/view_messages.h"
#include "ui/stores/resource_pack.h"
#include "ui/stores/ui_texts.h"

namespace vidora {

ControlPanel::ControlPanel(QWidget* parent, ViewMessageTarget* view_target, FrameCommandSender send_frame_command,
                           VolumeHandler on_volume)
    : QWidget(parent),
      view_target_(view_target),
      send_frame_command_(std::move(send_frame_command)),
      on_volume_(std::move(on_volume)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  play_ = new QPushButton(this);
  full_screen_ = new QPushButton(this);
  previous_ = new QPushButton(this);
  next_ = new QPushButton(this);
  SetControlId(play_, kPlayButtonId);
  SetControlId(full_screen_, kFullScreenButtonId);
  SetControlId(previous_, kPreviousButtonId);
  SetControlId(next_, kNextButtonId);
  auto* volume = new QSlider(Qt::Horizontal, this);
  volume_ = volume;
  SetControlId(volume_, kVolumeTrackbarId);
  volume_->setRange(0, 100);
  volume_->setSingleStep(5);
  volume_->setValue(GetIntSetting("sound_volume", 50));

  connect(play_, &QAbstractButton::clicked, this, [this] { OnPlayClicked(); });
  connect(full_screen_, &QAbstractButton::clicked, this, [this] {
    if (send_frame_command_) send_frame_command_(ID_FULLSCREEN);
  });
  connect(previous_, &QAbstractButton::clicked, this, [this] {
    if (view_target_ != nullptr) view_target_->SendViewMessage(WM_STEP_FAVOURITE, 0, nullptr);
  });
  connect(next_, &QAbstractButton::clicked, this, [this] {
    if (view_target_ != nullptr) view_target_->SendViewMessage(WM_STEP_FAVOURITE, 1, nullptr);
  });
  connect(volume_, &QAbstractSlider::valueChanged, this, [this](int level) {
    if (on_volume_) on_volume_(level);
  });
}

void ControlPanel::OnPlayClicked() {
  if (view_target_ == nullptr) return;
  if (playing_) {
    view_target_->SendViewMessage(WM_STOP_PLAYBACK, 0, nullptr);
  } else {
    view_target_->SendViewMessage(WM_PLAY_CHANNEL, 0, nullptr);
  }
}

void ControlPanel::SetPlaying(bool playing) {
  if (playing == playing_) return;
  playing_ = playing;
}

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
  DrawBarSlices(painter, Skin().TallBarStrip(), width(), height());
}

}  // namespace vidora
