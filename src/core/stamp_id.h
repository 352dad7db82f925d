// Identifiers made from the local time, as used for profiles and macros: 2024_03_05_14_07_09_042.
#pragma once

#include <chrono>
#include <string>

namespace varkon {

std::string MakeStampId();
std::string MakeStampId(std::chrono::system_clock::time_point when);

}  // namespace varkon
