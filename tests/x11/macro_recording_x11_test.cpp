// Recording a macro on a real X server: keys typed and a button clicked through the server
// (xdotool) become the macro's steps, the click that stops the recording is not one of them,
// and once the recording ends, by its button or by the window hiding, nothing holds the
// keyboard or the pointer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "app/keyboard_program.h"
#include "app/main_window.h"
#include "editors/macro_control.h"
#include "platform/ui/input_hook.h"
#include "profile/macro_step.h"
#include "x11_test_support.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

class MacroRecordingX11 : public test::KeyboardProgram {
 protected:
  void SetUp() override {
    test::KeyboardProgram::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(test::WaitUntil([&] { return window_->isVisible(); }, 5s));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    ASSERT_EQ(Ask("ui click macro_Op_tab"), "ok");
    ActThenAnswer("ui click macro_btn_name_add", {{"ui", "answer", "ok"}});
    ASSERT_EQ(Panel()->Library().Items().size(), 1u);
  }
  CMacroControlUI* Panel() const { return Keyboard()->MacroPanel(); }
  QWidget* Control(const char* name) const { return Keyboard()->findChild<QWidget*>(name); }
  bool Capturing() const { return window_->inputHook() && window_->inputHook()->Running(); }
  // Clicks the middle of `control` through the X server.
  bool ClickOn(QWidget* control, int button) {
    const QPoint centre = control->mapToGlobal(control->rect().center());
    return test::ClickAt(centre.x(), centre.y(), button);
  }
};

TEST_F(MacroRecordingX11, TypedKeysAndClicksBecomeStepsAndTheGrabEndsWithTheRecording) {
  ASSERT_TRUE(ClickOn(Control("macro_btn_starredio"), 1));
  ASSERT_TRUE(test::WaitUntil([&] { return window_->MacroRecording(); }, 2s));
  ASSERT_TRUE(Capturing());
  EXPECT_TRUE(window_->inputHook()->KeyboardGrabbed());
  EXPECT_TRUE(window_->inputHook()->MouseGrabbed());
  // The click that started the recording came before it: its release is not a step.
  test::WaitUntil([] { return false; }, 100ms);
  const int before = Panel()->ShownStepCount();

  ASSERT_TRUE(test::TypeKeys({"a"}));
  test::WaitUntil([] { return false; }, 300ms);
  ASSERT_TRUE(test::TypeKeys({"b"}));
  // A right double click on the (disabled) step list and a click outside the window: all
  // recorded, each press once.
  const QPoint list = Control("macro_action_list")->mapToGlobal(QPoint(20, 20));
  ASSERT_TRUE(test::ClickAt(list.x(), list.y(), 3, 2));
  const QRect frame = window_->frameGeometry();
  ASSERT_TRUE(test::ClickAt(frame.right() + 10, frame.bottom() + 10, 1));
  ASSERT_TRUE(test::WaitUntil([&] { return Panel()->ShownStepCount() >= before + 10; }, 3s))
      << Panel()->ShownStepCount();

  ASSERT_TRUE(ClickOn(Control("macro_btn_stopredio"), 1));
  ASSERT_TRUE(test::WaitUntil([&] { return !window_->MacroRecording(); }, 2s));
  EXPECT_FALSE(Capturing());
  test::WaitUntil([] { return false; }, 100ms);

  const auto& rows = Panel()->Library().Rows();
  ASSERT_EQ(rows.size(), static_cast<size_t>(before + 10));
  const int expected[][3] = {// type, button, down
                             {kStepKey, 0x04, 1},         {kStepKey, 0x04, 0},
                             {kStepKey, 0x05, 1},         {kStepKey, 0x05, 0},
                             {kStepMouseButton, 0x02, 1}, {kStepMouseButton, 0x02, 0},
                             {kStepMouseButton, 0x02, 1}, {kStepMouseButton, 0x02, 0},
                             {kStepMouseButton, 0x01, 1}, {kStepMouseButton, 0x01, 0}};
  for (size_t i = 0; i < 10; ++i) {
    const MacroStep step = ReadMacroStep(ParseMacroRow(rows[static_cast<size_t>(before) + i]));
    EXPECT_EQ(step.type, expected[i][0]) << i;
    EXPECT_EQ(step.button, expected[i][1]) << i;
    EXPECT_EQ(step.down, expected[i][2] == 1) << i;
  }
  // "a" up to "b" down waited the pause.
  EXPECT_GE(LeadingDecimal(rows[static_cast<size_t>(before) + 1].delayText), 300);

  // Keys reach the controls again: the name field takes typing.
  auto* name = qobject_cast<QLineEdit*>(Control("macro_edit_macroname"));
  ASSERT_NE(name, nullptr);
  ASSERT_TRUE(ClickOn(name, 1));
  name->end(false);
  ASSERT_TRUE(test::TypeKeys({"z"}));
  EXPECT_TRUE(test::WaitUntil([&] { return name->text().endsWith('z'); }, 2s))
      << name->text().toStdString();
  EXPECT_EQ(Panel()->Library().Rows().size(), static_cast<size_t>(before + 10));
}

TEST_F(MacroRecordingX11, HidingTheWindowEndsTheRecordingAndItsGrab) {
  ASSERT_EQ(Ask("ui click macro_btn_starredio"), "ok");
  ASSERT_TRUE(window_->MacroRecording());
  ASSERT_TRUE(Capturing());
  EXPECT_EQ(Ask("window hide"), "ok");
  ASSERT_TRUE(test::WaitUntil([&] { return !window_->isVisible(); }, 2s));
  EXPECT_FALSE(Capturing()) << "the grab outlived the shown window";
  EXPECT_FALSE(window_->MacroRecording());
  EXPECT_TRUE(Control("KeySetControlItem")->isEnabled());
}

}  // namespace
}  // namespace varkon
