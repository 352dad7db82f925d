// Makes the skin loader create the four device classes for their tags in device skins.
#pragma once

namespace varkon {
namespace ui {
class SkinLoader;
}

void RegisterDeviceClasses(ui::SkinLoader& loader);

}  // namespace varkon
