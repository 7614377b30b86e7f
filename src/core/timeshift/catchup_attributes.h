#ifndef VIDORA_CORE_TIMESHIFT_CATCHUP_ATTRIBUTES_H_
#define VIDORA_CORE_TIMESHIFT_CATCHUP_ATTRIBUTES_H_

#include <string>

namespace vidora {

// The archive attributes of one playlist entry (or of the #EXTM3U header),
// exactly as written; empty when absent. Interpreting them is
// ReadChannelArchive's job.
struct CatchupAttributes {
  std::string catchup{};     // catchup=, else catchup-type=
  std::string source{};      // catchup-source= (a template)
  std::string days{};        // catchup-days=
  std::string correction{};  // catchup-correction= (hours, may be decimal)
  std::string tvg_shift{};   // tvg-shift= (hours, may be decimal)
  std::string timeshift{};   // the older timeshift= (days)
  std::string tvg_rec{};     // the older tvg-rec= (days)
};

}  // namespace vidora

#endif  // VIDORA_CORE_TIMESHIFT_CATCHUP_ATTRIBUTES_H_
