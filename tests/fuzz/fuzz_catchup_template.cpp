// Feeds arbitrary archive descriptions to the archive reader and the
// template expander: line 1 the live address, line 2 the catchup kind,
// line 3 the days, the rest the catchup-source template. Text without a
// brace must come out unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/timeshift/catchup_address.h"
#include "core/timeshift/catchup_template.h"
#include "core/timeshift/channel_archive.h"

namespace {

std::string_view NextLine(std::string_view& text) {
  const size_t end = text.find('\n');
  const std::string_view line = text.substr(0, end);
  text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string live(NextLine(text));
  vidora::CatchupAttributes entry;
  entry.catchup = std::string(NextLine(text));
  entry.days = std::string(NextLine(text));
  entry.source = std::string(text);
  entry.correction = entry.days;
  const vidora::ChannelArchive archive = vidora::ReadChannelArchive(entry, {}, live);
  const int64_t now = 1796763600;
  const vidora::CatchupAddress address = vidora::BuildCatchupAddress(archive, {now - 3600, now - 600, live}, now);
  if (address.refusal == vidora::CatchupRefusal::kNone && !archive.available()) std::abort();
  const std::string expanded = vidora::ExpandCatchupTemplate(entry.source, {now, 60, now, live});
  if (entry.source.find('{') == std::string::npos && expanded != entry.source) std::abort();
  return 0;
}
