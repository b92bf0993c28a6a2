// The program's one window, made from its form: the notice and version labels, the number edit box and its
// button, the batch-query button and the tracking list with its pop-up menu.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>

#include "app/drop_target_win.h"
#include "app/file_commands_win.h"
#include "app/list_commands.h"
#include "app/main_form.h"
#include "app/report_list_win.h"
#include "app/taskbar_progress_win.h"
#include "app/tracking_list_view_win.h"
#include "app/window_handles_win.h"
#include "tracking/batch_query.h"
#include "tracking/tracking_endpoint.h"
#include "tracking/tracking_list.h"

namespace quillmere {

class MainWindow;

// What the program does when its window is created and when it is about to be destroyed.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  // Runs inside the window's creation, after its controls exist.
  virtual void OnWindowCreated(MainWindow& window) = 0;
  virtual void OnWindowDestroyed() = 0;
};

class MainWindow final : private ListCommandControls, private BatchQueryPlatform {
 public:
  // Creates the window from its form and shows it. Null when the window could not be made or was destroyed
  // during its own creation.
  // "批量查询" asks the tracking endpoint at `trackingEndpointBase`.
  static std::unique_ptr<MainWindow> Create(HINSTANCE instance, MainWindowEvents& events,
                                            std::string_view trackingEndpointBase = kTrackingEndpointBase);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return window_.Get(); }
  HWND Control(ControlId id) const;
  TrackingList& List() { return list_; }
  ReportList ListControl() const { return ReportList(Control(kTrackingListId)); }
  // The text of a control of the form (a label, the number box), and a new one for it.
  Text ControlText(ControlId id) const;
  void SetControlText(ControlId id, std::string_view text);

  // Shows what changed in the list, then runs every waiting window message and returns.
  void RunWaitingMessages() override;

  // 拖放对象1: delivers the files dropped on the window it watches to the drop import.
  DropTarget& FileDropTarget() { return dropTarget_; }

 private:
  MainWindow(MainWindowEvents& events, std::string_view trackingEndpointBase);

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  bool OnCreate();
  void OnCommand(int id);
  LRESULT OnNotify(const NMHDR& header);
  LRESULT OnControlColour(HDC dc, HWND control);
  void OnDpiChanged(int dpi, const RECT& suggested);
  void ShowListMenu();
  void ApplyDpi(int dpi);

  // ListCommandControls
  Text NumberEditText() override;
  Text ClipboardText() override;
  void SetClipboardText(std::string_view text) override;
  int SelectedRow() override;

  // BatchQueryPlatform
  Bytes FetchReply(std::string_view address) override;
  Text ReplyText(const Bytes& body) override;
  void Pause(unsigned milliseconds) override;
  void ShowRow(int row) override;
  void ShowProgress(int done, int total) override;
  void ClearProgress() override;

  MainWindowEvents& events_;
  UniqueWindow window_;
  std::array<HWND, MainForm::kControls.size()> controls_ = {};
  UniqueMenu listMenu_;
  UniqueFont font_;
  int dpi_ = MainForm::kFormDpi;
  TrackingList list_;
  std::optional<TrackingListView> listView_;
  ListCommands commands_{list_, *this};
  std::optional<FileCommands> fileCommands_;
  DropTarget dropTarget_;
  TaskbarProgress taskbarProgress_;
  BatchQuery batchQuery_;
};

}  // namespace quillmere
