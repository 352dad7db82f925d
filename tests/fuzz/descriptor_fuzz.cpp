// Fuzz target for the report descriptor parser and decoder. Input: a 16-bit little-endian
// descriptor length, the descriptor, then a report. Every parsed collection decodes the report
// through every entry point, once as given and once per report id it uses.
//
// With VARKON_FUZZ_SEED_DIR set, the program writes its seed inputs there and exits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "device/report_descriptor.h"

namespace {

using Bytes = std::vector<uint8_t>;

using varkon::HidCollectionInfo;
using varkon::HidReportKind;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckCollection(const HidCollectionInfo& c) {
  const uint16_t lengths[] = {c.caps.inputReportByteLength, c.caps.outputReportByteLength,
                              c.caps.featureReportByteLength};
  for (const varkon::HidReportField& f : c.fields) {
    Check(f.bitSize >= 1 && f.bitSize <= 32);
    uint64_t end = f.bitOffset + static_cast<uint64_t>(f.bitSize) * f.count;
    Check((end + 7) / 8 + 1 <= lengths[static_cast<int>(f.kind)]);
  }
  for (int k = 0; k < varkon::kHidReportKindCount; ++k) {
    for (const auto& cap : c.buttonCaps[k]) Check(cap.fieldIndex < c.fields.size());
    for (const auto& cap : c.valueCaps[k]) Check(cap.fieldIndex < c.fields.size());
  }
}

void Decode(const HidCollectionInfo& c, HidReportKind kind, const Bytes& report) {
  const uint8_t* data = report.data();
  size_t size = report.size();
  std::vector<uint16_t> usages;
  int k = static_cast<int>(kind);
  for (const auto& cap : c.buttonCaps[k]) {
    varkon::GetUsages(c, kind, cap.usagePage, data, size, usages);
    Check(usages.size() <= c.MaxUsageListLength(kind, cap.usagePage));
  }
  for (const auto& cap : c.valueCaps[k]) {
    uint32_t raw = 0;
    int32_t scaled = 0;
    varkon::GetUsageValue(c, kind, cap.usagePage, cap.usageMin, data, size, raw);
    varkon::GetScaledUsageValue(c, kind, cap.usagePage, cap.usageMax, data, size, scaled);
  }
  std::vector<varkon::HidDataItem> items = varkon::BuildDataItems(c, kind);
  size_t count = items.size();
  varkon::UnpackReport(c, kind, data, size, items);
  Check(items.size() == count);
  for (const auto& item : items) Check(!item.isButton || item.usages.size() == item.maxUsageCount);
}

// Seeds: the descriptors of the device family, each followed by one report.
const Bytes kSeedDescriptors[] = {
    {0x06, 0x1C, 0xFF, 0x09, 0x92, 0xA1, 0x01, 0x85, 0x04, 0x09, 0x01, 0x15, 0x00, 0x26, 0xFF,
     0x00, 0x75, 0x08, 0x95, 0x3F, 0x81, 0x02, 0x09, 0x02, 0x95, 0x3F, 0x91, 0x02, 0xC0},
    {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x03, 0x19, 0x00, 0x2A, 0xFF, 0xFF, 0x15,
     0x00, 0x27, 0xFF, 0xFF, 0x00, 0x00, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0},
    {0x05, 0x01, 0x09, 0x80, 0xA1, 0x01, 0x85, 0x01, 0x19, 0x81, 0x29, 0x83, 0x15,
     0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x95, 0x05, 0x81, 0x01,
     0xC0, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x19, 0x00, 0x2A, 0x3C,
     0x02, 0x15, 0x00, 0x26, 0x3C, 0x02, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0},
    {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
     0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x05, 0x75, 0x01,
     0x05, 0x08, 0x19, 0x01, 0x29, 0x05, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03, 0x91, 0x01, 0x95, 0x06,
     0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0},
    {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x04, 0x06, 0x00, 0xFF, 0x09, 0x01,
     0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x3F, 0x81, 0x02, 0x09, 0x02,
     0x95, 0x3F, 0x91, 0x02, 0x85, 0xFF, 0x09, 0x03, 0x95, 0x10, 0x91, 0x02, 0xC0},
    {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00, 0xA4, 0x05, 0x09, 0x19, 0x01,
     0x29, 0x05, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x05, 0x81, 0x02, 0xB4, 0x95, 0x03,
     0x75, 0x01, 0x81, 0x01, 0x09, 0x30, 0x09, 0x31, 0x16, 0x01, 0x80, 0x26, 0xFF, 0x7F, 0x36,
     0x00, 0xFC, 0x46, 0x00, 0x04, 0x75, 0x10, 0x95, 0x02, 0x81, 0x06, 0xC0, 0xC0},
};

void WriteSeeds(const char* dir) {
  int index = 0;
  for (const Bytes& descriptor : kSeedDescriptors) {
    Bytes input = {static_cast<uint8_t>(descriptor.size() & 0xFF),
                   static_cast<uint8_t>(descriptor.size() >> 8)};
    input.insert(input.end(), descriptor.begin(), descriptor.end());
    // A report with a plausible id and a few bits set.
    Bytes report = {static_cast<uint8_t>(index % 5), 0x02, 0x01, 0x04, 0x05, 0x80, 0x7F, 0xFF};
    input.insert(input.end(), report.begin(), report.end());
    std::string path = std::string(dir) + "/seed_" + std::to_string(index++);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::exit(1);
    size_t written = std::fwrite(input.data(), 1, input.size(), file);
    if (std::fclose(file) != 0 || written != input.size()) std::exit(1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (const char* dir = std::getenv("VARKON_FUZZ_SEED_DIR")) {
    WriteSeeds(dir);
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) {
    varkon::ParseReportDescriptor(data, size);
    return 0;
  }
  size_t descriptorSize = data[0] | (static_cast<size_t>(data[1]) << 8);
  if (descriptorSize > size - 2) descriptorSize = size - 2;
  const uint8_t* descriptor = data + 2;
  Bytes report(descriptor + descriptorSize, data + size);

  std::vector<HidCollectionInfo> collections =
      varkon::ParseReportDescriptor(descriptor, descriptorSize);
  for (const HidCollectionInfo& c : collections) {
    CheckCollection(c);
    for (int k = 0; k < varkon::kHidReportKindCount; ++k) {
      HidReportKind kind = static_cast<HidReportKind>(k);
      Decode(c, kind, report);
      if (report.empty()) continue;
      // Again with each report id of the collection, so that the fields actually decode.
      bool seen[256] = {};
      for (const auto& field : c.fields) {
        if (field.kind != kind || seen[field.reportId]) continue;
        seen[field.reportId] = true;
        Bytes copy = report;
        copy[0] = field.reportId;
        Decode(c, kind, copy);
      }
    }
  }
  return 0;
}
