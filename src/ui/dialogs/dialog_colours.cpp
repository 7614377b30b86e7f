#include "ui/dialogs/dialog_colours.h"

#include <QPalette>
#include <QWidget>

#include "ui/stores/resource_pack.h"

namespace vidora {

void ApplyDialogColours(QWidget* dialog) {
  QPalette palette = dialog->palette();
  palette.setBrush(QPalette::Window, Skin().BackgroundBrush().style() == Qt::NoBrush
                                         ? QBrush(Skin().BackgroundColour())
                                         : Skin().BackgroundBrush());
  palette.setColor(QPalette::WindowText, Skin().TextColour());
  dialog->setPalette(palette);
  dialog->setAutoFillBackground(true);
}

void ApplyTitleFont(QWidget* control) { control->setFont(Skin().TitleFont()); }

}  // namespace vidora
