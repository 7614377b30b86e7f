#include "ui/desktop/focus_ring_style.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QStyleOption>

#include <algorithm>

#include "ui/skin/resource_pack.h"

namespace vidora {

namespace {

bool HasFocus(const QStyleOption* option) { return option != nullptr && (option->state & QStyle::State_HasFocus); }

}  // namespace

FocusRingStyle::FocusRingStyle(QColor ring) : QProxyStyle(nullptr), ring_(ring) {}

void FocusRingStyle::DrawRing(QPainter* painter, const QRect& rect) const {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setPen(QPen(ring_, kRingWidth));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(rect.adjusted(1, 1, -1, -1));
  painter->restore();
}

void FocusRingStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const {
  if (element == PE_FrameFocusRect && option != nullptr) {
    // A push button wears its ring on its edge (drawControl), not inset.
    if (qobject_cast<const QPushButton*>(widget) == nullptr) DrawRing(painter, option->rect);
    return;
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
  // The base style only tints a focused line edit's outline.
  if (element == PE_PanelLineEdit && HasFocus(option)) DrawRing(painter, option->rect);
}

void FocusRingStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const {
  QProxyStyle::drawControl(element, option, painter, widget);
  if (element == CE_PushButton && HasFocus(option)) DrawRing(painter, option->rect);
  // A list shows where the focus is by its frame: the focused row's own
  // mark may be scrolled away or drawn over by the rows' painter.
  if (element == CE_ShapedFrame && HasFocus(option) && qobject_cast<const QAbstractScrollArea*>(widget) != nullptr) {
    DrawRing(painter, option->rect);
  }
}

void FocusRingStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                        const QWidget* widget) const {
  QProxyStyle::drawComplexControl(control, option, painter, widget);
  // The base style draws no focus frame around a combo box at all.
  if (control == CC_ComboBox && HasFocus(option)) DrawRing(painter, option->rect);
}

int FocusRingStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  const int base = QProxyStyle::pixelMetric(metric, option, widget);
  // A list's rows start inside its frame: the frame must be as wide as
  // the ring, or the rows cover half of it.
  if (metric == PM_DefaultFrameWidth && qobject_cast<const QAbstractItemView*>(widget) != nullptr) {
    return std::max(base, kRingWidth);
  }
  return base;
}

void InstallFocusRing() {
  // The application owns the style it is given.
  QApplication::setStyle(new FocusRingStyle(Skin().HighlightColour()));
}

}  // namespace vidora
