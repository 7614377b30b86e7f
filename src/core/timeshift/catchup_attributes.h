#ifndef VIDORA_CORE_TIMESHIFT_CATCHUP_ATTRIBUTES_H_
#define VIDORA_CORE_TIMESHIFT_CATCHUP_ATTRIBUTES_H_

#include <string>

namespace vidora {

// The archive attributes of one playlist entry (or of the #EXTM3U header),
// exactly as written; empty when absent. Interpreting them is
// ReadChannelArchive's job.
struct CatchupAttributes {
  std::string catchup{};     // catchup=
  std::string catchup_type{};  // catchup-type= (read where catchup= is absent)
  std::string source{};      // catchup-source= (a template)
  std::string days{};        // catchup-days=
  std::string correction{};  // catchup-correction= (hours, may be decimal)
  std::string tvg_shift{};   // tvg-shift= (hours, may be decimal)
  std::string timeshift{};   // the older timeshift= (days)
  std::string tvg_rec{};     // the older tvg-rec= (days)

  bool empty() const {
    return catchup.empty() && catchup_type.empty() && source.empty() && days.empty() && correction.empty() &&
           tvg_shift.empty() && timeshift.empty() && tvg_rec.empty();
  }
};

}  // namespace vidora

#endif  // VIDORA_CORE_TIMESHIFT_CATCHUP_ATTRIBUTES_H_
