// The mouse's logic: its DPI stages, report rate and lighting mirrored in the current profile,
// read from the mouse and written to it through the device's job worker, on its cable or
// through its receiver. The mouse panel owns one and forwards to it.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "devices/logic/device_logic.h"
#include "devices/logic/mouse_dpi.h"
#include "devices/logic/mouse_hardware.h"
#include "devices/logic/mouse_key_maps.h"
#include "devices/logic/mouse_record.h"
#include "profile/mouse_profile_data.h"

namespace varkon {

struct MouseEvents {
  std::function<void()> refresh;                   // show the state again (RefreshPanel)
  std::function<void(int milliseconds)> resyncIn;  // start the resync timer
  // The mouse was found asleep, or awake again, by a transfer.
  std::function<void(bool asleep)> asleepChanged;
};

class MouseLogic : public DeviceLogic {
 public:
  static constexpr int kReportRates = 5;
  static constexpr int kResyncDelayMs = 50;

  explicit MouseLogic(LightEngine& engine);
  ~MouseLogic() override;

  void SetEvents(MouseEvents events) { events_ = std::move(events); }
  // The screen size the settings record carries (taken by the window at start-up).
  void SetScreenSize(uint16_t width, uint16_t height);

  // Reads the device information, the button layout and the record on the worker; then, on the
  // owner's thread, loads the profile, takes the record and asks for a refresh.
  void Read(std::function<void()> done = {});

  // After a resync notice: the record again, then a refresh.
  void Resync();
  // A notice from the mouse (any thread: the input readers).
  void OnNotice(uint16_t value, bool secondInterface);

  int LoadProfile() override;
  void LoadDefaultProfile() override;

  // ---- what the mouse told us
  bool Discovered() const { return discovered_; }
  const MouseDpiScale& Scale() const { return scale_; }
  const MouseButtonPositions& Positions() const { return positions_; }
  StatusCode LastStatus() const { return lastStatus_; }
  // The last conversation found the mouse asleep behind its receiver.
  bool Asleep() const { return asleep_; }
  // The mouse answers again (through its receiver): what was written while it slept (the
  // record, the buttons and macros, the recoil patterns) is written now.
  void OnLinkAwake();

  // ---- DPI stages (each change is stored in the profile, saved and written)
  static constexpr int kStageCount = static_cast<int>(kMouseStageCount);
  // Stage i as stored; a stage beyond the stored list is off at step 0.
  DpiStage Stage(int i) const;
  int SelectedStage() const { return selectedStage_; }
  int EnabledStageCount() const;
  // The slider step of stage i (both axes); the list grows to i + 1 stages when shorter.
  void SetStageStep(int i, int step);
  // Stage i on or off. False (nothing changes) when that would leave no stage on, or would
  // switch off the selected stage.
  bool SetStageEnabled(int i, bool on);
  // False for a stage that is off or outside 0-4.
  bool SelectStage(int i);
  void SetStageColour(int i, uint8_t red, uint8_t green, uint8_t blue);
  // 0-4; other values are taken as 0.
  int ReportRate() const { return system_.ReportRate(); }
  void SetReportRate(int index);

  // ---- the pointer, wheel and double-click values: stored in the profile (saved) and shown;
  // the mouse's record does not carry them.
  const MouseSystemWords& System() const { return system_; }
  void SetPointerSpeed(int value);
  void SetPointerPrecision(bool on);
  // Lines per wheel step; a value moved on the slider ends scrolling by screens.
  void SetScrollLines(int value);
  void SetScrollPage(bool on, int lines);
  void SetDoubleClickTime(int milliseconds);

  // ---- buttons and macros
  const std::vector<KeyAssignmentRecord>& Keys() const { return keys_; }
  // Stores the list in the profile document (SaveProfile writes it).
  void SetKeys(const std::vector<KeyAssignmentRecord>& keys);
  // Buttons playing macros that no longer exist go back to their defaults (stored); true when
  // any changed.
  bool ValidateMacroRefs();
  // The macros the buttons use, then (unless they did not fit or were not taken) the button
  // table; the profile is saved first. `done` gets the macro outcome (0, −1 not taken, or the
  // count of events too many) and the table's status.
  void WriteKeysAndMacros(std::function<void(int macroResult, StatusCode keys)> done = {});

  // The four recoil files of the data folder as one image into the recoil memory; `done` gets
  // the status (kStatusDeviceFF when the image could not be built).
  void WriteRecoil(std::function<void(StatusCode)> done = {});

  // The settings record from the profile and the light state, written as record 0.
  MouseRecord BuildRecord() const;
  void WriteLightRecord(std::function<void(StatusCode)> done = {});

 private:
  std::shared_ptr<MouseHardware> Hardware();
  CMouseProfiledata& MouseProfile();
  void OnRead(const MouseReadResult& result);
  void TakeRecord(const std::array<uint8_t, kMouseRecordSize>& record);
  void StoreStages();
  void StoreSystem(uint32_t word0, uint32_t word1, uint32_t word2);
  DpiStage& GrowTo(int i);

  std::shared_ptr<MouseHardware> hardware_;
  MouseEvents events_;
  MouseDpiScale scale_;
  MouseButtonPositions positions_{};
  std::vector<uint8_t> layout_;
  bool discovered_ = false;
  std::vector<DpiStage> stages_;
  int selectedStage_ = 0;
  MouseSystemWords system_;
  std::vector<CorrectionEntry> corrections_;
  std::vector<KeyAssignmentRecord> keys_;
  uint16_t screenWidth_ = 0;
  uint16_t screenHeight_ = 0;
  StatusCode lastStatus_ = kStatusOk;
  bool asleep_ = false;
  bool writePending_ = false;
  bool keysPending_ = false;
  bool recoilPending_ = false;
};

}  // namespace varkon
