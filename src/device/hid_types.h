// Plain data records that describe a HID interface and the fields of its reports.
#pragma once

#include <cstdint>
#include <vector>

namespace varkon {

enum class HidReportKind : uint8_t { Input = 0, Output = 1, Feature = 2 };
constexpr int kHidReportKindCount = 3;

// Identity numbers of the USB device an interface belongs to.
struct HidAttributes {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  uint16_t versionNumber = 0;
};

// Capabilities of one top-level collection. Report lengths count the report id byte, which is
// present in every report buffer (0 when the collection uses no report ids).
struct HidCaps {
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  uint16_t inputReportByteLength = 0;
  uint16_t outputReportByteLength = 0;
  uint16_t featureReportByteLength = 0;
  uint16_t numberInputButtonCaps = 0;
  uint16_t numberInputValueCaps = 0;
  uint16_t numberOutputButtonCaps = 0;
  uint16_t numberOutputValueCaps = 0;
  uint16_t numberFeatureButtonCaps = 0;
  uint16_t numberFeatureValueCaps = 0;
};

// One decoded field of a report: either a button item (the usages that are on) or a value item.
struct HidDataItem {
  bool isButton = false;
  uint16_t usagePage = 0;
  int32_t status = 0;  // last decoder status (HidStatus)
  uint32_t reportId = 0;
  bool isSet = false;  // touched by the last unpack of a report with this item's id
  // Button item.
  uint32_t usageMin = 0;
  uint32_t usageMax = 0;
  uint32_t maxUsageCount = 0;
  std::vector<uint16_t> usages;  // maxUsageCount entries, ended by 0 when fewer are on
  // Value item.
  uint16_t usage = 0;
  uint32_t value = 0;
  int32_t scaledValue = 0;
};

}  // namespace varkon
