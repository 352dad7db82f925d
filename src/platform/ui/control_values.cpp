#include "platform/ui/control_values.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QButtonGroup>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QString>
#include <QVariant>
#include <optional>

#include "platform/ui/notifier.h"

namespace varkon::ui {

namespace {

constexpr const char* kGroupObjectPrefix = "varkon_option_group:";
constexpr const char* kDigitsValidatorName = "varkon_digits_only";

// Runs `change` quietly unless `notify` is set.
template <typename Fn>
void RunChange(bool notify, Fn&& change) {
  std::optional<QuietNotifications> quiet;
  if (!notify) quiet.emplace();
  change();
}

QComboBox* AsCombo(QWidget* w) {
  return qobject_cast<QComboBox*>(w);
}
const QComboBox* AsCombo(const QWidget* w) {
  return qobject_cast<const QComboBox*>(w);
}

}  // namespace

bool SetChecked(QWidget* button, bool on, bool notify) {
  auto* b = qobject_cast<QAbstractButton*>(button);
  if (b == nullptr) return false;
  RunChange(notify, [&] {
    QButtonGroup* group = b->group();
    if (!on && b->isChecked() && (group != nullptr ? group->exclusive() : b->autoExclusive())) {
      // An exclusive group keeps its checked button; an option can still be cleared by code.
      if (group != nullptr) {
        group->setExclusive(false);
        b->setChecked(false);
        group->setExclusive(true);
      } else {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
      }
    } else {
      b->setChecked(on);
    }
  });
  return true;
}

bool IsChecked(const QWidget* button) {
  const auto* b = qobject_cast<const QAbstractButton*>(button);
  return b != nullptr && b->isChecked();
}

QButtonGroup* FindOptionGroup(const QWidget* scope, const QString& group) {
  if (scope == nullptr || group.isEmpty()) return nullptr;
  return scope->findChild<QButtonGroup*>(QLatin1String(kGroupObjectPrefix) + group,
                                         Qt::FindDirectChildrenOnly);
}

bool SetOptionGroup(QWidget* button, const QString& group, QWidget* scope) {
  auto* b = qobject_cast<QAbstractButton*>(button);
  if (b == nullptr) return false;
  if (b->group() != nullptr) b->group()->removeButton(b);
  b->setProperty(kOptionGroupProperty, group.isEmpty() ? QVariant() : QVariant(group));
  if (group.isEmpty()) return true;
  if (scope == nullptr) scope = b->window();
  QButtonGroup* buttons = FindOptionGroup(scope, group);
  if (buttons == nullptr) {
    buttons = new QButtonGroup(scope);
    buttons->setObjectName(QLatin1String(kGroupObjectPrefix) + group);
    buttons->setExclusive(true);
  }
  b->setCheckable(true);
  buttons->addButton(b);
  return true;
}

QString OptionGroup(const QWidget* button) {
  return button == nullptr ? QString() : button->property(kOptionGroupProperty).toString();
}

void ApplyOptionGroups(QWidget* root) {
  if (root == nullptr) return;
  QList<QAbstractButton*> buttons = root->findChildren<QAbstractButton*>();
  if (auto* self = qobject_cast<QAbstractButton*>(root)) buttons.prepend(self);
  for (QAbstractButton* button : buttons) {
    const QString group = OptionGroup(button);
    if (!group.isEmpty()) SetOptionGroup(button, group, root);
  }
}

int AddComboItem(QWidget* combo, const QString& text, const QString& userData) {
  QComboBox* c = AsCombo(combo);
  if (c == nullptr) return -1;
  QuietNotifications quiet;
  c->addItem(text, userData);
  return c->count() - 1;
}

bool InsertComboItem(QWidget* combo, int index, const QString& text, const QString& userData) {
  QComboBox* c = AsCombo(combo);
  if (c == nullptr || index < 0 || index > c->count()) return false;
  QuietNotifications quiet;
  c->insertItem(index, text, userData);
  return true;
}

bool RemoveComboItem(QWidget* combo, int index) {
  QComboBox* c = AsCombo(combo);
  if (c == nullptr || index < 0 || index >= c->count()) return false;
  QuietNotifications quiet;
  c->removeItem(index);
  return true;
}

void ClearCombo(QWidget* combo) {
  if (QComboBox* c = AsCombo(combo)) {
    QuietNotifications quiet;
    c->clear();
  }
}

int ComboCount(const QWidget* combo) {
  const QComboBox* c = AsCombo(combo);
  return c == nullptr ? 0 : c->count();
}

int ComboIndex(const QWidget* combo) {
  const QComboBox* c = AsCombo(combo);
  return c == nullptr ? -1 : c->currentIndex();
}

bool SetComboIndex(QWidget* combo, int index, bool notify) {
  QComboBox* c = AsCombo(combo);
  if (c == nullptr || index < 0 || index >= c->count()) return false;
  {
    QuietNotifications quiet;
    c->setCurrentIndex(index);
  }
  if (notify) RaiseNotification(c, "itemselect", static_cast<uintptr_t>(index));
  return true;
}

QString ComboItemText(const QWidget* combo, int index) {
  const QComboBox* c = AsCombo(combo);
  if (c == nullptr || index < 0 || index >= c->count()) return {};
  return c->itemText(index);
}

QString ComboItemData(const QWidget* combo, int index) {
  const QComboBox* c = AsCombo(combo);
  if (c == nullptr || index < 0 || index >= c->count()) return {};
  return c->itemData(index).toString();
}

bool SetValue(QWidget* control, int value, bool notify) {
  if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
    {
      QuietNotifications quiet;
      slider->setValue(value);
    }
    if (notify) RaiseNotification(slider, "valuechanged", static_cast<uintptr_t>(slider->value()));
    return true;
  }
  if (auto* progress = qobject_cast<QProgressBar*>(control)) {
    progress->setValue(qBound(progress->minimum(), value, progress->maximum()));
    return true;
  }
  if (auto* spin = qobject_cast<QSpinBox*>(control)) {
    {
      QuietNotifications quiet;
      spin->setValue(value);
    }
    if (notify) RaiseNotification(spin, "valuechanged", static_cast<uintptr_t>(spin->value()));
    return true;
  }
  return false;
}

int Value(const QWidget* control) {
  if (auto* slider = qobject_cast<const QAbstractSlider*>(control)) return slider->value();
  if (auto* progress = qobject_cast<const QProgressBar*>(control)) return progress->value();
  if (auto* spin = qobject_cast<const QSpinBox*>(control)) return spin->value();
  return 0;
}

bool SetRange(QWidget* control, int minimum, int maximum) {
  if (minimum > maximum) return false;
  QuietNotifications quiet;  // a value pulled into the new range is not the user's
  if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
    slider->setRange(minimum, maximum);
  } else if (auto* progress = qobject_cast<QProgressBar*>(control)) {
    progress->setRange(minimum, maximum);
  } else if (auto* spin = qobject_cast<QSpinBox*>(control)) {
    spin->setRange(minimum, maximum);
  } else {
    return false;
  }
  return true;
}

int Minimum(const QWidget* control) {
  if (auto* slider = qobject_cast<const QAbstractSlider*>(control)) return slider->minimum();
  if (auto* progress = qobject_cast<const QProgressBar*>(control)) return progress->minimum();
  if (auto* spin = qobject_cast<const QSpinBox*>(control)) return spin->minimum();
  return 0;
}

int Maximum(const QWidget* control) {
  if (auto* slider = qobject_cast<const QAbstractSlider*>(control)) return slider->maximum();
  if (auto* progress = qobject_cast<const QProgressBar*>(control)) return progress->maximum();
  if (auto* spin = qobject_cast<const QSpinBox*>(control)) return spin->maximum();
  return 0;
}

bool SetMaxLength(QWidget* edit, int length) {
  auto* e = qobject_cast<QLineEdit*>(edit);
  if (e == nullptr || length < 0) return false;
  e->setMaxLength(length);
  return true;
}

int MaxLength(const QWidget* edit) {
  const auto* e = qobject_cast<const QLineEdit*>(edit);
  return e == nullptr ? -1 : e->maxLength();
}

bool SetDigitsOnly(QWidget* edit, bool on) {
  auto* e = qobject_cast<QLineEdit*>(edit);
  if (e == nullptr) return false;
  if (on == IsDigitsOnly(e)) return true;
  if (on) {
    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e);
    digits->setObjectName(QLatin1String(kDigitsValidatorName));
    e->setValidator(digits);
  } else {
    const QValidator* digits = e->validator();
    e->setValidator(nullptr);
    delete digits;
  }
  return true;
}

bool IsDigitsOnly(const QWidget* edit) {
  const auto* e = qobject_cast<const QLineEdit*>(edit);
  return e != nullptr && e->validator() != nullptr &&
         e->validator()->objectName() == QLatin1String(kDigitsValidatorName);
}

int ListCount(const QWidget* list) {
  const auto* view = qobject_cast<const QAbstractItemView*>(list);
  if (view == nullptr || view->model() == nullptr) return 0;
  return view->model()->rowCount(view->rootIndex());
}

int ListIndex(const QWidget* list) {
  const auto* view = qobject_cast<const QAbstractItemView*>(list);
  if (view == nullptr) return -1;
  const QModelIndex current = view->currentIndex();
  return current.isValid() ? current.row() : -1;
}

bool SelectListItem(QWidget* list, int row, bool notify) {
  auto* view = qobject_cast<QAbstractItemView*>(list);
  if (view == nullptr || view->model() == nullptr || row < -1 || row >= ListCount(view)) {
    return false;
  }
  RunChange(notify, [&] {
    if (auto* widget = qobject_cast<QListWidget*>(view)) {
      widget->setCurrentRow(row);
    } else if (row < 0) {
      view->setCurrentIndex(QModelIndex());
    } else {
      view->setCurrentIndex(view->model()->index(row, 0, view->rootIndex()));
    }
  });
  return true;
}

}  // namespace varkon::ui
