// Report decoder: reads button usages and values out of received reports by the fields of a
// parsed collection. Reads never go past the received length.
#include <algorithm>
#include <unordered_map>

#include "device/report_descriptor.h"

namespace varkon {

namespace {

bool ValidKind(HidReportKind kind) {
  return static_cast<int>(kind) < kHidReportKindCount;
}

// Bits of the report after the id byte.
uint64_t PayloadBits(size_t length) {
  return length > 0 ? (static_cast<uint64_t>(length) - 1) * 8 : 0;
}

// Reads `bitSize` (1..32) bits, least significant first, starting `bitOffset` bits after the
// report id byte. The caller has checked that they lie within the report.
uint32_t ReadBits(const uint8_t* report, uint64_t bitOffset, uint32_t bitSize) {
  const uint8_t* payload = report + 1;
  uint32_t value = 0;
  for (uint32_t i = 0; i < bitSize; ++i) {
    uint64_t bit = bitOffset + i;
    if ((payload[bit / 8] >> (bit % 8)) & 1) value |= 1u << i;
  }
  return value;
}

// A raw field value as a signed number when the logical range has negative values.
int64_t FieldNumber(const HidReportField& field, uint32_t raw) {
  if (field.logicalMin >= 0 || field.bitSize == 0) return raw;
  if (field.bitSize >= 32) return static_cast<int32_t>(raw);
  uint32_t signBit = 1u << (field.bitSize - 1);
  if (raw & signBit) return static_cast<int64_t>(raw) - (static_cast<int64_t>(signBit) << 1);
  return raw;
}

// Usage that slot value `v` of an array field stands for; 0 for none.
uint16_t ArrayUsage(const HidReportField& field, int64_t v) {
  if (v < field.logicalMin || v > field.logicalMax) return 0;
  int64_t index = v - field.logicalMin;
  if (field.hasRange) {
    int64_t usage = field.usageMin + index;
    return usage <= field.usageMax ? static_cast<uint16_t>(usage) : 0;
  }
  if (index < static_cast<int64_t>(field.usages.size())) return field.usages[index];
  return 0;
}

// Usage of slot `i` of a variable field; the last explicit usage repeats for the rest.
uint16_t VariableUsage(const HidReportField& field, uint32_t i) {
  if (field.hasRange) {
    uint32_t usage = field.usageMin + i;
    return usage <= field.usageMax ? static_cast<uint16_t>(usage) : 0;
  }
  if (field.usages.empty()) return 0;
  return field.usages[std::min<size_t>(i, field.usages.size() - 1)];
}

// Slot of `usage` in a value field, or -1 when the field does not carry it.
int64_t ValueSlot(const HidReportField& field, uint16_t usage) {
  if (field.hasRange) {
    if (usage < field.usageMin || usage > field.usageMax) return -1;
    int64_t slot = usage - field.usageMin;
    return slot < field.count ? slot : -1;
  }
  size_t limit = std::min<size_t>(field.usages.size(), field.count);
  for (size_t i = 0; i < limit; ++i) {
    if (field.usages[i] == usage) return static_cast<int64_t>(i);
  }
  return -1;
}

bool IsValueField(const HidReportField& field) {
  return !field.IsConstant() && !field.IsButton();
}

// Finds the first value field of the kind that carries (usagePage, usage) with the report's id.
int32_t FindValue(const HidCollectionInfo& collection, HidReportKind kind, uint16_t usagePage,
                  uint16_t usage, uint8_t reportId, const HidReportField*& found, int64_t& slot) {
  bool otherId = false;
  for (const HidReportField& field : collection.fields) {
    if (field.kind != kind || field.usagePage != usagePage || !IsValueField(field)) continue;
    int64_t s = ValueSlot(field, usage);
    if (s < 0) continue;
    if (field.reportId != reportId) {
      otherId = true;
      continue;
    }
    found = &field;
    slot = s;
    return kHidStatusSuccess;
  }
  return otherId ? kHidStatusIncompatibleReportId : kHidStatusUsageNotFound;
}

// Reads value slot `slot` of a value field; out of range when it lies beyond the report.
int32_t ReadSlot(const HidReportField& field, int64_t slot, const uint8_t* report, size_t length,
                 uint32_t& raw) {
  uint64_t start = field.bitOffset + static_cast<uint64_t>(slot) * field.bitSize;
  if (start + field.bitSize > PayloadBits(length)) return kHidStatusValueOutOfRange;
  raw = ReadBits(report, start, field.bitSize);
  return kHidStatusSuccess;
}

int32_t ReadValue(const HidCollectionInfo& collection, HidReportKind kind, uint16_t usagePage,
                  uint16_t usage, const uint8_t* report, size_t length,
                  const HidReportField*& field, uint32_t& raw) {
  if (!ValidKind(kind)) return kHidStatusInvalidReportType;
  if (report == nullptr || length == 0) return kHidStatusInvalidReportLength;
  int64_t slot = 0;
  int32_t status = FindValue(collection, kind, usagePage, usage, report[0], field, slot);
  if (status != kHidStatusSuccess) return status;
  return ReadSlot(*field, slot, report, length, raw);
}

// Maps a raw value onto the physical range, or returns it as a logical value when the field
// has no physical range.
int32_t ScaleValue(const HidReportField& field, uint32_t raw, int32_t& value) {
  if (field.logicalMin >= field.logicalMax) return kHidStatusBadLogPhyValues;
  bool hasPhysical = field.physicalMin != 0 || field.physicalMax != 0;
  if (hasPhysical && field.physicalMin == field.physicalMax) return kHidStatusBadLogPhyValues;
  int64_t logical = FieldNumber(field, raw);
  if (logical < field.logicalMin || logical > field.logicalMax) {
    value = 0;
    return kHidStatusNull;
  }
  if (!hasPhysical) {
    value = static_cast<int32_t>(logical);
    return kHidStatusSuccess;
  }
  // Both spans fit in 32 bits, so their product fits in 64 unsigned bits.
  uint64_t offset = static_cast<uint64_t>(logical - field.logicalMin);
  uint64_t logicalSpan =
      static_cast<uint64_t>(static_cast<int64_t>(field.logicalMax) - field.logicalMin);
  int64_t physicalSpan = static_cast<int64_t>(field.physicalMax) - field.physicalMin;
  uint64_t magnitude = static_cast<uint64_t>(physicalSpan < 0 ? -physicalSpan : physicalSpan);
  int64_t step = static_cast<int64_t>(offset * magnitude / logicalSpan);
  value = static_cast<int32_t>(field.physicalMin + (physicalSpan < 0 ? -step : step));
  return kHidStatusSuccess;
}

// The usages of one page that are on in the report, computed once per unpack.
struct PageUsages {
  uint16_t page = 0;
  int32_t status = kHidStatusSuccess;
  std::vector<uint16_t> usages;
};

// Where each (page, usage) of the report's value fields sits: the first field carrying it.
struct ValueSlotRef {
  const HidReportField* field = nullptr;
  int64_t slot = 0;
};

std::unordered_map<uint32_t, ValueSlotRef> IndexValues(const HidCollectionInfo& collection,
                                                       HidReportKind kind, uint8_t reportId) {
  std::unordered_map<uint32_t, ValueSlotRef> index;
  for (const HidReportField& field : collection.fields) {
    if (field.kind != kind || field.reportId != reportId || !IsValueField(field)) continue;
    uint32_t page = static_cast<uint32_t>(field.usagePage) << 16;
    if (field.hasRange) {
      uint32_t slots = std::min<uint32_t>(field.usageMax - field.usageMin + 1u, field.count);
      for (uint32_t i = 0; i < slots; ++i) {
        index.try_emplace(page | (field.usageMin + i), ValueSlotRef{&field, i});
      }
      continue;
    }
    size_t slots = std::min<size_t>(field.usages.size(), field.count);
    for (size_t i = 0; i < slots; ++i) {
      index.try_emplace(page | field.usages[i], ValueSlotRef{&field, static_cast<int64_t>(i)});
    }
  }
  return index;
}

}  // namespace

int32_t GetUsages(const HidCollectionInfo& collection, HidReportKind kind, uint16_t usagePage,
                  const uint8_t* report, size_t length, std::vector<uint16_t>& usages) {
  usages.clear();
  if (!ValidKind(kind)) return kHidStatusInvalidReportType;
  if (report == nullptr || length == 0) return kHidStatusInvalidReportLength;
  uint8_t reportId = report[0];
  bool pageFound = false;
  bool idFound = false;
  bool tooShort = false;
  uint64_t available = PayloadBits(length);
  for (const HidReportField& field : collection.fields) {
    if (field.kind != kind || field.usagePage != usagePage || !field.IsButton()) continue;
    pageFound = true;
    if (field.reportId != reportId) continue;
    idFound = true;
    uint64_t end = field.bitOffset + static_cast<uint64_t>(field.bitSize) * field.count;
    if (end > available) {
      tooShort = true;
      continue;
    }
    for (uint32_t i = 0; i < field.count; ++i) {
      uint64_t start = field.bitOffset + static_cast<uint64_t>(i) * field.bitSize;
      uint32_t raw = ReadBits(report, start, field.bitSize);
      uint16_t usage = 0;
      if (field.IsVariable()) {
        if (raw != 0) usage = VariableUsage(field, i);
      } else if (raw != 0) {
        usage = ArrayUsage(field, FieldNumber(field, raw));
      }
      if (usage != 0) usages.push_back(usage);
    }
  }
  if (!pageFound) return kHidStatusUsageNotFound;
  if (!idFound) return kHidStatusIncompatibleReportId;
  return tooShort ? kHidStatusInvalidReportLength : kHidStatusSuccess;
}

int32_t GetUsageValue(const HidCollectionInfo& collection, HidReportKind kind, uint16_t usagePage,
                      uint16_t usage, const uint8_t* report, size_t length, uint32_t& value) {
  const HidReportField* field = nullptr;
  uint32_t raw = 0;
  int32_t status = ReadValue(collection, kind, usagePage, usage, report, length, field, raw);
  if (status == kHidStatusSuccess) value = raw;
  return status;
}

int32_t GetScaledUsageValue(const HidCollectionInfo& collection, HidReportKind kind,
                            uint16_t usagePage, uint16_t usage, const uint8_t* report,
                            size_t length, int32_t& value) {
  const HidReportField* field = nullptr;
  uint32_t raw = 0;
  int32_t status = ReadValue(collection, kind, usagePage, usage, report, length, field, raw);
  if (status != kHidStatusSuccess) return status;
  return ScaleValue(*field, raw, value);
}

std::vector<HidDataItem> BuildDataItems(const HidCollectionInfo& collection, HidReportKind kind) {
  std::vector<HidDataItem> items;
  if (!ValidKind(kind)) return items;
  int k = static_cast<int>(kind);
  for (const HidButtonCap& cap : collection.buttonCaps[k]) {
    HidDataItem item;
    item.isButton = true;
    item.usagePage = cap.usagePage;
    item.reportId = cap.reportId;
    item.usageMin = cap.usageMin;
    item.usageMax = cap.isRange ? cap.usageMax : cap.usageMin;
    item.maxUsageCount = collection.MaxUsageListLength(kind, cap.usagePage);
    item.usages.assign(item.maxUsageCount, 0);
    items.push_back(std::move(item));
  }
  for (const HidValueCap& cap : collection.valueCaps[k]) {
    // A range has one item per usage that owns a value slot.
    uint32_t usages = 1;
    if (cap.isRange) {
      usages = std::min<uint32_t>(static_cast<uint32_t>(cap.usageMax - cap.usageMin) + 1,
                                  std::max<uint32_t>(cap.reportCount, 1));
    }
    for (uint32_t i = 0; i < usages; ++i) {
      HidDataItem item;
      item.usagePage = cap.usagePage;
      item.reportId = cap.reportId;
      item.usage = static_cast<uint16_t>(cap.usageMin + i);
      items.push_back(std::move(item));
    }
  }
  return items;
}

int32_t UnpackReport(const HidCollectionInfo& collection, HidReportKind kind, const uint8_t* report,
                     size_t length, std::vector<HidDataItem>& items) {
  if (!ValidKind(kind)) return kHidStatusInvalidReportType;
  if (report == nullptr || length == 0) return kHidStatusInvalidReportLength;
  uint8_t reportId = report[0];
  // Each page's usages and the value positions are looked up once, not once per item.
  std::vector<PageUsages> pages;
  std::unordered_map<uint32_t, ValueSlotRef> values;
  bool valuesIndexed = false;
  for (HidDataItem& item : items) {
    if (item.reportId != reportId) continue;
    item.isSet = true;
    if (item.isButton) {
      auto page = std::find_if(pages.begin(), pages.end(),
                               [&](const PageUsages& p) { return p.page == item.usagePage; });
      if (page == pages.end()) {
        PageUsages fresh;
        fresh.page = item.usagePage;
        fresh.status = GetUsages(collection, kind, item.usagePage, report, length, fresh.usages);
        page = pages.insert(pages.end(), std::move(fresh));
      }
      item.status = page->status;
      size_t limit = std::min<size_t>(item.maxUsageCount, item.usages.size());
      size_t n = 0;
      for (uint16_t usage : page->usages) {
        if (n >= limit) break;
        if (usage >= item.usageMin && usage <= item.usageMax) item.usages[n++] = usage;
      }
      std::fill(item.usages.begin() + static_cast<std::ptrdiff_t>(n), item.usages.end(), 0);
      continue;
    }
    if (!valuesIndexed) {
      values = IndexValues(collection, kind, reportId);
      valuesIndexed = true;
    }
    auto found = values.find(static_cast<uint32_t>(item.usagePage) << 16 | item.usage);
    if (found == values.end()) {
      uint32_t unused = 0;
      item.status =
          GetUsageValue(collection, kind, item.usagePage, item.usage, report, length, unused);
      continue;
    }
    const HidReportField& field = *found->second.field;
    uint32_t raw = 0;
    item.status = ReadSlot(field, found->second.slot, report, length, raw);
    if (item.status != kHidStatusSuccess) return item.status;
    item.value = raw;
    // The raw value stays valid when the scaled one is null or unusable; the status says which.
    int32_t scaled = 0;
    item.status = ScaleValue(field, raw, scaled);
    item.scaledValue = scaled;
  }
  return kHidStatusSuccess;
}

}  // namespace varkon
