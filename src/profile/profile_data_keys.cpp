// The key list of a device section: per key the Fn-layer, main and default codes.
#include <algorithm>

#include "profile/json_access.h"
#include "profile/profile_data.h"

namespace varkon {

namespace {

AssignmentSlot SlotOf(const Json::Value& element, const char* name, uint16_t index) {
  const int value = IntMember(element, name);
  return {index, AssignmentCode::FromProfileValue(static_cast<uint32_t>(value))};
}

Json::Value ProfileValue(const AssignmentCode& code) {
  return Json::Value(static_cast<int>(code.ToProfileValue()));
}

}  // namespace

std::vector<KeyAssignmentRecord> CBasicProfiledata::DecodeKeyList(const Json::Value& section) {
  const Json::Value& list = Member(section, "KeyList");
  std::vector<KeyAssignmentRecord> records(std::min(ArraySize(list), kMaxKeyListEntries));
  for (Json::ArrayIndex i = 0; i < records.size(); ++i) {
    const Json::Value& element = list[i];
    const auto index = static_cast<uint16_t>(i);
    records[i].fn = SlotOf(element, "FnAssignment", index);
    records[i].main = SlotOf(element, "Assignment", index);
    records[i].defaultSlot = SlotOf(element, "DefaultAssignment", index);
  }
  return records;
}

void CBasicProfiledata::EncodeKeyList(const std::vector<KeyAssignmentRecord>& entries,
                                      Json::Value& section) {
  Json::Value& list = MakeArrayMember(section, "KeyList");
  const size_t count = std::min<size_t>(entries.size(), kMaxKeyListEntries);
  for (size_t i = 0; i < count; ++i) {
    Json::Value& element = MakeObjectElement(list, static_cast<Json::ArrayIndex>(i));
    element["Assignment"] = ProfileValue(entries[i].main.code);
    element["FnAssignment"] = ProfileValue(entries[i].fn.code);
  }
}

std::vector<KeyAssignmentRecord> CBasicProfiledata::GetKeyList() {
  keyList_ = DecodeKeyList(workingSection_);
  return keyList_;
}

std::vector<KeyAssignmentRecord> CBasicProfiledata::GetOtherKeyList() {
  otherKeyList_ = DecodeKeyList(otherSection_);
  return otherKeyList_;
}

void CBasicProfiledata::SetKeyList(const std::vector<KeyAssignmentRecord>& entries) {
  keyList_ = entries;
  EncodeKeyList(entries, MutableWorkingSection());
}

void CBasicProfiledata::SetOtherKeyList(const std::vector<KeyAssignmentRecord>& entries) {
  otherKeyList_ = entries;
  if (!otherSection_.isObject()) otherSection_ = Json::Value(Json::objectValue);
  EncodeKeyList(entries, otherSection_);
}

}  // namespace varkon
