// Win32 adapter: painting with GDI.
//
// The device context of one WM_PAINT, between BeginPaint and EndPaint.
// Pens and brushes of a colour are made once a paint and deleted at its
// end, the stock ones are used as they are; icon resources are loaded at
// 32 x 32 once and kept for the life of the process.
#include "platform/win32/Win32WindowTypes.h"

namespace {

// The views paint with a handful of colours; a colour beyond this many in
// one paint would draw nothing.
constexpr int32_t kMostObjects = 16;

struct ColouredObject {
  uint32_t colour;
  HGDIOBJ object;
};

struct StockColour {
  uint32_t colour;
  int stockBrush;
};
constexpr StockColour kStockBrushes[] = {
    {Rgb(192, 192, 192), LTGRAY_BRUSH}, {Rgb(64, 64, 64), DKGRAY_BRUSH},
    {Rgb(255, 255, 255), WHITE_BRUSH},  {Rgb(0, 0, 0), BLACK_BRUSH},
};

class GdiObjects {
 public:
  HBRUSH BrushOf(uint32_t colour) {
    for (const StockColour& stock : kStockBrushes) {
      if (stock.colour == colour) return static_cast<HBRUSH>(GetStockObject(stock.stockBrush));
    }
    return static_cast<HBRUSH>(Find(brushes_, brushCount_, colour, [](uint32_t c) -> HGDIOBJ {
      return CreateSolidBrush(c);
    }));
  }

  HPEN PenOf(uint32_t colour) {
    if (colour == kBlackPen.colour) return static_cast<HPEN>(GetStockObject(BLACK_PEN));
    return static_cast<HPEN>(Find(pens_, penCount_, colour, [](uint32_t c) -> HGDIOBJ {
      return CreatePen(PS_SOLID, 1, c);
    }));
  }

  // Once nothing of this paint is selected any more.
  void DeleteAll() {
    for (int32_t i = 0; i < brushCount_; ++i) DeleteObject(brushes_[i].object);
    for (int32_t i = 0; i < penCount_; ++i) DeleteObject(pens_[i].object);
    brushCount_ = penCount_ = 0;
  }

 private:
  template <typename Make>
  static HGDIOBJ Find(ColouredObject* objects, int32_t& count, uint32_t colour, Make make) {
    for (int32_t i = 0; i < count; ++i) {
      if (objects[i].colour == colour) return objects[i].object;
    }
    if (count == kMostObjects) return nullptr;
    objects[count] = {colour, make(colour)};
    return objects[count++].object;
  }

  ColouredObject brushes_[kMostObjects] = {};
  ColouredObject pens_[kMostObjects] = {};
  int32_t brushCount_ = 0;
  int32_t penCount_ = 0;
};

HICON IconOf(int32_t icon) {
  constexpr int32_t kMostIcons = 256;
  static HICON loaded[kMostIcons] = {};
  if (icon < 0 || icon >= kMostIcons) return nullptr;
  if (loaded[icon] == nullptr) {
    loaded[icon] = static_cast<HICON>(LoadImageA(ProgramInstance(), MAKEINTRESOURCEA(icon), IMAGE_ICON, 32, 32, 0));
  }
  return loaded[icon];
}

class GdiDeviceContext final : public DeviceContext {
 public:
  void Begin(HWND window) {
    window_ = window;
    dc_ = BeginPaint(window, &paint_);
    pen_ = kBlackPen;
    SelectObject(dc_, GetStockObject(BLACK_PEN));
  }

  void End() {
    // The stock pen goes back in before this paint's own pens are deleted.
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    objects_.DeleteAll();
    EndPaint(window_, &paint_);
    window_ = nullptr;
  }

  bool Painting() const { return window_ != nullptr; }

  void FillRect(const Rect& rect, Brush brush) override {
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(dc_, &area, objects_.BrushOf(brush.colour));
  }

  void FrameRect(const Rect& rect, Brush brush) override {
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    ::FrameRect(dc_, &area, objects_.BrushOf(brush.colour));
  }

  Pen SelectPen(Pen pen) override {
    const Pen previous = pen_;
    pen_ = pen;
    SelectObject(dc_, objects_.PenOf(pen.colour));
    return previous;
  }

  void MoveTo(int32_t x, int32_t y) override { MoveToEx(dc_, x, y, nullptr); }
  void LineTo(int32_t x, int32_t y) override { ::LineTo(dc_, x, y); }

  void DrawIconResource(int32_t x, int32_t y, int32_t icon) override {
    if (HICON picture = IconOf(icon)) DrawIcon(dc_, x, y, picture);
  }

  void SelectFixedFont() override { SelectObject(dc_, GetStockObject(SYSTEM_FIXED_FONT)); }
  void SetTextAlignment(uint32_t alignment) override { SetTextAlign(dc_, alignment); }
  void WriteText(int32_t x, int32_t y, const char* text, int32_t length) override {
    TextOutA(dc_, x, y, text, length);
  }

 private:
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  PAINTSTRUCT paint_{};
  Pen pen_ = kBlackPen;
  GdiObjects objects_;
};

// Paints do not nest: WM_PAINT is handled to its end before the next.
GdiDeviceContext context;

}  // namespace

DeviceContext* BeginWindowPaint(WindowHandle window) {
  if (context.Painting()) return nullptr;
  context.Begin(AsHwnd(window));
  return &context;
}

void EndWindowPaint(WindowHandle, DeviceContext* painted) {
  if (painted == &context && context.Painting()) context.End();
}
