// What the main window tells the outside: the state snapshot of `varkonctl state` and the
// report to the external tool.
#include <json/writer.h>

#include <cstdio>

#include "app/device_screen.h"
#include "app/main_window.h"
#include "app/set_wnd.h"
#include "app/work_tool_report.h"
#include "core/debug_out.h"
#include "devices/panels/keyboard_device.h"
#include "devices/panels/usb_device.h"
#include "platform/ui/control_find.h"

namespace varkon {

namespace {

// What a device's panels show: its profiles, its lighting and, for a keyboard, what the
// keyboard told it.
void AddDeviceState(const CTarnwiseUSBDevice& device, Json::Value& entry) {
  const ProfileIndex& profiles = device.Logic().Profiles();
  entry["profile"]["name"] = device.GetProfileName();
  entry["profile"]["index"] = profiles.GetSelectedIndex();
  entry["profiles"] = Json::Value(Json::arrayValue);
  for (const std::string& name : profiles.Names()) entry["profiles"].append(name);
  const LightState light = device.GetLightState();
  // In the synchronised group, and the colour its first light shows now (alpha in the top byte).
  entry["syncOn"] = device.SyncOn();
  entry["previewColour"] = device.GetLightColour(0);
  Json::Value& editor = entry["lightEditor"];
  editor["mode"] = light.mode;
  editor["brightness"] = light.brightness;
  editor["speed"] = light.speed;
  editor["direction"] = light.direction;
  editor["multicolour"] = light.multicolour;
  char colour[8];
  std::snprintf(colour, sizeof colour, "%02x%02x%02x", light.red, light.green, light.blue);
  editor["colour"] = colour;
  editor["customGroup"] = light.customGroup;
  editor["zzcc"] = light.zzccLedMode;
  if (const auto* keyboard = qobject_cast<const CTarnwiseKeyboardDevice*>(&device)) {
    const KeyboardLogic& logic = keyboard->Keyboard();
    Json::Value& info = entry["keyboard"];
    info["keysFound"] = static_cast<Json::UInt>(logic.Maps().Count());
    info["keyPositions"] = logic.KeyCount();
    info["onboardProfile"] = logic.ActiveProfile();
    info["recordByte17"] = logic.Record()[keyboard_record::kHotKey];
    info["framesSent"] = logic.FramesSent();
    info["lastStatus"] = logic.LastStatus();
    info["fnLayer"] = logic.FnKeysetFlag();
    const KeyboardSystemWords& system = logic.System();
    info["system"]["repeat"] = system.Repeat();
    info["system"]["repeatDelay"] = system.RepeatDelay();
    info["system"]["key6"] = system.Key6Flag();
    info["system"]["pollingRate"] = system.PollingRate();
    info["system"]["w"] = system.WFlag();
    info["system"]["winLock"] = system.WinFlag();
    info["system"]["voiceSensitivity"] = light.voiceSensitivity;
    info["pendingJobs"] = static_cast<Json::UInt>(logic.Jobs().Pending());
  }
}

// The open settings window's update list: what an outside updater reads to learn which rows the
// user chose ("state" 3 waits for it) before it reports progress.
Json::Value UpdateListState(const CSetWnd& settings) {
  Json::Value list(Json::objectValue);
  list["status"] = settings.Updates().Status();
  list["current"] = settings.Updates().Current();
  Json::Value items(Json::arrayValue);
  for (const UpdateItem& item : settings.Updates().Items()) {
    Json::Value row(Json::objectValue);
    row["id"] = item.id;
    row["name"] = item.name;
    row["installed"] = item.oldRev;
    row["offered"] = item.updateRev;
    row["state"] = item.state;
    row["checked"] = item.checked;
    row["progress"] = item.progress;
    items.append(row);
  }
  list["items"] = items;
  return list;
}

}  // namespace

std::string CMainWnd::StateJson() const {
  Json::Value state(Json::objectValue);
  state["window"]["visible"] = isVisible();
  state["window"]["minimised"] = isMinimized();
  state["window"]["width"] = width();
  state["window"]["height"] = height();
  QWidget* hint = root_ ? ui::FindControl(root_, QStringLiteral("No_device_Link")) : nullptr;
  state["noDeviceLink"] = hint != nullptr && !hint->isHidden();
  state["lightControl"] = lightControl_;
  state["keysUnsent"] = keysUnsent_;
  state["language"] = languageIndex_;
  state["power"] = powerOn_;
  state["dpi"] = dpi_;
  state["firstPassDone"] = firstPassDone_;
  state["threads"] = RunningThreads();
  state["uiStallMaxMs"] = static_cast<Json::Int64>(UiStallMaxMs());
  Json::Value devices(Json::arrayValue);
  if (screen_) {
    for (const auto& record : screen_->manager().Devices()) {
      Json::Value entry(Json::objectValue);
      entry["model"] = kDeviceModels[static_cast<size_t>(record->model)].displayName;
      entry["attached"] = record->transport && record->transport->IsOpened();
      entry["receiverMode"] = record->receiverMode;
      entry["itemVisible"] = record->itemVisible;
      entry["itemSelected"] = record->itemSelected;
      const CTarnwiseUSBDevice* device = screen_->DeviceOfModel(record->model);
      entry["functionPage"] = device ? device->GetFunctionPage() : 0;
      Json::Value light(Json::arrayValue);
      const std::array<uint32_t, 5> words =
          device ? device->LightStateWords() : std::array<uint32_t, 5>{};
      for (uint32_t word : words) light.append(word);
      entry["lightState"] = light;
      entry["inputReports"] = device ? device->InputReportCount() : 0;
      entry["lastNotice"] = device ? device->LastNotice() : 0;
      if (device) AddDeviceState(*device, entry);
      devices.append(entry);
    }
  }
  state["devices"] = devices;
  if (settings_) state["updateList"] = UpdateListState(*settings_);
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, state);
}

void CMainWnd::ReportToWorkTool() {
  if (!sendToWorkTool_) return;
  const auto block = BuildWorkToolReport();
  static const char kHex[] = "0123456789abcdef";
  std::string line = "data 5 ";
  line.reserve(line.size() + block.size() * 2);
  for (uint8_t byte : block) {
    line += kHex[byte >> 4];
    line += kHex[byte & 0x0F];
  }
  if (!sendToWorkTool_(line)) debugOut("no WorkTool listens; the report is skipped\n");
}

}  // namespace varkon
