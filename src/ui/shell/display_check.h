#ifndef VIDORA_UI_SHELL_DISPLAY_CHECK_H_
#define VIDORA_UI_SHELL_DISPLAY_CHECK_H_

#include <QString>
#include <QStringList>

namespace vidora {

// Why the window system cannot be reached, in one line for standard
// error, or an empty text when it can (or the platform needs no display:
// offscreen, minimal, a framebuffer). Looks at the "-platform" argument,
// QT_QPA_PLATFORM, WAYLAND_DISPLAY and DISPLAY, and opens and closes an X
// connection to be sure of DISPLAY. Called before the application object
// exists, which would abort the process without a display.
QString MissingDisplayReason(const QStringList& arguments);

}  // namespace vidora

#endif  // VIDORA_UI_SHELL_DISPLAY_CHECK_H_
