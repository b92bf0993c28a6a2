// The program's skin file: ".SHE" and a zero byte, a format version, the number of colours, the font's size
// in points and weight, the length of its face name, one reserved byte; then the colours as red, green, blue
// bytes in the order of SkinColour, and the face name in UTF-16LE. Written at build time from a readable
// source (skin/quillmere_skin.txt), read by the skin library, which runs without the C runtime: this reader
// needs nothing but the bytes.
#pragma once

#include <cstdint>

namespace quillmere {

enum SkinColour : unsigned {
  kSkinWindow,           // the face of windows and dialogs
  kSkinText,             // labels and other text on that face
  kSkinFieldBackground,  // edit boxes and lists
  kSkinFieldText,
  kSkinButtonFace,
  kSkinButtonText,
  kSkinButtonPressed,     // a button face while it is held down
  kSkinBorder,            // the thin frame of fields and buttons
  kSkinHeaderBackground,  // the column headers of a list
  kSkinHeaderText,
  kSkinStripe,  // the background of every second row of a list
  kSkinColourCount
};

inline constexpr unsigned char kSkinMagic[5] = {'.', 'S', 'H', 'E', 0};
inline constexpr unsigned kSkinVersion = 1;
inline constexpr unsigned kSkinHeaderSize = 12;
inline constexpr unsigned kSkinFaceCapacity = 31;  // characters, as a LOGFONT holds them

struct Skin {
  std::uint32_t colours[kSkinColourCount];  // 0x00BBGGRR, as GDI takes them
  unsigned fontPoints;
  unsigned fontWeight;
  char16_t face[kSkinFaceCapacity + 1];  // zero-terminated
};

// False, leaving `skin` unspecified, for bytes that are not a whole skin file of this version. Colours past
// the ones this reader knows are passed over, so that a later file with more of them still reads.
inline bool ReadSkin(const unsigned char* bytes, std::uint32_t length, Skin& skin) {
  if (bytes == nullptr || length < kSkinHeaderSize) return false;
  for (unsigned i = 0; i < sizeof(kSkinMagic); ++i) {
    if (bytes[i] != kSkinMagic[i]) return false;
  }
  if (bytes[5] != kSkinVersion) return false;
  const unsigned colourCount = bytes[6];
  const unsigned faceLength = bytes[10];
  if (colourCount < kSkinColourCount || faceLength == 0 || faceLength > kSkinFaceCapacity) return false;
  if (length != kSkinHeaderSize + 3 * colourCount + 2 * faceLength) return false;
  skin.fontPoints = bytes[7];
  skin.fontWeight = bytes[8] | unsigned{bytes[9]} << 8;
  if (skin.fontPoints == 0) return false;
  const unsigned char* colour = bytes + kSkinHeaderSize;
  for (unsigned i = 0; i < kSkinColourCount; ++i, colour += 3) {
    skin.colours[i] = colour[0] | std::uint32_t{colour[1]} << 8 | std::uint32_t{colour[2]} << 16;
  }
  const unsigned char* face = bytes + kSkinHeaderSize + 3 * colourCount;
  for (unsigned i = 0; i < faceLength; ++i) {
    skin.face[i] = static_cast<char16_t>(face[2 * i] | face[2 * i + 1] << 8);
    if (skin.face[i] == 0) return false;
  }
  skin.face[faceLength] = 0;
  return true;
}

}  // namespace quillmere
