#ifndef VIDORA_UI_CATALOGUE_COMBO_TEXT_ORDER_H_
#define VIDORA_UI_CATALOGUE_COMBO_TEXT_ORDER_H_

#include <QCollator>
#include <QString>

namespace vidora {

// A collator for the current interface language (the system's when no
// language is current, English when the system has none), ignoring case.
// UI thread only.
QCollator InterfaceCollator();

// The order of a sorted drop-down list: texts compared by the collation of
// the current interface language (the system's when no language is
// current, English when the system has none), ignoring case, so that
// "Österreich" sits among the O's of a German list rather than after
// "USA". A strict weak order, for std::stable_sort. UI thread only.
class ComboTextOrder {
 public:
  ComboTextOrder();
  bool operator()(const QString& a, const QString& b) const { return collator_.compare(a, b) < 0; }

 private:
  QCollator collator_;
};

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_COMBO_TEXT_ORDER_H_
