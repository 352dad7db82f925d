#include "profile/profile_data.h"

#include "core/json_file.h"
#include "profile/json_access.h"

namespace varkon {

void CBasicProfiledata::SetProfilePath(const std::string& path) {
  if (!path.empty()) profilePath_ = path;
}

void CBasicProfiledata::SetDefaultPath(const std::string& path) {
  if (!path.empty()) defaultPath_ = path;
}

void CBasicProfiledata::Save() {
  SaveSection(workingSection_, profilePath_);
}

void CBasicProfiledata::SaveOtherSection(const std::string& path) {
  SaveSection(otherSection_, path);
}

void CBasicProfiledata::SaveSection(const Json::Value& value, const std::string& path) {
  // A null section means nothing was loaded; writing it would wipe the file's section.
  if (value.isNull() || path.empty() || !DeviceIndexUsable()) return;
  Json::Value file = ReadJsonFileNoThrow(path);
  if (!file.isObject()) file = Json::Value(Json::objectValue);
  Json::Value& devices = MakeArrayMember(file, "Device");
  devices[static_cast<Json::ArrayIndex>(deviceIndex_)] = value;
  WriteJsonFile(path, file);
}

void CBasicProfiledata::WriteDocument(const Json::Value& value, const std::string& path) {
  if (path.empty()) return;
  WriteJsonFile(path, value);
}

Json::Value CBasicProfiledata::LoadSection(const std::string& path) {
  return LoadSectionInto(workingSection_, path);
}

Json::Value CBasicProfiledata::LoadOtherSection(const std::string& path) {
  return LoadSectionInto(otherSection_, path);
}

Json::Value CBasicProfiledata::LoadSectionInto(Json::Value& target, const std::string& path) {
  target = Json::Value();
  if (!DeviceIndexUsable()) return target;
  const auto index = static_cast<Json::ArrayIndex>(deviceIndex_);
  Json::Value file = path.empty() ? Json::Value() : ReadJsonFileNoThrow(path);
  // Only an object can be a section: anything else could not take the members written later.
  const Json::Value& section = ElementAt(Member(file, "Device"), index);
  if (section.isObject()) {
    target = section;
    return target;
  }
  const Json::Value defaults = ReadJsonFileNoThrow(defaultPath_);
  const Json::Value& fallback = ElementAt(Member(defaults, "Device"), index);
  if (!fallback.isObject()) return target;
  target = fallback;
  if (path.empty()) return target;
  if (!file.isObject()) file = Json::Value(Json::objectValue);
  MakeArrayMember(file, "Device")[index] = target;
  WriteJsonFile(path, file);
  return target;
}

Json::Value& CBasicProfiledata::MutableWorkingSection() {
  if (!workingSection_.isObject()) workingSection_ = Json::Value(Json::objectValue);
  return workingSection_;
}

}  // namespace varkon
