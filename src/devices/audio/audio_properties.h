// The chip properties the headset uses and the text forms their values are read back in.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varkon {

namespace audio_property {
inline constexpr const char* kSupportFeature = "GetSupportFeature";
inline constexpr const char* kVirtualSurround = "VirtualSurroundEffectControl";
inline constexpr const char* kEncEnable = "Enable_ENC_LFX";
inline constexpr const char* kVolume = "VolumeControl";
inline constexpr const char* kEqEnable = "Enable_EQ_GFX";
inline constexpr const char* kRfxEnable = "Enable_RFX_GFX";
inline constexpr const char* kRfxEnvironment = "RFX_ENVIRONMENT";
inline constexpr const char* kRfxRoomSize = "RFX_ROOMSIZE";
inline constexpr const char* kMicMute = "MuteControl";
inline constexpr const char* kMicLevel = "VolumeScalarControl";
inline constexpr const char* kMonitorMaxVolume = "GetAAMaxVol";
inline constexpr const char* kMonitorVolume = "AAVolumeControl";
inline constexpr const char* kMonitorMute = "AAMuteControl";
inline constexpr const char* kMonitorLevel = "AAVolumeScalarControl";
inline constexpr const char* kMagicEnable = "Enable_MAGICVOICE";
inline constexpr const char* kMicEcho = "Enable_MICECHO";
inline constexpr const char* kMagicSelection = "MagicVoice_Selection";
}  // namespace audio_property

inline constexpr int kEqBandCount = 10;
// "EQ_Slider1" … "EQ_Slider10" for bands 0-9; empty for any other band.
std::string EqSliderProperty(int band);

inline constexpr int32_t kMicChannel = -1;     // extra word of the microphone's volume calls
inline constexpr int32_t kMonitorChannel = 0;  // extra word of the monitor's volume calls
inline constexpr std::array<int32_t, 3> kSurroundExtra = {4, -1, 0};

// Bit of an endpoint's feature word: the voice changer is available.
inline constexpr uint32_t kFeatureVoiceChanger = 0x20000;

// An integer read back as text: optional sign, decimal digits, nothing else but surrounding
// blanks. Anything else (empty, trailing junk, out of 32-bit range) is no value.
std::optional<int32_t> ParseChipInt(std::string_view text);
// A float read back as text ("0.37", "1", "1e-1"); not finite or unparsable is no value.
std::optional<float> ParseChipFloat(std::string_view text);

// A level 0-100 from a 0.0-1.0 scalar: × 100 as a 32-bit float, truncated towards zero, and
// kept within 0-100 (a chip answering 7.5 or -1 cannot push the level off its slider).
int32_t LevelOfScalar(float scalar);
// The scalar the chip receives for a level; the level is first kept within 0-100.
float ScalarOfLevel(int32_t level);

}  // namespace varkon
