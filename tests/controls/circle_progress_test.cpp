// The ring progress: its sweep and what it paints.
#include <gtest/gtest.h>

#include "app/controls/circle_progress.h"
#include "controls/controls_test_support.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"

namespace varkon {
namespace {

TEST(CircleSweep, MinimumIsNotTakenFromTheValue) {
  EXPECT_EQ(CircleSweepDegrees(60, 10, 110), 216);
  EXPECT_EQ(CircleSweepDegrees(50, 0, 100), 180);
  EXPECT_EQ(CircleSweepDegrees(1, 0, 7), 51);  // 51.43 truncated
  EXPECT_EQ(CircleSweepDegrees(100, 0, 100), 360);
  EXPECT_EQ(CircleSweepDegrees(5, 5, 5), 0);
  EXPECT_EQ(CircleSweepDegrees(0, 0, 100), 0);
}

TEST(CircleProgress, PaintsARingFromSixOClockClockwise) {
  CCircleProgressUI ring;
  EXPECT_EQ(ui::ControlClassName(&ring), "CircleProgress");
  ring.resize(100, 100);
  ring.setRange(10, 110);
  ring.setValue(60);
  ASSERT_TRUE(ui::SetBackgroundColour(&ring, 0xFF202020u));
  ASSERT_TRUE(ui::SetForegroundColour(&ring, 0xFFE02020u));
  const QImage image = test::Render(&ring, "circle_progress");
  const auto rgb = [&](int x, int y) { return image.pixel(x, y) & 0xFFFFFF; };
  EXPECT_EQ(rgb(44, 95), 0xE02020u);  // just past six o'clock: start of the pie
  EXPECT_EQ(rgb(5, 50), 0xE02020u);   // nine o'clock: 90 degrees
  EXPECT_EQ(rgb(50, 5), 0xE02020u);   // twelve o'clock: 180 degrees
  EXPECT_EQ(rgb(95, 50), 0x202020u);  // three o'clock: 270, past the 216 of the sweep
  EXPECT_EQ(rgb(50, 50), 0xFFFFFFu);  // the white centre
}

TEST(CircleProgress, EqualRangeDrawsNoPie) {
  CCircleProgressUI ring;
  ring.resize(60, 60);
  ring.setRange(0, 0);
  ASSERT_TRUE(ui::SetBackgroundColour(&ring, 0xFF202020u));
  ASSERT_TRUE(ui::SetForegroundColour(&ring, 0xFFE02020u));
  const QImage image = test::Render(&ring, "circle_progress_empty");
  EXPECT_EQ(image.pixel(30, 56) & 0xFFFFFF, 0x202020u);
}

}  // namespace
}  // namespace varkon
