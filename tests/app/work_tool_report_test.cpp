#include "app/work_tool_report.h"

#include <gtest/gtest.h>

#include "device/device_catalogue.h"

namespace varkon {
namespace {

// The little-endian 32-bit integer number `integer` of the block.
uint32_t IntegerAt(const std::array<uint8_t, 1024>& block, size_t integer) {
  const size_t at = integer * 4;
  return uint32_t{block[at]} | uint32_t{block[at + 1]} << 8 | uint32_t{block[at + 2]} << 16 |
         uint32_t{block[at + 3]} << 24;
}

TEST(WorkToolReportTest, VersionAndModelCountComeFirst) {
  const std::array<uint8_t, 1024> block = BuildWorkToolReport();
  const uint8_t head[20] = {
      2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, static_cast<uint8_t>(kDeviceModels.size()),
      0, 0, 0};
  for (size_t i = 0; i < sizeof head; ++i) EXPECT_EQ(block[i], head[i]) << "byte " << i;
}

TEST(WorkToolReportTest, FirstTwoRowsByteByByte) {
  ASSERT_GE(kDeviceModels.size(), 2u);
  const std::array<uint8_t, 1024> block = BuildWorkToolReport();
  // Row 0 is the mouse 320F:50EF of kind 2, row 1 the keyboard 320F:5055 of kind 1.
  const uint8_t rows[24] = {0x0F, 0x32, 0, 0, 0xEF, 0x50, 0, 0, 2, 0, 0, 0,
                            0x0F, 0x32, 0, 0, 0x55, 0x50, 0, 0, 1, 0, 0, 0};
  for (size_t i = 0; i < sizeof rows; ++i) EXPECT_EQ(block[20 + i], rows[i]) << "byte " << 20 + i;
}

TEST(WorkToolReportTest, EveryRowFollowsTheModelTable) {
  const std::array<uint8_t, 1024> block = BuildWorkToolReport();
  EXPECT_EQ(IntegerAt(block, 4), kDeviceModels.size());
  for (size_t row = 0; row < kDeviceModels.size(); ++row) {
    EXPECT_EQ(IntegerAt(block, 5 + 3 * row), kDeviceModels[row].vendorId) << "row " << row;
    EXPECT_EQ(IntegerAt(block, 6 + 3 * row), kDeviceModels[row].productId) << "row " << row;
    EXPECT_EQ(IntegerAt(block, 7 + 3 * row), kDeviceModels[row].kind) << "row " << row;
  }
}

TEST(WorkToolReportTest, TailIsZero) {
  const std::array<uint8_t, 1024> block = BuildWorkToolReport({255, 255, 255, 255});
  const size_t end = (5 + 3 * kDeviceModels.size()) * 4;
  ASSERT_LT(end, block.size());
  for (size_t i = end; i < block.size(); ++i) ASSERT_EQ(block[i], 0) << "byte " << i;
}

TEST(WorkToolReportTest, GivenVersionBytesEachFillOneInteger) {
  const std::array<uint8_t, 1024> block = BuildWorkToolReport({1, 0x80, 255, 0});
  EXPECT_EQ(IntegerAt(block, 0), 1u);
  EXPECT_EQ(IntegerAt(block, 1), 0x80u);
  EXPECT_EQ(IntegerAt(block, 2), 255u);
  EXPECT_EQ(IntegerAt(block, 3), 0u);
  // The rest of the block does not depend on the version.
  const std::array<uint8_t, 1024> other = BuildWorkToolReport();
  for (size_t i = 16; i < block.size(); ++i) ASSERT_EQ(block[i], other[i]) << "byte " << i;
}

}  // namespace
}  // namespace varkon
