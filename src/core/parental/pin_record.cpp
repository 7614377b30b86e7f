#include "core/parental/pin_record.h"

#include <charconv>

namespace vidora {
namespace {

constexpr std::u16string_view kScheme = u"pbkdf2-sha256";
constexpr char kHexDigits[] = "0123456789abcdef";
// Far above any count the player derives with; a larger one would hold
// the window for minutes.
constexpr int kMaxIterations = 10'000'000;

void AppendHex(std::u16string& out, std::string_view bytes) {
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    out.push_back(static_cast<char16_t>(kHexDigits[byte >> 4]));
    out.push_back(static_cast<char16_t>(kHexDigits[byte & 15]));
  }
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

std::optional<std::string> ReadHex(std::u16string_view text) {
  if (text.empty() || text.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = HexValue(text[i]);
    const int low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

// The next '$'-separated field of `text`, taken off its front.
std::u16string_view TakeField(std::u16string_view& text) {
  const size_t end = text.find(u'$');
  const std::u16string_view field = text.substr(0, end);
  text = end == std::u16string_view::npos ? std::u16string_view() : text.substr(end + 1);
  return field;
}

}  // namespace

std::u16string EncodePinRecord(const PinRecord& record) {
  std::u16string text(kScheme);
  text += u'$';
  for (const char c : std::to_string(record.iterations)) text.push_back(static_cast<char16_t>(c));
  text += u'$';
  AppendHex(text, record.salt);
  text += u'$';
  AppendHex(text, record.hash);
  return text;
}

std::optional<PinRecord> DecodePinRecord(std::u16string_view text) {
  if (TakeField(text) != kScheme || text.empty()) return std::nullopt;
  const std::u16string_view count = TakeField(text);
  std::string digits;
  for (const char16_t c : count) {
    if (c < u'0' || c > u'9') return std::nullopt;
    digits.push_back(static_cast<char>(c));
  }
  PinRecord record;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), record.iterations);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || record.iterations < 1 ||
      record.iterations > kMaxIterations) {
    return std::nullopt;
  }
  std::optional<std::string> salt = ReadHex(TakeField(text));
  std::optional<std::string> hash = ReadHex(TakeField(text));
  if (!salt || !hash || !text.empty()) return std::nullopt;
  record.salt = std::move(*salt);
  record.hash = std::move(*hash);
  return record;
}

bool SameBytesInConstantTime(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (size_t i = 0; i < a.size(); ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
  // Read through a volatile so that the loop is not cut short at the
  // first difference.
  volatile unsigned char result = difference;
  return result == 0;
}

}  // namespace vidora
