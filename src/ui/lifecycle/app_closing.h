#ifndef VIDORA_UI_LIFECYCLE_APP_CLOSING_H_
#define VIDORA_UI_LIFECYCLE_APP_CLOSING_H_

namespace vidora {

// Whether the player is closing (a signal, or the main window's close
// button while a dialog was open): from then on no new message box or
// dialog opens, so nothing can hold the close sequence up. UI thread.
bool AppClosing();
void SetAppClosing(bool closing);

}  // namespace vidora

#endif  // VIDORA_UI_LIFECYCLE_APP_CLOSING_H_
