// A byte buffer: a reply body or a request body. It carries its own length and may hold zero bytes, unlike a
// text.
#pragma once

#include <string_view>
#include <vector>

namespace quillmere {

using Bytes = std::vector<char>;

inline std::string_view BytesView(const Bytes& bytes) { return std::string_view(bytes.data(), bytes.size()); }

inline Bytes BytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

}  // namespace quillmere
