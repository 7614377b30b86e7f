#include "core/playback/vdtm_provider.h"

#include "core/net/http_client.h"
#include "core/net/service_hosts.h"
#include "core/stores/message_sink.h"

namespace vidora {
namespace {

constexpr char16_t kCookieName[] = u"tv";
constexpr char16_t kPagePathBefore[] = u"general/";
constexpr char16_t kPagePathAfter[] = u".html";
constexpr char16_t kPlaylistPath[] = u"/stream/";
constexpr std::u16string_view kOpeningMarker = u"<ref href = \"";
constexpr std::u16string_view kClosingMarker = u"\"/>";

}  // namespace

VdtmProvider::VdtmProvider() : StreamAddressProvider(kVdtmProviderName) {}

VdtmProvider::VdtmProvider(std::u16string host) : StreamAddressProvider(kVdtmProviderName), host_(std::move(host)) {}

std::optional<std::u16string> VdtmProvider::ExtractStreamAddress(std::u16string_view playlist) {
  const size_t opening = playlist.find(kOpeningMarker);
  if (opening == std::u16string_view::npos) return std::nullopt;
  const size_t start = opening + kOpeningMarker.size();
  const size_t closing = playlist.find(kClosingMarker, start);
  if (closing == std::u16string_view::npos) return std::nullopt;
  return std::u16string(playlist.substr(start, closing - start));
}

std::unique_ptr<StreamAddressProvider> VdtmProvider::CopyForWorker() const {
  return std::make_unique<VdtmProvider>(host_.empty() ? StreamProviderHost() : host_);
}

std::optional<std::u16string> VdtmProvider::Resolve(std::u16string_view address, const std::atomic<bool>* cancel) {
  const std::u16string host = host_.empty() ? StreamProviderHost() : host_;
  std::u16string page_path = kPagePathBefore;
  page_path += address;
  page_path += kPagePathAfter;
  const CookieResult cookie = FetchCookieValue(host, page_path, kCookieName, cancel);
  if (const std::optional<std::u16string> failure = CookieFailureText(cookie.failure)) ShowPlainMessage(*failure);
  if (cookie.value.empty()) return std::nullopt;

  // The cookie value goes in whole, attributes after ';' included: the
  // server expects the path exactly that way.
  const std::u16string playlist = FetchPageText(u"http://" + host + kPlaylistPath + cookie.value, cancel);
  std::optional<std::u16string> result = ExtractStreamAddress(playlist);
  if (!result || (cancel != nullptr && cancel->load())) return std::nullopt;
  ShowPlainMessage(*result);
  return result;
}

}  // namespace vidora
