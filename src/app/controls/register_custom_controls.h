// Makes the program's own control types known to a skin loader under their skin tags.
#pragma once

namespace varkon::ui {
class SkinLoader;
}

namespace varkon {

// Registers every custom control ("DeviceKeyButton", "SelectPanel", "MpDevicePower", ...).
void RegisterCustomControls(ui::SkinLoader& loader);

}  // namespace varkon
