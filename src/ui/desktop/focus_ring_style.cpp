#include "ui/desktop/focus_ring_style.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

#include "ui/stores/resource_pack.h"

namespace vidora {

FocusRingStyle::FocusRingStyle(QColor ring) : QProxyStyle(nullptr), ring_(ring) {}

void FocusRingStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const {
  if (element != PE_FrameFocusRect || option == nullptr) {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    return;
  }
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setPen(QPen(ring_, 2));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(option->rect.adjusted(1, 1, -1, -1));
  painter->restore();
}

void InstallFocusRing() {
  // The application owns the style it is given.
  QApplication::setStyle(new FocusRingStyle(Skin().FramePen().color()));
}

}  // namespace vidora
