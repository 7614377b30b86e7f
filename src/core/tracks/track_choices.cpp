#include "core/tracks/track_choices.h"

#include <algorithm>

#include "core/document/text_codec.h"

namespace vidora {
namespace {

constexpr char16_t kFieldSeparator = u'\x1f';
constexpr char16_t kEntrySeparator = u'\x1e';
constexpr std::string_view kSubtitlesOff = "off";

std::optional<int64_t> TrackId(std::string_view choice) {
  if (choice.size() < 2 || choice.front() != '#') return std::nullopt;
  int64_t id = 0;
  for (char c : choice.substr(1)) {
    if (c < '0' || c > '9' || id > 1'000'000) return std::nullopt;
    id = id * 10 + (c - '0');
  }
  return id;
}

// `first` ahead of `rest`, unless it is a track id or nothing.
std::string Prepend(const std::string& first, const std::string& rest) {
  if (first.empty() || TrackId(first)) return rest;
  return rest.empty() ? first : first + "," + rest;
}

}  // namespace

TrackRequest RequestFor(const TrackChoice* choice, const std::string& preferred_audio,
                        const std::string& preferred_subtitles) {
  TrackRequest request;
  request.audio_languages = preferred_audio;
  request.subtitle_languages = preferred_subtitles;
  request.subtitles = !preferred_subtitles.empty();
  if (choice == nullptr) return request;
  request.audio_languages = Prepend(choice->audio, preferred_audio);
  request.audio_id = TrackId(choice->audio);
  if (choice->subtitles == kSubtitlesOff) {
    request.subtitles = false;
  } else if (!choice->subtitles.empty()) {
    request.subtitles = true;
    request.subtitle_languages = Prepend(choice->subtitles, preferred_subtitles);
    request.subtitle_id = TrackId(choice->subtitles);
  }
  return request;
}

std::string ChoiceFor(const StreamTrack& track) {
  return track.language.empty() ? "#" + std::to_string(track.id) : track.language;
}

TrackStep NextTrack(const std::vector<StreamTrack>& tracks, TrackKind kind) {
  std::vector<const StreamTrack*> of_kind;
  for (const StreamTrack& track : tracks) {
    if (track.kind == kind) of_kind.push_back(&track);
  }
  TrackStep step;
  if (of_kind.empty()) return step;
  step.possible = true;
  const auto selected = std::find_if(of_kind.begin(), of_kind.end(), [](const StreamTrack* t) { return t->selected; });
  if (selected == of_kind.end()) {
    // Nothing (or subtitles off) selected: the first track.
    step.id = of_kind.front()->id;
  } else if (selected + 1 != of_kind.end()) {
    step.id = (*(selected + 1))->id;
  } else if (kind != TrackKind::kSubtitle) {
    step.id = of_kind.front()->id;
  }
  return step;
}

TrackChoices TrackChoices::Decode(std::u16string_view stored) {
  TrackChoices choices;
  while (!stored.empty() && choices.entries_.size() < kMaxChannels) {
    const size_t end = std::min(stored.find(kEntrySeparator), stored.size());
    const std::u16string_view entry = stored.substr(0, end);
    stored.remove_prefix(std::min(end + 1, stored.size()));
    const size_t first = entry.find(kFieldSeparator);
    const size_t second = first == std::u16string_view::npos ? first : entry.find(kFieldSeparator, first + 1);
    if (second == std::u16string_view::npos || first == 0) continue;
    TrackChoice choice{Utf16ToUtf8(entry.substr(first + 1, second - first - 1)), Utf16ToUtf8(entry.substr(second + 1))};
    choices.entries_.emplace_back(Utf16ToUtf8(entry.substr(0, first)), std::move(choice));
  }
  return choices;
}

std::u16string TrackChoices::Encode() const {
  std::u16string out;
  for (const auto& [key, choice] : entries_) {
    if (!out.empty()) out += kEntrySeparator;
    out += Utf8ToUtf16(key) + kFieldSeparator + Utf8ToUtf16(choice.audio) + kFieldSeparator +
           Utf8ToUtf16(choice.subtitles);
  }
  return out;
}

const TrackChoice* TrackChoices::Find(std::string_view channel_key) const {
  for (const auto& [key, choice] : entries_) {
    if (key == channel_key) return &choice;
  }
  return nullptr;
}

void TrackChoices::Remember(const std::string& channel_key, const TrackChoice& choice) {
  std::erase_if(entries_, [&](const auto& entry) { return entry.first == channel_key; });
  entries_.insert(entries_.begin(), {channel_key, choice});
  if (entries_.size() > kMaxChannels) entries_.resize(kMaxChannels);
}

}  // namespace vidora
