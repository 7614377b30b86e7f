#include "core/providers/xtream_address_provider.h"

#include "core/document/text_codec.h"
#include "core/providers/credential_store.h"
#include "core/providers/xtream_client.h"

namespace vidora {

XtreamAddressProvider::XtreamAddressProvider() : StreamAddressProvider(kXtreamProviderName) {}

std::optional<std::u16string> XtreamAddressProvider::Resolve(std::u16string_view address,
                                                             const std::atomic<bool>* /*cancel*/) {
  const std::string text = Utf16ToUtf8(address);
  if (const std::optional<XtreamArchiveRef> archive = ParseXtreamArchiveAddress(text)) {
    const std::optional<std::string> password = Credentials().Find(archive->account);
    if (!password) return std::nullopt;
    return Utf8ToUtf16(XtreamTimeshiftAddress(*archive, *password));
  }
  if (const std::optional<XtreamMediaRef> media = ParseXtreamMediaAddress(text)) {
    const std::optional<std::string> password = Credentials().Find(media->account);
    if (!password) return std::nullopt;
    return Utf8ToUtf16(XtreamPlayAddress(*media, *password));
  }
  const std::optional<XtreamChannelRef> ref = ParseXtreamChannelAddress(text);
  if (!ref) return std::nullopt;
  const std::optional<std::string> password = Credentials().Find(ref->account);
  if (!password) return std::nullopt;
  return Utf8ToUtf16(XtreamLiveAddress(ref->account, *password, ref->stream_id, ref->extension));
}

std::unique_ptr<StreamAddressProvider> XtreamAddressProvider::CopyForWorker() const {
  return std::make_unique<XtreamAddressProvider>();
}

}  // namespace vidora
