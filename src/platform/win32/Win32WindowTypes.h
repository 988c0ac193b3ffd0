// What the Win32 adapter's files share: handles are the system's own HWNDs,
// and the window layer's message numbers are Win32's, checked here once.
#pragma once

#include <windows.h>

#include "platform/Window.h"

inline HWND AsHwnd(WindowHandle window) { return static_cast<HWND>(window); }
inline WindowHandle AsHandle(HWND window) { return static_cast<WindowHandle>(window); }

// The module every window, menu and icon comes from.
HINSTANCE ProgramInstance();

// File dialogs: the adapter's dialog behind ShowFileDialog.
bool RunWin32FileDialog(FileDialogKind kind, FileDialogState& state);

static_assert(kWmDestroy == WM_DESTROY && kWmPaint == WM_PAINT && kWmClose == WM_CLOSE);
static_assert(kWmKeyDown == WM_KEYDOWN && kWmChar == WM_CHAR && kWmCommand == WM_COMMAND);
static_assert(kWmHScroll == WM_HSCROLL && kWmLButtonDown == WM_LBUTTONDOWN && kWmRButtonUp == WM_RBUTTONUP);
static_assert(kBnClicked == BN_CLICKED && kSbThumbTrack == SB_THUMBTRACK && kSbEndScroll == SB_ENDSCROLL);
static_assert(kVkReturn == VK_RETURN && kVkLeft == VK_LEFT && kVkDown == VK_DOWN && kVkDelete == VK_DELETE);
static_assert(kMbIconWarning == MB_ICONWARNING && kMbIconError == MB_ICONERROR && kIdOk == IDOK);
static_assert(kTaCenter == TA_CENTER && kTaLeft == TA_LEFT && kTaTop == TA_TOP);
static_assert(kOfnOverwritePrompt == OFN_OVERWRITEPROMPT && kOfnNoChangeDir == OFN_NOCHANGEDIR);
