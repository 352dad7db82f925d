// The light members of a device section and the custom effect steps of the light
// configuration.
#include <algorithm>

#include "profile/data_folders.h"
#include "profile/json_access.h"
#include "profile/profile_data.h"

namespace varkon {

namespace {

Json::Value Int(uint8_t byte) {
  return Json::Value(static_cast<int>(byte));
}

uint8_t Flag(const Json::Value& object, const char* name) {
  return BoolMember(object, name) ? 1 : 0;
}

}  // namespace

LightState CBasicProfiledata::GetLightInfo() {
  const Json::Value& info = Member(workingSection_, "LightInfo");
  if (info.isNull()) {
    lightState_ = defaultLightState_;
    return lightState_;
  }
  LightState state;
  state.mode = ByteMember(info, "SelectItem");
  state.brightness = ByteMember(info, "Light");
  state.speed = ByteMember(info, "Speed");
  state.direction = ByteMember(info, "Fx");
  state.multicolour = Flag(info, "MultiColor");
  state.red = ByteMember(info, "Red");
  state.green = ByteMember(info, "Green");
  state.blue = ByteMember(info, "Blue");
  state.zzccLedMode = ByteMember(info, "ZZCCLedMode");
  state.customGroup = ByteMember(info, "CustomGroup");
  state.oldLedMode = ByteMember(info, "OldLedmode");
  state.voiceLedModeSwitch = ByteMember(info, "byVoiceLedmodeSwith");
  state.voiceLedMode = ByteMember(info, "byVoiceLedmode");
  state.voiceSensitivity = ByteMember(info, "byVoiceSensitivity");
  lightState_ = state;
  return lightState_;
}

void CBasicProfiledata::SetLightInfo(const LightState& state) {
  lightState_ = state;
  Json::Value info(Json::objectValue);
  info["SelectItem"] = Int(state.mode);
  info["Light"] = Int(state.brightness);
  info["Speed"] = Int(state.speed);
  info["Fx"] = Int(state.direction);
  info["MultiColor"] = Int(state.multicolour);
  info["Red"] = Int(state.red);
  info["Green"] = Int(state.green);
  info["Blue"] = Int(state.blue);
  info["ZZCCLedMode"] = Int(state.zzccLedMode);
  info["CustomGroup"] = Int(state.customGroup);
  info["OldLedmode"] = Int(state.oldLedMode);
  info["byVoiceLedmodeSwith"] = Int(state.voiceLedModeSwitch);
  info["byVoiceLedmode"] = Int(state.voiceLedMode);
  info["byVoiceSensitivity"] = Int(state.voiceSensitivity);
  MutableWorkingSection()["LightInfo"] = std::move(info);
}

AudioLightState CBasicProfiledata::GetAudioLightInfo() {
  const Json::Value& info = Member(workingSection_, "AudioLightInfo");
  AudioLightState state;
  if (!info.isNull()) {
    state.audioMode = ByteMember(info, "AudioMode");
    state.bkColorR = ByteMember(info, "BkColorR");
    state.bkColorG = ByteMember(info, "BkColorG");
    state.bkColorB = ByteMember(info, "BkColorB");
    state.fgColorR = ByteMember(info, "FgColorR");
    state.fgColorG = ByteMember(info, "FgColorG");
    state.fgColorB = ByteMember(info, "FgColorB");
    state.sevenColorFlags = Flag(info, "7ColorFlags");
    state.colorTypeFlags = Flag(info, "ColorTypeFlags");
  }
  audioLightState_ = state;
  return audioLightState_;
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightState& state) {
  audioLightState_ = state;
  Json::Value info(Json::objectValue);
  info["AudioMode"] = Int(state.audioMode);
  info["BkColorR"] = Int(state.bkColorR);
  info["BkColorG"] = Int(state.bkColorG);
  info["BkColorB"] = Int(state.bkColorB);
  info["FgColorR"] = Int(state.fgColorR);
  info["FgColorG"] = Int(state.fgColorG);
  info["FgColorB"] = Int(state.fgColorB);
  info["7ColorFlags"] = Int(state.sevenColorFlags);
  info["ColorTypeFlags"] = Int(state.colorTypeFlags);
  MutableWorkingSection()["AudioLightInfo"] = std::move(info);
}

std::vector<LightListEntry> CBasicProfiledata::GetLightList() {
  const Json::Value& list = Member(workingSection_, "LightList");
  std::vector<LightListEntry> entries(std::min(ArraySize(list), kMaxLightListEntries));
  for (Json::ArrayIndex i = 0; i < entries.size(); ++i) {
    const Json::Value& element = list[i];
    if (element.isNull()) continue;
    LightListEntry& entry = entries[i];
    entry.mode = ByteMember(element, "LEDREGMode");
    entry.brightness = ByteMember(element, "LEDBrightness");
    entry.speed = ByteMember(element, "LEDSpeed");
    entry.direction = Flag(element, "LEDDirection");
    entry.multiColor = Flag(element, "LEDMultiColor");
    entry.red = ByteMember(element, "red");
    entry.green = ByteMember(element, "green");
    entry.blue = ByteMember(element, "blue");
    entry.present = 1;
  }
  lightList_ = entries;
  return entries;
}

Json::Value CBasicProfiledata::LoadLightConfig(const std::string& path) {
  lightConfig_ = path.empty() ? Json::Value() : ReadJsonFileNoThrow(path);
  lightConfigFolder_ = FolderOf(path);
  return lightConfig_;
}

std::vector<LightEffectStep> CBasicProfiledata::GetLightEffectList() {
  effectSteps_.clear();
  if (lightConfig_.isNull() || !DeviceIndexUsable()) return effectSteps_;
  const int effect = static_cast<int>(lightState_.mode) - kBuiltInModeCount;
  if (effect < 0) return effectSteps_;
  const Json::Value& descriptors =
      ElementAt(Member(lightConfig_, "LightInfo"), static_cast<Json::ArrayIndex>(deviceIndex_));
  const std::string guid =
      StringMember(ElementAt(descriptors, static_cast<Json::ArrayIndex>(effect)), "Guid");
  // The name comes from a file: it may only name a file inside the device's data folder.
  const std::string folder =
      !lightConfigFolder_.empty() ? lightConfigFolder_ : FolderOf(lightConfigPath_);
  if (!IsSafeFileStem(guid) || folder.empty()) return effectSteps_;
  const Json::Value effectFile = ReadJsonFileNoThrow(folder + guid + ".light");
  const Json::Value& list = Member(effectFile, "LEDEffectList");
  effectSteps_.resize(std::min(ArraySize(list), kMaxEffectSteps));
  for (Json::ArrayIndex i = 0; i < effectSteps_.size(); ++i) {
    const Json::Value& element = list[i];
    LightEffectStep& step = effectSteps_[i];
    step.mode = ByteMember(element, "LEDREGMode");
    step.direction = ByteMember(element, "LEDDirection");
    step.brightness = ByteMember(element, "LEDBrightness");
    step.speed = ByteMember(element, "LEDSpeed");
    step.multiColor = ByteMember(element, "LEDMultiColor");
    step.red = ByteMember(element, "red");
    step.green = ByteMember(element, "green");
    step.blue = ByteMember(element, "blue");
    step.time = IntMember(element, "Time");
    step.cycle = IntMember(element, "Cyle");
  }
  return effectSteps_;
}

}  // namespace varkon
