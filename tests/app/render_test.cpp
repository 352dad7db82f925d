// Renders the main window, the message box and the about window to PNG files in the build
// folder (app-render/) so they can be looked at, and checks that each picture shows something.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <set>

#include <QAbstractButton>

#include "app/about_wnd.h"
#include "app/controls/device_option.h"
#include "app/device_screen.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/msg_wnd.h"
#include "app/program.h"
#include "app_test_support.h"
#include "device/device_catalogue.h"
#include "emulator/emulated_kind.h"
#include "platform/ui/language_text.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

void SaveAndCheck(QWidget* widget, const char* file) {
  const QImage image = widget->grab().toImage();
  ASSERT_FALSE(image.isNull());
  const QString folder = QString(VARKON_BINARY_DIR) + "/app-render";
  QDir().mkpath(folder);
  EXPECT_TRUE(image.save(folder + "/" + file));
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 4) {
    for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
  }
  EXPECT_GT(colours.size(), 20u) << file;
}

TEST(Render, MainWindow) {
  test::TempDir dir;
  Program program(dir.File("control"));
  std::string error;
  ASSERT_EQ(program.Start({}, error), Program::StartResult::Running) << error;
  SaveAndCheck(program.mainWindow(), "main.png");
}

// Every device attached, each selected in turn: the window as a user sees it.
TEST(Render, EachDevicePanel) {
  test::TempDir dir;
  Program program(dir.File("control"));
  StartupOptions options;
  options.simulate = true;
  options.simulateKinds = AllEmulatedKinds();
  std::string error;
  ASSERT_EQ(program.Start(options, error), Program::StartResult::Running) << error;
  CMainWnd* window = program.mainWindow();
  ASSERT_TRUE(test::WaitUntil(
      [&] { return window->FirstPassDone() && window->deviceScreen()->VisibleItemCount() == 4; }));
  // Fitted, and the start-up reads and first preview done; at the working size whatever the
  // size of the test screen.
  test::WaitUntil([] { return false; }, std::chrono::milliseconds(800));
  window->resize(kFittedWidth, kFittedHeight);
  for (int model = 0; model < 4; ++model) {
    CDeviceOptionUI* item = window->deviceScreen()->ItemOfModel(model);
    ASSERT_NE(item, nullptr) << model;
    item->SelectButton()->click();
    test::WaitUntil([] { return false; }, std::chrono::milliseconds(150));
    const std::string file =
        std::string("device_") + kDeviceModels[static_cast<size_t>(model)].displayName + ".png";
    SaveAndCheck(window, file.c_str());
  }
}

// The keyboard's keys page with the profile menu open over the picture.
TEST(Render, KeyboardKeysPageAndProfileMenu) {
  test::TempDir dir;
  test::ScopedEnv data("XDG_DATA_HOME", dir.File("data"));
  Program program(dir.File("control"));
  StartupOptions options;
  options.simulate = true;
  options.simulateKinds = {EmulatedKind::Keyboard};
  options.latencyMs = 0;
  std::string error;
  ASSERT_EQ(program.Start(options, error), Program::StartResult::Running) << error;
  CMainWnd* window = program.mainWindow();
  ASSERT_TRUE(test::WaitUntil([&] { return window->FirstPassDone() && window->CurrentDevice(); }));
  test::WaitUntil([] { return false; }, std::chrono::milliseconds(500));
  window->resize(kFittedWidth, kFittedHeight);
  EXPECT_EQ(program.HandleRequest({"ui", "click", "key_Op_tab"}), "ok");
  EXPECT_EQ(program.HandleRequest({"ui", "click", "key_30"}), "ok");
  EXPECT_EQ(program.HandleRequest({"ui", "click", "profile_fun_spread_btn"}), "ok");
  test::WaitUntil([] { return false; }, std::chrono::milliseconds(200));
  SaveAndCheck(window, "keyboard_keys_profiles.png");
}

TEST(Render, MessageBoxAndAbout) {
  LanguageSwitch language(test::ResourceFolder());
  ASSERT_TRUE(language.ApplyLanguage(1));
  CMsgWnd box;
  std::string error;
  ASSERT_TRUE(box.Create(error)) << error;
  box.SetText("Restore the factory settings of this device?", false);
  box.SetButtons(kMessageConfirmAndCancel);
  SaveAndCheck(&box, "message.png");

  CAboutWnd about;
  ASSERT_TRUE(about.Create(error)) << error;
  about.SetVersion("0.1.0");
  SaveAndCheck(&about, "about.png");
  SetLanguageTexts({});
}

}  // namespace
}  // namespace varkon
