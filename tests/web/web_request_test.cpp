#include "web/web_request.h"

#include <gtest/gtest.h>

#include "text/markers.h"

namespace quillmere {
namespace {

constexpr std::string_view kDefaultLines =
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
    "Accept: text/html, application/xhtml+xml, */*\r\n"
    "Accept-Encoding: gbk, GB2312\r\n"
    "Accept-Language: zh-cn\r\n"
    "Cache-Control: no-cache";

TEST(RequestHeaderBlock, DefaultLinesInOrderWithoutContentTypeOrFinalBreak) {
  EXPECT_EQ(RequestHeaderBlock("", 0, "", true, true), kDefaultLines);
  EXPECT_EQ(RequestHeaderBlock("", 8, "", true, true), kDefaultLines);
  EXPECT_EQ(RequestHeaderBlock("", 1, "", true, true),
            "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
            "Accept: text/html, application/xhtml+xml, */*\r\n"
            "Accept-Encoding: gbk, GB2312\r\n"
            "Accept-Language: zh-cn\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\n"
            "Cache-Control: no-cache");
}

TEST(RequestHeaderBlock, CasesThatMatter) {
  struct Case {
    std::string_view headers;
    int method;
    std::string_view cookies;
    bool addDefaultHeaders;
    bool fixHeaderCase;
    std::string_view want;
  };
  const Case cases[] = {
      // A caller's agent in any letter case keeps the default out and is sent normalised.
      {"user-agent: X", 0, "", false, true, "User-Agent: X"},
      {"user-agent: X\r\naccept: a", 3, "", true, true,
       "User-Agent: X\r\nAccept: a\r\nAccept-Encoding: gbk, GB2312\r\nAccept-Language: zh-cn\r\n"
       "Cache-Control: no-cache"},
      // Without normalising, the caller's lines keep their spelling and the block its final break.
      {"x-one: 1", 0, "", false, false, "x-one: 1\r\n"},
      {"", 0, "", false, false, ""},
      // A keep-alive line followed by another goes; one that ends the block stays; close stays.
      {"Connection: keep-alive\r\nX-A: 1", 0, "", false, true, "X-A: 1"},
      {"X-A: 1\r\nConnection: keep-alive", 0, "", false, true, "X-A: 1\r\nConnection: keep-alive"},
      {"Connection: close\r\nX-A: 1", 0, "", false, true, "Connection: close\r\nX-A: 1"},
      // The cookie line: added, added as it stands, or left out when the caller's lines carry one.
      {"X-A: 1", 0, "a=1", false, true, "X-A: 1\r\nCookie: a=1\r\n"},
      {"X-A: 1", 0, "Cookie: a=1", false, true, "X-A: 1\r\nCookie: a=1\r\n"},
      {"X-A: 1\r\ncookie: b=2", 0, "a=1", false, true, "X-A: 1\r\nCookie: b=2"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RequestHeaderBlock(c.headers, c.method, c.cookies, c.addDefaultHeaders, c.fixHeaderCase),
              c.want)
        << c.headers << " / " << c.cookies;
  }
}

TEST(RequestParts, VerbObjectProxyAndTimeOut) {
  EXPECT_EQ(MethodVerb(0), "GET");
  EXPECT_EQ(MethodVerb(1), "POST");
  EXPECT_EQ(MethodVerb(7), "CONNECT");
  EXPECT_EQ(MethodVerb(8), "GET");
  EXPECT_EQ(MethodVerb(-1), "GET");

  EXPECT_EQ(ObjectName("", "?x=1"), "/");
  EXPECT_EQ(ObjectName("/a", "?x=1"), "/a?x=1");
  EXPECT_EQ(ObjectName("/a", ""), "/a");

  EXPECT_EQ(NamedProxyList("127.0.0.1:8080", false), "http=127.0.0.1:8080");
  EXPECT_EQ(NamedProxyList("127.0.0.1:8080", true), "127.0.0.1:8080");

  EXPECT_EQ(TimeoutMs(5), 5000u);
  EXPECT_EQ(TimeoutMs(0), 30000u);
  EXPECT_EQ(TimeoutMs(-3), 30000u);
}

TEST(ReplyHeaders, StatusTextFromTheStatusLine) {
  EXPECT_EQ(StatusText("HTTP/1.1 302 Found\r\nLocation: /next\r\n\r\n"), "302 Found");
  EXPECT_EQ(StatusText("HTTP/1.1 200 OK\r\n\r\n"), "200 OK");
  EXPECT_EQ(StatusText("HTTP/1.1 404 Not Found"), "404 Not Found");
  EXPECT_EQ(StatusText(""), "");
}

TEST(ReplyHeaders, SetCookieAndLocationLinesAreCollected) {
  Text returnedCookies;
  int lines = 0;
  const std::optional<Text> location = WalkReplyHeaders(
      "HTTP/1.1 302 Found\r\nSet-Cookie: a=1; path=/\r\nset-cookie: z=9\r\nSet-Cookie: b=2\r\n"
      "location: /first\r\nLOCATION: /next\r\n\r\n",
      returnedCookies, [&] { ++lines; });
  EXPECT_EQ(returnedCookies, "a=1; b=2; ");
  EXPECT_EQ(location, "/next");
  EXPECT_EQ(lines, 7);

  Text held;
  FinishReplyCookies(held, returnedCookies, true);
  EXPECT_EQ(returnedCookies, "a=1; b=2");
  EXPECT_EQ(held, "");
}

TEST(ReplyHeaders, CookiesAreAppendedToWhatTheCallerHeldAndMerged) {
  Text returnedCookies = "c=3; ";
  EXPECT_EQ(WalkReplyHeaders("HTTP/1.1 200 OK\r\nSet-Cookie: b=3\r\n\r\n", returnedCookies, [] {}),
            std::nullopt);
  EXPECT_EQ(returnedCookies, "c=3; b=3; ");

  Text cookies = "a=1; b=2";
  FinishReplyCookies(cookies, returnedCookies, true);
  EXPECT_EQ(returnedCookies, "c=3; b=3; a=1");
  EXPECT_EQ(cookies, "c=3; b=3; a=1");

  Text unmerged = "a=1";
  Text fresh = "b=2; ";
  FinishReplyCookies(unmerged, fresh, false);
  EXPECT_EQ(fresh, "b=2");
  EXPECT_EQ(unmerged, "a=1");
}

TEST(HeaderValue, FirstLineBeginningWithTheName) {
  EXPECT_EQ(HeaderValue("Host: h\r\nConnection: keep-alive", "Connection"), "keep-alive");
  EXPECT_EQ(HeaderValue("Connection:keep-alive", "Connection"), "");
  EXPECT_EQ(HeaderValue("connection: close", "Connection"), "");
  EXPECT_EQ(HeaderValue("Connection: close\r\nConnection: keep-alive", "Connection"), "close");
  EXPECT_EQ(HeaderValue("", "Connection"), "");
}

TEST(TextAfter, LastOccurrenceByDefault) {
  EXPECT_EQ(TextAfter("a=1&b=2", "="), "2");
  EXPECT_EQ(TextAfter("a=1&b=2", "=", -1), "1&b=2");
  EXPECT_EQ(TextAfter("a=1&b=2", "#"), "");
  EXPECT_EQ(TextAfter("a=1&b=2", "=", 2), "1&b=2");
  EXPECT_EQ(TextAfter("x?ID=ABC", "id=", 0, true), "ABC");
}

}  // namespace
}  // namespace quillmere
