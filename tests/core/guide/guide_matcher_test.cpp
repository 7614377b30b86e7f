#include "core/guide/guide_matcher.h"

#include <gtest/gtest.h>

#include "core/guide/xmltv_reader.h"

namespace vidora {
namespace {

TEST(GuideMatcherTest, EachPassMatchesWhatTheEarlierOnesLeft) {
  GuideStore store;
  ReadXmltvBytes("<tv><channel id='BBCOne.uk'><display-name>BBC One</display-name></channel>"
                 "<channel id='arte.fr'><display-name>ARTE</display-name></channel>"
                 "<channel id='epg-42'><display-name>Das Erste</display-name><display-name>ARD</display-name></channel>"
                 "<channel id='epg-43'><display-name>Télé Québec</display-name></channel>"
                 "<channel id='epg-44'><display-name>Первый канал</display-name></channel>"
                 "<channel id='epg-45'><display-name>Other</display-name></channel></tv>",
                 store, 0);
  store.Finish();
  GuideMatchList channels;
  for (const GuideMatchInput& channel : std::initializer_list<GuideMatchInput>{
      {"bbcone.UK", "", "Something else", ""},   // id, letter case ignored
      {"arte.fr@SD", "", "", ""},                // id without its feed
      {"", "ard", "Not this", ""},               // tvg-name against a display-name
      {"", "", "DAS ERSTE FHD", ""},             // normalised name, quality mark dropped
      {"", "", "Tele-Quebec (720p)", ""},        // accents and punctuation
      {"", "", "ПЕРВЫЙ КАНАЛ HD", ""},           // Cyrillic letter case
      {"BBCOne.uk", "", "", "epg-45"},           // the user's choice wins
      {"missing.tv", "nobody", "Nowhere", ""},
       }) {
    channels.Add(channel);
  }
  const std::vector<GuideMatch> matches = MatchGuideChannels(store, channels);
  auto id_of = [&](size_t i) {
    return matches[i].channel < 0 ? std::string("-") : std::string(store.Text(store.channel(matches[i].channel).id));
  };
  EXPECT_EQ(id_of(0), "BBCOne.uk");
  EXPECT_EQ(matches[0].pass, GuideMatchPass::kId);
  EXPECT_EQ(id_of(1), "arte.fr");
  EXPECT_EQ(matches[1].pass, GuideMatchPass::kIdWithoutFeed);
  EXPECT_EQ(id_of(2), "epg-42");
  EXPECT_EQ(matches[2].pass, GuideMatchPass::kTvgName);
  EXPECT_EQ(id_of(3), "epg-42");
  EXPECT_EQ(matches[3].pass, GuideMatchPass::kName);
  EXPECT_EQ(id_of(4), "epg-43");
  EXPECT_EQ(id_of(5), "epg-44");
  EXPECT_EQ(id_of(6), "epg-45");
  EXPECT_EQ(matches[6].pass, GuideMatchPass::kChosen);
  EXPECT_EQ(id_of(7), "-");
  // A name that is only a quality mark keeps it rather than matching all.
  EXPECT_EQ(NormaliseChannelName("HD"), "hd");
}

}  // namespace
}  // namespace vidora
