// WebRequest: one complete, synchronous HTTP or HTTPS request over WinHTTP, returning the reply body as text.
// It opens its own session, connection and request and closes all three before it returns; nothing survives
// between calls. It never shows anything: a failure leaves one of the error texts in `status`.
#pragma once

#include <string_view>

#include "text/text.h"
#include "web/bytes.h"

namespace quillmere {

// The twenty-one parameters in their order; every one after the address may be left out. A null pointer is
// an in-and-out or out-parameter left out: the cookie texts then start empty, and what would be written into
// it is discarded. An out-parameter that a path does not reach keeps the caller's value.
//
// The result is the reply body up to its first zero byte, re-decoded from a charset that the page declares;
// an empty text on every failure but a failed read of the body, which keeps what was read.
Text WebRequest(std::string_view address, int method = 0, std::string_view bodyText = {},
                Text* cookies = nullptr, Text* returnedCookies = nullptr, std::string_view headers = {},
                Text* rawReplyHeaders = nullptr, bool noRedirect = false, std::string_view userName = {},
                std::string_view password = {}, std::string_view proxy = {},
                std::string_view proxyUserName = {}, std::string_view proxyPassword = {},
                int timeoutSeconds = 0, Text* location = nullptr, Text* status = nullptr,
                Bytes* replyBytes = nullptr, bool mergeCookies = true, bool addDefaultHeaders = true,
                const Bytes& bodyBytes = {}, bool fixHeaderCase = true);

}  // namespace quillmere
