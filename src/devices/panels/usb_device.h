// The device base: one object is both a device's on-screen panel (the tree loaded from its
// device skin, whose root is this object) and the device's logic. It holds the light engine and
// its light thread, the input readers of the companion interfaces, the mapped key and light
// cells of the device picture, and the hooks through which the main window, the selector item's
// timers and the editor panels drive the device. The command transports belong to the device
// record of the device manager, which opens and closes them as interfaces come and go; the
// object is handed them once it is configured.
//
// The four device classes derive from it and override the device-specific operations; what the
// base does for each is the neutral behaviour (nothing, 0, an empty list).
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/controls/device_key_button.h"
#include "app/controls/device_option.h"
#include "app/controls/mp_device_power.h"
#include "app/notify_router.h"
#include "core/worker_thread.h"
#include "device/device_slot.h"
#include "device/status_code.h"
#include "devices/light_engine.h"
#include "devices/logic/device_logic.h"
#include "devices/panels/device_messages.h"
#include "platform/ui/message_bus.h"
#include "platform/ui/owner_calls.h"

namespace varkon {

class CDeviceProfileUI;
class CKeySetControlUI;
class CLightControlUI;
class DeviceTransport;
class HidChannel;

// Light-thread pacing: 64 passes a second while the device is open and its picture can be seen
// (the effects' speed tables count passes at that rate), one pass every 100 ms otherwise.
inline constexpr int kLightPassOpenMs = 16;
inline constexpr int kLightPassClosedMs = 100;
// While nobody can see the picture and the hardware is not fed from it, the effects need not
// move: a pass every half second keeps the device nearly asleep.
inline constexpr int kLightPassUnseenMs = 500;
// Input readers wait this long per read; a stop cancels the wait at once.
inline constexpr int kInputReadWaitMs = 1000;

// What a device class brings to the base: its light engine (with its effects installed) and its
// logic, which works on that engine.
struct DeviceParts {
  std::unique_ptr<LightEngine> engine;
  std::unique_ptr<DeviceLogic> logic;
};
// The parts of a device class without logic of its own yet: the common profile binding over a
// profile document of `profile`'s class.
DeviceParts CommonDeviceParts(int kind, std::unique_ptr<LightEngine> engine,
                              std::unique_ptr<CBasicProfiledata> profile);

class CTarnwiseUSBDevice : public QWidget {
  Q_OBJECT

 public:
  CTarnwiseUSBDevice(int presetKind, DeviceParts parts, QWidget* parent = nullptr);
  ~CTarnwiseUSBDevice() override;

  // ---- configuration by the main window, in this order, then InitButtons
  void SetLayoutFile(const std::string& file) { layoutFile_ = file; }
  void SetMainWindow(ui::MessageTarget window) { mainWindow_ = std::move(window); }
  void SetKeyButtonCount(int count);
  void SetLightCount(int count);
  void SetModelIndex(int index) { modelIndex_ = index; }
  void SetWirelessCapable(bool capable);
  void SetProfileId(const std::string& id) { profileId_ = id; }
  void SetDisplayName(const std::string& name) { displayName_ = name; }
  void SetPowerPanel(CMpDevicePowerUI* panel);
  void SetSlot(const DeviceSlot& slot);
  virtual void SetPanelIndex(int index) { panelIndex_ = index; }
  void SetLightPanelName(const std::string& name) { lightPanelName_ = name; }
  // The transports of the device record: commands, and the two input channels.
  void SetTransports(DeviceTransport* transport, DeviceTransport* inputTransport);
  void SetSelectorItem(CDeviceOptionUI* item) { selectorItem_ = item; }

  // ---- the virtual operations (base behaviour)
  // Maps the key and light cells, then starts the light thread. Derived classes call BuildPanel
  // and add their own steps.
  virtual void InitButtons();
  virtual int ApplyProfile() { return logic_->ApplyProfile(); }
  // Hands every light cell its preview colour (only while lighting control is on).
  virtual void PaintPreview();
  void SetLightColour(int index, uint32_t colour);
  uint32_t GetLightColour(int index) const;
  // Base: loads the profile and shows it (the device classes also read their hardware).
  virtual void ReadDevice();
  virtual void ResyncDevice() {}
  // The power status block, shown on the power panel (message 3329 with byte 4); skipped while
  // the window is hidden (the poll-inhibit flag).
  void ReadPowerStatus();
  virtual bool IsLinkAwake() { return true; }
  // The online check found the device behind its receiver awake.
  virtual void OnLinkAwake() {}
  virtual int LoadProfile() { return logic_->LoadProfile(); }
  // Base: the name lists again, and the light state in the lighting panel.
  virtual void RefreshPanel();
  virtual void LoadDefaultProfile();
  virtual std::vector<std::string> GetMacroList() { return {}; }
  virtual int WriteKeyTable() { return 0; }
  virtual int WriteMacros() { return 0; }
  virtual int WriteLightRecord(int profileIndex) { return 0; }
  virtual void LoadNameLists();
  void SetKeyMap(std::map<int, int> map) { keyMap_ = std::move(map); }
  const std::map<int, int>& KeyMap() const { return keyMap_; }
  virtual void SelectFunctionPage(int page);
  int GetFunctionPage() const { return functionPage_; }
  virtual void LoadProfileFiles() { logic_->LoadProfileFiles(); }
  virtual std::string GetProfileName() const { return logic_->ProfileName(); }
  virtual void SaveProfile() { logic_->SaveProfile(); }
  int GetPanelIndex() const { return panelIndex_; }
  // The light state as the editors set it (mode, brightness, speed, direction, multicolour and
  // colour, the device bytes and the keyboard's further choices); also into the profile
  // document (saved by SaveProfile).
  virtual void SetLightParams(const LightState& state);
  LightState GetLightState() const { return engine_->GetLightState(); }
  // The keyboard's custom colour table: word 3's low byte of the light state.
  int CustomTableIndex() const { return GetLightState().customGroup; }
  // The five words of the light state (LightState::ToWords).
  std::array<uint32_t, 5> LightStateWords() const { return GetLightState().ToWords(); }
  // A lighting editor action: the new state goes into the device and its profile (saved), the
  // profile is applied back so the preview and the per-light data follow, and the settings reach
  // the hardware (record 0).
  virtual void ApplyLightEdit(const LightState& state);
  // The lighting editor panel inside this device's panel, if its skin has one.
  CLightControlUI* LightPanel() const;
  // The profile panel inside this device's panel, if its skin has one.
  CDeviceProfileUI* ProfilePanel() const;
  // Shows the device's light state in its lighting editor.
  void ShowLightStateInPanel();
  // The music-lighting setting mirrored from the lighting panel.
  virtual void SetAudioLight(int mode, int colour, int flags) {
    audioLight_ = {mode, colour, flags};
  }
  std::array<int, 3> GetAudioLight() const { return audioLight_; }
  virtual void SelectKey(int index) { selectedKey_ = index; }
  int SelectedKey() const { return selectedKey_; }
  // A key of the second (Fn) layer.
  virtual void SelectLayerKey(int index) { selectedLayerKey_ = index; }
  int SelectedLayerKey() const { return selectedLayerKey_; }

  // ---- the key editor's side (keyboards and mice; a device without a key list has none)
  // The key assignment editor inside this panel (null when the skin has none).
  CKeySetControlUI* KeyEditor() const;
  virtual const std::vector<KeyAssignmentRecord>* KeyList() const { return nullptr; }
  // The record of list entry `index` (an empty record outside the list).
  KeyAssignmentRecord KeyRecord(int index) const;
  // Stores an edited record for key `index` in the key list and the profile document.
  virtual void StoreKeyRecord(int, const KeyAssignmentRecord&) {}
  // Whether the editor edits the Fn layer (keyboards only).
  virtual bool FnLayer() const { return false; }
  virtual void SetFnLayer(bool) {}
  // Macros then keys, as the editor's write does: `done` gets the macro outcome (0, −1 not
  // taken, or the count of events too many) and the key tables' status.
  virtual void WriteKeysAndMacros(std::function<void(int macroResult, StatusCode keys)> done);
  // Marks key `index` as the one being edited (the only selected key).
  void MarkEditedKey(int index);
  // Every key shows as changed when its main code differs from its default.
  void RefreshKeyHighlights();
  virtual void FeedAudioLevels(const uint8_t* levels, size_t count) {}
  // The companion's six summary levels.
  virtual void FeedAudioSummary(const std::array<int, 6>& levels) {}

  // The device's own notification handlers: notifications of controls inside its panel reach
  // them (the device editors add their rows).
  NotifyRouter& Pump() { return pump_; }
  // The name lists the lighting and macro panels show.
  std::vector<std::string>& ModeNames() { return modeNames_; }
  std::vector<std::string>& AreaNames() { return areaNames_; }
  std::vector<std::string>& UserLightNames() { return userLightNames_; }
  std::vector<std::string>& MacroNames() { return macroNames_; }
  // A report from a companion input channel, on that channel's reader thread: decoded with the
  // channel's report descriptor into its notice value (the first usage of its first item).
  void OnInputReport(bool receiverIdentity, HidChannel& channel, const uint8_t* report,
                     size_t length);

  // Makes profile `index` of the device's list the current one: selected, loaded, shown and
  // written to the device as far as its class keeps settings there. `done` gets the outcome
  // (0 done, −1 the device did not take its macros, a positive count of macro events too many).
  virtual void SwitchToProfile(int index, std::function<void(int result)> done = {});

  // ---- states the main window hands to every device
  // Lighting control by the program; turning it on for a keyboard tells the keyboard.
  void SetLightControl(bool on);
  bool LightControl() const { return lightControlOn_.load(); }
  void SetWindowActive(bool active) { windowActive_.store(active); }
  bool WindowActive() const { return windowActive_.load(); }
  // Stored only for wireless devices: while hidden their power status is not polled.
  void SetWindowHidden(bool hidden);
  // Whether the device picture can be seen (the main window is shown). While it cannot, the
  // light thread slows to its idle pace unless the device needs its frames.
  void SetPreviewShown(bool shown) { previewShown_.store(shown); }
  bool PreviewShown() const { return previewShown_.load(); }
  // Devices that stream the preview to their hardware need every pass, seen or not.
  virtual bool StreamsLightFrames() const { return false; }
  bool PollInhibit() const { return pollInhibit_.load(); }

  // Game-event lighting: the light mode becomes `mode` for a while (speed forced into 1-20 for
  // variant 0); RestoreOwnLighting brings back the device's own settings.
  void ApplyGameLighting(int variant, uint8_t mode);
  void RestoreOwnLighting();

  // ---- synchronised lighting ("deng_same_mode")
  // In the group, the device's preview is painted by the synchronised-lighting thread (its own
  // light thread leaves the colours alone). Any change of its own lighting takes it out.
  bool SyncOn() const { return syncOn_.load(); }
  void SetSyncOn(bool on) { syncOn_.store(on); }
  // The group's light state in the device's own mode: the panel, the profile (saved), the
  // working state and the device's record.
  void ApplySyncedLightState(const LightState& state);
  // The device class the light tables and the synchronised modes know it by.
  LightDeviceClass LightClass() const;

  // ---- input readers, one per identity (cable, receiver)
  void StartInputReader(bool receiverIdentity);
  void StopInputReader(bool receiverIdentity);
  bool InputReaderRunning(bool receiverIdentity) const;
  uint32_t InputReportCount() const { return inputReports_.load(); }
  uint32_t LastNotice() const { return lastNotice_.load(); }

  // ---- what others read
  int Kind() const { return kind_; }
  int Role() const { return role_; }
  int ModelIndex() const { return modelIndex_; }
  int KeyButtonCount() const { return static_cast<int>(keyButtons_.size()); }
  int LightCount() const { return static_cast<int>(lightButtons_.size()); }
  bool WirelessCapable() const { return wirelessCapable_; }
  const std::string& LayoutFile() const { return layoutFile_; }
  const std::string& DisplayName() const { return displayName_; }
  const std::string& ProfileId() const { return profileId_; }
  const std::string& LightPanelName() const { return lightPanelName_; }
  const DeviceSlot& Slot() const { return slot_; }
  CDeviceKeyButtonUI* KeyButton(int index) const;
  CDeviceKeyButtonUI* LightButton(int index) const;
  QWidget* SelectPanel() const { return selectPanel_; }
  CDeviceOptionUI* SelectorItem() const { return selectorItem_; }
  CMpDevicePowerUI* PowerPanel() const { return powerPanel_; }
  DeviceTransport* Transport() const { return transport_; }
  DeviceTransport* InputTransport() const { return inputTransport_; }
  bool TransportOpen() const;
  LightEngine& Engine() { return *engine_; }
  const LightEngine& Engine() const { return *engine_; }
  DeviceLogic& Logic() { return *logic_; }
  const DeviceLogic& Logic() const { return *logic_; }
  bool LightThreadRunning() const { return lightThread_.Running(); }
  // Stops the light thread and the input readers (bounded); done by the destructor too.
  void StopWorkers();

 protected:
  // Maps the "key_N" and "light_N" cells of the first "SelectPanel" child.
  void BuildPanel();
  // Sends `number` to the main window (posted).
  void PostToMainWindow(uint32_t number, uintptr_t wParam, intptr_t lParam) const;
  // One pass of the light thread while the transport is open.
  virtual void LightPass(uint32_t nowMs);
  // A decoded notice of a companion input channel, on that channel's reader thread.
  virtual void OnDeviceNotice(bool receiverIdentity, uint16_t value) {}
  // Runs `call` on the UI thread later; from any thread, dropped once the device is gone.
  void PostToUi(std::function<void()> call) const { calls_.Poster()(std::move(call)); }

 private:
  void StartLightThread();

  const int presetKind_;
  std::unique_ptr<LightEngine> engine_;
  std::unique_ptr<DeviceLogic> logic_;  // works on engine_: declared after it, goes first
  ui::OwnerCalls calls_{this};
  DeviceTransport* transport_ = nullptr;
  DeviceTransport* inputTransport_ = nullptr;
  QPointer<QWidget> selectPanel_;
  QPointer<CLightControlUI> lightPanel_;
  QPointer<CDeviceProfileUI> profilePanel_;
  QPointer<CDeviceOptionUI> selectorItem_;
  QPointer<CMpDevicePowerUI> powerPanel_;
  QPointer<QWidget> functionSwitch_;
  QPointer<QWidget> keyFunctionSwitch_;
  std::string layoutFile_;
  ui::MessageTarget mainWindow_;
  std::string profileId_;
  std::string lightPanelName_;
  std::string displayName_;
  int kind_;
  int role_ = 0;
  int modelIndex_ = -1;
  int functionPage_ = 1;
  int panelIndex_ = 0;
  int selectedKey_ = -1;
  int selectedLayerKey_ = -1;
  std::array<int, 3> audioLight_{};
  NotifyRouter pump_;
  std::vector<std::string> modeNames_;
  std::vector<std::string> areaNames_;
  std::vector<std::string> userLightNames_;
  std::vector<std::string> macroNames_;
  bool wirelessCapable_ = false;
  std::vector<QPointer<CDeviceKeyButtonUI>> keyButtons_;
  std::vector<QPointer<CDeviceKeyButtonUI>> lightButtons_;
  std::map<int, int> keyMap_;
  DeviceSlot slot_;
  std::atomic<bool> lightControlOn_{true};
  std::atomic<bool> windowActive_{true};
  std::atomic<bool> pollInhibit_{false};
  std::atomic<bool> previewShown_{true};
  std::atomic<bool> syncOn_{false};
  bool gameLighting_ = false;
  LightState ownLighting_;
  WorkerThread lightThread_;
  WorkerThread inputReaders_[2];
  std::atomic<uint32_t> inputReports_{0};
  std::atomic<uint32_t> lastNotice_{0};
};

}  // namespace varkon
