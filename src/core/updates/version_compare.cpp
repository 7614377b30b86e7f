#include "core/updates/version_compare.h"

#include <array>
#include <cctype>
#include <climits>
#include <cstdint>

namespace vidora {
namespace {

constexpr int kComponents = 4;

int ParseComponent(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT_MAX} + 1) value = int64_t{INT_MAX} + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

std::array<int, kComponents> SplitVersion(std::string_view text) {
  // Version texts are zero-terminated where they come from.
  text = text.substr(0, text.find('\0'));
  std::array<int, kComponents> components{};
  int count = 0;
  size_t start = 0;
  while (count < kComponents && start < text.size()) {
    size_t end = text.find('.', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) components[count++] = ParseComponent(text.substr(start, end - start));
    start = end + 1;
  }
  return components;
}

}  // namespace

int CompareVersions(std::string_view remote, std::string_view local) {
  const std::array<int, kComponents> a = SplitVersion(remote);
  const std::array<int, kComponents> b = SplitVersion(local);
  for (int i = 0; i < kComponents; ++i) {
    if (a[i] > b[i]) return i + 1;
    if (a[i] < b[i]) return -(i + 1);
  }
  return 0;
}

}  // namespace vidora
