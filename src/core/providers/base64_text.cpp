#include "core/providers/base64_text.h"

#include <cstdint>

namespace vidora {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int ValueOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::optional<std::string> DecodeBase64(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  uint32_t bits = 0;
  int count = 0;
  size_t padding = 0;
  for (char c : text) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
    if (c == '=') {
      ++padding;
      continue;
    }
    const int value = ValueOf(c);
    // Nothing but padding may follow padding.
    if (value < 0 || padding > 0) return std::nullopt;
    bits = (bits << 6) | static_cast<uint32_t>(value);
    if (++count == 4) {
      out += static_cast<char>((bits >> 16) & 0xFF);
      out += static_cast<char>((bits >> 8) & 0xFF);
      out += static_cast<char>(bits & 0xFF);
      bits = 0;
      count = 0;
    }
  }
  if (padding > 2) return std::nullopt;
  switch (count) {
    case 0: break;
    case 2: out += static_cast<char>((bits >> 4) & 0xFF); break;
    case 3:
      out += static_cast<char>((bits >> 10) & 0xFF);
      out += static_cast<char>((bits >> 2) & 0xFF);
      break;
    default: return std::nullopt;
  }
  return out;
}

std::string EncodeBase64(const uint8_t* bytes, size_t count) {
  std::string out;
  out.reserve((count + 2) / 3 * 4);
  for (size_t i = 0; i < count; i += 3) {
    const uint32_t a = bytes[i];
    const uint32_t b = i + 1 < count ? bytes[i + 1] : 0;
    const uint32_t c = i + 2 < count ? bytes[i + 2] : 0;
    const uint32_t triple = (a << 16) | (b << 8) | c;
    out.push_back(kAlphabet[(triple >> 18) & 63]);
    out.push_back(kAlphabet[(triple >> 12) & 63]);
    out.push_back(i + 1 < count ? kAlphabet[(triple >> 6) & 63] : '=');
    out.push_back(i + 2 < count ? kAlphabet[triple & 63] : '=');
  }
  return out;
}

}  // namespace vidora
