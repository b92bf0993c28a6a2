// A small random driver for the fuzz target, for the host g++ (clang cannot compile the project's GBK
// literals): it strings together tokens that matter to the helpers and random bytes, for the given seconds.
//   build/host/tests/web/web_fuzz [seconds] [seed]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  std::mt19937 random(argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1u);
  const std::string_view tokens[] = {"http://",
                                     "https://",
                                     "HTTPS://",
                                     ":",
                                     "/",
                                     "?",
                                     "#",
                                     ";",
                                     "; ",
                                     "=",
                                     "deleted",
                                     "=deleted",
                                     "Set-Cookie: ",
                                     "set-cookie: ",
                                     "Cookie:",
                                     "\r\n",
                                     " ",
                                     "\xA1\xA1",
                                     "\x81",
                                     "\xD6\xD0",
                                     "user-agent:",
                                     "User-Agent:",
                                     "accept:",
                                     "Content-Type:",
                                     "8080",
                                     "a",
                                     "B",
                                     std::string_view("\0", 1)};
  const std::time_t deadline = std::time(nullptr) + seconds;
  long inputs = 0;
  std::string input;
  while (std::time(nullptr) < deadline) {
    for (int batch = 0; batch < 1000; ++batch, ++inputs) {
      input.clear();
      const int parts = static_cast<int>(random() % 40);
      for (int i = 0; i < parts; ++i) {
        if (random() % 4 == 0) {
          input += static_cast<char>(random() % 256);
        } else {
          input += tokens[random() % std::size(tokens)];
        }
      }
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    }
  }
  std::printf("%ld inputs in %d s, every invariant held\n", inputs, seconds);
  return 0;
}
