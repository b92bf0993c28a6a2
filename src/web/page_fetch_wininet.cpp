#include <windows.h>
#include <wininet.h>

#include "web/page_fetch_wininet.h"

#include <cstring>
#include <optional>

#include "native/unique_handle.h"
#include "web/cookies.h"
#include "web/page_fetch.h"

namespace quillmere {

namespace {

using InternetHandle = UniqueHandle<HINTERNET, &InternetCloseHandle>;

struct Exchange {
  Bytes body;
  Text rawReplyHeaders;
};

// Wine takes the connect time-out from the session and the send and receive time-outs only from the request,
// so both are given all three.
void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
  for (DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
  }
}

Bytes ReadBody(HINTERNET request) {
  Bytes body;
  char chunk[kReadChunkBytes];
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(request, chunk, sizeof chunk, &read)) read = 0;
    if (read == 0) return body;
    body.insert(body.end(), chunk, chunk + read);
  }
}

// The raw header block, or 5000 spaces when it does not fit in 5000 bytes with its terminating zero.
Text RawReplyHeaders(HINTERNET request) {
  char block[kRawHeaderBytes];
  DWORD size = sizeof block;
  if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, block, &size, nullptr)) {
    return Text(kRawHeaderBytes, ' ');
  }
  return Text(block, strnlen(block, sizeof block));
}

// Opens session, connection and request, sends and reads; the three handles close in the reverse order
// when this returns, on every path. Nothing when one of them cannot be opened.
std::optional<Exchange> RunExchange(const PageFetchPlan& plan, const PageFetchArguments& arguments,
                                    unsigned long timeoutMs) {
  const InternetHandle session(
      plan.proxy.empty()
          ? InternetOpenA(plan.userAgent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)
          : InternetOpenA(plan.userAgent.c_str(), INTERNET_OPEN_TYPE_PROXY, plan.proxy.c_str(), "", 0));
  if (!session) return std::nullopt;
  SetTimeouts(session.Get(), timeoutMs);
  const InternetHandle connection(InternetConnectA(session.Get(), plan.host.c_str(),
                                                   static_cast<INTERNET_PORT>(plan.port), nullptr, nullptr,
                                                   INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return std::nullopt;
  const InternetHandle request(HttpOpenRequestA(connection.Get(), plan.verb.c_str(), plan.path.c_str(),
                                                Text(kHttpVersion).c_str(), nullptr, nullptr,
                                                plan.requestFlags, 0));
  if (!request) return std::nullopt;
  SetTimeouts(request.Get(), timeoutMs);
  DWORD securityFlags = kIgnoredSecurityProblems;
  InternetSetOptionA(request.Get(), INTERNET_OPTION_SECURITY_FLAGS, &securityFlags, sizeof securityFlags);

  Bytes discardedBody;
  Bytes& body = arguments.bodyBytes != nullptr ? *arguments.bodyBytes : discardedBody;
  const Text& headerText = plan.headerText;
  if (plan.sendsBody) FillBodyBytes(body, arguments.bodyText);
  const bool withBody = plan.sendsBody && !body.empty();
  const bool sent =
      HttpSendRequestA(request.Get(), headerText.data(), static_cast<DWORD>(headerText.size()),
                       withBody ? body.data() : nullptr, withBody ? static_cast<DWORD>(body.size()) : 0);
  // After a failed send there is no reply to read. Wine would still hand over a header block of a lone
  // "\r\n"; the caller is told of the failure by an empty body and the 5000 spaces of an unread block.
  if (!sent) return Exchange{Bytes(), Text(kRawHeaderBytes, ' ')};
  return Exchange{ReadBody(request.Get()), RawReplyHeaders(request.Get())};
}

}  // namespace

Bytes PageFetch(std::string_view address, int method, std::string_view bodyText, Text* cookies,
                Text* returnedCookies, std::string_view headers, Text* rawReplyHeaders, bool noRedirect,
                Bytes* bodyBytes, std::string_view proxy, bool mergeCookies, bool addDefaultHeaders,
                bool fixHeaderCase) {
  return FetchPage({address, method, bodyText, cookies, returnedCookies, headers, rawReplyHeaders, noRedirect,
                    bodyBytes, proxy, mergeCookies, addDefaultHeaders, fixHeaderCase});
}

Bytes FetchPage(const PageFetchArguments& arguments, unsigned long timeoutMs) {
  const PageFetchPlan plan = PlanPageFetch(arguments.address, arguments.method, arguments.cookies,
                                           arguments.headers, arguments.noRedirect, arguments.proxy,
                                           arguments.addDefaultHeaders, arguments.fixHeaderCase);
  std::optional<Exchange> exchange = RunExchange(plan, arguments, timeoutMs);
  if (!exchange) return Bytes();

  Text cookiesSet = CollectSetCookies(exchange->rawReplyHeaders);
  if (arguments.mergeCookies && arguments.cookies != nullptr)
    cookiesSet = MergeCookies(*arguments.cookies, cookiesSet);
  if (arguments.returnedCookies != nullptr) *arguments.returnedCookies = std::move(cookiesSet);
  if (arguments.rawReplyHeaders != nullptr) *arguments.rawReplyHeaders = std::move(exchange->rawReplyHeaders);
  return std::move(exchange->body);
}

}  // namespace quillmere
