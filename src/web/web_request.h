// The platform-free half of WebRequest: the request's verb, object name, proxy list, time-out and header
// block, and the reading of the reply's raw header block (status text, cookies set, redirect target). The
// WinHTTP calls in web_request_winhttp.cpp carry them out.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "text/text.h"

namespace quillmere {

inline constexpr unsigned long kDefaultWebRequestTimeoutMs = 30000;

// The verb of a method index; an index outside the table sends "GET".
Text MethodVerb(int method);

// The request's object: the address's path followed by its query, or "/" alone (the query dropped) when
// the path is empty.
Text ObjectName(std::string_view urlPath, std::string_view extraInfo);

// The named-proxy list the session is opened with: a plain address goes through the proxy's "http=" entry.
Text NamedProxyList(std::string_view proxy, bool secure);

// One time-out for resolving, connecting, sending and receiving; 0 seconds or less mean 30 seconds.
unsigned long TimeoutMs(int timeoutSeconds);

// The header block the request carries: the caller's lines, the default lines whose names are missing, the
// names capitalised, a keep-alive line dropped and the cookie line added.
Text RequestHeaderBlock(std::string_view headers, int method, std::string_view cookies,
                        bool addDefaultHeaders, bool fixHeaderCase);

// The value after "name: " on the first line that begins with `name` (case-sensitive); empty when there is
// none, or when that line lacks the blank after the colon.
Text HeaderValue(std::string_view headerBlock, std::string_view name);

// The status code and reason phrase of the block's first line, after the 9-byte protocol version and its
// blank.
Text StatusText(std::string_view rawReplyHeaders);

// What the reply's header lines tell besides the status: each "Set-Cookie" line's name=value pair, appended
// with "; " after what `returnedCookies` holds, and the value of the last Location line.
// `afterEachLine` runs once per line, so the caller's window stays responsive.
std::optional<Text> WalkReplyHeaders(std::string_view rawReplyHeaders, Text& returnedCookies,
                                     const std::function<void()>& afterEachLine);

// The final separator dropped from `returnedCookies`; with `mergeCookies` and held `cookies`, both become
// the merged cookie text.
void FinishReplyCookies(Text& cookies, Text& returnedCookies, bool mergeCookies);

}  // namespace quillmere
