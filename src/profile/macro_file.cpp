#include "profile/macro_file.h"

#include <exception>
#include <memory>

#include <json/reader.h>

#include "core/json_file.h"
#include "profile/json_access.h"
#include "profile/macro_step.h"

namespace varkon {

namespace {

// The styled form without the extra line end the files carry.
std::string StyledText(const Json::Value& value) {
  std::string text = StyledJsonText(value);
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

}  // namespace

MacroRow MakeMacroRow(const Json::Value& step) {
  MacroRow row;
  row.eventText = StyledText(step);
  const Json::Value& delay = Member(step, "Delay");
  if (delay.isString()) {
    row.delayText = delay.asString();
  } else if (delay.isNumeric() && !delay.isBool()) {
    row.delayText = std::to_string(StepDelay(delay));
  }
  return row;
}

Json::Value ParseMacroRow(const MacroRow& row) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value step;
  std::string errors;
  const char* begin = row.eventText.data();
  bool parsed = false;
  try {
    parsed = reader->parse(begin, begin + row.eventText.size(), &step, &errors);
  } catch (const std::exception&) {
    // The reader throws on nesting deeper than its limit.
    parsed = false;
  }
  if (!parsed || !step.isObject()) return Json::Value(Json::objectValue);
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
    row.eventText = StyledText(step);
    events.append(std::move(step));
  }
  document["Version"] = kMacroFileVersion;
  return WriteJsonFileChecked(path, document);
}

}  // namespace varkon
