#include "ui/shell/main_view.h"

#include <QPainter>
#include <QResizeEvent>

#include "core/catalogue/channel_catalogue.h"
#include "core/updates/update_service.h"
#include "core/stores/language_pack.h"
#include "core/stores/message_sink.h"
#include "core/stores/settings_store.h"
#include "ui/dialogs/loading_screen.h"
#include "ui/history/watch_history.h"
#include "ui/jobs/background_jobs.h"
#include "ui/shell/main_actions.h"
#include "ui/shell/qt_update_ui.h"
#include "ui/skin/resource_pack.h"
#include "ui/lifecycle/ui_thread.h"

namespace vidora {

namespace {
constexpr int kViewTickMs = 500;

// What the catalogue takes from the application: the language pack's
// texts, the skin's flags, warnings as plain messages and the `HideAD`
// setting.
CatalogueOptions ApplicationCatalogueOptions() {
  CatalogueOptions options;
  options.text = [](std::string_view key) { return GetText(key); };
  options.image = [](std::string_view name) { return FindImage(name); };
  options.warning = [](const std::u16string& text) { ShowPlainMessage(text); };
  options.hide_category = [] { return static_cast<bool>(GetSetting(kHideAdultSetting)); };
  return options;
}

}  // namespace

MainView::MainView(QWidget* frame, const MainActions* actions, MainViewOptions options)
    : QWidget(frame), frame_(frame), actions_(actions), options_(std::move(options)) {
  AssertUiThread();
  setAttribute(Qt::WA_OpaquePaintEvent);  // the paint handler fills what the strips leave
  elapsed_ms_ = 0;
  full_screen_layout_ = false;
  playback_ = std::make_unique<PlaybackControl>(this, this,
                                                actions_ != nullptr ? actions_->Get(MainCommand::kFullScreen) : nullptr);
  FollowWatchedChannels(playback_.get());
  ChannelCatalogue& catalogue =
      options_.catalogue_file.empty() ? LoadCatalogue(kCatalogueFileName, ApplicationCatalogueOptions())
                                      : LoadCatalogueFile(options_.catalogue_file, ApplicationCatalogueOptions());
  playlists_ = std::make_unique<PlaylistManager>(catalogue);
  // The first layout replaces this rectangle.
  playback_->Start(PlaybackControl::FirstPlayerRect(size()), options_.backend);
  update_ui_ = std::make_unique<QtUpdateUi>(frame_, this, actions_);
  updates_ = std::make_unique<UpdateService>(*update_ui_, catalogue, std::make_unique<BackgroundJobs>(this));
  if (VIDORA_UPDATE_CHECKS) updates_->StartAutomaticChecks();
  if (frame_ != nullptr) frame_->installEventFilter(this);
  connect(&timer_, &QTimer::timeout, this, &MainView::Tick);
  timer_.start(kViewTickMs);
}

MainView::~MainView() {
  timer_.stop();
  if (frame_ != nullptr) frame_->removeEventFilter(this);
  if (playback_) playback_->End();
  // Cancels running checks and ends their runner.
  updates_.reset();
  playlists_.reset();
  update_ui_.reset();
  playback_.reset();
}

void MainView::PlayChannel(Channel* channel) {
  AssertUiThread();
  playback_->PlayChannel(channel);
}

void MainView::StopPlayback() {
  AssertUiThread();
  playback_->StopPlayback();
}

void MainView::ToggleFullLayout() {
  AssertUiThread();
  full_screen_layout_ = !full_screen_layout_;
  Relayout();
  update();
}

void MainView::StepFavourite(bool forward) {
  AssertUiThread();
  playback_->StepFavourite(forward);
}

void MainView::Relayout() {
  if (playback_) playback_->Layout(size(), full_screen_layout_);
}

void MainView::StopPlayer() {
  if (playback_) playback_->StopPlayer();
}

void MainView::Tick() {
  AssertUiThread();
  elapsed_ms_ += kViewTickMs;
  // An automatic update runs its dialogs when it is promoted; the loading
  // screen must be gone before they open, so what the checks found before
  // the first tick is offered only now.
  if (elapsed_ms_ == kViewTickMs) {
    CloseLoadingScreen();
    updates_->PromotePendingUpdates();
  }
  if (playback_ && playback_->player() != nullptr) {
    const bool full_screen = playback_->IsPlayerFullScreen();
    if (player_was_full_screen_ && !full_screen) Relayout();
    player_was_full_screen_ = full_screen;
  }
}

void MainView::RunUpdateCommand(UpdateCommand command) {
  AssertUiThread();
  if (command == UpdateCommand::kCatalogue) {
    updates_->RunCatalogueUpdateCommand();
  } else {
    updates_->RunApplicationUpdateCommand();
  }
}

bool MainView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == frame_ && event->type() == QEvent::WindowActivate) {
    // A finding that met a dialog in front of the frame is offered once the
    // frame is active again; from the event loop, not inside the activation.
    QTimer::singleShot(0, this, [this] {
      if (updates_) updates_->PromotePendingUpdates();
    });
  }
  return QWidget::eventFilter(watched, event);
}

void MainView::paintEvent(QPaintEvent*) {
  if (full_screen_layout_) return;  // the picture covers the view
  const int unit = BarUnit();
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(QRect(0, unit, width(), height() - 2 * unit), Skin().BackgroundBrush());
  const QRect player = playback_ ? playback_->PlayerRect() : QRect();
  if (player.isEmpty()) return;
  painter.setPen(Skin().FramePen());
  painter.setBrush(Qt::NoBrush);
  // One pixel around the player; an aliased 1-pixel outline of a QRect
  // covers one pixel more than the rectangle on the right and bottom.
  const QRect outline = player.adjusted(-1, -1, 1, 1);
  painter.drawRect(outline.adjusted(0, 0, -1, -1));
}

void MainView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Relayout();
}

}  // namespace vidora
