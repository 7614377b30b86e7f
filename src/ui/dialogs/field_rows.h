#ifndef VIDORA_UI_DIALOGS_FIELD_ROWS_H_
#define VIDORA_UI_DIALOGS_FIELD_ROWS_H_

#include <QLabel>
#include <QLineEdit>
#include <QString>

#include <initializer_list>
#include <utility>

#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

// A text field under its caption, as the small form dialogs (provider
// account, preferred languages, PIN) have them: the caption is the field's
// buddy and names it for screen readers. Both are children of `parent`.
inline QLineEdit* AddFieldRow(QWidget* parent, QLabel*& label, const QString& caption) {
  label = new QLabel(caption, parent);
  auto* edit = new QLineEdit(parent);
  label->setBuddy(edit);
  edit->setAccessibleName(AccessibleNameOf(caption));
  return edit;
}

// Places caption-and-field rows one under the other across `width`,
// starting a bar unit down; returns where the next control goes.
inline int PlaceFieldRows(std::initializer_list<std::pair<QLabel*, QLineEdit*>> rows, int width) {
  const int u = BarUnit();
  const int g = BarGap();
  int y = u + g;
  for (const auto& [label, edit] : rows) {
    label->setGeometry(g, y, width - 2 * g, u);
    edit->setGeometry(g, y + u, width - 2 * g, u);
    y += 2 * u + g;
  }
  return y;
}

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_FIELD_ROWS_H_
