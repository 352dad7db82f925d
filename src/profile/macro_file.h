// Macro files (folder + Guid + ".mac"): {"MacroName", "Guid", "Events": [steps], "Version": 64}.
// Readers use only "Events". The macro editor keeps one row per step: the step's JSON text and
// the text of the row's delay field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <json/value.h>

namespace varkon {

inline constexpr int kMacroFileVersion = 64;

struct MacroRow {
  std::string eventText;  // the step object in styled JSON form
  std::string delayText;  // what the delay field shows
};

// The row of a step: its styled text and its "Delay" as the field shows it (the text as
// stored, a number in decimal, or empty).
MacroRow MakeMacroRow(const Json::Value& step);

// The step a row stands for: its text parsed, or an empty object when that is not an object.
Json::Value ParseMacroRow(const MacroRow& row);

// The steps of a macro file, one row each; none when the file is missing or unusable.
std::vector<MacroRow> LoadMacroRows(const std::string& path);

// Number of steps in a macro file (0 when missing or unusable).
uint64_t CountMacroEvents(const std::string& path);

// Writes the macro file from the rows. Each row's delay (empty becomes "0", in the row too) is
// normalised to the decimal form of its value ("007" → "7") and set as the step's "Delay";
// the row's event text is refreshed. Always writes; returns whether the write succeeded.
bool SaveMacroFile(const std::string& path, const std::string& name, const std::string& guid,
                   std::vector<MacroRow>& rows);

}  // namespace varkon
