// A supported device is plugged in but its node cannot be opened: the window says which node,
// why, and how to fix it, instead of "no device".
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "fake_hidraw_tree.h"
#include "keyboard_program.h"
#include "platform/ui/control_find.h"
#include "platform/ui/language_text.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

class DeviceAccessEndToEnd : public test::ProgramTest {
 protected:
  bool Ready() override { return true; }
  size_t JobsPending() override { return 0; }
  std::string Text(const char* name) {
    QWidget* control = ui::FindControl(window_, QString::fromLatin1(name));
    return control ? control->property("text").toString().toStdString() : std::string();
  }

  test::FakeHidrawTree tree_;
  test::ScopedEnv sysfs_{"VARKON_SYSFS_ROOT", tree_.SysfsRoot()};
};

TEST_F(DeviceAccessEndToEnd, AnUnreachableKeyboardIsNamedWithTheFix) {
  // A keyboard whose settings interface the kernel shows, with no node under /dev.
  test::FakeHidNode keyboard;
  keyboard.number = 240;
  keyboard.interfaceNumber = "01";
  keyboard.devNode = false;
  tree_.AddNode(keyboard);
  Start({"--simulate", "keyboard", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  window_->show();
  // With the emulated keyboard attached nothing is said.
  EXPECT_FALSE(AskJson("state")["noDeviceLink"].asBool());
  ASSERT_EQ(Ask("sim unplug keyboard"), "ok");
  ASSERT_TRUE(test::WaitUntil([&] { return AskJson("state")["noDeviceLink"].asBool(); }, 5s));
  EXPECT_EQ(Text("no_device_text"), LanguageText("device_unreachable_text"));
  const std::string hint = Text("no_device_hint");
  EXPECT_NE(hint.find("keyboard (320f:5055)"), std::string::npos) << hint;
  EXPECT_NE(hint.find("/dev/hidraw240 does not exist"), std::string::npos) << hint;
  QDir().mkpath(VARKON_BINARY_DIR "/app-render");
  window_->grab().toImage().save(VARKON_BINARY_DIR "/app-render/device_unreachable.png");

  // The unreachable keyboard unplugged, the usual texts return at the next change.
  tree_.RemoveNode(240);
  ASSERT_EQ(Ask("sim plug keyboard"), "ok");
  ASSERT_TRUE(test::WaitUntil([&] { return !AskJson("state")["noDeviceLink"].asBool(); }, 5s));
  ASSERT_EQ(Ask("sim unplug keyboard"), "ok");
  ASSERT_TRUE(test::WaitUntil([&] { return AskJson("state")["noDeviceLink"].asBool(); }, 5s));
  EXPECT_EQ(Text("no_device_text"), LanguageText("no_device_text"));
  EXPECT_EQ(Text("no_device_hint"), LanguageText("no_device_hint"));
}

}  // namespace
}  // namespace varkon
