// Parser for HID report descriptors and the capability tables of their top-level collections.
// Shared by the hidraw and the emulated backends. Nothing read from a device is trusted: a
// malformed descriptor yields collections without fields (or none), never a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/hid_types.h"

namespace varkon {

// Result codes of the descriptor decoder, in the spirit of the platform HID parsers.
enum HidStatus : int32_t {
  kHidStatusSuccess = 0,
  kHidStatusNull = 1,  // the value is the field's null value (outside logical range)
  kHidStatusInvalidReportLength = -1,
  kHidStatusInvalidReportType = -2,
  kHidStatusIncompatibleReportId = -3,
  kHidStatusUsageNotFound = -4,
  kHidStatusValueOutOfRange = -5,
  kHidStatusBadLogPhyValues = -6,
  kHidStatusBufferTooSmall = -7,
};

// Main-item data bits.
constexpr uint32_t kHidFieldConstant = 0x01;
constexpr uint32_t kHidFieldVariable = 0x02;
constexpr uint32_t kHidFieldRelative = 0x04;
constexpr uint32_t kHidFieldNullState = 0x40;

// One Input, Output or Feature main item of a top-level collection.
struct HidReportField {
  HidReportKind kind = HidReportKind::Input;
  uint8_t reportId = 0;    // 0 when the collection uses no report ids
  uint32_t bitOffset = 0;  // first bit of the field, counted from the byte after the report id
  uint16_t bitSize = 0;    // Report Size
  uint16_t count = 0;      // Report Count
  uint32_t flags = 0;      // main item data bits
  uint16_t usagePage = 0;  // page of the field's usages
  std::vector<uint16_t> usages;  // explicit usages in order (empty when only a range is given)
  bool hasRange = false;         // usages given as Usage Minimum .. Usage Maximum
  uint16_t usageMin = 0;
  uint16_t usageMax = 0;
  int32_t logicalMin = 0;
  int32_t logicalMax = 0;
  int32_t physicalMin = 0;
  int32_t physicalMax = 0;

  bool IsConstant() const { return (flags & kHidFieldConstant) != 0; }
  bool IsVariable() const { return (flags & kHidFieldVariable) != 0; }
  // Button fields: one-bit variables and arrays. Everything else that is not constant is a value.
  bool IsButton() const;
};

// A button capability (one per non-constant button field).
struct HidButtonCap {
  uint16_t usagePage = 0;
  uint8_t reportId = 0;
  bool isRange = false;
  uint16_t usageMin = 0;  // the single usage when not a range
  uint16_t usageMax = 0;
  uint16_t fieldIndex = 0;  // index into HidCollectionInfo::fields
};

// A value capability (one per non-constant value field).
struct HidValueCap {
  uint16_t usagePage = 0;
  uint8_t reportId = 0;
  bool isRange = false;
  uint16_t usageMin = 0;  // the single usage when not a range
  uint16_t usageMax = 0;
  uint16_t bitSize = 0;
  uint16_t reportCount = 0;
  int32_t logicalMin = 0;
  int32_t logicalMax = 0;
  int32_t physicalMin = 0;
  int32_t physicalMax = 0;
  uint16_t fieldIndex = 0;
};

// One top-level collection of a descriptor, with its report fields and capability tables.
struct HidCollectionInfo {
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  bool usesReportIds = false;
  std::vector<HidReportField> fields;
  std::vector<HidButtonCap> buttonCaps[kHidReportKindCount];  // indexed by HidReportKind
  std::vector<HidValueCap> valueCaps[kHidReportKindCount];
  HidCaps caps;  // report lengths count the id byte (longest report of the kind + 1; 0 if none)

  // True when some input field of this collection carries the given report id.
  bool OwnsReportId(HidReportKind kind, uint8_t reportId) const;
  // Longest usage list a report of this kind can carry for the page (sum of array counts and
  // one-bit variable counts of that page's button fields).
  uint32_t MaxUsageListLength(HidReportKind kind, uint16_t usagePage) const;
};

// Parses a report descriptor into its top-level collections, in descriptor order. Items that
// cannot be understood are skipped; a truncated, deeply nested or otherwise malformed
// descriptor keeps what was parsed before the fault and yields no further fields.
std::vector<HidCollectionInfo> ParseReportDescriptor(const uint8_t* data, size_t size);

// Decoder. `report` starts with the report id byte (0 for collections without ids); `length` is
// the number of bytes received. Bits beyond `length` are never read.

// The usages of `usagePage` that are on in the report, from every button field of that page
// and kind whose report id matches report[0], in field order.
int32_t GetUsages(const HidCollectionInfo& collection, HidReportKind kind, uint16_t usagePage,
                  const uint8_t* report, size_t length, std::vector<uint16_t>& usages);

// The raw value of (usagePage, usage) from the first value field that carries it with the
// report's id. kHidStatusUsageNotFound when none does.
int32_t GetUsageValue(const HidCollectionInfo& collection, HidReportKind kind, uint16_t usagePage,
                      uint16_t usage, const uint8_t* report, size_t length, uint32_t& value);

// The value scaled to the physical range (logical range when no physical range is given).
// kHidStatusNull when the raw value lies outside the logical range; kHidStatusBadLogPhyValues
// when the ranges are unusable.
int32_t GetScaledUsageValue(const HidCollectionInfo& collection, HidReportKind kind,
                            uint16_t usagePage, uint16_t usage, const uint8_t* report,
                            size_t length, int32_t& value);

// Data items of one report kind: one button item per button capability and one value item per
// usage of every value capability (a range yields one item per usage).
std::vector<HidDataItem> BuildDataItems(const HidCollectionInfo& collection, HidReportKind kind);

// Updates the items from a received report: only items whose report id equals report[0] are
// touched. A button item receives the usages that are on within its range, ended by 0 when
// fewer than maxUsageCount are on. A value item receives its raw and scaled value; when the
// raw value is out of range for the report, unpacking stops and that status is returned.
int32_t UnpackReport(const HidCollectionInfo& collection, HidReportKind kind, const uint8_t* report,
                     size_t length, std::vector<HidDataItem>& items);

}  // namespace varkon
