#include "devices/light_buffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "devices/light_engine.h"

namespace varkon {
namespace {

TEST(LightColour, PacksRedLowThenGreenBlueAlpha) {
  const LightColour c(0x11, 0x22, 0x33, 0x44);
  EXPECT_EQ(c.Pack(), 0x44332211u);
  EXPECT_EQ(LightColour::Unpack(0x44332211u), c);
}

TEST(ColourBuffer, OutOfRangeWritesAreDroppedAndCounted) {
  ColourBuffer buffer(15);
  EXPECT_TRUE(buffer.Set(14, LightColour(1, 2, 3, 4)));
  EXPECT_FALSE(buffer.Set(15, LightColour(1, 2, 3, 4)));
  EXPECT_EQ(buffer.GetRaw(15), 0u);
  EXPECT_EQ(buffer.GetRaw(1000), 0u);
  EXPECT_EQ(buffer.Get(14), LightColour(1, 2, 3, 4));
  EXPECT_EQ(buffer.rejectedWrites(), 1u);
}

TEST(ColourBuffer, ResizeClampsToMaxLightsAndZeroes) {
  ColourBuffer buffer(4);
  buffer.Fill(LightColour(9, 9, 9, 9));
  buffer.Resize(500);
  EXPECT_EQ(buffer.size(), kMaxLights);
  EXPECT_EQ(buffer.GetRaw(0), 0u);
  EXPECT_TRUE(buffer.Set(kMaxLights - 1, LightColour(1, 1, 1, 1)));
  EXPECT_FALSE(buffer.Set(kMaxLights, LightColour(1, 1, 1, 1)));
}

TEST(ColourBuffer, FillCoversExactlyTheLightCount) {
  ColourBuffer buffer(3);
  buffer.Fill(LightColour(5, 6, 7, 8));
  std::vector<uint32_t> out(5, 0xDEADBEEF);
  EXPECT_EQ(buffer.Snapshot(out), 3u);
  EXPECT_EQ(out[2], LightColour(5, 6, 7, 8).Pack());
  EXPECT_EQ(out[3], 0xDEADBEEFu);
}

TEST(ButtonColourValue, PutsBlueInTheMiddleAndGreenHigh) {
  EXPECT_EQ(ButtonColourValue(LightColour(0x11, 0x22, 0x33, 0xFF)), 0x00223311u);
  const PreviewCell cell = MakePreviewCell(LightColour(0x11, 0x22, 0x33, 0x80));
  EXPECT_EQ(cell.alpha, 0x80);
  EXPECT_TRUE(cell.show);
}

TEST(HardwareFrame, ScalesEachChannelByAlpha) {
  ColourBuffer buffer(2);
  buffer.Set(0, LightColour(255, 128, 10, 255));
  buffer.Set(1, LightColour(200, 100, 50, 128));
  std::vector<uint8_t> frame(6, 0xAA);
  EXPECT_EQ(BuildHardwareFrame(buffer, frame), 6u);
  EXPECT_EQ(frame, (std::vector<uint8_t>{254, 127, 9, 100, 50, 25}));
}

TEST(HardwareFrame, NeverWritesPastTheOutput) {
  ColourBuffer buffer(10);
  buffer.Fill(LightColour(255, 255, 255, 255));
  std::vector<uint8_t> frame(8, 0);  // room for two whole lights only
  EXPECT_EQ(BuildHardwareFrame(buffer, frame), 6u);
  EXPECT_EQ(frame[6], 0);
  EXPECT_EQ(frame[7], 0);
}

TEST(PaintPreview, HandsEveryLightWhileControlIsOnAndNothingWhenOff) {
  LightClassShared shared;
  LightEngine engine(4, shared);
  engine.SetLightColour(2, LightColour(1, 2, 3, 200).Pack());
  std::vector<PreviewCell> cells(4);
  int calls = 0;
  auto paint = [&](size_t i, const PreviewCell& cell) {
    cells.at(i) = cell;
    ++calls;
  };
  engine.PaintPreview(paint);
  EXPECT_EQ(calls, 4);
  EXPECT_EQ(cells[2].value, ButtonColourValue(LightColour(1, 2, 3, 200)));
  EXPECT_EQ(cells[2].alpha, 200);

  engine.SetLightControl(false);
  engine.SetLightColour(2, LightColour(9, 9, 9, 9).Pack());
  engine.PaintPreview(paint);
  EXPECT_EQ(calls, 4);  // cells keep their last colours
  EXPECT_EQ(cells[2].alpha, 200);
}

// The light thread writes while the painter reads: every record read must be one that was
// written whole (both halves from the same write), and ThreadSanitizer must stay quiet.
TEST(ColourBuffer, ConcurrentWriterAndReaderSeeWholeRecords) {
  ColourBuffer buffer(kMaxLights);
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (uint32_t n = 0; n < 20000; ++n) {
      const uint8_t v = static_cast<uint8_t>(n);
      buffer.Fill(LightColour(v, v, v, v));
    }
    stop.store(true);
  });
  bool torn = false;
  while (!stop.load()) {
    for (size_t i = 0; i < buffer.size(); ++i) {
      const LightColour c = buffer.Get(i);
      if (c.r != c.g || c.g != c.b || c.b != c.a) torn = true;
    }
  }
  writer.join();
  EXPECT_FALSE(torn);
}

}  // namespace
}  // namespace varkon
