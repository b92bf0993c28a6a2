#include "web/page_fetch_wininet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include "support/loopback_server.h"
#include "web/page_fetch.h"

namespace quillmere {
namespace {

class PageFetchTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Started()); }

  Text Address(std::string_view path) const { return server_.Base() + Text(path); }

  RecordedRequest OnlyRequest() const {
    const std::vector<RecordedRequest> requests = server_.Requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? RecordedRequest() : requests.front();
  }

  LoopbackServer server_;
};

TEST_F(PageFetchTest, TheBatchQueryRequestArrivesAsBuilt) {
  server_.Reply("/API/kd.php?Express=SF1", HttpReply("HTTP/1.1 200 OK", "", "trace"));
  const Text address = Address("/API/kd.php?Express=SF1");

  EXPECT_EQ(BytesView(PageFetch(address, 0)), "trace");

  const RecordedRequest request = OnlyRequest();
  EXPECT_EQ(request.requestLine, "GET /API/kd.php?Express=SF1 HTTP/1.1");
  // WinInet puts the lines it makes itself (Host, User-Agent) in front of the header text it was given.
  const std::vector<std::string> want = {
      "Host: 127.0.0.1:" + std::to_string(server_.Port()),
      "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
      "Accept: */*",
      "Referer: " + address,
      "Accept-Language: zh-cn",
  };
  EXPECT_EQ(request.headerLines, want);
  EXPECT_EQ(request.body, "");
}

TEST_F(PageFetchTest, PostSendsTheBodyTextAndLeavesItInTheCallersBuffer) {
  server_.Reply("/form", HttpReply("HTTP/1.1 200 OK", "", "posted"));
  Bytes bodyBytes;

  const Bytes body =
      PageFetch(Address("/form"), 1, "a=1&b=2", nullptr, nullptr, {}, nullptr, false, &bodyBytes);

  EXPECT_EQ(BytesView(body), "posted");
  EXPECT_EQ(BytesView(bodyBytes), "a=1&b=2");
  const RecordedRequest request = OnlyRequest();
  EXPECT_EQ(request.requestLine, "POST /form HTTP/1.1");
  EXPECT_EQ(request.body, "a=1&b=2");
  EXPECT_EQ(request.CountHeader("Content-Type"), 1);
}

TEST_F(PageFetchTest, BodiesByMethod) {
  struct Case {
    int method;
    std::string_view verb, bodySent;
  };
  const Case cases[] = {
      {0, "GET", ""}, {8, "GET", ""}, {-1, "GET", ""}, {5, "DELETE", "payload"}, {3, "PUT", "payload"}};
  for (const Case& c : cases) {
    LoopbackServer server;
    ASSERT_TRUE(server.Started());
    server.Reply("*", HttpReply("HTTP/1.1 200 OK", "", ""));
    Bytes bodyBytes;
    PageFetch(server.Base() + "/m", c.method, "payload", nullptr, nullptr, {}, nullptr, false, &bodyBytes);
    const std::vector<RecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u) << c.method;
    EXPECT_EQ(requests[0].requestLine, Text(c.verb) + " /m HTTP/1.1") << c.method;
    EXPECT_EQ(requests[0].body, c.bodySent) << c.method;
    // A GET leaves the caller's buffer alone.
    EXPECT_EQ(BytesView(bodyBytes), c.bodySent) << c.method;
  }
}

TEST_F(PageFetchTest, AProxyGetsTheRequestWithHttpInFront) {
  LoopbackServer proxy;
  ASSERT_TRUE(proxy.Started());
  proxy.Reply("*", HttpReply("HTTP/1.1 200 OK", "", "via proxy"));
  const Text proxyText = "127.0.0.1:" + std::to_string(proxy.Port());

  const Bytes body = PageFetch("http://tracking.invalid/API/kd.php?Express=1", 0, {}, nullptr, nullptr, {},
                               nullptr, false, nullptr, proxyText);

  EXPECT_EQ(BytesView(body), "via proxy");
  const std::vector<RecordedRequest> requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 1u);
  // Wine writes the default port into the absolute address it sends to the proxy.
  EXPECT_THAT(requests[0].requestLine,
              ::testing::AnyOf("GET http://tracking.invalid/API/kd.php?Express=1 HTTP/1.1",
                               "GET http://tracking.invalid:80/API/kd.php?Express=1 HTTP/1.1"));
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(PageFetchTest, RedirectsAreFollowedUnlessNoRedirect) {
  server_.Reply("/from", HttpReply("HTTP/1.1 302 Found", "Location: " + Address("/to") + "\r\n", "moved"));
  server_.Reply("/to", HttpReply("HTTP/1.1 200 OK", "", "arrived"));

  EXPECT_EQ(BytesView(PageFetch(Address("/from"))), "arrived");
  ASSERT_EQ(server_.Requests().size(), 2u);
  EXPECT_EQ(server_.Requests()[1].requestLine, "GET /to HTTP/1.1");

  Text rawReplyHeaders;
  EXPECT_EQ(BytesView(PageFetch(Address("/from"), 0, {}, nullptr, nullptr, {}, &rawReplyHeaders, true)),
            "moved");
  EXPECT_EQ(server_.Requests().size(), 3u);
  EXPECT_EQ(rawReplyHeaders.rfind("HTTP/1.1 302 Found\r\n", 0), 0u) << rawReplyHeaders;
}

TEST_F(PageFetchTest, AnErrorStatusGivesItsBody) {
  server_.Reply("/missing", HttpReply("HTTP/1.1 404 Not Found", "", "no such page"));
  server_.Reply("/broken", HttpReply("HTTP/1.1 500 Internal Server Error", "", "it broke"));
  EXPECT_EQ(BytesView(PageFetch(Address("/missing"))), "no such page");
  EXPECT_EQ(BytesView(PageFetch(Address("/broken"))), "it broke");
}

// The cookies of these tests live under /jar, so that WinInet's own store, which keeps them for the rest of
// the process, never adds them to another test's request.
TEST_F(PageFetchTest, SetCookieLinesAreCollectedAndWinInetsStoreKeepsThem) {
  server_.Reply("*", HttpReply("HTTP/1.1 200 OK", "Set-Cookie: a=1; path=/jar\r\nSet-Cookie: b=2\r\n", "ok"));
  Text returnedCookies;
  Text rawReplyHeaders;

  PageFetch(Address("/jar/c"), 0, {}, nullptr, &returnedCookies, {}, &rawReplyHeaders);

  EXPECT_EQ(returnedCookies, "a=1; b=2");
  EXPECT_NE(rawReplyHeaders.find("\r\nSet-Cookie: b=2\r\n"), Text::npos);
  EXPECT_EQ(rawReplyHeaders.substr(rawReplyHeaders.size() - 4), "\r\n\r\n");

  // With no cookies passed, WinInet's own cookie handling is on: the next request carries what it kept.
  PageFetch(Address("/jar/d"));
  ASSERT_EQ(server_.Requests().size(), 2u);
  EXPECT_EQ(server_.Requests()[1].CountHeader("Cookie"), 1);
}

TEST_F(PageFetchTest, CookiesPassedAreSentAndMerged) {
  server_.Reply("*", HttpReply("HTTP/1.1 200 OK", "Set-Cookie: a=1; path=/jar\r\nSet-Cookie: b=2\r\n", "ok"));
  Text cookies = "b=9; c=3";
  Text returnedCookies;

  PageFetch(Address("/jar/c"), 0, {}, &cookies, &returnedCookies);

  EXPECT_EQ(cookies, "a=1; b=2; c=3");
  EXPECT_EQ(returnedCookies, "a=1; b=2; c=3");
  const RecordedRequest request = OnlyRequest();
  ASSERT_EQ(request.CountHeader("Cookie"), 1);
  EXPECT_EQ(request.headerLines.back().rfind("Cookie: b=9; c=3", 0), 0u);
}

TEST_F(PageFetchTest, AnEmptyCookieTextSendsNoCookieHeaderAndStillMerges) {
  server_.Reply("*", HttpReply("HTTP/1.1 200 OK", "Set-Cookie: a=1; path=/jar\r\n", "ok"));
  Text cookies;
  Text returnedCookies;

  PageFetch(Address("/jar/c"), 0, {}, &cookies, &returnedCookies);
  EXPECT_EQ(cookies, "a=1");
  EXPECT_EQ(returnedCookies, "a=1");

  // WinInet's own store was off, so it kept nothing for a second request to send.
  Text noCookies;
  PageFetch(Address("/jar/c"), 0, {}, &noCookies);
  ASSERT_EQ(server_.Requests().size(), 2u);
  for (const RecordedRequest& request : server_.Requests()) EXPECT_EQ(request.CountHeader("Cookie"), 0);
}

TEST_F(PageFetchTest, AHeaderBlockOver5000BytesGivesSpacesAndNoCookies) {
  // Many lines rather than one long one: Wine cuts a single header line at about 4 KB.
  Text filler;
  for (int line = 0; line < 60; ++line) filler += "X-Filler: " + Text(90, 'f') + "\r\n";
  server_.Reply("*", HttpReply("HTTP/1.1 200 OK", filler + "Set-Cookie: z=1\r\n", "body after a long head"));
  Text rawReplyHeaders;
  Text returnedCookies = "stale";

  const Bytes body = PageFetch(Address("/jar/long"), 0, {}, nullptr, &returnedCookies, {}, &rawReplyHeaders);

  EXPECT_EQ(BytesView(body), "body after a long head");
  EXPECT_EQ(rawReplyHeaders, Text(kRawHeaderBytes, ' '));
  EXPECT_EQ(returnedCookies, "");
}

TEST_F(PageFetchTest, ARefusedConnectionGivesAnEmptyBody) {
  Text rawReplyHeaders;
  Text cookies = "a=1";
  Text returnedCookies = "stale";

  // Nothing listens on port 1 of the loopback address.
  const Bytes body =
      PageFetch("http://127.0.0.1:1/x", 0, {}, &cookies, &returnedCookies, {}, &rawReplyHeaders);

  EXPECT_TRUE(body.empty());
  EXPECT_EQ(rawReplyHeaders, Text(kRawHeaderBytes, ' '));
  EXPECT_EQ(returnedCookies, "a=1");
  EXPECT_EQ(cookies, "a=1");
}

TEST_F(PageFetchTest, AServerThatNeverAnswersIsGivenUpAfterTheTimeout) {
  server_.NeverReply("/silent");
  const DWORD start = GetTickCount();

  const Bytes body = FetchPage({.address = Address("/silent")}, 1000);

  const DWORD waitedMs = GetTickCount() - start;
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(server_.Requests().size(), 1u);
  EXPECT_GE(waitedMs, 900u);
  EXPECT_LT(waitedMs, 10000u);
}

TEST_F(PageFetchTest, A50MegabyteReplyArrivesWhole) {
  constexpr std::size_t kSize = 50u << 20;
  server_.LargeReply("/large", kSize);

  const Bytes body = PageFetch(Address("/large"));

  ASSERT_EQ(body.size(), kSize);
  // The server sends the bytes 0 to 255 over and over.
  for (std::size_t at : {std::size_t{0}, std::size_t{255}, std::size_t{256}, kSize / 2 + 7, kSize - 1}) {
    EXPECT_EQ(static_cast<unsigned char>(body[at]), at % 256) << at;
  }
}

TEST(PageFetchOverHttps, CertificateErrorsDoNotStopARequest) {
  LoopbackServer server(true);
  ASSERT_TRUE(server.Started());
  server.Reply("/secure", HttpReply("HTTP/1.1 200 OK", "", "over tls"));

  // The certificate is self-signed: an unknown authority.
  EXPECT_EQ(BytesView(PageFetch(server.SecureBase() + "/secure")), "over tls");
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].requestLine, "GET /secure HTTP/1.1");
}

TEST(PageFetchOverHttps, ARedirectFromHttpToHttpsIsFollowed) {
  LoopbackServer server(true);
  ASSERT_TRUE(server.Started());
  server.Reply("/from",
               HttpReply("HTTP/1.1 302 Found", "Location: " + server.SecureBase() + "/to\r\n", "moved"));
  server.Reply("/to", HttpReply("HTTP/1.1 200 OK", "", "arrived over tls"));

  EXPECT_EQ(BytesView(PageFetch(server.Base() + "/from")), "arrived over tls");
  ASSERT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(server.Requests()[1].requestLine, "GET /to HTTP/1.1");
}

}  // namespace
}  // namespace quillmere
