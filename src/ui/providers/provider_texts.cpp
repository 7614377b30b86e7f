#include "ui/providers/provider_texts.h"

#include <QDateTime>
#include <QLocale>

#include "core/providers/xtream_client.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

QString XtreamFailureText(XtreamFailure failure) {
  switch (failure) {
    case XtreamFailure::kNone: return {};
    case XtreamFailure::kNoAnswer: return Text("prov_err_no_answer");
    case XtreamFailure::kHtml: return Text("prov_err_html");
    case XtreamFailure::kEmpty: return Text("prov_err_empty");
    case XtreamFailure::kNotJson:
    case XtreamFailure::kWrongTypes: return Text("prov_err_json");
    case XtreamFailure::kWrongCredentials: return Text("prov_err_login");
    case XtreamFailure::kExpired: return Text("prov_err_expired");
    case XtreamFailure::kDisabled: return Text("prov_err_disabled");
    case XtreamFailure::kNoChannels: return Text("prov_err_no_channels");
    case XtreamFailure::kNoPassword: return Text("prov_err_no_password");
  }
  return {};
}

QString ImportReasonText(const QString& reason) {
  for (int i = static_cast<int>(XtreamFailure::kNoAnswer); i <= static_cast<int>(XtreamFailure::kNoPassword); ++i) {
    const auto failure = static_cast<XtreamFailure>(i);
    if (reason == QLatin1String(XtreamFailureName(failure))) return XtreamFailureText(failure);
  }
  return reason;
}

QString AccountSummary(const XtreamAccountInfo& info, int64_t now) {
  const QString status = QString::fromStdString(info.status).trimmed().toLower();
  const auto date = [](int64_t when) {
    return QLocale().toString(QDateTime::fromSecsSinceEpoch(when).date(), QLocale::ShortFormat);
  };
  if (status == QLatin1String("disabled") || status == QLatin1String("banned")) return Text("prov_err_disabled");
  if (status == QLatin1String("expired") || (info.expires_at != 0 && info.expires_at < now)) {
    return info.expires_at == 0 ? Text("prov_err_expired") : Text("prov_expired_on").arg(date(info.expires_at));
  }
  QString text = info.expires_at == 0 ? Text("prov_no_expiry") : Text("prov_expires").arg(date(info.expires_at));
  // The server's own word only when it is none of those the player knows.
  if (status == QLatin1String("active")) {
    text.prepend(Text("prov_active") + QStringLiteral(" \u00B7 "));
  } else if (!status.isEmpty()) {
    text.prepend(QString::fromStdString(info.status).left(24) + QStringLiteral(" \u00B7 "));
  }
  if (info.max_connections > 0) {
    text += QStringLiteral(" \u00B7 ") + Text("prov_connections").arg(info.max_connections);
  }
  return text;
}

}  // namespace vidora
