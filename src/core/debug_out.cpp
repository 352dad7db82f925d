#include "core/debug_out.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace varkon {

bool DebugOutputEnabled() {
  static const bool enabled = [] {
    const char* value = std::getenv("VARKON_DEBUG");
    return value != nullptr && std::strcmp(value, "1") == 0;
  }();
  return enabled;
}

void debugOut(const char* format, ...) {
  if (!DebugOutputEnabled()) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
}

void debugHexDump(const char* title, const uint8_t* bytes, size_t count) {
  if (!DebugOutputEnabled()) return;
  // One line per 32 bytes, in groups of four, so a 64-byte packet reads as two lines.
  std::string text = title;
  text += '\n';
  char cell[4];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(cell, sizeof cell, "%02x", bytes[i]);
    text += cell;
    if (i + 1 == count || (i + 1) % 32 == 0) {
      text += '\n';
    } else {
      text += ((i + 1) % 4 == 0) ? "   " : " ";
    }
  }
  std::fputs(text.c_str(), stderr);
}

}  // namespace varkon
