// The calls the headset makes on its audio chip's configuration library: start-up, the endpoint
// list and property reads and writes. Every call answers with a status; nothing throws.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace varkon {

enum class ChipStatus : int32_t {
  kOk = 0,
  kFailed = 1,          // the chip refused the call
  kNoSuchEndpoint = 2,  // the handle names no endpoint (an endpoint that was never found)
  kNoSuchProperty = 3,  // the endpoint has no property of that name
  kNoValue = 4,         // the property has never been given a value
  kReadOnly = 5,        // a write to a read-only property
  kOutOfRange = 6,      // a written value outside the property's range
  kUnavailable = 7,     // no chip library at all
};

// Short English text for logs and the status line.
const char* ChipStatusName(ChipStatus status);

enum class AudioFlow : int32_t { kPlayback = 0, kRecording = 1 };

// An endpoint record as the library lists it; the four words are the handle passed back on every
// property call.
struct AudioEndpoint {
  uint32_t word0 = 0;  // the library's own, passed back unchanged
  uint32_t endpointType = 0;
  uint32_t word2 = 0;          // the library's own, passed back unchanged
  uint32_t endpointState = 0;  // 1 = usable

  bool IsZero() const {
    return word0 == 0 && endpointType == 0 && word2 == 0 && endpointState == 0;
  }
  friend bool operator==(const AudioEndpoint&, const AudioEndpoint&) = default;
};

// A written value: a 32-bit integer or a 32-bit float, by property.
using ChipValue = std::variant<int32_t, float>;

// The extra buffer of a property call: empty for none, else its 32-bit words (a channel number,
// or the surround property's three words).
using ChipExtra = std::span<const int32_t>;

class AudioChipLibrary {
 public:
  virtual ~AudioChipLibrary() = default;

  virtual ChipStatus Init() = 0;
  // Builds the endpoint list the count and id calls answer from.
  virtual void CreateDeviceList() = 0;
  virtual ChipStatus GetDeviceCount(AudioFlow flow, uint32_t& count) = 0;
  virtual ChipStatus GetDeviceById(AudioFlow flow, uint32_t index, AudioEndpoint& endpoint) = 0;
  // A read gives the value as decimal text.
  virtual ChipStatus ReadProperty(const AudioEndpoint& endpoint, std::string_view name,
                                  ChipExtra extra, std::string& text) = 0;
  virtual ChipStatus WriteProperty(const AudioEndpoint& endpoint, std::string_view name,
                                   ChipExtra extra, ChipValue value) = 0;
};

}  // namespace varkon
