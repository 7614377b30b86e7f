#ifndef VIDORA_UI_DIALOGS_DIALOG_COLOURS_H_
#define VIDORA_UI_DIALOGS_DIALOG_COLOURS_H_

class QMenu;
class QWidget;

namespace vidora {

// Gives `dialog` the skin's background and its static texts (labels,
// check boxes: whatever draws with the window text colour) the skin's text
// colour on a transparent background. Children inherit it. UI thread only.
void ApplyDialogColours(QWidget* dialog);

// Gives `control` the skin's title font. UI thread only.
void ApplyTitleFont(QWidget* control);

// Gives `menu` and its sub-menus the skin: background, text colour and a
// frame in the frame pen's gold. The style sheet is set on the menu alone:
// an application-wide sheet would take the dialogs' palettes away from
// their texts. Call after the skin is loaded, on the UI thread.
void ApplyMenuSkin(QMenu* menu);

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_DIALOG_COLOURS_H_
