#ifndef VIDORA_CORE_NET_HTTP_CLIENT_H_
#define VIDORA_CORE_NET_HTTP_CLIENT_H_

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/document/memory_stream.h"
#include "core/net/http_limits.h"

namespace vidora {

// Blocking HTTP GET operations. Each call opens its own connection, reads
// the whole answer and closes everything before it returns; the calls
// share no state, so they may run on any thread at the same time. They
// report failures in their results and never show anything. The
// server's status code is never examined: an error page is a body like any
// other. Redirects are followed; nothing is cached. Bounds: see
// http_limits.h.

// The agent string of page and cookie requests.
inline constexpr char16_t kBrowserAgent[] =
    u"Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.1.9) Gecko/20100315 Firefox/3.5.9 GTB7.0";

// The extra header block every request carries: the form content type and
// "User-Agent:" with `agent`, one header per line, no blank after a colon
// and no line end after the agent.
std::u16string AdditionalHeaderBlock(std::u16string_view agent);

// Fetches `url` (HTTP/1.1) with `agent` into a new stream positioned at its
// start, holding exactly the body's bytes (an empty body gives an empty
// stream). None when no answer came, the transfer broke off or ran past
// the total time-limit of `kind`, the body exceeded the size bound of
// `kind` (HttpLimits::MaxBodyBytes), or `cancel` (may be null) became true.
// The caller owns the stream.
std::unique_ptr<MemoryStream> DownloadToMemory(std::u16string_view agent, std::u16string_view url,
                                               const std::atomic<bool>* cancel = nullptr,
                                               HttpRequestKind kind = HttpRequestKind::kCatalogueFile);

// What DownloadToFile came to; `reason` says why when not `ok`.
struct FileDownload {
  bool ok = false;
  std::string reason;
  uint64_t bytes = 0;
};

// Fetches `url` (HTTP/1.1) with `agent` straight into `path` (created new,
// replaced), so memory stays small whatever the size. Bounded by the size
// and total time of `kind`; `cancel` (may be null) ends it. A failed
// transfer leaves a partial file the caller removes. Blocking; any thread.
FileDownload DownloadToFile(std::u16string_view agent, std::u16string_view url, const std::filesystem::path& path,
                            const std::atomic<bool>* cancel, HttpRequestKind kind);

// Fetches `url` (HTTP/1.1) with the browser agent and returns the body as
// text, each chunk as it arrived cut at its first zero byte. Empty when no
// answer came or the body exceeded HttpLimits::max_page_bytes; a transfer
// that breaks off after the answer began (also at the page's total
// time-limit or below the minimum speed) returns the text read so far.
// `cancel` (may be null) ends the transfer early, as a broken one.
std::u16string FetchPageText(std::u16string_view url, const std::atomic<bool>* cancel = nullptr);

// Why a cookie request gave no value.
enum class CookieFailure {
  kNone,          // the value was read
  kNotStarted,    // the transfer could not be set up at all
  kUnusableHost,  // the host cannot address a server
  kNotPrepared,   // the request could not be prepared
  kNoAnswer,      // no answer came (unreachable, refused, time-out)
  kNoCookie,      // the final answer sets no cookie, or one longer than 1023 characters
};

// The key of the sentence the player shows for `failure`; empty for kNone
// and kNotStarted (nothing to say).
std::string_view CookieFailureTextKey(CookieFailure failure);
// That sentence in the current language; none when nothing is to be said.
std::optional<std::u16string> CookieFailureText(CookieFailure failure);

// What a cookie request came to: the value (empty on failure) and why
// there is none.
struct CookieResult {
  std::u16string value;
  CookieFailure failure = CookieFailure::kNone;
};

// Sends "GET `path` HTTP/1.0" to `host` (a name or address, optionally
// with ":port"; port 80 otherwise) with the browser agent, the path exactly
// as given (no slash added) apart from percent-encoding what a URL cannot
// carry, and returns the value of the first Set-Cookie header of the final
// answer: without the leading "`cookie_name`=" when it starts with exactly
// that, whole otherwise, attributes after ';' kept. The body is not read.
// `cancel` (may be null) ends the request early, as one that got no answer.
CookieResult FetchCookieValue(std::u16string_view host, std::u16string_view path, std::u16string_view cookie_name,
                              const std::atomic<bool>* cancel = nullptr);

}  // namespace vidora

#endif  // VIDORA_CORE_NET_HTTP_CLIENT_H_
