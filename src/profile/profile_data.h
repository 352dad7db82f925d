// The in-memory image of one device's part of the selected profile: the device's section of the
// profile file plus the records decoded from it (light state, music-lighting state, light list,
// custom effect steps, key list). Every getter tolerates any shape of JSON; nothing throws.
#pragma once

#include <string>
#include <vector>

#include <json/value.h>

#include "devices/key_assignment.h"
#include "profile/profile_data_types.h"

namespace varkon {

class CBasicProfiledata {
 public:
  // Sections are looked up in "Device"[deviceIndex]; indices beyond this are refused so a bad
  // index cannot grow the file without bound.
  static constexpr int kMaxDeviceIndex = 63;
  // Upper bounds on what a read decodes from one array (the real lists are far shorter).
  static constexpr unsigned kMaxKeyListEntries = 512;
  static constexpr unsigned kMaxLightListEntries = 1024;
  static constexpr unsigned kMaxEffectSteps = 65536;

  CBasicProfiledata() = default;
  virtual ~CBasicProfiledata() = default;
  CBasicProfiledata(const CBasicProfiledata&) = delete;
  CBasicProfiledata& operator=(const CBasicProfiledata&) = delete;

  // Writes the working section into the profile file. Does nothing while no section is loaded.
  virtual void Save();
  // Reads the file at `path`, sets its "Device"[deviceIndex] to `value` and writes it back; the
  // file's other members stay. A missing or unreadable file becomes {"Device": [...]}. A null
  // `value`, an empty path or an unusable device index writes nothing.
  virtual void SaveSection(const Json::Value& value, const std::string& path);
  // SaveSection of the other section (see LoadOtherSection).
  virtual void SaveOtherSection(const std::string& path);
  // Writes `value` as the whole file.
  virtual void WriteDocument(const Json::Value& value, const std::string& path);

  // Empty arguments leave the old value.
  void SetProfilePath(const std::string& path);
  void SetDefaultPath(const std::string& path);
  std::string GetProfilePath() const { return profilePath_; }
  std::string GetDefaultPath() const { return defaultPath_; }
  void SetLightConfigPath(const std::string& path) { lightConfigPath_ = path; }
  std::string GetLightConfigPath() const { return lightConfigPath_; }
  void SetDeviceIndex(int index) { deviceIndex_ = index; }
  int GetDeviceIndex() const { return deviceIndex_; }

  // Reads this device's section of the file at `path` into the working section. When the file
  // has none (missing, unreadable, not an object), the default-data file's section is taken and
  // written into the file at `path`, so a profile receives the defaults on its first load.
  // Returns a copy of the working section (null when neither file has a section).
  Json::Value LoadSection(const std::string& path);
  // The same for the other section: another profile's section edited in passing.
  Json::Value LoadOtherSection(const std::string& path);

  const Json::Value& WorkingSection() const { return workingSection_; }
  const Json::Value& OtherSection() const { return otherSection_; }

  // "LightInfo"; the default (all-zero) state when the section has none. Also kept as the
  // current light state.
  LightState GetLightInfo();
  // Replaces "LightInfo" with the 14 persisted members of `state`.
  void SetLightInfo(const LightState& state);
  const LightState& CurrentLightState() const { return lightState_; }

  AudioLightState GetAudioLightInfo();
  void SetAudioLightInfo(const AudioLightState& state);

  // "LightList", one entry per element (empty without the member).
  std::vector<LightListEntry> GetLightList();

  // Reads the light-configuration document ("zelta_light.config"); effect files named by its
  // descriptors are looked up in the same folder. Returns a copy.
  Json::Value LoadLightConfig(const std::string& path);
  // The custom effect of the selected mode: descriptor "LightInfo"[deviceIndex][SelectItem] of
  // the light configuration names the effect file by its "Guid" (+ ".light"). Empty when any
  // part is missing or the "Guid" is not a safe file name.
  std::vector<LightEffectStep> GetLightEffectList();

  // "KeyList" of the working / other section; slot list indices are the element positions.
  std::vector<KeyAssignmentRecord> GetKeyList();
  std::vector<KeyAssignmentRecord> GetOtherKeyList();
  // Sets "Assignment" and "FnAssignment" of every element (creating missing ones);
  // "DefaultAssignment" is left as it is.
  void SetKeyList(const std::vector<KeyAssignmentRecord>& entries);
  void SetOtherKeyList(const std::vector<KeyAssignmentRecord>& entries);

 protected:
  // The working section for writing: made an object first when it is anything else.
  Json::Value& MutableWorkingSection();
  bool DeviceIndexUsable() const { return deviceIndex_ >= 0 && deviceIndex_ <= kMaxDeviceIndex; }

 private:
  Json::Value LoadSectionInto(Json::Value& target, const std::string& path);
  static std::vector<KeyAssignmentRecord> DecodeKeyList(const Json::Value& section);
  static void EncodeKeyList(const std::vector<KeyAssignmentRecord>& entries, Json::Value& section);

  std::string profilePath_;
  std::string defaultPath_;
  // The selected mode index is the custom effect's index unchanged: no built-in modes precede
  // the custom ones in the light configuration.
  static constexpr int kBuiltInModeCount = 0;
  LightState lightState_;
  LightState defaultLightState_;
  AudioLightState audioLightState_;
  std::vector<LightListEntry> lightList_;
  Json::Value workingSection_;
  Json::Value otherSection_;
  std::string lightConfigPath_;
  std::string lightConfigFolder_;  // folder of the document last read by LoadLightConfig
  std::vector<LightEffectStep> effectSteps_;
  Json::Value lightConfig_;
  std::vector<KeyAssignmentRecord> keyList_;
  std::vector<KeyAssignmentRecord> otherKeyList_;
  int deviceIndex_ = 0;
};

}  // namespace varkon
