#include "core/playback/stream_failure.h"

#include <array>
#include <cctype>

#include "core/net/credential_mask.h"

namespace vidora {
namespace {

constexpr std::array<std::string_view, 8> kNotFoundWords = {
    "Failed to resolve",      "Name or service not known", "Temporary failure in name", "Network is unreachable",
    "No route to host",       "Host is unreachable",       "Cannot assign requested address",
    "No address associated",
};
constexpr std::array<std::string_view, 3> kNoConnectionWords = {"Connection refused", "timed out", "Timed out"};
constexpr std::array<std::string_view, 3> kSoundWords = {"audio device", "Playback open error", "audio output"};
constexpr std::array<std::string_view, 6> kFormatWords = {
    "Failed to recognize file format", "Invalid data found", "unrecognized file format",
    "No video or audio streams",       "Could not open codec", "could not open codec",
};

template <size_t N>
bool ContainsAny(std::string_view line, const std::array<std::string_view, N>& words) {
  for (std::string_view word : words) {
    if (line.find(word) != std::string_view::npos) return true;
  }
  return false;
}

// The three-digit status after "HTTP error " or "Server returned ", else 0.
int HttpStatusIn(std::string_view line) {
  for (std::string_view marker : {std::string_view("HTTP error "), std::string_view("Server returned ")}) {
    const size_t at = line.find(marker);
    if (at == std::string_view::npos) continue;
    const std::string_view rest = line.substr(at + marker.size());
    if (rest.size() < 3 || !std::isdigit(static_cast<unsigned char>(rest[0]))) continue;
    int status = 0;
    for (int i = 0; i < 3; ++i) {
      // "4XX" stands for a status the network layer does not name.
      const char c = rest[static_cast<size_t>(i)];
      status = status * 10 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : 0);
    }
    if (status >= 400 && status < 600) return status;
  }
  return 0;
}

// Causes that say where the stream broke come before those that follow
// from it: a refused connection also leaves "no streams" behind.
int Rank(StreamFailure failure) {
  switch (failure) {
    case StreamFailure::kNone:
      return 0;
    case StreamFailure::kBadFormat:
      return 1;
    case StreamFailure::kNoSoundDevice:
      return 2;
    default:
      return 3;
  }
}

}  // namespace

std::string_view FailureTextKey(StreamFailure failure) {
  switch (failure) {
    case StreamFailure::kNone:
      return {};
    case StreamFailure::kServerNotFound:
      return "err_server_not_found";
    case StreamFailure::kNoConnection:
      return "err_no_connection";
    case StreamFailure::kNotAvailable:
      return "err_not_available";
    case StreamFailure::kServerError:
      return "err_server_error";
    case StreamFailure::kBadFormat:
      return "err_bad_format";
    case StreamFailure::kNoSoundDevice:
      return "err_no_sound";
    case StreamFailure::kNoProviderAddress:
      return "err_no_address";
    case StreamFailure::kCannotPlay:
      return "err_cannot_play";
  }
  return {};
}

bool IsUnreachable(StreamFailure failure) {
  return failure == StreamFailure::kServerNotFound || failure == StreamFailure::kNoConnection;
}

void FailureNotes::Note(std::string_view module, std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
  // The network layer retrying is no failure.
  if (line.empty() || line.find("Will reconnect") != std::string_view::npos) return;

  StreamFailure cause = StreamFailure::kNone;
  const int status = HttpStatusIn(line);
  if (ContainsAny(line, kNotFoundWords)) {
    cause = StreamFailure::kServerNotFound;
  } else if (ContainsAny(line, kNoConnectionWords)) {
    cause = StreamFailure::kNoConnection;
  } else if (status != 0) {
    cause = status < 500 ? StreamFailure::kNotAvailable : StreamFailure::kServerError;
  } else if (module.substr(0, 2) == "ao" || ContainsAny(line, kSoundWords)) {
    cause = StreamFailure::kNoSoundDevice;
  } else if (ContainsAny(line, kFormatWords)) {
    cause = StreamFailure::kBadFormat;
  }
  if (Rank(cause) > Rank(cause_)) {
    cause_ = cause;
    if (status != 0) http_status_ = status;
  }
  // The device's complaint is no word about the stream.
  if (cause == StreamFailure::kNoSoundDevice) {
    sound_missing_ = true;
  } else if (Rank(cause) > Rank(stream_cause_)) {
    stream_cause_ = cause;
  }

  // The network layer says what went wrong ("HTTP error 404 Not Found");
  // the player's own closing line ("Failed to open ...") only says that it
  // did.
  const bool from_network = module == "ffmpeg";
  if (from_network) {
    const size_t colon = line.find(": ");
    if (colon != std::string_view::npos && colon < 16) line.remove_prefix(colon + 2);
  }
  // The line names the address, and a provider account's carries its
  // password: the detail goes to the log and a tooltip.
  if (from_network || detail_.empty()) detail_ = MaskCredentials(line);
}

}  // namespace vidora
