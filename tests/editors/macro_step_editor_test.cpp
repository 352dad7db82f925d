#include "editors/macro_step_editor.h"

#include <gtest/gtest.h>

#include "profile/macro_step.h"

namespace varkon {
namespace {

constexpr uint8_t kScanA = 0x1E;
constexpr uint8_t kScanB = 0x30;
constexpr uint8_t kScanLeftShift = 0x2A;

MacroStep Step(const MacroRow& row) {
  return ReadMacroStep(ParseMacroRow(row));
}

std::vector<std::string> Delays(const std::vector<MacroRow>& rows) {
  std::vector<std::string> delays;
  for (const MacroRow& row : rows) delays.push_back(row.delayText);
  return delays;
}

struct Recorder {
  std::vector<MacroRow> rows;
  MacroStepEditor editor{rows};
  int Key(uint8_t scan, bool down, uint64_t at, StepPlacement where = StepPlacement::kAppend) {
    return editor.RecordKey(where, down ? kKeyDownMessage : kKeyUpMessage, scan, false, at);
  }
};

TEST(MacroStepEditor, MeasuredDelaysAreTheTimeToTheNextEventAndHeldKeysRecordOnce) {
  Recorder r;
  r.editor.StartRecording(RecordState::kMeasured, 1000);
  r.Key(kScanA, true, 1100);
  // The keyboard repeats a held key: only the first down counts.
  for (uint64_t t = 1130; t < 1600; t += 33) EXPECT_EQ(r.Key(kScanA, true, t), -1);
  r.Key(kScanA, false, 1600);
  r.Key(kScanB, true, 1900);
  r.editor.RecordKey(StepPlacement::kAppend, kSystemKeyUpMessage, kScanB, false, 1950);
  r.Key(kScanLeftShift, true, 2000);
  ASSERT_EQ(r.rows.size(), 5u);
  EXPECT_EQ(Delays(r.rows), (std::vector<std::string>{"500", "300", "50", "50", "0"}));
  const MacroStep a = Step(r.rows[0]);
  EXPECT_TRUE(a.down);
  EXPECT_EQ(a.type, kStepKey);
  EXPECT_EQ(a.button, 0x04);  // HID usage of A
  EXPECT_FALSE(Step(r.rows[1]).down);
  EXPECT_EQ(Step(r.rows[3]).type, kStepKey);
  EXPECT_FALSE(Step(r.rows[3]).down);
  const MacroStep shift = Step(r.rows[4]);
  EXPECT_EQ(shift.type, kStepModifier);
  EXPECT_EQ(shift.button, 0x02);
  EXPECT_EQ(r.editor.Selected(), 4);

  // A wait beyond 65534 ms is kept as 65535; an unknown key is dropped without using time.
  EXPECT_EQ(r.editor.RecordKey(StepPlacement::kAppend, kKeyDownMessage, 0x7F, true, 90000), -1);
  r.Key(kScanLeftShift, false, 200000);
  EXPECT_EQ(r.rows[4].delayText, "65535");

  // A second recording measures from its own start; the key held when the first one ended
  // counts again.
  r.Key(kScanB, true, 300000);
  r.editor.StartRecording(RecordState::kMeasured, 400000);
  r.Key(kScanB, true, 400250);
  EXPECT_EQ(r.rows.size(), 8u);
  EXPECT_EQ(r.rows[6].delayText, "250");
}

TEST(MacroStepEditor, ConstantDelayIsClampedAndGivenToEveryRecordedRow) {
  Recorder r;
  const FixedDelayReading reading = r.editor.ReadFixedDelay("70000");
  EXPECT_TRUE(reading.rewrite);
  EXPECT_EQ(reading.text, "65535");
  EXPECT_EQ(r.editor.ReadFixedDelay("65535").rewrite, false);
  EXPECT_EQ(r.editor.ReadFixedDelay("-4").value, 0);

  r.editor.StartRecording(RecordState::kConstant, 0, std::string("70000"));
  EXPECT_EQ(r.editor.FixedDelay(), 65535);
  r.Key(kScanA, true, 10);
  EXPECT_EQ(Delays(r.rows), (std::vector<std::string>{"0"}));  // the only row waits nothing
  r.Key(kScanA, false, 20);
  r.Key(kScanB, true, 30);
  EXPECT_EQ(Delays(r.rows), (std::vector<std::string>{"65535", "65535", "65535"}));

  r.editor.StartRecording(RecordState::kNone, 0);
  r.Key(kScanB, false, 5000);
  EXPECT_EQ(r.rows[2].delayText, "0");
  EXPECT_EQ(r.rows[3].delayText, "0");
}

TEST(MacroStepEditor, InsertionsBeforeAndAfterTheSelectionAndReplacingItsKey) {
  Recorder r;
  r.editor.StartRecording(RecordState::kNone, 0);
  r.Key(kScanA, true, 0);
  r.Key(kScanA, false, 0);
  r.editor.SetDelayText(0, "40");
  r.editor.SetDelayText(1, "41");

  // Before and after need a selection.
  r.editor.Select(-1);
  EXPECT_EQ(r.Key(kScanB, true, 0, StepPlacement::kBefore), -1);
  EXPECT_EQ(r.Key(kScanB, true, 0, StepPlacement::kAfter), -1);
  EXPECT_EQ(r.editor.RecordKey(StepPlacement::kReplace, kKeyDownMessage, kScanB, false, 0), -1);

  // Before the first row: the new row is the top one, waits nothing, and nothing else changes.
  r.editor.StartRecording(RecordState::kMeasured, 100);
  r.editor.Select(0);
  EXPECT_EQ(r.Key(kScanB, true, 150, StepPlacement::kBefore), 0);
  EXPECT_EQ(Delays(r.rows), (std::vector<std::string>{"0", "40", "41"}));
  EXPECT_EQ(r.editor.Selected(), 1);
  // The next one goes between, and the row above it takes the measured time.
  EXPECT_EQ(r.Key(kScanB, false, 230, StepPlacement::kBefore), 1);
  EXPECT_EQ(Delays(r.rows), (std::vector<std::string>{"80", "0", "40", "41"}));
  EXPECT_EQ(r.editor.Selected(), 2);

  // After: the selected row takes the time and the new row is selected.
  r.editor.Select(3);
  EXPECT_EQ(r.Key(kScanA, true, 300, StepPlacement::kAfter), 4);
  EXPECT_EQ(r.rows[3].delayText, "70");
  EXPECT_EQ(r.editor.Selected(), 4);

  // Replacing keeps the row's delay, typed or stored.
  r.editor.Select(2);
  EXPECT_EQ(r.editor.RecordKey(StepPlacement::kReplace, kKeyUpMessage, kScanLeftShift, false, 0),
            2);
  EXPECT_EQ(r.rows.size(), 5u);
  EXPECT_EQ(Step(r.rows[2]).type, kStepModifier);
  EXPECT_FALSE(Step(r.rows[2]).down);
  EXPECT_EQ(r.rows[2].delayText, "40");
}

TEST(MacroStepEditor, RecordingStopsAtTheRowLimit) {
  Recorder r;
  r.editor.StartRecording(RecordState::kNone, 0);
  for (size_t i = 0; i < kMaxRecordedRows; ++i) r.Key(kScanA, i % 2 == 0, i);
  ASSERT_EQ(r.rows.size(), kMaxRecordedRows);
  EXPECT_EQ(r.Key(kScanB, true, 0), -1);
  EXPECT_EQ(r.editor.RecordMouse(StepPlacement::kAppend, kLeftDownMessage, 0, 0), -1);
  EXPECT_EQ(r.editor.InsertMouseStep(kLeftDownMessage, 0), -1);
  EXPECT_EQ(r.rows.size(), kMaxRecordedRows);
}

TEST(MacroStepEditor, MouseStepsRecordedAndInsertedByCommand) {
  Recorder r;
  r.editor.StartRecording(RecordState::kNone, 0);
  r.editor.RecordMouse(StepPlacement::kAppend, kExtraDownMessage, kExtraButtonForward, 0);
  r.editor.RecordMouse(StepPlacement::kAppend, kExtraUpMessage, kExtraButtonBack, 0);
  EXPECT_EQ(r.editor.RecordMouse(StepPlacement::kAppend, kMouseMoveMessage, 0, 0), -1);
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(Step(r.rows[0]).button, 0x10);
  EXPECT_TRUE(Step(r.rows[0]).down);
  EXPECT_EQ(Step(r.rows[1]).button, 0x08);
  EXPECT_EQ(Step(r.rows[1]).type, kStepMouseButton);

  // A movement keeps the low 8 bits of its distance and waits the fixed delay.
  r.editor.ReadFixedDelay("25");
  r.editor.Select(0);
  EXPECT_EQ(r.editor.InsertMouseStep(kMouseMoveMessage, kMoveLeft, "300"), 1);
  const MacroStep move = Step(r.rows[1]);
  EXPECT_EQ(move.button, 44);
  EXPECT_EQ(move.type, kStepMoveX);
  EXPECT_TRUE(move.down);
  EXPECT_EQ(r.rows[1].delayText, "25");
  r.editor.InsertMouseStep(kMouseMoveMessage, kMoveDown, "7");
  EXPECT_EQ(Step(r.rows[2]).type, kStepMoveY);
  EXPECT_FALSE(Step(r.rows[2]).down);
  // A back click: down then up, after the selection; without one, at the top.
  r.editor.InsertMouseStep(kExtraDownMessage, 1);
  r.editor.InsertMouseStep(kExtraUpMessage, 1);
  EXPECT_EQ(Step(r.rows[3]).button, 0x08);
  EXPECT_TRUE(Step(r.rows[3]).down);
  EXPECT_FALSE(Step(r.rows[4]).down);
  EXPECT_EQ(r.editor.Selected(), 4);
  r.editor.Select(-1);
  EXPECT_EQ(r.editor.InsertMouseStep(kRightDownMessage, 0), 0);
  EXPECT_EQ(Step(r.rows[0]).button, 0x02);
  EXPECT_EQ(r.rows.size(), 7u);

  const MacroStepView view = DescribeMacroStep(r.rows[2]);
  EXPECT_EQ(view.label, "macro_step_move_left");
  EXPECT_EQ(view.action, "44");
  EXPECT_STREQ(view.labelStyle, "macro_label_mouse_style");
}

TEST(MacroStepEditor, MovingAndDeletingRowsKeepsTheSelectionOnTheRow) {
  Recorder r;
  r.editor.StartRecording(RecordState::kNone, 0);
  for (uint8_t scan : {0x10, 0x11, 0x12, 0x13}) r.Key(scan, true, 0);  // Q W E R
  r.editor.SetDelayText(3, "12x3");
  EXPECT_EQ(r.rows[3].delayText, "123");
  EXPECT_EQ(r.editor.SetDelayText(3, "99999999999"), "65535");
  const auto buttons = [&] {
    std::vector<int> b;
    for (const MacroRow& row : r.rows) b.push_back(Step(row).button);
    return b;
  };
  const std::vector<int> start = buttons();  // Q W E R usages
  r.editor.Select(3);
  EXPECT_FALSE(r.editor.MoveDown());
  EXPECT_TRUE(r.editor.MoveToTop());
  EXPECT_EQ(r.editor.Selected(), 0);
  EXPECT_EQ(r.rows[0].delayText, "65535");  // the typed delay moved with the row
  EXPECT_FALSE(r.editor.MoveUp());
  EXPECT_TRUE(r.editor.MoveDown());
  EXPECT_EQ(buttons(), (std::vector<int>{start[0], start[3], start[1], start[2]}));
  EXPECT_TRUE(r.editor.MoveToBottom());
  EXPECT_EQ(buttons(), start);
  EXPECT_TRUE(r.editor.DeleteSelected());
  EXPECT_EQ(r.editor.Selected(), 2);
  r.editor.Select(0);
  EXPECT_TRUE(r.editor.DeleteSelected());
  EXPECT_EQ(r.editor.Selected(), 0);
  EXPECT_EQ(buttons(), (std::vector<int>{start[1], start[2]}));
  r.editor.DeleteAll();
  EXPECT_TRUE(r.rows.empty());
  EXPECT_EQ(r.editor.Selected(), -1);
  EXPECT_FALSE(r.editor.DeleteSelected());
}

}  // namespace
}  // namespace varkon
