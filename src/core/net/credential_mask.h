#ifndef VIDORA_CORE_NET_CREDENTIAL_MASK_H_
#define VIDORA_CORE_NET_CREDENTIAL_MASK_H_

#include <string>
#include <string_view>

namespace vidora {

// `text` (an address, or a line that names addresses, as the player's
// engine logs them) with credentials hidden as "***": "user:password@" in
// the authority of every address, the values of username= and password=
// query fields, and the two path segments after /live/, /movie/, /series/
// and /timeshift/ (where provider accounts put their user name and
// password). For everything that reaches the log, a tooltip or a failure
// detail. Any thread.
std::string MaskCredentials(std::string_view text);

}  // namespace vidora

#endif  // VIDORA_CORE_NET_CREDENTIAL_MASK_H_
