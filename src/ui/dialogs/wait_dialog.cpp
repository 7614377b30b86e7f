#include "ui/dialogs/wait_dialog.h"

#include <QLabel>
#include <QPainter>
#include <QWidget>

#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

UpdateWaitDialog::UpdateWaitDialog(QWidget* owner, std::string_view title_key, Worker worker,
                                   std::atomic<bool>* cancel)
    : SkinnedDialog(owner, Size::kOwn), worker_(std::move(worker)), cancel_(cancel) {
  ApplyDialogFont(this);
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  // 137 x 35 dialog units with the text at (11, 19), 118 x 9.
  resize(DialogUnitRect(0, 0, 137, 35).size());
  setWindowTitle(Text(title_key));
  text_ = new QLabel(Text("str_wait"), this);
  text_->setObjectName(QStringLiteral("text"));
  text_->setGeometry(DialogUnitRect(11, 19, 118, 9));
  if (cancel_ != nullptr) {
    resize(width(), height() + SoftKeyBar::BarHeight());
    SoftKeys()->SetRightKey(Text("button_cancel"), ID_SOFTKEY_RIGHT);
  }
  if (QWidget* window = owner != nullptr ? owner->window() : nullptr) {
    QRect place = geometry();
    place.moveCenter(window->geometry().center());
    setGeometry(place);
  }
}

UpdateWaitDialog::~UpdateWaitDialog() = default;

int UpdateWaitDialog::Run() {
  // Without a worker, or without a thread for it, there is nothing to wait
  // for: the dialog ends at once (with 0 when the work could not start).
  if (!worker_) {
    EndFromWorker(1);
  } else if (!jobs_.Run([this]() -> JobRunner::Result {
               worker_(*this);
               return {};
             })) {
    EndFromWorker(0);
  }
  return exec();
}

void UpdateWaitDialog::SetTitleByKeyFromWorker(std::string key) {
  QMetaObject::invokeMethod(
      this,
      [this, key = std::move(key)] {
        setWindowTitle(Text(key));
        repaint();
      },
      Qt::QueuedConnection);
}

void UpdateWaitDialog::EndFromWorker(int result) {
  QMetaObject::invokeMethod(
      this,
      [this, result] { done(result); },
      Qt::QueuedConnection);
}

bool UpdateWaitDialog::HandleCommand(int command) {
  // The worker always ends the dialog, after it has written its results;
  // a cancel only makes it end now.
  if (cancel_ != nullptr && (command == kCancelCommand || command == ID_SOFTKEY_RIGHT)) *cancel_ = true;
  return true;
}

void UpdateWaitDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
  painter.setPen(Skin().FramePen());
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace vidora
