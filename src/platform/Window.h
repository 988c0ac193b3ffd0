// The window layer as the core sees it: opaque window handles and the one
// entry point through which a window reaches the object that owns it.
//
// No GUI library stands behind this header. The platform adapters (Win32, Qt)
// create the real windows, forward their messages to WindowObject::WindowProc
// with Win32's message numbers and meanings, and install the operations the
// core calls on windows.
#pragma once

#include <cstdint>

using WindowHandle = void*;  // never dereferenced by the core

// The base of every object that owns a platform window. A window keeps a
// pointer to its object and hands every message to WindowProc.
class WindowObject {
 public:
  // wParam and lParam have Win32's widths: pointer-sized, unsigned and signed.
  virtual int32_t WindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;

 protected:
  WindowObject() = default;
  // Objects are deleted through their own type, never through this base.
  ~WindowObject() = default;
};

// Destroys a window that an adapter created. Until an adapter installs its
// implementation no window can exist, so there is nothing to destroy.
using DestroyWindowFunction = void (*)(WindowHandle window);
inline DestroyWindowFunction destroyWindowHandler = nullptr;

inline void DestroyPlatformWindow(WindowHandle window) {
  if (window != nullptr && destroyWindowHandler != nullptr) destroyWindowHandler(window);
}
