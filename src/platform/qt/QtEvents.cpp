// Qt adapter: Qt events to Win32 messages.
//
// Implements: key presses to WM_KEYDOWN with virtual-key codes (auto-repeat
// included, bit 30 of lParam set as Win32 does) followed by WM_CHAR for the
// key's text, as TranslateMessage would; left press to WM_LBUTTONDOWN and
// right release to WM_RBUTTONUP with client coordinates; button and check
// box clicks to WM_COMMAND; scroll bar actions to WM_HSCROLL.
//
// Differs from Qt's defaults so that the shell sees Win32's behaviour: a
// scroll bar moves its thumb only when its owner sets the position, ignores
// the mouse wheel and has no context menu; no control takes the focus.
#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include "platform/qt/QtProbe.h"
#include "platform/qt/QtWindowTypes.h"

namespace {

struct KeyMapping {
  int qtKey;
  uint32_t virtualKey;
};

constexpr KeyMapping kKeys[] = {
    {Qt::Key_Backspace, kVkBack}, {Qt::Key_Tab, kVkTab},     {Qt::Key_Backtab, kVkTab},
    {Qt::Key_Return, kVkReturn},  {Qt::Key_Enter, kVkReturn}, {Qt::Key_Escape, kVkEscape},
    {Qt::Key_Space, kVkSpace},    {Qt::Key_PageUp, 33},       {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},            {Qt::Key_Home, 36},         {Qt::Key_Left, kVkLeft},
    {Qt::Key_Up, kVkUp},          {Qt::Key_Right, kVkRight},  {Qt::Key_Down, kVkDown},
    {Qt::Key_Insert, 45},         {Qt::Key_Delete, kVkDelete}, {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},        {Qt::Key_Alt, 18},
};

uint32_t VirtualKeyOf(const QKeyEvent& event) {
  const int key = event.key();
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    // VK_NUMPAD0..9 for the keypad, the ASCII digit for the main row.
    return (event.modifiers() & Qt::KeypadModifier) ? 0x60 + (key - Qt::Key_0) : key;
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
  for (const KeyMapping& mapping : kKeys) {
    if (mapping.qtKey == key) return mapping.virtualKey;
  }
  return 0;
}

// The owner decides where the thumb goes: report the request, put the thumb
// back where it was, and let the owner's SetScrollPosition move it.
void ReportScroll(QScrollBar* bar, ClientSurface* parent, int action) {
  uint32_t request = 0;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: request = kSbLineUp; break;
    case QAbstractSlider::SliderSingleStepAdd: request = kSbLineDown; break;
    case QAbstractSlider::SliderPageStepSub: request = kSbPageUp; break;
    case QAbstractSlider::SliderPageStepAdd: request = kSbPageDown; break;
    case QAbstractSlider::SliderToMinimum: request = kSbTop; break;
    case QAbstractSlider::SliderToMaximum: request = kSbBottom; break;
    case QAbstractSlider::SliderMove: request = kSbThumbTrack; break;
    default: return;
  }
  const int thumb = bar->sliderPosition();
  bar->setValue(bar->value());
  parent->Send(kWmHScroll, MakeLong(request, static_cast<uint32_t>(thumb)), reinterpret_cast<intptr_t>(AsHandle(bar)));
}

// Swallows wheel turns over a scroll bar: on Win32 they go to the focused
// main window, which ignores them.
class WheelBlocker final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Wheel; }
};

}  // namespace

void ClientSurface::keyPressEvent(QKeyEvent* event) {
  const uint32_t virtualKey = VirtualKeyOf(*event);
  const intptr_t keyData = 1 | (event->isAutoRepeat() ? (1 << 30) : 0);
  if (virtualKey != 0) Send(kWmKeyDown, virtualKey, keyData);
  for (const QChar character : event->text()) {
    if (destroyed) return;
    if (character.unicode() < 256) Send(kWmChar, character.unicode(), keyData);
  }
}

void ClientSurface::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  Send(kWmLButtonDown, 1, MakeLong(static_cast<uint32_t>(at.x()), static_cast<uint32_t>(at.y())));
}

void ClientSurface::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) return;
  const QPoint at = event->position().toPoint();
  Send(kWmRButtonUp, 0, MakeLong(static_cast<uint32_t>(at.x()), static_cast<uint32_t>(at.y())));
}

void ConnectControl(QWidget* control, ClientSurface* parent, int32_t id) {
  const intptr_t handle = reinterpret_cast<intptr_t>(AsHandle(control));
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    QObject::connect(button, &QAbstractButton::clicked, parent,
                     [parent, id, handle] { parent->Send(kWmCommand, MakeLong(id, kBnClicked), handle); });
  } else if (auto* bar = qobject_cast<QScrollBar*>(control)) {
    bar->setContextMenuPolicy(Qt::NoContextMenu);
    bar->installEventFilter(new WheelBlocker(bar));
    QObject::connect(bar, &QAbstractSlider::actionTriggered, parent,
                     [bar, parent](int action) { ReportScroll(bar, parent, action); });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, parent, [bar, parent, handle] {
      parent->Send(kWmHScroll, MakeLong(kSbThumbPosition, static_cast<uint32_t>(bar->sliderPosition())), handle);
      parent->Send(kWmHScroll, MakeLong(kSbEndScroll, 0), handle);
    });
  }
}

QtWindowActivity& QtActivity() {
  static QtWindowActivity activity;
  return activity;
}
