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

void SetTimeouts(HINTERNET session, std::chrono::milliseconds timeout) {
  DWORD milliseconds = static_cast<DWORD>(timeout.count());
  for (DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionA(session, option, &milliseconds, sizeof milliseconds);
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
                                    std::chrono::milliseconds timeout) {
  const InternetHandle session(
      plan.proxy.empty()
          ? InternetOpenA(plan.userAgent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)
          : InternetOpenA(plan.userAgent.c_str(), INTERNET_OPEN_TYPE_PROXY, plan.proxy.c_str(), "", 0));
  if (!session) return std::nullopt;
  SetTimeouts(session.Get(), timeout);
  const InternetHandle connection(InternetConnectA(session.Get(), plan.host.c_str(),
                                                   static_cast<INTERNET_PORT>(plan.port), nullptr, nullptr,
                                                   INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return std::nullopt;
  const InternetHandle request(HttpOpenRequestA(connection.Get(), plan.verb.c_str(), plan.path.c_str(),
                                                Text(kHttpVersion).c_str(), nullptr, nullptr,
                                                plan.requestFlags, 0));
  if (!request) return std::nullopt;
  DWORD securityFlags = kIgnoredSecurityProblems;
  InternetSetOptionA(request.Get(), INTERNET_OPTION_SECURITY_FLAGS, &securityFlags, sizeof securityFlags);

  Bytes discardedBody;
  Bytes& body = arguments.bodyBytes != nullptr ? *arguments.bodyBytes : discardedBody;
  const Text& headerText = plan.headerText;
  if (plan.sendsBody) {
    FillBodyBytes(body, arguments.bodyText);
    HttpSendRequestA(request.Get(), headerText.data(), static_cast<DWORD>(headerText.size()),
                     body.empty() ? nullptr : body.data(), static_cast<DWORD>(body.size()));
  } else {
    HttpSendRequestA(request.Get(), headerText.data(), static_cast<DWORD>(headerText.size()), nullptr, 0);
  }
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

Bytes FetchPage(const PageFetchArguments& arguments, std::chrono::milliseconds timeout) {
  const PageFetchPlan plan = PlanPageFetch(arguments.address, arguments.method, arguments.cookies,
                                           arguments.headers, arguments.noRedirect, arguments.proxy,
                                           arguments.addDefaultHeaders, arguments.fixHeaderCase);
  std::optional<Exchange> exchange = RunExchange(plan, arguments, timeout);
  if (!exchange) return Bytes();

  Text cookiesSet = CollectSetCookies(exchange->rawReplyHeaders);
  if (arguments.mergeCookies && arguments.cookies != nullptr)
    cookiesSet = MergeCookies(*arguments.cookies, cookiesSet);
  if (arguments.returnedCookies != nullptr) *arguments.returnedCookies = std::move(cookiesSet);
  if (arguments.rawReplyHeaders != nullptr) *arguments.rawReplyHeaders = std::move(exchange->rawReplyHeaders);
  return std::move(exchange->body);
}

}  // namespace quillmere
