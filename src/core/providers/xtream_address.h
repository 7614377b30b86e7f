#ifndef VIDORA_CORE_PROVIDERS_XTREAM_ADDRESS_H_
#define VIDORA_CORE_PROVIDERS_XTREAM_ADDRESS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// `address` with credentials hidden: "user:password@" in the authority,
// the username/password query values and the two path segments after
// /live/, /movie/ or /series/ become "***". For logs and tooltips.
std::string MaskCredentials(std::string_view address);

}  // namespace vidora

#endif  // VIDORA_CORE_PROVIDERS_XTREAM_ADDRESS_H_
