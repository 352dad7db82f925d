// Reading and writing the JSON documents the program keeps on disk.
#pragma once

#include <cstdint>
#include <string>

#include <json/value.h>

namespace varkon {

// Larger files are not read: no document of the program comes near it.
inline constexpr uintmax_t kMaxTextFileSize = 64u << 20;

// The whole file as raw bytes; empty when it cannot be opened or read in full, is not a regular
// file (a FIFO would block the reader) or is larger than kMaxTextFileSize.
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
