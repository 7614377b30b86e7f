#include "ui/providers/provider_account_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <chrono>
#include <utility>

#include "core/providers/account_status.h"
#include "core/providers/credential_store.h"
#include "core/providers/xtream_client.h"
#include "ui/dialogs/dialog_units.h"
#include "ui/dialogs/field_rows.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/providers/provider_texts.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

int64_t SystemNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace

ProviderAccountDialog::ProviderAccountDialog(QWidget* owner, Clock clock)
    : SkinnedDialog(owner), clock_(clock ? std::move(clock) : Clock(SystemNow)) {
  ApplyDialogFont(this);
  setWindowTitle(Text("menu_add_provider"));
  server_ = AddFieldRow(this, server_label_, Text("prov_server"));
  server_->setPlaceholderText(QStringLiteral("http://tv.example.com:8080"));
  user_ = AddFieldRow(this, user_label_, Text("prov_user"));
  password_ = AddFieldRow(this, password_label_, Text("prov_password"));
  password_->setEchoMode(QLineEdit::Password);
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  status_->setAccessibleName(Text("prov_status"));
  setTabOrder(server_, user_);
  setTabOrder(user_, password_);
  SoftKeys()->SetLeftKey(Text("button_ok"), ID_SOFTKEY_LEFT);
  SoftKeys()->SetRightKey(Text("button_cancel"), ID_SOFTKEY_RIGHT);
  server_->setFocus();
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
}

bool ProviderAccountDialog::HandleCommand(int command) {
  if (command == kDoneCommand || command == ID_SOFTKEY_LEFT) {
    if (!checking()) StartCheck();
    return true;
  }
  return false;
}

void ProviderAccountDialog::StartCheck() {
  XtreamAccount account{NormaliseXtreamServer(server_->text().toStdString()), user_->text().trimmed().toStdString()};
  const std::string password = password_->text().toStdString();
  if (account.server.empty() || account.user.empty() || password.empty()) {
    status_->setText(Text("prov_fill_all"));
    status_->setToolTip({});
    return;
  }
  status_->setText(Text("prov_checking"));
  status_->setToolTip({});
  const int64_t now = clock_();
  const std::atomic<bool>* cancel = jobs_.cancel();
  jobs_.Run([this, account, password, now, cancel]() -> std::function<void()> {
    const XtreamAccountAnswer answer = CheckXtreamAccount(account, password, now, cancel);
    SecretSave save;
    if (answer.failure == XtreamFailure::kNone) save = Credentials().Save(account, password);
    return [this, account, answer, save] {
      if (answer.failure != XtreamFailure::kNone) {
        status_->setText(XtreamFailureText(answer.failure));
        status_->setToolTip(QString::fromStdString(MaskCredentials(account.server)) + QStringLiteral(" · ") +
                            QString::fromUtf8(XtreamFailureName(answer.failure)));
        return;
      }
      account_ = account;
      info_ = answer.info;
      in_secret_service_ = save.in_secret_service;
      secret_reason_ = QString::fromStdString(save.reason);
      RememberAccountInfo(XtreamSource(account), answer.info);
      done(1);
    };
  });
}

void ProviderAccountDialog::LayoutClient(int width, int) {
  const int y = PlaceFieldRows({{server_label_, server_}, {user_label_, user_}, {password_label_, password_}}, width);
  status_->setGeometry(BarGap(), y, width - 2 * BarGap(), 2 * BarUnit());
}

void ProviderAccountDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintTitleStrip(this, painter);
}

}  // namespace vidora
