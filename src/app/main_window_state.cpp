// What the main window tells the outside: the state snapshot of `varkonctl state` and the
// report to the external tool.
#include <json/writer.h>

#include "app/device_screen.h"
#include "app/main_window.h"
#include "app/work_tool_report.h"
#include "core/debug_out.h"
#include "devices/panels/usb_device.h"
#include "platform/ui/control_find.h"

namespace varkon {

std::string CMainWnd::StateJson() const {
  Json::Value state(Json::objectValue);
  state["window"]["visible"] = isVisible();
  state["window"]["minimised"] = isMinimized();
  state["window"]["width"] = width();
  state["window"]["height"] = height();
  QWidget* hint = root_ ? ui::FindControl(root_, QStringLiteral("No_device_Link")) : nullptr;
  state["noDeviceLink"] = hint != nullptr && !hint->isHidden();
  state["lightControl"] = lightControl_;
  state["language"] = languageIndex_;
  state["power"] = powerOn_;
  state["dpi"] = dpi_;
  state["firstPassDone"] = firstPassDone_;
  state["threads"] = RunningThreads();
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
      devices.append(entry);
    }
  }
  state["devices"] = devices;
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
