#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/net/local_http_server.h"
#include "core/playback/provider_table.h"
#include "core/playback/vdtm_provider.h"
#include "core/stores/message_sink.h"
#include "support/temp_dir.h"
#include "support/test_texts.h"

namespace vidora {
namespace {

using testing::HttpAnswer;
using testing::LocalHttpServer;
using testing::RequestLine;
using testing::RequestPath;

TEST(VdtmPlaylistTest, TakesTheFirstCompleteReference) {
  EXPECT_EQ(VdtmProvider::ExtractStreamAddress(u"<asx><ref href = \"mms://a/b\"/></asx>"), u"mms://a/b");
  EXPECT_EQ(VdtmProvider::ExtractStreamAddress(u"<ref href=\"mms://a/b\"/>"), std::nullopt);
  EXPECT_EQ(VdtmProvider::ExtractStreamAddress(u"<REF HREF = \"mms://a/b\"/>"), std::nullopt);
  EXPECT_EQ(VdtmProvider::ExtractStreamAddress(u"<ref href = \"mms://1\"/><ref href = \"mms://2\"/>"), u"mms://1");
  EXPECT_EQ(VdtmProvider::ExtractStreamAddress(u"<ref href = \"mms://a/b\" />"), std::nullopt);
  EXPECT_EQ(VdtmProvider::ExtractStreamAddress(u"<ref href = \"\"/>"), u"");
  // The closing marker counts only after the opening one.
  EXPECT_EQ(VdtmProvider::ExtractStreamAddress(u"\"/><ref href = \"x"), std::nullopt);
}

class StreamAddressResolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ClearProxyEnvironment();
    SetMessageSink([this](const std::u16string& text, const std::u16string&) { messages_.push_back(text); });
  }
  void TearDown() override {
    DestroyProviders();
    SetMessageSink({});
    FreeLanguagePack();
  }

  testing::TempDir dir_;
  std::vector<std::u16string> messages_;
};

TEST_F(StreamAddressResolverTest, ResolvesThroughCookieAndPlaylist) {
  LocalHttpServer server([](const std::string& head) {
    if (RequestPath(head) == "general/chan%201.html") return HttpAnswer(200, "page", "Set-Cookie: tv=123; path=/\r\n");
    return HttpAnswer(200, "<asx>\n<entry><ref href = \"mms://a/b\"/></entry>\n</asx>");
  });
  Providers().Enter(std::make_unique<VdtmProvider>(server.Host16()));
  EXPECT_EQ(ResolveAddress(u"chan 1", "vdtm"), u"mms://a/b");
  EXPECT_EQ(messages_, std::vector<std::u16string>{u"mms://a/b"});
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(RequestLine(requests[0]), "GET general/chan%201.html HTTP/1.0");
  // The cookie's attributes travel along in the playlist path.
  EXPECT_EQ(RequestLine(requests[1]), "GET /stream/123;%20path=/ HTTP/1.1");
}

TEST_F(StreamAddressResolverTest, AnEmptyAddressIsShownAndReturned) {
  LocalHttpServer server([](const std::string& head) {
    if (RequestPath(head).rfind("general/", 0) == 0) return HttpAnswer(200, "", "Set-Cookie: tv=9\r\n");
    return HttpAnswer(200, "<ref href = \"\"/>");
  });
  Providers().Enter(std::make_unique<VdtmProvider>(server.Host16()));
  EXPECT_EQ(ResolveAddress(u"x", "vdtm"), u"");
  EXPECT_EQ(messages_, std::vector<std::u16string>{u""});
}

TEST_F(StreamAddressResolverTest, FailuresYieldNone) {
  std::atomic<bool> with_cookie{false};
  LocalHttpServer server([&](const std::string& head) {
    if (RequestPath(head).rfind("general/", 0) == 0) {
      return HttpAnswer(200, "", with_cookie ? "Set-Cookie: tv=9\r\n" : "");
    }
    return HttpAnswer(404, "<ref href = \"mms://never");
  });
  Providers().Enter(std::make_unique<VdtmProvider>(server.Host16()));
  testing::LoadTestTexts(dir_.path(), {{"err_provider_no_key", u"The provider's server gave no access key."}});
  EXPECT_EQ(ResolveAddress(u"x", "vdtm"), std::nullopt);
  EXPECT_EQ(messages_, std::vector<std::u16string>{u"The provider's server gave no access key."});
  EXPECT_EQ(server.Requests().size(), 1u);

  with_cookie = true;
  messages_.clear();
  EXPECT_EQ(ResolveAddress(u"x", "vdtm"), std::nullopt);
  EXPECT_TRUE(messages_.empty());

  EXPECT_EQ(ResolveAddress(u"x", "other"), std::nullopt);
  EXPECT_EQ(ResolveAddress(u"x", "VDTM"), std::nullopt);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(server.Requests().size(), 3u);
}

TEST_F(StreamAddressResolverTest, TableLifecycle) {
  CreateProviders();
  ASSERT_NE(Providers().Find("vdtm"), nullptr);
  EXPECT_EQ(Providers().Find("vdtm")->name(), "vdtm");
  // A provider entered under a taken name replaces (and destroys) the old.
  Providers().Enter(std::make_unique<VdtmProvider>(u"127.0.0.1:1"));
  EXPECT_NE(Providers().Find("vdtm"), nullptr);
  Providers().Enter(std::make_unique<StreamAddressProvider>("plain"));
  EXPECT_EQ(ResolveAddress(u"x", "plain"), std::nullopt);
  DestroyProviders();
  EXPECT_TRUE(Providers().empty());
  EXPECT_EQ(ResolveAddress(u"x", "vdtm"), std::nullopt);
}

}  // namespace
}  // namespace vidora
