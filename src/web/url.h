// The three pieces of an address that a connection needs: host, port and object path. They are cut out with
// the text toolkit; there is no URL parser and no percent-decoding.
#pragma once

#include "text/text.h"

namespace quillmere {

// The host part lower-cased: from the end of the scheme to the first "/" after it (a "?" or "#" does not end
// it), cut in front of its first ":" unless `keepPort` is set. An address without a scheme counts as http.
Text UrlHost(std::string_view address, bool keepPort = false);

// The digits after the last ":" of the host part (0 when they are not a number), else 443 for an address that
// begins with "https" in any letter case, else 80.
int UrlPort(std::string_view address);

// Everything from the first "/" after the host to the end, query and fragment included, in the address's own
// letter case; "/" when there is none.
Text UrlPath(std::string_view address);

}  // namespace quillmere
