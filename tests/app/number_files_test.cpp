#include "app/number_files.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

using namespace std::string_view_literals;

TEST(NumberFiles, ImportedAndDroppedFilesAreReadByTheirOwnRules) {
  struct Case {
    const char* what;
    std::string_view bytes;
    TextList imported, dropped;
  };
  const Case cases[] = {
      {"inner spaces", "AB 12\r\nCD 34", {"AB12", "CD34"}, {"AB 12", "CD 34"}},
      {"final line break", "a\r\nb\r\n", {"a", "b"}, {"a", "b"}},
      {"empty middle line", "a\r\n\r\nb", {"a", "", "b"}, {"a", "", "b"}},
      {"full-width spaces",
       "\xA1\xA1"
       "a b\xA1\xA1",
       {"ab"},
       {"a b"}},
      {"byte-order mark kept",
       "\xEF\xBB\xBF"
       "SF1\r\nSF2",
       {"\xEF\xBB\xBF"
        "SF1",
        "SF2"},
       {"\xEF\xBB\xBF"
        "SF1",
        "SF2"}},
      {"UTF-16 stops at its first zero",
       "\xFF\xFE"
       "A\0B\0"sv,
       {"\xFF\xFE"
        "A"},
       {"\xFF\xFE"
        "A"}},
      {"end-of-file mark", "a\r\nb\x1A\r\nc", {"a", "b"}, {"a", "b\x1A", "c"}},
      // 0x1A as the second byte of a two-byte character does not end the text.
      {"mark inside a character",
       "\x81\x1A"
       "a\x1A"
       "b",
       {"\x81\x1A"
        "a"},
       {"\x81\x1A"
        "a\x1A"
        "b"}},
      {"empty file", "", {}, {}},
      {"bare line feeds", "a\nb", {"a\nb"}, {"a\nb"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NumbersFromImportedFile(c.bytes), c.imported) << c.what;
    EXPECT_EQ(NumbersFromDroppedFile(c.bytes), c.dropped) << c.what;
  }
}

TrackingList ListOf(std::initializer_list<std::string_view> numbers) {
  TrackingList list;
  for (std::string_view number : numbers) list.AddNumberRow(number);
  return list;
}

TEST(NumberFiles, ResultFileHasATabEndedLinePerRow) {
  TrackingList list = ListOf({"SF1", "YT2", "ZT3"});
  list.SetCellText(0, kLogisticsColumn, "到达\n  \"派送\"");
  list.SetCellText(0, kCompanyColumn, "青鸟");
  EXPECT_EQ(ResultFileText(list),
            "SF1\t到达\n  \"派送\"\t青鸟\t\r\n"
            "YT2\t等待查询\t等待查询\t\r\n"
            "ZT3\t等待查询\t等待查询\t");
  EXPECT_EQ(ResultFileText(TrackingList()), "");
}

TEST(NumberFiles, UnresolvedFileHoldsWaitingAndFailedRows) {
  TrackingList list = ListOf({"a", "b", "c", "d"});
  list.SetStatus(0, RowStatus::kQueried);
  list.SetStatus(2, RowStatus::kFailed);
  list.SetStatus(3, RowStatus::kQueried);
  EXPECT_EQ(UnresolvedFileText(list), "b\r\nc");
  list.SetStatus(1, RowStatus::kQueried);
  list.SetStatus(2, RowStatus::kQueried);
  EXPECT_EQ(UnresolvedFileText(list), "");
}

TEST(NumberFiles, DropEventTextNamesOneFileOrListsSeveral) {
  EXPECT_EQ(DropEventText<Text>({"C:\\a.txt"}), "C:\\a.txt");
  EXPECT_EQ(DropEventText<Text>({"C:\\a.txt", "C:\\b.txt"}), "C:\\a.txt\r\nC:\\b.txt\r\n");
  EXPECT_EQ(DropEventText<std::wstring>({L"C:\\中.txt"}), L"C:\\中.txt");
}

}  // namespace
}  // namespace quillmere
