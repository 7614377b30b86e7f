#include "core/catalogue/channel.h"

#include <string>

#include "core/catalogue/country.h"
#include "core/document/text_codec.h"

namespace vidora {

// A big playlist holds hundreds of thousands of channels: a field added
// here costs megabytes. Rare data goes to Extras.
static_assert(sizeof(void*) != 8 || sizeof(Channel) <= 64, "a channel takes one cache line");

Channel::Extras& Channel::extras() const {
  if (extras_ == nullptr) extras_ = std::make_unique<Extras>();
  return *extras_;
}

const std::u16string& Channel::title() const {
  std::u16string& text = extras().title;
  // The address channel of a command line has no country; its title is set.
  if (text.empty() && country_ != nullptr) {
    const std::u16string& country = country_->display_name();
    const std::u16string_view name = this->name();
    text.reserve(country.size() + 1 + name.size());
    text.append(country).append(u" ").append(name);
  }
  return text;
}

const std::u16string& Channel::info_line() const {
  std::u16string& text = extras().info_line;
  if (text.empty() && country_ != nullptr) {
    text = country_->display_name();
    if (group_line_) {
      if (!group_.view().empty()) text.append(u" \u00B7 ").append(Utf8ToUtf16(group_.view()));
    } else if (current_source_ >= 0 && static_cast<size_t>(current_source_) < sources().size()) {
      const std::string bitrate = std::to_string(sources()[static_cast<size_t>(current_source_)].bitrate);
      text.append(u" (").append(bitrate.begin(), bitrate.end());
      if (country_->kb_text_ != nullptr) text.append(*country_->kb_text_);
      text.append(u")");
    }
  }
  return text;
}

}  // namespace vidora
