// The window layer: everything the shell needs from a window system, and
// nothing more. No GUI library stands behind this header; a platform adapter
// (Qt 6 on Linux, Win32 on Windows) implements the functions declared here.
//
// Input reaches the shell only through WindowObject::WindowProc, with Win32's
// message numbers and meanings, so the shell's tables of keys, characters and
// commands are one body of code for every platform. The names below avoid the
// ones that <windows.h> defines as macros, so the Win32 adapter can include both.
#pragma once

#include <cstdint>

using WindowHandle = void*;  // never dereferenced by the core

// The base of every object that owns a platform window. A window keeps a
// pointer to its object (its extra word 0) and hands every message to WindowProc.
class WindowObject {
 public:
  // wParam and lParam have Win32's widths: pointer-sized, unsigned and signed.
  virtual int32_t WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;

 protected:
  WindowObject() = default;
  // Objects are deleted through their own type, never through this base.
  ~WindowObject() = default;
};

// Destroys a window that an adapter created: the window first receives
// kWmDestroy, then it and its children go. Until an adapter installs its
// implementation no window can exist, so there is nothing to destroy; the
// patch model calls this without linking any adapter.
using DestroyWindowFunction = void (*)(WindowHandle window);
inline DestroyWindowFunction destroyWindowHandler = nullptr;

inline void DestroyPlatformWindow(WindowHandle window) {
  if (window != nullptr && destroyWindowHandler != nullptr) destroyWindowHandler(window);
}

// ---- File dialogs ----

// The record of one file dialog, laid out as Win32's OPENFILENAMEA: the
// caller fills it completely before each dialog; the dialog writes the
// chosen path into `file` and its name without folder into `fileTitle`.
inline constexpr uint32_t kOfnOverwritePrompt = 0x00000002;  // ask before replacing a file (save only)
inline constexpr uint32_t kOfnNoChangeDir = 0x00000008;      // leave the process's current folder alone

struct FileDialogState {
  WindowHandle owner;
  // Pairs of description and pattern, each zero-terminated, the list ended
  // by an empty string, e.g. "Text (*.TXT)\0*.txt\0".
  const char* filter;
  char* customFilter;  // nullptr: none
  uint32_t customFilterSize;
  uint32_t filterIndex;
  char* file;  // in: the proposed name, empty for none; out: the full path
  uint32_t fileSize;
  char* fileTitle;  // out: the name without its folder
  uint32_t fileTitleSize;
  const char* initialFolder;  // nullptr: the platform's choice
  const char* dialogTitle;    // nullptr: the platform's default title
  uint32_t flags;
  const char* defaultExtension;  // without the dot; added to a name typed without one
};

// Modal. True when the user chose a file and it fits the buffers; false on
// cancel or failure, with the buffers as they were. Without an adapter (the
// renderer) no dialog can open. Tests put their own dialog in its place.
enum class FileDialogKind { Open, Save };
using FileDialogFunction = bool (*)(FileDialogKind kind, FileDialogState& state);
inline FileDialogFunction fileDialogHandler = nullptr;

inline bool ShowFileDialog(FileDialogKind kind, FileDialogState& state) {
  return fileDialogHandler != nullptr && fileDialogHandler(kind, state);
}

// ---- Messages (Win32 numbers) ----

inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmPaint = 0x000F;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmKeyDown = 0x0100;      // wParam: virtual-key code; lParam bit 30: key was down
inline constexpr uint32_t kWmChar = 0x0102;         // wParam: the character
inline constexpr uint32_t kWmCommand = 0x0111;      // wParam: id in the low word, notice in the high word
inline constexpr uint32_t kWmHScroll = 0x0114;      // wParam: SB_ request low, thumb position high; lParam: bar
inline constexpr uint32_t kWmLButtonDown = 0x0201;  // lParam: client x in the low word, y in the high word
inline constexpr uint32_t kWmRButtonUp = 0x0205;
// Sent by the creator once the object pointer is stored; the messages before
// it get default handling only.
inline constexpr uint32_t kUmCreateControls = 2047;

inline constexpr uint32_t kBnClicked = 0;  // WM_COMMAND notice of a button or check box

// Scroll requests (SB_*).
inline constexpr uint32_t kSbLineUp = 0;
inline constexpr uint32_t kSbLineDown = 1;
inline constexpr uint32_t kSbPageUp = 2;
inline constexpr uint32_t kSbPageDown = 3;
inline constexpr uint32_t kSbThumbPosition = 4;
inline constexpr uint32_t kSbThumbTrack = 5;
inline constexpr uint32_t kSbTop = 6;
inline constexpr uint32_t kSbBottom = 7;
inline constexpr uint32_t kSbEndScroll = 8;

// Virtual-key codes (VK_*); letters and digits are their upper-case ASCII.
inline constexpr uint32_t kVkBack = 8;
inline constexpr uint32_t kVkTab = 9;
inline constexpr uint32_t kVkReturn = 13;
inline constexpr uint32_t kVkEscape = 27;
inline constexpr uint32_t kVkSpace = 32;
inline constexpr uint32_t kVkLeft = 37;
inline constexpr uint32_t kVkUp = 38;
inline constexpr uint32_t kVkRight = 39;
inline constexpr uint32_t kVkDown = 40;
inline constexpr uint32_t kVkDelete = 46;

inline constexpr uint32_t LowWord(uintptr_t value) { return static_cast<uint32_t>(value) & 0xFFFF; }
inline constexpr uint32_t HighWord(uintptr_t value) { return (static_cast<uint32_t>(value) >> 16) & 0xFFFF; }
inline constexpr uint32_t MakeLong(uint32_t low, uint32_t high) { return (low & 0xFFFF) | ((high & 0xFFFF) << 16); }

// Message box styles (MB_*), and the one answer the shell's boxes give.
inline constexpr uint32_t kMbOk = 0x00;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconWarning = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr int32_t kIdOk = 1;

// ---- Window classes and menus ----

using WindowProcedure = int32_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// One row of a menu resource, in menu-bar order: a Popup row opens a popup
// whose items follow it up to the next Popup row. A Windows .rc is written
// from the same rows (POPUP, MENUITEM, MENUITEM SEPARATOR, GRAYED, HELP).
enum class MenuRowKind : uint8_t { Popup, Item, Separator };
struct MenuRow {
  MenuRowKind kind;
  const char* caption;  // with its & mnemonic
  uint16_t id;          // items only
  bool startsGreyed;    // items only
  bool rightAligned;    // popups only: the Help popup at the right end of the bar
};
struct MenuResource {
  int32_t id;
  const MenuRow* rows;
  int32_t rowCount;
};

struct WindowClass {
  const char* name;
  WindowProcedure procedure;
  int32_t extraBytes;        // 4: the object pointer in extra word 0
  const MenuResource* menu;  // nullptr = no menu
  int32_t largeIcon;         // icon resources
  int32_t smallIcon;
};

// Must come before any window; false when the name is taken.
bool RegisterWindowClass(const WindowClass& windowClass);

// ---- Windows and controls ----

// The client area has the given fixed size below the menu bar; the frame
// and the bar come on top of it. Returns nullptr for an unknown class.
WindowHandle CreateTopLevelWindow(const char* className, const char* title, int32_t clientWidth,
                                  int32_t clientHeight);
// A top-level window owned by another: it stays in front of its owner and
// is destroyed with it, before it. The position is in screen coordinates and
// the size is the outer one, frame and caption included, as Win32 counts
// them for an overlapping window; there is no menu. A window that is not
// visible waits for ShowTopLevelWindow.
WindowHandle CreateOwnedWindow(const char* className, const char* title, WindowHandle owner, int32_t x, int32_t y,
                               int32_t outerWidth, int32_t outerHeight, bool visible);
// Shows a top-level window and paints it at once.
void ShowTopLevelWindow(WindowHandle window);
void SetWindowTitle(WindowHandle window, const char* title);

void SetWindowObject(WindowHandle window, WindowObject* object);
WindowObject* GetWindowObject(WindowHandle window);

enum class ControlKind { PushButton, CheckBox, HorizontalScrollBar, StaticLabel };
// A visible child control at a fixed client position; its clicks and scrolls
// reach the parent as kWmCommand / kWmHScroll carrying the id.
WindowHandle CreateChildControl(WindowHandle parent, ControlKind kind, int32_t x, int32_t y, int32_t width,
                                int32_t height, const char* text, int32_t id);

// The id a control was created with (GWL_ID).
int32_t GetControlId(WindowHandle control);
void SetControlText(WindowHandle control, const char* text);
void EnableControl(WindowHandle control, bool enabled);
void SetScrollBarRange(WindowHandle bar, int32_t minimum, int32_t maximum);
// Sets the thumb and redraws the bar. A bar's thumb moves only by this call.
void SetScrollPosition(WindowHandle bar, int32_t position);
void SetCheckState(WindowHandle control, bool checked);
bool GetCheckState(WindowHandle control);

// Marks the whole client area for repainting; erase = paint the class
// background first.
void InvalidateWindow(WindowHandle window, bool erase);
void FocusWindow(WindowHandle window);
// No effect for an id that has no menu item.
void EnableMenuCommand(WindowHandle window, int32_t id, bool enabled);

// Modal; caption nullptr = the platform's default caption. Returns kIdOk.
int32_t ShowMessageBox(WindowHandle owner, const char* text, const char* caption, uint32_t style);

// Calls the window's procedure at once and returns its result.
int32_t SendWindowMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// What a window does with a message its object leaves alone: kWmClose
// destroys the window; everything else is ignored.
int32_t DefaultWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// ---- Painting ----

// COLORREF layout: red in the low byte.
inline constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
  return red | (green << 8) | (blue << 16);
}
struct Pen {
  uint32_t colour;  // solid, 1 pixel wide
};
struct Brush {
  uint32_t colour;  // solid
};
struct Rect {
  int32_t left, top, right, bottom;  // right and bottom exclusive
};

// Stock objects.
inline constexpr Brush kLightGreyBrush{Rgb(192, 192, 192)};
inline constexpr Brush kDarkGreyBrush{Rgb(64, 64, 64)};
inline constexpr Brush kWhiteBrush{Rgb(255, 255, 255)};
inline constexpr Brush kBlackBrush{Rgb(0, 0, 0)};
inline constexpr Pen kBlackPen{Rgb(0, 0, 0)};

// Text alignment (TA_*): the reference point of WriteText.
inline constexpr uint32_t kTaLeft = 0;
inline constexpr uint32_t kTaTop = 0;
inline constexpr uint32_t kTaCenter = 6;

// Draws into a window's client area during kWmPaint. Starts with the black
// pen, left/top text alignment and black text on an opaque white background.
class DeviceContext {
 public:
  virtual void FillRect(const Rect& rect, Brush brush) = 0;
  // A one-pixel frame just inside the rectangle.
  virtual void FrameRect(const Rect& rect, Brush brush) = 0;
  // Returns the pen selected before.
  virtual Pen SelectPen(Pen pen) = 0;
  virtual void MoveTo(int32_t x, int32_t y) = 0;
  // Draws from the current point to (x, y), the end pixel excluded, and moves there.
  virtual void LineTo(int32_t x, int32_t y) = 0;
  // Icon resource drawn at 32 x 32 with its top-left corner at (x, y).
  virtual void DrawIconResource(int32_t x, int32_t y, int32_t icon) = 0;
  virtual void SelectFixedFont() = 0;
  virtual void SetTextAlignment(uint32_t alignment) = 0;
  virtual void WriteText(int32_t x, int32_t y, const char* text, int32_t length) = 0;

 protected:
  ~DeviceContext() = default;
};

// Valid between the two calls, inside the handling of kWmPaint only.
DeviceContext* BeginWindowPaint(WindowHandle window);
void EndWindowPaint(WindowHandle window, DeviceContext* context);

// ---- The program ----

// Before anything else; the adapter keeps argc and argv.
void InitWindowSystem(int& argc, char** argv);
// Dispatches input until QuitMessageLoop; returns its code.
int32_t RunMessageLoop();
void QuitMessageLoop(int32_t code);
