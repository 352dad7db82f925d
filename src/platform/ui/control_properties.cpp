#include "platform/ui/control_properties.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QString>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>
#include <optional>

#include "platform/ui/notifier.h"

namespace varkon::ui {

namespace {

// The Qt property of `control` named `name` in any case, or -1.
int FindProperty(const QWidget* control, const QString& name) {
  const QMetaObject* meta = control->metaObject();
  for (int i = 0; i < meta->propertyCount(); ++i) {
    if (name.compare(QLatin1String(meta->property(i).name()), Qt::CaseInsensitive) == 0) {
      return i;
    }
  }
  return -1;
}

// The dynamic property of `control` named `name` in any case, as it is spelt there.
QByteArray FindDynamicProperty(const QWidget* control, const QString& name) {
  for (const QByteArray& existing : control->dynamicPropertyNames()) {
    if (name.compare(QString::fromLatin1(existing), Qt::CaseInsensitive) == 0) return existing;
  }
  return {};
}

}  // namespace

bool SetText(QWidget* control, const QString& text) {
  if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(text);
  } else if (auto* textEdit = qobject_cast<QTextEdit*>(control)) {
    textEdit->setPlainText(text);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
    plain->setPlainText(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
    QuietNotifications quiet;
    combo->setCurrentText(text);
  } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
    box->setTitle(text);
  } else if (control != nullptr && control->isWindow()) {
    control->setWindowTitle(text);
  } else {
    return false;
  }
  return true;
}

QString Text(const QWidget* control) {
  if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
  if (auto* textEdit = qobject_cast<const QTextEdit*>(control)) return textEdit->toPlainText();
  if (auto* plain = qobject_cast<const QPlainTextEdit*>(control)) return plain->toPlainText();
  if (auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
  if (auto* box = qobject_cast<const QGroupBox*>(control)) return box->title();
  if (control != nullptr && control->isWindow()) return control->windowTitle();
  return {};
}

void SetToolTip(QWidget* control, const QString& text) {
  if (control != nullptr) control->setToolTip(text);
}

QString ToolTip(const QWidget* control) {
  return control == nullptr ? QString() : control->toolTip();
}

void SetUserData(QWidget* control, const QString& data) {
  if (control != nullptr) control->setProperty(kUserDataProperty, data);
}

QString UserData(const QWidget* control) {
  return control == nullptr ? QString() : control->property(kUserDataProperty).toString();
}

void SetTag(QWidget* control, uint64_t tag) {
  if (control != nullptr) control->setProperty(kTagProperty, QVariant::fromValue<qulonglong>(tag));
}

uint64_t Tag(const QWidget* control) {
  return control == nullptr ? 0 : control->property(kTagProperty).toULongLong();
}

void SetVisible(QWidget* control, bool visible) {
  if (control != nullptr) control->setVisible(visible);
}

bool IsVisible(const QWidget* control) {
  return control != nullptr && !control->isHidden();
}

void SetEnabled(QWidget* control, bool enabled) {
  if (control != nullptr) control->setEnabled(enabled);
}

bool IsEnabled(const QWidget* control) {
  return control != nullptr && !control->testAttribute(Qt::WA_ForceDisabled);
}

void SetFocus(QWidget* control, bool notify) {
  if (control == nullptr) return;
  std::optional<QuietNotifications> quiet;
  if (!notify) quiet.emplace();
  control->setFocus(Qt::OtherFocusReason);
}

bool HasFocus(const QWidget* control) {
  return control != nullptr && control->hasFocus();
}

void SetPosition(QWidget* control, const QRect& rect) {
  if (control != nullptr) control->setGeometry(rect);
}

QRect Position(const QWidget* control) {
  return control == nullptr ? QRect() : control->geometry();
}

bool SetAttribute(QWidget* control, const QString& name, const QVariant& value) {
  if (control == nullptr || name.isEmpty()) return false;
  const int index = FindProperty(control, name);
  if (index >= 0) {
    QMetaProperty property = control->metaObject()->property(index);
    if (!property.isWritable()) return false;
    QVariant converted = value;
    if (converted.metaType() != property.metaType() && !converted.convert(property.metaType())) {
      return false;
    }
    return property.write(control, converted);
  }
  QByteArray dynamicName = FindDynamicProperty(control, name);
  if (dynamicName.isEmpty()) dynamicName = name.toUtf8();
  control->setProperty(dynamicName.constData(), value);
  return true;
}

QVariant Attribute(const QWidget* control, const QString& name) {
  if (control == nullptr || name.isEmpty()) return {};
  const int index = FindProperty(control, name);
  if (index >= 0) return control->metaObject()->property(index).read(control);
  const QByteArray dynamicName = FindDynamicProperty(control, name);
  return dynamicName.isEmpty() ? QVariant() : control->property(dynamicName.constData());
}

}  // namespace varkon::ui
