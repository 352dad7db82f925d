// The background picker under "skinbtn": a picture, a plain colour, the user's own picture and
// the program's own background, each shown on the main window at once and back after a restart.
#include <gtest/gtest.h>
#include <json/value.h>

#include <QApplication>
#include <QDir>
#include <QImage>

#include "app/skin_frame.h"
#include "keyboard_program.h"
#include "platform/ui/control_style.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

class SkinPickerEndToEnd : public test::ProgramTest {
 protected:
  bool Ready() override { return true; }
  size_t JobsPending() override { return 0; }
  void Open() {
    // The window's own activation first, so that it does not take the focus from the picker.
    window_->show();
    window_->activateWindow();
    test::WaitUntil([this] { return window_->isActiveWindow(); }, 2s);
    Settle();
    ASSERT_EQ(Ask("ui click skinbtn"), "ok");
    ASSERT_TRUE(
        test::WaitUntil([this] { return window_->findChild<CSkinFrame*>() != nullptr; }, 2s));
  }
  QWidget* Root() { return window_->skinRoot(); }
};

TEST_F(SkinPickerEndToEnd, EveryChoiceShowsAtOnceAndComesBackAfterARestart) {
  Start({"--simulate", "keyboard", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  window_->show();
  const uint32_t own = ui::BackgroundColour(Root());

  Open();
  QDir().mkpath(VARKON_BINARY_DIR "/app-render");
  window_->findChild<CSkinFrame*>()->grab().toImage().save(VARKON_BINARY_DIR
                                                           "/app-render/skin_picker.png");
  ASSERT_EQ(Ask("ui click skin_image_btn#2"), "ok");
  EXPECT_EQ(ui::BackgroundImage(Root()).toStdString(), "common/background_2.svg");
  EXPECT_EQ(ui::BackgroundColour(Root()), 0u);
  ASSERT_EQ(Ask("ui click skin_color"), "ok");
  EXPECT_EQ(AskJson("ui get skin_tab")["selected"].asInt(), 1);
  ASSERT_EQ(Ask("ui click skin_color_btn#3"), "ok");
  const uint32_t picked = ui::BackgroundColour(Root());
  EXPECT_NE(picked, 0u);
  EXPECT_TRUE(ui::BackgroundImage(Root()).isEmpty());

  // A colour survives a restart too.
  Restart({"--simulate", "keyboard", "--latency", "0"});
  EXPECT_EQ(ui::BackgroundColour(Root()), picked);

  // The user's own picture (a cancelled dialog changes nothing), then the program's own.
  window_->show();
  Open();
  test::TempDir outside;
  const std::string picture = outside.File("mine.png");
  QImage(8, 8, QImage::Format_ARGB32).save(QString::fromStdString(picture));
  ActThenAnswer("ui click skin_Custom", {{"ui", "answer", "cancel"}});
  EXPECT_EQ(ui::BackgroundColour(Root()), picked);
  ActThenAnswer("ui click skin_Custom", {{"ui", "answer-file", picture}});
  const auto file = [&] { return Root()->property(ui::kBackgroundFileProperty).toString(); };
  EXPECT_EQ(file().toStdString(), picture);
  EXPECT_TRUE(Root()->styleSheet().contains(QString::fromStdString(picture)));
  Restart({"--simulate", "keyboard", "--latency", "0"});
  EXPECT_EQ(file().toStdString(), picture);

  window_->show();
  Open();
  ASSERT_EQ(Ask("ui click skin_reset"), "ok");
  EXPECT_EQ(ui::BackgroundImage(Root()).toStdString(), kDefaultBackground);
  EXPECT_TRUE(file().isEmpty());
  Restart({"--simulate", "keyboard", "--latency", "0"});
  EXPECT_EQ(ui::BackgroundColour(Root()), own);
  EXPECT_TRUE(ui::BackgroundImage(Root()).isEmpty());
}

}  // namespace
}  // namespace varkon
