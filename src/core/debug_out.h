// Diagnostic output: written to stderr when VARKON_DEBUG=1, dropped otherwise.
#pragma once

#include <cstddef>
#include <cstdint>

namespace varkon {

bool DebugOutputEnabled();
// printf-style; a line end is not added.
void debugOut(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes `count` bytes as two-digit hex, 32 per line, grouped by four.
void debugHexDump(const char* title, const uint8_t* bytes, size_t count);

}  // namespace varkon
