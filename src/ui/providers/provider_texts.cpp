#include "ui/providers/provider_texts.h"

#include <QDateTime>
#include <QLocale>

#include "core/providers/xtream_client.h"
#include "ui/stores/ui_texts.h"

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

QString AccountSummary(const XtreamAccountInfo& info) {
  QString text = info.expires_at == 0
                     ? Text("prov_no_expiry")
                     : Text("prov_expires").arg(QLocale().toString(QDateTime::fromSecsSinceEpoch(info.expires_at).date(),
                                                                   QLocale::ShortFormat));
  if (info.max_connections > 0) {
    text += QStringLiteral(" · ") + Text("prov_connections").arg(info.max_connections);
  }
  return text;
}

}  // namespace vidora
