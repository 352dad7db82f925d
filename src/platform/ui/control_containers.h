// Containers and their items. A container is a stacked widget or tab widget (its pages), a
// scroll area (the items of the widget it scrolls), a widget with a layout (the widgets of the
// layout, in layout order) or a widget without one (its child widgets, in stacking order).
#pragma once

class QWidget;

namespace varkon::ui {

int ItemCount(const QWidget* container);
QWidget* ItemAt(const QWidget* container, int index);            // null when out of range
int IndexOfItem(const QWidget* container, const QWidget* item);  // -1 when not an item

// `item` becomes the last item (or the one at `index`, 0..count) and is shown. False for a
// null argument, an index out of range, or a layout that cannot insert (grid and form layouts
// only append).
bool AddItem(QWidget* container, QWidget* item);
bool InsertItem(QWidget* container, int index, QWidget* item);
// Takes `item` out of the container. With `destroy` it is deleted once control returns to the
// event loop (so a handler may remove the control that notified it); otherwise it is left
// without a parent and the caller owns it.
bool RemoveItem(QWidget* container, QWidget* item, bool destroy = true);
void RemoveAllItems(QWidget* container, bool destroy = true);

// Tab layouts (stacked widget, tab widget): the page shown.
bool SelectPage(QWidget* tabs, int index);
int CurrentPage(const QWidget* tabs);  // -1 for none or not a tab layout

}  // namespace varkon::ui
