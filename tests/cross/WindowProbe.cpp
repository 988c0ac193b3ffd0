// Tells a test script what a Windows program shows, from beside it on the
// same desktop: how many top-level windows carry a title, the texts of one's
// child windows (a message box's text is one), and where a window's client
// area lies on the screen.
//
//   window-probe count TITLE     prints the number of visible windows titled TITLE
//   window-probe texts TITLE     prints the texts of its children, one a line
//   window-probe client TITLE    prints "X Y WIDTH HEIGHT" of its client area
//   window-probe outer TITLE     prints "X Y WIDTH HEIGHT" of the whole window
// Exits 1 when no window has that title.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

struct Search { const char* title; int count; HWND first; };

BOOL CALLBACK CountTitled(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<Search*>(parameter);
  char title[512] = {};
  GetWindowTextA(window, title, sizeof title);
  if (IsWindowVisible(window) && std::strcmp(title, search.title) == 0 && search.count++ == 0) search.first = window;
  return TRUE;
}

BOOL CALLBACK PrintText(HWND child, LPARAM) {
  char text[512] = {};
  if (GetWindowTextA(child, text, sizeof text) > 0) std::printf("%s\n", text);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: window-probe count|texts|client|outer TITLE\n");
    return 2;
  }
  Search search{argv[2], 0, nullptr};
  EnumWindows(CountTitled, reinterpret_cast<LPARAM>(&search));
  const char* what = argv[1];
  if (std::strcmp(what, "count") == 0) {
    std::printf("%d\n", search.count);
    return 0;
  }
  if (search.first == nullptr) return 1;
  if (std::strcmp(what, "texts") == 0) {
    EnumChildWindows(search.first, PrintText, 0);
  } else if (std::strcmp(what, "client") == 0) {
    RECT client{};
    GetClientRect(search.first, &client);
    POINT origin{0, 0};
    ClientToScreen(search.first, &origin);
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
  } else {
    RECT outer{};
    GetWindowRect(search.first, &outer);
    std::printf("%ld %ld %ld %ld\n", outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top);
  }
  std::fflush(stdout);
  return 0;
}
