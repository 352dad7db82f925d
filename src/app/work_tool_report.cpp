#include "app/work_tool_report.h"

#include "device/device_catalogue.h"

namespace varkon {
namespace {

constexpr size_t kFirstModelInteger = 5;
constexpr size_t kIntegersPerModel = 3;

static_assert((kFirstModelInteger + kIntegersPerModel * kDeviceModelCount) * 4 <=
                  kWorkToolReportSize,
              "the device models no longer fit the report block");

void PutInteger(std::array<uint8_t, kWorkToolReportSize>& block, size_t integer, uint32_t value) {
  const size_t at = integer * 4;
  block[at] = static_cast<uint8_t>(value);
  block[at + 1] = static_cast<uint8_t>(value >> 8);
  block[at + 2] = static_cast<uint8_t>(value >> 16);
  block[at + 3] = static_cast<uint8_t>(value >> 24);
}

}  // namespace

std::array<uint8_t, kWorkToolReportSize> BuildWorkToolReport(
    const std::array<uint8_t, 4>& version) {
  std::array<uint8_t, kWorkToolReportSize> block{};
  for (size_t i = 0; i < version.size(); ++i) PutInteger(block, i, version[i]);
  PutInteger(block, 4, static_cast<uint32_t>(kDeviceModels.size()));
  for (size_t row = 0; row < kDeviceModels.size(); ++row) {
    const DeviceModel& model = kDeviceModels[row];
    const size_t first = kFirstModelInteger + kIntegersPerModel * row;
    PutInteger(block, first, model.vendorId);
    PutInteger(block, first + 1, model.productId);
    PutInteger(block, first + 2, model.kind);
  }
  return block;
}

}  // namespace varkon
