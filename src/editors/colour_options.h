// The colour dialog's swatches kept between runs: "color_option_info.config", with 20 preset
// and 20 collected swatches, each an ARGB colour as 8 upper-case hexadecimal digits. The user's
// copy is made from the program's default copy the first time it is needed.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <json/value.h>

namespace varkon {

inline constexpr const char* kColourOptionFile = "color_option_info.config";
inline constexpr int kColourSwatches = 20;

// "FF00FF00" for opaque green; and back, where text that is not hexadecimal reads as 0.
std::string ArgbHex(uint32_t argb);
uint32_t ParseArgbHex(const std::string& text);

// A colour channel typed into an edit: its decimal value, 0 when empty (or not a number), 255
// at most.
int ChannelFromText(const std::string& text);

struct CollectedSwatch {
  bool present = false;  // the file has this swatch
  uint32_t colour = 0;
  std::string userData;  // "1": the swatch holds a collected colour
};

class ColourOptions {
 public:
  ColourOptions(std::string userFile, std::string defaultFile);

  // The user file; when it is missing or unreadable, the default file, written as the user's.
  void Load();
  const Json::Value& Document() const { return document_; }

  // The stored preset selection, or -1 when there is none.
  int PresetIndex() const;
  CollectedSwatch Collected(int index) const;

  // Each writes the user file (read again first, so nothing else in it is lost). False when the
  // write failed.
  bool SavePresets(const std::array<uint32_t, kColourSwatches>& colours, int presetIndex);
  bool SaveCollected(const std::array<uint32_t, kColourSwatches>& colours,
                     const std::array<std::string, kColourSwatches>& userData, int collectIndex);

 private:
  Json::Value ReadUser() const;

  std::string userFile_;
  std::string defaultFile_;
  Json::Value document_;
};

}  // namespace varkon
