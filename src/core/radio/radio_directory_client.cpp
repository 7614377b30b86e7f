#include "core/radio/radio_directory_client.h"

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>

#include "core/document/text_codec.h"
#include "core/net/http_client.h"
#include "core/providers/xtream_address.h"

namespace vidora {
namespace {

constexpr char kMirrorListHost[] = "all.api.radio-browser.info";

const char* FieldName(RadioSearchField field, std::string_view text) {
  switch (field) {
    case RadioSearchField::kName: return "name";
    case RadioSearchField::kCountry: return text.size() == 2 ? "countrycode" : "country";
    case RadioSearchField::kLanguage: return "language";
    case RadioSearchField::kTag: return "tag";
  }
  return "name";
}

}  // namespace

std::string RadioQueryPath(const RadioQuery& query) {
  const std::string limit = std::to_string(std::clamp(query.limit, 1, 1000));
  switch (query.list) {
    case RadioList::kMostVoted: return "/json/stations/topvote/" + limit + "?hidebroken=true";
    case RadioList::kMostClicked: return "/json/stations/topclick/" + limit + "?hidebroken=true";
    case RadioList::kSearch: break;
  }
  return "/json/stations/search?" + std::string(FieldName(query.field, query.text)) + "=" + EscapeUrlPart(query.text) +
         "&limit=" + limit + "&hidebroken=true&order=votes&reverse=true";
}

std::vector<std::string> RadioMirrors(std::string_view configured) {
  std::string own(configured);
  while (!own.empty() && (own.back() == '/' || own.back() == ' ')) own.pop_back();
  if (!own.empty()) return {own.find("://") == std::string::npos ? "http://" + own : own};
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  std::set<std::string> names;
  if (getaddrinfo(kMirrorListHost, "443", &hints, &found) == 0) {
    for (addrinfo* at = found; at != nullptr; at = at->ai_next) {
      char host[NI_MAXHOST];
      if (getnameinfo(at->ai_addr, at->ai_addrlen, host, sizeof(host), nullptr, 0, NI_NAMEREQD) == 0) {
        names.insert(host);
      }
    }
    freeaddrinfo(found);
  }
  std::vector<std::string> mirrors;
  for (const std::string& name : names) mirrors.push_back("https://" + name);
  std::shuffle(mirrors.begin(), mirrors.end(), std::mt19937(std::random_device{}()));
  return mirrors;
}

std::u16string RadioDirectoryAgent() { return u"Vidora/1.0 (desktop internet TV and radio player)"; }

RadioStations RadioDirectoryClient::Fetch(const RadioQuery& query, const std::atomic<bool>* cancel) {
  const std::string path = RadioQueryPath(query);
  for (size_t tried = 0; tried < mirrors_.size(); ++tried) {
    if (cancel != nullptr && cancel->load()) break;
    const size_t index = tried;
    std::unique_ptr<MemoryStream> body =
        DownloadToMemory(RadioDirectoryAgent(), Utf8ToUtf16(mirrors_[index] + path), cancel, HttpRequestKind::kPage);
    if (!body) continue;
    RadioStations stations =
        ReadRadioStations(std::string_view(reinterpret_cast<const char*>(body->Data()), body->size()));
    if (stations.failure != RadioFailure::kNone) continue;
    std::rotate(mirrors_.begin(), mirrors_.begin() + static_cast<std::ptrdiff_t>(index), mirrors_.end());
    return stations;
  }
  RadioStations offline;
  offline.failure = RadioFailure::kOffline;
  return offline;
}

bool RadioDirectoryClient::CountClick(const std::string& uuid, const std::atomic<bool>* cancel) {
  if (mirrors_.empty() || uuid.empty()) return false;
  return DownloadToMemory(RadioDirectoryAgent(), Utf8ToUtf16(mirrors_.front() + "/json/url/" + EscapeUrlPart(uuid)),
                          cancel, HttpRequestKind::kPage) != nullptr;
}

}  // namespace vidora
