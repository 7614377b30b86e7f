#include "ui/texts/system_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>
#include <memory>

namespace vidora {

QString LanguageOfLocaleName(const QString& locale_name) {
  QString language = locale_name;
  for (const QChar end : {QLatin1Char('_'), QLatin1Char('.'), QLatin1Char('@')}) {
    language = language.section(end, 0, 0);
  }
  language = language.toLower();
  if (language == QLatin1String("c") || language == QLatin1String("posix")) return QString();
  return language;
}

QString SystemLanguageCode() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return LanguageOfLocaleName(QString::fromLocal8Bit(value));
  }
  return QString();
}

bool InstallQtTranslations(const QString& code) {
  // One translator for the life of the process, replaced on each call.
  static std::unique_ptr<QTranslator> installed;
  if (installed) {
    QCoreApplication::removeTranslator(installed.get());
    installed.reset();
  }
  if (code.isEmpty() || code == QLatin1String("en")) return false;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  QCoreApplication::installTranslator(translator.get());
  installed = std::move(translator);
  return true;
}

}  // namespace vidora
