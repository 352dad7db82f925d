#include "core/stamp_id.h"

#include <cstdio>
#include <ctime>

namespace varkon {

std::string MakeStampId(std::chrono::system_clock::time_point when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()) % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[64];
  std::snprintf(text, sizeof text, "%d_%02d_%02d_%02d_%02d_%02d_%03d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>((millis.count() + 1000) % 1000));
  return text;
}

std::string MakeStampId() {
  return MakeStampId(std::chrono::system_clock::now());
}

}  // namespace varkon
