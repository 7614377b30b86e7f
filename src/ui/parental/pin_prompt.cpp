#include "ui/parental/pin_prompt.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>

#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/field_rows.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/parental/parental_lock.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

constexpr int kMinPinDigits = 4;
constexpr int kMaxPinDigits = 8;
constexpr int kWaitTickMs = 1000;

QLineEdit* MakePinEdit(QWidget* parent, const QString& name) {
  auto* edit = new QLineEdit(parent);
  edit->setEchoMode(QLineEdit::Password);
  edit->setMaxLength(kMaxPinDigits);
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
  edit->setAccessibleName(AccessibleNameOf(name));
  return edit;
}

QLabel* MakeStatus(QWidget* parent) {
  auto* status = new QLabel(parent);
  status->setWordWrap(true);
  status->setAccessibleName(Text("parental_status"));
  return status;
}

}  // namespace

PinPrompt::PinPrompt(QWidget* owner, ParentalLock& lock, const QString& question)
    : SkinnedDialog(owner), lock_(lock) {
  ApplyDialogFont(this);
  setWindowTitle(Text("parental_lock"));
  question_ = new QLabel(question, this);
  question_->setWordWrap(true);
  edit_ = MakePinEdit(this, Text("parental_pin"));
  question_->setBuddy(edit_);
  status_ = MakeStatus(this);
  SoftKeys()->SetLeftKey(Text("button_ok"), ID_SOFTKEY_LEFT);
  SoftKeys()->SetRightKey(Text("button_cancel"), ID_SOFTKEY_RIGHT);
  wait_timer_.setInterval(kWaitTickMs);
  connect(&wait_timer_, &QTimer::timeout, this, &PinPrompt::RefreshWait);
  RefreshWait();
  edit_->setFocus();
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
}

void PinPrompt::RefreshWait() {
  const int64_t left = lock_.WaitLeft();
  edit_->setEnabled(left == 0);
  if (left > 0) {
    status_->setText(Text("parental_wait").arg(left));
    if (!wait_timer_.isActive()) wait_timer_.start();
    return;
  }
  if (wait_timer_.isActive()) {
    wait_timer_.stop();
    status_->clear();
    edit_->setFocus();
  }
}

bool PinPrompt::HandleCommand(int command) {
  if (command != ID_SOFTKEY_LEFT) return false;  // the close control asks nothing
  Check();
  return true;
}

void PinPrompt::Check() {
  const QString typed = edit_->text();
  switch (lock_.TryPin(typed)) {
    case ParentalLock::Check::kRight:
      pin_ = typed;
      done(1);
      return;
    case ParentalLock::Check::kWrong:
      edit_->clear();
      status_->setText(Text("parental_wrong_pin"));
      break;
    case ParentalLock::Check::kWaiting:
      edit_->clear();
      break;
  }
  RefreshWait();
}

void PinPrompt::LayoutClient(int width, int) {
  const int u = BarUnit();
  const int g = BarGap();
  question_->setGeometry(g, u + g, width - 2 * g, 2 * u);
  edit_->setGeometry(g, 3 * u + 2 * g, width - 2 * g, u);
  status_->setGeometry(g, 4 * u + 3 * g, width - 2 * g, 2 * u);
}

void PinPrompt::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

NewPinDialog::NewPinDialog(QWidget* owner) : SkinnedDialog(owner) {
  ApplyDialogFont(this);
  setWindowTitle(Text("parental_lock"));
  first_label_ = new QLabel(Text("parental_new_pin"), this);
  first_ = MakePinEdit(this, first_label_->text());
  first_label_->setBuddy(first_);
  second_label_ = new QLabel(Text("parental_repeat_pin"), this);
  second_ = MakePinEdit(this, second_label_->text());
  second_label_->setBuddy(second_);
  status_ = MakeStatus(this);
  setTabOrder(first_, second_);
  SoftKeys()->SetLeftKey(Text("button_ok"), ID_SOFTKEY_LEFT);
  SoftKeys()->SetRightKey(Text("button_cancel"), ID_SOFTKEY_RIGHT);
  first_->setFocus();
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
}

QString NewPinDialog::pin() const { return first_->text(); }

bool NewPinDialog::HandleCommand(int command) {
  if (command != ID_SOFTKEY_LEFT) return false;  // the close control asks nothing
  if (first_->text().size() < kMinPinDigits) {
    status_->setText(Text("parental_pin_length"));
  } else if (first_->text() != second_->text()) {
    second_->clear();
    status_->setText(Text("parental_pins_differ"));
  } else {
    done(1);
  }
  return true;
}

void NewPinDialog::LayoutClient(int width, int) {
  const int y = PlaceFieldRows({{first_label_, first_}, {second_label_, second_}}, width);
  status_->setGeometry(BarGap(), y, width - 2 * BarGap(), 2 * BarUnit());
}

void NewPinDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

}  // namespace vidora
