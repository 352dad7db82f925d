#include "platform/ui/control_find.h"

#include <QString>
#include <QVariant>
#include <QWidget>

namespace varkon::ui {

QWidget* FindControl(const QWidget* root, const QString& name) {
  if (root == nullptr || name.isEmpty()) return nullptr;
  if (root->objectName().compare(name, Qt::CaseInsensitive) == 0) {
    return const_cast<QWidget*>(root);
  }
  const QList<QWidget*> descendants = root->findChildren<QWidget*>();
  for (QWidget* control : descendants) {
    if (control->objectName().compare(name, Qt::CaseInsensitive) == 0) return control;
  }
  return nullptr;
}

std::string ControlName(const QWidget* control) {
  return control == nullptr ? std::string() : control->objectName().toStdString();
}

QString ControlClassName(const QWidget* control) {
  if (control == nullptr) return {};
  const QVariant stored = control->property(kClassNameProperty);
  if (stored.isValid() && !stored.toString().isEmpty()) return stored.toString();
  return QString::fromLatin1(control->metaObject()->className());
}

void SetControlClassName(QWidget* control, const QString& className) {
  if (control != nullptr) control->setProperty(kClassNameProperty, className);
}

bool IsInternalName(const QString& name) {
  return name.startsWith(QLatin1String("qt_"));
}

}  // namespace varkon::ui
