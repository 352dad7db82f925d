#include "devices/light_headset_frame.h"

namespace varkon {
namespace {

struct ReportLayout {
  uint8_t target;
  uint8_t reg;
  uint8_t channel;  // 0 red, 1 green, 2 blue
  uint8_t firstLight;
  uint8_t lightCount;
};

constexpr ReportLayout kLayout[kHeadsetReportCount] = {
    {0x22, 0xAA, 0, 0, 7}, {0x22, 0xAD, 0, 7, 6}, {0x44, 0xAA, 0, 0, 7}, {0x44, 0xAD, 0, 7, 6},
    {0x22, 0xAB, 1, 0, 7}, {0x22, 0xAE, 1, 7, 6}, {0x44, 0xAB, 1, 0, 7}, {0x44, 0xAE, 1, 7, 6},
    {0x22, 0xAC, 2, 0, 7}, {0x22, 0xAF, 2, 7, 6}, {0x44, 0xAC, 2, 0, 7}, {0x44, 0xAF, 2, 7, 6},
};
constexpr size_t kDataOffset = 4;

}  // namespace

HeadsetReports BuildHeadsetReports(const ColourBuffer& colours) {
  std::array<std::array<uint8_t, kHeadsetLights>, 3> levels{};
  for (size_t i = 0; i < kHeadsetLights; ++i) {
    const LightColour c = colours.Get(i);  // 0 beyond the light count
    levels[0][i] = HeadsetLevel(c.r, c.a);
    levels[1][i] = HeadsetLevel(c.g, c.a);
    levels[2][i] = HeadsetLevel(c.b, c.a);
  }
  HeadsetReports reports{};
  for (size_t n = 0; n < kHeadsetReportCount; ++n) {
    const ReportLayout& layout = kLayout[n];
    HeadsetReport& report = reports[n];
    report[0] = 0xFF;
    report[1] = layout.target;
    report[2] = layout.reg;
    report[3] = 0;
    for (size_t j = 0; j < layout.lightCount; ++j) {
      report[kDataOffset + j] = levels[layout.channel][layout.firstLight + j];
    }
  }
  return reports;
}

}  // namespace varkon
