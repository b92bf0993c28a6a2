#include "app/main_window_win.h"

#include <commctrl.h>

#include "app/clipboard_win.h"
#include "app/dpi_win.h"
#include "app/message_loop_win.h"
#include "text/utf8_text.h"
#include "text/wide_text.h"
#include "web/page_fetch_wininet.h"

namespace quillmere {
namespace {

constexpr wchar_t kWindowClassName[] = L"QuillmereMainWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr UINT kFlushListMessage = WM_APP + 1;
constexpr UINT kAppendNumbersMessage = WM_APP + 2;

struct ControlClass {
  const wchar_t* className;
  DWORD style;
  DWORD extendedStyle;
};

ControlClass ClassOf(const FormControl& control) {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
  switch (control.kind) {
    case ControlKind::kTransparentLabel:
      return {WC_STATICW, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0};
    case ControlKind::kLabel:
      return {WC_STATICW, kChild | SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0};
    case ControlKind::kEditBox:
      return {WC_EDITW, kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::kButton:
      // Enter in the edit box presses the add button, as in a dialog.
      return {WC_BUTTONW,
              kChild | WS_TABSTOP | (control.id == kAddNumberButtonId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
    case ControlKind::kReportList:
      return {WC_LISTVIEWW, kChild | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
              WS_EX_CLIENTEDGE};
  }
  return {WC_STATICW, kChild, 0};
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExW(instance, kWindowClassName, &windowClass)) return true;
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kWindowClassName;
  return RegisterClassExW(&windowClass) != 0;
}

// The system's message font at the window's DPI. Where its face lacks the Chinese glyphs, the system's font
// linking supplies them, as it does for every other program's interface text.
HFONT CreateFormFont(int dpi) {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  LOGFONTW font = {};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font = metrics.lfMessageFont;
  font.lfHeight = -MulDiv(MainForm::kFontPoints, dpi, 72);
  font.lfWidth = 0;
  font.lfQuality = CLEARTYPE_QUALITY;
  return CreateFontIndirectW(&font);
}

bool AppendMenuText(HMENU menu, UINT flags, UINT_PTR item, std::string_view text) {
  return AppendMenuW(menu, flags, item, TextToWide(text).c_str()) != FALSE;
}

}  // namespace

std::unique_ptr<MainWindow> MainWindow::Create(HINSTANCE instance, MainWindowEvents& events,
                                               std::string_view trackingEndpointBase) {
  if (!RegisterWindowClass(instance, &MainWindow::WindowProcedure)) return nullptr;
  std::unique_ptr<MainWindow> window(new MainWindow(events, trackingEndpointBase));
  const FormRect rect = ScaleForDpi(MainForm::kWindowRect, SystemDpi());
  HWND handle =
      CreateWindowExW(0, kWindowClassName, TextToWide(MainForm::kCaption).c_str(), kWindowStyle, rect.x,
                      rect.y, rect.width, rect.height, nullptr, nullptr, instance, window.get());
  if (!handle) return nullptr;
  ShowWindow(handle, SW_SHOW);
  UpdateWindow(handle);
  return window;
}

MainWindow::MainWindow(MainWindowEvents& events, std::string_view trackingEndpointBase)
    : events_(events),
      dropTarget_([this](const std::wstring& eventText) {
        fileCommands_->ImportByDrop(eventText);
        listView_->Flush();
      }),
      batchQuery_(list_, *this, trackingEndpointBase) {}

MainWindow::~MainWindow() {
  // Destroyed first, while every member its last messages may reach still exists.
  window_.Reset();
}

HWND MainWindow::Control(ControlId id) const {
  for (std::size_t i = 0; i < MainForm::kControls.size(); ++i) {
    if (MainForm::kControls[i].id == id) return controls_[i];
  }
  return nullptr;
}

void MainWindow::RunWaitingMessages() {
  if (listView_) listView_->Flush();
  PumpWaitingMessages(Handle());
}

LRESULT CALLBACK MainWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = UniqueWindow(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_.Release();  // the system has destroyed it
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      // Menu items and button clicks; the edit box's change notifications are not commands.
      if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
      return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(kAddNumberButtonId, DC_HASDEFID);
    case kFlushListMessage:
      if (listView_) listView_->Flush();
      return 0;
    case kAppendNumbersMessage:
      // Shown by the flush the list posts itself, once the import's steps leave the window thread a moment.
      fileCommands_->AppendNumbers(wParam, lParam);
      return TRUE;
    case WM_DESTROY:
      events_.OnWindowDestroyed();
      return 0;
    default:
      return DefWindowProcW(Handle(), message, wParam, lParam);
  }
}

bool MainWindow::OnCreate() {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(Handle(), GWLP_HINSTANCE));

  HMENU menuBar = CreateMenu();
  HMENU functions = CreatePopupMenu();
  if (!menuBar || !functions) return false;
  for (const FormMenuItem& item : MainForm::kMenuBarItems)
    AppendMenuText(functions, MF_STRING, item.command, item.text);
  AppendMenuText(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(functions), MainForm::kMenuBarTitle);
  SetMenu(Handle(), menuBar);  // the window owns its menu bar from here on

  listMenu_ = UniqueMenu(CreatePopupMenu());
  if (!listMenu_) return false;
  for (const FormMenuItem& item : MainForm::kListMenuItems) {
    AppendMenuText(listMenu_.Get(), MF_STRING, item.command, item.text);
  }

  for (std::size_t i = 0; i < MainForm::kControls.size(); ++i) {
    const FormControl& control = MainForm::kControls[i];
    const ControlClass controlClass = ClassOf(control);
    controls_[i] =
        CreateWindowExW(controlClass.extendedStyle, controlClass.className, TextToWide(control.text).c_str(),
                        controlClass.style, 0, 0, 0, 0, Handle(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (!controls_[i]) return false;
  }

  ReportList list = ListControl();
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  for (std::size_t i = 0; i < MainForm::kColumns.size(); ++i) {
    list.InsertColumn(static_cast<int>(i), MainForm::kColumns[i].title, MainForm::kColumns[i].width);
  }
  listView_.emplace(list_, list, Handle(), kFlushListMessage);
  fileCommands_.emplace(list_, Handle(), kAppendNumbersMessage);

  ApplyDpi(DpiForWindow(Handle()));
  const FormRect outer = ScaleForDpi(MainForm::kWindowRect, dpi_);
  RECT current;
  GetWindowRect(Handle(), &current);
  if (current.right - current.left != outer.width || current.bottom - current.top != outer.height) {
    SetWindowPos(Handle(), nullptr, 0, 0, outer.width, outer.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  events_.OnWindowCreated(*this);
  return true;
}

void MainWindow::ApplyDpi(int dpi) {
  dpi_ = dpi;
  font_ = UniqueFont(CreateFormFont(dpi));
  for (std::size_t i = 0; i < MainForm::kControls.size(); ++i) {
    const FormRect rect = ScaleForDpi(MainForm::kControls[i].rect, dpi);
    SetWindowPos(controls_[i], nullptr, rect.x, rect.y, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
  }
  ReportList list = ListControl();
  for (std::size_t i = 0; i < MainForm::kColumns.size(); ++i) {
    list.SetColumnWidth(static_cast<int>(i), ScaleForDpi(MainForm::kColumns[i].width, dpi));
  }
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyDpi(dpi);
}

void MainWindow::OnCommand(int id) {
  switch (id) {
    case kAddNumberButtonId:
      commands_.AddSingleNumber();
      break;
    case kCopyNumberCommand:
      commands_.CopyNumber();
      break;
    case kPasteNumbersCommand:
      commands_.PasteNumbers();
      break;
    case kDeleteSelectedCommand:
      commands_.DeleteSelectedNumber();
      break;
    case kClearAllCommand:
      commands_.ClearAll();
      break;
    case kImportNumbersCommand:
      fileCommands_->ImportByDialog();
      break;
    case kExportResultsCommand:
      fileCommands_->ExportResults();
      break;
    case kExportUnresolvedCommand:
      fileCommands_->ExportUnresolved();
      break;
    case kBatchQueryButtonId:
      batchQuery_.RunBatchQuery();
      break;
    case kAboutCommand:  // "关于" has no action
    default:
      return;
  }
  listView_->Flush();
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom != kTrackingListId) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      listView_->FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
      return 0;
    case NM_RCLICK:
      ShowListMenu();
      return 0;
    default:
      return 0;
  }
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND) {
  // The labels draw their text straight on the window's face.
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void MainWindow::ShowListMenu() {
  POINT pointer;
  if (!GetCursorPos(&pointer)) return;
  const int offset = ScaleForDpi(MainForm::kListMenuOffset, dpi_);
  TrackPopupMenuEx(listMenu_.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, pointer.x + offset,
                   pointer.y + offset, Handle(), nullptr);
}

Text MainWindow::ControlText(ControlId id) const {
  HWND control = Control(id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return WideToText(text);
}

void MainWindow::SetControlText(ControlId id, std::string_view text) {
  SetWindowTextW(Control(id), TextToWide(text).c_str());
}

Text MainWindow::NumberEditText() { return ControlText(kNumberEditId); }

Text MainWindow::ClipboardText() { return ReadClipboardText(Handle()); }

void MainWindow::SetClipboardText(std::string_view text) { WriteClipboardText(Handle(), text); }

int MainWindow::SelectedRow() { return ListControl().FirstSelected(); }

Bytes MainWindow::FetchReply(std::string_view address) { return PageFetch(address, 0); }

Text MainWindow::ReplyText(const Bytes& body) { return Utf8ToText(BytesView(body)); }

void MainWindow::Pause(unsigned milliseconds) { Sleep(milliseconds); }

void MainWindow::ShowRow(int row) {
  // The control must hold the row before it can scroll to it.
  if (listView_) listView_->Flush();
  ListControl().EnsureVisible(row);
}

void MainWindow::ShowProgress(int done, int total) { taskbarProgress_.Show(Handle(), done, total); }

void MainWindow::ClearProgress() { taskbarProgress_.Clear(Handle()); }

}  // namespace quillmere
