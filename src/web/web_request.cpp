#include "web/web_request.h"

#include <array>

#include "text/markers.h"
#include "web/cookies.h"

namespace quillmere {

namespace {

constexpr std::array<std::string_view, 8> kVerbs = {"GET",     "POST",   "HEAD",  "PUT",
                                                    "OPTIONS", "DELETE", "TRACE", "CONNECT"};

constexpr int kPostMethod = 1;

struct DefaultHeader {
  std::string_view probe;
  std::string_view line;
  bool onlyForPost;
};

// In this order; a line is added when its probe is nowhere in the block, whatever the letter case.
constexpr std::array<DefaultHeader, 6> kDefaultHeaders = {{
    {"User-Agent: ", "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n",
     false},
    {"Accept: ", "Accept: text/html, application/xhtml+xml, */*\r\n", false},
    {"Accept-Encoding: ", "Accept-Encoding: gbk, GB2312\r\n", false},
    {"Accept-Language: ", "Accept-Language: zh-cn\r\n", false},
    {"Content-Type:", "Content-Type: application/x-www-form-urlencoded\r\n", true},
    {"Cache-Control: ", "Cache-Control: no-cache\r\n", false},
}};

bool ContainsIgnoringCase(std::string_view text, std::string_view needle) {
  return FindText(text, needle, 1, true) > 0;
}

}  // namespace

Text MethodVerb(int method) {
  const bool inTable = method >= 0 && method < static_cast<int>(kVerbs.size());
  return Text(kVerbs[inTable ? static_cast<std::size_t>(method) : 0]);
}

Text ObjectName(std::string_view urlPath, std::string_view extraInfo) {
  if (urlPath.empty()) return "/";
  return Text(urlPath) + Text(extraInfo);
}

Text NamedProxyList(std::string_view proxy, bool secure) {
  return secure ? Text(proxy) : "http=" + Text(proxy);
}

unsigned long TimeoutMs(int timeoutSeconds) {
  return timeoutSeconds > 0 ? static_cast<unsigned long>(timeoutSeconds) * 1000 : kDefaultWebRequestTimeoutMs;
}

Text RequestHeaderBlock(std::string_view headers, int method, std::string_view cookies,
                        bool addDefaultHeaders, bool fixHeaderCase) {
  Text block = headers.empty() ? Text() : Text(headers) + "\r\n";
  if (addDefaultHeaders) {
    for (const DefaultHeader& header : kDefaultHeaders) {
      if (header.onlyForPost && method != kPostMethod) continue;
      if (!ContainsIgnoringCase(block, header.probe)) block += header.line;
    }
  }
  if (fixHeaderCase) block = NormaliseHeaderNames(block);
  // Only a line followed by another goes: the connection is WinHTTP's to keep alive.
  if (FindText(block, "Connection") > 0 && HeaderValue(block, "Connection") == "keep-alive") {
    block = ReplaceText(block, "Connection: keep-alive\r\n", "");
  }
  if (!ContainsIgnoringCase(block, "Cookie:") && !cookies.empty()) {
    block += ContainsIgnoringCase(cookies, "Cookie:") ? "\r\n" : "\r\nCookie: ";
    block += Text(cookies) + "\r\n";
  }
  return block;
}

Text HeaderValue(std::string_view headerBlock, std::string_view name) {
  for (const Text& line : SplitText(headerBlock, "\r\n")) {
    if (line.starts_with(name)) return TextAfter(line, Text(name) + ": ");
  }
  return Text();
}

Text StatusText(std::string_view rawReplyHeaders) {
  constexpr int kPhraseStart = 10;
  const int lineEnd = FindText(rawReplyHeaders, "\r\n", kPhraseStart);
  // A block of a single line without its break still names its status.
  const int count = lineEnd > 0 ? lineEnd - kPhraseStart : TextLength(rawReplyHeaders) - kPhraseStart + 1;
  return MidText(rawReplyHeaders, kPhraseStart, count);
}

std::optional<Text> WalkReplyHeaders(std::string_view rawReplyHeaders, Text& returnedCookies,
                                     const std::function<void()>& afterEachLine) {
  std::optional<Text> location;
  for (const Text& line : SplitText(rawReplyHeaders, "\r\n")) {
    if (std::optional<Text> cookie = SetCookieOf(line)) returnedCookies += *cookie + "; ";
    if (ToLowerAscii(LeftText(line, 10)) == "location: ") location = MidText(line, 11, TextLength(line));
    afterEachLine();
  }
  return location;
}

void FinishReplyCookies(Text& cookies, Text& returnedCookies, bool mergeCookies) {
  if (returnedCookies.ends_with("; ")) returnedCookies.resize(returnedCookies.size() - 2);
  if (mergeCookies && !cookies.empty()) returnedCookies = MergeCookies(cookies, returnedCookies);
}

}  // namespace quillmere
