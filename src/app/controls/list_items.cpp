#include "app/controls/list_items.h"

#include <QContextMenuEvent>
#include <QPainter>

#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/notifier.h"
#include "platform/ui/tint_painting.h"

namespace varkon {

ListRowUI::ListRowUI(const char* className, QWidget* parent) : QWidget(parent) {
  ui::SetControlClassName(this, className);
}

void ListRowUI::SetSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  update();
}

bool ListRowUI::Activate() {
  if (!isEnabled()) return false;
  ui::RaiseNotification(this, "itemactivate");
  return true;
}

void ListRowUI::paintEvent(QPaintEvent*) {
  if (!hot_ || selected_) return;
  // The owning list's style gives the frame colour; without it no frame is drawn.
  for (const QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
    const QVariant entry = w->property(kItemHotBorderProperty);
    if (!entry.isValid()) continue;
    uint32_t argb = 0;
    if (!ui::ParseColour(entry.toString(), &argb) || argb == 0) return;
    QPainter painter(this);
    ui::DrawRect(painter, rect(), argb, 1);
    return;
  }
}

void ListRowUI::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (!isEnabled()) return;
  hot_ = true;
  update();
}

void ListRowUI::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  hot_ = false;
  update();
}

void ListRowUI::mouseDoubleClickEvent(QMouseEvent* event) {
  QWidget::mouseDoubleClickEvent(event);
  Activate();
}

void ListRowUI::contextMenuEvent(QContextMenuEvent* event) {
  if (!contextMenu_) {
    QWidget::contextMenuEvent(event);
    return;
  }
  ui::RaiseNotification(this, "menu", uintptr_t(event->pos().x()), intptr_t(event->pos().y()));
}

}  // namespace varkon
