#include "text/utf8_text.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(Utf8ToText, Table) {
  struct Case {
    std::string_view utf8, want;
  };
  const Case cases[] = {
      {"\xE4\xB8\xAD"
       "a",
       "中a"},
      {"", ""},
      // Characters without a GBK form become "?", one for each, and the rest is kept.
      {"\xE5\xB7\xB2\xE7\xAD\xBE\xE6\x94\xB6 \xF0\x9F\x98\x80!", "已签收 ?!"},
      {"\xE0\xB8\x81"
       "x",
       "?x"},
      // GBK bytes, an overlong form, a lone surrogate and a cut-off sequence are not UTF-8.
      {"\xD6\xD0\xCE\xC4", ""},
      {"\xC0\xAF", ""},
      {"\xED\xA0\x80", ""},
      {"ok\xE4\xB8", ""},
      {std::string_view("ab\0\xE4\xB8\xAD", 6), "ab"},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToText(c.utf8), c.want) << c.utf8;
}

}  // namespace
}  // namespace quillmere
