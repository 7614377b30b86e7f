#include "ui/desktop/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <algorithm>

#include "core/stores/settings_store.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

// The share of the work area a new window takes: room is left for other
// windows, and for the frame's decorations that the work area includes.
constexpr double kShareOfWidth = 0.6;
constexpr double kShareOfHeight = 0.85;
constexpr int kMinimumPictureWidth = 320;
constexpr int kMinimumPictureHeight = 120;

}  // namespace

QString FormatWindowPlace(const WindowPlace& place) {
  QString text = QStringLiteral("%1,%2,%3,%4")
                     .arg(place.normal.x())
                     .arg(place.normal.y())
                     .arg(place.normal.width())
                     .arg(place.normal.height());
  if (place.maximised) text += QStringLiteral(",max");
  return text;
}

std::optional<WindowPlace> ParseWindowPlace(const QString& text) {
  const QStringList parts = text.split(QLatin1Char(','));
  if (parts.size() != 4 && parts.size() != 5) return std::nullopt;
  int values[4] = {};
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    values[i] = parts[i].trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
  }
  if (values[2] <= 0 || values[3] <= 0) return std::nullopt;
  WindowPlace place;
  place.normal = QRect(values[0], values[1], values[2], values[3]);
  if (parts.size() == 5) {
    if (parts[4].trimmed() != QLatin1String("max")) return std::nullopt;
    place.maximised = true;
  }
  return place;
}

QSize DefaultWindowSize(const QRect& available, int chrome, int side) {
  const int max_width = static_cast<int>(available.width() * kShareOfWidth);
  const int max_height = static_cast<int>(available.height() * kShareOfHeight);
  int width = 0;
  int height = 0;
  if (available.width() > available.height()) {
    // A 16:9 picture as wide as the share allows, lower if the height
    // runs out.
    int picture_width = max_width - side;
    int picture_height = picture_width * 9 / 16;
    if (picture_height + chrome > max_height) {
      picture_height = max_height - chrome;
      picture_width = picture_height * 16 / 9;
    }
    width = picture_width + side;
    height = picture_height + chrome;
  } else {
    // The handheld's 3:4 frame.
    width = std::min(available.width() * 8 / 10, max_height * 3 / 4);
    height = width * 4 / 3;
  }
  const QSize minimum = MinimumWindowSize(chrome);
  width = std::clamp(width, std::min(minimum.width(), available.width()), available.width());
  height = std::clamp(height, std::min(minimum.height(), available.height()), available.height());
  return QSize(width, height);
}

QSize MinimumWindowSize(int chrome) { return QSize(kMinimumPictureWidth, kMinimumPictureHeight + chrome); }

QRect ChooseWindowRect(const std::optional<WindowPlace>& remembered, const QList<QRect>& screens,
                       const QSize& fallback) {
  if (remembered.has_value()) {
    const QRect wanted = remembered->normal;
    const QRect* best = nullptr;
    qint64 best_area = 0;
    for (const QRect& screen : screens) {
      const QRect overlap = screen.intersected(wanted);
      const qint64 area = static_cast<qint64>(overlap.width()) * overlap.height();
      if (area > best_area) {
        best_area = area;
        best = &screen;
      }
    }
    // Half of it on one screen: the title bar can still be reached.
    const qint64 wanted_area = static_cast<qint64>(wanted.width()) * wanted.height();
    if (best != nullptr && best_area * 2 >= wanted_area) {
      QRect rect(wanted.topLeft(), wanted.size().boundedTo(best->size()));
      // Pulled inside the screen that holds most of it.
      rect.moveLeft(std::clamp(rect.left(), best->left(), best->right() - rect.width() + 1));
      rect.moveTop(std::clamp(rect.top(), best->top(), best->bottom() - rect.height() + 1));
      return rect;
    }
  }
  const QRect screen = screens.isEmpty() ? QRect(QPoint(0, 0), fallback) : screens.first();
  QRect rect(QPoint(0, 0), fallback.boundedTo(screen.size()));
  rect.moveCenter(screen.center());
  return rect;
}

void PlaceMainWindow(QWidget* frame) {
  // Strip and panel (three units), the picture's gaps and the soft keys.
  const int unit = BarUnit();
  const int chrome = 3 * unit + 2 * (unit / 8) + SoftKeyBar::BarHeight();
  const int side = 2 * (unit / 8);
  frame->setMinimumSize(MinimumWindowSize(chrome));

  QList<QRect> screens;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr) screens.push_back(primary->availableGeometry());
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary) screens.push_back(screen->availableGeometry());
  }
  if (screens.isEmpty()) return;
  const auto remembered = ParseWindowPlace(ToQString(GetSetting(kWindowGeometrySetting)));
  const QRect rect = ChooseWindowRect(remembered, screens, DefaultWindowSize(screens.first(), chrome, side));
  // The stored place is the client area's (geometry()); move() would put
  // the window manager's frame there instead, and the window would come
  // back lower and further right by the frame's edges at every start.
  frame->setGeometry(QRect(rect.topLeft(), rect.size().expandedTo(frame->minimumSize())));
  if (remembered.has_value() && remembered->maximised) frame->setWindowState(Qt::WindowMaximized);
}

void RememberMainWindow(const QWidget* frame) {
  WindowPlace place;
  // Full screen and maximised keep the normal place to come back to.
  place.normal = frame->isMaximized() || frame->isFullScreen() ? frame->normalGeometry() : frame->geometry();
  if (!place.normal.isValid()) place.normal = frame->geometry();
  place.maximised = frame->isMaximized();
  SetSetting(kWindowGeometrySetting, FromQString(FormatWindowPlace(place)));
}

}  // namespace vidora
