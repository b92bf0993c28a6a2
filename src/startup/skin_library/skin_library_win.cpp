// The program's own skin library: a small DLL without the C runtime that the program maps from memory. Its
// one export, SkinH_AttachRes, reads a skin file (startup/skin_format.h) and gives the calling thread's
// windows, those there now and those created later, the skin's look: the face colour behind windows, dialogs
// and labels; flat white fields with a thin frame that takes the button colour while the field has the focus;
// flat rounded buttons; a list with tinted column headers and a faint stripe on every second row; and the
// skin's font on every control.
//
// Each skinned window is subclassed; its original procedure is kept in a window property and put back when
// the window is destroyed. Windows created later are caught by a thread-local CBT hook as they are made.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "startup/skin_format.h"

// Without the C runtime no constructor of a namespace-scope object runs: every such object here is constant
// or zero-initialised.
namespace quillmere {
namespace {

constexpr wchar_t kProcedureProperty[] = L"Quillmere.Skin.Procedure";
// Set on the push buttons the skin draws: kPlainButton, or kDefaultButton for the one Enter presses.
constexpr wchar_t kButtonProperty[] = L"Quillmere.Skin.Button";
constexpr std::uintptr_t kPlainButton = 1;
constexpr std::uintptr_t kDefaultButton = 2;
constexpr int kButtonCornerPoints = 4;  // at 96 dots per inch, in pixels
constexpr int kHeaderTextIndent = 6;
constexpr int kMaxHookedThreads = 16;
constexpr int kMaxFonts = 8;

struct ThreadHook {
  DWORD thread;
  HHOOK hook;
};

struct FontAtDpi {
  int dpi;
  HFONT font;
};

// One skin for the process. Fonts are never deleted: a control may hold any of them until it is destroyed,
// and there is one for each DPI a window of the program was shown at.
struct SkinState {
  bool attached;
  Skin skin;
  wchar_t face[kSkinFaceCapacity + 1];  // the one of the skin's faces in use
  HBRUSH brushes[kSkinColourCount];
  FontAtDpi fonts[kMaxFonts];
  ThreadHook hooks[kMaxHookedThreads];
};

SkinState state;

enum class Kind { kNone, kFace, kStatic, kEdit, kPushButton, kList, kHeader, kOtherControl };

COLORREF Colour(SkinColour colour) { return state.skin.colours[colour]; }
HBRUSH Brush(SkinColour colour) { return state.brushes[colour]; }

std::uintptr_t ButtonRole(HWND button) {
  return reinterpret_cast<std::uintptr_t>(GetPropW(button, kButtonProperty));
}

void SetButtonRole(HWND button, std::uintptr_t role) {
  SetPropW(button, kButtonProperty, reinterpret_cast<HANDLE>(role));
}

bool ClassIs(HWND window, const wchar_t* name) {
  wchar_t className[64];
  return GetClassNameW(window, className, 64) > 0 && lstrcmpiW(className, name) == 0;
}

LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

Kind KindOf(HWND window) {
  const LONG style = Style(window);
  if (ClassIs(window, L"#32770")) return Kind::kFace;
  if ((style & WS_CHILD) == 0) return (style & WS_CAPTION) == WS_CAPTION ? Kind::kFace : Kind::kNone;
  if (ClassIs(window, WC_STATICW)) return Kind::kStatic;
  if (ClassIs(window, WC_EDITW)) return Kind::kEdit;
  if (ClassIs(window, WC_LISTVIEWW)) return Kind::kList;
  if (ClassIs(window, WC_HEADERW)) return Kind::kHeader;
  if (ClassIs(window, WC_BUTTONW)) {
    const LONG type = style & BS_TYPEMASK;
    const bool drawnHere = type == BS_OWNERDRAW && ButtonRole(window) != 0;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || drawnHere ? Kind::kPushButton
                                                                          : Kind::kOtherControl;
  }
  return Kind::kOtherControl;
}

int DpiOf(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static GetDpiForWindowFunction getDpiForWindow = nullptr;
  static bool looked = false;
  if (!looked) {
    looked = true;
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(found));
  }
  if (getDpiForWindow != nullptr) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(const wchar_t* face) {
  LOGFONTW query = {};
  query.lfCharSet = DEFAULT_CHARSET;
  for (unsigned i = 0; i < kSkinFaceCapacity && face[i] != 0; ++i) query.lfFaceName[i] = face[i];
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &query, &NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// The first of the skin's faces that the system has; failing that, the face of the system's message font,
// whose font linking supplies the Chinese characters as it does for every other program.
void ChooseFace() {
  for (unsigned f = 0; f < state.skin.faceCount; ++f) {
    for (unsigned i = 0; i <= kSkinFaceCapacity; ++i)
      state.face[i] = static_cast<wchar_t>(state.skin.faces[f][i]);
    if (FaceInstalled(state.face)) return;
  }
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  for (unsigned i = 0; i <= kSkinFaceCapacity; ++i) state.face[i] = metrics.lfMessageFont.lfFaceName[i];
}

HFONT SkinFont(HWND window) {
  const int dpi = DpiOf(window);
  int free = -1;
  for (int i = 0; i < kMaxFonts; ++i) {
    if (state.fonts[i].font != nullptr && state.fonts[i].dpi == dpi) return state.fonts[i].font;
    if (state.fonts[i].font == nullptr && free < 0) free = i;
  }
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(static_cast<int>(state.skin.fontPoints), dpi, 72);
  font.lfWeight = static_cast<LONG>(state.skin.fontWeight);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  for (unsigned i = 0; i <= kSkinFaceCapacity; ++i) font.lfFaceName[i] = state.face[i];
  HFONT created = CreateFontIndirectW(&font);
  if (created != nullptr && free >= 0) state.fonts[free] = {dpi, created};
  return created;
}

WNDPROC OriginalProcedure(HWND window) {
  return reinterpret_cast<WNDPROC>(GetPropW(window, kProcedureProperty));
}

void PaintFlatFrame(HWND window) {
  HDC dc = GetWindowDC(window);
  if (dc == nullptr) return;
  RECT frame;
  GetWindowRect(window, &frame);
  OffsetRect(&frame, -frame.left, -frame.top);
  FrameRect(dc, &frame, Brush(GetFocus() == window ? kSkinButtonFace : kSkinBorder));
  InflateRect(&frame, -1, -1);
  FrameRect(dc, &frame, Brush(kSkinFieldBackground));
  ReleaseDC(window, dc);
}

void DrawButton(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT rect = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool isDefault = ButtonRole(item.hwndItem) == kDefaultButton;
  FillRect(dc, &rect, Brush(kSkinWindow));

  const SkinColour face = pressed ? kSkinButtonPressed : kSkinButtonFace;
  const int corner = MulDiv(kButtonCornerPoints, DpiOf(item.hwndItem), 96) * 2;
  HPEN edge = CreatePen(PS_SOLID, 1, Colour(isDefault && !pressed ? kSkinButtonPressed : face));
  HGDIOBJ oldPen = SelectObject(dc, edge);
  HGDIOBJ oldBrush = SelectObject(dc, Brush(disabled ? kSkinBorder : face));
  RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, corner, corner);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(edge);

  wchar_t text[128];
  GetWindowTextW(item.hwndItem, text, 128);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Colour(kSkinButtonText));
  if (pressed) OffsetRect(&rect, 0, 1);
  DrawTextW(dc, text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, oldFont);
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    InflateRect(&rect, -3, -3);
    SetTextColor(dc, Colour(kSkinButtonText));
    DrawFocusRect(dc, &rect);
  }
}

// Every second row of a list gets the stripe colour; everything else is drawn by the list.
LRESULT DrawListItem(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      draw.clrText = Colour(kSkinFieldText);
      draw.clrTextBk = Colour(draw.nmcd.dwItemSpec % 2 == 1 ? kSkinStripe : kSkinFieldBackground);
      return CDRF_DODEFAULT;
    default:
      return CDRF_DODEFAULT;
  }
}

// The column headers: the header colour, a thin line under them and between the columns, the titles indented.
LRESULT DrawHeaderItem(const NMCUSTOMDRAW& draw) {
  HDC dc = draw.hdc;
  switch (draw.dwDrawStage) {
    case CDDS_PREPAINT: {
      RECT all;
      GetClientRect(draw.hdr.hwndFrom, &all);
      FillRect(dc, &all, Brush(kSkinHeaderBackground));
      return CDRF_NOTIFYITEMDRAW;
    }
    case CDDS_ITEMPREPAINT: {
      RECT rect = draw.rc;
      FillRect(dc, &rect, Brush(kSkinHeaderBackground));
      RECT line = {rect.right - 1, rect.top + 4, rect.right, rect.bottom - 4};
      FillRect(dc, &line, Brush(kSkinBorder));
      wchar_t text[128] = {};
      HDITEMW item = {};
      item.mask = HDI_TEXT;
      item.pszText = text;
      item.cchTextMax = 128;
      SendMessageW(draw.hdr.hwndFrom, HDM_GETITEMW, draw.dwItemSpec, reinterpret_cast<LPARAM>(&item));
      HGDIOBJ oldFont =
          SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(draw.hdr.hwndFrom, WM_GETFONT, 0, 0)));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, Colour(kSkinHeaderText));
      rect.left += MulDiv(kHeaderTextIndent, DpiOf(draw.hdr.hwndFrom), 96);
      DrawTextW(dc, text, -1, &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
      SelectObject(dc, oldFont);
      return CDRF_SKIPDEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

// The header's own painting leaves the room right of the last column in the system's colour, whether or not
// its custom draw asked for more: it is painted over afterwards, with the line under the headers.
void FinishHeader(HWND header) {
  RECT all;
  GetClientRect(header, &all);
  RECT last = {};
  const LRESULT count = SendMessageW(header, HDM_GETITEMCOUNT, 0, 0);
  if (count > 0)
    SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last));
  HDC dc = GetDC(header);
  RECT rest = {last.right, all.top, all.right, all.bottom};
  FillRect(dc, &rest, Brush(kSkinHeaderBackground));
  RECT bottom = {all.left, all.bottom - 1, all.right, all.bottom};
  FillRect(dc, &bottom, Brush(kSkinBorder));
  ReleaseDC(header, dc);
}

void SetMenuBackground(HMENU menu) {
  if (menu == nullptr) return;
  MENUINFO info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
  info.hbrBack = Brush(kSkinWindow);
  SetMenuInfo(menu, &info);
}

// A push button is drawn by the skin: the style it is given becomes owner-drawn, and whether it is the
// default button, which the dialog manager moves from button to button with BM_SETSTYLE, is kept beside it.
DWORD DrawnButtonStyle(HWND button, DWORD style) {
  const DWORD type = style & BS_TYPEMASK;
  if (type == BS_DEFPUSHBUTTON) SetButtonRole(button, kDefaultButton);
  if (type == BS_PUSHBUTTON || ButtonRole(button) == 0) {
    SetButtonRole(button, kPlainButton);
  }
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON ? (style & ~BS_TYPEMASK) | BS_OWNERDRAW : style;
}

// What the skin changes on a window once it exists; its messages are the subclass procedure's affair.
void ApplyLook(HWND window) {
  const Kind kind = KindOf(window);
  if (kind == Kind::kNone) return;
  if (kind == Kind::kPushButton) {
    const LONG style = Style(window);
    SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(DrawnButtonStyle(window, static_cast<DWORD>(style))));
  }
  if (kind == Kind::kList) {
    SendMessageW(window, LVM_SETBKCOLOR, 0, Colour(kSkinFieldBackground));
    SendMessageW(window, LVM_SETTEXTBKCOLOR, 0, Colour(kSkinFieldBackground));
    SendMessageW(window, LVM_SETTEXTCOLOR, 0, Colour(kSkinFieldText));
  }
  if (kind == Kind::kFace) {
    SetMenuBackground(GetMenu(window));
    if (GetMenu(window) != nullptr) DrawMenuBar(window);
  } else {
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(SkinFont(window)), FALSE);
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

LRESULT ControlColour(UINT message, HDC dc, HWND control) {
  const bool field = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ||
                     (message == WM_CTLCOLORSTATIC && ClassIs(control, WC_EDITW));
  SetTextColor(dc, Colour(field ? kSkinFieldText : kSkinText));
  SetBkColor(dc, Colour(field ? kSkinFieldBackground : kSkinWindow));
  if (!field) SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(Brush(field ? kSkinFieldBackground : kSkinWindow));
}

LRESULT CALLBACK SkinProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC original = OriginalProcedure(window);
  if (original == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE: {
      const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
      if (result != -1) ApplyLook(window);
      return result;
    }
    case WM_SETFONT:
      if (KindOf(window) != Kind::kFace) wParam = reinterpret_cast<WPARAM>(SkinFont(window));
      break;
    case WM_ERASEBKGND:
      if (KindOf(window) == Kind::kFace) {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, Brush(kSkinWindow));
        return 1;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return ControlColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType == ODT_BUTTON && ButtonRole(item.hwndItem) != 0) {
        DrawButton(item);
        return TRUE;
      }
      break;
    }
    case WM_NOTIFY: {
      auto& header = *reinterpret_cast<NMHDR*>(lParam);
      if (header.code == NM_CUSTOMDRAW && OriginalProcedure(header.hwndFrom) != nullptr) {
        const Kind from = KindOf(header.hwndFrom);
        if (from == Kind::kList) return DrawListItem(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        if (from == Kind::kHeader) return DrawHeaderItem(*reinterpret_cast<NMCUSTOMDRAW*>(lParam));
      }
      break;
    }
    case WM_PAINT:
      if (KindOf(window) == Kind::kHeader) {
        const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
        FinishHeader(window);
        return result;
      }
      break;
    case WM_NCPAINT:
      if ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) {
        const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
        PaintFlatFrame(window);
        return result;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if ((GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) {
        const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return result;
      }
      break;
    case BM_SETSTYLE:
      if (KindOf(window) == Kind::kPushButton) {
        wParam = DrawnButtonStyle(window, static_cast<DWORD>(wParam));
        lParam = TRUE;
      }
      break;
    case WM_GETDLGCODE:
      // Owner-drawn buttons do not say whether they are the default; the dialog manager needs to know.
      if (KindOf(window) == Kind::kPushButton) {
        const bool isDefault = ButtonRole(window) == kDefaultButton;
        return DLGC_BUTTON | (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      }
      break;
    case WM_INITMENUPOPUP:
      SetMenuBackground(reinterpret_cast<HMENU>(wParam));
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      RemovePropW(window, kProcedureProperty);
      RemovePropW(window, kButtonProperty);
      break;
    default:
      break;
  }
  return CallWindowProcW(original, window, message, wParam, lParam);
}

bool Subclass(HWND window) {
  if (GetPropW(window, kProcedureProperty) != nullptr) return false;
  const Kind kind = KindOf(window);
  if (kind == Kind::kNone || kind == Kind::kOtherControl) return false;
  const LONG_PTR original = GetWindowLongPtrW(window, GWLP_WNDPROC);
  if (original == 0 || !SetPropW(window, kProcedureProperty, reinterpret_cast<HANDLE>(original)))
    return false;
  SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinProcedure));
  return true;
}

// A window being created is subclassed before its first message; its look follows its WM_CREATE.
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) Subclass(reinterpret_cast<HWND>(wParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK SkinPresentChild(HWND window, LPARAM) {
  if (Subclass(window)) ApplyLook(window);
  return TRUE;
}

BOOL CALLBACK SkinPresentWindow(HWND window, LPARAM) {
  if (Subclass(window)) ApplyLook(window);
  EnumChildWindows(window, &SkinPresentChild, 0);
  return TRUE;
}

void HookThread(DWORD thread) {
  for (const ThreadHook& hooked : state.hooks) {
    if (hooked.hook != nullptr && hooked.thread == thread) return;
  }
  for (ThreadHook& slot : state.hooks) {
    if (slot.hook == nullptr) {
      // A thread-local hook whose procedure is in this process needs no module handle.
      slot = {thread, SetWindowsHookExW(WH_CBT, &CreationHook, nullptr, thread)};
      return;
    }
  }
}

void UseSkin(const Skin& skin) {
  HBRUSH previous[kSkinColourCount];
  for (unsigned i = 0; i < kSkinColourCount; ++i) {
    previous[i] = state.brushes[i];
    state.brushes[i] = CreateSolidBrush(skin.colours[i]);
  }
  if (state.attached) {
    for (HBRUSH brush : previous) DeleteObject(brush);
    // Fonts held by controls stay valid; new ones are made in the new face.
    for (FontAtDpi& font : state.fonts) font = {0, nullptr};
  }
  state.skin = skin;
  state.attached = true;
  ChooseFace();
}

}  // namespace
}  // namespace quillmere

extern "C" {

// The skin file's address and length; the eight further arguments are accepted and ignored. 1 when the skin
// was applied, 0 for bytes that are not a skin file (the windows are then left as they are).
__declspec(dllexport) int WINAPI
    SkinH_AttachRes(const unsigned char* skinFile, unsigned length, int, int, int, int, int, int, int, int) {
  using namespace quillmere;
  Skin skin;
  if (!ReadSkin(skinFile, length, skin)) return 0;
  UseSkin(skin);
  HookThread(GetCurrentThreadId());
  EnumThreadWindows(GetCurrentThreadId(), &SkinPresentWindow, 0);
  return 1;
}

BOOL WINAPI SkinLibraryEntry(HINSTANCE, DWORD, LPVOID) { return TRUE; }

}  // extern "C"
