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

// What the settings say of an account at `now` (seconds since 1970):
// "Active · Valid until 31.12.2026 · 2 connections" (or "No expiry date"),
// and for an account that cannot be used any more one plain sentence: "The
// account expired on 1.3.2026." or that the provider disabled it. UI
// thread only.
QString AccountSummary(const XtreamAccountInfo& info, int64_t now);

}  // namespace vidora

#endif  // VIDORA_UI_PROVIDERS_PROVIDER_TEXTS_H_
