#include "devices/audio/audio_chip_library.h"

namespace varkon {

const char* ChipStatusName(ChipStatus status) {
  switch (status) {
    case ChipStatus::kOk:
      return "ok";
    case ChipStatus::kFailed:
      return "the audio chip refused the call";
    case ChipStatus::kNoSuchEndpoint:
      return "no such audio endpoint";
    case ChipStatus::kNoSuchProperty:
      return "no such audio property";
    case ChipStatus::kNoValue:
      return "the audio property has no value";
    case ChipStatus::kReadOnly:
      return "the audio property is read-only";
    case ChipStatus::kOutOfRange:
      return "the value is out of range";
    case ChipStatus::kUnavailable:
      return "audio settings unavailable";
  }
  return "unknown audio status";
}

}  // namespace varkon
