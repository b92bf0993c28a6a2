#include <windows.h>

#include "support/loopback_server.h"

#include <fstream>
#include <sstream>

namespace quillmere {

namespace {

constexpr DWORD kStartWaitMs = 10000;
// The server ends by itself after this, should a test die before it could stop it.
constexpr int kServerLifetimeSeconds = 600;

// The build's Unix paths, seen from Windows through the Z: drive that Wine maps to "/".
std::string WindowsPath(std::string_view unixPath) {
  std::string path = "Z:" + std::string(unixPath);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::string();
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// Written beside and renamed into place, so that the server never reads half a file.
void WriteFile(const std::string& path, std::string_view content) {
  const std::string partial = path + ".part";
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
  }
  MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

RecordedRequest ParseRequest(const std::string& raw) {
  RecordedRequest request;
  const std::size_t headEnd = raw.find("\r\n\r\n");
  const std::string head = raw.substr(0, headEnd);
  request.body = headEnd == std::string::npos ? std::string() : raw.substr(headEnd + 4);
  std::size_t start = 0;
  for (bool first = true; start <= head.size(); first = false) {
    std::size_t end = head.find("\r\n", start);
    if (end == std::string::npos) end = head.size();
    std::string line = head.substr(start, end - start);
    if (first) {
      request.requestLine = std::move(line);
    } else {
      request.headerLines.push_back(std::move(line));
    }
    start = end + 2;
  }
  return request;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

int RecordedRequest::CountHeader(std::string_view name) const {
  int count = 0;
  for (const std::string& line : headerLines) {
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && SameAsciiCase(std::string_view(line).substr(0, colon), name)) ++count;
  }
  return count;
}

std::string HttpReply(std::string_view statusLine, std::string_view headerLines, std::string_view body) {
  return std::string(statusLine) + "\r\n" + std::string(headerLines) +
         "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
         std::string(body);
}

LoopbackServer::LoopbackServer(bool alsoHttps, int securePort) {
  static int started = 0;
  const std::string unixFolder = std::string(QUILLMERE_TEST_SCRATCH) + "/server-" +
                                 std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(GetTickCount()) + "-" + std::to_string(++started);
  folder_ = WindowsPath(unixFolder);
  CreateDirectoryA(WindowsPath(QUILLMERE_TEST_SCRATCH).c_str(), nullptr);
  if (!CreateDirectoryA(folder_.c_str(), nullptr)) return;
  CreateDirectoryA((folder_ + "\\routes").c_str(), nullptr);

  // Wine starts a Unix program through CreateProcess (given its Unix path) but hands back no process handle
  // and none of the standard handles: the folder is the only way to it.
  std::string commandLine = std::string(QUILLMERE_PYTHON) + " " + QUILLMERE_LOOPBACK_SERVER + " --dir " +
                            unixFolder + " --lifetime " + std::to_string(kServerLifetimeSeconds) +
                            (alsoHttps ? " --tls --tls-port " + std::to_string(securePort) : "");
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return;
  }
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);

  const DWORD startedAt = GetTickCount();
  while (GetTickCount() - startedAt < kStartWaitMs) {
    // The HTTPS port is written first, so both are there once the plain one is.
    const std::string port = ReadFile(folder_ + "\\port");
    if (!port.empty()) {
      port_ = std::stoi(port);
      if (alsoHttps) securePort_ = std::stoi(ReadFile(folder_ + "\\tls-port"));
      return;
    }
    Sleep(20);
  }
}

LoopbackServer::~LoopbackServer() {
  if (!folder_.empty()) WriteFile(folder_ + "\\stop", "");
}

std::string LoopbackServer::Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::string LoopbackServer::SecureBase() const { return "https://127.0.0.1:" + std::to_string(securePort_); }

void LoopbackServer::Reply(std::string_view target, std::string_view rawReply) {
  AddRoute(target, "reply", rawReply);
}

void LoopbackServer::NeverReply(std::string_view target) { AddRoute(target, "never", ""); }

void LoopbackServer::LargeReply(std::string_view target, std::size_t bodyBytes) {
  AddRoute(target, "large " + std::to_string(bodyBytes), "");
}

void LoopbackServer::AddRoute(std::string_view target, std::string_view action, std::string_view reply) {
  char name[16];
  wsprintfA(name, "%06d", ++routes_);
  WriteFile(folder_ + "\\routes\\" + name,
            std::string(target) + "\t" + std::string(action) + "\n" + std::string(reply));
}

std::vector<RecordedRequest> LoopbackServer::Requests() const {
  std::vector<RecordedRequest> requests;
  for (int index = 1;; ++index) {
    char name[16];
    wsprintfA(name, "%06d", index);
    const std::string path = folder_ + "\\requests\\" + name;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return requests;
    requests.push_back(ParseRequest(ReadFile(path)));
  }
}

}  // namespace quillmere
