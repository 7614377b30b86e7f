#include "ui/dialogs/passing_warning.h"

#include <QMessageBox>

namespace vidora {

void ShowPassingWarning(QWidget* owner, const QString& title, const QString& text, const QString& detail) {
  auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setToolTip(detail);
  if (!detail.isEmpty()) box->setDetailedText(detail);
  box->setModal(false);
  box->show();
}

}  // namespace vidora
