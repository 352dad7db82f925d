// Reading and writing the JSON documents the program keeps on disk.
#pragma once

#include <string>

#include <json/value.h>

namespace varkon {

// The whole file as raw bytes; empty when it cannot be opened or read in full.
std::string ReadTextFile(const std::string& path);

// The parsed document; a null value when the file is missing, empty or does not parse.
Json::Value ReadJsonFile(const std::string& path);

// Writes the styled text form (core/json_text.h, with an extra line end at the end) to a
// temporary file beside `path` and renames it over `path`, so a failed write leaves the old
// file as it was. A document whose text would not read back as the same document is not
// written at all. Always returns 0, as callers expect; WriteJsonFileChecked says whether the
// file now holds the document.
int WriteJsonFile(const std::string& path, const Json::Value& value);
bool WriteJsonFileChecked(const std::string& path, const Json::Value& value);

}  // namespace varkon
