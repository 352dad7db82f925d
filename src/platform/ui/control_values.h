// The state of the value-carrying controls: option buttons and their groups, combos with items
// carrying user data, sliders, progress bars and spin boxes, edits with their limits, and lists.
//
// Setters take `notify`: false (the default) changes the control without raising
// notifications; true raises what the same change by the user would.
#pragma once

#include <QString>

class QButtonGroup;
class QWidget;

namespace varkon::ui {

// The dynamic property that puts a button into an exclusive option group; skins set it in
// Designer ("group", a string).
inline constexpr const char* kOptionGroupProperty = "group";

// Options and check boxes. False when `button` is not a button.
bool SetChecked(QWidget* button, bool on, bool notify = false);
bool IsChecked(const QWidget* button);
// Puts `button` (made checkable) into the exclusive group `group` of `scope` (its window when
// null), leaving any group it was in. An empty name takes it out of its group.
bool SetOptionGroup(QWidget* button, const QString& group, QWidget* scope = nullptr);
QString OptionGroup(const QWidget* button);
// The group object of `group` under `scope`, or null.
QButtonGroup* FindOptionGroup(const QWidget* scope, const QString& group);
// Puts every button under `root` that carries the group property into its group under `root`.
void ApplyOptionGroups(QWidget* root);

// Combos. Items carry a text and user data. Indices out of range are refused.
int AddComboItem(QWidget* combo, const QString& text, const QString& userData = {});  // -1: no
bool InsertComboItem(QWidget* combo, int index, const QString& text, const QString& userData = {});
bool RemoveComboItem(QWidget* combo, int index);
void ClearCombo(QWidget* combo);
int ComboCount(const QWidget* combo);
int ComboIndex(const QWidget* combo);  // -1 when nothing is selected or not a combo
bool SetComboIndex(QWidget* combo, int index, bool notify = false);
QString ComboItemText(const QWidget* combo, int index);
QString ComboItemData(const QWidget* combo, int index);

// Sliders (any QAbstractSlider), progress bars and spin boxes. Values are kept in range.
bool SetValue(QWidget* control, int value, bool notify = false);
int Value(const QWidget* control);  // 0 for other controls
bool SetRange(QWidget* control, int minimum, int maximum);
int Minimum(const QWidget* control);
int Maximum(const QWidget* control);

// Line edits: the longest text accepted, and digits only (typed text; text set by code is
// taken as given).
bool SetMaxLength(QWidget* edit, int length);
int MaxLength(const QWidget* edit);  // -1 when not an edit
bool SetDigitsOnly(QWidget* edit, bool on);
bool IsDigitsOnly(const QWidget* edit);

// Lists (QListWidget or any item view): rows of the top level.
int ListCount(const QWidget* list);
int ListIndex(const QWidget* list);  // the current row, -1 for none
bool SelectListItem(QWidget* list, int row, bool notify = false);

}  // namespace varkon::ui
