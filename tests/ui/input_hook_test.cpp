// The input hook on the offscreen platform: keys reach the hook and nothing else (no typing, no
// focus move on Tab, no shortcut), native codes become set-1 scan codes, held keys repeat
// without a new press, and the capture ends on Stop, on hiding and with the window.
#include "platform/ui/input_hook.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QTest>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "ui_test_support.h"

namespace varkon::ui {
namespace {

struct Reported {
  uint8_t scanCode;
  bool extended;
  bool down;
  bool autoRepeat;
  friend bool operator==(const Reported&, const Reported&) = default;
};

// evdev codes of a few keys, with the window system's offset of 8.
constexpr uint32_t kNativeA = 30 + 8;
constexpr uint32_t kNativeTab = 15 + 8;
constexpr uint32_t kNativeRight = 106 + 8;
constexpr uint32_t kNativeLeftMeta = 125 + 8;

class InputHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    first_ = new QLineEdit(window_.get());
    second_ = new QLineEdit(window_.get());
    layout->addWidget(first_);
    layout->addWidget(second_);
    window_->show();
    window_->activateWindow();
    first_->setFocus();
    test::Pump(std::chrono::milliseconds(20));
  }

  InputHook::KeyCallback Recorder() {
    return [this](uint8_t scan, bool extended, bool down, bool repeat) {
      reported_.push_back({scan, extended, down, repeat});
    };
  }

  // A key event as the window system delivers it, sent to the focused edit.
  bool Send(QEvent::Type type, int key, uint32_t native, bool autoRepeat = false,
            const QString& text = QString()) {
    QKeyEvent event(type, key, Qt::NoModifier, native, 0, 0, text, autoRepeat);
    return QApplication::sendEvent(first_, &event);
  }
  void Press(int key, uint32_t native, const QString& text = QString()) {
    Send(QEvent::KeyPress, key, native, false, text);
    Send(QEvent::KeyRelease, key, native, false, text);
  }

  std::unique_ptr<QWidget> window_;
  QLineEdit* first_ = nullptr;
  QLineEdit* second_ = nullptr;
  std::vector<Reported> reported_;
};

TEST_F(InputHookTest, ReportsScanCodesAndKeepsKeysFromTheControls) {
  InputHook hook;
  ASSERT_TRUE(hook.Start(window_.get(), kHookSingleKey, Recorder()));
  EXPECT_TRUE(hook.Running());
  EXPECT_EQ(hook.Mode(), kHookSingleKey);

  Press(Qt::Key_A, kNativeA, QStringLiteral("a"));
  Press(Qt::Key_Right, kNativeRight);
  Press(Qt::Key_Meta, kNativeLeftMeta);

  const std::vector<Reported> expected = {
      {0x1E, false, true, false}, {0x1E, false, false, false}, {0x4D, true, true, false},
      {0x4D, true, false, false}, {0x5B, true, true, false},   {0x5B, true, false, false},
  };
  EXPECT_EQ(reported_, expected);
  EXPECT_TRUE(first_->text().isEmpty()) << "the edit received typing";
}

TEST_F(InputHookTest, TabIsCapturedInsteadOfMovingTheFocus) {
  InputHook hook;
  ASSERT_TRUE(hook.Start(window_.get(), kHookSingleKey, Recorder()));
  QTest::keyClick(first_, Qt::Key_Tab);
  Press(Qt::Key_Tab, kNativeTab);
  test::Pump(std::chrono::milliseconds(10));
  EXPECT_TRUE(first_->hasFocus());
  ASSERT_EQ(reported_.size(), 2u);
  EXPECT_EQ(reported_[0], (Reported{0x0F, false, true, false}));

  hook.Stop();
  QTest::keyClick(first_, Qt::Key_Tab);
  EXPECT_TRUE(second_->hasFocus()) << "Tab moves the focus again after the capture";
}

TEST_F(InputHookTest, ShortcutsDoNotFireDuringACapture) {
  int fired = 0;
  auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F5), window_.get());
  QObject::connect(shortcut, &QShortcut::activated, [&] { ++fired; });

  InputHook hook;
  ASSERT_TRUE(hook.Start(first_, kHookSingleKey, Recorder()));
  QTest::keyClick(first_, Qt::Key_F5);
  EXPECT_EQ(fired, 0);
  hook.Stop();
  QTest::keyClick(first_, Qt::Key_F5);
  EXPECT_EQ(fired, 1) << "the shortcut works outside a capture (the test's premise)";
}

TEST_F(InputHookTest, AHeldKeyRepeatsWithoutANewPress) {
  InputHook hook;
  ASSERT_TRUE(hook.Start(window_.get(), kHookSingleKey, Recorder()));
  // The window system's repetition flag, then a second press of a held key without it.
  Send(QEvent::KeyPress, Qt::Key_A, kNativeA);
  Send(QEvent::KeyRelease, Qt::Key_A, kNativeA, true);
  Send(QEvent::KeyPress, Qt::Key_A, kNativeA, true);
  Send(QEvent::KeyPress, Qt::Key_A, kNativeA);
  Send(QEvent::KeyRelease, Qt::Key_A, kNativeA);
  Send(QEvent::KeyPress, Qt::Key_A, kNativeA);

  const std::vector<Reported> expected = {
      {0x1E, false, true, false}, {0x1E, false, false, true},  {0x1E, false, true, true},
      {0x1E, false, true, true},  {0x1E, false, false, false}, {0x1E, false, true, false},
  };
  EXPECT_EQ(reported_, expected);
}

TEST_F(InputHookTest, KeysWithoutAScanCodeAreSwallowedButNotReported) {
  InputHook hook;
  ASSERT_TRUE(hook.Start(window_.get(), kHookSingleKey, Recorder()));
  Press(Qt::Key_B, 0, QStringLiteral("b"));  // no native code
  Press(Qt::Key_B, 3, QStringLiteral("b"));  // below the offset
  Press(Qt::Key_unknown, 0x110 + 8);         // a mouse button's code
  EXPECT_TRUE(reported_.empty());
  EXPECT_TRUE(first_->text().isEmpty());
}

TEST_F(InputHookTest, StopEndsTheCapture) {
  InputHook hook;
  ASSERT_TRUE(hook.Start(window_.get(), kHookSingleKey, Recorder()));
  hook.Stop();
  EXPECT_FALSE(hook.Running());
  EXPECT_FALSE(hook.KeyboardGrabbed());
  EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
  Press(Qt::Key_A, kNativeA, QStringLiteral("a"));
  EXPECT_TRUE(reported_.empty());
  EXPECT_EQ(first_->text(), QStringLiteral("a"));
  hook.Stop();  // again: nothing happens
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window_->findChildren<QWidget*>(QStringLiteral("input_hook_capture")).isEmpty());
}

TEST_F(InputHookTest, TheCallbackMayStopTheCapture) {
  InputHook hook;
  int calls = 0;
  ASSERT_TRUE(hook.Start(window_.get(), kHookSingleKey, [&](uint8_t, bool, bool, bool) {
    ++calls;
    hook.Stop();
  }));
  Press(Qt::Key_A, kNativeA, QStringLiteral("a"));
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(hook.Running());
}

TEST_F(InputHookTest, HidingTheWindowEndsTheCapture) {
  InputHook hook;
  ASSERT_TRUE(hook.Start(first_, kHookSingleKey, Recorder()));
  second_->hide();  // a child hiding is not the window hiding
  EXPECT_TRUE(hook.Running());
  window_->hide();
  EXPECT_FALSE(hook.Running());
  EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST_F(InputHookTest, DestroyingTheWindowEndsTheCapture) {
  InputHook hook;
  ASSERT_TRUE(hook.Start(window_.get(), kHookMacroAppend, Recorder()));
  window_.reset();
  EXPECT_FALSE(hook.Running());
  EXPECT_EQ(QWidget::keyboardGrabber(), nullptr);
}

TEST_F(InputHookTest, AHiddenWindowCannotBeCaptured) {
  InputHook hook;
  QWidget hidden;
  EXPECT_FALSE(hook.Start(&hidden, kHookSingleKey, Recorder()));
  EXPECT_FALSE(hook.Start(nullptr, kHookSingleKey, Recorder()));
  EXPECT_FALSE(hook.Running());
}

TEST_F(InputHookTest, ASecondStartReplacesTheFirst) {
  InputHook hook;
  std::vector<Reported> first;
  ASSERT_TRUE(hook.Start(window_.get(), kHookSingleKey, [&](uint8_t s, bool e, bool d, bool r) {
    first.push_back({s, e, d, r});
  }));
  ASSERT_TRUE(hook.Start(window_.get(), kHookMacroAfter, Recorder()));
  EXPECT_EQ(hook.Mode(), kHookMacroAfter);
  Press(Qt::Key_A, kNativeA, QStringLiteral("a"));
  EXPECT_TRUE(first.empty());
  EXPECT_EQ(reported_.size(), 2u);
  hook.Stop();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window_->findChildren<QWidget*>(QStringLiteral("input_hook_capture")).isEmpty());
}

}  // namespace
}  // namespace varkon::ui
