#ifndef VIDORA_UI_DESKTOP_FOCUS_RING_STYLE_H_
#define VIDORA_UI_DESKTOP_FOCUS_RING_STYLE_H_

#include <QColor>
#include <QProxyStyle>

namespace vidora {

// The application's style with a focus ring that shows on the skin's dark
// dialogs: two pixels in the skin's frame colour around the control (or
// the part of it) that has the keyboard focus, instead of the base style's
// faint dotted line. Everything else is the base style's. UI thread only.
class FocusRingStyle : public QProxyStyle {
  Q_OBJECT

 public:
  // Wraps the application's current style.
  explicit FocusRingStyle(QColor ring);

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

  const QColor& ring() const { return ring_; }

 private:
  QColor ring_;
};

// Makes the application draw focus rings in the skin's frame colour.
void InstallFocusRing();

}  // namespace vidora

#endif  // VIDORA_UI_DESKTOP_FOCUS_RING_STYLE_H_
