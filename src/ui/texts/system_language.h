#ifndef VIDORA_UI_TEXTS_SYSTEM_LANGUAGE_H_
#define VIDORA_UI_TEXTS_SYSTEM_LANGUAGE_H_

#include <QString>

class QTranslator;

namespace vidora {

// The language code of a POSIX locale name: "de" of "de_DE.UTF-8" or
// "de_AT@euro", "ru" of "ru"; empty for "C", "POSIX" and an empty name.
QString LanguageOfLocaleName(const QString& locale_name);

// The language of the user's messages locale: the first of LC_ALL,
// LC_MESSAGES and LANG that is set, as LanguageOfLocaleName gives it.
QString SystemLanguageCode();

// Makes Qt's own texts (the buttons of message boxes, context menus of
// text fields) speak `code`: loads qtbase_<code> from Qt's translations
// folder into the application, replacing the previous one. English or a
// missing file leaves Qt's built-in English. Returns whether a
// translation is installed. UI thread only.
bool InstallQtTranslations(const QString& code);

}  // namespace vidora

#endif  // VIDORA_UI_TEXTS_SYSTEM_LANGUAGE_H_
