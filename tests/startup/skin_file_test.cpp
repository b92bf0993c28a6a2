#include "startup/skin_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "startup/skin_file.h"

namespace quillmere {
namespace {

using Bytes = std::vector<unsigned char>;

bool Read(const Bytes& bytes, Skin& skin) {
  return ReadSkin(bytes.data(), static_cast<std::uint32_t>(bytes.size()), skin);
}

TEST(SkinFile, TheProgramsSkinReadsAsItsSourceSaysIt) {
  ASSERT_GE(kSkinFile.size(), 5u);
  EXPECT_EQ(Bytes(kSkinFile.begin(), kSkinFile.begin() + 5), (Bytes{'.', 'S', 'H', 'E', 0}));
  Skin skin;
  ASSERT_TRUE(ReadSkin(kSkinFile.data(), static_cast<std::uint32_t>(kSkinFile.size()), skin));
  EXPECT_EQ(skin.colours[kSkinWindow], 0xF9F5F2u);  // #F2F5F9, as GDI holds it
  EXPECT_EQ(skin.colours[kSkinButtonFace], 0xA56E3Au);
  EXPECT_EQ(skin.colours[kSkinStripe], 0xFCF8F5u);
  EXPECT_EQ(skin.fontPoints, 9u);
  EXPECT_EQ(skin.fontWeight, 400u);
  ASSERT_EQ(skin.faceCount, 3u);
  EXPECT_EQ(std::u16string(skin.faces[0]), u"Microsoft YaHei UI");
  EXPECT_EQ(std::u16string(skin.faces[2]), u"WenQuanYi Micro Hei");
}

// The program's skin file with a change.
Bytes Changed(const std::function<void(Bytes&)>& change) {
  Bytes bytes(kSkinFile.begin(), kSkinFile.end());
  change(bytes);
  return bytes;
}

TEST(SkinFile, ReadsAFileWithMoreColoursThanItKnows) {
  const Bytes bytes = Changed([](Bytes& b) {
    b[6] += 1;
    b.insert(b.begin() + kSkinHeaderSize + 3 * kSkinColourCount, {1, 2, 3});
  });
  Skin skin;
  ASSERT_TRUE(Read(bytes, skin));
  EXPECT_EQ(std::u16string(skin.faces[1]), u"Microsoft YaHei");
}

TEST(SkinFile, RefusesWhatIsNotAWholeSkinFile) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> change;
  };
  const Case cases[] = {
      {"empty", [](Bytes& b) { b.clear(); }},
      {"header only", [](Bytes& b) { b.resize(kSkinHeaderSize); }},
      {"cut short", [](Bytes& b) { b.pop_back(); }},
      {"a byte too many", [](Bytes& b) { b.push_back(0); }},
      {"another magic", [](Bytes& b) { b[1] = 's'; }},
      {"no zero after the magic", [](Bytes& b) { b[4] = ' '; }},
      {"another version", [](Bytes& b) { b[5] = 2; }},
      {"fewer colours", [](Bytes& b) { b[6] -= 1; }},
      {"font of 0 points", [](Bytes& b) { b[7] = 0; }},
      {"no face", [](Bytes& b) { b[10] = 0; }},
      {"more faces than a skin holds", [](Bytes& b) { b[10] = kSkinMaxFaces + 1; }},
      {"a face more than the file has", [](Bytes& b) { b[10] += 1; }},
      {"empty face", [](Bytes& b) { b[kSkinHeaderSize + 3 * kSkinColourCount] = 0; }},
      {"face past a font name's room", [](Bytes& b) { b[kSkinHeaderSize + 3 * kSkinColourCount] = 32; }},
      {"face past the end", [](Bytes& b) { b[kSkinHeaderSize + 3 * kSkinColourCount] = 30; }},
      {"zero inside a face",
       [](Bytes& b) {
         b[b.size() - 2] = 0;
         b[b.size() - 1] = 0;
       }},
  };
  for (const Case& c : cases) {
    Skin skin;
    EXPECT_FALSE(Read(Changed(c.change), skin)) << c.what;
  }
  Skin skin;
  EXPECT_FALSE(ReadSkin(nullptr, 40, skin));
}

}  // namespace
}  // namespace quillmere
