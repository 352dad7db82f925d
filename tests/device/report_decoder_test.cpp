// Tests of the report decoder: usages, raw and scaled values, data items and unpacking, on
// reports of the right length and on short or foreign ones.
#include <gtest/gtest.h>

#include "device/test_descriptors.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "device/report_descriptor.h"

namespace varkon {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace test;
using Usages = std::vector<uint16_t>;

constexpr auto kIn = HidReportKind::Input;
constexpr auto kOut = HidReportKind::Output;

// Values with report id 1 and various ranges; see the byte layout in the tests.
const Bytes kValues = {
    0x05, 0x01, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01,  // Generic Desktop, Application, id 1
    0x75, 0x08, 0x95, 0x01,                          //   8 x 1
    0x09, 0x30, 0x15, 0x81, 0x25, 0x7F, 0x81, 0x02,  //   byte 1: -127..127
    0x09, 0x31, 0x15, 0x00, 0x26, 0xFF, 0x00,        //   byte 2: 0..255
    0x35, 0x00, 0x46, 0xE8, 0x03, 0x81, 0x02,        //     onto 0..1000
    0x09, 0x32, 0x26, 0xC8, 0x00,                    //   byte 3: 0..200
    0x35, 0x9C, 0x45, 0x64, 0x81, 0x02,              //     onto -100..100
    0x09, 0x33, 0x75, 0x20,                          //   bytes 4-7, 32 bits
    0x27, 0xFF, 0xFF, 0xFF, 0x7F,                    //     0..0x7FFFFFFF
    0x37, 0x00, 0x00, 0x00, 0x80,                    //     onto INT32_MIN..
    0x47, 0xFF, 0xFF, 0xFF, 0x7F, 0x81, 0x02,        //     ..INT32_MAX
    0x09, 0x34, 0x75, 0x08, 0x15, 0x05, 0x25, 0x05,  //   byte 8: 5..5
    0x35, 0x00, 0x45, 0x00, 0x81, 0x02,              //     no physical range
    0x09, 0x35, 0x09, 0x36, 0x75, 0x0C, 0x95, 0x02,  //   bytes 9-11: 2 x 12 bits
    0x16, 0x00, 0xF8, 0x26, 0xFF, 0x07, 0x81, 0x02,  //     -2048..2047
    0xC0,
};

// Buttons with explicit usage lists, report id 2.
const Bytes kListButtons = {
    0x05, 0x01, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x09, 0x35, 0x09, 0x36,
    0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x04, 0x81, 0x02,  // bits 0-3: 0x35, 0x36, 0x36, 0x36
    0x95, 0x04, 0x81, 0x03,                                      // bits 4-7: padding
    0x09, 0x40, 0x09, 0x41, 0x09, 0x42, 0x15, 0x01, 0x25, 0x03, 0x75, 0x08,
    0x95, 0x02, 0x81, 0x00,  // bytes 2-3: array of 0x40..0x42 for values 1..3
    0xC0,
};

HidCollectionInfo ParseOne(const Bytes& bytes) {
  auto collections = ParseReportDescriptor(bytes.data(), bytes.size());
  EXPECT_EQ(collections.size(), 1u);
  return collections.empty() ? HidCollectionInfo{} : collections[0];
}

Bytes VendorReport(uint8_t id, uint8_t first) {
  Bytes report(64, 0);
  report[0] = id;
  report[1] = first;
  return report;
}

TEST(ReportDecoderTest, ConsumerNoticeUsage) {
  HidCollectionInfo c = ParseOne(kConsumerNotice);
  Usages usages;
  Bytes report = {0x03, 0x01, 0x04};
  ASSERT_EQ(GetUsages(c, kIn, 0x0C, report.data(), report.size(), usages), kHidStatusSuccess);
  EXPECT_EQ(usages, Usages{0x0401});

  Bytes idle = {0x03, 0x00, 0x00};
  ASSERT_EQ(GetUsages(c, kIn, 0x0C, idle.data(), idle.size(), usages), kHidStatusSuccess);
  EXPECT_TRUE(usages.empty());

  Bytes full = {0x03, 0xFF, 0xFF};
  ASSERT_EQ(GetUsages(c, kIn, 0x0C, full.data(), full.size(), usages), kHidStatusSuccess);
  EXPECT_EQ(usages, Usages{0xFFFF});
}

TEST(ReportDecoderTest, GetUsagesStatuses) {
  HidCollectionInfo c = ParseOne(kConsumerNotice);
  Usages usages = {7, 7};
  Bytes foreign = {0x02, 0x01, 0x04};
  EXPECT_EQ(GetUsages(c, kIn, 0x0C, foreign.data(), foreign.size(), usages),
            kHidStatusIncompatibleReportId);
  EXPECT_TRUE(usages.empty());
  Bytes report = {0x03, 0x01, 0x04};
  EXPECT_EQ(GetUsages(c, kIn, 0x01, report.data(), report.size(), usages), kHidStatusUsageNotFound);
  EXPECT_EQ(GetUsages(c, kOut, 0x0C, report.data(), report.size(), usages),
            kHidStatusUsageNotFound);
  EXPECT_EQ(GetUsages(c, kIn, 0x0C, report.data(), 2, usages), kHidStatusInvalidReportLength);
  EXPECT_TRUE(usages.empty());
  EXPECT_EQ(GetUsages(c, kIn, 0x0C, nullptr, 3, usages), kHidStatusInvalidReportLength);
  EXPECT_EQ(GetUsages(c, kIn, 0x0C, report.data(), 0, usages), kHidStatusInvalidReportLength);
  EXPECT_EQ(GetUsages(c, static_cast<HidReportKind>(7), 0x0C, report.data(), 3, usages),
            kHidStatusInvalidReportType);
}

TEST(ReportDecoderTest, BootKeyboardUsages) {
  HidCollectionInfo c = ParseOne(kBootKeyboard);
  // Left shift and right shift... E1 and E5; reserved byte ignored; 0x66 lies outside the
  // logical range and is skipped.
  Bytes report = {0x00, 0x22, 0xFF, 0x04, 0x00, 0x66, 0x05, 0x00, 0x00};
  Usages usages;
  ASSERT_EQ(GetUsages(c, kIn, 0x07, report.data(), report.size(), usages), kHidStatusSuccess);
  EXPECT_EQ(usages, (Usages{0xE1, 0xE5, 0x04, 0x05}));
  EXPECT_EQ(GetUsages(c, kIn, 0x08, report.data(), report.size(), usages), kHidStatusUsageNotFound);

  // One byte short: the modifiers are readable, the key array is not.
  ASSERT_EQ(GetUsages(c, kIn, 0x07, report.data(), report.size() - 1, usages),
            kHidStatusInvalidReportLength);
  EXPECT_EQ(usages, (Usages{0xE1, 0xE5}));
}

TEST(ReportDecoderTest, ExplicitUsageListsOfButtons) {
  HidCollectionInfo c = ParseOne(kListButtons);
  // Bits 1 and 3 on; array slots 2 (-> 0x41) and 4 (outside logical 1..3).
  Bytes report = {0x02, 0x0A, 0x02, 0x04};
  Usages usages;
  ASSERT_EQ(GetUsages(c, kIn, 0x01, report.data(), report.size(), usages), kHidStatusSuccess);
  EXPECT_EQ(usages, (Usages{0x36, 0x36, 0x41}));

  Bytes second = {0x02, 0x01, 0x03, 0x01};
  ASSERT_EQ(GetUsages(c, kIn, 0x01, second.data(), second.size(), usages), kHidStatusSuccess);
  EXPECT_EQ(usages, (Usages{0x35, 0x42, 0x40}));
}

TEST(ReportDecoderTest, VendorRawValues) {
  HidCollectionInfo c = ParseOne(kVendorConfig);
  Bytes report = VendorReport(0x04, 0x7F);
  uint32_t value = 0;
  ASSERT_EQ(GetUsageValue(c, kIn, 0xFF1C, 1, report.data(), report.size(), value),
            kHidStatusSuccess);
  EXPECT_EQ(value, 0x7Fu);
  EXPECT_EQ(GetUsageValue(c, kIn, 0xFF1C, 2, report.data(), report.size(), value),
            kHidStatusUsageNotFound);
  report[1] = 0x33;
  ASSERT_EQ(GetUsageValue(c, kOut, 0xFF1C, 2, report.data(), report.size(), value),
            kHidStatusSuccess);
  EXPECT_EQ(value, 0x33u);
  EXPECT_EQ(GetUsageValue(c, kIn, 0xFF1D, 1, report.data(), report.size(), value),
            kHidStatusUsageNotFound);

  Bytes foreign = VendorReport(0x05, 0x7F);
  EXPECT_EQ(GetUsageValue(c, kIn, 0xFF1C, 1, foreign.data(), foreign.size(), value),
            kHidStatusIncompatibleReportId);
  EXPECT_EQ(GetUsageValue(c, kIn, 0xFF1C, 1, report.data(), 1, value), kHidStatusValueOutOfRange);
  EXPECT_EQ(GetUsageValue(c, kIn, 0xFF1C, 1, report.data(), 2, value), kHidStatusSuccess);
  EXPECT_EQ(GetUsageValue(c, kIn, 0xFF1C, 1, nullptr, 64, value), kHidStatusInvalidReportLength);
}

Bytes ValuesReport() {
  // -127, 51, 0, 0x7FFFFFFF, 5, then 12-bit -2047 and 2047.
  return {0x01, 0x81, 0x33, 0x00, 0xFF, 0xFF, 0xFF, 0x7F, 0x05, 0x01, 0xF8, 0x7F};
}

TEST(ReportDecoderTest, RawValuesAcrossByteBoundaries) {
  HidCollectionInfo c = ParseOne(kValues);
  EXPECT_EQ(c.caps.inputReportByteLength, 12);
  Bytes report = ValuesReport();
  uint32_t value = 0;
  ASSERT_EQ(GetUsageValue(c, kIn, 0x01, 0x33, report.data(), report.size(), value),
            kHidStatusSuccess);
  EXPECT_EQ(value, 0x7FFFFFFFu);
  ASSERT_EQ(GetUsageValue(c, kIn, 0x01, 0x35, report.data(), report.size(), value),
            kHidStatusSuccess);
  EXPECT_EQ(value, 0x801u);
  ASSERT_EQ(GetUsageValue(c, kIn, 0x01, 0x36, report.data(), report.size(), value),
            kHidStatusSuccess);
  EXPECT_EQ(value, 0x7FFu);
  // The second 12-bit value ends in the last byte.
  EXPECT_EQ(GetUsageValue(c, kIn, 0x01, 0x36, report.data(), report.size() - 1, value),
            kHidStatusValueOutOfRange);
  EXPECT_EQ(GetUsageValue(c, kIn, 0x01, 0x35, report.data(), report.size() - 1, value),
            kHidStatusSuccess);
}

TEST(ReportDecoderTest, ScaledValues) {
  HidCollectionInfo c = ParseOne(kValues);
  Bytes report = ValuesReport();
  auto scaled = [&](uint16_t usage, int32_t& value) {
    return GetScaledUsageValue(c, kIn, 0x01, usage, report.data(), report.size(), value);
  };
  int32_t value = 0;
  ASSERT_EQ(scaled(0x30, value), kHidStatusSuccess);
  EXPECT_EQ(value, -127);
  ASSERT_EQ(scaled(0x31, value), kHidStatusSuccess);
  EXPECT_EQ(value, 200);  // 51 of 0..255 onto 0..1000
  ASSERT_EQ(scaled(0x32, value), kHidStatusSuccess);
  EXPECT_EQ(value, -100);
  ASSERT_EQ(scaled(0x33, value), kHidStatusSuccess);
  EXPECT_EQ(value, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(scaled(0x34, value), kHidStatusBadLogPhyValues);
  ASSERT_EQ(scaled(0x35, value), kHidStatusSuccess);
  EXPECT_EQ(value, -2047);
  ASSERT_EQ(scaled(0x36, value), kHidStatusSuccess);
  EXPECT_EQ(value, 2047);

  report[1] = 0x80;  // -128 is below -127: the null value
  EXPECT_EQ(scaled(0x30, value), kHidStatusNull);
  report[1] = 0x7F;
  ASSERT_EQ(scaled(0x30, value), kHidStatusSuccess);
  EXPECT_EQ(value, 127);
  report[2] = 0xFF;
  ASSERT_EQ(scaled(0x31, value), kHidStatusSuccess);
  EXPECT_EQ(value, 1000);
  report[3] = 200;
  ASSERT_EQ(scaled(0x32, value), kHidStatusSuccess);
  EXPECT_EQ(value, 100);
  report[3] = 100;
  ASSERT_EQ(scaled(0x32, value), kHidStatusSuccess);
  EXPECT_EQ(value, 0);
  report[3] = 201;
  EXPECT_EQ(scaled(0x32, value), kHidStatusNull);
  for (int i = 4; i < 8; ++i) report[i] = 0;
  ASSERT_EQ(scaled(0x33, value), kHidStatusSuccess);
  EXPECT_EQ(value, std::numeric_limits<int32_t>::min());
  report[7] = 0x80;  // above the logical maximum 0x7FFFFFFF
  EXPECT_EQ(scaled(0x33, value), kHidStatusNull);

  EXPECT_EQ(scaled(0x40, value), kHidStatusUsageNotFound);
  report[0] = 0x02;
  EXPECT_EQ(scaled(0x30, value), kHidStatusIncompatibleReportId);
}

TEST(ReportDecoderTest, ScaledWithoutPhysicalRangeIsLogical) {
  HidCollectionInfo c = ParseOne(kVendorConfig);
  Bytes report = VendorReport(0x04, 0xC8);
  int32_t value = 0;
  ASSERT_EQ(GetScaledUsageValue(c, kIn, 0xFF1C, 1, report.data(), report.size(), value),
            kHidStatusSuccess);
  EXPECT_EQ(value, 200);
}

TEST(ReportDecoderTest, BuildDataItemsForKeyboard) {
  HidCollectionInfo c = ParseOne(kBootKeyboard);
  auto items = BuildDataItems(c, kIn);
  ASSERT_EQ(items.size(), 2u);
  for (const auto& item : items) {
    EXPECT_TRUE(item.isButton);
    EXPECT_EQ(item.usagePage, 0x07);
    EXPECT_EQ(item.reportId, 0u);
    EXPECT_EQ(item.maxUsageCount, 14u);
    EXPECT_EQ(item.usages, Usages(14, 0));
    EXPECT_FALSE(item.isSet);
  }
  EXPECT_EQ(items[0].usageMin, 0xE0u);
  EXPECT_EQ(items[0].usageMax, 0xE7u);
  EXPECT_EQ(items[1].usageMin, 0x00u);
  EXPECT_EQ(items[1].usageMax, 0x65u);

  auto leds = BuildDataItems(c, kOut);
  ASSERT_EQ(leds.size(), 1u);
  EXPECT_EQ(leds[0].usagePage, 0x08);
  EXPECT_EQ(leds[0].maxUsageCount, 5u);
  EXPECT_TRUE(BuildDataItems(c, HidReportKind::Feature).empty());
  EXPECT_TRUE(BuildDataItems(c, static_cast<HidReportKind>(3)).empty());
}

TEST(ReportDecoderTest, BuildDataItemsForValues) {
  // A range of three values and a range of sixteen usages over two values.
  Bytes d = {0x05, 0x01, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x09, 0x75, 0x08, 0x15,
             0x00, 0x26, 0xFF, 0x00, 0x19, 0x40, 0x29, 0x42, 0x95, 0x03, 0x81,
             0x02, 0x19, 0x50, 0x29, 0x5F, 0x95, 0x02, 0x81, 0x02, 0xC0};
  HidCollectionInfo c = ParseOne(d);
  auto items = BuildDataItems(c, kIn);
  ASSERT_EQ(items.size(), 5u);
  const uint16_t expected[] = {0x40, 0x41, 0x42, 0x50, 0x51};
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_FALSE(items[i].isButton);
    EXPECT_EQ(items[i].usage, expected[i]);
    EXPECT_EQ(items[i].reportId, 9u);
  }

  Bytes report = {0x09, 10, 20, 30, 40, 50};
  ASSERT_EQ(UnpackReport(c, kIn, report.data(), report.size(), items), kHidStatusSuccess);
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_TRUE(items[i].isSet);
    EXPECT_EQ(items[i].value, 10u * (i + 1));
    EXPECT_EQ(items[i].scaledValue, static_cast<int32_t>(10 * (i + 1)));
  }

  HidCollectionInfo vendor = ParseOne(kVendorConfig);
  auto vendorItems = BuildDataItems(vendor, kIn);
  ASSERT_EQ(vendorItems.size(), 1u);
  EXPECT_EQ(vendorItems[0].usagePage, 0xFF1C);
  EXPECT_EQ(vendorItems[0].usage, 1);
  EXPECT_EQ(vendorItems[0].reportId, 4u);
}

TEST(ReportDecoderTest, UnpackKeyboardReport) {
  HidCollectionInfo c = ParseOne(kBootKeyboard);
  auto items = BuildDataItems(c, kIn);
  Bytes report = {0x00, 0x22, 0x00, 0x04, 0x05, 0x00, 0x00, 0x00, 0x00};
  ASSERT_EQ(UnpackReport(c, kIn, report.data(), report.size(), items), kHidStatusSuccess);
  Usages modifiers(14, 0);
  modifiers[0] = 0xE1;
  modifiers[1] = 0xE5;
  Usages keys(14, 0);
  keys[0] = 0x04;
  keys[1] = 0x05;
  EXPECT_EQ(items[0].usages, modifiers);
  EXPECT_EQ(items[1].usages, keys);
  EXPECT_TRUE(items[0].isSet);
  EXPECT_EQ(items[0].status, kHidStatusSuccess);

  // A later report with fewer keys clears the earlier ones.
  Bytes release = {0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  ASSERT_EQ(UnpackReport(c, kIn, release.data(), release.size(), items), kHidStatusSuccess);
  Usages all(14, 0);
  for (uint16_t i = 0; i < 8; ++i) all[i] = static_cast<uint16_t>(0xE0 + i);
  EXPECT_EQ(items[0].usages, all);
  EXPECT_EQ(items[1].usages, Usages(14, 0));

  // A short report: usages of the fields that fit, status recorded.
  ASSERT_EQ(UnpackReport(c, kIn, report.data(), 3, items), kHidStatusSuccess);
  EXPECT_EQ(items[0].status, kHidStatusInvalidReportLength);
  EXPECT_EQ(items[0].usages[0], 0xE1);
}

TEST(ReportDecoderTest, UnpackNeverWritesPastTheUsageList) {
  HidCollectionInfo c = ParseOne(kBootKeyboard);
  auto items = BuildDataItems(c, kIn);
  items[1].usages.resize(2);
  Bytes report = {0x00, 0x00, 0x00, 0x04, 0x05, 0x06, 0x07, 0x00, 0x00};
  ASSERT_EQ(UnpackReport(c, kIn, report.data(), report.size(), items), kHidStatusSuccess);
  EXPECT_EQ(items[1].usages, (Usages{0x04, 0x05}));

  // A full list carries no end marker.
  HidCollectionInfo notice = ParseOne(kConsumerNotice);
  auto noticeItems = BuildDataItems(notice, kIn);
  ASSERT_EQ(noticeItems.size(), 1u);
  ASSERT_EQ(noticeItems[0].maxUsageCount, 1u);
  Bytes press = {0x03, 0x01, 0x04};
  ASSERT_EQ(UnpackReport(notice, kIn, press.data(), press.size(), noticeItems), kHidStatusSuccess);
  EXPECT_EQ(noticeItems[0].usages, Usages{0x0401});
}

TEST(ReportDecoderTest, UnpackTouchesOnlyItemsOfTheReportId) {
  HidCollectionInfo c = ParseOne(kVendorConfig);
  auto items = BuildDataItems(c, kIn);
  Bytes foreign = VendorReport(0x05, 0x11);
  ASSERT_EQ(UnpackReport(c, kIn, foreign.data(), foreign.size(), items), kHidStatusSuccess);
  EXPECT_FALSE(items[0].isSet);
  EXPECT_EQ(items[0].value, 0u);

  Bytes report = VendorReport(0x04, 0x11);
  ASSERT_EQ(UnpackReport(c, kIn, report.data(), report.size(), items), kHidStatusSuccess);
  EXPECT_TRUE(items[0].isSet);
  EXPECT_EQ(items[0].value, 0x11u);
  EXPECT_EQ(items[0].scaledValue, 0x11);
  EXPECT_EQ(items[0].status, kHidStatusSuccess);
}

TEST(ReportDecoderTest, UnpackStopsAtAValueBeyondTheReport) {
  HidCollectionInfo c = ParseOne(kValues);
  auto items = BuildDataItems(c, kIn);
  ASSERT_EQ(items.size(), 7u);
  Bytes report = ValuesReport();
  // Three bytes after the id: the first three values fit, the fourth does not.
  ASSERT_EQ(UnpackReport(c, kIn, report.data(), 4, items), kHidStatusValueOutOfRange);
  EXPECT_TRUE(items[2].isSet);
  EXPECT_EQ(items[2].scaledValue, -100);
  EXPECT_TRUE(items[3].isSet);
  EXPECT_EQ(items[3].status, kHidStatusValueOutOfRange);
  EXPECT_FALSE(items[4].isSet);
  EXPECT_FALSE(items[6].isSet);
}

TEST(ReportDecoderTest, UnpackNullScaledValueIsNotAnError) {
  HidCollectionInfo c = ParseOne(kValues);
  auto items = BuildDataItems(c, kIn);
  Bytes report = ValuesReport();
  report[1] = 0x80;
  ASSERT_EQ(UnpackReport(c, kIn, report.data(), report.size(), items), kHidStatusSuccess);
  EXPECT_EQ(items[0].value, 0x80u);
  EXPECT_EQ(items[0].status, kHidStatusNull);
  EXPECT_EQ(items[1].scaledValue, 200);
  EXPECT_EQ(items[4].status, kHidStatusBadLogPhyValues);
  EXPECT_EQ(items[4].value, 5u);
  EXPECT_EQ(items[6].scaledValue, 2047);
  EXPECT_TRUE(items[6].isSet);
}

TEST(ReportDecoderTest, UnpackRejectsEmptyReports) {
  HidCollectionInfo c = ParseOne(kVendorConfig);
  auto items = BuildDataItems(c, kIn);
  Bytes report = VendorReport(0x04, 0x11);
  EXPECT_EQ(UnpackReport(c, kIn, nullptr, 64, items), kHidStatusInvalidReportLength);
  EXPECT_EQ(UnpackReport(c, kIn, report.data(), 0, items), kHidStatusInvalidReportLength);
  EXPECT_FALSE(items[0].isSet);
}

}  // namespace
}  // namespace varkon
