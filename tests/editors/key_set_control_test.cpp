// The key assignment editor panel on the program's own skin: what the mouse's buttons are given
// (button rows, swing, wheel, DPI, fire) goes through the real controls and back.
#include "editors/key_set_control.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListView>
#include <QWidget>
#include <memory>

#include "app/controls/register_custom_controls.h"
#include "editors/register_editor_controls.h"
#include "platform/ui/control_find.h"
#include "platform/ui/skin_loader.h"

namespace varkon {
namespace {

constexpr int kKeyboard = 1;
constexpr int kMouse = 2;

class KeySetControlTest : public ::testing::Test {
 protected:
  KeySetControlTest() : loader_(std::string(VARKON_SOURCE_DIR) + "/resources/skin/") {
    RegisterCustomControls(loader_);
    RegisterEditorControls(loader_);
  }
  std::unique_ptr<CKeySetControlUI> Load(int kind) {
    std::string error;
    std::unique_ptr<CKeySetControlUI> panel(
        qobject_cast<CKeySetControlUI*>(loader_.LoadSkin(kKeySetControlSkin, nullptr, &error)));
    EXPECT_NE(panel, nullptr) << error;
    EXPECT_TRUE(loader_.unknownTags().empty());
    if (panel) panel->Attach(kind, nullptr);
    return panel;
  }

  ui::SkinLoader loader_;
};

// The keyboard's list keeps every function (item i stays function i's) but hides DPI and recoil.
TEST_F(KeySetControlTest, OnlyTheMouseOffersDpiAndRecoil) {
  std::unique_ptr<CKeySetControlUI> keyboard = Load(kKeyboard);
  std::unique_ptr<CKeySetControlUI> mouse = Load(kMouse);
  ASSERT_TRUE(keyboard && mouse);
  const auto offered = [](CKeySetControlUI& panel, int function) {
    auto* combo =
        qobject_cast<QComboBox*>(ui::FindControl(&panel, QStringLiteral("keyset_function_combo")));
    auto* view = combo ? qobject_cast<QListView*>(combo->view()) : nullptr;
    const int item = panel.FunctionItemFor(function);
    return view && item >= 0 && !view->isRowHidden(item);
  };
  for (int function = kFunctionDefault; function < kFunctionCount; ++function) {
    EXPECT_TRUE(offered(*mouse, function)) << function;
    const bool keyboardHasIt = function != kFunctionDpi && function != kFunctionRecoil;
    EXPECT_EQ(offered(*keyboard, function), keyboardHasIt) << function;
  }
}

// Each of the mouse's own functions, set in the controls, becomes its code; the code shown again
// brings the same controls back (a control missing from the skin or read from the wrong place
// breaks one of the two).
TEST_F(KeySetControlTest, MouseFunctionsGoThroughTheControlsAndBack) {
  std::unique_ptr<CKeySetControlUI> panel = Load(kMouse);
  ASSERT_TRUE(panel);
  struct Case {
    KeyEditorState state;
    AssignmentCode code;
  };
  std::vector<Case> cases;
  KeyEditorState state = ResetEditorControls();
  state.function = kFunctionMouseButton;
  state.mouseButtonRow = 1;
  cases.push_back({state, {}});
  state = ResetEditorControls();
  state.function = kFunctionSwing;
  state.swingDirection = 1;
  state.swingCount = 5;
  state.swingDelay = 3;
  state.swingSpeed = 7;
  cases.push_back({state, {}});
  state = ResetEditorControls();
  state.function = kFunctionWheel;
  state.wheelDirection = 1;
  state.wheelCount = 4;
  state.wheelDelay = 2;
  state.wheelSpeed = 9;
  cases.push_back({state, {}});
  state = ResetEditorControls();
  state.function = kFunctionDpi;
  state.dpiRow = 2;
  cases.push_back({state, {}});
  state = ResetEditorControls();
  state.function = kFunctionFire;
  state.fireInterval = 80;
  state.fireCount = 3;
  cases.push_back({state, {}});

  KeyAssignmentRecord record;
  record.defaultSlot.code = {kAssignMouseButton, 0x01, 0};
  record.main = record.defaultSlot;
  for (const Case& c : cases) {
    panel->ShowRecord(record, false);
    panel->ShowState(c.state);
    panel->ShowFunctionPage(c.state.function);
    const AssignmentCode code = panel->EncodeMain().main.code;
    EXPECT_EQ(code, EncodeEditorChoice(c.state, 0).code) << c.state.function;
    EXPECT_NE(code, record.defaultSlot.code) << c.state.function;
    KeyAssignmentRecord shown = record;
    shown.main.code = code;
    panel->ShowRecord(shown, false);
    const KeyEditorState back = panel->ReadControls();
    EXPECT_EQ(back.function, c.state.function);
    EXPECT_EQ(EncodeEditorChoice(back, 0).code, code) << c.state.function;
  }
}

TEST_F(KeySetControlTest, PlayModeFourShowsTheRepeatCount) {
  std::unique_ptr<CKeySetControlUI> panel = Load(kKeyboard);
  ASSERT_TRUE(panel);
  panel->resize(1000, 150);
  panel->show();
  panel->SetMacroNames({"one", "two"});
  panel->SelectFunction(kFunctionMacro);
  KeyEditorState state = panel->ReadControls();
  state.macroItem = 1;
  state.playMode = kPlayModeRepeat;
  state.repeatCount = 6;
  panel->ShowState(state);
  panel->FollowPlayMode();
  QWidget* cycle = ui::FindControl(panel.get(), QStringLiteral("keyset_macro_cycle_layout"));
  ASSERT_NE(cycle, nullptr);
  EXPECT_TRUE(cycle->isVisible());
  EXPECT_EQ(panel->Encode(false).main.code, (AssignmentCode{kAssignMacroRepeat, 1, 6}));
  state.playMode = 2;
  panel->ShowState(state);
  panel->FollowPlayMode();
  EXPECT_FALSE(cycle->isVisible());
  EXPECT_EQ(panel->Encode(false).main.code, (AssignmentCode{kAssignMacro, 1, 2}));
}

}  // namespace
}  // namespace varkon
