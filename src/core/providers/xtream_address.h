#ifndef VIDORA_CORE_PROVIDERS_XTREAM_ADDRESS_H_
#define VIDORA_CORE_PROVIDERS_XTREAM_ADDRESS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/net/credential_mask.h"

namespace vidora {

// A provider account of the Xtream Codes API, without its password (which
// lives in the CredentialStore only).
struct XtreamAccount {
  std::string server;  // "http://host:port" or with a path, no trailing slash
  std::string user;
};

// The server address as the user typed it, made usable: "http://" added
// when there is no scheme, blanks and trailing slashes and a pasted
// "/player_api.php" or "/get.php…" removed. Empty when nothing remains.
std::string NormaliseXtreamServer(std::string_view typed);

// Percent-escapes everything but unreserved characters (RFC 3986), for a
// path segment or a query value.
std::string EscapeUrlPart(std::string_view text);
std::string UnescapeUrlPart(std::string_view text);

// "{server}/player_api.php?username=…&password=…" and "&action=…" when
// `action` is not empty.
std::string XtreamApiAddress(const XtreamAccount& account, std::string_view password, std::string_view action);

// "{server}/live/{user}/{password}/{stream_id}.{extension}".
std::string XtreamLiveAddress(const XtreamAccount& account, std::string_view password, int64_t stream_id,
                              std::string_view extension);

// The playlist source that stands for the account in the channel library:
// "xtream:" + server + "#" + escaped user. Holds no password.
inline constexpr char kXtreamScheme[] = "xtream:";
std::string XtreamSource(const XtreamAccount& account);
std::optional<XtreamAccount> ParseXtreamSource(std::string_view source);

// The stored address of one live stream: the source + "/" + id + "." +
// extension. Playback turns it into the live address with the password
// read at that moment.
std::string XtreamChannelAddress(const XtreamAccount& account, int64_t stream_id, std::string_view extension);
struct XtreamChannelRef {
  XtreamAccount account;
  int64_t stream_id = 0;
  std::string extension;
};
std::optional<XtreamChannelRef> ParseXtreamChannelAddress(std::string_view address);

// The archive of a live stream. The stored form is a catch-up template
// (see ExpandCatchupTemplate) that holds no password:
//   source + "/timeshift/{duration:60}/{Y}-{m}-{d}:{H}-{M}/" + id + ".ts"
// Once expanded, playback turns it into the provider's archive address
// "{server}/timeshift/{user}/{password}/{minutes}/{YYYY-MM-DD:HH-MM}/{id}.ts"
// with the password read at that moment.
std::string XtreamArchiveTemplate(const XtreamAccount& account, int64_t stream_id);
struct XtreamArchiveRef {
  XtreamAccount account;
  std::string minutes;  // digits
  std::string start;    // "YYYY-MM-DD:HH-MM"
  int64_t stream_id = 0;
};
// None unless `address` is an expanded archive template.
std::optional<XtreamArchiveRef> ParseXtreamArchiveAddress(std::string_view address);
std::string XtreamTimeshiftAddress(const XtreamArchiveRef& archive, std::string_view password);

// A film or a series' episode, stored without the password:
// source + "/movie/" (or "/series/") + id + "." + extension. Playback turns
// it into "{server}/movie/{user}/{password}/{id}.{extension}" (or
// /series/) with the password read at that moment.
struct XtreamMediaRef {
  XtreamAccount account;
  bool episode = false;  // /series/, else /movie/
  int64_t id = 0;
  std::string extension;  // letters and digits, at most 8
};
std::string XtreamMediaAddress(const XtreamMediaRef& media);
std::optional<XtreamMediaRef> ParseXtreamMediaAddress(std::string_view address);
std::string XtreamPlayAddress(const XtreamMediaRef& media, std::string_view password);

// The account's programme guide as a guide source: source + "/xmltv.php"
// (no password), and the address it is downloaded from,
// "{server}/xmltv.php?username=…&password=…".
std::string XtreamGuideSource(const XtreamAccount& account);
std::optional<XtreamAccount> ParseXtreamGuideSource(std::string_view source);
std::string XtreamGuideAddress(const XtreamAccount& account, std::string_view password);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_XTREAM_ADDRESS_H_
