#ifndef VIDORA_UI_DESKTOP_WINDOW_PLACEMENT_H_
#define VIDORA_UI_DESKTOP_WINDOW_PLACEMENT_H_

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QWidget;

namespace vidora {

// The main window's remembered place: its normal geometry (the client
// area, without the window manager's frame) and whether it was maximised.
struct WindowPlace {
  QRect normal;
  bool maximised = false;
};

// "x,y,width,height[,max]" (the WindowGeometry setting) and back. Parsing
// returns nothing for a malformed or empty text or a non-positive size.
QString FormatWindowPlace(const WindowPlace& place);
std::optional<WindowPlace> ParseWindowPlace(const QString& text);

// The frame's size that fits `available` (a screen's work area, never
// exceeded): on a landscape screen wide enough that the picture area is
// close to 16:9, on a portrait one the handheld's 3:4. `chrome` is the
// height the frame spends beside the picture (strip, panel, bar, gaps),
// `side` the width beside it.
QSize DefaultWindowSize(const QRect& available, int chrome, int side);
// The smallest frame that still shows the strip, the panel, the soft keys
// and some picture.
QSize MinimumWindowSize(int chrome);

// Where the window goes: `remembered` when it still lies for the most part
// on one of `screens` (work areas), shrunk to fit that screen; otherwise
// `fallback`'s size centred on the first screen. Pure, for tests.
QRect ChooseWindowRect(const std::optional<WindowPlace>& remembered, const QList<QRect>& screens,
                       const QSize& fallback);

// Sizes and places the main window before it is first shown, from the
// WindowGeometry setting or the primary screen; sets its minimum size.
// Call on the UI thread.
void PlaceMainWindow(QWidget* frame);
// Stores the window's place in the WindowGeometry setting (the close
// sequence, before the settings are saved).
void RememberMainWindow(const QWidget* frame);

}  // namespace vidora

#endif  // VIDORA_UI_DESKTOP_WINDOW_PLACEMENT_H_
