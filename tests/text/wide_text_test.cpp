#include "text/wide_text.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(WideText, ConvertsThroughCodePage936WhateverTheAnsiCodePage) {
  EXPECT_EQ(TextToWide("中a"), L"\u4E2Da");
  EXPECT_EQ(WideToText(L"\u4E2Da"),
            "\xD6\xD0"
            "a");
  EXPECT_EQ(TextToWide(""), L"");
  EXPECT_EQ(WideToText(L""), "");
}

TEST(WideText, StopsAtTheFirstZeroCharacter) { EXPECT_EQ(WideToText(std::wstring_view(L"ab\0cd", 5)), "ab"); }

TEST(WideText, CharacterWithoutGbkFormBecomesTheDefaultCharacter) {
  EXPECT_EQ(WideToText(L"a\U0001F600b"), "a?b");
}

TEST(WideText, CombiningMarkIsComposedWithTheCharacterBeforeIt) {
  // e followed by a combining acute accent is the one GBK character e-acute (A8 A6).
  EXPECT_EQ(WideToText(L"e\u0301"), "\xA8\xA6");
  EXPECT_EQ(WideToText(L"\u00E9"), "\xA8\xA6");
}

}  // namespace
}  // namespace quillmere
