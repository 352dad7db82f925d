#include "editors/colour_options.h"

#include <cstdio>

#include "core/json_file.h"
#include "profile/json_access.h"
#include "profile/macro_step.h"

namespace varkon {

namespace {

constexpr const char* kRoot = "coloroptioninfo";
constexpr const char* kPresets = "palletDialogcoloroption";
constexpr const char* kPresetIndex = "palletDialogcoloroption_selectitem";
constexpr const char* kCollected = "palletDialogcollectcoloroption";
constexpr const char* kCollectIndex = "palletDialogcollectcoloroption_selectitem";

}  // namespace

std::string ArgbHex(uint32_t argb) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(argb));
  return text;
}

uint32_t ParseArgbHex(const std::string& text) {
  if (text.empty() || text.size() > 8) return 0;
  uint32_t value = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return 0;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return value;
}

int ChannelFromText(const std::string& text) {
  const int64_t value = LeadingDecimal64(text);
  return value < 0 ? 0 : value > 255 ? 255 : static_cast<int>(value);
}

ColourOptions::ColourOptions(std::string userFile, std::string defaultFile)
    : userFile_(std::move(userFile)), defaultFile_(std::move(defaultFile)) {}

Json::Value ColourOptions::ReadUser() const {
  Json::Value document = ReadJsonFileNoThrow(userFile_);
  return document.isObject() ? document : Json::Value(Json::objectValue);
}

void ColourOptions::Load() {
  document_ = ReadJsonFileNoThrow(userFile_);
  if (!document_.isObject()) {
    document_ = ReadJsonFileNoThrow(defaultFile_);
    if (!document_.isObject()) document_ = Json::Value(Json::objectValue);
    if (!userFile_.empty()) WriteJsonFile(userFile_, document_);
  }
}

int ColourOptions::PresetIndex() const {
  const Json::Value& index = Member(Member(document_, kRoot), kPresetIndex);
  return index.isInt() ? index.asInt() : -1;
}

CollectedSwatch ColourOptions::Collected(int index) const {
  CollectedSwatch swatch;
  const Json::Value& list = ArrayMember(Member(document_, kRoot), kCollected);
  if (index < 0 || static_cast<Json::ArrayIndex>(index) >= list.size()) return swatch;
  const Json::Value& entry = list[static_cast<Json::ArrayIndex>(index)];
  const Json::Value& colour = Member(entry, "color");
  if (!colour.isString()) return swatch;
  swatch.present = true;
  swatch.colour = ParseArgbHex(colour.asString());
  swatch.userData = StringMember(entry, "UserData");
  return swatch;
}

bool ColourOptions::SavePresets(const std::array<uint32_t, kColourSwatches>& colours,
                                int presetIndex) {
  Json::Value document = ReadUser();
  Json::Value& root = MakeObjectMember(document, kRoot);
  Json::Value& list = MakeArrayMember(root, kPresets);
  for (int i = 0; i < kColourSwatches; ++i) {
    MakeObjectElement(list, static_cast<Json::ArrayIndex>(i))["color"] =
        ArgbHex(colours[static_cast<size_t>(i)]);
  }
  root[kPresetIndex] = presetIndex;
  document_ = document;
  return !userFile_.empty() && WriteJsonFileChecked(userFile_, document);
}

bool ColourOptions::SaveCollected(const std::array<uint32_t, kColourSwatches>& colours,
                                  const std::array<std::string, kColourSwatches>& userData,
                                  int collectIndex) {
  Json::Value document = ReadUser();
  Json::Value& root = MakeObjectMember(document, kRoot);
  Json::Value& list = MakeArrayMember(root, kCollected);
  for (int i = 0; i < kColourSwatches; ++i) {
    Json::Value& entry = MakeObjectElement(list, static_cast<Json::ArrayIndex>(i));
    entry["color"] = ArgbHex(colours[static_cast<size_t>(i)]);
    entry["UserData"] = userData[static_cast<size_t>(i)];
  }
  root[kCollectIndex] = collectIndex;
  document_ = document;
  return !userFile_.empty() && WriteJsonFileChecked(userFile_, document);
}

}  // namespace varkon
