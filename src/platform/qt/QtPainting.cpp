// Qt adapter: painting.
//
// Implements the device context on a QPainter over the client area, in
// logical pixels (Qt scales them on high-DPI screens): solid fills and
// one-pixel frames, lines drawn pixel by pixel with the end point left out
// as GDI does, icon resources at 32 x 32, and text at a reference point in
// black on an opaque white background. WM_PAINT is sent from paintEvent;
// BeginWindowPaint hands out that paint's context.
//
// Differs from GDI: the fixed-pitch font is the platform's fixed font at the
// size of Windows' system fixed font, so text metrics are close but not equal.
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <cstdlib>

#include "platform/qt/QtWindowTypes.h"

namespace {

QColor ColourOf(uint32_t rgb) { return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF); }

}  // namespace

class QtDeviceContext final : public DeviceContext {
 public:
  explicit QtDeviceContext(QPainter& painter) : painter_(painter) {}

  void FillRect(const Rect& rect, Brush brush) override {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    painter_.fillRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, ColourOf(brush.colour));
  }

  void FrameRect(const Rect& rect, Brush brush) override {
    if (rect.right <= rect.left || rect.bottom <= rect.top) return;
    const QColor colour = ColourOf(brush.colour);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    painter_.fillRect(rect.left, rect.top, width, 1, colour);
    painter_.fillRect(rect.left, rect.bottom - 1, width, 1, colour);
    painter_.fillRect(rect.left, rect.top, 1, height, colour);
    painter_.fillRect(rect.right - 1, rect.top, 1, height, colour);
  }

  Pen SelectPen(Pen pen) override {
    const Pen previous = pen_;
    pen_ = pen;
    return previous;
  }

  void MoveTo(int32_t x, int32_t y) override {
    x_ = x;
    y_ = y;
  }

  // Bresenham from the current point, every pixel but the last.
  void LineTo(int32_t x, int32_t y) override {
    const QColor colour = ColourOf(pen_.colour);
    const int32_t dx = std::abs(x - x_);
    const int32_t dy = -std::abs(y - y_);
    const int32_t stepX = x_ < x ? 1 : -1;
    const int32_t stepY = y_ < y ? 1 : -1;
    int32_t error = dx + dy;
    int32_t px = x_;
    int32_t py = y_;
    while (px != x || py != y) {
      painter_.fillRect(px, py, 1, 1, colour);
      const int32_t twice = 2 * error;
      if (twice >= dy) {
        error += dy;
        px += stepX;
      }
      if (twice <= dx) {
        error += dx;
        py += stepY;
      }
    }
    MoveTo(x, y);
  }

  void DrawIconResource(int32_t x, int32_t y, int32_t icon) override {
    const QPixmap& pixmap = IconPixmap(icon);
    if (!pixmap.isNull()) painter_.drawPixmap(x, y, 32, 32, pixmap);
  }

  void SelectFixedFont() override {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    font.setBold(true);
    painter_.setFont(font);
  }

  void SetTextAlignment(uint32_t alignment) override { alignment_ = alignment; }

  void WriteText(int32_t x, int32_t y, const char* text, int32_t length) override {
    const QString string = QString::fromLatin1(text, length);
    const QFontMetrics metrics(painter_.font());
    const int width = metrics.horizontalAdvance(string);
    const int left = (alignment_ & kTaCenter) == kTaCenter ? x - width / 2 : x;
    const QRect box(left, y, width, metrics.height());
    painter_.fillRect(box, Qt::white);
    painter_.setPen(Qt::black);
    painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop, string);
  }

 private:
  QPainter& painter_;
  Pen pen_ = kBlackPen;
  int32_t x_ = 0;
  int32_t y_ = 0;
  uint32_t alignment_ = kTaLeft | kTaTop;
};

void ClientSurface::paintEvent(QPaintEvent*) {
  if (destroyed) return;
  QPainter painter(this);
  QtDeviceContext context(painter);
  paintContext = &context;
  Send(kWmPaint, 0, 0);
  paintContext = nullptr;
}

DeviceContext* BeginWindowPaint(WindowHandle window) {
  ClientSurface* surface = AsSurface(window);
  if (surface == nullptr || surface->paintContext == nullptr) return nullptr;
  return surface->paintContext;
}

void EndWindowPaint(WindowHandle, DeviceContext*) {}
