#include "emulator/memory_file.h"

#include <algorithm>

namespace varkon {

namespace {

constexpr const char kFormat[] = "varkon-emulator-memory";
// Version 2: the keyboard carries its real layout and LED tables. A version 1 file holds the
// placeholder tables of before, under which the program finds no key, so it is not loaded.
constexpr int kVersion = 2;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ReadImage(const Json::Value& device, const VendorFirmware& firmware, MemoryImage& image) {
  if (!device.isObject()) return false;
  const MemoryImage current = firmware.Snapshot();
  for (int i = 0; i < kMemoryAreaCount; ++i) {
    const Json::Value& area = device[MemoryAreaName(static_cast<MemoryArea>(i))];
    if (!area.isString()) return false;
    if (!ParseHexString(area.asString(), image[i])) return false;
    if (image[i].size() != current[i].size()) return false;
  }
  return true;
}

}  // namespace

std::string HexString(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (uint8_t byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

bool ParseHexString(const std::string& text, std::vector<uint8_t>& bytes) {
  if (text.size() % 2 != 0) return false;
  std::vector<uint8_t> parsed(text.size() / 2);
  for (size_t i = 0; i < parsed.size(); ++i) {
    const int high = HexDigit(text[2 * i]);
    const int low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    parsed[i] = static_cast<uint8_t>(high << 4 | low);
  }
  bytes = std::move(parsed);
  return true;
}

Json::Value FirmwareMemoryView(const VendorFirmware& firmware) {
  Json::Value view(Json::objectValue);
  for (int i = 0; i < kMemoryAreaCount; ++i) {
    const MemoryArea area = static_cast<MemoryArea>(i);
    view[MemoryAreaName(area)] = HexString(firmware.Memory(area));
  }
  view["streamedFrames"] = firmware.LightFrames();
  view["lastFrame"] = HexString(firmware.LastLightFrame());
  view["requests"] = firmware.RequestCount();
  // Light reports (the headset's): how many came, and the last of each target and register,
  // named by those two bytes in hex ("22aa": the data bytes after them).
  if (firmware.FrameReportCount() > 0) {
    view["frameReports"] = firmware.FrameReportCount();
    Json::Value& last = view["lastReports"] = Json::Value(Json::objectValue);
    for (const auto& [key, data] : firmware.LastFrameReports()) {
      const std::vector<uint8_t> head = {key.first, key.second};
      const std::vector<uint8_t> rest(data.begin() + std::min<size_t>(3, data.size()), data.end());
      last[HexString(head)] = HexString(rest);
    }
  }
  return view;
}

Json::Value MemoryDocument(const std::vector<const VendorFirmware*>& firmwares) {
  Json::Value document(Json::objectValue);
  document["format"] = kFormat;
  document["version"] = kVersion;
  Json::Value& devices = document["devices"] = Json::Value(Json::objectValue);
  for (const VendorFirmware* firmware : firmwares) {
    const MemoryImage image = firmware->Snapshot();
    Json::Value device(Json::objectValue);
    for (int i = 0; i < kMemoryAreaCount; ++i) {
      device[MemoryAreaName(static_cast<MemoryArea>(i))] = HexString(image[i]);
    }
    devices[firmware->Name()] = device;
  }
  return document;
}

bool ApplyMemoryDocument(const Json::Value& document,
                         const std::vector<VendorFirmware*>& firmwares) {
  if (!document.isObject()) return false;
  const Json::Value& format = document["format"];
  const Json::Value& version = document["version"];
  const Json::Value& devices = document["devices"];
  if (!format.isString() || format.asString() != kFormat) return false;
  if (!version.isInt() || version.asInt() != kVersion) return false;
  if (!devices.isObject()) return false;

  std::vector<MemoryImage> images(firmwares.size());
  for (size_t i = 0; i < firmwares.size(); ++i) {
    if (!ReadImage(devices[firmwares[i]->Name()], *firmwares[i], images[i])) return false;
  }
  for (size_t i = 0; i < firmwares.size(); ++i) {
    if (!firmwares[i]->Restore(images[i])) return false;
  }
  return true;
}

}  // namespace varkon
