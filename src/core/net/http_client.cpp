#include "core/net/http_client.h"

#include <curl/curl.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "core/document/text_codec.h"
#include "core/net/curl_transfer.h"
#include "core/stores/language_pack.h"
#include "core/net/http_limits.h"

namespace vidora {
namespace {

constexpr char16_t kContentTypeLine[] = u"Content-Type:application/x-www-form-urlencoded\n";
constexpr char16_t kUserAgentPrefix[] = u"User-Agent:";
// The cookie header is read into a buffer of 1024 UTF-16 units, its
// terminating zero included; a longer value cannot be read.
constexpr size_t kMaxCookieHeaderUnits = 1023;
constexpr int kMaxCookieRedirects = 10;

std::vector<std::string> HeaderLines(std::u16string_view agent) {
  const std::string block = Utf16ToUtf8(AdditionalHeaderBlock(agent));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= block.size()) {
    size_t end = block.find('\n', start);
    if (end == std::string::npos) end = block.size();
    if (end > start) lines.push_back(block.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// A host that would change the meaning of the address it is put into (a
// path, a user name, a query) cannot name a server.
bool IsUsableHost(const std::string& host) {
  if (host.empty()) return false;
  for (const char c : host) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || std::strchr("/\\?#@\"<>^`{|}", c) != nullptr) return false;
  }
  return true;
}

// `location` resolved against `base`; none when it is no usable address.
std::optional<std::string> ResolveLocation(const std::string& base, const std::string& location) {
  CURLU* url = curl_url();
  if (url == nullptr) return std::nullopt;
  std::optional<std::string> resolved;
  const std::string encoded = EncodeUrlText(Utf8ToUtf16(location));
  char* text = nullptr;
  if (curl_url_set(url, CURLUPART_URL, base.c_str(), 0) == CURLUE_OK &&
      curl_url_set(url, CURLUPART_URL, encoded.c_str(), 0) == CURLUE_OK &&
      curl_url_get(url, CURLUPART_URL, &text, 0) == CURLUE_OK) {
    resolved = text;
  }
  curl_free(text);
  curl_url_cleanup(url);
  return resolved;
}

}  // namespace

std::u16string AdditionalHeaderBlock(std::u16string_view agent) {
  std::u16string block = kContentTypeLine;
  block += kUserAgentPrefix;
  block += agent;
  return block;
}

std::unique_ptr<MemoryStream> DownloadToMemory(std::u16string_view agent, std::u16string_view url,
                                               const std::atomic<bool>* cancel, HttpRequestKind kind) {
  HttpGetRequest request;
  request.url = EncodeUrlText(url);
  request.header_lines = HeaderLines(agent);
  request.body_mode = BodyMode::kKeepAll;
  request.max_body_bytes = CurrentHttpLimits().MaxBodyBytes(kind);
  request.kind = kind;
  request.cancel = cancel;
  const HttpGetResult result = PerformGet(request);
  if (!result.complete) return nullptr;
  auto stream = std::unique_ptr<MemoryStream>(new (std::nothrow) MemoryStream);
  if (stream == nullptr) return nullptr;
  if (!result.body.empty()) {
    const auto size = static_cast<uint32_t>(result.body.size());
    if (stream->Write(result.body.data(), size) != size) return nullptr;
    stream->Seek(0, kSeekBegin);
  }
  return stream;
}

FileDownload DownloadToFile(std::u16string_view agent, std::u16string_view url, const std::filesystem::path& path,
                            const std::atomic<bool>* cancel, HttpRequestKind kind) {
  FileDownload download;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    download.reason = "cannot write " + path.string();
    return download;
  }
  HttpGetRequest request;
  request.url = EncodeUrlText(url);
  request.header_lines = HeaderLines(agent);
  request.max_body_bytes = CurrentHttpLimits().MaxBodyBytes(kind);
  request.kind = kind;
  request.cancel = cancel;
  bool written = true;
  request.sink = [out, &download, &written](const char* bytes, size_t count) {
    written = std::fwrite(bytes, 1, count, out) == count;
    download.bytes += count;
    return written;
  };
  const HttpGetResult result = PerformGet(request);
  written = std::fclose(out) == 0 && written;
  if (!result.answered) {
    download.reason = "no answer from the server";
  } else if (result.status >= 400) {
    download.reason = "the server answered " + std::to_string(result.status);
  } else if (result.too_large) {
    download.reason = "larger than " + std::to_string(request.max_body_bytes >> 20) + " MB";
  } else if (!written) {
    download.reason = "cannot write " + path.string();
  } else if (cancel != nullptr && cancel->load()) {
    download.reason = "cancelled";
  } else if (!result.complete) {
    download.reason = "the transfer broke off or was too slow";
  } else {
    download.ok = true;
  }
  return download;
}

std::u16string FetchPageText(std::u16string_view url, const std::atomic<bool>* cancel) {
  HttpGetRequest request;
  request.url = EncodeUrlText(url);
  request.cancel = cancel;
  request.header_lines = HeaderLines(kBrowserAgent);
  request.body_mode = BodyMode::kCutChunksAtZero;
  request.max_body_bytes = CurrentHttpLimits().max_page_bytes;
  const HttpGetResult result = PerformGet(request);
  // A page cut off by the size bound is no page at all; one cut off by a
  // broken connection keeps what arrived.
  if (!result.answered || result.too_large) return {};
  return Utf8ToUtf16(result.body);
}

std::string_view CookieFailureTextKey(CookieFailure failure) {
  switch (failure) {
    case CookieFailure::kUnusableHost:
      return "err_provider_host";
    case CookieFailure::kNotPrepared:
      return "err_provider_request";
    case CookieFailure::kNoAnswer:
      return "err_provider_no_answer";
    case CookieFailure::kNoCookie:
      return "err_provider_no_key";
    case CookieFailure::kNone:
    case CookieFailure::kNotStarted:
      break;
  }
  return {};
}

std::optional<std::u16string> CookieFailureText(CookieFailure failure) {
  const std::string_view key = CookieFailureTextKey(failure);
  if (key.empty()) return std::nullopt;
  return GetText(key);
}

CookieResult FetchCookieValue(std::u16string_view host, std::u16string_view path, std::u16string_view cookie_name,
                              const std::atomic<bool>* cancel) {
  const std::string host_text = Utf16ToUtf8(host);
  if (!IsUsableHost(host_text)) return {{}, CookieFailure::kUnusableHost};
  HttpGetRequest request;
  request.url = "http://" + host_text + "/";
  request.request_target = EncodeUrlText(path);
  request.http_1_0 = true;
  // Redirects are followed here, one request at a time, because the path
  // as given belongs to the first request only.
  request.follow_redirects = false;
  request.use_system_proxy = true;
  request.header_lines = HeaderLines(kBrowserAgent);
  request.body_mode = BodyMode::kStopAtFirstByte;
  request.cancel = cancel;

  HttpGetResult result;
  for (int hop = 0;; ++hop) {
    result = PerformGet(request);
    if (!result.opened) return {{}, CookieFailure::kNotStarted};
    if (!result.started) return {{}, CookieFailure::kNotPrepared};
    if (!result.answered) return {{}, CookieFailure::kNoAnswer};
    if (result.status < 300 || result.status >= 400 || hop == kMaxCookieRedirects) break;
    const std::optional<std::string> location = FindHeaderValue(result.header_lines, "Location");
    if (!location || location->empty()) break;  // nowhere to go: this answer is final
    const std::optional<std::string> next = ResolveLocation(request.url, *location);
    if (!next) break;
    request.url = *next;
    request.request_target.clear();
  }

  const std::optional<std::string> cookie = FindHeaderValue(result.header_lines, "Set-Cookie");
  std::u16string value = cookie ? Utf8ToUtf16(*cookie) : std::u16string();
  if (!cookie || value.size() > kMaxCookieHeaderUnits) return {{}, CookieFailure::kNoCookie};
  std::u16string prefix(cookie_name);
  prefix += u'=';
  if (value.compare(0, prefix.size(), prefix) == 0) value.erase(0, prefix.size());
  return {std::move(value), CookieFailure::kNone};
}

}  // namespace vidora
