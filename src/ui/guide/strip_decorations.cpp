#include "ui/guide/strip_decorations.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <algorithm>

#include "core/catalogue/channel_catalogue.h"
#include "ui/guide/guide_page.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

QString NowNextLine(const Channel& channel) {
  PlaylistManager* playlists = PlaylistManager::Current();
  if (playlists == nullptr) return {};
  const ChannelProgrammes::NowNext guide = playlists->GuideNowNext(channel);
  QString line;
  if (guide.now) line = GuideClock(guide.now->start) + QLatin1Char(' ') + playlists->GuideText(guide.now->title);
  if (guide.next) {
    if (!line.isEmpty()) line += QStringLiteral(" \u00B7 ");
    line += GuideClock(guide.next->start) + QLatin1Char(' ') + playlists->GuideText(guide.next->title);
  }
  return line;
}

void PaintStripDecorations(QPainter& painter, int width, int unit, QRect& text, const QString& status) {
  PlaylistManager* playlists = PlaylistManager::Current();
  const ChannelCatalogue* catalogue = Catalogue();
  const Channel* channel = catalogue != nullptr ? catalogue->CurrentChannel() : nullptr;
  if (playlists == nullptr || channel == nullptr || !playlists->FindChannel(*channel)) return;

  if (const QImage* logo = playlists->Logo(*channel)) {
    const QSize fitted = logo->size().scaled(2 * unit, unit - 4, Qt::KeepAspectRatio);
    const QRect place(QPoint(width - 3 - fitted.width(), (unit - fitted.height()) / 2), fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(place, *logo);
    text.setRight(place.left() - 4);
  }
  const QString line = NowNextLine(*channel);
  if (line.isEmpty()) return;
  painter.setFont(Skin().SmallFont());
  painter.setPen(QColor(230, 200, 120));
  // The guide line takes what the status text leaves in the lower half.
  const int status_width = QFontMetrics(painter.font()).horizontalAdvance(status) + unit / 2;
  const QRect room(text.left() + status_width, unit / 2, std::max(0, text.width() - status_width), unit - unit / 2);
  painter.drawText(room, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                   QFontMetrics(painter.font()).elidedText(line, Qt::ElideRight, room.width()));
}

void FollowDecorations(QWidget* strip) {
  if (PlaylistManager* playlists = PlaylistManager::Current()) {
    QObject::connect(playlists, &PlaylistManager::DecorationsChanged, strip, qOverload<>(&QWidget::update));
  }
}

}  // namespace vidora
