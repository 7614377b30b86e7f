#include "ui/shell/update_promotion.h"

#include <QApplication>
#include <QWidget>

#include "ui/shell/command_ids.h"

namespace vidora {

void UpdatePromotion::Poll(const Flag& frame_active, const CommandSender& send) {
  if (!catalogue_issued_ && catalogue_pending_ && catalogue_pending_() && frame_active()) {
    catalogue_issued_ = true;
    send(ID_CHANNEL_UPDATE);
  }
  if (!application_issued_ && application_pending_ && application_pending_() && frame_active()) {
    application_issued_ = true;
    send(ID_UPDATE);
  }
}

bool IsActiveFrame(const QWidget* frame) {
  if (frame == nullptr) return false;
  if (QApplication::activeModalWidget() != nullptr) return false;
  return QApplication::activeWindow() == frame;
}

}  // namespace vidora
