// The lighting editor's rows: every action reads its control, changes one part of the current
// device's light state and hands the new state to the device, which stores it in its profile,
// applies it and sends it to the hardware.
#include <cstdlib>

#include "app/device_screen.h"
#include "app/main_window.h"
#include "app/sync_lighting.h"
#include "devices/panels/keyboard_device.h"
#include "editors/light_control.h"
#include "editors/light_editor_actions.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"

namespace varkon {

namespace {

constexpr int kCustomColourEffect = 20;

ColourComponent ComponentOf(const std::string& name) {
  if (name == "deng_edit_G") return ColourComponent::kGreen;
  if (name == "deng_edit_B") return ColourComponent::kBlue;
  return ColourComponent::kRed;
}

}  // namespace

void CMainWnd::EditCurrentLight(const std::function<LightWords(const LightWords&)>& change,
                                bool showColour) {
  EditDeviceLight(CurrentDevice(), change, showColour);
}

void CMainWnd::EditDeviceLight(CTarnwiseUSBDevice* device,
                               const std::function<LightWords(const LightWords&)>& change,
                               bool showColour) {
  // Until the device has been read there is no profile to edit; an action that changes nothing
  // (a colour edit left with the same value) sends nothing.
  if (!device || !device->Logic().ProfileBound()) return;
  const LightState before = device->GetLightState();
  const LightState after = LightState::FromWords(change(device->LightStateWords()));
  if (after == before) return;
  device->ApplyLightEdit(after);
  CLightControlUI* panel = device->LightPanel();
  if (panel && showColour) {
    panel->SetMulticolour(after.multicolour != 0);
    panel->ShowColour(0xFF000000u | uint32_t{after.red} << 16 | uint32_t{after.green} << 8 |
                      after.blue);
  }
  auto* keyboard = qobject_cast<CTarnwiseKeyboardDevice*>(device);
  if (keyboard && after.mode == kCustomColourEffect &&
      (before.mode != kCustomColourEffect || before.customGroup != after.customGroup)) {
    keyboard->Keyboard().LoadCustomColours();
  }
}

void CMainWnd::BuildLightRoutes() {
  // Every attached device takes the current one's lighting and breathes, blinks or cycles in
  // step with it.
  router_.OnName("click", "deng_same_mode", [this](const RoutedNotification&) {
    if (syncLighting_ && screen_) syncLighting_->Synchronise(CurrentDevice(), screen_->Devices());
  });
  router_.OnName("itemselect", "light_combo_modeSelect", [this](const RoutedNotification& n) {
    const auto mode = static_cast<uint8_t>(n.wParam);
    // The editor first shows which of its controls the new mode uses.
    CTarnwiseUSBDevice* device = CurrentDevice();
    if (CLightControlUI* panel = device ? device->LightPanel() : nullptr) panel->SelectMode(mode);
    EditCurrentLight([mode](const LightWords& w) { return SetLightMode(w, mode); });
  });
  router_.OnName("itemselect", "light_combo_custommodeSelect", [this](const RoutedNotification& n) {
    if (!CurrentKeyboard()) return;
    const auto table = static_cast<uint8_t>(n.wParam);
    EditCurrentLight([table](const LightWords& w) { return SetLightCustomTable(w, table); });
  });
  router_.OnName("itemselect", "light_combo_ZZCCmodeSelect", [this](const RoutedNotification& n) {
    if (!CurrentKeyboard()) return;
    const auto mode = static_cast<uint8_t>(n.wParam);
    EditCurrentLight([mode](const LightWords& w) { return SetLightZzccMode(w, mode); });
  });
  router_.OnName("valuechanged", "deng_light_slider", [this](const RoutedNotification& n) {
    const auto level = static_cast<uint8_t>(n.wParam);
    EditCurrentLight([level](const LightWords& w) { return SetLightBrightness(w, level); });
  });
  router_.OnName("valuechanged", "deng_speed_slider", [this](const RoutedNotification& n) {
    const auto level = static_cast<uint8_t>(n.wParam);
    EditCurrentLight([level](const LightWords& w) { return SetLightSpeed(w, level); });
  });
  router_.OnName("selectchanged", "deng_7color_check", [this](const RoutedNotification& n) {
    const bool on = n.wParam == 1;
    EditCurrentLight([on](const LightWords& w) { return SetLightMulticolour(w, on); });
  });
  router_.OnNames(
      "selectchanged", {"deng_FXL_check", "deng_FXR_check"}, [this](const RoutedNotification& n) {
        if (n.wParam != 1) return;  // the other check of the pair turning off
        const bool forward =
            QString::fromStdString(n.name).compare("deng_FXL_check", Qt::CaseInsensitive) == 0;
        EditCurrentLight([forward](const LightWords& w) { return SetLightDirection(w, forward); });
      });
  router_.OnNames(
      "killfocus", {"deng_edit_R", "deng_edit_G", "deng_edit_B"},
      [this](const RoutedNotification& n) {
        CTarnwiseUSBDevice* device = CurrentDevice();
        CLightControlUI* panel = device ? device->LightPanel() : nullptr;
        if (!panel) return;
        const ColourComponent component = ComponentOf(n.name);
        const std::string text = panel->GetColourText(component).toStdString();
        // The edit shows the value taken (300 becomes 255), changed or not.
        panel->SetColourText(component, ReadColourEdit(text).value);
        EditCurrentLight(
            [&](const LightWords& w) { return ApplyColourEdit(w, component, text).words; }, true);
      });
  router_.OnName("colorchanged", "deng_Color_Pallet", [this](const RoutedNotification&) {
    CTarnwiseUSBDevice* device = CurrentDevice();
    CLightControlUI* panel = device ? device->LightPanel() : nullptr;
    if (!panel) return;
    const uint32_t colour = panel->GetPaletteColour();
    EditCurrentLight([colour](const LightWords& w) { return SetLightColour(w, colour); }, true);
  });
  router_.OnPrefix("click", "color_option_", [this](const RoutedNotification&, int index) {
    CTarnwiseUSBDevice* device = CurrentDevice();
    CLightControlUI* panel = device ? device->LightPanel() : nullptr;
    if (!panel) return;
    const uint32_t colour = panel->GetPresetColour(index);
    EditCurrentLight([colour](const LightWords& w) { return SetLightColour(w, colour); }, true);
  });
}

CTarnwiseUSBDevice* CMainWnd::DeviceNamed(const std::string& word) const {
  CTarnwiseUSBDevice* device = nullptr;
  for (CTarnwiseUSBDevice* candidate :
       screen_ ? screen_->Devices() : std::vector<CTarnwiseUSBDevice*>{}) {
    const std::string& name = candidate->DisplayName();
    const bool alias = (word == "pad" && name == "MousePad") || (word == "headset" && name == "HD");
    if (QString::fromStdString(name).compare(QString::fromStdString(word), Qt::CaseInsensitive) ==
            0 ||
        alias) {
      device = candidate;
    }
  }
  return device;
}

std::string CMainWnd::LightRequest(const std::vector<std::string>& words) {
  if (words.size() < 2 || words.size() % 2 != 0) {
    return "error usage: light DEVICE [mode N] [brightness B] [speed S] [direction D] "
           "[colour RRGGBB] [multicolour 0|1]";
  }
  CTarnwiseUSBDevice* device = DeviceNamed(words[1]);
  if (!device) return "error no " + words[1] + " has been attached";
  if (!device->Logic().ProfileBound()) return "error the " + words[1] + " has not been read yet";
  std::vector<std::function<LightWords(const LightWords&)>> changes;
  for (size_t i = 2; i < words.size(); i += 2) {
    const std::string& key = words[i];
    const std::string& text = words[i + 1];
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, key == "colour" ? 16 : 10);
    if (text.empty() || *end != '\0' || number < 0) return "error bad value for " + key;
    if (key == "mode" && number <= 255) {
      changes.push_back([=](const LightWords& w) { return SetLightMode(w, uint8_t(number)); });
    } else if (key == "brightness" && number <= 4) {
      changes.push_back(
          [=](const LightWords& w) { return SetLightBrightness(w, uint8_t(number)); });
    } else if (key == "speed" && number <= 4) {
      changes.push_back([=](const LightWords& w) { return SetLightSpeed(w, uint8_t(number)); });
    } else if (key == "direction" && number <= 1) {
      changes.push_back([=](const LightWords& w) { return SetLightDirection(w, number == 1); });
    } else if (key == "multicolour" && number <= 1) {
      changes.push_back([=](const LightWords& w) { return SetLightMulticolour(w, number == 1); });
    } else if (key == "colour" && text.size() == 6) {
      changes.push_back(
          [=](const LightWords& w) { return SetLightColour(w, static_cast<uint32_t>(number)); });
    } else {
      return "error bad setting " + key + " " + text;
    }
  }
  // The colour switches multicolour off, as in the editor, unless the request sets it itself.
  EditDeviceLight(
      device,
      [&](const LightWords& words) {
        LightWords result = words;
        for (const auto& change : changes) result = change(result);
        return result;
      },
      false);
  device->ShowLightStateInPanel();
  return "ok";
}

}  // namespace varkon
