#include <gtest/gtest.h>

#include <climits>

#include "devices/key_editor_state.h"
#include "devices/key_tables.h"

namespace varkon {
namespace {

KeyEditorState WithFunction(int function) {
  KeyEditorState s = ResetEditorControls();
  s.function = function;
  return s;
}

AssignmentCode EncodeCode(const KeyEditorState& s, size_t macros = 0) {
  const EncodedChoice choice = EncodeEditorChoice(s, macros);
  EXPECT_EQ(choice.outcome, EncodeOutcome::kCode);
  return choice.code;
}

EncodeOutcome OutcomeOf(const KeyEditorState& s, size_t macros = 0) {
  return EncodeEditorChoice(s, macros).outcome;
}

TEST(EditNumber, PlainDecimalConversion) {
  EXPECT_EQ(EditNumber("50"), 50);
  EXPECT_EQ(EditNumber(""), 0);
  EXPECT_EQ(EditNumber("abc"), 0);
  EXPECT_EQ(EditNumber("  12x"), 12);
  EXPECT_EQ(EditNumber("-3"), -3);
  EXPECT_EQ(EditNumber("+7"), 7);
  EXPECT_EQ(EditNumber("-"), 0);
  EXPECT_EQ(EditNumber("99999999999999999999"), INT_MAX);
  EXPECT_EQ(EditNumber("-99999999999999999999"), INT_MIN);
  EXPECT_EQ(EditNumber("2147483647"), INT_MAX);
  EXPECT_EQ(EditNumber("-2147483648"), INT_MIN);
}

TEST(EncodeChoice, WheelDownAndSwingRightEdgeCases) {
  KeyEditorState wheel = WithFunction(kFunctionWheel);
  wheel.wheelDirection = 1;
  wheel.wheelCount = 1;
  const AssignmentCode down = EncodeCode(wheel);
  EXPECT_EQ(down, (AssignmentCode{kAssignWheel, 0, 0xFF}));
  const KeyEditorState back = DecodeAssignment(down, 0);
  EXPECT_EQ(back.function, kFunctionWheel);
  EXPECT_EQ(back.wheelDirection, 1);
  EXPECT_EQ(back.wheelCount, 1);

  KeyEditorState swing = WithFunction(kFunctionSwing);
  swing.swingDirection = 1;
  swing.swingCount = 1;
  EXPECT_EQ(EncodeCode(swing).b2, 0x81);
}

TEST(EncodeChoice, OnlyTheLowFourBitsOfDelayAndSpeedAreKept) {
  KeyEditorState swing = WithFunction(kFunctionSwing);
  swing.swingDelay = 17;
  swing.swingSpeed = 18;
  EXPECT_EQ(EncodeCode(swing).b1, 0x12);
  KeyEditorState wheel = WithFunction(kFunctionWheel);
  wheel.wheelDelay = -1;
  wheel.wheelSpeed = 3;
  EXPECT_EQ(EncodeCode(wheel).b1, 0xF3);
}

TEST(EncodeChoice, SwingCountNeverChangesTheDirection) {
  KeyEditorState swing = WithFunction(kFunctionSwing);
  swing.swingDirection = 0;
  swing.swingCount = 0x85;
  const AssignmentCode code = EncodeCode(swing);
  EXPECT_EQ(code.b2 & 0x80, 0);
  EXPECT_EQ(code.b2, 0x05);
}

TEST(EncodeChoice, BytesKeepTheLowEightBits) {
  KeyEditorState fire = WithFunction(kFunctionFire);
  fire.fireInterval = 300;
  fire.fireCount = -1;
  EXPECT_EQ(EncodeCode(fire), (AssignmentCode{kAssignFire, 44, 0xFF}));

  KeyEditorState macro = WithFunction(kFunctionMacro);
  macro.macroItem = 1;
  macro.playMode = kPlayModeRepeat;
  macro.repeatCount = 257;
  EXPECT_EQ(EncodeCode(macro, 2), (AssignmentCode{kAssignMacroRepeat, 1, 1}));

  KeyEditorState wheel = WithFunction(kFunctionWheel);
  wheel.wheelDirection = 1;
  wheel.wheelCount = INT_MIN;  // saturated edit text; must not overflow
  EXPECT_EQ(EncodeCode(wheel).b2 & 0x80, 0x80);
}

TEST(EncodeChoice, FunctionZeroOrUnknownTakesTheDefaultSlotWhole) {
  const AssignmentSlot edited{7, {kAssignMedia, 0xCD, 0}};
  const AssignmentSlot defaultSlot{9, {kAssignKeyboard, 0, 0x04}};
  for (int function : {int{kFunctionDefault}, int{kFunctionNone}, 12, 99, INT_MIN}) {
    const KeyEditorState s = WithFunction(function);
    EXPECT_EQ(OutcomeOf(s), EncodeOutcome::kDefault) << function;
    EXPECT_EQ(ApplyEditorChoice(s, 0, edited, defaultSlot), defaultSlot) << function;
  }
}

TEST(EncodeChoice, NewCodeKeepsTheEditedSlotsListIndex) {
  KeyEditorState s = WithFunction(kFunctionMedia);
  s.mediaRow = 1;
  const AssignmentSlot edited{7, {kAssignKeyboard, 0, 0x04}};
  const AssignmentSlot result = ApplyEditorChoice(s, 0, edited, {9, {}});
  EXPECT_EQ(result.listIndex, 7);
  EXPECT_EQ(result.code, (AssignmentCode{kAssignMedia, 0xCD, 0x00}));
}

TEST(EncodeChoice, NothingValidChosenLeavesTheSlot) {
  const AssignmentSlot edited{3, {kAssignKeyboard, 0, 0x29}};
  struct Case {
    int function;
    void (*set)(KeyEditorState&);
  };
  const Case cases[] = {
      {kFunctionMouseButton, [](KeyEditorState& s) { s.mouseButtonRow = -1; }},
      {kFunctionMouseButton, [](KeyEditorState& s) { s.mouseButtonRow = 5; }},
      {kFunctionSwing, [](KeyEditorState& s) { s.swingDirection = -1; }},
      {kFunctionWheel, [](KeyEditorState& s) { s.wheelDirection = 2; }},
      {kFunctionDpi, [](KeyEditorState& s) { s.dpiRow = 3; }},
      {kFunctionMedia, [](KeyEditorState& s) { s.mediaRow = 18; }},
      {kFunctionSystem, [](KeyEditorState& s) { s.systemRow = -1; }},
      {kFunctionMacro, [](KeyEditorState& s) { s.macroItem = -1; }},
      {kFunctionMacro, [](KeyEditorState& s) { s.macroItem = 2; }},  // only two macros listed
      {kFunctionMacro, [](KeyEditorState& s) { s.playMode = -1; }},
      {kFunctionMacro, [](KeyEditorState& s) { s.playMode = 5; }},
      {kFunctionRecoil, [](KeyEditorState& s) { s.recoilItem = -1; }},
      {kFunctionCombination, [](KeyEditorState& s) { s.comboRow = 11; }},
  };
  for (const Case& c : cases) {
    KeyEditorState s = WithFunction(c.function);
    c.set(s);
    EXPECT_EQ(OutcomeOf(s, 2), EncodeOutcome::kUnchanged) << c.function;
    EXPECT_EQ(ApplyEditorChoice(s, 2, edited, {}), edited) << c.function;
  }
}

TEST(EncodeChoice, PickerOutsideItsRangeGivesTheFirstKey) {
  for (int n : {-1, 126, 1000}) {
    KeyEditorState s = WithFunction(kFunctionKeyboardKey);
    s.pickerKey = n;
    EXPECT_EQ(EncodeCode(s), KeyPickerTable()[0].code) << n;
  }
}

TEST(EncodeChoice, MacroPlayModes) {
  KeyEditorState s = WithFunction(kFunctionMacro);
  s.macroItem = 2;
  s.playMode = 2;
  s.repeatCount = 9;
  EXPECT_EQ(EncodeCode(s, 3), (AssignmentCode{kAssignMacro, 2, 2}));
  s.playMode = kPlayModeRepeat;
  EXPECT_EQ(EncodeCode(s, 3), (AssignmentCode{kAssignMacroRepeat, 2, 9}));
}

TEST(EncodeIntoRecord, WritesOnlyTheEditedLayer) {
  KeyAssignmentRecord record;
  record.fn = {21, {kAssignKeyboard, 0, 0x35}};
  record.main = {21, {kAssignKeyboard, 0, 0x35}};
  record.defaultSlot = {21, {kAssignKeyboard, 0, 0x35}};
  KeyEditorState s = WithFunction(kFunctionSystem);
  s.systemRow = 2;
  const KeyAssignmentRecord fn = EncodeIntoRecord(s, 0, record, true);
  EXPECT_EQ(fn.fn.code, (AssignmentCode{kAssignSystem, 0x04, 0}));
  EXPECT_EQ(fn.main, record.main);
  EXPECT_EQ(fn.defaultSlot, record.defaultSlot);
  const KeyAssignmentRecord main = EncodeIntoRecord(s, 0, record, false);
  EXPECT_EQ(main.main.code, (AssignmentCode{kAssignSystem, 0x04, 0}));
  EXPECT_EQ(main.fn, record.fn);
}

TEST(DecodeAssignment, CombinationKeySelectsItsRow) {
  const KeyEditorState s = DecodeAssignment({kAssignKeyboard, 0x10, 0x06}, 0);
  EXPECT_EQ(s.function, kFunctionCombination);
  EXPECT_EQ(s.comboRow, 4);
  EXPECT_EQ(s.pickerKey, -1);
  EXPECT_EQ(EncodeCode(s), (AssignmentCode{kAssignKeyboard, 0x10, 0x06}));
}

TEST(DecodeAssignment, KindsWithoutAFunctionSelectNothing) {
  for (int kind : {0x15, 0x16, 0x21, 0x22, 0x23, 0x50, 0x60, 0xA0, 0xC0, 0xD0, 0xFF}) {
    const KeyEditorState s = DecodeAssignment({static_cast<uint8_t>(kind), 1, 1}, 4);
    EXPECT_EQ(s.function, kFunctionNone) << kind;
    EXPECT_FALSE(HasFunctionPage(s.function));
  }
  const KeyEditorState none = DecodeAssignment({kAssignNone, 0x12, 0x34}, 0);
  EXPECT_EQ(none.function, kFunctionDefault);
  EXPECT_TRUE(HasFunctionPage(none.function));
  EXPECT_FALSE(HasFunctionPage(kFunctionCount));
}

TEST(DecodeAssignment, OnlyTheDecodedFunctionsControlsChange) {
  KeyEditorState controls = ResetEditorControls();
  controls.fireInterval = 77;
  controls.comboRow = 3;
  controls.swingCount = 5;
  const KeyEditorState media = DecodeAssignment({kAssignMedia, 0xE2, 0x00}, 0, controls);
  EXPECT_EQ(media.function, kFunctionMedia);
  EXPECT_EQ(media.mediaRow, 7);
  KeyEditorState expected = controls;
  expected.function = kFunctionMedia;
  expected.mediaRow = 7;
  EXPECT_EQ(media, expected);
  // An empty combination key shows the combination page with the row it had.
  const KeyEditorState combo = DecodeAssignment({kAssignCombination, 0, 0}, 0, controls);
  EXPECT_EQ(combo.function, kFunctionCombination);
  EXPECT_EQ(combo.comboRow, 3);
}

TEST(DecodeAssignment, UnknownRowsSelectNothingAndEncodeNothing) {
  const KeyEditorState button = DecodeAssignment({kAssignMouseButton, 0x20, 0}, 0);
  EXPECT_EQ(button.function, kFunctionMouseButton);
  EXPECT_EQ(button.mouseButtonRow, -1);
  EXPECT_EQ(OutcomeOf(button), EncodeOutcome::kUnchanged);
  const KeyEditorState media = DecodeAssignment({kAssignMedia, 0x99, 0x09}, 0);
  EXPECT_EQ(media.mediaRow, -1);
  EXPECT_EQ(OutcomeOf(media), EncodeOutcome::kUnchanged);
  const KeyEditorState dpi = DecodeAssignment({kAssignDpi, 4, 0}, 0);
  EXPECT_EQ(dpi.dpiRow, -1);
  // A key no picker key carries: the picker selects nothing and Save then takes the first key.
  const KeyEditorState key = DecodeAssignment({kAssignKeyboard, 0x03, 0x06}, 0);
  EXPECT_EQ(key.function, kFunctionKeyboardKey);
  EXPECT_EQ(key.pickerKey, -1);
}

TEST(DecodeAssignment, MacroNumbersBeyondTheListShowNothing) {
  const KeyEditorState listed = DecodeAssignment({kAssignMacro, 1, 3}, 2);
  EXPECT_EQ(listed.function, kFunctionMacro);
  EXPECT_EQ(listed.macroItem, 1);
  EXPECT_EQ(listed.playMode, 3);
  EXPECT_FALSE(listed.repeatLineShown);

  for (uint8_t number : {uint8_t{2}, uint8_t{200}}) {
    const KeyEditorState beyond = DecodeAssignment({kAssignMacro, number, 1}, 2);
    EXPECT_EQ(beyond.function, kFunctionMacro);
    EXPECT_EQ(beyond.macroItem, -1);
    EXPECT_EQ(beyond.playMode, -1);
    EXPECT_EQ(OutcomeOf(beyond, 2), EncodeOutcome::kUnchanged);
  }

  KeyEditorState shown = ResetEditorControls();
  shown.repeatLineShown = true;
  const KeyEditorState repeat = DecodeAssignment({kAssignMacroRepeat, 5, 12}, 2, shown);
  EXPECT_EQ(repeat.macroItem, -1);
  EXPECT_EQ(repeat.playMode, kPlayModeRepeat);
  EXPECT_EQ(repeat.repeatCount, 12);
  EXPECT_FALSE(repeat.repeatLineShown);

  const KeyEditorState listedRepeat = DecodeAssignment({kAssignMacroRepeat, 0, 12}, 2);
  EXPECT_EQ(listedRepeat.macroItem, 0);
  EXPECT_TRUE(listedRepeat.repeatLineShown);

  // Play mode 4 is not a mode of kind 0x70; re-saving must not turn the code into 0x71.
  const KeyEditorState oddMode = DecodeAssignment({kAssignMacro, 0, 4}, 2);
  EXPECT_EQ(oddMode.playMode, -1);
  EXPECT_EQ(OutcomeOf(oddMode, 2), EncodeOutcome::kUnchanged);
}

// Every choice the editor can make comes back from its own code.
TEST(EditorRoundTrip, SwingAndWheel) {
  for (int direction = 0; direction < 2; ++direction) {
    for (int delay = 0; delay < 16; ++delay) {
      for (int speed = 0; speed < 16; ++speed) {
        for (int count = 0; count <= 128; ++count) {
          KeyEditorState s = WithFunction(kFunctionSwing);
          s.swingDirection = direction;
          s.swingDelay = delay;
          s.swingSpeed = speed;
          s.swingCount = count;
          if (count < 128) {
            EXPECT_EQ(DecodeAssignment(EncodeCode(s), 0), s);
          }

          KeyEditorState w = WithFunction(kFunctionWheel);
          w.wheelDirection = direction;
          w.wheelDelay = delay;
          w.wheelSpeed = speed;
          w.wheelCount = count;
          // Up counts 0-127 fit bits 0-6; down counts 1-128 are the negative bytes.
          const bool representable = direction == 0 ? count < 128 : count > 0;
          if (representable) {
            EXPECT_EQ(DecodeAssignment(EncodeCode(w), 0), w);
          }
        }
      }
    }
  }
}

TEST(EditorRoundTrip, FireMacroAndRecoilBytes) {
  for (int a = 0; a < 256; ++a) {
    KeyEditorState fire = WithFunction(kFunctionFire);
    fire.fireInterval = a;
    fire.fireCount = 255 - a;
    EXPECT_EQ(DecodeAssignment(EncodeCode(fire), 0), fire);

    KeyEditorState recoil = WithFunction(kFunctionRecoil);
    recoil.recoilItem = a;
    EXPECT_EQ(DecodeAssignment(EncodeCode(recoil), 0), recoil);

    KeyEditorState repeat = WithFunction(kFunctionMacro);
    repeat.macroItem = a;
    repeat.playMode = kPlayModeRepeat;
    repeat.repeatCount = 255 - a;
    repeat.repeatLineShown = true;
    EXPECT_EQ(DecodeAssignment(EncodeCode(repeat, 256), 256), repeat);

    for (int mode = 0; mode < 4; ++mode) {
      KeyEditorState macro = WithFunction(kFunctionMacro);
      macro.macroItem = a;
      macro.playMode = mode;
      EXPECT_EQ(DecodeAssignment(EncodeCode(macro, 256), 256), macro);
    }
  }
}

TEST(EditorRoundTrip, ListRows) {
  struct List {
    int function;
    int KeyEditorState::*row;
    int rows;
  };
  const List lists[] = {
      {kFunctionMouseButton, &KeyEditorState::mouseButtonRow, 5},
      {kFunctionDpi, &KeyEditorState::dpiRow, 3},
      {kFunctionMedia, &KeyEditorState::mediaRow, 18},
      {kFunctionSystem, &KeyEditorState::systemRow, 3},
      {kFunctionCombination, &KeyEditorState::comboRow, 11},
  };
  for (const List& list : lists) {
    for (int row = 0; row < list.rows; ++row) {
      KeyEditorState s = WithFunction(list.function);
      s.*list.row = row;
      EXPECT_EQ(DecodeAssignment(EncodeCode(s), 0), s) << list.function << " row " << row;
    }
  }
}

TEST(EditorRoundTrip, PickerKeys) {
  for (int n = 0; n < static_cast<int>(kKeyPickerRowCount); ++n) {
    KeyEditorState s = WithFunction(kFunctionKeyboardKey);
    s.pickerKey = n;
    const AssignmentCode code = EncodeCode(s);
    const KeyEditorState back = DecodeAssignment(code, 0);
    if (n == 96 || (n >= 106 && n <= 110)) {
      // Fn and M1-M5 are special codes with no page of their own.
      EXPECT_EQ(back.function, kFunctionNone) << n;
    } else if (n >= 115) {
      // The later empty keys show as the first one.
      EXPECT_EQ(back.function, kFunctionKeyboardKey) << n;
      EXPECT_EQ(back.pickerKey, 104) << n;
    } else {
      EXPECT_EQ(back, s) << n;
    }
  }
}

TEST(CapturedKey, ModifiersMapToTheirOptionsOnBothSides) {
  const int expected[] = {1, 2, 3, 4, 1, 2, 3, 4};
  for (size_t row = 0; row < kKeyCodeModifierRows; ++row) {
    const CaptureRow& capture = CaptureTable()[row];
    const auto key = LookupCapturedKey(capture.scanCode, capture.extended);
    ASSERT_TRUE(key.has_value()) << row;
    EXPECT_EQ(key->keyCodeRow, static_cast<int>(row));
    EXPECT_EQ(key->modifierOption, expected[row]) << row;
    EXPECT_EQ(CapturedKeyCode(*key, true, 0x44), KeyCodeTable()[row].code);
  }
  const auto rightShift = LookupCapturedKey(0x36, false);
  ASSERT_TRUE(rightShift.has_value());
  EXPECT_EQ(rightShift->modifierOption, 2);
  EXPECT_STREQ(rightShift->labelKey, "keyboard_key_RShift");
}

TEST(CapturedKey, TypedKeyTakesTheHeldModifierByte) {
  const auto a = LookupCapturedKey(0x1E, false);
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->modifierOption, -1);
  EXPECT_STREQ(a->labelKey, "keyboard_key_A");
  EXPECT_EQ(CapturedKeyCode(*a, true, 0x01), (AssignmentCode{kAssignKeyboard, 0x01, 0x04}));
  EXPECT_EQ(CapturedKeyCode(*a, false, 0x01), (AssignmentCode{kAssignKeyboard, 0x00, 0x04}));
  EXPECT_FALSE(LookupCapturedKey(0x00, false).has_value());
  EXPECT_FALSE(LookupCapturedKey(0x1E, true).has_value());
}

}  // namespace
}  // namespace varkon
