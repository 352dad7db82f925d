// Results of every protocol call.
#pragma once

#include <cstdint>

namespace varkon {

using StatusCode = int32_t;

enum : StatusCode {
  kStatusOk = 1,
  kStatusNoReply = 0,          // not open, or the reply was not read in time
  kStatusWriteFailed = -1,     // the request could not be written
  kStatusUnreachable = -101,   // receiver mode: the receiver cannot reach the device
  kStatusDeviceFF = -102,      // the device answered status 0xFF
  kStatusDeviceFE = -103,      // the device answered status 0xFE
  kStatusBadTablePage = -201,  // a table write for a page other than 0
};

const char* StatusCodeName(StatusCode status);

// The first failure of a sequence of calls: `current` unless it is kStatusOk, else `next`.
constexpr StatusCode FirstFailure(StatusCode current, StatusCode next) {
  return current != kStatusOk ? current : next;
}

}  // namespace varkon
