#ifndef VIDORA_UI_DESKTOP_FOCUS_RING_STYLE_H_
#define VIDORA_UI_DESKTOP_FOCUS_RING_STYLE_H_

#include <QColor>
#include <QProxyStyle>

namespace vidora {

// The application's style with a focus ring that shows on the skin's dark
// dialogs: two pixels in the ring colour (the skin's highlight) around the
// control that has the keyboard focus, instead of the base style's faint
// dotted line or tinted outline. Check boxes ring their label; combo
// boxes, push buttons, line edits and lists ring their whole frame; the
// skin's own controls ask for the ring through PE_FrameFocusRect.
// Everything else is the base style's. UI thread only.
class FocusRingStyle : public QProxyStyle {
  Q_OBJECT

 public:
  // Wraps the application's current style.
  explicit FocusRingStyle(QColor ring);

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget = nullptr) const override;
  // Lists get a frame as wide as the ring.
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;

  static constexpr int kRingWidth = 2;

  const QColor& ring() const { return ring_; }

 private:
  void DrawRing(QPainter* painter, const QRect& rect) const;

  QColor ring_;
};

// Makes the application draw focus rings in the skin's highlight colour.
void InstallFocusRing();

}  // namespace vidora

#endif  // VIDORA_UI_DESKTOP_FOCUS_RING_STYLE_H_
