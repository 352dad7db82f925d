// The level display and the pulsing macro record button.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <memory>

#include "app/controls/audio_record.h"
#include "app/controls/redio_macro_button.h"
#include "controls/controls_test_support.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_timers.h"
#include "platform/ui/skin_loader.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

TEST(AudioRecord, StartsWithARamp) {
  CAudioRecordUI levels;
  EXPECT_EQ(ui::ControlClassName(&levels), "AudioRecord");
  EXPECT_EQ(levels.Level(0), 0);
  EXPECT_EQ(levels.Level(255), 255);
  EXPECT_EQ(levels.Level(256), 0);
  EXPECT_EQ(levels.Level(499), 0);
  EXPECT_EQ(levels.Level(500), 0);
  EXPECT_EQ(levels.Level(-1), 0);
  levels.SetLevel(500, 7);  // ignored
  levels.SetLevel(-3, 7);
  levels.SetLevel(499, 7);
  EXPECT_EQ(levels.Level(499), 7);
}

TEST(AudioRecord, ShowsHalfTheWidthRoundedUp) {
  EXPECT_EQ(CAudioRecordUI::ShownLevels(0), 0);
  EXPECT_EQ(CAudioRecordUI::ShownLevels(1), 1);
  EXPECT_EQ(CAudioRecordUI::ShownLevels(7), 4);
  EXPECT_EQ(CAudioRecordUI::ShownLevels(8), 4);
  EXPECT_EQ(CAudioRecordUI::ShownLevels(999), 500);
  EXPECT_EQ(CAudioRecordUI::ShownLevels(5000), 500);
}

TEST(AudioRecord, DrawsOneLineEverySecondPixel) {
  CAudioRecordUI levels;
  levels.resize(9, 100);
  levels.SetLevel(0, 8192);  // full height
  levels.SetLevel(1, 4096);  // half
  levels.SetLevel(2, 0);     // nothing
  levels.SetLevel(3, std::numeric_limits<int32_t>::max());
  levels.SetLevel(4, std::numeric_limits<int32_t>::min());
  const QImage image = test::Render(&levels, "audio_record");
  const auto black = [&](int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) == 0; };
  EXPECT_TRUE(black(0, 0));
  EXPECT_TRUE(black(0, 98));
  EXPECT_FALSE(black(0, 99));  // the last row stays white
  EXPECT_FALSE(black(1, 50));  // between the lines
  EXPECT_FALSE(black(2, 49));
  EXPECT_TRUE(black(2, 50));
  EXPECT_FALSE(black(4, 98));
  EXPECT_TRUE(black(6, 0));    // huge level: clipped to the top
  EXPECT_FALSE(black(8, 50));  // negative level: no line
}

TEST(RedioMacroButton, PulseFadesBetweenTheEnds) {
  CRedioMacroButtonUI button;
  EXPECT_EQ(ui::ControlClassName(&button), "RedioMacroButton");
  button.setRedioImage("rec.png");
  button.Step();  // not pulsing: nothing
  EXPECT_EQ(button.Fade(), 255);
  EXPECT_TRUE(button.NormalImage().isEmpty());
  button.SetPulse(true);
  EXPECT_TRUE(ui::ControlTimers::IsActive(&button, kRedioPulseTimer));
  // Step by hand from here on.
  ASSERT_TRUE(ui::ControlTimers::Stop(&button, kRedioPulseTimer));
  const int expected[] = {235, 215, 195, 175, 155, 135, 115, 95, 80, 100, 120};
  for (int fade : expected) {
    button.Step();
    EXPECT_EQ(button.Fade(), fade);
  }
  EXPECT_EQ(button.NormalImage(), "res='rec.png' fade='120'");
  for (int i = 0; i < 7; ++i) button.Step();
  EXPECT_EQ(button.Fade(), 255);
  button.Step();
  EXPECT_EQ(button.Fade(), 235);
  button.SetPulse(false);
  EXPECT_TRUE(button.NormalImage().isEmpty());
  EXPECT_FALSE(ui::ControlTimers::IsActive(&button, kRedioPulseTimer));
}

TEST(RedioMacroButton, EmptyImageSkipsTheStep) {
  CRedioMacroButtonUI button;
  button.SetPulse(true);
  ui::ControlTimers::Stop(&button, kRedioPulseTimer);
  button.Step();
  EXPECT_EQ(button.Fade(), 255);
  EXPECT_TRUE(button.NormalImage().isEmpty());
}

TEST(RedioMacroButton, TimerDrivesThePulse) {
  varkon::test::TempDir temp;
  ASSERT_TRUE(test::SaveSolidImage(temp.File("rec.png"), qRgb(230, 0, 0)));
  QWidget root;
  root.setProperty(ui::kSkinFolderProperty, QString::fromStdString(temp.path()));
  auto* button = new CRedioMacroButtonUI(&root);
  button->resize(30, 30);
  button->setRedioImage("rec.png");
  button->SetPulse(true);
  EXPECT_TRUE(test::WaitUntil([&] { return button->Fade() <= 155; }));
  const QImage image = test::Render(button, "redio_macro_button");
  EXPECT_GT(qRed(image.pixel(15, 15)), qGreen(image.pixel(15, 15)) + 20);
  button->SetPulse(false);
}

}  // namespace
}  // namespace varkon
