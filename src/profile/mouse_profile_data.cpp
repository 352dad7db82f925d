#include "profile/mouse_profile_data.h"

#include <algorithm>

#include "profile/json_access.h"

namespace varkon {

namespace {

uint16_t Half(const Json::Value& object, const char* name) {
  return static_cast<uint16_t>(IntMember(object, name));
}

uint32_t Pack(uint16_t low, uint16_t high) {
  return static_cast<uint32_t>(high) << 16 | low;
}

}  // namespace

std::array<uint8_t, 9> DpiStage::ToBytes() const {
  return {enabled,
          xy,
          static_cast<uint8_t>(dpiX),
          static_cast<uint8_t>(dpiX >> 8),
          static_cast<uint8_t>(dpiY),
          static_cast<uint8_t>(dpiY >> 8),
          red,
          green,
          blue};
}

DpiStage DpiStage::FromBytes(const std::array<uint8_t, 9>& bytes) {
  DpiStage stage;
  stage.enabled = bytes[0];
  stage.xy = bytes[1];
  stage.dpiX = static_cast<uint16_t>(bytes[2] | bytes[3] << 8);
  stage.dpiY = static_cast<uint16_t>(bytes[4] | bytes[5] << 8);
  stage.red = bytes[6];
  stage.green = bytes[7];
  stage.blue = bytes[8];
  return stage;
}

void CMouseProfiledata::SetDpiStages(const std::vector<DpiStage>& stages) {
  stages_ = stages;
  Json::Value& list =
      MakeArrayMember(MakeObjectMember(MutableWorkingSection(), "DPIStages"), "StageDPIs");
  const size_t count = std::min(stages.size(), kMaxDpiStages);
  for (size_t i = 0; i < count; ++i) {
    const DpiStage& stage = stages[i];
    Json::Value& element = MakeObjectElement(list, static_cast<Json::ArrayIndex>(i));
    element["StageActive"] = stage.enabled;
    element["StageXY"] = stage.xy;
    element["StageDPIX"] = stage.dpiX;
    element["StageDPIY"] = stage.dpiY;
    element["StageColorR"] = stage.red;
    element["StageColorG"] = stage.green;
    element["StageColorB"] = stage.blue;
  }
}

std::vector<DpiStage> CMouseProfiledata::GetDpiStages() {
  const Json::Value& table = Member(WorkingSection(), "DPIStages");
  if (table.isNull()) return stages_;
  activeStage_ = IntMember(table, "StageActive");
  const Json::Value& list = Member(table, "StageDPIs");
  const size_t count = std::min<size_t>(ArraySize(list), kMaxDpiStages);
  if (stages_.size() < count) stages_.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const Json::Value& element = list[static_cast<Json::ArrayIndex>(i)];
    DpiStage& stage = stages_[i];
    stage.enabled = ByteMember(element, "StageActive");
    stage.xy = ByteMember(element, "StageXY");
    stage.dpiX = Half(element, "StageDPIX");
    stage.dpiY = Half(element, "StageDPIY");
    stage.red = ByteMember(element, "StageColorR");
    stage.green = ByteMember(element, "StageColorG");
    stage.blue = ByteMember(element, "StageColorB");
  }
  return stages_;
}

void CMouseProfiledata::SetActiveStage(int index) {
  activeStage_ = index;
  MakeObjectMember(MutableWorkingSection(), "DPIStages")["StageActive"] = index;
}

void CMouseProfiledata::SetMouseSystem(const MouseSystemWords& words) {
  system_ = words;
  Json::Value& section = MutableWorkingSection();
  Json::Value& stages = MakeObjectMember(section, "SystemStages");
  stages["DoubleClickTime"] = words.DoubleClickTime();
  stages["MouseSpeed"] = words.MouseSpeed();
  stages["PointerPrecision"] = words.PointerPrecision();
  stages["ScorllPage"] = words.ScrollPage();
  stages["WheelScorlllinse"] = words.WheelScrollLines();
  MakeObjectMember(section, "ReportStages")["StageActive"] = words.ReportRate();
}

MouseSystemWords CMouseProfiledata::GetMouseSystem() {
  MouseSystemWords words;
  const Json::Value& stages = Member(WorkingSection(), "SystemStages");
  if (!stages.isNull()) {
    words.word0 = Pack(Half(stages, "DoubleClickTime"), Half(stages, "MouseSpeed"));
    words.word1 = Pack(Half(stages, "PointerPrecision"), Half(stages, "ScorllPage"));
    uint16_t reportRate = 0;
    const Json::Value& report = Member(WorkingSection(), "ReportStages");
    if (!report.isNull()) reportRate = Half(report, "StageActive");
    words.word2 = Pack(Half(stages, "WheelScorlllinse"), reportRate);
  }
  system_ = words;
  return words;
}

std::vector<CorrectionEntry> CMouseProfiledata::GetCorrections() {
  const Json::Value& list = Member(WorkingSection(), "CorrectInfo");
  corrections_.assign(std::min(ArraySize(list), kMaxCorrections), CorrectionEntry{});
  for (Json::ArrayIndex i = 0; i < corrections_.size(); ++i) {
    const Json::Value& element = list[i];
    CorrectionEntry& entry = corrections_[i];
    entry.pixThresh = ByteMember(element, "CorrectPixThresh");
    entry.minSq = ByteMember(element, "CorrectMinSq");
    entry.select = ByteMember(element, "CorrectSelect");
    entry.name = StringMember(element, "CorrectName");
  }
  return corrections_;
}

}  // namespace varkon
