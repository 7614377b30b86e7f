#include "ui/dialogs/loading_screen.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "core/stores/language_pack.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

QPointer<LoadingScreen> g_screen;

}  // namespace

QSize ScaleSplash(QSize image, int client_width) {
  int w = image.width();
  int h = image.height();
  if (w <= 0 || client_width <= 0) return image;
  if (w > client_width) {
    while (w > client_width) {
      w /= 2;
      h /= 2;
    }
  } else {
    while (w < client_width / 2) {
      w *= 2;
      h *= 2;
    }
  }
  return QSize(w, h);
}

LoadingScreen::LoadingScreen(const SkinImage* splash) : SkinnedDialog(nullptr, Size::kOwn), splash_(splash) {
  ApplyDialogFont(this);
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  // 137 x 35 dialog units with the text at (11, 19), 118 x 9.
  QRect window = DialogUnitRect(0, 0, 137, 35);
  if (QScreen* screen = QGuiApplication::primaryScreen()) window.moveCenter(screen->availableGeometry().center());
  setGeometry(window);

  setWindowTitle(QStringLiteral("%1 %2").arg(ToQString(AppTitle()), QString::fromUtf16(kAppVersion)));
  text_ = new QLabel(Text("static_loading"), this);
  text_->setObjectName(QStringLiteral("text"));
  text_->setGeometry(DialogUnitRect(11, 19, 118, 9));

  if (splash_ != nullptr && !splash_->size().isEmpty()) {
    const int cw = window.width();
    const int wh = window.height();
    const QSize image = ScaleSplash(splash_->size(), cw);
    const int left = (cw - image.width()) / 2;
    image_rect_ = QRect(left, wh, image.width(), image.height());
    setGeometry(window.x(), window.y() - 2 * image.height() / 3, window.width(), wh + 4 * image.height() / 3);
  }
}

bool LoadingScreen::HandleCommand(int command) {
  // Only CloseLoadingScreen ends the screen; Escape does not.
  return command == kCancelCommand;
}

void LoadingScreen::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
  if (splash_ != nullptr && !image_rect_.isEmpty()) splash_->Draw(painter, image_rect_);
  painter.setPen(Skin().FramePen());
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (!painted_) {
    painted_ = true;
    emit FirstPainted();
  }
}

bool LoadingScreen::shown_on_screen() const {
  const QWindow* window = windowHandle();
  return painted_ && window != nullptr && window->isExposed();
}

void ShowLoadingScreen(int bound_ms) {
  if (g_screen) return;
  g_screen = new LoadingScreen(SplashImage());
  LoadingScreen* screen = g_screen;
  screen->show();
  if (screen->shown_on_screen()) return;
  QEventLoop loop;
  // Queued: the loop ends once the paint that was just done has been
  // flushed to the window system and the event that caused it returned.
  QObject::connect(screen, &LoadingScreen::FirstPainted, &loop, &QEventLoop::quit, Qt::QueuedConnection);
  QObject::connect(screen, &QObject::destroyed, &loop, &QEventLoop::quit);
  QTimer::singleShot(bound_ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void CloseLoadingScreen() {
  if (!g_screen) return;
  LoadingScreen* screen = g_screen;
  g_screen = nullptr;
  screen->done(1);
  screen->deleteLater();
}

LoadingScreen* CurrentLoadingScreen() { return g_screen; }

QWidget* LastingOwner(QWidget* instead) {
  QWidget* active = QApplication::activeWindow();
  if (active == nullptr || (g_screen && active == g_screen.data())) return instead;
  return active;
}

}  // namespace vidora
