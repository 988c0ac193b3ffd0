// Win32 adapter: window classes, windows, controls and the message loop.
//
// Every class is registered with one system window procedure that finds the
// shell's procedure by the window's class atom and hands it the message
// unchanged: on Windows the shell's messages are the real ones. The object
// pointer lives in extra word 0, which is as wide as a pointer.
//
// Message results pass through the shell as 32-bit numbers. The only wider
// results default handling gives are handles (icons, brushes, fonts), and
// those keep their meaning when cut to 32 bits and widened again with their
// sign, which is what 64-bit Windows guarantees for them.
#include "platform/win32/Win32WindowTypes.h"

namespace {

// The shell registers three classes; room for a few more.
constexpr int32_t kMostClasses = 8;

struct RegisteredClass {
  ATOM atom;
  WindowProcedure procedure;
  bool hasMenu;
};

RegisteredClass classes[kMostClasses];
int32_t classCount = 0;
HINSTANCE instance = nullptr;

// The frame of an overlapping window with the classic metrics: 4-pixel
// borders, a 19-pixel caption and a 19-pixel menu bar. Top-level windows are
// made this much larger than the client area the shell asks for, so the main
// window is 800 x 600 outside as on the systems the layout was drawn for.
constexpr int32_t kFrameWidth = 8;
constexpr int32_t kFrameHeight = 27;
constexpr int32_t kMenuBarHeight = 19;

const RegisteredClass* ClassOf(HWND window) {
  const ATOM atom = static_cast<ATOM>(GetClassWord(window, GCW_ATOM));
  for (int32_t i = 0; i < classCount; ++i) {
    if (classes[i].atom == atom) return &classes[i];
  }
  return nullptr;
}

const RegisteredClass* ClassNamed(const char* name) {
  WNDCLASSEXA found{};
  found.cbSize = sizeof found;
  const ATOM atom = static_cast<ATOM>(GetClassInfoExA(instance, name, &found));
  for (int32_t i = 0; i < classCount; ++i) {
    if (atom != 0 && classes[i].atom == atom) return &classes[i];
  }
  return nullptr;
}

LRESULT CALLBACK AdapterWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const RegisteredClass* windowClass = ClassOf(window);
  if (windowClass == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return windowClass->procedure(AsHandle(window), message, wParam, lParam);
}

void DestroyWin32Window(WindowHandle window) { DestroyWindow(AsHwnd(window)); }

// The show command the program was started with, for its first window.
int ProgramShowCommand() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
}

struct ControlClass {
  const char* name;
  DWORD style;
};

ControlClass ControlClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::PushButton: return {"button", BS_DEFPUSHBUTTON};
    case ControlKind::CheckBox: return {"button", BS_AUTOCHECKBOX};
    case ControlKind::HorizontalScrollBar: return {"scrollbar", SBS_HORZ};
    case ControlKind::StaticLabel: return {"static", SS_LEFT};
  }
  return {"static", SS_LEFT};
}

}  // namespace

HINSTANCE ProgramInstance() { return instance; }

void InitWindowSystem(int&, char**) {
  instance = GetModuleHandleA(nullptr);
  destroyWindowHandler = DestroyWin32Window;
  fileDialogHandler = RunWin32FileDialog;
}

int32_t RunMessageLoop() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) == 1) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int32_t>(message.wParam);
}

void QuitMessageLoop(int32_t code) { PostQuitMessage(code); }

bool RegisterWindowClass(const WindowClass& windowClass) {
  if (classCount == kMostClasses) return false;
  WNDCLASSEXA record{};
  record.cbSize = sizeof record;
  record.style = CS_HREDRAW | CS_VREDRAW;
  record.lpfnWndProc = AdapterWindowProc;
  record.cbWndExtra = windowClass.extraBytes > 0 ? static_cast<int>(sizeof(LONG_PTR)) : 0;
  record.hInstance = instance;
  record.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(windowClass.largeIcon), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  record.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(windowClass.smallIcon), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  record.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  record.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  record.lpszMenuName = windowClass.menu != nullptr ? MAKEINTRESOURCEA(windowClass.menu->id) : nullptr;
  record.lpszClassName = windowClass.name;
  const ATOM atom = RegisterClassExA(&record);
  if (atom == 0) return false;
  classes[classCount++] = {atom, windowClass.procedure, windowClass.menu != nullptr};
  return true;
}

WindowHandle CreateTopLevelWindow(const char* className, const char* title, int32_t clientWidth,
                                  int32_t clientHeight) {
  const RegisteredClass* windowClass = ClassNamed(className);
  if (windowClass == nullptr) return nullptr;
  const int32_t outerHeight = clientHeight + kFrameHeight + (windowClass->hasMenu ? kMenuBarHeight : 0);
  return AsHandle(CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                  CW_USEDEFAULT, clientWidth + kFrameWidth, outerHeight, nullptr, nullptr,
                                  instance, nullptr));
}

WindowHandle CreateOwnedWindow(const char* className, const char* title, WindowHandle owner, int32_t x, int32_t y,
                               int32_t outerWidth, int32_t outerHeight, bool visible) {
  if (ClassNamed(className) == nullptr) return nullptr;
  // The sequencer window is created visible and clips its children; the
  // drum window is shown once its boxes exist and does not.
  const DWORD style = WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE | WS_CLIPCHILDREN : 0);
  return AsHandle(CreateWindowExA(0, className, title, style, x, y, outerWidth, outerHeight, AsHwnd(owner), nullptr,
                                  instance, nullptr));
}

void ShowTopLevelWindow(WindowHandle window) {
  const bool owned = GetWindow(AsHwnd(window), GW_OWNER) != nullptr;
  ShowWindow(AsHwnd(window), owned ? SW_SHOW : ProgramShowCommand());
  UpdateWindow(AsHwnd(window));
}

void SetWindowTitle(WindowHandle window, const char* title) { SetWindowTextA(AsHwnd(window), title); }

void SetWindowObject(WindowHandle window, WindowObject* object) {
  SetWindowLongPtrA(AsHwnd(window), 0, reinterpret_cast<LONG_PTR>(object));
}

WindowObject* GetWindowObject(WindowHandle window) {
  // A window of a class without extra words (a control) reads as none.
  if (GetClassLongPtrA(AsHwnd(window), GCL_CBWNDEXTRA) < static_cast<LONG_PTR>(sizeof(LONG_PTR))) return nullptr;
  return reinterpret_cast<WindowObject*>(GetWindowLongPtrA(AsHwnd(window), 0));
}

WindowHandle CreateChildControl(WindowHandle parent, ControlKind kind, int32_t x, int32_t y, int32_t width,
                                int32_t height, const char* text, int32_t id) {
  const ControlClass control = ControlClassOf(kind);
  return AsHandle(CreateWindowExA(0, control.name, text != nullptr ? text : "", WS_CHILD | WS_VISIBLE | control.style,
                                  x, y, width, height, AsHwnd(parent),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr));
}

int32_t GetControlId(WindowHandle control) { return GetWindowLongA(AsHwnd(control), GWL_ID); }

void SetControlText(WindowHandle control, const char* text) { SetWindowTextA(AsHwnd(control), text); }

void EnableControl(WindowHandle control, bool enabled) { EnableWindow(AsHwnd(control), enabled ? TRUE : FALSE); }

void SetScrollBarRange(WindowHandle bar, int32_t minimum, int32_t maximum) {
  SetScrollRange(AsHwnd(bar), SB_CTL, minimum, maximum, FALSE);
}

void SetScrollPosition(WindowHandle bar, int32_t position) { SetScrollPos(AsHwnd(bar), SB_CTL, position, TRUE); }

void SetCheckState(WindowHandle control, bool checked) {
  SendMessageA(AsHwnd(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool GetCheckState(WindowHandle control) {
  return SendMessageA(AsHwnd(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void InvalidateWindow(WindowHandle window, bool erase) { InvalidateRect(AsHwnd(window), nullptr, erase); }

void FocusWindow(WindowHandle window) { SetFocus(AsHwnd(window)); }

void EnableMenuCommand(WindowHandle window, int32_t id, bool enabled) {
  EnableMenuItem(GetMenu(AsHwnd(window)), static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

int32_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return static_cast<int32_t>(SendMessageA(AsHwnd(window), message, wParam, lParam));
}

int32_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return static_cast<int32_t>(DefWindowProcA(AsHwnd(window), message, wParam, lParam));
}
