#ifndef VIDORA_UI_PROVIDERS_PROVIDER_TEXTS_H_
#define VIDORA_UI_PROVIDERS_PROVIDER_TEXTS_H_

#include <QString>

#include "core/providers/xtream_answers.h"

namespace vidora {

// The sentence the user reads for `failure`, in the current language.
QString XtreamFailureText(XtreamFailure failure);

// The reason of a failed playlist import as the user reads it: the
// sentence of a provider account's failure (its XtreamFailureName), else
// `reason` as it stands. UI thread only.
QString ImportReasonText(const QString& reason);

// "Valid until 31.12.2026 · 2 connections" (or "no expiry date"). UI
// thread only.
QString AccountSummary(const XtreamAccountInfo& info);

}  // namespace vidora

#endif  // VIDORA_UI_PROVIDERS_PROVIDER_TEXTS_H_
