#include "editors/key_set_control.h"

#include <QComboBox>
#include <QListView>
#include <QStandardItemModel>

#include "devices/key_tables.h"
#include "platform/ui/control_containers.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_values.h"
#include "platform/ui/language_text.h"

namespace varkon {

namespace {

constexpr const char* kLayout = "keyset_layout";
constexpr const char* kFunctionCombo = "keyset_function_combo";
constexpr const char* kFunctionPages = "function_switch_tablayout";
constexpr const char* kSaveButton = "key_butt_keysave";
constexpr const char* kCancelButton = "key_butt_keycancel";
constexpr const char* kWriteButton = "key_butt_prosave";
constexpr const char* kMouseKeyCombo = "keyset_mousekey_combo";
constexpr const char* kSwingCombo = "keyset_mouseswing_combo";
constexpr const char* kSwingCount = "keyset_mouseswing_num_edit";
constexpr const char* kSwingDelay = "keyset_mouseswing_delay_edit";
constexpr const char* kSwingSpeed = "keyset_mouseswing_speed_edit";
constexpr const char* kWheelCombo = "keyset_mousewheel_combo";
constexpr const char* kWheelCount = "keyset_mousewheel_num_edit";
constexpr const char* kWheelDelay = "keyset_mousewheel_delay_edit";
constexpr const char* kWheelSpeed = "keyset_mousewheel_speed_edit";
constexpr const char* kDpiCombo = "keyset_mousedpi_combo";
constexpr const char* kFireInterval = "keyset_mousefire_interval_edit";
constexpr const char* kFireCount = "keyset_mousefire_num_edit";
constexpr const char* kCaptureEdit = "keyset_keyboard_text_edit";
constexpr const char* kMediaCombo = "keyset_media_combo";
constexpr const char* kSystemCombo = "keyset_system_combo";
constexpr const char* kMacroCombo = "keyset_macro_combo";
constexpr const char* kPlayModeCombo = "keyset_macro_over_combo";
constexpr const char* kRepeatLayout = "keyset_macro_cycle_layout";
constexpr const char* kRepeatEdit = "keyset_macro_cycle_edit";
constexpr const char* kRecoilCombo = "keyset_gunkey_combo";
constexpr const char* kCombinationCombo = "keyset_combokey_combo";
constexpr const char* kPickerPrefix = "keyboard_key_";
constexpr const char* kModifierPrefix = "key_ComBox_check_";

constexpr int kMacroItemHeight = 30;
constexpr int kRecoilEntries = 10;
// The item role that keeps a list item's text id, so a language change can show it again.
constexpr int kTextIdRole = Qt::UserRole + 1;

// The function list's items: their text ids, in function-number order.
constexpr const char* kFunctionTexts[kFunctionCount] = {
    "keyset_func_default", "keyset_func_mouse", "keyset_func_swing",  "keyset_func_wheel",
    "keyset_func_dpi",     "keyset_func_fire",  "keyset_func_key",    "keyset_func_media",
    "keyset_func_system",  "keyset_func_macro", "keyset_func_recoil", "keyset_func_combo"};
constexpr const char* kSwingTexts[] = {"keyset_dir_left", "keyset_dir_right"};
constexpr const char* kWheelTexts[] = {"keyset_dir_up", "keyset_dir_down"};
constexpr const char* kPlayModeTexts[] = {"keyset_play_0", "keyset_play_1", "keyset_play_2",
                                          "keyset_play_3", "keyset_play_4"};

QString Text(const char* id) {
  return QString::fromStdString(LanguageText(id));
}

void AddTextItem(QWidget* combo, const char* id, const QString& userData = {}) {
  auto* c = qobject_cast<QComboBox*>(combo);
  if (c == nullptr) return;
  const int index = ui::AddComboItem(c, Text(id), userData);
  c->setItemData(index, QString::fromLatin1(id), kTextIdRole);
}

template <size_t N>
void FillFromTable(QWidget* combo, const std::array<KeyRow, N>& table) {
  if (combo == nullptr) return;
  ui::ClearCombo(combo);
  for (const KeyRow& row : table) AddTextItem(combo, row.labelKey);
  ui::SetComboIndex(combo, 0);
}

void FillFromIds(QWidget* combo, std::initializer_list<const char*> ids) {
  if (combo == nullptr) return;
  ui::ClearCombo(combo);
  for (const char* id : ids) AddTextItem(combo, id);
  ui::SetComboIndex(combo, 0);
}

// Hidden items are also disabled, so that neither the keys nor the wheel land on them.
void SetItemShown(QWidget* control, int index, bool shown) {
  auto* combo = qobject_cast<QComboBox*>(control);
  if (combo == nullptr || index < 0) return;
  if (auto* view = qobject_cast<QListView*>(combo->view())) view->setRowHidden(index, !shown);
  if (auto* model = qobject_cast<QStandardItemModel*>(combo->model())) {
    if (QStandardItem* item = model->item(index)) item->setEnabled(shown);
  }
}

int ReadNumber(const QWidget* edit) {
  return EditNumber(ui::Text(edit).toStdString());
}

void ShowNumber(QWidget* edit, int value) {
  ui::SetText(edit, QString::number(value));
}

}  // namespace

CKeySetControlUI::CKeySetControlUI(QWidget* parent) : QWidget(parent) {
  ui::SetControlClassName(this, kKeySetControlClass);
}

QWidget* CKeySetControlUI::Control(const QString& name) const {
  QPointer<QWidget>& found = controls_[name];
  if (found.isNull()) found = ui::FindControl(this, name);
  return found.data();
}

QWidget* CKeySetControlUI::Picker(int n) const {
  return Control(QString::asprintf("%s%d", kPickerPrefix, n));
}

QWidget* CKeySetControlUI::Modifier(int n) const {
  return Control(QString::asprintf("%s%d", kModifierPrefix, n));
}

void CKeySetControlUI::Attach(int deviceKind, QWidget* window) {
  deviceKind_ = deviceKind;
  window_ = window;
  FillLists();
  for (const char* name : {kSwingCount, kSwingDelay, kSwingSpeed, kWheelCount, kWheelDelay,
                           kWheelSpeed, kFireInterval, kFireCount, kRepeatEdit}) {
    ui::SetDigitsOnly(Control(name), true);
  }
  ResetControls();
  ShowSlot(record_.main);
}

void CKeySetControlUI::FillLists() {
  QWidget* functions = Control(kFunctionCombo);
  if (functions != nullptr) {
    ui::ClearCombo(functions);
    for (int f = 0; f < kFunctionCount; ++f)
      AddTextItem(functions, kFunctionTexts[f], QString::number(f));
    // A keyboard has no DPI and no recoil key.
    const bool keyboard = deviceKind_ == kKindKeyboard;
    SetItemShown(functions, FunctionItemFor(kFunctionDpi), !keyboard);
    SetItemShown(functions, FunctionItemFor(kFunctionRecoil), !keyboard);
  }
  FillFromTable(Control(kMouseKeyCombo), MouseButtonTable());
  FillFromTable(Control(kDpiCombo), DpiTable());
  FillFromTable(Control(kMediaCombo), MediaTable());
  FillFromTable(Control(kSystemCombo), SystemTable());
  FillFromTable(Control(kCombinationCombo), CombinationKeyTable());
  FillFromIds(Control(kSwingCombo), {kSwingTexts[0], kSwingTexts[1]});
  FillFromIds(Control(kWheelCombo), {kWheelTexts[0], kWheelTexts[1]});
  FillFromIds(Control(kPlayModeCombo), {kPlayModeTexts[0], kPlayModeTexts[1], kPlayModeTexts[2],
                                        kPlayModeTexts[3], kPlayModeTexts[4]});
  if (QWidget* recoil = Control(kRecoilCombo)) {
    ui::ClearCombo(recoil);
    for (int i = 1; i <= kRecoilEntries; ++i) {
      ui::AddComboItem(recoil, Text("keyset_recoil_entry") + " " + QString::number(i));
    }
  }
}

void CKeySetControlUI::Retranslate() {
  for (const char* name : {kFunctionCombo, kMouseKeyCombo, kDpiCombo, kMediaCombo, kSystemCombo,
                           kCombinationCombo, kSwingCombo, kWheelCombo, kPlayModeCombo}) {
    auto* combo = qobject_cast<QComboBox*>(Control(name));
    if (combo == nullptr) continue;
    for (int i = 0; i < combo->count(); ++i) {
      const QString id = combo->itemData(i, kTextIdRole).toString();
      if (!id.isEmpty())
        combo->setItemText(i, QString::fromStdString(LanguageText(id.toStdString())));
    }
  }
  if (auto* recoil = qobject_cast<QComboBox*>(Control(kRecoilCombo))) {
    for (int i = 0; i < recoil->count(); ++i) {
      recoil->setItemText(i, Text("keyset_recoil_entry") + " " + QString::number(i + 1));
    }
  }
}

void CKeySetControlUI::SetMacroNames(const std::vector<std::string>& names) {
  macroCount_ = names.size();
  auto* combo = qobject_cast<QComboBox*>(Control(kMacroCombo));
  if (combo == nullptr) return;
  ui::ClearCombo(combo);
  for (const std::string& name : names) {
    const int index = ui::AddComboItem(combo, QString::fromStdString(name));
    combo->setItemData(index, QSize(0, kMacroItemHeight), Qt::SizeHintRole);
  }
  ui::SetComboIndex(combo, -1);
}

void CKeySetControlUI::ShowRecord(const KeyAssignmentRecord& record, bool fnLayer) {
  record_ = record;
  ShowSlot(fnLayer ? record_.fn : record_.main);
}

void CKeySetControlUI::ShowDefault() {
  ShowSlot(record_.defaultSlot);
}

void CKeySetControlUI::ShowCurrent() {
  ShowSlot(record_.main);
}

void CKeySetControlUI::ShowSlot(const AssignmentSlot& slot) {
  SetCapturedText({});
  ShowState(DecodeAssignment(slot.code, macroCount_, ReadControls()));
}

KeyAssignmentRecord CKeySetControlUI::Encode(bool fnLayer) {
  const KeyEditorState state = ReadControls();
  // A key typed into the capture edit that no picker key stands for (a key with modifiers)
  // stays in the slot: on the keyboard-key page the picker otherwise decides.
  if (state.function == kFunctionKeyboardKey && state.pickerKey < 0 && !CapturedText().isEmpty()) {
    return record_;
  }
  record_ = EncodeIntoRecord(state, macroCount_, record_, fnLayer);
  return record_;
}

void CKeySetControlUI::SetSlot(AssignmentCode code, bool fnLayer) {
  (fnLayer ? record_.fn : record_.main).code = code;
}

void CKeySetControlUI::ResetControls() {
  ShowState(ResetEditorControls());
}

void CKeySetControlUI::SelectPicker(int n) {
  for (int i = 0; i < kPickerKeyCount; ++i) {
    if (QWidget* key = Picker(i); key != nullptr && i != n) ui::SetChecked(key, false);
  }
  if (n >= 0 && n < kPickerKeyCount) ui::SetChecked(Picker(n), true);
}

int CKeySetControlUI::PickerIndex() const {
  for (int i = 0; i < kPickerKeyCount; ++i) {
    if (ui::IsChecked(Picker(i))) return i;
  }
  return 0;
}

void CKeySetControlUI::SelectModifier(int n) {
  for (int i = 0; i < kModifierOptionCount; ++i) ui::SetChecked(Modifier(i), false);
  if (n >= 0 && n < kModifierOptionCount) ui::SetChecked(Modifier(n), true);
}

int CKeySetControlUI::ModifierIndex() const {
  for (int i = 0; i < kModifierOptionCount; ++i) {
    if (ui::IsChecked(Modifier(i))) return i;
  }
  return -1;
}

void CKeySetControlUI::EnableButtons(bool on) {
  for (const char* name : {kSaveButton, kCancelButton, kWriteButton})
    ui::SetEnabled(Control(name), on);
}

bool CKeySetControlUI::ButtonsEnabled() const {
  return ui::IsEnabled(Control(kSaveButton)) && ui::IsEnabled(Control(kWriteButton));
}

int CKeySetControlUI::FunctionItemFor(int function) const {
  const QWidget* combo = Control(kFunctionCombo);
  for (int i = 0; i < ui::ComboCount(combo); ++i) {
    if (FunctionOfItem(i) == function) return i;
  }
  return -1;
}

int CKeySetControlUI::FunctionOfItem(int index) const {
  const QString data = ui::ComboItemData(Control(kFunctionCombo), index);
  bool ok = false;
  const int function = data.toInt(&ok);
  return ok ? function : -1;
}

int CKeySetControlUI::SelectedFunction() const {
  return FunctionOfItem(ui::ComboIndex(Control(kFunctionCombo)));
}

void CKeySetControlUI::SelectFunction(int function) {
  const int item = FunctionItemFor(function);
  if (item < 0) return;
  ui::SetVisible(Control(kLayout), true);
  ui::SetComboIndex(Control(kFunctionCombo), item);
  ShowFunctionPage(function);
}

void CKeySetControlUI::ShowFunctionPage(int function) {
  if (HasFunctionPage(function)) ui::SelectPage(Control(kFunctionPages), function);
}

void CKeySetControlUI::FollowPlayMode() {
  ui::SetVisible(Control(kRepeatLayout),
                 ui::ComboIndex(Control(kPlayModeCombo)) == kPlayModeRepeat);
}

void CKeySetControlUI::SetCapturedText(const QString& text) {
  ui::SetText(Control(kCaptureEdit), text);
}

QString CKeySetControlUI::CapturedText() const {
  return ui::Text(Control(kCaptureEdit));
}

KeyEditorState CKeySetControlUI::ReadControls() const {
  KeyEditorState s;
  s.function = SelectedFunction();
  s.mouseButtonRow = ui::ComboIndex(Control(kMouseKeyCombo));
  s.swingDirection = ui::ComboIndex(Control(kSwingCombo));
  s.swingCount = ReadNumber(Control(kSwingCount));
  s.swingDelay = ReadNumber(Control(kSwingDelay));
  s.swingSpeed = ReadNumber(Control(kSwingSpeed));
  s.wheelDirection = ui::ComboIndex(Control(kWheelCombo));
  s.wheelCount = ReadNumber(Control(kWheelCount));
  s.wheelDelay = ReadNumber(Control(kWheelDelay));
  s.wheelSpeed = ReadNumber(Control(kWheelSpeed));
  s.dpiRow = ui::ComboIndex(Control(kDpiCombo));
  s.fireInterval = ReadNumber(Control(kFireInterval));
  s.fireCount = ReadNumber(Control(kFireCount));
  s.pickerKey = -1;
  for (int i = 0; i < kPickerKeyCount; ++i) {
    if (ui::IsChecked(Picker(i))) {
      s.pickerKey = i;
      break;
    }
  }
  s.mediaRow = ui::ComboIndex(Control(kMediaCombo));
  s.systemRow = ui::ComboIndex(Control(kSystemCombo));
  s.macroItem = ui::ComboIndex(Control(kMacroCombo));
  s.playMode = ui::ComboIndex(Control(kPlayModeCombo));
  s.repeatCount = ReadNumber(Control(kRepeatEdit));
  s.repeatLineShown = ui::IsVisible(Control(kRepeatLayout));
  s.recoilItem = ui::ComboIndex(Control(kRecoilCombo));
  s.comboRow = ui::ComboIndex(Control(kCombinationCombo));
  return s;
}

void CKeySetControlUI::ShowState(const KeyEditorState& s) {
  ui::SetComboIndex(Control(kMouseKeyCombo), s.mouseButtonRow);
  ui::SetComboIndex(Control(kSwingCombo), s.swingDirection);
  ShowNumber(Control(kSwingCount), s.swingCount);
  ShowNumber(Control(kSwingDelay), s.swingDelay);
  ShowNumber(Control(kSwingSpeed), s.swingSpeed);
  ui::SetComboIndex(Control(kWheelCombo), s.wheelDirection);
  ShowNumber(Control(kWheelCount), s.wheelCount);
  ShowNumber(Control(kWheelDelay), s.wheelDelay);
  ShowNumber(Control(kWheelSpeed), s.wheelSpeed);
  ui::SetComboIndex(Control(kDpiCombo), s.dpiRow);
  ShowNumber(Control(kFireInterval), s.fireInterval);
  ShowNumber(Control(kFireCount), s.fireCount);
  SelectPicker(s.pickerKey);
  ui::SetComboIndex(Control(kMediaCombo), s.mediaRow);
  ui::SetComboIndex(Control(kSystemCombo), s.systemRow);
  ui::SetComboIndex(Control(kMacroCombo), s.macroItem);
  ui::SetComboIndex(Control(kPlayModeCombo), s.playMode);
  ShowNumber(Control(kRepeatEdit), s.repeatCount);
  ui::SetVisible(Control(kRepeatLayout), s.repeatLineShown);
  ui::SetComboIndex(Control(kRecoilCombo), s.recoilItem);
  ui::SetComboIndex(Control(kCombinationCombo), s.comboRow);
  // The function last: without an item for it the whole editing area is hidden.
  const int item = FunctionItemFor(s.function);
  ui::SetVisible(Control(kLayout), item >= 0);
  if (item >= 0) {
    ui::SetComboIndex(Control(kFunctionCombo), item);
    ShowFunctionPage(s.function);
  } else {
    ui::SetComboIndex(Control(kFunctionCombo), -1);
  }
}

CKeySetControlUI* FindKeySetControl(QWidget* root) {
  if (root == nullptr) return nullptr;
  if (auto* panel = qobject_cast<CKeySetControlUI*>(root)) return panel;
  return root->findChild<CKeySetControlUI*>();
}

}  // namespace varkon
