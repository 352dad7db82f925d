// Finding controls of a loaded tree by name, and the class name a control reports.
#pragma once

#include <string>

class QString;
class QWidget;

namespace varkon::ui {

// The dynamic property that keeps a control's class name from the skin.
inline constexpr const char* kClassNameProperty = "varkonClass";

// The first control named `name` (objectName, compared without regard to case): `root` itself,
// then its descendants depth first. Null when there is none, or when `root` is null or the name
// is empty.
QWidget* FindControl(const QWidget* root, const QString& name);

// The control's name as UTF-8.
std::string ControlName(const QWidget* control);

// The class name the control was created under: our registered name for our own classes
// ("DeviceKeyButton"), the skin's class for the others, else the Qt class name. Empty for null.
QString ControlClassName(const QWidget* control);
// Records `className` as the control's reported class name (done by the skin loader; code that
// creates our controls itself calls it too).
void SetControlClassName(QWidget* control, const QString& className);

// True for the names Qt gives to the inner parts of its own widgets ("qt_spinbox_lineedit").
bool IsInternalName(const QString& name);

}  // namespace varkon::ui
