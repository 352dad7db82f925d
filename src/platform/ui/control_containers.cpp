#include "platform/ui/control_containers.h"

#include <QBoxLayout>
#include <QLayout>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

#include "platform/ui/control_find.h"

namespace varkon::ui {

namespace {

// The widget whose items a container holds (a scroll area holds those of its content).
const QWidget* Holder(const QWidget* container) {
  if (auto* scroll = qobject_cast<const QScrollArea*>(container)) return scroll->widget();
  return container;
}
QWidget* Holder(QWidget* container) {
  return const_cast<QWidget*>(Holder(static_cast<const QWidget*>(container)));
}

QList<QWidget*> Items(const QWidget* container) {
  QList<QWidget*> items;
  const QWidget* holder = Holder(container);
  if (holder == nullptr) return items;
  if (auto* stack = qobject_cast<const QStackedWidget*>(holder)) {
    for (int i = 0; i < stack->count(); ++i) items.append(stack->widget(i));
  } else if (auto* tabs = qobject_cast<const QTabWidget*>(holder)) {
    for (int i = 0; i < tabs->count(); ++i) items.append(tabs->widget(i));
  } else if (QLayout* layout = holder->layout()) {
    for (int i = 0; i < layout->count(); ++i) {
      if (QWidget* w = layout->itemAt(i)->widget()) items.append(w);
    }
  } else {
    for (QObject* child : holder->children()) {
      auto* w = qobject_cast<QWidget*>(child);
      if (w != nullptr && !w->isWindow() && !IsInternalName(w->objectName())) items.append(w);
    }
  }
  return items;
}

// The layout position of the index-th widget item (spacers and stretches are passed over), or
// the layout's count for the end.
int LayoutPosition(QLayout* layout, int index) {
  int widgets = 0;
  for (int i = 0; i < layout->count(); ++i) {
    if (layout->itemAt(i)->widget() == nullptr) continue;
    if (widgets == index) return i;
    ++widgets;
  }
  return layout->count();
}

}  // namespace

int ItemCount(const QWidget* container) {
  return static_cast<int>(Items(container).size());
}

QWidget* ItemAt(const QWidget* container, int index) {
  const QList<QWidget*> items = Items(container);
  return index >= 0 && index < items.size() ? items[index] : nullptr;
}

int IndexOfItem(const QWidget* container, const QWidget* item) {
  if (item == nullptr) return -1;
  return static_cast<int>(Items(container).indexOf(const_cast<QWidget*>(item)));
}

bool AddItem(QWidget* container, QWidget* item) {
  return InsertItem(container, ItemCount(container), item);
}

bool InsertItem(QWidget* container, int index, QWidget* item) {
  QWidget* holder = container == nullptr ? nullptr : Holder(container);
  if (holder == nullptr || item == nullptr || item == holder) return false;
  const int count = ItemCount(container);
  if (index < 0 || index > count || IndexOfItem(container, item) >= 0) return false;
  if (auto* stack = qobject_cast<QStackedWidget*>(holder)) {
    stack->insertWidget(index, item);
  } else if (auto* tabs = qobject_cast<QTabWidget*>(holder)) {
    tabs->insertTab(index, item, item->objectName());
  } else if (QLayout* layout = holder->layout()) {
    if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
      box->insertWidget(LayoutPosition(box, index), item);
    } else if (index == count) {
      layout->addWidget(item);
    } else {
      return false;
    }
  } else {
    QWidget* before = index < count ? ItemAt(container, index) : nullptr;
    item->setParent(holder);
    if (before != nullptr) item->stackUnder(before);
  }
  item->show();
  return true;
}

bool RemoveItem(QWidget* container, QWidget* item, bool destroy) {
  if (IndexOfItem(container, item) < 0) return false;
  QWidget* holder = Holder(container);
  if (auto* stack = qobject_cast<QStackedWidget*>(holder)) {
    stack->removeWidget(item);
  } else if (auto* tabs = qobject_cast<QTabWidget*>(holder)) {
    tabs->removeTab(tabs->indexOf(item));
  } else if (QLayout* layout = holder->layout()) {
    layout->removeWidget(item);
  }
  item->hide();
  item->setParent(nullptr);
  if (destroy) item->deleteLater();
  return true;
}

void RemoveAllItems(QWidget* container, bool destroy) {
  for (QWidget* item : Items(container)) RemoveItem(container, item, destroy);
}

bool SelectPage(QWidget* tabs, int index) {
  if (auto* stack = qobject_cast<QStackedWidget*>(tabs)) {
    if (index < 0 || index >= stack->count()) return false;
    stack->setCurrentIndex(index);
    return true;
  }
  if (auto* tabWidget = qobject_cast<QTabWidget*>(tabs)) {
    if (index < 0 || index >= tabWidget->count()) return false;
    tabWidget->setCurrentIndex(index);
    return true;
  }
  return false;
}

int CurrentPage(const QWidget* tabs) {
  if (auto* stack = qobject_cast<const QStackedWidget*>(tabs)) return stack->currentIndex();
  if (auto* tabWidget = qobject_cast<const QTabWidget*>(tabs)) return tabWidget->currentIndex();
  return -1;
}

}  // namespace varkon::ui
