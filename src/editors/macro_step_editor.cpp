#include "editors/macro_step_editor.h"

#include <algorithm>

#include "devices/key_tables.h"
#include "profile/macro_step.h"

namespace varkon {

namespace {

int64_t ClampDelay(int64_t delay) {
  return std::clamp<int64_t>(delay, 0, kMaxStepDelay);
}

std::string StepText(const MacroStep& step) {
  return MakeMacroRow(MacroStepJson(step)).eventText;
}

// The mouse table's bit of a button message; 0 for messages that are not a button.
int ButtonBit(uint32_t message, bool forward) {
  switch (message) {
    case kLeftDownMessage:
    case kLeftUpMessage:
      return 0x01;
    case kRightDownMessage:
    case kRightUpMessage:
      return 0x02;
    case kMiddleDownMessage:
    case kMiddleUpMessage:
      return 0x04;
    case kExtraDownMessage:
    case kExtraUpMessage:
      return forward ? 0x10 : 0x08;
    default:
      return 0;
  }
}

bool IsButtonDown(uint32_t message) {
  return message == kLeftDownMessage || message == kRightDownMessage ||
         message == kMiddleDownMessage || message == kExtraDownMessage;
}

const char* MouseButtonLabel(int bit) {
  for (const KeyRow& row : MouseButtonTable()) {
    if (row.code.b1 == bit) return row.labelKey;
  }
  return nullptr;
}

const char* KeyLabel(int type, int button) {
  const auto& table = KeyCodeTable();
  if (type == kStepModifier) {
    for (size_t i = 0; i < kKeyCodeModifierRows; ++i) {
      if (table[i].code.b1 == button) return table[i].labelKey;
    }
    return nullptr;
  }
  if (button <= 0) return nullptr;
  for (size_t i = kKeyCodeModifierRows; i < kKeyCodeKeyboardRows; ++i) {
    if (table[i].code.b1 == 0 && table[i].code.b2 == button) return table[i].labelKey;
  }
  return nullptr;
}

}  // namespace

MacroStepView DescribeMacroStep(const MacroRow& row) {
  const MacroStep step = ReadMacroStep(ParseMacroRow(row));
  MacroStepView view;
  view.action = step.down ? "macro_step_down" : "macro_step_up";
  view.actionStyle = step.down ? "macro_label_down_style" : "macro_label_up_style";
  const char* label = nullptr;
  switch (step.type) {
    case kStepKey:
    case kStepModifier:
      label = KeyLabel(step.type, step.button);
      view.labelStyle = "macro_label_keyboard_style";
      break;
    case kStepMouseButton:
      label = MouseButtonLabel(step.button);
      view.labelStyle = "macro_label_mouse_style";
      break;
    case kStepMoveX:
    case kStepMoveY:
      if (step.type == kStepMoveX) {
        label = step.down ? "macro_step_move_left" : "macro_step_move_right";
      } else {
        label = step.down ? "macro_step_move_up" : "macro_step_move_down";
      }
      view.labelStyle = "macro_label_mouse_style";
      view.action = std::to_string(step.button);
      view.actionIsText = true;
      view.actionStyle = "macro_label_text_style";
      break;
    default:
      break;
  }
  if (label) {
    view.label = label;
  } else {
    // Codes nothing here names are shown as they are stored.
    view.label = std::to_string(step.type) + ":" + std::to_string(step.button);
    view.labelIsText = true;
  }
  return view;
}

int MacroStepEditor::Selected() const {
  return selected_ >= 0 && selected_ < static_cast<int>(rows_.size()) ? selected_ : -1;
}

void MacroStepEditor::Select(int row) {
  selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
}

FixedDelayReading MacroStepEditor::ReadFixedDelay(const std::string& fieldText) {
  FixedDelayReading reading;
  const int value = static_cast<int>(ClampDelay(LeadingDecimal64(fieldText)));
  reading.value = value;
  reading.text = std::to_string(value);
  // The field is rewritten when its number changed, and when it shows something else than
  // the number it stands for ("70000", "007", "x").
  reading.rewrite = value != fixedDelay_ || reading.text != fieldText;
  fixedDelay_ = value;
  return reading;
}

void MacroStepEditor::StartRecording(RecordState state, uint64_t nowMs,
                                     const std::optional<std::string>& fixedDelayText) {
  if (state == RecordState::kConstant && fixedDelayText) ReadFixedDelay(*fixedDelayText);
  state_ = state;
  lastTick_ = nowMs;
  // A key still held when the last recording stopped must not swallow its next press.
  lastPressed_.fill(std::nullopt);
}

int64_t MacroStepEditor::NextDelay(uint64_t nowMs) {
  switch (state_) {
    case RecordState::kConstant:
      return fixedDelay_;
    case RecordState::kNone:
      return 0;
    case RecordState::kMeasured:
      break;
  }
  const uint64_t elapsed = nowMs >= lastTick_ ? nowMs - lastTick_ : 0;
  lastTick_ = nowMs;
  return elapsed > 65534 ? kMaxStepDelay : static_cast<int64_t>(elapsed);
}

void MacroStepEditor::SetRowDelay(size_t row, int64_t delay) {
  Json::Value step = ParseMacroRow(rows_[row]);
  step["Delay"] = std::to_string(ClampDelay(delay));
  rows_[row] = MakeMacroRow(step);
}

int MacroStepEditor::Place(StepPlacement placement, const std::string& eventText, int64_t delay) {
  const int selected = Selected();
  size_t at = rows_.size();
  if (placement == StepPlacement::kBefore) at = static_cast<size_t>(selected);
  if (placement == StepPlacement::kAfter) at = static_cast<size_t>(selected) + 1;

  MacroRow row;
  row.eventText = eventText;
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), row);
  // The first row of the list waits nothing; any other waits the fixed delay (constant state)
  // or nothing until the next event, and the row above it now waits `delay`, the time until
  // this event.
  if (at == 0) {
    SetRowDelay(0, 0);
  } else {
    SetRowDelay(at, state_ == RecordState::kConstant ? fixedDelay_ : 0);
    if (stepRecorded_) SetRowDelay(at - 1, delay);
  }
  stepRecorded_ = true;
  selected_ = placement == StepPlacement::kBefore ? selected + 1 : static_cast<int>(at);
  return static_cast<int>(at);
}

int MacroStepEditor::Record(StepPlacement placement, const MacroStep& step, uint64_t nowMs) {
  const int selected = Selected();
  if (placement != StepPlacement::kAppend && selected < 0) return -1;
  if (placement == StepPlacement::kReplace) {
    MacroRow& row = rows_[static_cast<size_t>(selected)];
    Json::Value json = ParseMacroRow(row);
    json["Action"] = step.down ? "down" : "up";
    json["Type"] = step.type;
    json["Button"] = step.button;
    // The delay typed into the row stays as it is.
    row.eventText = MakeMacroRow(json).eventText;
    return selected;
  }
  if (rows_.size() >= kMaxRecordedRows) return -1;
  const int64_t delay = NextDelay(nowMs);
  return Place(placement, StepText(step), delay);
}

int MacroStepEditor::RecordKey(StepPlacement placement, uint32_t message, uint8_t scanCode,
                               bool extended, uint64_t nowMs) {
  const bool down = message == kKeyDownMessage || message == kSystemKeyDownMessage;
  auto& last = lastPressed_[static_cast<size_t>(placement)];
  const std::pair<uint8_t, bool> key{scanCode, extended};
  if (down) {
    if (last == key) return -1;  // the keyboard repeating a held key
    last = key;
  } else if (last == key) {
    last.reset();
  }
  const int tableRow = FindCaptureRow(scanCode, extended);
  if (tableRow < 0) return -1;
  const AssignmentCode code = KeyCodeTable()[static_cast<size_t>(tableRow)].code;
  MacroStep step;
  step.down = down;
  step.type = code.b2 != 0 ? kStepKey : kStepModifier;
  step.button = code.b2 != 0 ? code.b2 : code.b1;

  return Record(placement, step, nowMs);
}

int MacroStepEditor::RecordMouse(StepPlacement placement, uint32_t message, int extraButton,
                                 uint64_t nowMs) {
  const int bit = ButtonBit(message, extraButton == kExtraButtonForward);
  if (bit == 0) return -1;
  MacroStep step;
  step.down = IsButtonDown(message);
  step.type = kStepMouseButton;
  step.button = bit;
  return Record(placement, step, nowMs);
}

int MacroStepEditor::InsertMouseStep(uint32_t message, int parameter,
                                     const std::string& distanceText) {
  MacroStep step;
  if (message == kMouseMoveMessage) {
    if (parameter < kMoveLeft || parameter > kMoveDown) return -1;
    step.type = parameter <= kMoveRight ? kStepMoveX : kStepMoveY;
    step.down = parameter == kMoveLeft || parameter == kMoveUp;
    step.button = static_cast<int>(LeadingDecimal64(distanceText) & 0xFF);
  } else {
    step.button = ButtonBit(message, parameter == 0);
    if (step.button == 0) return -1;
    step.type = kStepMouseButton;
    step.down = IsButtonDown(message);
  }
  // Commands are bounded like recordings: a list this long no longer fits a device anyway.
  if (rows_.size() >= kMaxRecordedRows) return -1;
  step.delay = fixedDelay_;
  const size_t at = static_cast<size_t>(Selected() + 1);
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), MakeMacroRow(MacroStepJson(step)));
  selected_ = static_cast<int>(at);
  return selected_;
}

bool MacroStepEditor::MoveTo(int to) {
  const int from = Selected();
  if (from < 0 || to < 0 || to >= static_cast<int>(rows_.size()) || to == from) return false;
  // The row is rebuilt from its text, as if it had been typed in at the new place.
  MacroRow row = MakeMacroRow(ParseMacroRow(rows_[static_cast<size_t>(from)]));
  row.delayText = rows_[static_cast<size_t>(from)].delayText;
  rows_.erase(rows_.begin() + from);
  rows_.insert(rows_.begin() + to, row);
  selected_ = to;
  return true;
}

bool MacroStepEditor::MoveUp() {
  return MoveTo(Selected() - 1);
}

bool MacroStepEditor::MoveDown() {
  return Selected() >= 0 && MoveTo(Selected() + 1);
}

bool MacroStepEditor::MoveToTop() {
  return MoveTo(0);
}

bool MacroStepEditor::MoveToBottom() {
  return MoveTo(static_cast<int>(rows_.size()) - 1);
}

bool MacroStepEditor::DeleteSelected() {
  const int selected = Selected();
  if (selected < 0) return false;
  rows_.erase(rows_.begin() + selected);
  Select(selected < static_cast<int>(rows_.size()) ? selected : selected - 1);
  return true;
}

void MacroStepEditor::DeleteAll() {
  rows_.clear();
  selected_ = -1;
}

std::string MacroStepEditor::SetDelayText(int row, const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  std::string kept =
      digits.empty() ? std::string() : std::to_string(ClampDelay(LeadingDecimal64(digits)));
  if (row >= 0 && row < static_cast<int>(rows_.size())) {
    rows_[static_cast<size_t>(row)].delayText = kept;
  }
  return kept;
}

}  // namespace varkon
