// The Windows menu script says what the shell's menu table says: the same
// popups, items, ids, separators, greyed items and the Help popup at the
// right. VARNOTEK_REGENERATE=1 writes the script anew from the table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "app/MainMenu.h"
#include "support/TestFiles.h"

namespace {

std::string ScriptOf(const MenuResource& menu) {
  std::ostringstream script;
  script << "// Menu " << menu.id << ", the main window's menu bar, written from the shell's menu\n"
         << "// table (src/app/MainMenu.cpp); a test checks that the two agree.\n"
         << menu.id << " MENU\nBEGIN\n";
  bool open = false;
  for (int32_t i = 0; i < menu.rowCount; ++i) {
    const MenuRow& row = menu.rows[i];
    if (row.kind == MenuRowKind::Item) script << "    MENUITEM \"" << row.caption << "\", " << row.id << (row.startsGreyed ? ", GRAYED" : "") << '\n';
    if (row.kind == MenuRowKind::Separator) script << "    MENUITEM SEPARATOR\n";
    if (row.kind != MenuRowKind::Popup) continue;
    script << (open ? "  END\n" : "") << "  POPUP \"" << row.caption << '"' << (row.rightAligned ? ", HELP" : "") << "\n  BEGIN\n";
    open = true;
  }
  script << (open ? "  END\n" : "") << "END\n";
  return script.str();
}

TEST(MenuResourceTest, WindowsScriptMatchesTheShellsTable) {
  const std::string expected = ScriptOf(kMainMenu);
  const char* regenerate = std::getenv("VARNOTEK_REGENERATE");
  if (regenerate != nullptr && *regenerate == '1') std::ofstream(VARNOTEK_MENU_RC, std::ios::binary) << expected;
  EXPECT_EQ(ReadWholeFile(VARNOTEK_MENU_RC), expected) << "run with VARNOTEK_REGENERATE=1 to write " << VARNOTEK_MENU_RC;
}

}  // namespace
