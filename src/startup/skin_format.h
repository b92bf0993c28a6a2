// The program's skin file: ".SHE" and a zero byte, a format version, the number of colours, the font's size
// in points and weight, the number of font faces, one reserved byte; then the colours as red, green, blue
// bytes in the order of SkinColour, and the faces in order of preference, each as its length in characters
// (one byte) and its characters in UTF-16LE. Written at build time from a readable source
// (skin/quillmere_skin.txt), read by the skin library, which runs without the C runtime: this reader needs
// nothing but the bytes.
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
inline constexpr unsigned kSkinMaxFaces = 4;

struct Skin {
  std::uint32_t colours[kSkinColourCount];  // 0x00BBGGRR, as GDI takes them
  unsigned fontPoints;
  unsigned fontWeight;
  unsigned faceCount;
  char16_t faces[kSkinMaxFaces][kSkinFaceCapacity + 1];  // each zero-terminated
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
  skin.fontPoints = bytes[7];
  skin.fontWeight = bytes[8] | unsigned{bytes[9]} << 8;
  skin.faceCount = bytes[10];
  if (colourCount < kSkinColourCount || skin.fontPoints == 0) return false;
  if (skin.faceCount == 0 || skin.faceCount > kSkinMaxFaces) return false;
  if (length - kSkinHeaderSize < 3 * colourCount) return false;
  const unsigned char* colour = bytes + kSkinHeaderSize;
  for (unsigned i = 0; i < kSkinColourCount; ++i, colour += 3) {
    skin.colours[i] = colour[0] | std::uint32_t{colour[1]} << 8 | std::uint32_t{colour[2]} << 16;
  }
  std::uint32_t offset = kSkinHeaderSize + 3 * colourCount;
  for (unsigned f = 0; f < skin.faceCount; ++f) {
    if (offset >= length) return false;
    const unsigned faceLength = bytes[offset++];
    if (faceLength == 0 || faceLength > kSkinFaceCapacity || length - offset < 2 * faceLength) return false;
    for (unsigned i = 0; i < faceLength; ++i, offset += 2) {
      skin.faces[f][i] = static_cast<char16_t>(bytes[offset] | bytes[offset + 1] << 8);
      if (skin.faces[f][i] == 0) return false;
    }
    skin.faces[f][faceLength] = 0;
  }
  return offset == length;
}

}  // namespace quillmere
