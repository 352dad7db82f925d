// Tests of the report descriptor parser: layouts and caps of the descriptors the devices send,
// and bounded behaviour on malformed ones.
#include "device/report_descriptor.h"

#include "device/test_descriptors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace varkon {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace test;

constexpr auto kIn = HidReportKind::Input;
constexpr auto kOut = HidReportKind::Output;
constexpr auto kFeature = HidReportKind::Feature;

Bytes Concat(std::initializer_list<const Bytes*> parts) {
  Bytes out;
  for (const Bytes* part : parts) out.insert(out.end(), part->begin(), part->end());
  return out;
}

std::vector<HidCollectionInfo> Parse(const Bytes& bytes) {
  return ParseReportDescriptor(bytes.data(), bytes.size());
}

// Invariants every parse result keeps, whatever the input.
void ExpectConsistent(const HidCollectionInfo& c) {
  const uint16_t byteLength[] = {c.caps.inputReportByteLength, c.caps.outputReportByteLength,
                                 c.caps.featureReportByteLength};
  for (const HidReportField& f : c.fields) {
    ASSERT_LE(f.bitSize, 32);
    ASSERT_GT(f.bitSize, 0);
    ASSERT_LE(f.count, 4096);
    uint64_t end = f.bitOffset + static_cast<uint64_t>(f.bitSize) * f.count;
    ASSERT_LE((end + 7) / 8 + 1, byteLength[static_cast<int>(f.kind)]);
    if (f.reportId != 0) {
      ASSERT_TRUE(c.usesReportIds);
    }
    if (f.hasRange) {
      ASSERT_LE(f.usageMin, f.usageMax);
    }
  }
  for (int k = 0; k < kHidReportKindCount; ++k) {
    for (const HidButtonCap& cap : c.buttonCaps[k]) {
      ASSERT_LT(cap.fieldIndex, c.fields.size());
      const HidReportField& f = c.fields[cap.fieldIndex];
      ASSERT_TRUE(f.IsButton());
      ASSERT_EQ(static_cast<int>(f.kind), k);
      ASSERT_EQ(cap.reportId, f.reportId);
    }
    for (const HidValueCap& cap : c.valueCaps[k]) {
      ASSERT_LT(cap.fieldIndex, c.fields.size());
      const HidReportField& f = c.fields[cap.fieldIndex];
      ASSERT_FALSE(f.IsButton());
      ASSERT_FALSE(f.IsConstant());
      ASSERT_EQ(static_cast<int>(f.kind), k);
      ASSERT_LE(cap.reportCount, f.count);
    }
  }
  EXPECT_EQ(c.caps.numberInputButtonCaps, c.buttonCaps[0].size());
  EXPECT_EQ(c.caps.numberInputValueCaps, c.valueCaps[0].size());
  EXPECT_EQ(c.caps.numberOutputButtonCaps, c.buttonCaps[1].size());
  EXPECT_EQ(c.caps.numberOutputValueCaps, c.valueCaps[1].size());
  EXPECT_EQ(c.caps.numberFeatureButtonCaps, c.buttonCaps[2].size());
  EXPECT_EQ(c.caps.numberFeatureValueCaps, c.valueCaps[2].size());
}

// A collection around `body`: Generic Desktop, Usage 1, Application.
Bytes InCollection(const Bytes& body) {
  Bytes out = {0x05, 0x01, 0x09, 0x01, 0xA1, 0x01};
  out.insert(out.end(), body.begin(), body.end());
  out.push_back(0xC0);
  return out;
}

TEST(ReportDescriptorTest, VendorConfigurationCollection) {
  auto collections = Parse(kVendorConfig);
  ASSERT_EQ(collections.size(), 1u);
  const HidCollectionInfo& c = collections[0];
  ExpectConsistent(c);
  EXPECT_EQ(c.caps.usagePage, 0xFF1C);
  EXPECT_EQ(c.caps.usage, 0x92);
  EXPECT_EQ(c.usagePage, 0xFF1C);
  EXPECT_EQ(c.usage, 0x92);
  EXPECT_TRUE(c.usesReportIds);
  EXPECT_EQ(c.caps.inputReportByteLength, 64);
  EXPECT_EQ(c.caps.outputReportByteLength, 64);
  EXPECT_EQ(c.caps.featureReportByteLength, 0);
  EXPECT_EQ(c.caps.numberInputValueCaps, 1);
  EXPECT_EQ(c.caps.numberOutputValueCaps, 1);
  EXPECT_EQ(c.caps.numberInputButtonCaps, 0);
  EXPECT_EQ(c.caps.numberOutputButtonCaps, 0);

  const HidValueCap& in = c.valueCaps[0][0];
  EXPECT_EQ(in.usagePage, 0xFF1C);
  EXPECT_EQ(in.reportId, 4);
  EXPECT_FALSE(in.isRange);
  EXPECT_EQ(in.usageMin, 1);
  EXPECT_EQ(in.bitSize, 8);
  EXPECT_EQ(in.reportCount, 63);
  EXPECT_EQ(in.logicalMin, 0);
  EXPECT_EQ(in.logicalMax, 255);
  EXPECT_EQ(c.valueCaps[1][0].usageMin, 2);

  ASSERT_EQ(c.fields.size(), 2u);
  EXPECT_EQ(c.fields[0].bitOffset, 0u);
  EXPECT_EQ(c.fields[1].bitOffset, 0u);  // output reports have their own offsets
  EXPECT_TRUE(c.OwnsReportId(kIn, 4));
  EXPECT_FALSE(c.OwnsReportId(kIn, 3));
  EXPECT_FALSE(c.OwnsReportId(kFeature, 4));
}

TEST(ReportDescriptorTest, ConsumerNoticeCollection) {
  auto collections = Parse(kConsumerNotice);
  ASSERT_EQ(collections.size(), 1u);
  const HidCollectionInfo& c = collections[0];
  ExpectConsistent(c);
  EXPECT_EQ(c.caps.usagePage, 0x0C);
  EXPECT_EQ(c.caps.usage, 1);
  EXPECT_EQ(c.caps.inputReportByteLength, 3);
  EXPECT_EQ(c.caps.outputReportByteLength, 0);
  ASSERT_EQ(c.buttonCaps[0].size(), 1u);
  EXPECT_TRUE(c.valueCaps[0].empty());
  const HidButtonCap& cap = c.buttonCaps[0][0];
  EXPECT_TRUE(cap.isRange);
  EXPECT_EQ(cap.usageMin, 0);
  EXPECT_EQ(cap.usageMax, 0xFFFF);
  EXPECT_EQ(cap.reportId, 3);
  ASSERT_EQ(c.fields.size(), 1u);
  EXPECT_EQ(c.fields[0].logicalMax, 0xFFFF);
  EXPECT_EQ(c.MaxUsageListLength(kIn, 0x0C), 1u);
  EXPECT_EQ(c.MaxUsageListLength(kIn, 0x01), 0u);
  EXPECT_EQ(c.MaxUsageListLength(kOut, 0x0C), 0u);
}

TEST(ReportDescriptorTest, KeyboardInterfaceWithFourCollections) {
  Bytes descriptor = Concat({&kSystemControl, &kConsumerControl, &kConsumerNotice, &kVendorConfig});
  auto collections = Parse(descriptor);
  ASSERT_EQ(collections.size(), 4u);
  for (const auto& c : collections) ExpectConsistent(c);

  EXPECT_EQ(collections[0].usagePage, 0x01);
  EXPECT_EQ(collections[0].usage, 0x80);
  EXPECT_EQ(collections[1].usagePage, 0x0C);
  EXPECT_EQ(collections[1].usage, 0x01);
  EXPECT_EQ(collections[2].usagePage, 0x0C);
  EXPECT_EQ(collections[2].usage, 0x01);
  EXPECT_EQ(collections[3].usagePage, 0xFF1C);
  EXPECT_EQ(collections[3].usage, 0x92);

  const uint8_t ids[] = {1, 2, 3, 4};
  for (size_t i = 0; i < 4; ++i) {
    for (size_t j = 0; j < 4; ++j) {
      EXPECT_EQ(collections[i].OwnsReportId(kIn, ids[j]), i == j) << i << " " << j;
    }
    EXPECT_TRUE(collections[i].usesReportIds);
  }
  EXPECT_EQ(collections[0].caps.inputReportByteLength, 2);
  EXPECT_EQ(collections[0].caps.numberInputButtonCaps, 1);
  EXPECT_EQ(collections[0].fields.size(), 2u);  // buttons and padding
  EXPECT_EQ(collections[1].caps.inputReportByteLength, 3);
  EXPECT_EQ(collections[2].caps.inputReportByteLength, 3);
  EXPECT_EQ(collections[3].caps.inputReportByteLength, 64);
  EXPECT_EQ(collections[3].caps.outputReportByteLength, 64);
  EXPECT_EQ(collections[0].caps.outputReportByteLength, 0);
}

TEST(ReportDescriptorTest, BootKeyboardWithoutReportIds) {
  auto collections = Parse(kBootKeyboard);
  ASSERT_EQ(collections.size(), 1u);
  const HidCollectionInfo& c = collections[0];
  ExpectConsistent(c);
  EXPECT_EQ(c.usagePage, 0x01);
  EXPECT_EQ(c.usage, 0x06);
  EXPECT_FALSE(c.usesReportIds);
  EXPECT_EQ(c.caps.inputReportByteLength, 9);
  EXPECT_EQ(c.caps.outputReportByteLength, 2);
  EXPECT_EQ(c.caps.numberInputButtonCaps, 2);
  EXPECT_EQ(c.caps.numberInputValueCaps, 0);
  EXPECT_EQ(c.caps.numberOutputButtonCaps, 1);

  ASSERT_EQ(c.fields.size(), 5u);
  EXPECT_EQ(c.fields[0].bitOffset, 0u);  // modifiers
  EXPECT_EQ(c.fields[1].bitOffset, 8u);  // reserved byte
  EXPECT_TRUE(c.fields[1].IsConstant());
  EXPECT_EQ(c.fields[2].bitOffset, 0u);   // LEDs start the output report
  EXPECT_EQ(c.fields[3].bitOffset, 5u);   // output padding
  EXPECT_EQ(c.fields[4].bitOffset, 16u);  // key array
  EXPECT_EQ(c.fields[4].usagePage, 0x07);
  EXPECT_EQ(c.fields[2].usagePage, 0x08);

  EXPECT_EQ(c.buttonCaps[0][0].usageMin, 0xE0);
  EXPECT_EQ(c.buttonCaps[0][0].usageMax, 0xE7);
  EXPECT_EQ(c.buttonCaps[0][1].usageMin, 0x00);
  EXPECT_EQ(c.buttonCaps[0][1].usageMax, 0x65);
  EXPECT_EQ(c.buttonCaps[0][1].fieldIndex, 4);
  EXPECT_EQ(c.MaxUsageListLength(kIn, 0x07), 14u);  // 8 modifiers + 6 key slots
  EXPECT_EQ(c.MaxUsageListLength(kOut, 0x08), 5u);
  EXPECT_TRUE(c.OwnsReportId(kIn, 0));
}

TEST(ReportDescriptorTest, HeadsetOutputLengthIsTheLongestReport) {
  auto collections = Parse(kHeadset);
  ASSERT_EQ(collections.size(), 1u);
  const HidCollectionInfo& c = collections[0];
  ExpectConsistent(c);
  EXPECT_EQ(c.caps.inputReportByteLength, 64);
  EXPECT_EQ(c.caps.outputReportByteLength, 64);
  EXPECT_EQ(c.caps.numberOutputValueCaps, 2);
  ASSERT_EQ(c.fields.size(), 3u);
  EXPECT_EQ(c.fields[2].reportId, 0xFF);
  EXPECT_EQ(c.fields[2].bitOffset, 0u);  // a new report id starts at bit 0
  EXPECT_EQ(c.fields[2].usagePage, 0xFF00);
  EXPECT_TRUE(c.OwnsReportId(kOut, 0xFF));
  EXPECT_FALSE(c.OwnsReportId(kIn, 0xFF));
}

TEST(ReportDescriptorTest, OffsetsContinuePerReportId) {
  // Report 1 field, report 2 field, report 1 again: the last one follows the first.
  Bytes d = InCollection({0x75, 0x08, 0x95, 0x02, 0x85, 0x01, 0x09, 0x30, 0x81, 0x02,  //
                          0x85, 0x02, 0x09, 0x31, 0x81, 0x02,                          //
                          0x85, 0x01, 0x95, 0x03, 0x09, 0x32, 0x81, 0x02});
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  const auto& f = collections[0].fields;
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].bitOffset, 0u);
  EXPECT_EQ(f[1].bitOffset, 0u);
  EXPECT_EQ(f[2].bitOffset, 16u);
  EXPECT_EQ(collections[0].caps.inputReportByteLength, 6);  // 5 data bytes of report 1 + id
}

TEST(ReportDescriptorTest, ReportIdOffsetsSpanCollections) {
  // The same report id in two collections keeps one running offset.
  Bytes first = InCollection({0x85, 0x05, 0x75, 0x08, 0x95, 0x01, 0x09, 0x30, 0x81, 0x02});
  Bytes second = InCollection({0x85, 0x05, 0x75, 0x08, 0x95, 0x02, 0x09, 0x31, 0x81, 0x02});
  auto collections = Parse(Concat({&first, &second}));
  ASSERT_EQ(collections.size(), 2u);
  EXPECT_EQ(collections[1].fields[0].bitOffset, 8u);
  EXPECT_EQ(collections[1].caps.inputReportByteLength, 4);
  EXPECT_EQ(collections[0].caps.inputReportByteLength, 2);
}

TEST(ReportDescriptorTest, FourByteUsageCarriesItsPage) {
  Bytes d = {0x05, 0x01,                          // Usage Page Generic Desktop
             0x0B, 0x01, 0x00, 0x0C, 0x00,        // Usage Consumer:1
             0xA1, 0x01,                          // Collection
             0x0B, 0x02, 0x00, 0xFF, 0xFF,        //   Usage 0xFFFF:2
             0x75, 0x08, 0x95, 0x01, 0x81, 0x02,  //   Input 8 bits
             0xC0};
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_EQ(collections[0].usagePage, 0x0C);
  EXPECT_EQ(collections[0].usage, 1);
  ASSERT_EQ(collections[0].fields.size(), 1u);
  EXPECT_EQ(collections[0].fields[0].usagePage, 0xFFFF);
  ASSERT_EQ(collections[0].valueCaps[0].size(), 1u);
  EXPECT_EQ(collections[0].valueCaps[0][0].usagePage, 0xFFFF);
  EXPECT_EQ(collections[0].valueCaps[0][0].usageMin, 2);
}

TEST(ReportDescriptorTest, LogicalMaximumSignedness) {
  // 0xFF in one byte is 255 when the minimum is 0, and -1 when the minimum is negative.
  Bytes d = InCollection({0x75, 0x08, 0x95, 0x01,                            //
                          0x15, 0x00, 0x25, 0xFF, 0x09, 0x30, 0x81, 0x02,    // 0..255
                          0x15, 0x80, 0x25, 0xFF, 0x09, 0x31, 0x81, 0x02,    // -128..-1
                          0x15, 0x81, 0x25, 0x7F, 0x09, 0x32, 0x81, 0x02,    // -127..127
                          0x35, 0x00, 0x45, 0xFF, 0x09, 0x33, 0x81, 0x02});  // physical 0..255
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  const auto& f = collections[0].fields;
  ASSERT_EQ(f.size(), 4u);
  EXPECT_EQ(f[0].logicalMin, 0);
  EXPECT_EQ(f[0].logicalMax, 255);
  EXPECT_EQ(f[1].logicalMin, -128);
  EXPECT_EQ(f[1].logicalMax, -1);
  EXPECT_EQ(f[2].logicalMin, -127);
  EXPECT_EQ(f[2].logicalMax, 127);
  EXPECT_EQ(f[3].physicalMin, 0);
  EXPECT_EQ(f[3].physicalMax, 255);
}

TEST(ReportDescriptorTest, ExplicitValueUsagesSplitIntoCaps) {
  // Usages X, Y for three 8-bit values: X has one value, Y takes the remaining two.
  Bytes d = InCollection({0x09, 0x30, 0x09, 0x31, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95,
                          0x03, 0x81, 0x02,
                          // A range of three values gives one range cap.
                          0x19, 0x40, 0x29, 0x42, 0x95, 0x03, 0x81, 0x02});
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  const auto& caps = collections[0].valueCaps[0];
  ASSERT_EQ(caps.size(), 3u);
  EXPECT_EQ(caps[0].usageMin, 0x30);
  EXPECT_EQ(caps[0].reportCount, 1);
  EXPECT_EQ(caps[1].usageMin, 0x31);
  EXPECT_EQ(caps[1].reportCount, 2);
  EXPECT_EQ(caps[0].fieldIndex, caps[1].fieldIndex);
  EXPECT_TRUE(caps[2].isRange);
  EXPECT_EQ(caps[2].usageMin, 0x40);
  EXPECT_EQ(caps[2].usageMax, 0x42);
  EXPECT_EQ(caps[2].reportCount, 3);
  EXPECT_EQ(collections[0].caps.numberInputValueCaps, 3);
}

TEST(ReportDescriptorTest, ButtonCapWithExplicitUsagesUsesTheFirst) {
  Bytes d = InCollection({0x09, 0x35, 0x09, 0x36, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x02,
                          0x81, 0x02, 0x95, 0x06, 0x81, 0x03});
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  const HidCollectionInfo& c = collections[0];
  ASSERT_EQ(c.buttonCaps[0].size(), 1u);  // the constant padding has no cap
  EXPECT_FALSE(c.buttonCaps[0][0].isRange);
  EXPECT_EQ(c.buttonCaps[0][0].usageMin, 0x35);
  EXPECT_EQ(c.buttonCaps[0][0].usageMax, 0x35);
  ASSERT_EQ(c.fields.size(), 2u);
  EXPECT_EQ(c.fields[0].usages, (std::vector<uint16_t>{0x35, 0x36}));
  EXPECT_EQ(c.caps.inputReportByteLength, 2);
}

TEST(ReportDescriptorTest, LocalsAreClearedAfterEveryMainItem) {
  Bytes d = InCollection({0x75, 0x08, 0x95, 0x01, 0x09, 0x30, 0x81, 0x02, 0x81, 0x02});
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  const auto& f = collections[0].fields;
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].usages.size(), 1u);
  EXPECT_TRUE(f[1].usages.empty());
  EXPECT_FALSE(f[1].hasRange);
  EXPECT_EQ(f[1].bitOffset, 8u);
}

TEST(ReportDescriptorTest, PushAndPopRestoreGlobals) {
  Bytes d = InCollection({0x75, 0x08, 0x95, 0x01,              // 8 x 1
                          0xA4,                                // Push
                          0x05, 0x09, 0x75, 0x01, 0x95, 0x04,  //   Button page, 1 x 4
                          0x19, 0x01, 0x29, 0x04, 0x81, 0x02,  //   buttons
                          0xB4,                                // Pop
                          0x09, 0x30, 0x81, 0x02});            // 8 x 1, Generic Desktop
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  const auto& f = collections[0].fields;
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].usagePage, 0x09);
  EXPECT_EQ(f[0].bitSize, 1);
  EXPECT_EQ(f[1].usagePage, 0x01);
  EXPECT_EQ(f[1].bitSize, 8);
  EXPECT_EQ(f[1].count, 1);
  EXPECT_EQ(f[1].bitOffset, 4u);
}

TEST(ReportDescriptorTest, MainItemsOutsideCollectionsAreDropped) {
  Bytes d = {0x75, 0x08, 0x95, 0x04, 0x81, 0x02};  // Input before any collection
  Bytes body = InCollection({0x09, 0x30, 0x81, 0x02});
  d.insert(d.end(), body.begin(), body.end());
  d.insert(d.end(), {0x81, 0x02});  // and after it
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  ASSERT_EQ(collections[0].fields.size(), 1u);
  EXPECT_EQ(collections[0].fields[0].bitOffset, 0u);
  EXPECT_EQ(collections[0].caps.inputReportByteLength, 5);
}

TEST(ReportDescriptorTest, NestedCollectionsBelongToTheTopLevel) {
  Bytes d = InCollection({0x09, 0x01, 0xA1, 0x00,                          // Physical
                          0x75, 0x08, 0x95, 0x02, 0x09, 0x30, 0x81, 0x02,  //   field
                          0xC0,                                            // end Physical
                          0x09, 0x31, 0x81, 0x02});
  Bytes both = Concat({&d, &kVendorConfig});
  auto collections = Parse(both);
  ASSERT_EQ(collections.size(), 2u);
  EXPECT_EQ(collections[0].fields.size(), 2u);
  EXPECT_EQ(collections[0].caps.inputReportByteLength, 5);
  EXPECT_EQ(collections[1].usagePage, 0xFF1C);
  EXPECT_EQ(collections[1].fields.size(), 2u);
}

TEST(ReportDescriptorTest, LongItemsAreSkipped) {
  Bytes d = InCollection({0xFE, 0x03, 0x10, 0x81, 0x02, 0xA1,  // long item with 3 data bytes
                          0x75, 0x08, 0x95, 0x01, 0x09, 0x30, 0x81, 0x02});
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  ASSERT_EQ(collections[0].fields.size(), 1u);
  EXPECT_EQ(collections[0].fields[0].bitOffset, 0u);

  Bytes truncated = {0x05, 0x01, 0x09, 0x01, 0xA1, 0x01, 0xFE, 0x10, 0x00, 0x01};
  auto cut = Parse(truncated);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_TRUE(cut[0].fields.empty());
}

TEST(ReportDescriptorMalformedTest, EmptyAndNull) {
  EXPECT_TRUE(Parse({}).empty());
  EXPECT_TRUE(ParseReportDescriptor(nullptr, 100).empty());
}

TEST(ReportDescriptorMalformedTest, TruncatedInsideAnItem) {
  // Cut inside "26 FF 00": the collection is there, the field is not.
  Bytes d(kVendorConfig.begin(), kVendorConfig.begin() + 15);
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_TRUE(collections[0].fields.empty());
  EXPECT_EQ(collections[0].caps.inputReportByteLength, 0);
}

TEST(ReportDescriptorMalformedTest, EveryPrefixParsesSafely) {
  Bytes d =
      Concat({&kSystemControl, &kConsumerControl, &kConsumerNotice, &kBootKeyboard, &kHeadset});
  size_t fullFields = 0;
  for (const auto& c : Parse(d)) fullFields += c.fields.size();
  size_t previous = 0;
  for (size_t n = 0; n <= d.size(); ++n) {
    auto collections = ParseReportDescriptor(d.data(), n);
    size_t fields = 0;
    for (const auto& c : collections) {
      ExpectConsistent(c);
      fields += c.fields.size();
    }
    EXPECT_GE(fields, previous) << n;
    EXPECT_LE(fields, fullFields) << n;
    previous = fields;
  }
  EXPECT_EQ(previous, fullFields);
}

TEST(ReportDescriptorMalformedTest, HugeReportSizeEndsFields) {
  Bytes d = InCollection({0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x95, 0x01, 0x09, 0x30, 0x81, 0x02, 0x75,
                          0x08, 0x09, 0x31, 0x81, 0x02});
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_TRUE(collections[0].fields.empty());
  EXPECT_EQ(collections[0].caps.inputReportByteLength, 0);
}

TEST(ReportDescriptorMalformedTest, WideFieldIsIgnoredButTakesItsBits) {
  // A 40-bit field cannot be decoded; the field after it still sits at bit 40.
  Bytes d = InCollection({0x75, 0x28, 0x95, 0x01, 0x09, 0x30, 0x81, 0x02,  //
                          0x75, 0x08, 0x09, 0x31, 0x81, 0x02});
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  ASSERT_EQ(collections[0].fields.size(), 1u);
  EXPECT_EQ(collections[0].fields[0].bitOffset, 40u);
  EXPECT_EQ(collections[0].fields[0].usages[0], 0x31);
  EXPECT_EQ(collections[0].caps.inputReportByteLength, 7);
}

TEST(ReportDescriptorMalformedTest, HugeReportCount) {
  Bytes huge = InCollection({0x75, 0x08, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02,  //
                             0x95, 0x01, 0x81, 0x02});
  auto collections = Parse(huge);
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_TRUE(collections[0].fields.empty());

  // Over the per-field cap but within the report size: skipped, bits kept.
  Bytes large = InCollection({0x75, 0x01, 0x96, 0x88, 0x13, 0x81, 0x02,  // 5000 x 1
                              0x75, 0x08, 0x95, 0x01, 0x81, 0x02});
  collections = Parse(large);
  ASSERT_EQ(collections.size(), 1u);
  ASSERT_EQ(collections[0].fields.size(), 1u);
  EXPECT_EQ(collections[0].fields[0].bitOffset, 5000u);
}

TEST(ReportDescriptorMalformedTest, DeepNestingStopsFields) {
  Bytes d = {0x05, 0x01};
  for (int i = 0; i < 100; ++i) d.insert(d.end(), {0x09, 0x01, 0xA1, 0x00});
  d.insert(d.end(), {0x75, 0x08, 0x95, 0x01, 0x81, 0x02});
  for (int i = 0; i < 100; ++i) d.push_back(0xC0);
  auto collections = Parse(d);
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_TRUE(collections[0].fields.empty());

  // Thirty-two levels are still fine.
  Bytes ok = {0x05, 0x01};
  for (int i = 0; i < 32; ++i) ok.insert(ok.end(), {0x09, 0x01, 0xA1, 0x00});
  ok.insert(ok.end(), {0x75, 0x08, 0x95, 0x01, 0x81, 0x02});
  for (int i = 0; i < 32; ++i) ok.push_back(0xC0);
  collections = Parse(ok);
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_EQ(collections[0].fields.size(), 1u);
}

TEST(ReportDescriptorMalformedTest, PushOverflowAndPopUnderflow) {
  Bytes pushes;
  for (int i = 0; i < 17; ++i) pushes.push_back(0xA4);
  pushes.insert(pushes.end(), {0x75, 0x08, 0x95, 0x01, 0x81, 0x02});
  auto collections = Parse(InCollection(pushes));
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_TRUE(collections[0].fields.empty());

  // Sixteen pushes without pops are tolerated.
  Bytes sixteen(16, 0xA4);
  sixteen.insert(sixteen.end(), {0x75, 0x08, 0x95, 0x01, 0x81, 0x02});
  collections = Parse(InCollection(sixteen));
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_EQ(collections[0].fields.size(), 1u);

  // A pop on an empty stack keeps the field before it and ends the rest.
  collections = Parse(InCollection({0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xB4, 0x81, 0x02}));
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_EQ(collections[0].fields.size(), 1u);
  Bytes afterPop = Concat({&kHeadset});
  afterPop.insert(afterPop.begin(), 0xB4);
  EXPECT_TRUE(Parse(afterPop).empty());
}

TEST(ReportDescriptorMalformedTest, ReportIdZeroEndsFields) {
  auto collections = Parse(InCollection({0x85, 0x00, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}));
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_TRUE(collections[0].fields.empty());
}

TEST(ReportDescriptorMalformedTest, UsageListIsCapped) {
  Bytes body;
  for (int i = 0; i < 2000; ++i) body.insert(body.end(), {0x09, static_cast<uint8_t>(i)});
  body.insert(body.end(), {0x75, 0x08, 0x95, 0x01, 0x15, 0x00, 0x25, 0x7F, 0x81, 0x00});
  auto collections = Parse(InCollection(body));
  ASSERT_EQ(collections.size(), 1u);
  ASSERT_EQ(collections[0].fields.size(), 1u);
  EXPECT_EQ(collections[0].fields[0].usages.size(), 1024u);
}

TEST(ReportDescriptorMalformedTest, FieldCountIsCapped) {
  Bytes body = {0x75, 0x01, 0x95, 0x01};
  for (int i = 0; i < 3000; ++i) body.insert(body.end(), {0x81, 0x03});
  auto collections = Parse(InCollection(body));
  ASSERT_EQ(collections.size(), 1u);
  EXPECT_LE(collections[0].fields.size(), 1024u);
  EXPECT_GT(collections[0].fields.size(), 100u);
  ExpectConsistent(collections[0]);
}

TEST(ReportDescriptorMalformedTest, RandomBytesKeepInvariants) {
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 600);
  for (int round = 0; round < 2000; ++round) {
    Bytes d(static_cast<size_t>(length(rng)));
    for (auto& b : d) b = static_cast<uint8_t>(byte(rng));
    // Every other round starts from a valid collection so that fields actually appear.
    if (round % 2 == 0) d.insert(d.begin(), kBootKeyboard.begin(), kBootKeyboard.end() - 1);
    auto collections = Parse(d);
    EXPECT_LE(collections.size(), 256u);
    for (const auto& c : collections) ExpectConsistent(c);
    if (HasFatalFailure()) {
      FAIL() << "round " << round;
    }
  }
}

}  // namespace
}  // namespace varkon
