#ifndef VIDORA_CORE_PLAYBACK_STREAM_ADDRESS_POLICY_H_
#define VIDORA_CORE_PLAYBACK_STREAM_ADDRESS_POLICY_H_

#include <cstddef>
#include <string_view>

namespace vidora {

// Where an address handed to the player came from.
enum class StreamAddressOrigin {
  // The catalogue, a stream provider's page, a playlist: anything that
  // arrived over the network and so may be hostile.
  kNetwork,
  // A file the user named on purpose (the command line).
  kUserLocalFile,
};

// The language key of the message shown when an address is refused.
inline constexpr char kRefusedAddressTextKey[] = "msg_address_refused";

// The longest address the player opens, in UTF-16 units: real stream
// addresses, tokens included, stay far below it; a longer one is refused
// with kTooLongAddressTextKey's sentence ("%1": this length).
inline constexpr size_t kMaxStreamAddressLength = 8192;
inline constexpr char kTooLongAddressTextKey[] = "msg_address_too_long";

// The network stream schemes a network address may have, by index
// (0 <= index < kNetworkStreamSchemeCount), in lower case.
inline constexpr size_t kNetworkStreamSchemeCount = 10;
std::u16string_view NetworkStreamScheme(size_t index);

// Whether the player may open `address`. A network address must be
// "scheme://..." with one of the network stream schemes (http, https,
// rtsp, rtsps, rtmp, rtmps, mms, mmsh, udp, rtp; any letter case) and
// carry no control character; everything else (file:, av:, lavfi:, fd:,
// edl:, memory:, concat:, subfile:, a bare or relative path, ...) names a
// local resource or a player feature and is refused. A user's local file
// may also be a plain path or a file: address. Pure; any thread.
bool IsAllowedStreamAddress(std::u16string_view address,
                            StreamAddressOrigin origin = StreamAddressOrigin::kNetwork);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYBACK_STREAM_ADDRESS_POLICY_H_
