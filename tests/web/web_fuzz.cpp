// Fuzz target for the platform-free web helpers, run by hand (web_fuzz_main.cpp): URL splitting, cookie
// merging, Set-Cookie collection and the request plan, under AddressSanitizer and UndefinedBehaviorSanitizer,
// with the invariants every input must keep.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "text/text.h"
#include "web/cookies.h"
#include "web/page_fetch.h"
#include "web/url.h"

namespace quillmere {
namespace {

void Require(bool holds) {
  if (!holds) std::abort();
}

// The input is cut into texts at each zero byte (a text never holds one).
TextList Pieces(std::string_view data) {
  TextList pieces(1);
  for (char byte : data) {
    if (byte == '\0') {
      pieces.emplace_back();
    } else {
      pieces.back() += byte;
    }
  }
  return pieces;
}

void CheckUrl(std::string_view address) {
  const Text path = UrlPath(address);
  Require(!path.empty() && path.front() == '/');
  const Text host = UrlHost(address);
  // Searched as texts: a ":" or "/" may be the second byte of a two-byte character.
  Require(ToLowerAscii(host) == host && FindText(host, "/") < 0 && FindText(host, ":") < 0);
  Require(UrlPort(address) == UrlPort(ToLowerAscii(address)));
}

void CheckMerge(std::string_view oldText, std::string_view newText) {
  Text oldCookies(oldText);
  Text newCookies(newText);
  const Text merged = MergeCookies(oldCookies, newCookies);
  Require(oldCookies == merged);
  Require(newCookies == TrimSpaces(newCookies) || RightText(newCookies, 2) == "; ");
  for (const Text& entry : SplitText(merged, "; ")) Require(RightText(entry, 8) != "=deleted");
  Require(UniqueParts(merged, "; ") == merged);
}

void CheckPlan(std::string_view address, std::string_view headers, std::string_view cookieText, int method) {
  const Text cookies(cookieText);
  const PageFetchPlan plan = PlanPageFetch(address, method, &cookies, headers, false, {}, true, true);
  constexpr std::string_view kVerbs[] = {"GET",     "POST",   "HEAD",  "PUT",
                                         "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  Require(plan.verb == (method >= 0 && method <= 7 ? kVerbs[method] : "GET"));
  // A POST always goes out with some content type, its own or the form one.
  Require(method != 1 || FindText(plan.headerText, "Content-Type:", 1, true) > 0);
  Require(FindText(plan.headerText, "Accept:", 1, true) > 0 &&
          FindText(plan.headerText, "Referer:", 1, true) > 0);
  Require((plan.requestFlags & kFlagNoCookies) != 0);
  Require(plan.sendsBody == (plan.method != PageMethod::kGet));
}

}  // namespace
}  // namespace quillmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmere;
  const TextList pieces = Pieces(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto piece = [&pieces](std::size_t i) -> std::string_view {
    return i < pieces.size() ? std::string_view(pieces[i]) : std::string_view();
  };
  CheckUrl(piece(0));
  CheckMerge(piece(1), piece(2));
  CollectSetCookies(piece(3));
  CheckPlan(piece(0), piece(3), piece(1), size > 0 ? static_cast<int>(data[0]) - 128 : 0);
  return 0;
}
