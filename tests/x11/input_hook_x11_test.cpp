// Key capture on a real X server: keys typed through the server reach the input hook as set-1
// scan codes, Tab included, the keyboard is grabbed while a capture runs and released after it;
// and the main window turns the capture on and off with message 1054.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "app/keyboard_program.h"
#include "app/main_window.h"
#include "devices/key_editor_state.h"
#include "editors/key_set_control.h"
#include "platform/ui/control_find.h"
#include "platform/ui/input_hook.h"
#include "platform/ui/message_bus.h"
#include "x11_test_support.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

struct Reported {
  uint8_t scanCode;
  bool extended;
  bool down;
  friend bool operator==(const Reported&, const Reported&) = default;
};

class InputHookX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    window_->setWindowTitle(QStringLiteral("capture test"));
    auto* layout = new QVBoxLayout(window_.get());
    first_ = new QLineEdit(window_.get());
    second_ = new QLineEdit(window_.get());
    layout->addWidget(first_);
    layout->addWidget(second_);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    first_->setFocus();
  }

  ui::InputHook::KeyCallback Recorder() {
    return [this](uint8_t scan, bool extended, bool down, bool repeat) {
      if (!repeat) reported_.push_back({scan, extended, down});
    };
  }
  // Types `keys` and waits until the hook reported `count` events (or a second passed).
  void Type(const QStringList& keys, size_t count) {
    ASSERT_TRUE(test::TypeKeys(keys));
    test::WaitUntil([&] { return reported_.size() >= count; }, 1000ms);
  }

  std::unique_ptr<QWidget> window_;
  QLineEdit* first_ = nullptr;
  QLineEdit* second_ = nullptr;
  std::vector<Reported> reported_;
};

TEST_F(InputHookX11, TypedKeysArriveAsSetOneScanCodes) {
  ui::InputHook hook;
  ASSERT_TRUE(hook.Start(window_.get(), ui::kHookSingleKey, Recorder()));
  EXPECT_TRUE(hook.KeyboardGrabbed()) << "the X server refused the keyboard grab";

  // Right Shift and right Ctrl go by X key code (evdev + 8): typed by their names, xdotool
  // holds the left modifier of the same kind with them.
  Type({"a", "Tab", "Right", "62", "Super_L", "KP_Enter", "105"}, 14);
  const std::vector<Reported> expected = {
      {0x1E, false, true}, {0x1E, false, false},  // a
      {0x0F, false, true}, {0x0F, false, false},  // Tab
      {0x4D, true, true},  {0x4D, true, false},   // Right
      {0x36, false, true}, {0x36, false, false},  // right Shift
      {0x5B, true, true},  {0x5B, true, false},   // left Windows (Super)
      {0x1C, true, true},  {0x1C, true, false},   // keypad Enter
      {0x1D, true, true},  {0x1D, true, false},   // right Ctrl
  };
  EXPECT_EQ(reported_, expected);
  // Neither typing nor a focus move reached the controls.
  EXPECT_TRUE(first_->text().isEmpty());
  EXPECT_TRUE(first_->hasFocus());
}

TEST_F(InputHookX11, AfterStopKeysGoToTheControlsAgain) {
  ui::InputHook hook;
  ASSERT_TRUE(hook.Start(window_.get(), ui::kHookSingleKey, Recorder()));
  Type({"x"}, 2);
  ASSERT_EQ(reported_.size(), 2u);
  hook.Stop();
  EXPECT_FALSE(hook.Running());

  ASSERT_TRUE(test::TypeKeys({"b", "Tab"}));
  test::WaitUntil([&] { return second_->hasFocus(); }, 1000ms);
  EXPECT_EQ(first_->text(), QStringLiteral("b"));
  EXPECT_TRUE(second_->hasFocus());
  EXPECT_EQ(reported_.size(), 2u) << "the hook reported keys after Stop";
}

TEST_F(InputHookX11, HidingTheWindowReleasesTheGrab) {
  ui::InputHook hook;
  ASSERT_TRUE(hook.Start(first_, ui::kHookSingleKey, Recorder()));
  ASSERT_TRUE(hook.KeyboardGrabbed());
  window_->hide();
  EXPECT_FALSE(hook.Running());
  ASSERT_TRUE(test::TypeKeys({"a"}));
  test::WaitUntil([] { return false; }, 100ms);
  EXPECT_TRUE(reported_.empty());
}

// The program with the emulated keyboard: 1054 with 1 starts the capture on the main window,
// with 0 ends it; hiding the window ends it too.
class MainWindowCaptureX11 : public test::KeyboardProgram {
 protected:
  void SetUp() override {
    test::KeyboardProgram::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(test::WaitUntil([&] { return window_->isVisible(); }, 5s));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
  }
  void Capture(uintptr_t on) {
    ui::Message message;
    message.number = kMessageKeyCapture;
    message.wParam = on;
    window_->bus().Send(message);
    test::WaitUntil([] { return false; }, 20ms);
  }
  bool Capturing() const { return window_->inputHook() && window_->inputHook()->Running(); }
};

TEST_F(MainWindowCaptureX11, MessageTurnsTheCaptureOnAndOff) {
  EXPECT_FALSE(Capturing());
  Capture(1);
  ASSERT_TRUE(Capturing());
  EXPECT_EQ(window_->inputHook()->Mode(), ui::kHookSingleKey);
  EXPECT_TRUE(window_->inputHook()->KeyboardGrabbed());

  // Typed keys, Tab among them, stay with the capture: the focus does not move.
  QWidget* focus = QApplication::focusWidget();
  ASSERT_TRUE(test::TypeKeys({"Tab", "Tab", "a"}));
  test::WaitUntil([] { return false; }, 200ms);
  EXPECT_EQ(QApplication::focusWidget(), focus);
  EXPECT_TRUE(Capturing());

  Capture(0);
  EXPECT_FALSE(Capturing());
  Capture(1);
  ASSERT_TRUE(Capturing());
  EXPECT_EQ(Ask("window hide"), "ok");
  ASSERT_TRUE(test::WaitUntil([&] { return !window_->isVisible(); }, 2s));
  EXPECT_FALSE(Capturing()) << "the capture outlived the shown window";
  // A hidden window does not start one.
  Capture(1);
  EXPECT_FALSE(Capturing());
}

// What a user does: choose a key on the picture, click into the editor's key field and press a
// key on the real keyboard; the editor shows that key and the key list holds it.
TEST_F(MainWindowCaptureX11, AKeyTypedIntoTheKeyFieldBecomesTheKeysFunction) {
  ASSERT_EQ(Ask("ui click key_Op_tab"), "ok");
  const int key = 30;
  ASSERT_EQ(Ask("ui click key_" + std::to_string(key)), "ok");
  CKeySetControlUI* editor = Keyboard()->KeyEditor();
  ASSERT_NE(editor, nullptr);
  auto* field = qobject_cast<QLineEdit*>(
      ui::FindControl(editor, QStringLiteral("keyset_keyboard_text_edit")));
  ASSERT_NE(field, nullptr);
  ASSERT_EQ(Ask("ui select keyset_function_combo " +
                std::to_string(editor->FunctionItemFor(kFunctionKeyboardKey))),
            "ok");
  ASSERT_TRUE(test::WaitUntil([&] { return field->isVisible(); }, 2s));
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
  QTest::mouseClick(field, Qt::LeftButton);
  ASSERT_TRUE(test::WaitUntil([&] { return Capturing(); }, 2s)) << "focus did not start it";
  ASSERT_TRUE(test::TypeKeys({"b"}));
  ASSERT_TRUE(test::WaitUntil([&] { return !editor->CapturedText().isEmpty(); }, 2s));
  EXPECT_EQ(editor->CapturedText(), QStringLiteral("B"));
  Settle();
  const AssignmentCode code = Keyboard()->KeyRecord(key).main.code;
  EXPECT_EQ(code, (AssignmentCode{kAssignKeyboard, 0, 0x05}));
  // Leaving the field ends the capture.
  field->clearFocus();
  EXPECT_TRUE(test::WaitUntil([&] { return !Capturing(); }, 2s));
}

TEST_F(MainWindowCaptureX11, ShutdownEndsTheCapture) {
  Capture(1);
  ASSERT_TRUE(Capturing());
  window_->Shutdown();
  EXPECT_FALSE(Capturing());
}

}  // namespace
}  // namespace varkon
