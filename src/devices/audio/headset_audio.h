// The headset's side of its audio chip: start-up (library init, the choice of the playback and
// recording endpoints, their feature lists, defaults for properties that have none), the
// read-back of the microphone, monitor and voice-changer state, and single property writes for
// the equaliser and voice rules. Without a chip, or for an endpoint that was never found, no
// call is made and the caller gets a status instead.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "devices/audio/audio_chip_library.h"
#include "devices/audio/audio_features.h"
#include "profile/hs6533_profile_data.h"

namespace varkon {

enum class AudioAvailability {
  kNotStarted,  // InitAudio has not run
  kNoLibrary,   // no chip library: nothing can be read or written
  kNoDevice,    // the chip lists no playback endpoint
  kReady,
};

// Start-up notices the window shows as message boxes.
enum class AudioNotice { kInitFailed, kFeatureListShort };
const char* AudioNoticeText(AudioNotice notice);

struct EndpointChoice {
  AudioEndpoint handle;  // all zero until found
  AudioFeatures features;
  bool found = false;
};

// Last known mute states of the chip's microphone and monitor.
struct MuteFlags {
  int32_t micMuted = 0;
  int32_t monitorMuted = 0;
};

// Endpoint types tried for playback, in order of preference, and the recording type.
inline constexpr uint32_t kRenderTypes[] = {1, 12, 7, 4};
inline constexpr uint32_t kCaptureType = 2;

class HeadsetAudio {
 public:
  // `chip` may be null (the library could not be loaded); it must outlive this object.
  explicit HeadsetAudio(AudioChipLibrary* chip) : chip_(chip) {}

  // The whole start-up: init, the device list, and when a playback endpoint is listed
  // SelectEndpoints, InitProperties and ReadAudioState into `settings` and `mutes`.
  void InitAudio(HeadsetSettings& settings, MuteFlags& mutes);
  void SelectEndpoints();
  void ReadFeatures(EndpointChoice& endpoint);
  // Gives each of the 24 start-up properties its default when it cannot be read.
  void InitProperties();
  // Microphone, monitor and voice changer from the chip; a failed or unusable read leaves the
  // value it would have set.
  void ReadAudioState(HeadsetSettings& settings, MuteFlags& mutes);

  // A property write on the endpoint of the given flow.
  ChipStatus Write(AudioFlow flow, std::string_view name, ChipValue value, ChipExtra extra = {});

  AudioAvailability Availability() const { return availability_; }
  // Notices raised by the start-up, in order; taking them clears the list.
  std::vector<AudioNotice> TakeNotices();
  const EndpointChoice& Render() const { return render_; }
  const EndpointChoice& Capture() const { return capture_; }

 private:
  EndpointChoice& Choice(AudioFlow flow) {
    return flow == AudioFlow::kPlayback ? render_ : capture_;
  }
  ChipStatus Read(AudioFlow flow, std::string_view name, ChipExtra extra, std::string& text);

  AudioChipLibrary* chip_;
  AudioAvailability availability_ = AudioAvailability::kNotStarted;
  EndpointChoice render_, capture_;
  std::vector<AudioNotice> notices_;
};

}  // namespace varkon
