// The main window drawn with Win32 controls. Every position and size is the 96-dpi one of the
// form, scaled to the DPI of the monitor the window is on (again when it moves to another);
// names are UTF-16 here and UTF-8 in the model.
#include "win32/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "win32/wide_text.h"

namespace pomvex::win32 {

namespace {

constexpr wchar_t kClassName[] = L"PomvexMainForm";
constexpr wchar_t kCaption[] = L"ChiWriter 3.11 to RTF Convertor";
constexpr int kClientWidth = 469;
constexpr int kClientHeight = 459;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kItemHeight = 16;
constexpr int kIndentStep = 10;
constexpr int kDropDownHeight = 200;  // the drive list below the drive box
// Posted when a drive has been chosen, so that the choice is handled once the drive box has
// closed its list (a message box shown from inside the box's notification does not stay).
constexpr UINT kDriveChosen = WM_APP + 1;

enum ControlId {
  kDriveBox = 100,
  kDirListBox,
  kFileListBox,
  kGoButton,
  kCloseButton,
  kFileChoice,
  kSingleFiles,
  kCurrentDirectory,
  kSubFolders,
  kConvertedBox,
  kWarningBox,
  kErrorBox,
  kDetailedLogBox,
  kLabel3,
  kLabelA,
  kLabel4,
  kLabel1,
};

enum class FontRole { Dialog, Counter, Button };

constexpr wchar_t kChoiceHint[] = L"For individual files, click on the box above";

// The controls in tab order, then the labels; positions and sizes in pixels at 96 dpi.
struct Place {
  int id;
  const wchar_t* kind;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  int left, top, width, height;
  FontRole font;
  const wchar_t* hint;
};

constexpr Place kPlaces[] = {
    {kDriveBox, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0,
     8, 26, 224, 22, FontRole::Dialog, nullptr},
    {kDirListBox, WC_LISTBOXW, L"",
     WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
         LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE, 8, 54, 224, 233, FontRole::Dialog, L"Double click to select"},
    {kFileListBox, WC_LISTBOXW, L"",
     WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_HASSTRINGS |
         LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE, 238, 26, 219, 261, FontRole::Dialog, L"Ctrl-Click files for conversion"},
    {kGoButton, WC_BUTTONW, L"Go!", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0, 8, 300, 125, 65,
     FontRole::Button, L"Starts conversion"},
    {kCloseButton, WC_BUTTONW, L"Quit", WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 0, 166, 300, 125,
     65, FontRole::Button, L"Terminates program"},
    {kFileChoice, WC_BUTTONW, L"Select Files to Convert:", BS_GROUPBOX, 0, 304, 296, 157, 99,
     FontRole::Dialog, kChoiceHint},
    // "&&" shows a single "&" in a button's text.
    {kSingleFiles, WC_BUTTONW, L"Single Files", WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 0, 310,
     315, 149, 24, FontRole::Dialog, kChoiceHint},
    {kCurrentDirectory, WC_BUTTONW, L"Current Directory", BS_AUTORADIOBUTTON, 0, 310, 341, 149, 24,
     FontRole::Dialog, kChoiceHint},
    {kSubFolders, WC_BUTTONW, L"Current && Sub-Folders", BS_AUTORADIOBUTTON, 0, 310, 367, 149, 24,
     FontRole::Dialog, kChoiceHint},
    {kConvertedBox, WC_EDITW, L"0", WS_GROUP | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL,
     WS_EX_CLIENTEDGE, 8, 423, 140, 28, FontRole::Counter, nullptr},
    {kWarningBox, WC_EDITW, L"0", WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 166,
     423, 140, 28, FontRole::Counter, nullptr},
    {kErrorBox, WC_EDITW, L"0", WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 321,
     423, 140, 28, FontRole::Counter, nullptr},
    {kDetailedLogBox, WC_BUTTONW, L"Log full details of super/subscript errors",
     WS_TABSTOP | BS_AUTOCHECKBOX, 0, 26, 378, 265, 17, FontRole::Dialog,
     L"Unticked, the log file will only give counts of super- & sub-script errors"},
    {kLabel3, WC_STATICW, L"SelectStart Directory:", SS_LEFT | SS_NOPREFIX, 0, 8, 8, 125, 16,
     FontRole::Dialog, nullptr},
    {kLabelA, WC_STATICW, L"# Files converted", SS_LEFT | SS_NOPREFIX, 0, 8, 401, 102, 16,
     FontRole::Dialog, nullptr},
    {kLabel4, WC_STATICW, L"# Warnings", SS_LEFT | SS_NOPREFIX, 0, 166, 401, 67, 16,
     FontRole::Dialog, nullptr},
    {kLabel1, WC_STATICW, L"# Errors", SS_LEFT | SS_NOPREFIX, 0, 321, 401, 46, 16, FontRole::Dialog,
     nullptr},
};

constexpr int kChoices[] = {kSingleFiles, kCurrentDirectory, kSubFolders};

bool IsLabel(int id) {
  return id >= kLabel3;
}

int CALLBACK FoundFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool HasFont(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  const HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, FoundFont, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// "MS Sans Serif" is drawn in its TrueType form, Microsoft Sans Serif (the same widths), where
// the system has it: the old bitmap font has only a few sizes, which other DPIs do not meet.
const wchar_t* DialogFace() {
  static const bool trueType = HasFont(L"Microsoft Sans Serif");
  return trueType ? L"Microsoft Sans Serif" : L"MS Sans Serif";
}

HFONT MakeFont(const wchar_t* face, int pixels, bool bold) {
  // A negative height is the characters' height, as the form gives it.
  return CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, face);
}

int TextWidth(HWND control, HFONT font, const std::wstring& text) {
  const HDC dc = GetDC(control);
  const HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

// Mouse, key, touch and pen input.
bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
         (message >= 0x0240 && message <= 0x024F) ||  // touch and pointer messages
         message == WM_INPUT || message == WM_CONTEXTMENU;
}

// A folder, or a drive for the root, drawn in a square of the entry's height.
void DrawFolderGlyph(HDC dc, RECT box, bool drive) {
  const int unit = std::max(1, static_cast<int>(box.bottom - box.top) / 8);
  const HPEN pen = CreatePen(PS_SOLID, 1, RGB(110, 90, 40));
  const HBRUSH fill = CreateSolidBrush(drive ? RGB(200, 200, 200) : RGB(240, 205, 100));
  const HGDIOBJ oldPen = SelectObject(dc, pen);
  const HGDIOBJ oldBrush = SelectObject(dc, fill);
  if (drive) {
    Rectangle(dc, box.left + unit, box.top + 3 * unit, box.right - unit, box.bottom - 2 * unit);
  } else {
    Rectangle(dc, box.left + unit, box.top + 2 * unit, box.left + 4 * unit, box.top + 4 * unit);
    Rectangle(dc, box.left + unit, box.top + 3 * unit, box.right - unit, box.bottom - unit);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(fill);
}

// A message box is as wide as its text; a short text would leave too little room for the title
// in its title bar, beside the buttons there. It is widened when it is first shown, its button
// kept in the middle.
void MakeRoomForTitle(HWND box) {
  const UINT dpi = GetDpiForWindow(box);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    return;
  }
  wchar_t title[256] = {};
  const int length = GetWindowTextW(box, title, static_cast<int>(std::size(title)));
  const HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
  const int needed =
      TextWidth(box, font, std::wstring(title, length)) * 5 / 4 + MulDiv(160, dpi, 96);
  DeleteObject(font);
  RECT frame{};
  GetWindowRect(box, &frame);
  const int grow = needed - (frame.right - frame.left);
  if (grow <= 0) return;
  SetWindowPos(box, nullptr, frame.left - grow / 2, frame.top, needed, frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t kind[16] = {};
    GetClassNameW(child, kind, static_cast<int>(std::size(kind)));
    if (_wcsicmp(kind, WC_BUTTONW) != 0) continue;
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(child, nullptr, place.left + grow / 2, place.top, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

LRESULT CALLBACK WidenForTitle(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    wchar_t kind[16] = {};
    GetClassNameW(window, kind, static_cast<int>(std::size(kind)));
    if (wcscmp(kind, L"#32770") == 0) MakeRoomForTitle(window);  // the class of dialog boxes
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, WindowServices services)
    : instance_(instance), model_(*this, std::move(services)) {}

void MainWindow::Fonts::Release() {
  for (HFONT font : {dialog, counter, button}) {
    if (font) DeleteObject(font);
  }
  for (HFONT font : fitted) DeleteObject(font);
  *this = {};
}

MainWindow::~MainWindow() {
  fonts_.Release();
}

int MainWindow::Scale(int pixels) const {
  return MulDiv(pixels, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
}

HWND MainWindow::Control(int id) const {
  return GetDlgItem(window_, id);
}

bool MainWindow::Create(int show) {
  icon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance_;
  windowClass.hIcon = icon_;
  windowClass.hIconSm = smallIcon_;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExW(&windowClass)) return false;
  window_ = CreateWindowExW(0, kClassName, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            kClientWidth, kClientHeight, nullptr, nullptr, instance_, this);
  if (!window_) return false;

  // The size for the DPI of the monitor the window is on, in the centre of its work area.
  dpi_ = GetDpiForWindow(window_);
  RECT frame{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, dpi_);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);

  CreateControls();
  Layout();
  AddHints();
  // Start in the program's current directory, on the drive that holds it.
  std::wstring current(MAX_PATH, L'\0');
  DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
  if (length >= current.size()) {
    current.resize(length);
    length = GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
  }
  current.resize(length);
  model_.Start(Utf8(current));
  ShowWindow(window_, show);
  UpdateWindow(window_);
  return true;
}

void MainWindow::CreateControls() {
  for (const Place& place : kPlaces) {
    CreateWindowExW(place.exStyle, place.kind, place.text, WS_CHILD | WS_VISIBLE | place.style, 0,
                    0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                    instance_, nullptr);
  }
  SendMessageW(Control(kCurrentDirectory), BM_SETCHECK, BST_CHECKED, 0);
  KeepTabOnChosen();
}

void MainWindow::AddHints() {
  hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
  const auto add = [this](HWND control, const wchar_t* text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  };
  // The window's own hint shows where no control is.
  add(window_, L"Reads files and converts them.");
  for (const Place& place : kPlaces) {
    if (place.hint) add(Control(place.id), place.hint);
  }
  SendMessageW(hints_, TTM_SETMAXTIPWIDTH, 0, Scale(400));
}

void MainWindow::Layout() {
  Fonts fonts;
  fonts.dialog = MakeFont(DialogFace(), Scale(13), false);
  fonts.counter = MakeFont(DialogFace(), Scale(16), false);
  fonts.button = MakeFont(L"Arial", Scale(19), true);
  for (const Place& place : kPlaces) {
    const HWND control = Control(place.id);
    const HFONT font = place.font == FontRole::Button    ? fonts.button
                       : place.font == FontRole::Counter ? fonts.counter
                                                         : fonts.dialog;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    int width = Scale(place.width);
    int height = Scale(place.height);
    // A label grows to show its whole text; the drive box's height includes its list.
    if (IsLabel(place.id)) width = std::max(width, TextWidth(control, font, place.text));
    if (place.id == kDriveBox) height += Scale(kDropDownHeight);
    SetWindowPos(control, nullptr, Scale(place.left), Scale(place.top), width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The radio buttons, the check box and the group's title keep their texts whole, beside
    // the box or circle drawn in front of them.
    const bool choice =
        std::find(std::begin(kChoices), std::end(kChoices), place.id) != std::end(kChoices);
    if (choice || place.id == kDetailedLogBox || place.id == kFileChoice) {
      const int room = width - Scale(place.id == kFileChoice ? 12 : 20);
      SendMessageW(control, WM_SETFONT,
                   reinterpret_cast<WPARAM>(FittingFont(control, place.text, 13, room, fonts)),
                   FALSE);
    }
  }
  const HWND driveBox = Control(kDriveBox);
  SendMessageW(driveBox, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scale(22) - 6);
  SendMessageW(driveBox, CB_SETITEMHEIGHT, 0, Scale(kItemHeight));
  SendMessageW(Control(kDirListBox), LB_SETITEMHEIGHT, 0, Scale(kItemHeight));
  SendMessageW(Control(kFileListBox), LB_SETITEMHEIGHT, 0, Scale(kItemHeight));
  fonts_.Release();
  fonts_ = std::move(fonts);
  if (!folders_.entries.empty()) FillDirectoryList();
  if (!filesDir_.empty()) FillFileList(SelectedFiles());
  InvalidateRect(window_, nullptr, TRUE);
}

HFONT MainWindow::FittingFont(HWND control, const wchar_t* text, int pixels, int room,
                              Fonts& fonts) const {
  // "&&" shows a single "&".
  std::wstring shown;
  for (const wchar_t* c = text; *c != 0; ++c) {
    if (*c != L'&' || c[1] == L'&') shown += *c;
    if (*c == L'&' && c[1] == L'&') ++c;
  }
  HFONT font = fonts.dialog;
  while (TextWidth(control, font, shown) > room && pixels > 9) {
    font = MakeFont(DialogFace(), Scale(--pixels), false);
    fonts.fitted.push_back(font);
  }
  return font;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) savedFocus_ = focus;
        // The window that takes the focus: one of this program's, or another program's.
        const HWND other = reinterpret_cast<HWND>(lParam);
        DWORD process = 0;
        if (other) GetWindowThreadProcessId(other, &process);
        model_.FocusLeft(other && process == GetCurrentProcessId());
      } else {
        if (savedFocus_) SetFocus(savedFocus_);
        model_.FocusReturned();
      }
      return 0;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      item->itemHeight = Scale(kItemHeight);
      return TRUE;
    }
    case WM_DRAWITEM:
      if (wParam == kDirListBox) {
        DrawFolderEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      // The counters are read-only boxes of the window's colour; everything else stands on the
      // form's face.
      const HWND control = reinterpret_cast<HWND>(lParam);
      const int id = GetDlgCtrlID(control);
      const bool counter = id == kConvertedBox || id == kWarningBox || id == kErrorBox;
      const int colour = counter ? COLOR_WINDOW : COLOR_BTNFACE;
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(colour));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(colour));
    }
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
    case kDriveChosen:
      DriveChosen();
      return 0;
    case WM_CLOSE:
      // No closing while a run goes on.
      if (model_.CanClose()) DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::Command(int id, int code) {
  switch (id) {
    case kDriveBox:
      // A choice made in the open list counts when the list closes with it; one made with the
      // keys on the closed box counts at once. Closing the list without a choice changes nothing.
      if (code == CBN_SELENDOK ||
          (code == CBN_SELCHANGE && !SendMessageW(Control(kDriveBox), CB_GETDROPPEDSTATE, 0, 0))) {
        PostMessageW(window_, kDriveChosen, 0, 0);
      } else if (code == CBN_SELENDCANCEL) {
        ShowDrives(drives_, model_.CurrentDrive());
      } else if (code == CBN_DROPDOWN) {
        // The drives are read again whenever the list opens.
        model_.DriveBoxOpening();
      }
      break;
    case kDirListBox:
      if (code == LBN_DBLCLK) {
        const LRESULT row = SendMessageW(Control(kDirListBox), LB_GETCURSEL, 0, 0);
        if (row >= 0 && row < static_cast<LRESULT>(folders_.entries.size())) {
          model_.DirListBoxDoubleClick(folders_.entries[row].path);
        }
      }
      break;
    case kFileListBox:
      if (code == LBN_SELCHANGE) model_.FileListBoxClick();
      break;
    case kGoButton:
    case kCloseButton:
      if (code == BN_CLICKED) {
        if (id == kGoButton) {
          model_.GoButtonClick();
        } else {
          model_.CloseButtonClick();
        }
      } else if (code == BN_SETFOCUS) {
        MarkDefaultButton(Control(id));
      } else if (code == BN_KILLFOCUS) {
        MarkDefaultButton(nullptr);
      }
      break;
    case kSingleFiles:
    case kCurrentDirectory:
    case kSubFolders:
      if (code == BN_CLICKED) KeepTabOnChosen();
      break;
    default:
      break;
  }
}

void MainWindow::DriveChosen() {
  const LRESULT row = SendMessageW(Control(kDriveBox), CB_GETCURSEL, 0, 0);
  if (row < 0 || row >= static_cast<LRESULT>(drives_.size())) return;
  if (drives_[row] != model_.CurrentDrive()) model_.DriveBoxChange(drives_[row]);
}

bool MainWindow::TakeKeys(MSG& message) {
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
    const HWND focus = GetFocus();
    if (focus == Control(kGoButton) || focus == Control(kCloseButton)) {
      // Enter presses the button that has the focus, as Space does.
      SendMessageW(focus, BM_CLICK, 0, 0);
      return true;
    }
    if (focus == Control(kDirListBox)) {
      Command(kDirListBox, LBN_DBLCLK);
      return true;
    }
  }
  return IsDialogMessageW(window_, &message);
}

// The button with the focus is the one Enter presses, and is drawn so.
void MainWindow::MarkDefaultButton(HWND focused) {
  for (int id : {kGoButton, kCloseButton}) {
    const HWND button = Control(id);
    SendMessageW(button, BM_SETSTYLE, button == focused ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

// Only the chosen entry of the scope group is a tab stop: tabbing into the group lands on it.
void MainWindow::KeepTabOnChosen() {
  for (int id : kChoices) {
    const HWND entry = Control(id);
    LONG_PTR style = GetWindowLongPtrW(entry, GWL_STYLE);
    const bool chosen = SendMessageW(entry, BM_GETCHECK, 0, 0) == BST_CHECKED;
    style = chosen ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrW(entry, GWL_STYLE, style);
  }
}

void MainWindow::DrawFolderEntry(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1) ||
      item.itemID >= static_cast<UINT>(folders_.entries.size())) {
    return;
  }
  const DirectoryListEntry& entry = folders_.entries[item.itemID];
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int height = item.rcItem.bottom - item.rcItem.top;
  RECT glyph{item.rcItem.left + Scale(2 + kIndentStep * entry.level), item.rcItem.top, 0,
             item.rcItem.bottom};
  glyph.right = glyph.left + height;
  DrawFolderGlyph(item.hDC, glyph, entry.level == 0);
  RECT text = item.rcItem;
  text.left = glyph.right + Scale(3);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const std::wstring name = Wide(entry.text);
  DrawTextW(item.hDC, name.c_str(), static_cast<int>(name.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(item.hDC, &item.rcItem);
}

void MainWindow::FillDirectoryList() {
  const HWND list = Control(kDirListBox);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  int widest = 0;
  for (const DirectoryListEntry& entry : folders_.entries) {
    const std::wstring text = Wide(entry.text);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    widest = std::max(widest, Scale(2 + kIndentStep * entry.level + kItemHeight + 3 + 4) +
                                  TextWidth(list, fonts_.dialog, text));
  }
  SendMessageW(list, LB_SETHORIZONTALEXTENT, widest, 0);
  SendMessageW(list, LB_SETCURSEL, folders_.currentRow, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  RevealDirectory();
  InvalidateRect(list, nullptr, TRUE);
}

// As many of the current folder's sub-folders as fit below it, the current folder in sight; a
// deep path scrolled sideways so that the current folder's name can be read.
void MainWindow::RevealDirectory() {
  const HWND list = Control(kDirListBox);
  RECT client{};
  GetClientRect(list, &client);
  const int rows = std::max(1, static_cast<int>(client.bottom) / Scale(kItemHeight));
  const int count = static_cast<int>(folders_.entries.size());
  SendMessageW(list, LB_SETTOPINDEX, std::clamp(count - rows, 0, folders_.currentRow), 0);
  int widestBelow = 0;
  for (int row = folders_.currentRow; row < count; ++row) {
    const DirectoryListEntry& entry = folders_.entries[row];
    widestBelow = std::max(widestBelow, Scale(2 + kIndentStep * entry.level + kItemHeight + 3 + 4) +
                                            TextWidth(list, fonts_.dialog, Wide(entry.text)));
  }
  const int furthest = Scale(2 + kIndentStep * folders_.currentRow);
  const int offset = std::clamp(widestBelow - static_cast<int>(client.right), 0, furthest);
  SendMessageW(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, offset), 0);
}

void MainWindow::FillFileList(const std::vector<std::string>& keepSelected) {
  const HWND list = Control(kFileListBox);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  int widest = 0;
  for (std::size_t row = 0; row < files_.size(); ++row) {
    const std::wstring text = Wide(files_[row]);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    widest = std::max(widest, TextWidth(list, fonts_.dialog, text) + Scale(6));
    if (std::find(keepSelected.begin(), keepSelected.end(), files_[row]) != keepSelected.end()) {
      SendMessageW(list, LB_SETSEL, TRUE, static_cast<LPARAM>(row));
    }
  }
  SendMessageW(list, LB_SETHORIZONTALEXTENT, widest, 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

std::string MainWindow::Directory() const {
  if (folders_.entries.empty()) return {};
  return folders_.entries[folders_.currentRow].path;
}

std::vector<std::string> MainWindow::ListedFiles() const {
  return files_;
}

std::vector<std::string> MainWindow::SelectedFiles() const {
  const HWND list = Control(kFileListBox);
  const LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
  std::vector<int> rows(count > 0 ? count : 0);
  if (!rows.empty()) {
    SendMessageW(list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
  }
  std::sort(rows.begin(), rows.end());
  std::vector<std::string> names;
  for (int row : rows) {
    if (row >= 0 && row < static_cast<int>(files_.size())) names.push_back(files_[row]);
  }
  return names;
}

FileChoice MainWindow::Choice() const {
  for (int index = 0; index < static_cast<int>(std::size(kChoices)); ++index) {
    if (SendMessageW(Control(kChoices[index]), BM_GETCHECK, 0, 0) == BST_CHECKED) {
      return static_cast<FileChoice>(index);
    }
  }
  return FileChoice::CurrentDirectory;
}

bool MainWindow::DetailedLogTicked() const {
  return SendMessageW(Control(kDetailedLogBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::ShowDrives(const std::vector<std::string>& drives, const std::string& chosen) {
  drives_ = drives;
  const HWND box = Control(kDriveBox);
  SendMessageW(box, CB_RESETCONTENT, 0, 0);
  for (const std::string& drive : drives_) {
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(drive).c_str()));
  }
  const auto at = std::find(drives_.begin(), drives_.end(), chosen);
  SendMessageW(box, CB_SETCURSEL, at == drives_.end() ? -1 : at - drives_.begin(), 0);
}

void MainWindow::ShowDirectory(const std::string& dir, const std::string& drive) {
  drive_ = drive;
  folders_ = ListDirectory(dir, drive);
  FillDirectoryList();
}

void MainWindow::ShowFiles(const std::string& dir) {
  filesDir_ = dir;
  files_ = ListChiFiles(dir);
  FillFileList({});
}

void MainWindow::RefreshLists() {
  ShowDirectory(Directory(), drive_);
  const std::vector<std::string> selected = SelectedFiles();
  files_ = ListChiFiles(filesDir_);
  FillFileList(selected);
}

void MainWindow::ShowChoice(FileChoice choice) {
  for (int index = 0; index < static_cast<int>(std::size(kChoices)); ++index) {
    const HWND entry = Control(kChoices[index]);
    SendMessageW(entry, BM_SETCHECK,
                 index == static_cast<int>(choice) ? BST_CHECKED : BST_UNCHECKED, 0);
    UpdateWindow(entry);
  }
  KeepTabOnChosen();
}

void MainWindow::ShowCounts(const RunCounts& counts) {
  const std::pair<int, int> boxes[] = {{kErrorBox, counts.errors},
                                       {kWarningBox, counts.warnings},
                                       {kConvertedBox, counts.converted}};
  for (const auto& [id, count] : boxes) {
    const HWND box = Control(id);
    const std::wstring text = std::to_wstring(count);
    wchar_t shown[16] = {};
    GetWindowTextW(box, shown, static_cast<int>(std::size(shown)));
    if (text == shown) continue;
    SetWindowTextW(box, text.c_str());
    UpdateWindow(box);
  }
}

void MainWindow::ShowMessage(MessageKind kind, const std::string& title, const std::string& text) {
  const UINT icon = kind == MessageKind::Information ? MB_ICONINFORMATION
                    : kind == MessageKind::Warning   ? MB_ICONWARNING
                                                     : MB_ICONERROR;
  const HHOOK hook = SetWindowsHookExW(WH_CBT, WidenForTitle, nullptr, GetCurrentThreadId());
  MessageBoxW(window_, Wide(text).c_str(), Wide(title).c_str(), MB_OK | icon);
  if (hook) UnhookWindowsHookEx(hook);
}

void MainWindow::FocusOn(FocusTarget target) {
  const HWND button = Control(target == FocusTarget::GoButton ? kGoButton : kCloseButton);
  savedFocus_ = button;
  SetFocus(button);
  MarkDefaultButton(button);
  // Shown as after keyboard navigation.
  SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void MainWindow::Close() {
  DestroyWindow(window_);
}

// Input is dropped where the window processes its messages during a run; the input still
// waiting at the end of the run goes the same way.
void MainWindow::DiscardInput(bool discard) {
  if (!discard) ProcessPendingEvents();
}

// Called only while a run goes on: every message but input is handled.
void MainWindow::ProcessPendingEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (IsInput(message.message)) continue;
    DispatchMessageW(&message);
  }
}

}  // namespace pomvex::win32
