#include "devices/panels/usb_device.h"

#include <chrono>

#include "app/controls/device_key_button.h"
#include "app/controls/device_option.h"
#include "app/controls/mp_device_power.h"
#include "app/controls/select_panel.h"
#include "core/debug_out.h"
#include "device/device_transport.h"
#include "device/hid_channel.h"
#include "device/hid_types.h"
#include "device/report_descriptor.h"
#include "devices/device_pages.h"
#include "editors/device_profile.h"
#include "editors/key_set_control.h"
#include "editors/light_control.h"
#include "platform/ui/control_containers.h"
#include "platform/ui/control_find.h"
#include "platform/ui/program_folder.h"
#include "profile/data_folders.h"

namespace varkon {

namespace {

constexpr const char* kFunctionSwitch = "device_function_switch";
constexpr const char* kKeyFunctionSwitch = "device_key_function_switch";
constexpr uint32_t kWhiteLight = 0xFFFFFF;
// The longest input report of a companion interface, with its report id.
constexpr size_t kInputReportBytes = 65;
constexpr int kInputRetryMs = 10;
// The highest brightness and speed levels the lighting editor offers.
constexpr int kLightLevelMax = 4;

int ClampCount(int count) {
  if (count < 0) return 0;
  return count > static_cast<int>(kMaxLights) ? static_cast<int>(kMaxLights) : count;
}

const char* StopOutcome(WorkerThread::StopResult result) {
  switch (result) {
    case WorkerThread::StopResult::Ended:
      return "thread ended in time";
    case WorkerThread::StopResult::TimedOut:
      return "thread did not end in time and was left to finish";
    case WorkerThread::StopResult::NotRunning:
      break;
  }
  return nullptr;
}

}  // namespace

DeviceParts CommonDeviceParts(int kind, std::unique_ptr<LightEngine> engine,
                              std::unique_ptr<CBasicProfiledata> profile) {
  DeviceParts parts;
  parts.logic = std::make_unique<DeviceLogic>(kind, *engine, std::move(profile));
  parts.engine = std::move(engine);
  return parts;
}

CTarnwiseUSBDevice::CTarnwiseUSBDevice(int presetKind, DeviceParts parts, QWidget* parent)
    : QWidget(parent),
      presetKind_(presetKind),
      engine_(std::move(parts.engine)),
      logic_(std::move(parts.logic)),
      kind_(presetKind) {
  logic_->SetPost(calls_.Poster());
}

CTarnwiseUSBDevice::~CTarnwiseUSBDevice() {
  calls_.Close();
  StopWorkers();
}

void CTarnwiseUSBDevice::StopWorkers() {
  for (bool receiver : {false, true}) StopInputReader(receiver);
  if (const char* outcome = StopOutcome(lightThread_.Stop())) {
    debugOut("%s light thread: %s\n", displayName_.c_str(), outcome);
  }
  logic_->StopJobs();
}

void CTarnwiseUSBDevice::SetKeyButtonCount(int count) {
  keyButtons_.assign(static_cast<size_t>(ClampCount(count)), nullptr);
}

void CTarnwiseUSBDevice::SetLightCount(int count) {
  const int lights = ClampCount(count);
  lightButtons_.assign(static_cast<size_t>(lights), nullptr);
  engine_->SetLightCount(static_cast<size_t>(lights));
}

void CTarnwiseUSBDevice::SetWirelessCapable(bool capable) {
  wirelessCapable_ = capable;
  if (powerPanel_) powerPanel_->ShowPowerLayout(capable);
}

void CTarnwiseUSBDevice::SetPowerPanel(CMpDevicePowerUI* panel) {
  powerPanel_ = panel;
  if (powerPanel_) powerPanel_->ShowPowerLayout(wirelessCapable_);
}

void CTarnwiseUSBDevice::SetSlot(const DeviceSlot& slot) {
  slot_ = slot;
  kind_ = slot.row.kind;
  role_ = slot.row.role;
}

void CTarnwiseUSBDevice::SetTransports(DeviceTransport* transport,
                                       DeviceTransport* inputTransport) {
  transport_ = transport;
  inputTransport_ = inputTransport;
  logic_->SetTransport(transport);
}

bool CTarnwiseUSBDevice::TransportOpen() const {
  return transport_ && transport_->IsOpened();
}

CDeviceKeyButtonUI* CTarnwiseUSBDevice::KeyButton(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= keyButtons_.size()) return nullptr;
  return keyButtons_[static_cast<size_t>(index)];
}

CDeviceKeyButtonUI* CTarnwiseUSBDevice::LightButton(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= lightButtons_.size()) return nullptr;
  return lightButtons_[static_cast<size_t>(index)];
}

void CTarnwiseUSBDevice::InitButtons() {
  BuildPanel();
  if (!logic_->SetFolders(UserDataRoot(), ui::ProgramFolder(), displayName_, panelIndex_)) {
    debugOut("%s: no data folder; profiles cannot be kept\n", displayName_.c_str());
  }
  LoadNameLists();
  StartLightThread();
}

void CTarnwiseUSBDevice::ReadDevice() {
  LoadProfile();
  RefreshPanel();
}

void CTarnwiseUSBDevice::RefreshPanel() {
  LoadNameLists();
  if (CLightControlUI* panel = LightPanel()) {
    const DeviceNameLists& lists = logic_->NameLists();
    std::vector<LightModeItem> modes;
    modes.reserve(lists.lightModeNames.size());
    for (size_t i = 0; i < lists.lightModeNames.size(); ++i) {
      const bool visible = i < lists.lightModeVisible.size() ? lists.lightModeVisible[i] : true;
      modes.push_back({QString::fromStdString(lists.lightModeNames[i]), visible});
    }
    panel->FillModeList(modes, kLightLevelMax, kLightLevelMax);
    ShowLightStateInPanel();
  }
  if (profilePanel_) profilePanel_->ShowList();
}

void CTarnwiseUSBDevice::SwitchToProfile(int index, std::function<void(int)> done) {
  if (!logic_->Profiles().SelectProfile(index)) {
    if (done) done(0);
    return;
  }
  LoadProfile();
  RefreshPanel();
  WriteLightRecord(0);
  if (done) done(0);
}

CKeySetControlUI* CTarnwiseUSBDevice::KeyEditor() const {
  return FindKeySetControl(const_cast<CTarnwiseUSBDevice*>(this));
}

KeyAssignmentRecord CTarnwiseUSBDevice::KeyRecord(int index) const {
  const std::vector<KeyAssignmentRecord>* keys = KeyList();
  if (!keys || index < 0 || index >= static_cast<int>(keys->size())) return {};
  return (*keys)[static_cast<size_t>(index)];
}

void CTarnwiseUSBDevice::WriteKeysAndMacros(std::function<void(int, StatusCode)> done) {
  if (done) done(-1, kStatusNoReply);
}

void CTarnwiseUSBDevice::MarkEditedKey(int index) {
  SelectKey(index);
  for (int i = 0; i < KeyButtonCount(); ++i) {
    if (CDeviceKeyButtonUI* key = KeyButton(i)) key->SetSelected(i == index);
  }
}

void CTarnwiseUSBDevice::RefreshKeyHighlights() {
  const std::vector<KeyAssignmentRecord>* keys = KeyList();
  if (!keys) return;
  for (int i = 0; i < KeyButtonCount(); ++i) {
    CDeviceKeyButtonUI* key = KeyButton(i);
    if (!key) continue;
    const size_t index = static_cast<size_t>(i);
    key->SetKeyState(index < keys->size() &&
                     (*keys)[index].main.code != (*keys)[index].defaultSlot.code);
  }
}

CDeviceProfileUI* CTarnwiseUSBDevice::ProfilePanel() const {
  return profilePanel_;
}

CLightControlUI* CTarnwiseUSBDevice::LightPanel() const {
  return lightPanel_;
}

void CTarnwiseUSBDevice::ShowLightStateInPanel() {
  if (CLightControlUI* panel = LightPanel()) panel->ShowLightState(LightStateWords());
}

void CTarnwiseUSBDevice::ApplyLightEdit(const LightState& state) {
  SetSyncOn(false);
  SetLightParams(state);
  SaveProfile();
  ApplyProfile();
  WriteLightRecord(0);
}

void CTarnwiseUSBDevice::LoadDefaultProfile() {
  logic_->LoadDefaultProfile();
  RefreshPanel();
}

void CTarnwiseUSBDevice::LoadNameLists() {
  logic_->LoadNameLists();
  const DeviceNameLists& lists = logic_->NameLists();
  modeNames_ = lists.lightModeNames;
  areaNames_ = lists.areaLightNames;
  userLightNames_ = lists.customLightNames;
  macroNames_ = lists.macroNames;
}

void CTarnwiseUSBDevice::BuildPanel() {
  if (layoutFile_.empty()) {
    keyButtons_.clear();
    lightButtons_.clear();
    engine_->SetLightCount(0);
    return;
  }
  selectPanel_ = nullptr;
  for (QObject* child : children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget && ui::ControlClassName(widget) == QLatin1String("SelectPanel")) {
      selectPanel_ = widget;
      break;
    }
  }
  lightPanel_ = FindLightControl(this);
  if (lightPanel_) lightPanel_->SetDeviceKind(presetKind_);
  profilePanel_ = FindProfilePanel(this);
  if (profilePanel_) profilePanel_->Attach(this, &logic_->Profiles());
  if (!selectPanel_) return;
  const int keys = KeyButtonCount();
  const int lights = LightCount();
  for (QObject* child : selectPanel_->children()) {
    auto* button = qobject_cast<CDeviceKeyButtonUI*>(child);
    if (!button) continue;
    const DeviceButtonName parsed =
        ParseDeviceButtonName(button->objectName().toStdString(), keys, lights);
    if (parsed.role == DeviceButtonRole::Key) {
      keyButtons_[static_cast<size_t>(parsed.index)] = button;
    } else if (parsed.role == DeviceButtonRole::Light) {
      lightButtons_[static_cast<size_t>(parsed.index)] = button;
      // The panel draws its shown light cells itself (one paint a frame, not one per cell).
      if (!button->isHidden() && qobject_cast<CSelectPanelUI*>(selectPanel_)) {
        button->SetDrawnByPanel(true);
      }
      button->SetLight(kWhiteLight, 255, true);
      // The preview starts from the same white until an effect paints the light.
      engine_->SetLightColour(static_cast<size_t>(parsed.index),
                              LightColour(255, 255, 255, 255).Pack());
    }
  }
}

void CTarnwiseUSBDevice::SelectFunctionPage(int page) {
  functionPage_ = page;
  if (!functionSwitch_) functionSwitch_ = ui::FindControl(this, kFunctionSwitch);
  if (!keyFunctionSwitch_) keyFunctionSwitch_ = ui::FindControl(this, kKeyFunctionSwitch);
  const FunctionTabs tabs = FunctionTabsForPage(page, kind_);
  if (functionSwitch_ && tabs.functionIndex >= 0) {
    ui::SelectPage(functionSwitch_, tabs.functionIndex);
  }
  if (keyFunctionSwitch_ && tabs.keyFunctionIndex >= 0) {
    ui::SelectPage(keyFunctionSwitch_, tabs.keyFunctionIndex);
  }
}

void CTarnwiseUSBDevice::SetLightColour(int index, uint32_t colour) {
  if (index >= 0) engine_->SetLightColour(static_cast<size_t>(index), colour);
}

uint32_t CTarnwiseUSBDevice::GetLightColour(int index) const {
  return index < 0 ? 0 : engine_->GetLightColour(static_cast<size_t>(index));
}

void CTarnwiseUSBDevice::ReadPowerStatus() {
  if (!TransportOpen() || PollInhibit()) return;
  logic_->ReadPowerStatus(Transport()->ReceiverMode(),
                          [this](const DeviceLogic::StatusBlock& block) {
                            if (PowerPanel())
                              PowerPanel()->SetPowerInfo(block.data(), block.size());
                            PostToMainWindow(kMessagePowerStatus, block[4], 0);
                          });
}

void CTarnwiseUSBDevice::PaintPreview() {
  QRect changed;
  engine_->PaintPreview([this, &changed](size_t index, const PreviewCell& cell) {
    if (index >= lightButtons_.size() || !lightButtons_[index]) return;
    CDeviceKeyButtonUI* button = lightButtons_[index];
    const bool before = button->LightColour() == (cell.value & 0xFFFFFFu) &&
                        button->LightAlpha() == cell.alpha && button->IsLightShown() == cell.show;
    button->SetLight(cell.value, cell.alpha, cell.show);
    if (!before && button->DrawnByPanel()) changed |= button->geometry();
  });
  // One repaint of the part of the picture whose lights changed.
  if (!changed.isEmpty() && selectPanel_) selectPanel_->update(changed);
}

void CTarnwiseUSBDevice::SetLightParams(const LightState& state) {
  logic_->SetLightParams(state);
  if (!gameLighting_) ownLighting_ = state;
}

void CTarnwiseUSBDevice::SetLightControl(bool on) {
  lightControlOn_.store(on);
  engine_->SetLightControl(on);
  if (on && kind_ == kKindKeyboard && transport_) transport_->CmdLightControlOn();
}

void CTarnwiseUSBDevice::SetWindowHidden(bool hidden) {
  if (wirelessCapable_) pollInhibit_.store(hidden);
}

void CTarnwiseUSBDevice::ApplySyncedLightState(const LightState& state) {
  SetLightParams(state);
  SaveProfile();
  ApplyProfile();
  ShowLightStateInPanel();
  WriteLightRecord(0);
  PaintPreview();
}

LightDeviceClass CTarnwiseUSBDevice::LightClass() const {
  switch (kind_) {
    case kKindKeyboard:
      return LightDeviceClass::kKeyboard;
    case kKindMouse:
      return LightDeviceClass::kMouse;
    case kKindMousePad:
      return LightDeviceClass::kMousePad;
    default:
      return LightDeviceClass::kHeadset;
  }
}

void CTarnwiseUSBDevice::ApplyGameLighting(int variant, uint8_t mode) {
  if (variant < 0 || variant > 2) return;
  SetSyncOn(false);
  if (!gameLighting_) ownLighting_ = engine_->GetLightState();
  gameLighting_ = true;
  LightState state = engine_->GetLightState();
  state.mode = mode;
  if (variant == 0 && (state.speed < 1 || state.speed > 20)) state.speed = 1;
  // The flash reaches the panel, the preview and the device, not the profile.
  engine_->SetLightState(state);
  ShowLightStateInPanel();
  WriteLightRecord(0);
  PaintPreview();
}

void CTarnwiseUSBDevice::RestoreOwnLighting() {
  if (!gameLighting_) return;
  gameLighting_ = false;
  engine_->SetLightState(ownLighting_);
  ShowLightStateInPanel();
  WriteLightRecord(0);
  PaintPreview();
}

void CTarnwiseUSBDevice::PostToMainWindow(uint32_t number, uintptr_t wParam,
                                          intptr_t lParam) const {
  ui::Message message;
  message.number = number;
  message.wParam = wParam;
  message.lParam = lParam;
  mainWindow_.Post(std::move(message));
}

void CTarnwiseUSBDevice::LightPass(uint32_t nowMs) {
  // In the synchronised group the shared thread paints the colours.
  if (!syncOn_.load()) engine_->RunPass(nowMs);
}

void CTarnwiseUSBDevice::StartLightThread() {
  if (lightThread_.Running()) return;
  lightThread_.Start([this](StopEvent& stop) {
    SystemLightClock clock;
    // The transport pointer is set before InitButtons and not changed while the thread runs.
    DeviceTransport* transport = transport_;
    int waitMs = kLightPassClosedMs;
    while (!stop.Wait(std::chrono::milliseconds(waitMs))) {
      if (transport && transport->IsOpened()) {
        if (!transport->Busy()) LightPass(clock.NowMs());
        waitMs =
            previewShown_.load() || StreamsLightFrames() ? kLightPassOpenMs : kLightPassUnseenMs;
      } else {
        waitMs = kLightPassClosedMs;
      }
    }
  });
}

void CTarnwiseUSBDevice::OnInputReport(bool receiverIdentity, HidChannel& channel,
                                       const uint8_t* report, size_t length) {
  if (channel.UnpackInputReport(report, length) != kHidStatusSuccess) {
    debugOut("%s: an input report (%zu bytes) does not decode\n", displayName_.c_str(), length);
    return;
  }
  uint32_t value = 0;
  bool found = false;
  for (const HidDataItem& item : channel.InputItems()) {
    if (!item.isSet) continue;
    value = item.isButton ? (item.usages.empty() ? 0u : item.usages.front()) : item.value;
    found = true;
    break;
  }
  if (!found) return;
  lastNotice_.store(value);
  debugOut("%s notice 0x%04x (%s)\n", displayName_.c_str(), value,
           receiverIdentity ? "receiver" : "cable");
  OnDeviceNotice(receiverIdentity, static_cast<uint16_t>(value));
}

void CTarnwiseUSBDevice::StartInputReader(bool receiverIdentity) {
  if (!inputTransport_) return;
  WorkerThread& reader = inputReaders_[receiverIdentity ? 1 : 0];
  if (reader.Running()) return;
  HidChannel* channel =
      receiverIdentity ? &inputTransport_->ReceiverChannel() : &inputTransport_->CableChannel();
  reader.Start([this, channel, receiverIdentity](StopEvent& stop) {
    uint8_t report[kInputReportBytes]{};
    while (!stop.IsSignalled()) {
      size_t got = 0;
      if (!channel->IsOpen()) {
        stop.Wait(std::chrono::milliseconds(kInputReadWaitMs));
        continue;
      }
      if (channel->Read(report, sizeof report, got, kInputReadWaitMs) != 1 || got == 0) {
        // A device that has gone fails its reads at once until its channel is closed.
        stop.Wait(std::chrono::milliseconds(kInputRetryMs));
        continue;
      }
      if (stop.IsSignalled()) break;
      inputReports_.fetch_add(1);
      OnInputReport(receiverIdentity, *channel, report, got);
    }
  });
}

void CTarnwiseUSBDevice::StopInputReader(bool receiverIdentity) {
  WorkerThread& reader = inputReaders_[receiverIdentity ? 1 : 0];
  HidChannel* channel = nullptr;
  if (inputTransport_) {
    channel =
        receiverIdentity ? &inputTransport_->ReceiverChannel() : &inputTransport_->CableChannel();
  }
  // The reader may be waiting for a report: its wait is cancelled so the stop is immediate.
  const auto release = [channel] {
    if (channel) channel->CancelWaits();
  };
  if (const char* outcome = StopOutcome(reader.Stop(kWorkerStopBound, release))) {
    debugOut("%s input reader: %s\n", displayName_.c_str(), outcome);
  }
}

bool CTarnwiseUSBDevice::InputReaderRunning(bool receiverIdentity) const {
  return inputReaders_[receiverIdentity ? 1 : 0].Running();
}

}  // namespace varkon
