#include "web/url.h"

#include "text/markers.h"

namespace quillmere {

Text UrlHost(std::string_view address, bool keepPort) {
  Text lowered = ToLowerAscii(address);
  if (RightText(lowered, 1) != "/") lowered += '/';
  Text hostPart;
  if (LeftText(lowered, 8) == "https://") {
    hostPart = TextBetween(lowered, "https://", "/");
  } else {
    if (FindText(lowered, "http://") < 0) lowered.insert(0, "http://");
    hostPart = TextBetween(lowered, "http://", "/");
  }
  if (keepPort) return hostPart;
  const int colonAt = FindText(hostPart, ":");
  return colonAt > 0 ? LeftText(hostPart, colonAt - 1) : hostPart;
}

int UrlPort(std::string_view address) {
  const Text hostPart = UrlHost(address, true);
  const int colonAt = FindTextReverse(hostPart, ":");
  if (colonAt > 0) return TextToInt(RightText(hostPart, TextLength(hostPart) - colonAt));
  return ToLowerAscii(LeftText(address, 5)) == "https" ? 443 : 80;
}

Text UrlPath(std::string_view address) {
  const int hostAt = FindText(address, UrlHost(address), 1, true);
  const int slashAt = FindText(address, "/", hostAt, true);
  if (slashAt < 0) return "/";
  return RightText(address, TextLength(address) - slashAt + 1);
}

}  // namespace quillmere
