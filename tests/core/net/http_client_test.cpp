#include "core/net/http_client.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/net/http_limits.h"
#include "core/net/local_http_server.h"
#include "core/stores/message_sink.h"

namespace vidora {
namespace {

using testing::HeaderLinesOf;
using testing::HttpAnswer;
using testing::LocalHttpServer;
using testing::RequestLine;
using testing::RequestPath;

constexpr char kBrowserAgentText[] =
    "Mozilla/5.0 (Windows; U; Windows NT 5.1; en-US; rv:1.9.1.9) Gecko/20100315 Firefox/3.5.9 GTB7.0";

std::string Text(const MemoryStream& stream) {
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.size());
}

// A port on 127.0.0.1 where nobody listens.
int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

size_t CountHeaders(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
    return strncasecmp(line.c_str(), prefix.c_str(), prefix.size()) == 0;
  }));
}

class HttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ClearProxyEnvironment();
    saved_limits_ = CurrentHttpLimits();
    SetMessageSink([this](const std::u16string& text, const std::u16string& caption) {
      messages_.push_back(text);
      captions_.push_back(caption);
    });
  }
  void TearDown() override {
    SetMessageSink({});
    SetHttpLimits(saved_limits_);
  }

  HttpLimits saved_limits_;
  std::vector<std::u16string> messages_;
  std::vector<std::u16string> captions_;
};

TEST_F(HttpClientTest, HeaderBlockIsExact) {
  EXPECT_EQ(AdditionalHeaderBlock(u"Agent"), u"Content-Type:application/x-www-form-urlencoded\nUser-Agent:Agent");
  EXPECT_EQ(std::u16string(u"Content-Type:application/x-www-form-urlencoded\n").size(), 47u);
}

TEST_F(HttpClientTest, DownloadSendsItsRequestAndKeepsEveryByte) {
  const std::string body("QDOC\0\0\x01zero\0bytes", 17);
  LocalHttpServer server([&](const std::string&) { return HttpAnswer(200, body); });
  auto stream = DownloadToMemory(u"Agent", server.Url("/downloads/mobile/update.dat"));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(Text(*stream), body);
  EXPECT_EQ(stream->Position(), 0u);

  const std::string head = server.Requests().at(0);
  EXPECT_EQ(RequestLine(head), "GET /downloads/mobile/update.dat HTTP/1.1");
  const auto lines = HeaderLinesOf(head);
  EXPECT_EQ(CountHeaders(lines, "Content-Type:application/x-www-form-urlencoded"), 1u) << head;
  EXPECT_EQ(CountHeaders(lines, "User-Agent:Agent"), 1u) << head;
  EXPECT_EQ(CountHeaders(lines, "User-Agent"), 1u) << head;
}

TEST_F(HttpClientTest, EmptyBodiesAndErrorPagesAreDelivered) {
  LocalHttpServer server([](const std::string& head) {
    const std::string path = RequestPath(head);
    if (path == "/empty") return HttpAnswer(200, "");
    if (path == "/missing") return HttpAnswer(404, "not here");
    return HttpAnswer(500, "broken");
  });
  auto empty = DownloadToMemory(u"Agent", server.Url("/empty"));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->Size(), 0u);
  EXPECT_EQ(FetchPageText(server.Url("/empty")), u"");

  auto missing = DownloadToMemory(u"Agent", server.Url("/missing"));
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(Text(*missing), "not here");
  EXPECT_EQ(FetchPageText(server.Url("/missing")), u"not here");
  EXPECT_EQ(FetchPageText(server.Url("/fail")), u"broken");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HttpClientTest, RedirectsAreFollowed) {
  LocalHttpServer server([](const std::string& head) {
    if (RequestPath(head) == "/old") return HttpAnswer(302, "moved", "Location: /new\r\n");
    return HttpAnswer(200, "arrived");
  });
  auto stream = DownloadToMemory(u"Agent", server.Url("/old"));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(Text(*stream), "arrived");
  EXPECT_EQ(FetchPageText(server.Url("/old")), u"arrived");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(RequestLine(requests[1]), "GET /new HTTP/1.1");
  EXPECT_EQ(CountHeaders(HeaderLinesOf(requests[3]), std::string("User-Agent:") + kBrowserAgentText), 1u);
}

TEST_F(HttpClientTest, ARedirectWithoutATargetIsDeliveredAsItIs) {
  // An empty Location names nowhere to go: the answer itself is the body.
  LocalHttpServer server(
      [](const std::string&) { return HttpAnswer(302, "moved", "Location: \r\nSet-Cookie: tv=5\r\n"); });
  auto stream = DownloadToMemory(u"Agent", server.Url("/old"));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(Text(*stream), "moved");
  EXPECT_EQ(FetchPageText(server.Url("/old")), u"moved");
  EXPECT_EQ(FetchCookieValue(server.Host16(), u"general/a.html", u"tv").value, u"5");
  EXPECT_EQ(server.Requests().size(), 3u);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HttpClientTest, PageTextCutsEachChunkAtItsFirstZeroByte) {
  LocalHttpServer server([](const std::string& head) {
    if (RequestPath(head) == "/single") return HttpAnswer(200, std::string("abc\0def", 7));
    // Each chunk of a chunked body reaches the client as a piece of its own.
    static const char kChunked[] =
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
        "7\r\nab\0xyzw\r\n4\r\ncd\xc3\xa9\r\n0\r\n\r\n";
    return std::string(kChunked, sizeof kChunked - 1);
  });
  EXPECT_EQ(FetchPageText(server.Url("/single")), u"abc");
  EXPECT_EQ(FetchPageText(server.Url("/chunked")), u"abcd\u00e9");
  const std::string head = server.Requests().at(0);
  EXPECT_EQ(RequestLine(head), "GET /single HTTP/1.1");
  EXPECT_EQ(CountHeaders(HeaderLinesOf(head), std::string("User-Agent:") + kBrowserAgentText), 1u);
}

TEST_F(HttpClientTest, BlanksInAddressesArePercentEncoded) {
  LocalHttpServer server([](const std::string&) { return HttpAnswer(200, "ok"); });
  EXPECT_EQ(FetchPageText(server.Url("/stream/a b")), u"ok");
  EXPECT_EQ(RequestLine(server.Requests().at(0)), "GET /stream/a%20b HTTP/1.1");
}

TEST_F(HttpClientTest, CookieRequestIsSentAsGiven) {
  LocalHttpServer server([](const std::string&) { return HttpAnswer(200, "page body", "Set-Cookie: tv=abc; path=/\r\n"); });
  EXPECT_EQ(FetchCookieValue(server.Host16(), u"general/abc.html", u"tv").value, u"abc; path=/");
  EXPECT_TRUE(messages_.empty());
  const std::string head = server.Requests().at(0);
  EXPECT_EQ(RequestLine(head), "GET general/abc.html HTTP/1.0");
  const auto lines = HeaderLinesOf(head);
  EXPECT_EQ(CountHeaders(lines, "Content-Type:application/x-www-form-urlencoded"), 1u);
  EXPECT_EQ(CountHeaders(lines, std::string("User-Agent:") + kBrowserAgentText), 1u);
  EXPECT_EQ(CountHeaders(lines, "User-Agent"), 1u);
}

TEST_F(HttpClientTest, CookieValueKeepsAnythingButAnExactPrefix) {
  LocalHttpServer server([](const std::string& head) {
    const std::string path = RequestPath(head);
    if (path == "1") return HttpAnswer(200, "", "Set-Cookie: xtv=abc\r\n");
    if (path == "2") return HttpAnswer(200, "", "Set-Cookie: TV=abc\r\n");
    return HttpAnswer(200, "", "Set-Cookie: tv=first\r\nset-cookie: tv=second\r\n");
  });
  EXPECT_EQ(FetchCookieValue(server.Host16(), u"1", u"tv").value, u"xtv=abc");
  EXPECT_EQ(FetchCookieValue(server.Host16(), u"2", u"tv").value, u"TV=abc");
  EXPECT_EQ(FetchCookieValue(server.Host16(), u"3", u"tv").value, u"first");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HttpClientTest, CookieRequestFollowsRedirectsWithoutRepeatingThePath) {
  LocalHttpServer server([](const std::string& head) {
    if (RequestPath(head) == "general/a.html") return HttpAnswer(301, "", "Location: /moved.html\r\n");
    return HttpAnswer(200, "", "Set-Cookie: tv=7\r\n");
  });
  EXPECT_EQ(FetchCookieValue(server.Host16(), u"general/a.html", u"tv").value, u"7");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(RequestLine(requests[1]), "GET /moved.html HTTP/1.0");
}

TEST_F(HttpClientTest, CookieRequestEndsOnceTheHeadersAreIn) {
  // One connection: the full header block at once, the body held back
  // until the client hangs up or a long while has passed.
  const int listen_fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listen_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listen_fd, 1), 0);
  socklen_t length = sizeof address;
  getsockname(listen_fd, reinterpret_cast<sockaddr*>(&address), &length);
  std::atomic<bool> hung_up_before_body{false};
  std::thread server([&] {
    const int client = accept(listen_fd, nullptr, nullptr);
    if (client < 0) return;
    testing::ReadHead(client);
    char buffer[1];
    const std::string headers = "HTTP/1.0 200 OK\r\nSet-Cookie: tv=abc\r\nContent-Length: 4\r\n\r\n";
    send(client, headers.data(), headers.size(), MSG_NOSIGNAL);
    pollfd waiting{client, POLLIN, 0};
    if (poll(&waiting, 1, 30000) > 0 && recv(client, buffer, 1, 0) <= 0) {
      hung_up_before_body = true;
    } else {
      send(client, "body", 4, MSG_NOSIGNAL);
    }
    close(client);
  });
  const std::string host = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  EXPECT_EQ(FetchCookieValue(std::u16string(host.begin(), host.end()), u"general/a.html", u"tv").value, u"abc");
  server.join();
  close(listen_fd);
  EXPECT_TRUE(hung_up_before_body);
  EXPECT_TRUE(messages_.empty());
}

// Each failure names its reason and the diagnostic the player shows for
// it; the client itself shows nothing.
TEST_F(HttpClientTest, CookieFailuresNameTheirReasons) {
  LocalHttpServer server([](const std::string&) { return HttpAnswer(200, "no cookie here"); });
  const std::u16string closed = u"127.0.0.1:" + [] {
    const std::string port = std::to_string(ClosedPort());
    return std::u16string(port.begin(), port.end());
  }();
  const CookieResult results[] = {FetchCookieValue(server.Host16(), u"general/a.html", u"tv"),
                                  FetchCookieValue(closed, u"general/a.html", u"tv"),
                                  FetchCookieValue(u"bad/host", u"general/a.html", u"tv")};
  std::vector<std::string> texts;
  for (const CookieResult& result : results) {
    EXPECT_EQ(result.value, u"");
    texts.push_back(std::string(CookieFailureTextKey(result.failure)));
  }
  EXPECT_EQ(results[0].failure, CookieFailure::kNoCookie);
  EXPECT_EQ(results[1].failure, CookieFailure::kNoAnswer);
  EXPECT_EQ(results[2].failure, CookieFailure::kUnusableHost);
  EXPECT_EQ(texts, (std::vector<std::string>{"err_provider_no_key", "err_provider_no_answer", "err_provider_host"}));
  EXPECT_EQ(CookieFailureTextKey(CookieFailure::kNotPrepared), "err_provider_request");
  EXPECT_FALSE(CookieFailureText(CookieFailure::kNone).has_value());
  EXPECT_FALSE(CookieFailureText(CookieFailure::kNotStarted).has_value());
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(captions_.empty());
}

TEST_F(HttpClientTest, ABodyCutShortFailsADownloadButNotAPage) {
  LocalHttpServer server([](const std::string&) {
    return std::string("HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nabc");
  });
  EXPECT_EQ(DownloadToMemory(u"Agent", server.Url("/x")), nullptr);
  EXPECT_EQ(FetchPageText(server.Url("/x")), u"abc");
}

TEST_F(HttpClientTest, UnreachableServersFail) {
  const std::string port = std::to_string(ClosedPort());
  const std::u16string url = u"http://127.0.0.1:" + std::u16string(port.begin(), port.end()) + u"/x";
  EXPECT_EQ(DownloadToMemory(u"Agent", url), nullptr);
  EXPECT_EQ(FetchPageText(url), u"");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HttpClientTest, ASilentServerTimesOut) {
  HttpLimits limits = CurrentHttpLimits();
  limits.stall_timeout_seconds = 1;
  SetHttpLimits(limits);
  LocalHttpServer server([](const std::string&) { return std::nullopt; });
  EXPECT_EQ(DownloadToMemory(u"Agent", server.Url("/x")), nullptr);
  EXPECT_EQ(FetchPageText(server.Url("/x")), u"");
  const CookieResult cookie = FetchCookieValue(server.Host16(), u"general/a.html", u"tv");
  EXPECT_EQ(cookie.value, u"");
  EXPECT_EQ(cookie.failure, CookieFailure::kNoAnswer);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(HttpClientTest, ACancelledDownloadStops) {
  LocalHttpServer server([](const std::string&) { return std::nullopt; });
  std::atomic<bool> cancel{true};
  EXPECT_EQ(DownloadToMemory(u"Agent", server.Url("/x"), &cancel), nullptr);
}

TEST_F(HttpClientTest, OversizedBodiesAreRefused) {
  HttpLimits limits = CurrentHttpLimits();
  limits.max_download_bytes = 16;
  limits.max_page_bytes = 8;
  SetHttpLimits(limits);
  LocalHttpServer server([](const std::string& head) {
    const std::string path = RequestPath(head);
    return HttpAnswer(200, std::string(path == "/big" ? 17 : path == "/page" ? 9 : 16, 'x'));
  });
  EXPECT_EQ(DownloadToMemory(u"Agent", server.Url("/big")), nullptr);
  auto fits = DownloadToMemory(u"Agent", server.Url("/fits"));
  ASSERT_NE(fits, nullptr);
  EXPECT_EQ(fits->Size(), 16u);
  EXPECT_EQ(FetchPageText(server.Url("/page")), u"");
}

TEST_F(HttpClientTest, APageIsMeasuredByWhatArrivesNotByTheTextKept) {
  // A server that sends binary data (a media stream where a playlist was
  // expected) keeps almost nothing of each chunk; the bound must still end
  // the transfer.
  HttpLimits limits = CurrentHttpLimits();
  limits.max_page_bytes = 8;
  SetHttpLimits(limits);
  LocalHttpServer server([](const std::string&) {
    static const char kChunked[] =
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
        "9\r\nab\0xxxxxx\r\n9\r\n\0yyyyyyyy\r\n0\r\n\r\n";
    return std::string(kChunked, sizeof kChunked - 1);
  });
  EXPECT_EQ(FetchPageText(server.Url("/stream/x")), u"");
}

}  // namespace
}  // namespace vidora
