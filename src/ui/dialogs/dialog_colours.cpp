#include "ui/dialogs/dialog_colours.h"

#include <QMenu>
#include <QPalette>
#include <QString>
#include <QWidget>

#include "ui/skin/resource_pack.h"

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

void ApplyMenuSkin(QMenu* menu) {
  const QColor background = Skin().BackgroundColour();
  const QColor text = Skin().TextColour();
  const QColor frame = Skin().FramePen().color();
  // The highlight is the top colour of the skin's bar strip.
  const QString sheet = QStringLiteral(
                            "QMenu { background-color: %1; color: %2; border: 1px solid %3; padding: 2px; }"
                            "QMenu::item { padding: 4px 20px 4px 12px; }"
                            "QMenu::item:selected { background-color: rgb(83, 96, 135); color: rgb(250, 250, 255); }"
                            "QMenu::item:disabled { color: rgb(150, 150, 155); }"
                            "QMenu::separator { height: 1px; background: %3; margin: 3px 6px; }")
                            .arg(background.name(), text.name(), frame.name());
  menu->setStyleSheet(sheet);
}

}  // namespace vidora
