// Menu resource 101, the main window's menu bar: one table that the Qt
// adapter builds its bar from and that a Windows .rc is written from.
#pragma once

#include "platform/Window.h"

inline constexpr int32_t kMainMenuResource = 101;

extern const MenuResource kMainMenu;
