#ifndef VIDORA_CORE_STORES_SETTING_KEYS_H_
#define VIDORA_CORE_STORES_SETTING_KEYS_H_

#include <cstdint>
#include <string_view>

namespace vidora {

// Every setting the player reads or writes, with its key in Settings.cfg
// and its default. Code reads and writes settings only through these
// descriptors (GetSetting / SetSetting in settings_store.h), so a key and
// its default exist exactly once and a typo cannot create a new setting.
struct BoolSettingKey {
  std::string_view key;
  bool fallback;
};
struct IntSettingKey {
  std::string_view key;
  int32_t fallback;
};
struct TextSettingKey {
  std::string_view key;
  std::u16string_view fallback;
};

// Start-up and language.
inline constexpr BoolSettingKey kFirstRunSetting{"first_run", true};
inline constexpr TextSettingKey kLanguageSetting{"Language", u"en"};

// Options of the settings dialog.
inline constexpr BoolSettingKey kAutoUpdateSetting{"AutoU", true};
inline constexpr BoolSettingKey kAutoCatalogueUpdateSetting{"AutoCU", true};
inline constexpr BoolSettingKey kHideAdultSetting{"HideAD", false};
inline constexpr BoolSettingKey kLandscapeFullScreenSetting{"LandscapeFS", true};

// Playback.
inline constexpr IntSettingKey kVolumeSetting{"sound_volume", 50};

// The channels dialog's remembered selections.
inline constexpr IntSettingKey kSelectedCountrySetting{"sel_country", 0};
inline constexpr IntSettingKey kSelectedCategorySetting{"sel_category", 0};
inline constexpr IntSettingKey kSelectedKindSetting{"sel_tvradio", 0};
inline constexpr IntSettingKey kSelectedTabSetting{"sel_tab", 0};
inline constexpr TextSettingKey kCurrentChannelKeySetting{"cur_channel", u""};
// What the country and category filters stand for (a country or playlist
// key, a category key; empty: "all" or not stored yet, when the positions
// above are read instead).
inline constexpr TextSettingKey kSelectedCountryKeySetting{"sel_country_key", u""};
inline constexpr TextSettingKey kSelectedCategoryKeySetting{"sel_category_key", u""};
// How each playlist's channels are listed, where not in the playlist's own
// order: "playlist key" U+001F "sort number" (PlaylistSort), pairs
// separated by U+001E.
inline constexpr TextSettingKey kPlaylistSortSetting{"PlaylistSort", u""};

// The main window's place on the desktop when it last closed:
// "x,y,width,height" of its normal geometry, then ",max" when it was
// maximised; empty until the first close.
inline constexpr TextSettingKey kWindowGeometrySetting{"WindowGeometry", u""};

// Server overrides: read only when present (FindSetting), so a missing
// key is never stored; the fallback is unused.
inline constexpr TextSettingKey kPublisherHostSetting{"PublisherHost", u""};
inline constexpr TextSettingKey kPublisherSiteHostSetting{"PublisherSiteHost", u""};
inline constexpr TextSettingKey kStreamProviderHostSetting{"StreamProviderHost", u""};

// Programme guide addresses (comma-separated, XMLTV) used besides the
// playlists' own url-tvg; read only when present (FindSetting).
inline constexpr TextSettingKey kGuideAddressSetting{"GuideAddress", u""};
// Guide addresses the user added to playlists, kept apart from the
// playlists' files so refreshes keep them (playlist_guide_addresses.h).
inline constexpr TextSettingKey kPlaylistGuideAddressesSetting{"PlaylistGuideAddresses", u""};
// Guide channels the user chose for playlist channels: "channel key" U+001F
// "guide channel id", pairs separated by U+001E.
inline constexpr TextSettingKey kGuideChoicesSetting{"GuideChoices", u""};
// Programme reminders: start, channel key, title, channel name, separated
// by U+001F; one reminder after another, each ended by U+001E.
inline constexpr TextSettingKey kGuideRemindersSetting{"GuideReminders", u""};
// Provider accounts: what the last check of each told (status, expiry,
// connections), so the settings show it from the start; written and read
// by EncodeAccountInfos / RestoreAccountInfos (core/providers).
inline constexpr TextSettingKey kProviderAccountsSetting{"ProviderAccounts", u""};

// Recording: how many may run at once, and the free space (MB) below which
// none starts and a running one stops.
inline constexpr IntSettingKey kMaxRecordingsSetting{"MaxRecordings", 2};
inline constexpr IntSettingKey kRecordingMinFreeMbSetting{"RecordingMinFreeMB", 512};

// Time-shift: how much of a live channel is kept to pause and rewind,
// whichever bound comes first.
inline constexpr IntSettingKey kTimeshiftMinutesSetting{"TimeshiftMinutes", 60};
inline constexpr IntSettingKey kTimeshiftMegabytesSetting{"TimeshiftMB", 2048};

}  // namespace vidora

#endif  // VIDORA_CORE_STORES_SETTING_KEYS_H_
