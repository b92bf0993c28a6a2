#include "web/web_request_winhttp.h"

#include <windows.h>
#include <winhttp.h>

#include "app/message_loop_win.h"
#include "native/unique_handle.h"
#include "script/regex_matcher.h"
#include "text/wide_text.h"
#include "web/reply_charset.h"
#include "web/web_request.h"

namespace quillmere {

namespace {

using UniqueWinHttpHandle = UniqueHandle<HINTERNET, &WinHttpCloseHandle>;

constexpr DWORD kIgnoredCertificateErrors =
    SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE |
    SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
// For option 79 the value 1 names the revocation check; it is what switching the cookie feature on takes.
constexpr DWORD kEnableCookieFeature = 1;

constexpr std::string_view kNoWinHttp = "700 当前系统不支持WinHttp服务!";
constexpr std::string_view kBadAddress = "701 解析URL地址失败!";
constexpr std::string_view kNoSession = "702 创建WinHttp会话失败!";
constexpr std::string_view kNoConnection = "703 创建WinHttp连接失败!";
constexpr std::string_view kNoRequest = "704 创建WinHttp请求失败!";
constexpr std::string_view kNoTimeouts = "705 设置超时时间失败!";
constexpr std::string_view kNoCredentials = "707 设置代理凭证失败!";
constexpr std::string_view kNoCookieOption = "708 禁止自动设置Cookies失败!";
constexpr std::string_view kNoRedirectOption = "709 重定向设置失败!";
constexpr std::string_view kNoHeaders = "710 设置协议头失败!";
constexpr std::string_view kNotSent = "711 发送请求失败!";
constexpr std::string_view kNoReply = "712 服务器未响应!";
constexpr std::string_view kReadFailed = "713 读取数据失败!";
constexpr std::string_view kNoSecurityFlags = "忽略错误/证书错误  失败！";

struct CrackedAddress {
  Text host;
  INTERNET_PORT port = 0;
  bool secure = false;
  Text objectName;
};

bool CrackAddress(std::string_view address, CrackedAddress& cracked) {
  const std::wstring wide = TextToWide(address);
  URL_COMPONENTS parts = {};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) return false;
  cracked.host = WideToText(std::wstring_view(parts.lpszHostName, parts.dwHostNameLength));
  cracked.port = parts.nPort;
  cracked.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  cracked.objectName =
      ObjectName(WideToText(std::wstring_view(parts.lpszUrlPath, parts.dwUrlPathLength)),
                 WideToText(std::wstring_view(parts.lpszExtraInfo, parts.dwExtraInfoLength)));
  return true;
}

bool SetDwordOption(HINTERNET request, DWORD option, DWORD value) {
  return WinHttpSetOption(request, option, &value, sizeof value);
}

bool SetBasicCredentials(HINTERNET request, DWORD target, std::string_view name, std::string_view password) {
  if (name.empty() || password.empty()) return true;
  return WinHttpSetCredentials(request, target, WINHTTP_AUTH_SCHEME_BASIC, TextToWide(name).c_str(),
                               TextToWide(password).c_str(), nullptr);
}

// Reads until the server has no more to give; false when a read failed, with the bytes read so far kept.
bool ReadBody(HINTERNET request, Bytes& body) {
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request, &available) || available < 1) return true;
    Bytes chunk(available, '\0');
    DWORD read = 0;
    if (!WinHttpReadData(request, chunk.data(), available, &read)) return false;
    body.insert(body.end(), chunk.begin(), chunk.begin() + read);
  }
}

bool QueryRawHeaders(HINTERNET request, std::wstring& block) {
  DWORD size = 0;
  WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                      WINHTTP_NO_HEADER_INDEX);
  block.assign(size / sizeof(wchar_t) + 1, L'\0');
  return WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX,
                             block.data(), &size, WINHTTP_NO_HEADER_INDEX);
}

// A failure: its error text in the caller's status, an empty result.
Text Fail(Text* status, std::string_view errorText) {
  if (status) *status = Text(errorText);
  return Text();
}

}  // namespace

Text WebRequest(std::string_view address, int method, std::string_view bodyText, Text* cookies,
                Text* returnedCookies, std::string_view headers, Text* rawReplyHeaders, bool noRedirect,
                std::string_view userName, std::string_view password, std::string_view proxy,
                std::string_view proxyUserName, std::string_view proxyPassword, int timeoutSeconds,
                Text* location, Text* status, Bytes* replyBytes, bool mergeCookies, bool addDefaultHeaders,
                const Bytes& bodyBytes, bool fixHeaderCase) {
  RegexMatcher matcher;
  if (!WinHttpCheckPlatform()) return Fail(status, kNoWinHttp);

  CrackedAddress cracked;
  if (!CrackAddress(address, cracked)) return Fail(status, kBadAddress);

  const std::wstring proxyList =
      proxy.empty() ? std::wstring() : TextToWide(NamedProxyList(proxy, cracked.secure));
  const UniqueWinHttpHandle session(
      WinHttpOpen(nullptr, proxy.empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY,
                  proxyList.c_str(), WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return Fail(status, kNoSession);

  const int timeoutMs = static_cast<int>(TimeoutMs(timeoutSeconds));
  if (!WinHttpSetTimeouts(session.Get(), timeoutMs, timeoutMs, timeoutMs, timeoutMs)) {
    return Fail(status, kNoTimeouts);
  }

  const UniqueWinHttpHandle connection(
      WinHttpConnect(session.Get(), TextToWide(cracked.host).c_str(), cracked.port, 0));
  if (!connection) return Fail(status, kNoConnection);

  const UniqueWinHttpHandle request(WinHttpOpenRequest(
      connection.Get(), TextToWide(MethodVerb(method)).c_str(), TextToWide(cracked.objectName).c_str(),
      nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, cracked.secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return Fail(status, kNoRequest);
  // The wait for the reply's headers has a time-out of its own, which the four above leave alone; under Wine
  // it is unbounded, so a server that accepts and never answers would hold the window thread for ever. The
  // caller's time-out bounds it as well. Without the option the call goes on as before.
  SetDwordOption(request.Get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, static_cast<DWORD>(timeoutMs));

  if (!SetBasicCredentials(request.Get(), WINHTTP_AUTH_TARGET_SERVER, userName, password) ||
      !SetBasicCredentials(request.Get(), WINHTTP_AUTH_TARGET_PROXY, proxyUserName, proxyPassword)) {
    return Fail(status, kNoCredentials);
  }
  if (!SetDwordOption(request.Get(), WINHTTP_OPTION_SECURITY_FLAGS, kIgnoredCertificateErrors)) {
    return Fail(status, kNoSecurityFlags);
  }
  Text heldCookies = cookies ? *cookies : Text();
  const bool cookieOptionSet =
      heldCookies.empty()
          ? SetDwordOption(request.Get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_COOKIES)
          : SetDwordOption(request.Get(), WINHTTP_OPTION_ENABLE_FEATURE, kEnableCookieFeature);
  if (!cookieOptionSet) return Fail(status, kNoCookieOption);
  if (noRedirect &&
      !SetDwordOption(request.Get(), WINHTTP_OPTION_DISABLE_FEATURE, WINHTTP_DISABLE_REDIRECTS)) {
    return Fail(status, kNoRedirectOption);
  }

  const std::wstring headerBlock =
      TextToWide(RequestHeaderBlock(headers, method, heldCookies, addDefaultHeaders, fixHeaderCase));
  // An empty block (no caller lines, no defaults, no cookies) has nothing to add.
  if (!headerBlock.empty() &&
      !WinHttpAddRequestHeaders(request.Get(), headerBlock.c_str(), static_cast<DWORD>(headerBlock.size()),
                                WINHTTP_ADDREQ_FLAG_ADD)) {
    return Fail(status, kNoHeaders);
  }

  const std::string_view body = bodyBytes.empty() ? bodyText : BytesView(bodyBytes);
  void* bodyData = body.empty() ? WINHTTP_NO_REQUEST_DATA : const_cast<char*>(body.data());
  const DWORD bodyLength = static_cast<DWORD>(body.size());
  if (!WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, bodyData, bodyLength, bodyLength,
                          0)) {
    return Fail(status, kNotSent);
  }
  if (!WinHttpReceiveResponse(request.Get(), nullptr)) return Fail(status, kNoReply);

  Bytes received;
  if (!ReadBody(request.Get(), received) && status) *status = Text(kReadFailed);

  std::wstring wideHeaders;
  if (!QueryRawHeaders(request.Get(), wideHeaders)) return Text();
  const Text replyHeaders = WideToText(wideHeaders);
  if (rawReplyHeaders) *rawReplyHeaders = replyHeaders;
  if (status) *status = StatusText(replyHeaders);

  Text collectedCookies = returnedCookies ? *returnedCookies : Text();
  const std::optional<Text> redirectTarget =
      WalkReplyHeaders(replyHeaders, collectedCookies, [] { PumpWaitingMessages(); });
  if (location && redirectTarget) *location = *redirectTarget;
  FinishReplyCookies(heldCookies, collectedCookies, mergeCookies);
  if (returnedCookies) *returnedCookies = collectedCookies;
  if (cookies) *cookies = heldCookies;

  Text result(BytesView(received).substr(0, BytesView(received).find('\0')));
  DecodeReplyCharset(matcher, BytesView(received), result);
  if (replyBytes) *replyBytes = std::move(received);
  PumpWaitingMessages();
  return result;
}

}  // namespace quillmere
