#include "core/catalogue/channel.h"

#include <string>

#include "core/catalogue/country.h"

namespace vidora {

const std::u16string& Channel::title() const {
  // The address channel of a command line has no country; its title is set.
  if (title_.empty() && country_ != nullptr) {
    const std::u16string& country = country_->display_name();
    title_.reserve(country.size() + 1 + name_.size());
    title_.append(country).append(u" ").append(name_);
  }
  return title_;
}

const std::u16string& Channel::info_line() const {
  if (info_line_.empty() && country_ != nullptr) {
    info_line_ = country_->display_name();
    if (current_source_ >= 0 && static_cast<size_t>(current_source_) < sources_.size()) {
      const std::string bitrate = std::to_string(sources_[static_cast<size_t>(current_source_)].bitrate);
      info_line_.append(u" (").append(bitrate.begin(), bitrate.end());
      if (kb_text_ != nullptr) info_line_.append(*kb_text_);
      info_line_.append(u")");
    }
  }
  return info_line_;
}

}  // namespace vidora
