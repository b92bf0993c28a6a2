#include "web/page_fetch.h"

#include "text/markers.h"
#include "web/cookies.h"
#include "web/url.h"
#include "web/web_request.h"

namespace quillmere {

namespace {

bool Contains(std::string_view text, std::string_view needle) { return FindText(text, needle, 1, true) > 0; }

Text UserAgentOf(std::string_view headerCopy) {
  if (!Contains(headerCopy, "User-Agent:")) return Text(kDefaultUserAgent);
  const Text agent = TrimSpaces(TextBetween(Text(headerCopy) + "\r\n", "User-Agent:", "\r\n"));
  // The presence test ignores case but the cut does not: a header of another spelling gives the value of the
  // block's first line instead.
  return agent.empty() ? ValueAfterColon(headerCopy) : agent;
}

void AddDefaultHeaders(Text& headerCopy, std::string_view address, PageMethod method) {
  if (headerCopy.empty()) headerCopy = "Accept: */*";
  if (!Contains(headerCopy, "Accept:")) headerCopy += "\r\nAccept: */*";
  if (!Contains(headerCopy, "Referer:")) headerCopy += Text("\r\nReferer: ") + Text(address);
  if (!Contains(headerCopy, "Accept-Language:")) headerCopy += "\r\nAccept-Language: zh-cn";
  if (method == PageMethod::kPost && !Contains(headerCopy, "Content-Type:")) {
    headerCopy += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
}

}  // namespace

PageFetchPlan PlanPageFetch(std::string_view address, int method, const Text* cookies,
                            std::string_view headers, bool noRedirect, std::string_view proxy,
                            bool addDefaultHeaders, bool fixHeaderCase) {
  PageFetchPlan plan;
  Text headerCopy = fixHeaderCase ? NormaliseHeaderNames(headers) : Text(headers);
  const bool inTable = method >= 0 && method <= static_cast<int>(PageMethod::kConnect);
  plan.method = inTable ? static_cast<PageMethod>(method) : PageMethod::kGet;
  plan.verb = MethodVerb(method);
  plan.secure = ToLowerAscii(LeftText(address, 8)) == "https://";
  plan.userAgent = UserAgentOf(headerCopy);
  if (!proxy.empty()) plan.proxy = NamedProxyList(proxy, plan.secure);
  plan.host = UrlHost(address);
  plan.port = UrlPort(address);
  plan.path = UrlPath(address);

  plan.requestFlags = kBaseRequestFlags;
  if (cookies != nullptr) plan.requestFlags |= kFlagNoCookies;
  if (noRedirect) plan.requestFlags |= kFlagNoAutoRedirect;
  plan.requestFlags |= plan.secure ? kFlagSecure : kFlagIgnoreRedirectToHttps;

  if (addDefaultHeaders) AddDefaultHeaders(headerCopy, address, plan.method);
  if (cookies != nullptr && !cookies->empty()) {
    headerCopy += FindText(*cookies, "Cookie:") > 0 ? "\r\n" : "\r\nCookie: ";
    headerCopy += *cookies;
  }
  plan.headerText = std::move(headerCopy);
  plan.sendsBody = plan.method != PageMethod::kGet;
  return plan;
}

void FillBodyBytes(Bytes& bodyBytes, std::string_view bodyText) {
  if (bodyBytes.empty()) bodyBytes = BytesOf(bodyText);
}

Text CollectSetCookies(std::string_view rawReplyHeaders) {
  Text collected;
  for (const Text& line : SplitText(rawReplyHeaders, "\r\n")) {
    if (std::optional<Text> cookie = SetCookieOf(line)) collected += *cookie + "; ";
  }
  if (!collected.empty()) collected.resize(collected.size() - 2);
  return collected;
}

}  // namespace quillmere
