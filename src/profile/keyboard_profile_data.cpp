#include "profile/keyboard_profile_data.h"

#include <algorithm>

#include "profile/json_access.h"

namespace varkon {

namespace {

uint16_t Half(const Json::Value& object, const char* name) {
  return static_cast<uint16_t>(IntMember(object, name));
}

Json::Value ColorObject(const CustomColor& color) {
  Json::Value object(Json::objectValue);
  object["Red"] = color.red;
  object["Green"] = color.green;
  object["Blue"] = color.blue;
  object["Alpha"] = color.alpha;
  return object;
}

bool GroupUsable(int group) {
  return group >= 0 && group < CKeyboardProfiledata::kMaxCustomGroups;
}

}  // namespace

void CKeyboardProfiledata::SetKeyboardSystem(const KeyboardSystemWords& words) {
  system_ = words;
  Json::Value& stages = MakeObjectMember(MutableWorkingSection(), "SystemStages");
  stages["Repeat"] = words.Repeat();
  stages["RepeatDelay"] = words.RepeatDelay();
  stages["Key6Flag"] = words.Key6Flag();
  stages["PollingRate"] = words.PollingRate();
  stages["WFlag"] = words.WFlag();
  stages["WinFlag"] = words.WinFlag();
}

KeyboardSystemWords CKeyboardProfiledata::GetKeyboardSystem() {
  KeyboardSystemWords words;
  const Json::Value& stages = Member(WorkingSection(), "SystemStages");
  if (!stages.isNull()) {
    words.word0 = KeyboardSystemWords::Pack(Half(stages, "Repeat"), Half(stages, "RepeatDelay"));
    words.word1 = KeyboardSystemWords::Pack(Half(stages, "Key6Flag"), Half(stages, "PollingRate"));
    words.word2 = KeyboardSystemWords::Pack(Half(stages, "WFlag"), Half(stages, "WinFlag"));
  }
  system_ = words;
  return words;
}

void CKeyboardProfiledata::SetFnKeysetFlag(uint8_t flag) {
  MutableWorkingSection()["FnKeysetFlag"] = flag != 0;
}

uint8_t CKeyboardProfiledata::GetFnKeysetFlag() const {
  return BoolMember(WorkingSection(), "FnKeysetFlag") ? 1 : 0;
}

void CKeyboardProfiledata::SetCustomColors(const std::vector<CustomColor>& colors, int group) {
  customColors_ = colors;
  if (!GroupUsable(group)) return;
  Json::Value& groups = MakeArrayMember(
      MakeObjectMember(MutableWorkingSection(), "CustomLightMode"), "LightColorInfo");
  Json::Value& row = groups[static_cast<Json::ArrayIndex>(group)];
  if (!row.isArray()) row = Json::Value(Json::arrayValue);
  const size_t count = std::min<size_t>(colors.size(), kMaxCustomColors);
  for (size_t i = 0; i < count; ++i) {
    Json::Value& element = MakeObjectElement(row, static_cast<Json::ArrayIndex>(i));
    element["Red"] = colors[i].red;
    element["Green"] = colors[i].green;
    element["Blue"] = colors[i].blue;
    element["Alpha"] = colors[i].alpha;
  }
}

std::vector<CustomColor> CKeyboardProfiledata::GetCustomColors(int group, int count) {
  customColors_.clear();
  if (!GroupUsable(group) || count <= 0 || count > kMaxCustomColors) return customColors_;
  customColors_.resize(static_cast<size_t>(count));
  Json::Value& groups = MakeArrayMember(
      MakeObjectMember(MutableWorkingSection(), "CustomLightMode"), "LightColorInfo");
  Json::Value& row = groups[static_cast<Json::ArrayIndex>(group)];
  // A row of any other type is as good as missing.
  if (!row.isArray()) row = Json::Value(Json::arrayValue);
  for (Json::ArrayIndex i = 0; i < customColors_.size(); ++i) {
    const Json::Value& element = ElementAt(row, i);
    if (element.isNull()) {
      row[i] = ColorObject(CustomColor{});
      continue;
    }
    CustomColor& color = customColors_[i];
    color.red = ByteMember(element, "Red");
    color.green = ByteMember(element, "Green");
    color.blue = ByteMember(element, "Blue");
    color.alpha = ByteMember(element, "Alpha");
  }
  return customColors_;
}

void CKeyboardProfiledata::SetCustomGroupIndex(int index) {
  customGroupIndex_ = index;
  MakeObjectMember(MutableWorkingSection(), "CustomLightMode")["CustomLightModeGroupIndex"] = index;
}

int CKeyboardProfiledata::GetCustomGroupIndex() {
  const Json::Value& mode = Member(WorkingSection(), "CustomLightMode");
  customGroupIndex_ = IntMember(mode, "CustomLightModeGroupIndex");
  return customGroupIndex_;
}

}  // namespace varkon
