// Mouse members of a device section: the DPI stage table ("DPIStages"), the system options
// ("SystemStages"), the report rate ("ReportStages") and the sensor corrections ("CorrectInfo").
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "profile/profile_data.h"

namespace varkon {

// One DPI stage; the 9 bytes the mouse's settings record carries per stage.
struct DpiStage {
  uint8_t enabled = 0;  // "StageActive" of the stage
  uint8_t xy = 0;       // "StageXY": separate X/Y resolution
  uint16_t dpiX = 0;    // "StageDPIX", as a slider step
  uint16_t dpiY = 0;    // "StageDPIY"
  uint8_t red = 0;      // "StageColorR"
  uint8_t green = 0;    // "StageColorG"
  uint8_t blue = 0;     // "StageColorB"

  // enabled, xy, X (little-endian), Y (little-endian), red, green, blue.
  std::array<uint8_t, 9> ToBytes() const;
  static DpiStage FromBytes(const std::array<uint8_t, 9>& bytes);

  friend bool operator==(const DpiStage&, const DpiStage&) = default;
};

struct CorrectionEntry {
  uint8_t pixThresh = 0;  // "CorrectPixThresh"
  uint8_t minSq = 0;      // "CorrectMinSq"
  uint8_t select = 0;     // "CorrectSelect"
  std::string name;       // "CorrectName", UTF-8

  friend bool operator==(const CorrectionEntry&, const CorrectionEntry&) = default;
};

// The five 16-bit mouse options and the report-rate index packed in three words.
struct MouseSystemWords {
  uint32_t word0 = 0;  // MouseSpeed << 16 | DoubleClickTime
  uint32_t word1 = 0;  // ScorllPage << 16 | PointerPrecision
  uint32_t word2 = 0;  // report-rate index << 16 | WheelScorlllinse

  uint16_t DoubleClickTime() const { return static_cast<uint16_t>(word0); }
  uint16_t MouseSpeed() const { return static_cast<uint16_t>(word0 >> 16); }
  uint16_t PointerPrecision() const { return static_cast<uint16_t>(word1); }
  uint16_t ScrollPage() const { return static_cast<uint16_t>(word1 >> 16); }
  uint16_t WheelScrollLines() const { return static_cast<uint16_t>(word2); }
  uint16_t ReportRate() const { return static_cast<uint16_t>(word2 >> 16); }

  friend bool operator==(const MouseSystemWords&, const MouseSystemWords&) = default;
};

class CMouseProfiledata : public CBasicProfiledata {
 public:
  static constexpr size_t kMaxDpiStages = 64;
  static constexpr unsigned kMaxCorrections = 256;

  // Stores the table and writes "DPIStages"/"StageDPIs"[i] for each stage.
  void SetDpiStages(const std::vector<DpiStage>& stages);
  // Decodes "StageDPIs" over the stored table from index 0 (appending beyond its end; a read
  // never shortens it) and takes "StageActive" as the active stage. Returns the stored table.
  std::vector<DpiStage> GetDpiStages();

  void SetActiveStage(int index);
  int GetActiveStage() const { return activeStage_; }

  // The five "SystemStages" members and "ReportStages"/"StageActive" (high half of word 2).
  void SetMouseSystem(const MouseSystemWords& words);
  // All 0 without "SystemStages"; the report rate only when "ReportStages" is there.
  MouseSystemWords GetMouseSystem();

  // "CorrectInfo" (empty without it).
  std::vector<CorrectionEntry> GetCorrections();

 private:
  std::vector<DpiStage> stages_;
  int activeStage_ = 0;
  MouseSystemWords system_;
  std::vector<CorrectionEntry> corrections_;
};

}  // namespace varkon
