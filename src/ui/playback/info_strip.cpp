#include "ui/playback/info_strip.h"

#include <QImage>
#include <QPainter>

#include "ui/accessibility/accessible_role.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/guide/strip_decorations.h"
#include "ui/skin/resource_pack.h"

namespace vidora {

InfoStrip::InfoStrip(QWidget* parent, ChannelNameSource channel_name)
    : QWidget(parent), channel_name_(std::move(channel_name)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  // A status bar to a screen reader, which then reads out its changes.
  SetAccessibleRole(this, QAccessible::StatusBar);
  FollowDecorations(this);
}

void InfoStrip::SetStatusText(const QString& text) {
  status_text_ = text;
  // The strip is painted: a screen reader reads its two lines from here.
  const QString channel = ChannelText();
  setAccessibleDescription(channel.isEmpty() ? text : channel + QStringLiteral(" \u2013 ") + text);
  update();
}

void InfoStrip::paintEvent(QPaintEvent*) {
  const int width = this->width();
  const int unit = BarUnit();
  const qreal ratio = devicePixelRatioF();
  QImage buffer(size() * ratio, QImage::Format_RGB32);
  buffer.setDevicePixelRatio(ratio);
  buffer.fill(Skin().BackgroundColour());
  {
    QPainter painter(&buffer);
    DrawBarStrip(painter, Skin().BarStrip(), QRect(0, 0, width, unit));
    QRect text_rect = rect().adjusted(3, 0, -3, 0);
    const QString name = ChannelText();
    if (!name.isNull()) PaintStripDecorations(painter, width, unit, text_rect, status_text_);
    if (!countdown_.isEmpty()) {
      painter.setFont(Skin().SmallBoldFont());
      painter.setPen(QColor(230, 200, 120));
      const int room = painter.fontMetrics().horizontalAdvance(countdown_);
      painter.drawText(QRect(text_rect.right() - room, 0, room + 1, unit / 2),
                       Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, countdown_);
      text_rect.setRight(text_rect.right() - room - unit / 4);
    }
    if (!name.isNull()) {
      painter.setFont(Skin().SmallBoldFont());
      painter.setPen(QColor(250, 250, 255));
      painter.drawText(QRect(text_rect.left(), 0, text_rect.width(), unit / 2),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, name);
    }
    painter.setFont(Skin().SmallFont());
    painter.setPen(QColor(200, 200, 210));
    painter.drawText(QRect(text_rect.left(), unit / 2, text_rect.width(), unit - unit / 2),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, status_text_);
  }
  QPainter(this).drawImage(0, 0, buffer);
}

void InfoStrip::SetCountdown(const QString& text) {
  if (text == countdown_) return;
  countdown_ = text;
  update();
}

}  // namespace vidora
