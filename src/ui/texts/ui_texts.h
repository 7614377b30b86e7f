#ifndef VIDORA_UI_TEXTS_UI_TEXTS_H_
#define VIDORA_UI_TEXTS_UI_TEXTS_H_

#include <QString>

#include <string>
#include <string_view>

#include "core/commands/message_answer.h"

class QWidget;

namespace vidora {

QString ToQString(std::u16string_view text);
std::u16string FromQString(const QString& text);

// The current language's text for `key` as a QString (empty when missing).
QString Text(std::string_view key);

// A modal message box with GetText(key), the caption AppTitle() and
// `buttons`; returns the one pressed. While the player closes
// (AppClosing) nothing is shown and the Escape answer stands. UI thread
// only.
MessageAnswer ShowMessageByKey(QWidget* owner, std::string_view key, MessageButtons buttons);

// A modal box with a fixed text, an optional caption and an OK button;
// nothing while the player closes. UI thread only.
void ShowPlainMessageBox(QWidget* owner, const QString& text, const QString& caption);

// A label's caption as the accessible name of the control it labels:
// without a trailing colon (French " :" too) or ellipsis.
QString AccessibleNameOf(const QString& caption);

// Sets the caption of `widget` (a window's title, a label's, button's or
// group's text) to the text of `key`; an empty caption when the key has
// no text. Does nothing for a null widget.
void SetCaptionByKey(QWidget* widget, std::string_view key);

// Replaces every caption in `window` and its descendants (window titles,
// labels, buttons, check boxes) that is a key with a text by that text;
// other captions stay as they are.
void TranslateWindowTree(QWidget* window);

}  // namespace vidora

#endif  // VIDORA_UI_TEXTS_UI_TEXTS_H_
