// PageFetch: one complete, synchronous HTTP or HTTPS request over WinInet, returning the reply body exactly
// as received (an empty buffer on failure). It opens its own session, connection and request and closes all
// three before it returns.
#pragma once

#include "text/text.h"
#include "web/bytes.h"

namespace quillmere {

// WinInet leaves the wait for a reply unbounded (receive time-out 0 under Wine), so a server that accepts the
// connection and never answers would hold the caller for ever. Connecting, sending and receiving are each
// bounded by this.
inline constexpr unsigned long kPageFetchTimeoutMs = 30000;

// The thirteen arguments of PageFetch. A null pointer is a parameter left out: for `cookies` that differs
// from an empty text (passing one turns WinInet's own cookie store off); the other out-parameters are then
// discarded.
struct PageFetchArguments {
  std::string_view address = {};
  int method = 0;
  std::string_view bodyText = {};
  Text* cookies = nullptr;
  Text* returnedCookies = nullptr;
  std::string_view headers = {};
  Text* rawReplyHeaders = nullptr;
  bool noRedirect = false;
  Bytes* bodyBytes = nullptr;
  std::string_view proxy = {};
  bool mergeCookies = true;
  bool addDefaultHeaders = true;
  bool fixHeaderCase = true;
};

Bytes PageFetch(std::string_view address, int method = 0, std::string_view bodyText = {},
                Text* cookies = nullptr, Text* returnedCookies = nullptr, std::string_view headers = {},
                Text* rawReplyHeaders = nullptr, bool noRedirect = false, Bytes* bodyBytes = nullptr,
                std::string_view proxy = {}, bool mergeCookies = true, bool addDefaultHeaders = true,
                bool fixHeaderCase = true);

// PageFetch with a time-out of the caller's choosing (tests wait on a silent server for a short while).
Bytes FetchPage(const PageFetchArguments& arguments, unsigned long timeoutMs = kPageFetchTimeoutMs);

}  // namespace quillmere
