#include "core/tracks/track_choices.h"

#include <gtest/gtest.h>

namespace vidora {
namespace {

StreamTrack Track(int64_t id, TrackKind kind, const std::string& language, bool selected = false) {
  StreamTrack track;
  track.id = id;
  track.kind = kind;
  track.language = language;
  track.selected = selected;
  return track;
}

TEST(TrackChoicesTest, AChannelsChoiceComesBeforeThePreferredLanguagesAndSubtitlesStayOffUnlessAsked) {
  EXPECT_EQ(RequestFor(nullptr, "de,deu", ""), (TrackRequest{"de,deu", "", false, {}, {}}));
  EXPECT_EQ(RequestFor(nullptr, "", "en,eng"), (TrackRequest{"", "en,eng", true, {}, {}}));
  const TrackChoice chosen{"eng", "off"};
  EXPECT_EQ(RequestFor(&chosen, "de", "en"), (TrackRequest{"eng,de", "en", false, {}, {}}));
  // Tracks without a language are chosen by id once listed.
  const TrackChoice by_id{"#3", "#5"};
  EXPECT_EQ(RequestFor(&by_id, "de", ""), (TrackRequest{"de", "", true, 3, 5}));
}

TEST(TrackChoicesTest, KeysCycleThroughTracksAndSubtitlesPassThroughOff) {
  const std::vector<StreamTrack> tracks = {Track(1, TrackKind::kAudio, "deu", true), Track(2, TrackKind::kAudio, "eng"),
                                           Track(1, TrackKind::kSubtitle, "eng", true)};
  EXPECT_EQ(NextTrack(tracks, TrackKind::kAudio).id, 2);
  const TrackStep off = NextTrack(tracks, TrackKind::kSubtitle);
  EXPECT_TRUE(off.possible);
  EXPECT_FALSE(off.id);
  EXPECT_FALSE(NextTrack({Track(1, TrackKind::kAudio, "")}, TrackKind::kSubtitle).possible);
  // From off, the first subtitle track; from the last audio, the first.
  EXPECT_EQ(NextTrack({Track(4, TrackKind::kSubtitle, "")}, TrackKind::kSubtitle).id, 4);
  EXPECT_EQ(NextTrack({Track(1, TrackKind::kAudio, ""), Track(2, TrackKind::kAudio, "", true)}, TrackKind::kAudio).id, 1);
}

TEST(TrackChoicesTest, ChoicesSurviveTheSettingsNewestFirstAndBounded) {
  TrackChoices choices;
  for (size_t i = 0; i < TrackChoices::kMaxChannels + 5; ++i) choices.Remember("ch" + std::to_string(i), {"deu", "off"});
  choices.Remember("ch7", {"eng", "#2"});
  const TrackChoices read = TrackChoices::Decode(choices.Encode());
  ASSERT_NE(read.Find("ch7"), nullptr);
  EXPECT_EQ(*read.Find("ch7"), (TrackChoice{"eng", "#2"}));
  EXPECT_EQ(read.Find("ch0"), nullptr);  // the oldest went
  EXPECT_NE(read.Find("ch504"), nullptr);
  // Damaged entries are passed over.
  const TrackChoices damaged = TrackChoices::Decode(u"broken\x1e\x1f" u"a\x1f" u"b\x1eok\x1f" u"deu\x1f" u"off");
  ASSERT_NE(damaged.Find("ok"), nullptr);
  EXPECT_EQ(damaged.Find("ok")->audio, "deu");
}

}  // namespace
}  // namespace vidora
