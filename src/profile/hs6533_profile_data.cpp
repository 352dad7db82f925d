#include "profile/hs6533_profile_data.h"

#include <algorithm>

#include "profile/json_access.h"

namespace varkon {

void CHs6533Profiledata::SetHeadsetSystem(const HeadsetSettings& settings) {
  settings_ = settings;
  Json::Value& stages = MakeObjectMember(MutableWorkingSection(), "SystemSetStages");
  stages["MagicEnable"] = settings.magicEnable;
  stages["MagicType"] = settings.magicType;
  stages["EqType"] = settings.eqType;
  stages["CustomEqSeletIndex"] = settings.customEqIndex;
  stages["MicInSelect"] = settings.micInOn;
  stages["MicInValue"] = settings.micInLevel;
  stages["MicMoniterSelect"] = settings.monitorOn;
  stages["MicMoniterValue"] = settings.monitorLevel;
}

HeadsetSettings CHs6533Profiledata::GetHeadsetSystem() {
  HeadsetSettings settings;
  const Json::Value& stages = Member(WorkingSection(), "SystemSetStages");
  settings.magicEnable = IntMember(stages, "MagicEnable");
  settings.magicType = IntMember(stages, "MagicType");
  settings.eqType = IntMember(stages, "EqType");
  settings.customEqIndex = IntMember(stages, "CustomEqSeletIndex");
  settings.micInOn = IntMember(stages, "MicInSelect");
  settings.micInLevel = IntMember(stages, "MicInValue");
  settings.monitorOn = IntMember(stages, "MicMoniterSelect");
  settings.monitorLevel = IntMember(stages, "MicMoniterValue");
  settings_ = settings;
  return settings;
}

int CHs6533Profiledata::EqRowOfPreset(int preset) {
  if (preset == kCustomPreset) return -1;
  if (preset >= 1 && preset <= 12) return preset;
  return 1;
}

void CHs6533Profiledata::SetRow(const char* member, int row, const std::vector<int>& bands) {
  Json::Value& rows = MakeArrayMember(MutableWorkingSection(), member);
  Json::Value& values = rows[static_cast<Json::ArrayIndex>(row)];
  if (!values.isArray()) values = Json::Value(Json::arrayValue);
  const size_t count = std::min<size_t>(bands.size(), kBandCount);
  for (size_t i = 0; i < count; ++i) {
    MakeObjectElement(values, static_cast<Json::ArrayIndex>(i))["value"] = bands[i];
  }
}

std::vector<int> CHs6533Profiledata::GetRow(const char* member, int row) {
  std::vector<int> bands(kBandCount, 0);
  const Json::Value& values =
      ElementAt(Member(WorkingSection(), member), static_cast<Json::ArrayIndex>(row));
  if (values.isArray()) {
    for (Json::ArrayIndex i = 0; i < bands.size(); ++i) {
      bands[i] = IntMember(ElementAt(values, i), "value");
    }
    return bands;
  }
  // No row yet: it is created with zero gains, so the next save holds a complete row.
  SetRow(member, row, bands);
  return bands;
}

void CHs6533Profiledata::SetEqValues(int preset, const std::vector<int>& bands) {
  const int row = EqRowOfPreset(preset);
  if (row < 0) return;
  SetRow("EQHzValueInfo", row, bands);
}

std::vector<int> CHs6533Profiledata::GetEqValues(int preset) {
  const int row = EqRowOfPreset(preset);
  if (row < 0) return {};
  return GetRow("EQHzValueInfo", row);
}

void CHs6533Profiledata::SetCustomEqValues(int index, const std::vector<int>& bands) {
  if (index < 0 || index >= kMaxCustomEqs) return;
  SetRow("CustomEQHzValueInfo", index, bands);
}

std::vector<int> CHs6533Profiledata::GetCustomEqValues(int index) {
  if (index < 0 || index >= kMaxCustomEqs) return {};
  return GetRow("CustomEQHzValueInfo", index);
}

void CHs6533Profiledata::SetCustomEqNames(const std::vector<std::string>& names) {
  Json::Value list(Json::arrayValue);
  const size_t count = std::min<size_t>(names.size(), kMaxCustomEqNames);
  for (size_t i = 0; i < count; ++i) {
    Json::Value entry(Json::objectValue);
    entry["Name"] = names[i];
    list.append(std::move(entry));
  }
  MutableWorkingSection()["CustomEQNameInfo"] = std::move(list);
}

std::vector<std::string> CHs6533Profiledata::GetCustomEqNames() const {
  const Json::Value& list = Member(WorkingSection(), "CustomEQNameInfo");
  std::vector<std::string> names(std::min(ArraySize(list), kMaxCustomEqNames));
  // A malformed element still takes its place, so names stay aligned with their band rows.
  for (Json::ArrayIndex i = 0; i < names.size(); ++i) names[i] = StringMember(list[i], "Name");
  return names;
}

}  // namespace varkon
