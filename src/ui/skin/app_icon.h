#ifndef VIDORA_UI_SKIN_APP_ICON_H_
#define VIDORA_UI_SKIN_APP_ICON_H_

#include <QIcon>

#include <cstddef>

namespace vidora {

// The application icon's PNG number `index` (0 = the smallest), rendered at
// build time from data/desktop/vidora.svg and compiled in: its size in
// pixels and its bytes (static, never freed). False past the last one.
// Defined by the generated source of the vidora_app_icon library.
bool AppIconPng(int index, int& pixels, const unsigned char*& bytes, std::size_t& count);

// The application icon with every compiled-in size: the window icon of
// every window and the about dialog's icon. Made on first use. UI thread.
const QIcon& AppIcon();

}  // namespace vidora

#endif  // VIDORA_UI_SKIN_APP_ICON_H_
