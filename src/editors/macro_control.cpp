#include "editors/macro_control.h"

#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <filesystem>

#include "editors/macro_step_delegate.h"
#include "platform/ui/control_find.h"
#include "platform/ui/input_hook.h"
#include "platform/ui/language_text.h"
#include "platform/ui/notifier.h"
#include "profile/json_access.h"

namespace varkon {

namespace {

QString Shown(const std::string& text, bool isText) {
  return QString::fromStdString(isText ? text : LanguageText(text));
}

// The movement field of a "macro_inset_*" button.
struct MoveCommand {
  const char* button;
  const char* field;
  int direction;
};
constexpr MoveCommand kMoveCommands[] = {
    {"macro_inset_moveleftkey_btn", "mouse_x_left_edit", kMoveLeft},
    {"macro_inset_moverightkey_btn", "mouse_x_right_edit", kMoveRight},
    {"macro_inset_moveupkey_btn", "mouse_y_up_edit", kMoveUp},
    {"macro_inset_movedownkey_btn", "mouse_y_down_edit", kMoveDown},
};

struct ButtonCommand {
  const char* name;  // the button's command; "_click" adds the down and the up step
  uint32_t down;
  uint32_t up;
  int parameter;
};
constexpr ButtonCommand kButtonCommands[] = {
    {"left", kLeftDownMessage, kLeftUpMessage, 0},
    {"right", kRightDownMessage, kRightUpMessage, 0},
    {"middle", kMiddleDownMessage, kMiddleUpMessage, 0},
    {"forward", kExtraDownMessage, kExtraUpMessage, 0},
    {"back", kExtraDownMessage, kExtraUpMessage, 1},
};

}  // namespace

CMacroControlUI::CMacroControlUI(QWidget* parent) : QWidget(parent) {
  clock_.start();
  scrollTimer_.setSingleShot(true);
  scrollTimer_.setInterval(kMacroScrollDelayMs);
  connect(&scrollTimer_, &QTimer::timeout, this, [this] {
    QListWidget* list = StepList();
    if (list && list->currentItem()) list->scrollToItem(list->currentItem());
  });
}

void CMacroControlUI::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  emit Hidden();
}

QWidget* CMacroControlUI::Control(const char* name) const {
  QPointer<QWidget>& found = controls_[name];
  if (found.isNull()) found = ui::FindControl(this, QString::fromLatin1(name));
  return found.data();
}

QListWidget* CMacroControlUI::StepList() const {
  return qobject_cast<QListWidget*>(Control("macro_action_list"));
}

uint64_t CMacroControlUI::Now() const {
  return static_cast<uint64_t>(clock_.elapsed());
}

void CMacroControlUI::Attach(const std::string& macroFolder) {
  if (auto* fixed = qobject_cast<QLineEdit*>(Control("macro_fixed_time_edit"))) {
    fixed->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}")), fixed));
    fixed->setText(QString::number(editor_.FixedDelay()));
    connect(fixed, &QLineEdit::editingFinished, this, &CMacroControlUI::ReadFixedField);
  }
  for (const MoveCommand& move : kMoveCommands) {
    if (auto* field = qobject_cast<QLineEdit*>(Control(move.field))) {
      field->setValidator(
          new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), field));
    }
  }
  if (QListWidget* list = StepList()) {
    list->setItemDelegate(new MacroStepDelegate(
        list, [this](int row, const QString& text) { OnDelayEdited(row, text); }));
    list->setUniformItemSizes(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // F2 or a click on the field edits a delay; a double click opens the steps menu.
    list->setEditTriggers(QAbstractItemView::EditKeyPressed);
  }
  // Stopping a recording is not a click to record.
  if (QWidget* stop = Control("macro_btn_stopredio")) {
    stop->setProperty(ui::kCaptureIgnoreProperty, true);
  }
  library_.SetMacroFolder(macroFolder);
  library_.LoadMacroNames();
  library_.SelectMacro(library_.Items().empty() ? -1 : 0);
  ShowLibrary();
}

// ---- the library

void CMacroControlUI::ShowLibrary() {
  if (auto* names = qobject_cast<QListWidget*>(Control("macro_name_list"))) {
    ui::QuietNotifications quiet;
    names->clear();
    for (const MacroListEntry& entry : library_.Items()) {
      auto* item = new QListWidgetItem(QString::fromStdString(entry.name), names);
      item->setData(Qt::UserRole, QString::fromStdString(entry.guid));
    }
    names->setCurrentRow(library_.GetSelectedMacroIndex());
  }
  ShowLibraryState();
}

void CMacroControlUI::ShowLibraryState() {
  editor_.Select(-1);
  if (auto* name = qobject_cast<QLineEdit*>(Control("macro_edit_macroname"))) {
    name->setText(QString::fromStdString(library_.NameEditText()));
  }
  const bool on = library_.EditorEnabled();
  for (const char* name : {"macro_action_layout", "mouse_move_layout", "macro_btn_export",
                           "macro_btn_name_sub", "macro_btn_name_edit"}) {
    if (QWidget* control = Control(name)) control->setEnabled(on);
  }
  SyncSteps();
}

bool CMacroControlUI::AddMacro() {
  // Without a data folder the library would land in the working folder.
  if (library_.MacroFolder().empty()) return false;
  const bool added = !library_.AddMacro().empty();
  if (added) library_.SelectMacro();
  ShowLibrary();
  return added;
}

MacroRenameResult CMacroControlUI::RenameMacro() {
  auto* field = qobject_cast<QLineEdit*>(Control("macro_edit_macroname"));
  const MacroRenameResult result =
      library_.RenameMacro(field ? field->text().toStdString() : std::string());
  const int selected = library_.GetSelectedMacroIndex();
  if (auto* names = qobject_cast<QListWidget*>(Control("macro_name_list"));
      names && selected >= 0 && names->item(selected)) {
    names->item(selected)->setText(
        QString::fromStdString(library_.Items()[static_cast<size_t>(selected)].name));
  }
  return result;
}

bool CMacroControlUI::ImportMacro(const std::string& path, bool* refused) {
  if (refused) *refused = false;
  if (path.empty() || library_.MacroFolder().empty()) return false;
  // Read only when of a size a macro of at most kMaxMacroFileSteps steps can have.
  std::error_code error;
  const uintmax_t bytes = std::filesystem::file_size(path, error);
  if (error || bytes > kMaxMacroFileBytes) {
    if (refused) *refused = true;
    return false;
  }
  const Json::Value document = ReadJsonFileNoThrow(path);
  const Json::Value& events = Member(document, "Events");
  if (!document.isObject() || !events.isArray() || events.size() > kMaxMacroFileSteps) {
    if (refused) *refused = true;
    return false;
  }
  const bool imported = library_.ImportMacro(path);
  ShowLibrary();
  return imported;
}

bool CMacroControlUI::ExportMacro(const std::string& path) {
  // What the list shows is what is exported.
  SaveMacro();
  return library_.ExportMacro(path);
}

void CMacroControlUI::SelectMacro(int index) {
  library_.SelectMacro(index);
  ShowLibraryState();
}

// ---- recording

void CMacroControlUI::SetEditorEnabled(bool on) {
  for (const char* name : {"macro_name_tab", "macro_tab_macroaction_edit",
                           "macro_tab_macrodelay_edit", "macro_action_list", "mouse_move_layout",
                           "macro_btn_menu", "macro_btn_save", "macro_btn_cancel"}) {
    if (QWidget* control = Control(name)) control->setEnabled(on && library_.EditorEnabled());
  }
  if (QWidget* name = Control("macro_name_tab")) name->setEnabled(on);
  if (QWidget* start = Control("macro_btn_starredio")) start->setVisible(on);
  if (QWidget* stop = Control("macro_btn_stopredio")) stop->setVisible(!on);
}

void CMacroControlUI::ReadFixedField() {
  auto* fixed = qobject_cast<QLineEdit*>(Control("macro_fixed_time_edit"));
  if (!fixed) return;
  const FixedDelayReading reading = editor_.ReadFixedDelay(fixed->text().toStdString());
  if (reading.rewrite) {
    fixed->setText(QString::fromStdString(reading.text));
    fixed->end(false);
  }
}

void CMacroControlUI::SetRecordState(RecordState state) {
  if (state == RecordState::kConstant) ReadFixedField();
  editor_.StartRecording(state, Now());
  recording_ = true;
  SetEditorEnabled(false);
}

void CMacroControlUI::EndRecording() {
  recording_ = false;
  SetEditorEnabled(true);
}

void CMacroControlUI::RecordKey(StepPlacement placement, uint32_t message, uint8_t scanCode,
                                bool extended) {
  if (!recording_) return;
  if (editor_.RecordKey(placement, message, scanCode, extended, Now()) < 0) return;
  SyncSteps();
  scrollTimer_.start();
}

void CMacroControlUI::RecordMouse(StepPlacement placement, uint32_t message, int extraButton) {
  if (!recording_) return;
  if (editor_.RecordMouse(placement, message, extraButton, Now()) < 0) return;
  SyncSteps();
  scrollTimer_.start();
}

// ---- editing commands

bool CMacroControlUI::RunCommand(const std::string& name) {
  bool known = true;
  if (name == "macro_btn_up") {
    editor_.MoveUp();
  } else if (name == "macro_btn_down") {
    editor_.MoveDown();
  } else if (name == "macro_btn_uptop") {
    editor_.MoveToTop();
  } else if (name == "macro_btn_downbottom") {
    editor_.MoveToBottom();
  } else if (name == "macro_btn_delete") {
    editor_.DeleteSelected();
  } else if (name == "macro_btn_deleteall") {
    editor_.DeleteAll();
  } else if (name == "macro_btn_save") {
  } else if (name == "macro_btn_cancel") {
    // Back to the file: delays typed and not saved are gone.
    library_.SelectMacro();
    ShowLibraryState();
    return true;
  } else {
    known = InsertMouseSteps(name);
  }
  if (!known) return false;
  SyncSteps();
  SaveMacro();
  return true;
}

bool CMacroControlUI::InsertMouseSteps(const std::string& name) {
  std::vector<std::pair<uint32_t, int>> steps;  // message, parameter
  std::string distance;
  for (const MoveCommand& move : kMoveCommands) {
    if (name != move.button) continue;
    steps.emplace_back(kMouseMoveMessage, move.direction);
    if (auto* field = qobject_cast<QLineEdit*>(Control(move.field))) {
      distance = field->text().toStdString();
    }
  }
  for (const ButtonCommand& button : kButtonCommands) {
    const std::string prefix = button.name;
    if (name == prefix + "_down" || name == prefix + "_click") {
      steps.emplace_back(button.down, button.parameter);
    }
    if (name == prefix + "_up" || name == prefix + "_click") {
      steps.emplace_back(button.up, button.parameter);
    }
  }
  if (steps.empty()) return false;
  // An inserted step waits what the fixed-delay field shows now.
  ReadFixedField();
  for (const auto& [message, parameter] : steps) {
    editor_.InsertMouseStep(message, parameter, distance);
  }
  return true;
}

void CMacroControlUI::SelectStep(int row) {
  editor_.Select(row);
}

bool CMacroControlUI::SaveMacro() {
  const bool saved = library_.SaveMacro();
  // The save normalises the delays ("" → "0", "007" → "7"): the rows show that.
  SyncSteps();
  return saved;
}

// ---- the step list

void CMacroControlUI::SyncSteps() {
  QListWidget* list = StepList();
  const std::vector<MacroRow>& rows = library_.Rows();
  if (!list) {
    shown_ = rows;
    return;
  }
  // Only the changed middle is rebuilt: recording adds one row to lists of thousands.
  size_t prefix = 0;
  while (prefix < rows.size() && prefix < shown_.size() &&
         rows[prefix].eventText == shown_[prefix].eventText &&
         rows[prefix].delayText == shown_[prefix].delayText) {
    ++prefix;
  }
  size_t suffix = 0;
  while (suffix < rows.size() - prefix && suffix < shown_.size() - prefix) {
    const MacroRow& a = rows[rows.size() - 1 - suffix];
    const MacroRow& b = shown_[shown_.size() - 1 - suffix];
    if (a.eventText != b.eventText || a.delayText != b.delayText) break;
    ++suffix;
  }
  ui::QuietNotifications quiet;
  list->setUpdatesEnabled(false);
  for (size_t i = shown_.size() - suffix; i > prefix; --i) {
    delete list->takeItem(static_cast<int>(i - 1));
  }
  for (size_t i = prefix; i < rows.size() - suffix; ++i) {
    auto* item = new QListWidgetItem;
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    FillItem(item, rows[i]);
    list->insertItem(static_cast<int>(i), item);
  }
  shown_ = rows;
  list->setUpdatesEnabled(true);
  ShowSelection();
}

void CMacroControlUI::FillItem(QListWidgetItem* item, const MacroRow& row) {
  const MacroStepView view = DescribeMacroStep(row);
  item->setData(kMacroRowEventRole, QString::fromStdString(row.eventText));
  item->setData(kMacroRowLabelRole, Shown(view.label, view.labelIsText));
  item->setData(kMacroRowLabelStyleRole, QString::fromLatin1(view.labelStyle));
  item->setData(kMacroRowActionRole, Shown(view.action, view.actionIsText));
  item->setData(kMacroRowActionStyleRole, QString::fromLatin1(view.actionStyle));
  item->setData(kMacroRowDelayRole, QString::fromStdString(row.delayText));
}

void CMacroControlUI::OnDelayEdited(int row, const QString& text) {
  if (row < 0 || row >= static_cast<int>(shown_.size())) return;
  // Kept as the save will write it, so that the save changes nothing on screen.
  std::string kept = editor_.SetDelayText(row, text.toStdString());
  if (kept.empty()) kept = editor_.SetDelayText(row, "0");
  shown_[static_cast<size_t>(row)].delayText = kept;
  if (QListWidget* list = StepList(); list && list->item(row)) {
    list->item(row)->setData(kMacroRowDelayRole, QString::fromStdString(kept));
  }
  SaveMacro();
}

void CMacroControlUI::ShowSelection() {
  QListWidget* list = StepList();
  if (!list) return;
  ui::QuietNotifications quiet;
  list->setCurrentRow(editor_.Selected());
  if (editor_.Selected() < 0) list->clearSelection();
}

int CMacroControlUI::ShownStepCount() const {
  QListWidget* list = StepList();
  return list ? list->count() : 0;
}

QString CMacroControlUI::ShownText(int row, int role) const {
  QListWidget* list = StepList();
  if (!list || row < 0 || row >= list->count()) return {};
  return list->item(row)->data(role).toString();
}

QString CMacroControlUI::ShownDelay(int row) const {
  return ShownText(row, kMacroRowDelayRole);
}

QString CMacroControlUI::ShownLabel(int row) const {
  return ShownText(row, kMacroRowLabelRole);
}

QString CMacroControlUI::ShownAction(int row) const {
  return ShownText(row, kMacroRowActionRole);
}

void CMacroControlUI::Retranslate() {
  QListWidget* list = StepList();
  if (!list) return;
  for (int i = 0; i < list->count() && i < static_cast<int>(shown_.size()); ++i) {
    FillItem(list->item(i), shown_[static_cast<size_t>(i)]);
  }
}

CMacroControlUI* FindMacroControl(QWidget* root) {
  if (root == nullptr) return nullptr;
  if (auto* panel = qobject_cast<CMacroControlUI*>(root)) return panel;
  return root->findChild<CMacroControlUI*>();
}

}  // namespace varkon
