// The pad's and headset's light record between the editor's values and the device's bytes.
#include <gtest/gtest.h>

#include <vector>

#include "devices/logic/pad_record.h"

namespace varkon {
namespace {

TEST(PadRecord, ModeCodesAndReversedSpeedBothWays) {
  const std::vector<int> codes = {0x10, 0x11, 0x12, 0x13};
  PadRecord record{};
  record[4] = 0xAB;  // the device's own byte
  record[20] = 0xCD;
  LightState light;
  light.mode = 2, light.brightness = 3, light.speed = 4, light.multicolour = 1;
  light.red = 1, light.green = 2, light.blue = 3;
  PutLightState(record, light);
  const PadRecord wire = EncodePadRecord(record, codes);
  EXPECT_EQ(wire[pad_record::kMode], 0x12);
  EXPECT_EQ(wire[pad_record::kSpeed], 0);  // fastest goes out as 0
  EXPECT_EQ(wire[4], 0xAB);
  EXPECT_EQ(wire[20], 0xCD);
  EXPECT_EQ(record[pad_record::kSpeed], 4);  // the kept record stays as the editor set it

  // Speed 0 goes out as 4; a mode beyond the list goes out as its position.
  record[pad_record::kSpeed] = 0;
  record[pad_record::kMode] = 9;
  EXPECT_EQ(EncodePadRecord(record, codes)[pad_record::kSpeed], 4);
  EXPECT_EQ(EncodePadRecord(record, codes)[pad_record::kMode], 9);

  // Read back: byte 3 = 1 shows speed 3; an unknown code stays as received; a speed byte above
  // 4 reads as 0 rather than wrapping; a short read leaves the rest zero.
  std::vector<uint8_t> read = {0x01, 0x13, 0x02, 0x01, 0x00, 0x01, 0x09, 0x08, 0x07};
  PadRecord decoded = DecodePadRecord(read, codes);
  EXPECT_EQ(decoded[pad_record::kMode], 3);
  EXPECT_EQ(decoded[pad_record::kSpeed], 3);
  EXPECT_EQ(decoded[pad_record::kProfile], 1);
  EXPECT_EQ(decoded[20], 0);
  read[1] = 0x77;
  read[3] = 9;
  decoded = DecodePadRecord(read, codes);
  EXPECT_EQ(decoded[pad_record::kMode], 0x77);
  EXPECT_EQ(decoded[pad_record::kSpeed], 0);

  // The light state it describes keeps the direction, which the record does not carry.
  LightState current;
  current.direction = 1;
  const LightState shown = LightStateOfRecord(decoded, current);
  EXPECT_EQ(shown.direction, 1);
  EXPECT_EQ(shown.red, 9);
  EXPECT_EQ(shown.multicolour, 1);
}

}  // namespace
}  // namespace varkon
