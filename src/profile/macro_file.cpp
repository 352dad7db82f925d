#include "profile/macro_file.h"

#include "core/json_file.h"
#include "core/json_text.h"
#include "profile/json_access.h"
#include "profile/macro_step.h"

namespace varkon {

MacroRow MakeMacroRow(const Json::Value& step) {
  MacroRow row;
  row.eventText = StyledJsonText(step);
  const Json::Value& delay = Member(step, "Delay");
  if (delay.isString()) {
    row.delayText = delay.asString();
  } else if (delay.isNumeric() && !delay.isBool()) {
    row.delayText = std::to_string(StepDelay(delay));
  }
  return row;
}

Json::Value ParseMacroRow(const MacroRow& row) {
  Json::Value step;
  if (!ParseJsonText(row.eventText, step) || !step.isObject()) {
    return Json::Value(Json::objectValue);
  }
  return step;
}

std::vector<MacroRow> LoadMacroRows(const std::string& path) {
  std::vector<MacroRow> rows;
  const Json::Value document = ReadJsonFileNoThrow(path);
  const Json::Value& events = ArrayMember(document, "Events");
  rows.reserve(events.size());
  for (const Json::Value& step : events) rows.push_back(MakeMacroRow(step));
  return rows;
}

uint64_t CountMacroEvents(const std::string& path) {
  return ArraySize(Member(ReadJsonFileNoThrow(path), "Events"));
}

bool SaveMacroFile(const std::string& path, const std::string& name, const std::string& guid,
                   std::vector<MacroRow>& rows) {
  Json::Value document(Json::objectValue);
  document["MacroName"] = name;
  document["Guid"] = guid;
  Json::Value& events = document["Events"];
  events = Json::Value(Json::arrayValue);
  for (MacroRow& row : rows) {
    if (row.delayText.empty()) row.delayText.assign(1, '0');
    Json::Value step = ParseMacroRow(row);
    step["Delay"] = std::to_string(LeadingDecimal64(row.delayText));
    row.eventText = StyledJsonText(step);
    events.append(std::move(step));
  }
  document["Version"] = kMacroFileVersion;
  return WriteJsonFileChecked(path, document);
}

}  // namespace varkon
