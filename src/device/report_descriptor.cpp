// Report descriptor parser: walks the short items of a descriptor, keeps the global and local
// item state, and turns every Input/Output/Feature main item inside a top-level collection into a
// HidReportField plus its capability entries. Every count read from the descriptor is bounded.
#include "device/report_descriptor.h"

#include <algorithm>
#include <array>

namespace varkon {

namespace {

// Bounds against hostile descriptors. Real devices stay far below all of them.
constexpr int kMaxCollectionDepth = 32;
constexpr int kMaxPushDepth = 16;
constexpr size_t kMaxUsagesPerItem = 1024;
constexpr size_t kMaxFields = 1024;
constexpr size_t kMaxCollections = 256;
constexpr uint32_t kMaxFieldBits = 32;
constexpr uint32_t kMaxFieldCount = 4096;
// Sum of the counts of all non-constant fields; bounds the usage lists and data items built
// from the collections.
constexpr uint64_t kMaxTotalCount = 16384;
// Report byte lengths are 16-bit and include the id byte.
constexpr uint64_t kMaxReportBits = (0xFFFFull - 1) * 8;

enum ItemType : uint8_t { kTypeMain = 0, kTypeGlobal = 1, kTypeLocal = 2 };

enum MainTag : uint8_t {
  kMainInput = 0x8,
  kMainOutput = 0x9,
  kMainCollection = 0xA,
  kMainFeature = 0xB,
  kMainEndCollection = 0xC,
};

enum GlobalTag : uint8_t {
  kGlobalUsagePage = 0x0,
  kGlobalLogicalMin = 0x1,
  kGlobalLogicalMax = 0x2,
  kGlobalPhysicalMin = 0x3,
  kGlobalPhysicalMax = 0x4,
  kGlobalUnitExponent = 0x5,
  kGlobalUnit = 0x6,
  kGlobalReportSize = 0x7,
  kGlobalReportId = 0x8,
  kGlobalReportCount = 0x9,
  kGlobalPush = 0xA,
  kGlobalPop = 0xB,
};

enum LocalTag : uint8_t {
  kLocalUsage = 0x0,
  kLocalUsageMin = 0x1,
  kLocalUsageMax = 0x2,
};

constexpr uint8_t kLongItemPrefix = 0xFE;

// An item's data as read: the unsigned bytes and how many there were.
struct ItemValue {
  uint32_t raw = 0;
  uint8_t size = 0;

  int32_t Signed() const {
    switch (size) {
      case 1:
        return static_cast<int8_t>(raw);
      case 2:
        return static_cast<int16_t>(raw);
      case 4:
        return static_cast<int32_t>(raw);
      default:
        return 0;
    }
  }
};

// A maximum written in fewer bytes than its positive value needs (0xFF for 255 in one byte) is
// read unsigned when the minimum is not negative.
int32_t ResolveMaximum(int32_t minimum, const ItemValue& maximum) {
  int32_t value = maximum.Signed();
  if (minimum >= 0 && value < 0 && maximum.size < 4) return static_cast<int32_t>(maximum.raw);
  return value;
}

struct GlobalState {
  uint16_t usagePage = 0;
  int32_t logicalMin = 0;
  ItemValue logicalMax;
  int32_t physicalMin = 0;
  ItemValue physicalMax;
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

// A usage as given by a local item; a four-byte usage carries its own page.
struct LocalUsage {
  uint32_t value = 0;
  bool extended = false;

  uint16_t Page(uint16_t currentPage) const {
    return extended ? static_cast<uint16_t>(value >> 16) : currentPage;
  }
  uint16_t Id() const { return static_cast<uint16_t>(value & 0xFFFF); }
};

struct LocalState {
  std::vector<LocalUsage> usages;
  LocalUsage usageMin;
  LocalUsage usageMax;
  bool hasMin = false;
  bool hasMax = false;

  void Clear() {
    usages.clear();
    hasMin = hasMax = false;
  }
  bool HasRange() const { return hasMin && hasMax && usageMin.Id() <= usageMax.Id(); }
};

// Extent of the reports of one collection, used for the byte lengths in its caps.
struct CollectionExtent {
  std::array<uint64_t, kHidReportKindCount> maxEndBit{};
  std::array<bool, kHidReportKindCount> hasField{};
};

class DescriptorParser {
 public:
  DescriptorParser(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

  std::vector<HidCollectionInfo> Parse() {
    size_t pos = 0;
    while (pos < size_ && !faulted_) {
      uint8_t prefix = data_[pos];
      if (prefix == kLongItemPrefix) {
        // Long items carry no meaning here: [prefix][data size][tag][data...].
        if (size_ - pos < 3) break;
        size_t length = 3 + static_cast<size_t>(data_[pos + 1]);
        if (size_ - pos < length) break;
        pos += length;
        continue;
      }
      uint8_t sizeCode = prefix & 0x03;
      uint8_t dataSize = sizeCode == 3 ? 4 : sizeCode;
      if (size_ - pos - 1 < dataSize) break;  // truncated item
      ItemValue value;
      value.size = dataSize;
      for (uint8_t i = 0; i < dataSize; ++i) {
        value.raw |= static_cast<uint32_t>(data_[pos + 1 + i]) << (8 * i);
      }
      pos += 1 + dataSize;
      uint8_t type = (prefix >> 2) & 0x03;
      uint8_t tag = prefix >> 4;
      switch (type) {
        case kTypeMain:
          HandleMain(tag, value);
          local_.Clear();
          break;
        case kTypeGlobal:
          HandleGlobal(tag, value);
          break;
        case kTypeLocal:
          HandleLocal(tag, value);
          break;
        default:
          break;  // reserved item type
      }
    }
    for (size_t i = 0; i < collections_.size(); ++i) Finish(collections_[i], extents_[i]);
    return std::move(collections_);
  }

 private:
  void HandleGlobal(uint8_t tag, const ItemValue& value) {
    switch (tag) {
      case kGlobalUsagePage:
        global_.usagePage = static_cast<uint16_t>(value.raw & 0xFFFF);
        break;
      case kGlobalLogicalMin:
        global_.logicalMin = value.Signed();
        break;
      case kGlobalLogicalMax:
        global_.logicalMax = value;
        break;
      case kGlobalPhysicalMin:
        global_.physicalMin = value.Signed();
        break;
      case kGlobalPhysicalMax:
        global_.physicalMax = value;
        break;
      case kGlobalReportSize:
        global_.reportSize = value.raw;
        break;
      case kGlobalReportCount:
        global_.reportCount = value.raw;
        break;
      case kGlobalReportId:
        if (value.raw == 0 || value.raw > 0xFF) {
          faulted_ = true;  // id 0 is reserved for "no ids"
        } else {
          global_.reportId = static_cast<uint8_t>(value.raw);
        }
        break;
      case kGlobalPush:
        if (stack_.size() >= static_cast<size_t>(kMaxPushDepth)) {
          faulted_ = true;
        } else {
          stack_.push_back(global_);
        }
        break;
      case kGlobalPop:
        if (stack_.empty()) {
          faulted_ = true;
        } else {
          global_ = stack_.back();
          stack_.pop_back();
        }
        break;
      default:
        break;  // unit, unit exponent and reserved tags do not affect the layout
    }
  }

  void HandleLocal(uint8_t tag, const ItemValue& value) {
    LocalUsage usage;
    usage.value = value.raw;
    usage.extended = value.size == 4;
    switch (tag) {
      case kLocalUsage:
        if (local_.usages.size() < kMaxUsagesPerItem) local_.usages.push_back(usage);
        break;
      case kLocalUsageMin:
        local_.usageMin = usage;
        local_.hasMin = true;
        break;
      case kLocalUsageMax:
        local_.usageMax = usage;
        local_.hasMax = true;
        break;
      default:
        break;  // designators, strings and delimiters are not used
    }
  }

  void HandleMain(uint8_t tag, const ItemValue& value) {
    switch (tag) {
      case kMainCollection:
        OpenCollection();
        break;
      case kMainEndCollection:
        if (depth_ > 0) --depth_;
        break;
      case kMainInput:
        AddField(HidReportKind::Input, value.raw);
        break;
      case kMainOutput:
        AddField(HidReportKind::Output, value.raw);
        break;
      case kMainFeature:
        AddField(HidReportKind::Feature, value.raw);
        break;
      default:
        break;
    }
  }

  void OpenCollection() {
    if (depth_ >= kMaxCollectionDepth) {
      faulted_ = true;
      return;
    }
    if (depth_ == 0) {
      if (collections_.size() >= kMaxCollections) {
        faulted_ = true;
        return;
      }
      HidCollectionInfo info;
      const LocalUsage* usage = nullptr;
      if (!local_.usages.empty()) {
        usage = &local_.usages.front();
      } else if (local_.hasMin) {
        usage = &local_.usageMin;
      }
      info.usagePage = usage ? usage->Page(global_.usagePage) : global_.usagePage;
      info.usage = usage ? usage->Id() : 0;
      collections_.push_back(std::move(info));
      extents_.emplace_back();
    }
    ++depth_;
  }

  void AddField(HidReportKind kind, uint32_t flags) {
    if (depth_ == 0 || collections_.empty()) return;  // outside any collection
    HidCollectionInfo& collection = collections_.back();
    CollectionExtent& extent = extents_.back();
    int k = static_cast<int>(kind);

    uint64_t bits = static_cast<uint64_t>(global_.reportSize) * global_.reportCount;
    if (bits == 0) return;
    uint32_t& offset = offsets_[k][global_.reportId];
    uint64_t end = static_cast<uint64_t>(offset) + bits;
    if (end > kMaxReportBits) {
      faulted_ = true;
      return;
    }
    uint32_t start = offset;
    offset = static_cast<uint32_t>(end);
    extent.hasField[k] = true;
    extent.maxEndBit[k] = std::max(extent.maxEndBit[k], end);
    if (global_.reportId != 0) collection.usesReportIds = true;

    // Fields too wide to decode still take their bits but are not recorded.
    if (global_.reportSize > kMaxFieldBits || global_.reportCount > kMaxFieldCount) return;
    bool constant = (flags & kHidFieldConstant) != 0;
    if (!constant) {
      totalCount_ += global_.reportCount;
      if (totalCount_ > kMaxTotalCount) {
        faulted_ = true;
        return;
      }
    }
    if (fieldCount_ >= kMaxFields) {
      faulted_ = true;
      return;
    }
    ++fieldCount_;

    HidReportField field;
    field.kind = kind;
    field.reportId = global_.reportId;
    field.bitOffset = start;
    field.bitSize = static_cast<uint16_t>(global_.reportSize);
    field.count = static_cast<uint16_t>(global_.reportCount);
    field.flags = flags;
    field.usagePage = global_.usagePage;
    if (local_.HasRange()) {
      field.hasRange = true;
      field.usageMin = local_.usageMin.Id();
      field.usageMax = local_.usageMax.Id();
      field.usagePage = local_.usageMin.Page(global_.usagePage);
    } else if (!local_.usages.empty()) {
      field.usagePage = local_.usages.front().Page(global_.usagePage);
    }
    field.usages.reserve(local_.usages.size());
    for (const LocalUsage& usage : local_.usages) field.usages.push_back(usage.Id());
    field.logicalMin = global_.logicalMin;
    field.logicalMax = ResolveMaximum(global_.logicalMin, global_.logicalMax);
    field.physicalMin = global_.physicalMin;
    field.physicalMax = ResolveMaximum(global_.physicalMin, global_.physicalMax);

    uint16_t index = static_cast<uint16_t>(collection.fields.size());
    if (!constant) AddCaps(collection, field, index);
    collection.fields.push_back(std::move(field));
  }

  static void AddCaps(HidCollectionInfo& collection, const HidReportField& field, uint16_t index) {
    int k = static_cast<int>(field.kind);
    if (field.IsButton()) {
      HidButtonCap cap;
      cap.usagePage = field.usagePage;
      cap.reportId = field.reportId;
      cap.isRange = field.hasRange;
      if (field.hasRange) {
        cap.usageMin = field.usageMin;
        cap.usageMax = field.usageMax;
      } else if (!field.usages.empty()) {
        cap.usageMin = cap.usageMax = field.usages.front();
      }
      cap.fieldIndex = index;
      collection.buttonCaps[k].push_back(cap);
      return;
    }
    HidValueCap cap;
    cap.usagePage = field.usagePage;
    cap.reportId = field.reportId;
    cap.bitSize = field.bitSize;
    cap.reportCount = field.count;
    cap.logicalMin = field.logicalMin;
    cap.logicalMax = field.logicalMax;
    cap.physicalMin = field.physicalMin;
    cap.physicalMax = field.physicalMax;
    cap.fieldIndex = index;
    if (field.hasRange) {
      cap.isRange = true;
      cap.usageMin = field.usageMin;
      cap.usageMax = field.usageMax;
      collection.valueCaps[k].push_back(cap);
      return;
    }
    if (field.usages.size() <= 1 || field.count <= 1) {
      if (!field.usages.empty()) cap.usageMin = cap.usageMax = field.usages.front();
      collection.valueCaps[k].push_back(cap);
      return;
    }
    // Several usages for several values: one cap per usage, the last one taking the rest.
    size_t caps = std::min<size_t>(field.usages.size(), field.count);
    for (size_t i = 0; i < caps; ++i) {
      cap.usageMin = cap.usageMax = field.usages[i];
      cap.reportCount = i + 1 < caps ? 1 : static_cast<uint16_t>(field.count - (caps - 1));
      collection.valueCaps[k].push_back(cap);
    }
  }

  static void Finish(HidCollectionInfo& collection, const CollectionExtent& extent) {
    HidCaps& caps = collection.caps;
    caps.usagePage = collection.usagePage;
    caps.usage = collection.usage;
    uint16_t lengths[kHidReportKindCount] = {};
    for (int k = 0; k < kHidReportKindCount; ++k) {
      if (extent.hasField[k]) lengths[k] = static_cast<uint16_t>((extent.maxEndBit[k] + 7) / 8 + 1);
    }
    caps.inputReportByteLength = lengths[0];
    caps.outputReportByteLength = lengths[1];
    caps.featureReportByteLength = lengths[2];
    caps.numberInputButtonCaps = static_cast<uint16_t>(collection.buttonCaps[0].size());
    caps.numberInputValueCaps = static_cast<uint16_t>(collection.valueCaps[0].size());
    caps.numberOutputButtonCaps = static_cast<uint16_t>(collection.buttonCaps[1].size());
    caps.numberOutputValueCaps = static_cast<uint16_t>(collection.valueCaps[1].size());
    caps.numberFeatureButtonCaps = static_cast<uint16_t>(collection.buttonCaps[2].size());
    caps.numberFeatureValueCaps = static_cast<uint16_t>(collection.valueCaps[2].size());
  }

  const uint8_t* data_;
  size_t size_;
  bool faulted_ = false;
  int depth_ = 0;
  GlobalState global_;
  LocalState local_;
  std::vector<GlobalState> stack_;
  std::vector<HidCollectionInfo> collections_;
  std::vector<CollectionExtent> extents_;
  // Next free bit of every report, per kind and report id, across the whole descriptor.
  uint32_t offsets_[kHidReportKindCount][256] = {};
  size_t fieldCount_ = 0;
  uint64_t totalCount_ = 0;
};

}  // namespace

bool HidReportField::IsButton() const {
  if (IsConstant()) return false;
  return !IsVariable() || bitSize == 1;
}

bool HidCollectionInfo::OwnsReportId(HidReportKind kind, uint8_t reportId) const {
  for (const HidReportField& field : fields) {
    if (field.kind == kind && field.reportId == reportId) return true;
  }
  return false;
}

uint32_t HidCollectionInfo::MaxUsageListLength(HidReportKind kind, uint16_t usagePage) const {
  uint32_t length = 0;
  for (const HidReportField& field : fields) {
    if (field.kind == kind && field.usagePage == usagePage && field.IsButton()) {
      length += field.count;
    }
  }
  return length;
}

std::vector<HidCollectionInfo> ParseReportDescriptor(const uint8_t* data, size_t size) {
  return DescriptorParser(data, size).Parse();
}

}  // namespace varkon
