#include "core/recording/ts_duration.h"

#include <cstdint>
#include <fstream>
#include <string>

namespace vidora {
namespace {

constexpr size_t kPacket = 188;
constexpr size_t kWindow = 2u << 20;
constexpr int64_t kPtsWrap = int64_t{1} << 33;

struct Stamp {
  int pid = -1;
  int64_t pts = 0;
};

uint8_t At(std::string_view bytes, size_t i) { return static_cast<uint8_t>(bytes[i]); }

// The PTS of a packet that starts a PES packet carrying one; pid -1 when
// it has none.
Stamp StampOf(std::string_view packet) {
  Stamp stamp;
  if (At(packet, 0) != 0x47 || (At(packet, 1) & 0x40) == 0) return stamp;
  const int pid = ((At(packet, 1) & 0x1F) << 8) | At(packet, 2);
  const int adaptation = (At(packet, 3) >> 4) & 0x3;
  if ((adaptation & 0x1) == 0) return stamp;
  size_t at = 4;
  if (adaptation & 0x2) at += 1 + At(packet, 4);
  if (at + 14 > kPacket) return stamp;
  if (At(packet, at) != 0 || At(packet, at + 1) != 0 || At(packet, at + 2) != 1) return stamp;
  const uint8_t stream_id = At(packet, at + 3);
  // Video and audio streams only: their headers carry time stamps.
  if (stream_id < 0xC0 || stream_id > 0xEF) return stamp;
  if ((At(packet, at + 7) & 0x80) == 0) return stamp;
  const size_t p = at + 9;
  stamp.pts = (static_cast<int64_t>(At(packet, p) & 0x0E) << 29) | (static_cast<int64_t>(At(packet, p + 1)) << 22) |
              (static_cast<int64_t>(At(packet, p + 2) & 0xFE) << 14) | (static_cast<int64_t>(At(packet, p + 3)) << 7) |
              (At(packet, p + 4) >> 1);
  stamp.pid = pid;
  return stamp;
}

// Calls `take` for every packet's stamp, finding the packet grid by its
// sync bytes (a tail may begin mid-packet).
template <typename Take>
void ForEachStamp(std::string_view bytes, Take take) {
  size_t start = 0;
  while (start < kPacket && start + 2 * kPacket <= bytes.size() &&
         !(At(bytes, start) == 0x47 && At(bytes, start + kPacket) == 0x47)) {
    ++start;
  }
  for (size_t at = start; at + kPacket <= bytes.size(); at += kPacket) {
    const Stamp stamp = StampOf(bytes.substr(at, kPacket));
    if (stamp.pid >= 0 && !take(stamp)) return;
  }
}

std::string ReadAt(std::ifstream& in, std::streamoff offset, size_t size) {
  std::string bytes(size, '\0');
  in.seekg(offset);
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  bytes.resize(static_cast<size_t>(in.gcount()));
  in.clear();
  return bytes;
}

}  // namespace

std::optional<double> TsDurationSeconds(std::string_view head, std::string_view tail) {
  Stamp first;
  ForEachStamp(head, [&](const Stamp& stamp) {
    first = stamp;
    return false;
  });
  if (first.pid < 0) return std::nullopt;
  std::optional<int64_t> last;
  ForEachStamp(tail, [&](const Stamp& stamp) {
    if (stamp.pid == first.pid) last = stamp.pts;
    return true;
  });
  if (!last) return std::nullopt;
  const int64_t ticks = ((*last - first.pts) % kPtsWrap + kPtsWrap) % kPtsWrap;
  return static_cast<double>(ticks) / 90000.0;
}

std::optional<double> TsFileDurationSeconds(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size <= 0) return std::nullopt;
  const std::string head = ReadAt(in, 0, kWindow);
  const std::streamoff tail_at = size > static_cast<std::streamoff>(kWindow) ? size - static_cast<std::streamoff>(kWindow) : 0;
  const std::string tail = ReadAt(in, tail_at, kWindow);
  return TsDurationSeconds(head, tail);
}

}  // namespace vidora
