#include "ui/catalogue/combo_text_order.h"

#include <QLocale>

#include "core/stores/language_pack.h"

namespace vidora {

namespace {

// The C locale collates by code points, which puts every accented letter
// after "Z"; where nothing better is known, English (the common Latin
// order) stands in for it.
QLocale Collatable(const QLocale& locale) {
  return locale.language() == QLocale::C ? QLocale(QLocale::English) : locale;
}

QLocale InterfaceLocale() {
  const std::u16string& code = LanguageCode(Languages().CurrentIndex());
  if (code.empty()) return Collatable(QLocale());
  const QLocale locale(QString::fromStdU16String(code));
  return Collatable(locale.language() == QLocale::C ? QLocale() : locale);
}

}  // namespace

QCollator InterfaceCollator() {
  QCollator collator(InterfaceLocale());
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  return collator;
}

ComboTextOrder::ComboTextOrder() : collator_(InterfaceCollator()) {}

}  // namespace vidora
