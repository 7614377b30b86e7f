// The per-user choices kept as texts in the settings: each channel's
// tracks, the recently watched channels, the parental lock's categories,
// its PIN record, each playlist's sort and the guide addresses added to
// playlists. The first byte picks the reader; the rest is the
// stored text. A text read and written again reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/guide/playlist_guide_addresses.h"
#include "core/history/recent_channels.h"
#include "core/parental/parental_rules.h"
#include "core/parental/pin_record.h"
#include "core/playlists/playlist_sort.h"
#include "core/stores/settings_store.h"
#include "core/tracks/track_choices.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  std::u16string wide(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < wide.size(); ++i) {
    wide[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  }
  switch (data[0] % 6) {
    case 0: {
      const std::u16string once = vidora::TrackChoices::Decode(wide).Encode();
      if (vidora::TrackChoices::Decode(once).Encode() != once) std::abort();
      break;
    }
    case 1:
      vidora::RecentChannels::Decode(bytes).Encode();
      break;
    case 2:
      vidora::ParentalRules::Decode(wide).Encode();
      break;
    case 4: {
      // Whatever the stored text, a choice made now reads back.
      vidora::SetSetting(vidora::kPlaylistSortSetting, wide);
      vidora::StoredPlaylistSort("pl00000001");
      vidora::StorePlaylistSort("pl00000002", vidora::PlaylistSort::kNumber);
      if (vidora::StoredPlaylistSort("pl00000002") != vidora::PlaylistSort::kNumber) std::abort();
      break;
    }
    case 5: {
      const std::u16string once = vidora::EncodePlaylistGuideAddresses(vidora::DecodePlaylistGuideAddresses(wide));
      if (vidora::EncodePlaylistGuideAddresses(vidora::DecodePlaylistGuideAddresses(once)) != once) std::abort();
      break;
    }
    default:
      if (const auto record = vidora::DecodePinRecord(wide)) vidora::EncodePinRecord(*record);
      break;
  }
  return 0;
}
