#include "app/main_form.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(ScaleForDpi, FormPixelsAtCommonDpis) {
  struct Case {
    int pixels, dpi, want;
  };
  const Case cases[] = {{891, 96, 891},   {891, 144, 1337}, {891, 192, 1782}, {3, 120, 4},
                        {885, 120, 1106}, {0, 144, 0},      {-3, 144, -5}};
  for (const Case& c : cases) EXPECT_EQ(ScaleForDpi(c.pixels, c.dpi), c.want) << c.pixels << " at " << c.dpi;
}

TEST(ScaleForDpi, RectKeepsEveryEdgeProportional) {
  const FormRect rect = ScaleForDpi(FormRect{1, 79, 885, 521}, 192);
  EXPECT_EQ(rect.x, 2);
  EXPECT_EQ(rect.y, 158);
  EXPECT_EQ(rect.width, 1770);
  EXPECT_EQ(rect.height, 1042);
}

}  // namespace
}  // namespace quillmere
