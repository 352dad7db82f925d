// The step list of the macro being edited, and every change the macro panel makes to it: steps
// recorded from the keyboard and the mouse (with their delays), mouse steps inserted by
// command, delays typed into a row, moving and deleting rows. The rows are the macro library's
// (MacroLibrary::Rows), so a save writes what this editor made; the panel shows them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "profile/macro_file.h"

namespace varkon {

struct MacroStep;

// How a recording measures the wait after each step.
enum class RecordState {
  kMeasured = 1,  // the time until the next event
  kConstant = 2,  // the fixed delay
  kNone = 3,      // no wait
};

// Where a recorded step goes.
enum class StepPlacement {
  kAppend = 0,   // after the last row; the new row is selected
  kBefore = 1,   // at the selected row, which stays selected (one lower)
  kAfter = 2,    // after the selected row; the new row is selected
  kReplace = 3,  // no new row: the selected row takes the key, type and action
};

inline constexpr size_t kMaxRecordedRows = 4000;
inline constexpr int kMaxStepDelay = 65535;
inline constexpr int kDefaultFixedDelay = 50;

// The window system's input messages, as the capture reports them.
inline constexpr uint32_t kKeyDownMessage = 256;
inline constexpr uint32_t kKeyUpMessage = 257;
inline constexpr uint32_t kSystemKeyDownMessage = 260;
inline constexpr uint32_t kSystemKeyUpMessage = 261;
inline constexpr uint32_t kMouseMoveMessage = 512;
inline constexpr uint32_t kLeftDownMessage = 513;
inline constexpr uint32_t kLeftUpMessage = 514;
inline constexpr uint32_t kRightDownMessage = 516;
inline constexpr uint32_t kRightUpMessage = 517;
inline constexpr uint32_t kMiddleDownMessage = 519;
inline constexpr uint32_t kMiddleUpMessage = 520;
inline constexpr uint32_t kExtraDownMessage = 523;
inline constexpr uint32_t kExtraUpMessage = 524;
// The extra-button number of a captured mouse event.
inline constexpr int kExtraButtonBack = 1;
inline constexpr int kExtraButtonForward = 2;

// Directions of an inserted movement step (InsertMouseStep with kMouseMoveMessage).
enum MoveDirection { kMoveLeft = 0, kMoveRight = 1, kMoveUp = 2, kMoveDown = 3 };

// The fixed-delay field read as a number: `value` clamped to 0-65535; `text` what the field
// should show when `rewrite` (the value changed).
struct FixedDelayReading {
  int value = kDefaultFixedDelay;
  bool rewrite = false;
  std::string text;
};

// How a row shows its step: the name on the key label (a language key, or the text itself
// when `labelIsText`), the action label's text (a language key unless `actionIsText`) and the
// style names of both.
struct MacroStepView {
  std::string label;
  bool labelIsText = false;
  const char* labelStyle = "macro_label_text_style";
  std::string action;
  bool actionIsText = false;
  const char* actionStyle = "macro_label_text_style";
};
MacroStepView DescribeMacroStep(const MacroRow& row);

class MacroStepEditor {
 public:
  explicit MacroStepEditor(std::vector<MacroRow>& rows) : rows_(rows) {}

  // The selected row, -1 for none. Select keeps the selection inside the list (-1 otherwise).
  int Selected() const;
  void Select(int row);

  int FixedDelay() const { return fixedDelay_; }
  // The fixed-delay field's text: a new value is stored (above 65535 as 65535).
  FixedDelayReading ReadFixedDelay(const std::string& fieldText);

  // Starts a recording in `state` at `nowMs` (the time the first delay is measured from).
  // The field text is read first for the constant state.
  void StartRecording(RecordState state, uint64_t nowMs,
                      const std::optional<std::string>& fixedDelayText = std::nullopt);
  RecordState State() const { return state_; }

  // A key event of the capture: `message` 256/260 down, anything else up; the set-1 scan code
  // and extended flag. Returns the row that changed (-1 when the event was dropped: a repeated
  // down of a held key, a key without a code, no selection where one is needed, a full list).
  int RecordKey(StepPlacement placement, uint32_t message, uint8_t scanCode, bool extended,
                uint64_t nowMs);
  // A mouse-button event (513-524; `extraButton` says which extra button); wheel and movement
  // are not recorded.
  int RecordMouse(StepPlacement placement, uint32_t message, int extraButton, uint64_t nowMs);

  // A mouse step by command: a button (513-524; for 523/524 `parameter` 0 is forward, 1 back) or
  // a movement (512, `parameter` a MoveDirection, `distanceText` its field). Goes after the
  // selection (at the top without one), is selected and waits the fixed delay. -1 when nothing
  // was inserted.
  int InsertMouseStep(uint32_t message, int parameter, const std::string& distanceText = {});

  // The selected row one up, one down, to the top, to the bottom; it stays selected. False when
  // nothing moved.
  bool MoveUp();
  bool MoveDown();
  bool MoveToTop();
  bool MoveToBottom();
  // Removes the selected row (the next one, else the previous, becomes selected).
  bool DeleteSelected();
  void DeleteAll();

  // A delay typed into row `row`: digits only, above 65535 as 65535. Returns the text kept.
  std::string SetDelayText(int row, const std::string& text);

 private:
  int Record(StepPlacement placement, const MacroStep& step, uint64_t nowMs);
  int Place(StepPlacement placement, const std::string& eventText, int64_t delay);
  int64_t NextDelay(uint64_t nowMs);
  void SetRowDelay(size_t row, int64_t delay);
  bool MoveTo(int to);

  std::vector<MacroRow>& rows_;
  int selected_ = -1;
  RecordState state_ = RecordState::kMeasured;
  int fixedDelay_ = kDefaultFixedDelay;
  uint64_t lastTick_ = 0;
  bool stepRecorded_ = false;
  // Per keyboard placement: the key held now, so that its auto-repeat downs are dropped.
  std::array<std::optional<std::pair<uint8_t, bool>>, 4> lastPressed_{};
};

}  // namespace varkon
