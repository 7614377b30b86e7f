#include "ui/playback/radio_window.h"

#include <QPainter>

#include "ui/skin/resource_pack.h"

namespace vidora {

RadioWindow::RadioWindow(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

QRect RadioWindow::PictureRect(const QSize& client, const QSize& picture) {
  const int left = (client.width() - picture.width()) >> 1;
  const int top = (client.height() - picture.height()) >> 1;
  return QRect(left, top, picture.width(), picture.height());
}

void RadioWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  const SkinImage* picture = FindImage("radio_player");
  if (picture == nullptr) return;
  picture->Draw(painter, PictureRect(size(), picture->size()));
}

}  // namespace vidora
