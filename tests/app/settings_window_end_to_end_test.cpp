// The settings window from the title bar: what is installed (the program and each attached
// device's firmware), and the language chosen there re-texting the window at once and kept for
// the next start.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QListWidget>

#include "app/set_wnd.h"
#include "keyboard_program.h"
#include "platform/ui/language_text.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

class SettingsWindowEndToEnd : public test::ProgramTest {
 protected:
  bool Ready() override {
    CTarnwiseUSBDevice* device = window_->CurrentDevice();
    return device && device->Logic().FirmwareVersion() != 0;
  }
  size_t JobsPending() override {
    CTarnwiseUSBDevice* device = window_ ? window_->CurrentDevice() : nullptr;
    return device ? device->Logic().Jobs().Pending() : 0;
  }
  std::string TabText() {
    return window_->CurrentDevice()
        ->findChild<QAbstractButton*>("deng_Op_tab")
        ->text()
        .toStdString();
  }
};

TEST_F(SettingsWindowEndToEnd, ShowsWhatIsInstalledAndSwitchesTheLanguage) {
  Start({"--simulate", "keyboard,pad", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  window_->show();
  EXPECT_EQ(TabText(), "Lighting");
  // Both devices read, so both have their firmware known.
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        const auto devices = window_->findChildren<CTarnwiseUSBDevice*>();
        return devices.size() == 2 && devices[0]->Logic().FirmwareVersion() != 0 &&
               devices[1]->Logic().FirmwareVersion() != 0;
      },
      5s));
  std::vector<std::string> rows;
  InModal("ui click setbtn", {"ui select Language_combox_info 0", "ui click closebtn"},
          [&](QWidget* modal) {
            auto* settings = qobject_cast<CSetWnd*>(modal);
            ASSERT_NE(settings, nullptr);
            EXPECT_EQ(settings->size(), QSize(630, 500));
            auto* list = qobject_cast<QListWidget*>(settings->Control("device_update_list_info"));
            ASSERT_NE(list, nullptr);
            for (int i = 0; i < list->count(); ++i) {
              rows.push_back(list->item(i)->text().toStdString());
            }
            QDir().mkpath(VARKON_BINARY_DIR "/app-render");
            settings->grab().toImage().save(VARKON_BINARY_DIR "/app-render/settings_window.png");
          });
  // The choice was applied while the window was open.
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[0].rfind("Varkon Korvu Wired    ", 0), 0u) << rows[0];
  EXPECT_GT(rows[0].size(), std::string("Varkon Korvu Wired    ").size());
  bool keyboard = false, pad = false;
  for (const std::string& row : rows) {
    keyboard = keyboard || row == "keyboard    1.02";
    pad = pad || row == "MousePad    1.02";
  }
  EXPECT_TRUE(keyboard && pad) << rows[1] << " / " << rows[2];
  EXPECT_EQ(TabText(), LanguageText("tab_light"));
  EXPECT_NE(TabText(), "Lighting");
  EXPECT_EQ(AskJson("state")["language"].asInt(), 0);

  Restart({"--simulate", "keyboard,pad", "--latency", "0"});
  EXPECT_EQ(AskJson("state")["language"].asInt(), 0);
  EXPECT_NE(TabText(), "Lighting");
}

}  // namespace
}  // namespace varkon
