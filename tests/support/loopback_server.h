// Starts tests/support/loopback_server.py from a Windows test program under Wine and talks to it through its
// folder: scripted replies go in, the requests that arrived come out, byte for byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

// Replies go out as UTF-8 bytes, written in the tests as u8 literals.
inline std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

struct RecordedRequest {
  std::string requestLine;
  std::vector<std::string> headerLines;  // in the order they arrived
  std::string body;

  // How many header lines are named `name` (compared without regard to ASCII case).
  int CountHeader(std::string_view name) const;
};

// A reply with its Content-Length and "Connection: close" added: status line, header lines (each ended by
// "\r\n"), empty line, body.
std::string HttpReply(std::string_view statusLine, std::string_view headerLines, std::string_view body);

class LoopbackServer {
 public:
  // Listening on a free port of 127.0.0.1, or not Started() after 10 s. With `alsoHttps`, a second port
  // speaks HTTPS with a self-signed certificate, made at start: on `securePort` when it is not 0 (a program
  // built to ask a fixed port), else on a free one.
  explicit LoopbackServer(bool alsoHttps = false, int securePort = 0);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  bool Started() const { return port_ != 0; }
  int Port() const { return port_; }
  // "http://127.0.0.1:PORT"
  std::string Base() const;
  // "https://127.0.0.1:PORT" of the HTTPS port
  std::string SecureBase() const;

  // Answers requests for `target` (the request target exactly; "*" for every other one).
  void Reply(std::string_view target, std::string_view rawReply);
  void NeverReply(std::string_view target);
  void LargeReply(std::string_view target, std::size_t bodyBytes);

  std::vector<RecordedRequest> Requests() const;

 private:
  void AddRoute(std::string_view target, std::string_view action, std::string_view reply);

  std::string folder_;  // Windows path of the server's folder
  int port_ = 0;
  int securePort_ = 0;
  int routes_ = 0;
};

}  // namespace quillmere
