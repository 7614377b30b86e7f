#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/playback/stream_address_policy.h"
#include "core/stores/language_pack.h"
#include "ui/playback/fake_player_backend.h"
#include "ui/playback/player_host.h"

namespace vidora::testing {
namespace {

TEST(RefusedAddressTest, AnAddressNamingALocalResourceNeverReachesTheEngineAndSaysWhy) {
  ASSERT_TRUE(Languages().Load(std::filesystem::path(VIDORA_BIN_DIR) / kLanguagePackFileName, u"en"));
  const std::u16string message = GetText(kRefusedAddressTextKey);
  ASSERT_FALSE(message.empty());
  QWidget view;
  FakePlayerBackend::Record record;
  PlayerHost host(&view, QRect(0, 0, 10, 10), std::make_unique<FakePlayerBackend>(record), {});
  std::vector<FailureReport> failures;
  QObject::connect(&host, &PlayerHost::Failed, [&failures](const FailureReport& f) { failures.push_back(f); });
  for (const char16_t* address : {u"av://lavfi:anullsrc,ametadata=mode=print:file=/tmp/out", u"file:///etc/hostname",
                                  u"edl://x", u"fd://3", u"clip.ts"}) {
    failures.clear();
    host.Play(address);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].text, message);
  }
  EXPECT_TRUE(record.loads.empty());
  // A huge address is refused with its own sentence naming the limit.
  failures.clear();
  host.Play(u"http://127.0.0.1:1/" + std::u16string(1 << 20, u'a'));
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].text.find(QString::number(kMaxStreamAddressLength).toStdU16String()), std::u16string::npos);
  EXPECT_TRUE(record.loads.empty());
  host.Play(u"http://127.0.0.1:1/live");
  EXPECT_EQ(record.loads, (std::vector<std::string>{"http://127.0.0.1:1/live"}));
  Languages().Free();
}

}  // namespace
}  // namespace vidora::testing
