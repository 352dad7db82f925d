// The settings window from the title bar: what is installed (the program and each attached
// device's firmware), and the language chosen there re-texting the window at once and kept for
// the next start.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <fstream>

#include "app/autostart.h"
#include "app/set_wnd.h"
#include "app/update_row.h"
#include "keyboard_program.h"
#include "platform/control_socket.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_values.h"
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
  // The rows of the open settings window's update list: name, then installed version.
  static std::vector<std::string> Rows(CSetWnd* settings) {
    std::vector<std::string> rows;
    auto* list = qobject_cast<QListWidget*>(settings->Control("device_update_list_info"));
    if (!list) return rows;
    for (int i = 0; i < list->count(); ++i) {
      auto* row = qobject_cast<UpdateRow*>(list->itemWidget(list->item(i)));
      if (!row) continue;
      rows.push_back(row->CheckBox()->text().toStdString() + "    " +
                     row->findChild<QWidget*>("OldRev")->property("text").toString().toStdString());
    }
    return rows;
  }
  static UpdateRow* Row(CSetWnd* settings, int index) {
    auto* list = qobject_cast<QListWidget*>(settings->Control("device_update_list_info"));
    return qobject_cast<UpdateRow*>(list->itemWidget(list->item(index)));
  }
  static std::string TextOf(QWidget* scope, const char* name) {
    return scope->findChild<QWidget*>(name)->property("text").toString().toStdString();
  }
  // A request made as a user or an updater would, with its queued work done.
  void Do(const std::string& request) {
    if (request.rfind("send ", 0) == 0) {
      std::string answer;
      EXPECT_TRUE(ControlClient(dir_.File("control")).Request(request, answer));
      EXPECT_EQ(answer, "ok") << request;
      test::WaitUntil([] { return false; }, 30ms);
      return;
    }
    std::vector<std::string> words;
    for (const QString& w : QString::fromStdString(request).split(' ', Qt::SkipEmptyParts)) {
      words.push_back(w.toStdString());
    }
    EXPECT_EQ(program_->HandleRequest(words), "ok") << request;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
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
  EXPECT_TRUE(ui::ForegroundImage(ui::FindControl(window_, QStringLiteral("setbtn"))).isEmpty());
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
            rows = Rows(settings);
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

// An outside updater offers a newer keyboard firmware; the user ticks it and confirms; the
// updater reads the chosen row from the program's state and reports its progress and the end
// through the "EBF15" message. The window will not close while the row is being updated.
TEST_F(SettingsWindowEndToEnd, AnOutsideUpdaterDrivesTheChosenRow) {
  const std::string user = dir_.File("data") + "/Varkon Korvu Wired";
  QDir().mkpath(QString::fromStdString(user));
  std::ofstream(user + "/updateinfo.json")
      << R"({"updates": [{"id": "keyboard", "version": "1.03"},)"
         R"( {"id": "program", "version": "0.0.1"}]})";
  std::ofstream(user + "/updatetime.config") << R"({"updatelasttime": {"value": "2026-3-9"}})";
  Start({"--simulate", "keyboard", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  window_->show();
  // The offer shows as a badge on the settings button when the window is shown.
  window_->hide();
  window_->show();
  QWidget* setbtn = ui::FindControl(window_, QStringLiteral("setbtn"));
  EXPECT_EQ(ui::ForegroundImage(setbtn), "image/update_badge.svg");
  QDir().mkpath(VARKON_BINARY_DIR "/app-render");
  window_->grab(QRect(window_->width() - 240, 0, 240, 40))
      .toImage()
      .save(VARKON_BINARY_DIR "/app-render/update_badge.png");
  const std::string progress = "send {4695579F-999A-41d4-9FAF-EFFCE93EBF15} 4 55";
  const std::string done = "send {4695579F-999A-41d4-9FAF-EFFCE93EBF15} 1 0";
  bool closedEarly = true;
  InModal("ui click setbtn", {}, [&](QWidget* modal) {
    auto* settings = qobject_cast<CSetWnd*>(modal);
    ASSERT_NE(settings, nullptr);
    ASSERT_EQ(Rows(settings).size(), 2u);
    EXPECT_EQ(TextOf(settings, "Update_Status_text"), LanguageText("HaveUpdateInfoText"));
    UpdateRow* keyboard = Row(settings, 1);
    EXPECT_EQ(TextOf(keyboard, "updateRev"), "1.03");
    EXPECT_EQ(TextOf(keyboard, "update_status_text"), LanguageText("NeedUpdateText"));
    // The program's own row has nothing newer (0.0.1 is older): up to date, its box disabled.
    EXPECT_FALSE(Row(settings, 0)->CheckBox()->isEnabled());
    EXPECT_EQ(TextOf(Row(settings, 0), "update_status_text"), LanguageText("LessUpdateText"));
    EXPECT_TRUE(settings->Control("update_fw_and_ap")->isHidden());

    Do("ui check check_name_select#" +
       std::to_string(
           settings->findChildren<QCheckBox*>("check_name_select").indexOf(keyboard->CheckBox())) +
       " on");
    EXPECT_TRUE(keyboard->CheckBox()->isChecked());
    Do("ui click update_fw_and_ap");
    Do("ui click update_OK_btn");
    const Json::Value list = AskJson("state")["updateList"];
    EXPECT_EQ(list["current"].asInt(), 1);
    EXPECT_EQ(list["items"][1]["id"].asString(), "keyboard");
    EXPECT_EQ(list["items"][1]["state"].asInt(), kUpdateWaiting);
    EXPECT_EQ(TextOf(settings, "Update_Status_text"), LanguageText("ISUpdateINGText"));

    Do(progress);
    EXPECT_EQ(TextOf(keyboard, "update_progress_value"), "55%");
    EXPECT_FALSE(keyboard->findChild<QWidget*>("update_progress_value")->isHidden());
    EXPECT_EQ(TextOf(keyboard, "update_status_text"), LanguageText("UpdateIngText"));
    QDir().mkpath(VARKON_BINARY_DIR "/app-render");
    settings->grab().toImage().save(VARKON_BINARY_DIR "/app-render/settings_updating.png");
    Do("ui click closebtn");
    EXPECT_TRUE(settings->isVisible());  // refused while the keyboard is being updated

    Do(done);
    EXPECT_EQ(TextOf(keyboard, "update_status_text"), LanguageText("UpdateOkText"));
    EXPECT_EQ(TextOf(keyboard, "OldRev"), "1.03");
    EXPECT_TRUE(keyboard->findChild<QWidget*>("updateRev")->isHidden());
    EXPECT_EQ(TextOf(settings, "Update_Status_text"),
              LanguageText("UpdateIsLastText") + "2026-3-9");
    closedEarly = false;
    settings->grab().toImage().save(VARKON_BINARY_DIR "/app-render/settings_updated.png");
    Do("ui click closebtn");
  });
  EXPECT_FALSE(closedEarly);
  EXPECT_FALSE(AskJson("state").isMember("updateList"));
}

// "Start with the desktop" writes the autostart entry that starts the program hidden, and the
// program so started stays in the tray, also as devices arrive, until the user opens it.
TEST_F(SettingsWindowEndToEnd, StartsWithTheDesktopInTheTray) {
  Start({"--simulate", "keyboard", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  window_->show();
  const std::string entry = dir_.File("config") + "/autostart/" + kAutostartFileName;
  InModal("ui click setbtn", {"ui check autostart_check on", "ui click closebtn"});
  const std::string text = ReadTextFile(entry);
  EXPECT_NE(text.find("Exec=\"" + QCoreApplication::applicationFilePath().toStdString() +
                      "\" --hidden\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[Desktop Entry]\nType=Application\n"), std::string::npos);
  // Reopened, the box shows the entry; cleared, the entry goes.
  InModal("ui click setbtn", {"ui check autostart_check off", "ui click closebtn"},
          [](QWidget* modal) {
            EXPECT_TRUE(ui::IsChecked(ui::FindControl(modal, QStringLiteral("autostart_check"))));
          });
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(entry)));
  // Paths are quoted as desktop entries want: ", `, $ and \ escaped.
  const std::string odd = AutostartEntryText("/opt/my apps/va$r\"k\\x");
  EXPECT_NE(odd.find(R"(Exec="/opt/my apps/va\\$r\\"k\\\\x" --hidden)"), std::string::npos) << odd;

  {
    // With no configuration folder known, nothing is written at the file system's root.
    test::ScopedEnv noConfig{"XDG_CONFIG_HOME", ""};
    test::ScopedEnv noHome{"HOME", ""};
    std::string error;
    EXPECT_FALSE(SetAutostart(true, "/opt/varkon", error));
    EXPECT_NE(error.find("HOME"), std::string::npos) << error;
    EXPECT_FALSE(AutostartEnabled());
  }

  program_.reset();
  Start({"--hidden", "--simulate", "keyboard", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_FALSE(window_->isVisible());
  ASSERT_EQ(Ask("sim plug mouse"), "ok");
  ASSERT_TRUE(test::WaitUntil(
      [&] { return window_->findChildren<CTarnwiseUSBDevice*>().size() == 2; }, 5s));
  Settle();
  EXPECT_FALSE(window_->isVisible());
  ASSERT_EQ(Ask("window show"), "ok");
  EXPECT_TRUE(window_->isVisible());
}

}  // namespace
}  // namespace varkon
