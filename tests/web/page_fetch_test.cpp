#include "web/page_fetch.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

constexpr std::string_view kAddress = "http://Example.com:8080/API/kd.php?Express=SF1";

struct PlanInput {
  int method = 0;
  const Text* cookies = nullptr;
  std::string_view headers = {};
  bool noRedirect = false;
  std::string_view proxy = {};
  bool addDefaultHeaders = true;
  bool fixHeaderCase = true;
  std::string_view address = kAddress;
};

PageFetchPlan Plan(const PlanInput& in) {
  return PlanPageFetch(in.address, in.method, in.cookies, in.headers, in.noRedirect, in.proxy,
                       in.addDefaultHeaders, in.fixHeaderCase);
}

const Text kDefaultHeaders = Text("Accept: */*\r\nReferer: ") + Text(kAddress) + "\r\nAccept-Language: zh-cn";

TEST(PlanPageFetch, TheBatchQueryRequest) {
  const PageFetchPlan plan = Plan({});
  EXPECT_EQ(plan.verb, "GET");
  EXPECT_FALSE(plan.secure);
  EXPECT_EQ(plan.userAgent, kDefaultUserAgent);
  EXPECT_EQ(plan.proxy, "");
  EXPECT_EQ(plan.host, "example.com");
  EXPECT_EQ(plan.port, 8080);
  EXPECT_EQ(plan.path, "/API/kd.php?Express=SF1");
  EXPECT_EQ(plan.requestFlags, 0x80004010u);
  EXPECT_EQ(plan.headerText, kDefaultHeaders);
  EXPECT_FALSE(plan.sendsBody);
}

TEST(PlanPageFetch, MethodsOutsideTheTableSendGetWithoutABody) {
  const std::string_view verbs[] = {"GET", "POST", "HEAD", "PUT", "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  for (int method = 0; method < 8; ++method) {
    const PageFetchPlan plan = Plan({.method = method});
    EXPECT_EQ(plan.verb, verbs[method]);
    EXPECT_EQ(plan.sendsBody, method != 0) << method;
  }
  for (int method : {8, -1, 1000}) {
    const PageFetchPlan plan = Plan({.method = method});
    EXPECT_EQ(plan.verb, "GET") << method;
    EXPECT_EQ(plan.method, PageMethod::kGet) << method;
    EXPECT_FALSE(plan.sendsBody) << method;
  }
}

TEST(PlanPageFetch, PostAddsAFormContentTypeUnlessOneIsGiven) {
  EXPECT_EQ(Plan({.method = 1}).headerText,
            kDefaultHeaders + "\r\nContent-Type: application/x-www-form-urlencoded");
  EXPECT_EQ(
      Plan({.method = 1, .headers = "content-type: text/plain"}).headerText,
      "Content-Type: text/plain\r\nAccept: */*\r\nReferer: " + Text(kAddress) + "\r\nAccept-Language: zh-cn");
  EXPECT_EQ(Plan({.method = 8}).headerText, kDefaultHeaders);  // clamped to GET: no content type
}

TEST(PlanPageFetch, DefaultHeadersPresentInAnyCaseAreNotAddedAgain) {
  struct Case {
    std::string_view headers;
    bool fixHeaderCase;
    Text want;
  };
  const Case cases[] = {
      {"accept: text/html\r\nreferer: r\r\naccept-language: en", true,
       "Accept: text/html\r\nReferer: r\r\nAccept-Language: en"},
      {"ACCEPT: a\r\nREFERER: r\r\nACCEPT-LANGUAGE: en", false,
       "ACCEPT: a\r\nREFERER: r\r\nACCEPT-LANGUAGE: en"},
      {"X-Token: 1", true,
       "X-Token: 1\r\nAccept: */*\r\nReferer: " + Text(kAddress) + "\r\nAccept-Language: zh-cn"},
      // Lines without a colon disappear when the names are normalised, and stay when they are not.
      {"junk\r\nreferer: r", true, "Referer: r\r\nAccept: */*\r\nAccept-Language: zh-cn"},
      {"junk", false, "junk\r\nAccept: */*\r\nReferer: " + Text(kAddress) + "\r\nAccept-Language: zh-cn"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Plan({.headers = c.headers, .fixHeaderCase = c.fixHeaderCase}).headerText, c.want) << c.headers;
  }
}

TEST(PlanPageFetch, CookieHeader) {
  const Text cookies = "a=1; b=2";
  const Text cookieLine = "Cookie: a=1";
  const Text empty;
  EXPECT_EQ(Plan({.cookies = &cookies, .addDefaultHeaders = false}).headerText, "\r\nCookie: a=1; b=2");
  EXPECT_EQ(Plan({.cookies = &cookies}).headerText, kDefaultHeaders + "\r\nCookie: a=1; b=2");
  EXPECT_EQ(Plan({.cookies = &cookieLine, .addDefaultHeaders = false}).headerText, "\r\nCookie: a=1");
  // "Cookie:" is searched case-sensitively.
  const Text lowerLine = "cookie: a=1";
  EXPECT_EQ(Plan({.cookies = &lowerLine, .addDefaultHeaders = false}).headerText, "\r\nCookie: cookie: a=1");
  EXPECT_EQ(Plan({.cookies = &empty}).headerText, kDefaultHeaders);
  EXPECT_EQ(Plan({.addDefaultHeaders = false}).headerText, "");
}

TEST(PlanPageFetch, PassingCookiesAtAllTurnsTheCookieStoreOff) {
  const Text empty;
  EXPECT_EQ(Plan({}).requestFlags & kFlagNoCookies, 0u);
  EXPECT_EQ(Plan({.cookies = &empty}).requestFlags & kFlagNoCookies, kFlagNoCookies);
}

TEST(PlanPageFetch, RequestFlags) {
  EXPECT_EQ(Plan({.noRedirect = true}).requestFlags, 0x80204010u);
  const PageFetchPlan secure = Plan({.address = "HTTPS://host/x"});
  EXPECT_TRUE(secure.secure);
  EXPECT_EQ(secure.port, 443);
  EXPECT_EQ(secure.requestFlags, 0x80800010u);
  EXPECT_FALSE(Plan({.address = "https:/host/x"}).secure);
}

TEST(PlanPageFetch, Proxy) {
  EXPECT_EQ(Plan({.proxy = "127.0.0.1:3128"}).proxy, "http=127.0.0.1:3128");
  EXPECT_EQ(Plan({.proxy = "127.0.0.1:3128", .address = "https://host/"}).proxy, "127.0.0.1:3128");
}

TEST(PlanPageFetch, UserAgent) {
  struct Case {
    std::string_view headers;
    bool fixHeaderCase;
    std::string_view want;
  };
  const Case cases[] = {
      {"user-agent: X", true, "X"},
      // The presence test finds the line, the case-sensitive cut does not: the agent is then everything after
      // the first colon of the whole block, trimmed.
      {"user-agent: X", false, "X"},
      {"Accept: a/b\r\nuser-agent: X", false, "a/b\r\nuser-agent: X"},
      {"Accept: a/b\r\nuser-agent: X", true, "X"},
      {"User-Agent:   Probe 1.0  \r\nAccept: */*", true, "Probe 1.0"},
      {"X-Agent: none", true, kDefaultUserAgent},
  };
  for (const Case& c : cases) {
    const PageFetchPlan plan = Plan({.headers = c.headers, .fixHeaderCase = c.fixHeaderCase});
    EXPECT_EQ(plan.userAgent, c.want) << c.headers;
  }
  // The User-Agent line stays among the headers sent.
  EXPECT_EQ(Plan({.headers = "user-agent: X", .addDefaultHeaders = false}).headerText, "User-Agent: X");
}

TEST(FillBodyBytes, FillsOnlyAnEmptyBuffer) {
  Bytes empty;
  FillBodyBytes(empty, "a=1&b=中");
  EXPECT_EQ(BytesView(empty), "a=1&b=中");
  Bytes given = BytesOf("raw");
  FillBodyBytes(given, "text");
  EXPECT_EQ(BytesView(given), "raw");
}

TEST(CollectSetCookies, Table) {
  struct Case {
    std::string_view rawHeaders, want;
  };
  const Case cases[] = {
      {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n\r\n", "a=1; b=2"},
      {"HTTP/1.1 200 OK\r\nset-cookie: a=1\r\nSet-Cookie:b=2\r\nSET-COOKIE: c=3\r\n\r\n", ""},
      {"HTTP/1.1 200 OK\r\nSet-Cookie: a=1; Path=/\r\nSet-Cookie: a=2; HttpOnly\r\n\r\n", "a=1; a=2"},
      {"HTTP/1.1 200 OK\r\nSet-Cookie:  sid=x y ; Expires=Wed\r\n\r\n", "sid=x y"},
      {"HTTP/1.1 302 Found\r\nLocation: /next\r\nSet-Cookie: t=1\r\n", "t=1"},
      {std::string_view(), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CollectSetCookies(c.rawHeaders), c.want) << c.rawHeaders;
  EXPECT_EQ(CollectSetCookies(Text(kRawHeaderBytes, ' ')), "");
}

}  // namespace
}  // namespace quillmere
