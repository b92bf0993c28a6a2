#include "app/report_list_win.h"

#include "text/wide_text.h"

namespace quillmere {

bool ReportList::InsertColumn(int index, std::string_view title, int width) {
  std::wstring wideTitle = TextToWide(title);
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = wideTitle.data();
  column.cx = width;
  column.iSubItem = index;
  return SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(&column)) == index;
}

bool ReportList::SetColumnWidth(int index, int width) {
  return SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0)) != FALSE;
}

int ReportList::ColumnCount() const {
  const auto header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void ReportList::SetExtendedStyle(DWORD style) {
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
}

bool ReportList::SetItemCount(int count) {
  return SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL) != FALSE;
}

int ReportList::ItemCount() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

bool ReportList::DeleteItem(int index) {
  return SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(index), 0) != FALSE;
}

bool ReportList::DeleteAllItems() { return SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0) != FALSE; }

int ReportList::FirstSelected() const {
  return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

bool ReportList::RedrawItems(int first, int last) {
  return SendMessageW(list_, LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last)) != FALSE;
}

bool ReportList::EnsureVisible(int index) {
  return SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE) != FALSE;
}

void ReportList::Invalidate() { InvalidateRect(list_, nullptr, FALSE); }

}  // namespace quillmere
