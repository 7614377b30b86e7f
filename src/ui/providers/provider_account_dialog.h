#ifndef VIDORA_UI_PROVIDERS_PROVIDER_ACCOUNT_DIALOG_H_
#define VIDORA_UI_PROVIDERS_PROVIDER_ACCOUNT_DIALOG_H_

#include <QString>

#include <functional>

#include "core/providers/xtream_address.h"
#include "core/providers/xtream_answers.h"
#include "ui/dialogs/skinned_dialog.h"
#include "ui/jobs/background_jobs.h"

class QLabel;
class QLineEdit;

namespace vidora {

// "Add provider account…": server address, user name and password, in
// that Tab order; Enter (or the left soft key) checks the account in the
// background and, when it can be used, saves the password (secret service,
// else memory only) and ends with 1. A failure stays in the dialog as a
// sentence with the detail in its tooltip; Escape ends with 2. UI thread
// only.
class ProviderAccountDialog : public SkinnedDialog {
  Q_OBJECT

 public:
  using Clock = std::function<int64_t()>;
  explicit ProviderAccountDialog(QWidget* owner, Clock clock = {});

  QLineEdit* server_edit() const { return server_; }
  QLineEdit* user_edit() const { return user_; }
  QLineEdit* password_edit() const { return password_; }
  QLabel* status_label() const { return status_; }
  // After 1: the checked account, what the server said, and whether the
  // password went to the secret service (else why not).
  const XtreamAccount& account() const { return account_; }
  const XtreamAccountInfo& info() const { return info_; }
  bool saved_in_secret_service() const { return in_secret_service_; }
  const QString& secret_reason() const { return secret_reason_; }
  bool checking() const { return jobs_.running() > 0; }

 protected:
  bool HandleCommand(int command) override;
  void LayoutClient(int width, int height) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void StartCheck();

  Clock clock_;
  QLabel* server_label_;
  QLabel* user_label_;
  QLabel* password_label_;
  QLineEdit* server_;
  QLineEdit* user_;
  QLineEdit* password_;
  QLabel* status_;
  XtreamAccount account_;
  XtreamAccountInfo info_;
  bool in_secret_service_ = false;
  QString secret_reason_;
  BackgroundJobs jobs_{this};
};

}  // namespace vidora

#endif  // VIDORA_UI_PROVIDERS_PROVIDER_ACCOUNT_DIALOG_H_
