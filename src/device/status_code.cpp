#include "device/status_code.h"

namespace varkon {

const char* StatusCodeName(StatusCode status) {
  switch (status) {
    case kStatusOk:
      return "ok";
    case kStatusNoReply:
      return "not open or no reply";
    case kStatusWriteFailed:
      return "write failed";
    case kStatusUnreachable:
      return "receiver cannot reach the device";
    case kStatusDeviceFF:
      return "device status 0xff";
    case kStatusDeviceFE:
      return "device status 0xfe";
    case kStatusBadTablePage:
      return "bad table page";
    default:
      return "unknown";
  }
}

}  // namespace varkon
