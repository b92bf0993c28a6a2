// A non-owning view of a report-style list control with typed methods in place of raw list-view messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string_view>

namespace quillmere {

class ReportList {
 public:
  explicit ReportList(HWND list = nullptr) : list_(list) {}

  HWND Handle() const { return list_; }

  bool InsertColumn(int index, std::string_view title, int width);
  bool SetColumnWidth(int index, int width);
  int ColumnCount() const;
  void SetExtendedStyle(DWORD style);

  // The control of a virtual list holds only the count of its items; it asks for their texts when it draws.
  bool SetItemCount(int count);
  int ItemCount() const;
  // Removes one item, moving the selection of the items below it up with them.
  bool DeleteItem(int index);
  bool DeleteAllItems();

  // The lowest selected item, or -1.
  int FirstSelected() const;
  bool RedrawItems(int first, int last);
  bool EnsureVisible(int index);
  void Invalidate();

 private:
  HWND list_;
};

}  // namespace quillmere
