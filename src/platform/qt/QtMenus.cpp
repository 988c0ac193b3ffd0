// Qt adapter: the menu bar.
//
// Implements a top-level window's menu bar from its class's menu rows
// (popups, items with & mnemonics, separators, greyed items) and
// EnableMenuCommand. A chosen item sends WM_COMMAND with its id.
//
// Differs from Win32: Qt has no right-justified popup, so the Help popup sits
// in a second bar in the menu bar's right corner.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "platform/qt/QtWindowTypes.h"

namespace {

constexpr char kCommandProperty[] = "varnotekCommand";

}  // namespace

void BuildMenuBar(TopLevelFrame* frame, const MenuResource& menu) {
  QMenuBar* bar = frame->menuBar();
  auto* surface = static_cast<ClientSurface*>(frame->centralWidget());
  QMenuBar* rightBar = nullptr;
  QMenu* popup = nullptr;
  for (int32_t index = 0; index < menu.rowCount; ++index) {
    const MenuRow& row = menu.rows[index];
    switch (row.kind) {
      case MenuRowKind::Popup:
        if (row.rightAligned) {
          if (rightBar == nullptr) {
            rightBar = new QMenuBar(bar);
            bar->setCornerWidget(rightBar, Qt::TopRightCorner);
          }
          popup = rightBar->addMenu(QString::fromLatin1(row.caption));
        } else {
          popup = bar->addMenu(QString::fromLatin1(row.caption));
        }
        break;
      case MenuRowKind::Separator:
        if (popup != nullptr) popup->addSeparator();
        break;
      case MenuRowKind::Item: {
        if (popup == nullptr) break;
        QAction* action = popup->addAction(QString::fromLatin1(row.caption));
        action->setEnabled(!row.startsGreyed);
        action->setProperty(kCommandProperty, static_cast<int>(row.id));
        const uint32_t id = row.id;
        QObject::connect(action, &QAction::triggered, surface,
                         [surface, id] { surface->Send(kWmCommand, MakeLong(id, 0), 0); });
        break;
      }
    }
  }
}

void EnableMenuCommand(WindowHandle window, int32_t id, bool enabled) {
  QWidget* frame = AsWidget(window)->window();
  for (QAction* action : frame->findChildren<QAction*>()) {
    if (action->property(kCommandProperty).toInt() == id && !action->menu()) action->setEnabled(enabled);
  }
}
