#ifndef VIDORA_UI_STORES_UI_TEXTS_H_
#define VIDORA_UI_STORES_UI_TEXTS_H_

#include <QString>

#include <string>
#include <string_view>

class QWidget;

namespace vidora {

// Message box buttons and answers, with the values the rest of the system
// speaks in.
inline constexpr int MB_OK = 0x0;
inline constexpr int MB_YESNO = 0x4;
inline constexpr int MB_TYPEMASK = 0xF;
// Optional icon, or-ed with the buttons.
inline constexpr int MB_ICONHAND = 0x10;
inline constexpr int MB_ICONQUESTION = 0x20;
inline constexpr int MB_ICONEXCLAMATION = 0x30;
inline constexpr int MB_ICONASTERISK = 0x40;
inline constexpr int MB_ICONMASK = 0xF0;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

QString ToQString(const std::u16string& text);
std::u16string FromQString(const QString& text);

// The current language's text for `key` as a QString (empty when missing).
QString Text(std::string_view key);

// A modal message box with GetText(key), the caption AppTitle() and OK
// (MB_OK) or Yes/No (MB_YESNO) buttons. Returns IDOK, IDYES or IDNO.
// While the player closes (AppClosing) nothing is shown and the answer is
// IDOK, or IDNO for Yes/No. UI thread only.
int ShowMessageByKey(QWidget* owner, std::string_view key, int buttons);

// A modal box with a fixed text, an optional caption and an OK button;
// nothing while the player closes. UI thread only.
void ShowPlainMessageBox(QWidget* owner, const QString& text, const QString& caption);

// A label's caption as the accessible name of the control it labels:
// without a trailing colon (French " :" too) or ellipsis.
QString AccessibleNameOf(const QString& caption);

// Control ids: dialogs give their controls the ids they are known by
// (a check box 1021, say); these find and label them.
void SetControlId(QWidget* control, int id);
QWidget* FindControl(QWidget* dialog, int id);
void SetDlgItemTextByKey(QWidget* dialog, int control_id, std::string_view key);
void SetWindowTextByKey(QWidget* window, std::string_view key);

// Replaces every caption in `window` and its descendants (window titles,
// labels, buttons, check boxes) that is a key with a text by that text;
// other captions stay as they are.
void TranslateWindowTree(QWidget* window);

}  // namespace vidora

#endif  // VIDORA_UI_STORES_UI_TEXTS_H_
