#include "web/url.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(UrlSplitting, Table) {
  struct Case {
    std::string_view address, host, hostWithPort;
    int port;
    std::string_view path;
  };
  const Case cases[] = {
      {"HTTPS://WWW.Example.COM/Some/Path?Q=A", "www.example.com", "www.example.com", 443, "/Some/Path?Q=A"},
      {"www.example.com/a/b", "www.example.com", "www.example.com", 80, "/a/b"},
      {"http://host:8080/x", "host", "host:8080", 8080, "/x"},
      {"http://host:/x", "host", "host:", 0, "/x"},
      {"http://host:abc/x", "host", "host:abc", 0, "/x"},
      {"https://host:8443", "host", "host:8443", 8443, "/"},
      {"http://host", "host", "host", 80, "/"},
      {"http://host/", "host", "host", 80, "/"},
      {"http://host?q=1", "host?q=1", "host?q=1", 80, "/"},
      {"http://host#top", "host#top", "host#top", 80, "/"},
      {"http://host/api?next=/a/b/c", "host", "host", 80, "/api?next=/a/b/c"},
      {"http://[::1]:8080/x", "[", "[::1]:8080", 8080, "/x"},
      {"https:host/x", "https", "https:host", 0, "/x"},  // not "https://": taken as plain http
      {"127.0.0.1:18080/API/kd.php?Express=SF1", "127.0.0.1", "127.0.0.1:18080", 18080,
       "/API/kd.php?Express=SF1"},
      // The "http://" searched for may stand anywhere; the host part starts after the first one.
      {"go http://Host/P", "host", "host", 80, "/P"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UrlHost(c.address), c.host) << c.address;
    EXPECT_EQ(UrlHost(c.address, true), c.hostWithPort) << c.address;
    EXPECT_EQ(UrlPort(c.address), c.port) << c.address;
    EXPECT_EQ(UrlPath(c.address), c.path) << c.address;
  }
}

}  // namespace
}  // namespace quillmere
