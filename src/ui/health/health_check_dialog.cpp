#include "ui/health/health_check_dialog.h"

#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>

#include <algorithm>

#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

HealthCheckDialog::HealthCheckDialog(QWidget* owner, size_t total, std::function<Progress()> progress,
                                     std::function<void()> cancel)
    : SkinnedDialog(owner, Size::kOwn), total_(total), progress_(std::move(progress)), cancel_(std::move(cancel)) {
  ApplyDialogFont(this);
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setWindowTitle(Text("str_checking_channels"));
  setAccessibleName(Text("str_checking_channels"));
  resize(DialogUnitRect(0, 0, 200, 52).size() + QSize(0, SoftKeyBar::BarHeight()));
  bar_ = new QProgressBar(this);
  bar_->setRange(0, static_cast<int>(std::min<size_t>(total_, INT32_MAX)));
  bar_->setValue(0);
  bar_->setTextVisible(false);
  bar_->setAccessibleName(Text("acc_check_progress"));
  bar_->setFocusPolicy(Qt::StrongFocus);
  line_ = new QLabel(this);
  SoftKeys()->SetRightKey(Text("button_cancel"), ID_SOFTKEY_RIGHT);
  if (QWidget* window = owner != nullptr ? owner->window() : nullptr) {
    QRect place = geometry();
    place.moveCenter(window->geometry().center());
    setGeometry(place);
  }
  Update();
  connect(&timer_, &QTimer::timeout, this, &HealthCheckDialog::Update);
  timer_.start(100);
}

void HealthCheckDialog::Update() {
  const Progress now = progress_ ? progress_() : Progress{};
  if (now.total > 0 && now.total != total_) {
    total_ = now.total;
    bar_->setRange(0, static_cast<int>(std::min<size_t>(total_, INT32_MAX)));
  }
  bar_->setValue(static_cast<int>(std::min<size_t>(now.done, static_cast<size_t>(bar_->maximum()))));
  const QLocale locale;
  QString text = Text("str_check_progress").arg(locale.toString(static_cast<qulonglong>(now.done)),
                                                 locale.toString(static_cast<qulonglong>(total_)));
  if (now.dead > 0) text += QStringLiteral(", ") + Text("str_check_progress_dead").arg(locale.toString(static_cast<qulonglong>(now.dead)));
  if (cancelled_) text = Text("str_check_stopping");
  if (line_->text() != text) {
    line_->setText(text);
    bar_->setAccessibleDescription(text);
  }
}

void HealthCheckDialog::Finish() {
  timer_.stop();
  done(1);
}

bool HealthCheckDialog::HandleCommand(int command) {
  // The check's owner ends the dialog once the probes stopped; Cancel and
  // Escape only ask them to.
  if ((command == kCancelCommand || command == ID_SOFTKEY_RIGHT) && !cancelled_) {
    cancelled_ = true;
    if (cancel_) cancel_();
    Update();
  }
  return true;
}

void HealthCheckDialog::LayoutClient(int width, int) {
  if (bar_ == nullptr) return;  // a resize while the controls are made
  const QRect line = DialogUnitRect(8, 16, 184, 10);
  const QRect bar = DialogUnitRect(8, 30, 184, 10);
  line_->setGeometry(line.left(), line.top(), width - 2 * line.left(), line.height());
  bar_->setGeometry(bar.left(), bar.top(), width - 2 * bar.left(), bar.height());
}

void HealthCheckDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
  painter.setPen(Skin().FramePen());
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace vidora
