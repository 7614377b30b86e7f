#include "ui/sleep/sleep_timer.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

#include "ui/playback/info_strip.h"
#include "ui/playback/playback_control.h"
#include "ui/playback/player_host.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

constexpr int kTickMs = 250;

}  // namespace

SleepTimer::SleepTimer(PlaybackControl* playback, std::function<void()> quit, QObject* parent)
    : QObject(parent),
      playback_(playback),
      quit_(std::move(quit)),
      clock_([] { return static_cast<int64_t>(QDateTime::currentMSecsSinceEpoch()); }) {
  timer_.setInterval(kTickMs);
  connect(&timer_, &QTimer::timeout, this, &SleepTimer::Tick);
  // The user's own volume change is heard at once; the fade goes on from
  // it at the next tick.
  if (playback_ != nullptr) connect(playback_, &PlaybackControl::VolumeChanged, this, [this] { faded_level_ = -1; });
}

SleepTimer::~SleepTimer() {
  timer_.stop();
  RestoreLevel();
}

void SleepTimer::StartMinutes(int minutes) { StartUntil(clock_() + int64_t{minutes} * 60'000); }

void SleepTimer::StartUntil(int64_t end_ms) {
  RestoreLevel();
  end_ms_ = end_ms;
  timer_.start();
  ShowCountdown(RemainingMs());
  emit ActiveChanged(true);
}

void SleepTimer::Cancel() {
  if (!active()) return;
  Stop();
  emit ActiveChanged(false);
}

void SleepTimer::Stop() {
  timer_.stop();
  end_ms_.reset();
  RestoreLevel();
  ShowCountdown(0);
}

int64_t SleepTimer::RemainingMs() const { return end_ms_ ? std::max<int64_t>(0, *end_ms_ - clock_()) : 0; }

QString SleepTimer::CountdownText(int64_t ms) {
  const int64_t seconds = (std::max<int64_t>(0, ms) + 999) / 1000;
  const int64_t h = seconds / 3600;
  const int64_t m = seconds / 60 % 60;
  const int64_t s = seconds % 60;
  const QString tail = QStringLiteral("%1:%2").arg(m, h > 0 ? 2 : 1, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
  return h > 0 ? QString::number(h) + QLatin1Char(':') + tail : tail;
}

void SleepTimer::ShowCountdown(int64_t remaining_ms) {
  InfoStrip* strip = playback_ != nullptr ? playback_->strip() : nullptr;
  if (strip == nullptr) return;
  strip->SetCountdown(active() ? Text("str_sleep_countdown").arg(CountdownText(remaining_ms)) : QString());
}

void SleepTimer::RestoreLevel() {
  if (faded_level_ < 0) return;
  faded_level_ = -1;
  if (playback_ != nullptr && playback_->player() != nullptr) playback_->player()->SetVolume(playback_->volume_level());
}

void SleepTimer::Tick() {
  if (!active()) return;
  const int64_t remaining = RemainingMs();
  ShowCountdown(remaining);
  if (remaining > 0) {
    if (remaining >= kFadeMs || playback_ == nullptr || playback_->player() == nullptr) return;
    // The level falls with the square of the time left: the ear hears the
    // first steps down as gently as the last ones.
    const double left = static_cast<double>(remaining) / kFadeMs;
    const int level = static_cast<int>(std::lround(playback_->volume_level() * left * left));
    if (level != faded_level_) {
      faded_level_ = level;
      playback_->player()->SetVolume(level);
    }
    return;
  }
  // Silence reached: stop first, so that the level given back is heard
  // only at the next play.
  if (playback_ != nullptr) playback_->StopPlayback();
  Stop();
  emit ActiveChanged(false);
  if (quit_at_end_ && quit_) quit_();
}

}  // namespace vidora
