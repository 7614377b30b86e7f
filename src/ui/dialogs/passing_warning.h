#ifndef VIDORA_UI_DIALOGS_PASSING_WARNING_H_
#define VIDORA_UI_DIALOGS_PASSING_WARNING_H_

#include <QString>

class QWidget;

namespace vidora {

// A warning that does not stop the picture: a box that is not modal, over
// `owner`, deleted when closed; `detail` (may be empty) is its tooltip and
// its details. UI thread only.
void ShowPassingWarning(QWidget* owner, const QString& title, const QString& text, const QString& detail);

}  // namespace vidora

#endif  // VIDORA_UI_DIALOGS_PASSING_WARNING_H_
