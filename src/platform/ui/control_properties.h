// The common properties of every control: text, tool tip, user data, tag, visibility, enabled
// state, focus, position and size, and any attribute by name.
#pragma once

#include <QRect>
#include <cstdint>

class QString;
class QVariant;
class QWidget;

namespace varkon::ui {

inline constexpr const char* kUserDataProperty = "userData";
inline constexpr const char* kTagProperty = "tag";

// The text of labels, buttons, edits, combos (their current text), group boxes and windows
// (their title). False when the control has no text.
bool SetText(QWidget* control, const QString& text);
QString Text(const QWidget* control);

void SetToolTip(QWidget* control, const QString& text);
QString ToolTip(const QWidget* control);

// A string and a number the program keeps with a control.
void SetUserData(QWidget* control, const QString& data);
QString UserData(const QWidget* control);
void SetTag(QWidget* control, uint64_t tag);
uint64_t Tag(const QWidget* control);

// The control's own flags, whatever its parents' are.
void SetVisible(QWidget* control, bool visible);
bool IsVisible(const QWidget* control);
void SetEnabled(QWidget* control, bool enabled);
bool IsEnabled(const QWidget* control);

// Gives `control` the keyboard focus; "setfocus"/"killfocus" are raised only when `notify`.
void SetFocus(QWidget* control, bool notify = false);
bool HasFocus(const QWidget* control);

// Position and size relative to the parent.
void SetPosition(QWidget* control, const QRect& rect);
QRect Position(const QWidget* control);

// A property by name, compared without regard to case: a Qt property when the control has one
// of that name, else a dynamic property (which skins set with stdset="0"). Setting a Qt
// property converts the value to its type; false when that fails.
bool SetAttribute(QWidget* control, const QString& name, const QVariant& value);
QVariant Attribute(const QWidget* control, const QString& name);

}  // namespace varkon::ui
