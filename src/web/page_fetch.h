// The platform-free half of PageFetch: everything about the request that does not need the transport (the
// verb, the user agent, the proxy text, the request flags, the header text) and the cookies taken from the
// reply's raw header block. The transport in page_fetch_wininet.cpp carries out the plan.
#pragma once

#include <cstdint>
#include <string_view>

#include "text/text.h"
#include "web/bytes.h"

namespace quillmere {

inline constexpr std::string_view kDefaultUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
inline constexpr std::string_view kHttpVersion = "HTTP/1.1";
inline constexpr int kReadChunkBytes = 1024;
inline constexpr int kRawHeaderBytes = 5000;

// Request flags, with their WinInet values.
inline constexpr std::uint32_t kBaseRequestFlags =
    0x80000010;  // INTERNET_FLAG_RELOAD | INTERNET_FLAG_NEED_FILE
inline constexpr std::uint32_t kFlagNoCookies = 0x80000;
inline constexpr std::uint32_t kFlagNoAutoRedirect = 0x200000;
inline constexpr std::uint32_t kFlagSecure = 0x800000;
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttps = 0x4000;
// Certificate errors of every kind, and redirects between http and https, do not stop a request.
inline constexpr std::uint32_t kIgnoredSecurityProblems = 0x0001F380;

// What a method index means once it is clamped into the method table.
enum class PageMethod : int { kGet = 0, kPost, kHead, kPut, kOptions, kDelete, kTrace, kConnect };

// The request as the transport makes it.
struct PageFetchPlan {
  PageMethod method = PageMethod::kGet;
  Text verb;
  bool secure = false;
  Text userAgent;
  // Empty for a direct connection; otherwise the proxy text handed to the session as it stands.
  Text proxy;
  Text host;
  int port = 0;
  Text path;
  std::uint32_t requestFlags = 0;
  // The extra header text sent with the request, the transport adding only what it must (Host, length).
  Text headerText;
  // A GET never carries a body; every other method sends `bodyBytes` (filled from `bodyText` when empty).
  bool sendsBody = false;
};

// `cookies` is null when the caller left it out; an empty text that was passed changes the request.
PageFetchPlan PlanPageFetch(std::string_view address, int method, const Text* cookies,
                            std::string_view headers, bool noRedirect, std::string_view proxy,
                            bool addDefaultHeaders, bool fixHeaderCase);

// The body a request that sends one carries: the caller's bytes, first filled from `bodyText` when empty.
void FillBodyBytes(Bytes& bodyBytes, std::string_view bodyText);

// The name=value pairs of the reply's "Set-Cookie: " lines, attributes dropped, joined by "; ".
Text CollectSetCookies(std::string_view rawReplyHeaders);

}  // namespace quillmere
