// The main window's form: its caption, place and size, every control with its place, size and text, and the
// menus, in the 96-DPI pixels the form is drawn in. The window scales them for the display it is on.
#pragma once

#include <array>
#include <string_view>

namespace quillmere {

enum class ControlKind { kTransparentLabel, kLabel, kEditBox, kButton, kReportList };

// Command and control identifiers, shared by the window and its tests.
enum ControlId : int {
  kNoticeLabelId = 101,  // 透明标签1
  kVersionCaptionId,     // 版本透明标签1
  kVersionLabelId,       // 版本透明标签
  kNumberCaptionId,      // 标签1
  kNumberEditId,         // 编辑框1
  kAddNumberButtonId,    // 按钮3
  kBatchQueryButtonId,   // 按钮2
  kRightClickHintId,     // 标签2
  kTrackingListId,       // 超级列表框1
};

enum MenuCommandId : int {
  kAboutCommand = 201,  // 功能 > 关于
  kImportNumbersCommand,
  kExportResultsCommand,
  kExportUnresolvedCommand,
  kCopyNumberCommand,
  kPasteNumbersCommand,
  kDeleteSelectedCommand,
  kClearAllCommand,
};

struct FormRect {
  int x, y, width, height;
};

struct FormControl {
  std::string_view name;
  ControlKind kind;
  ControlId id;
  FormRect rect;
  std::string_view text;
};

struct FormColumn {
  std::string_view title;
  int width;
};

struct FormMenuItem {
  std::string_view text;
  MenuCommandId command;
};

struct MainForm {
  static constexpr std::string_view kCaption = "Quillmere-免费版";
  // The outer rectangle of the window on the screen.
  static constexpr FormRect kWindowRect = {50, 50, 891, 628};

  static constexpr std::array<FormControl, 9> kControls = {{
      {"透明标签1", ControlKind::kTransparentLabel, kNoticeLabelId, {88, 4, 776, 24}, ""},
      {"版本透明标签1", ControlKind::kTransparentLabel, kVersionCaptionId, {810, 56, 32, 16}, "版本："},
      {"版本透明标签", ControlKind::kTransparentLabel, kVersionLabelId, {848, 56, 40, 16}, "1.0"},
      {"标签1", ControlKind::kLabel, kNumberCaptionId, {10, 34, 70, 29}, "快递单号:"},
      {"编辑框1", ControlKind::kEditBox, kNumberEditId, {81, 34, 223, 29}, ""},
      {"按钮3", ControlKind::kButton, kAddNumberButtonId, {320, 34, 102, 29}, "添加单个单号"},
      {"按钮2", ControlKind::kButton, kBatchQueryButtonId, {440, 33, 104, 29}, "批量查询"},
      {"标签2", ControlKind::kLabel, kRightClickHintId, {552, 32, 112, 32}, "更多功能请点右键"},
      {"超级列表框1", ControlKind::kReportList, kTrackingListId, {1, 79, 885, 521}, ""},
  }};

  static constexpr std::array<FormColumn, 4> kColumns = {{
      {"id", 50},
      {"单号", 130},
      {"物流信息", 600},
      {"快递公司", 100},
  }};

  static constexpr std::string_view kMenuBarTitle = "功能";
  static constexpr std::array<FormMenuItem, 1> kMenuBarItems = {{{"关于", kAboutCommand}}};

  // "菜单": not in the menu bar, shown only as the list's pop-up menu.
  static constexpr std::array<FormMenuItem, 7> kListMenuItems = {{
      {"导入单号", kImportNumbersCommand},
      {"导出查询结果", kExportResultsCommand},
      {"导出查询失败的单号", kExportUnresolvedCommand},
      {"复制单号", kCopyNumberCommand},
      {"粘贴单号", kPasteNumbersCommand},
      {"删除选中单号", kDeleteSelectedCommand},
      {"清空全部", kClearAllCommand},
  }};

  // The pop-up menu opens this far right of and below the pointer.
  static constexpr int kListMenuOffset = 3;
  // The form's fonts, in points at any DPI.
  static constexpr int kFontPoints = 9;

  static constexpr int kFormDpi = 96;
};

// A length of the form in pixels of a display of `dpi`, rounded to the nearest pixel.
constexpr int ScaleForDpi(int formPixels, int dpi) {
  const long long scaled = static_cast<long long>(formPixels) * dpi;
  const long long half = MainForm::kFormDpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / MainForm::kFormDpi
                                      : -((-scaled + half) / MainForm::kFormDpi));
}

constexpr FormRect ScaleForDpi(FormRect rect, int dpi) {
  return {ScaleForDpi(rect.x, dpi), ScaleForDpi(rect.y, dpi), ScaleForDpi(rect.width, dpi),
          ScaleForDpi(rect.height, dpi)};
}

}  // namespace quillmere
