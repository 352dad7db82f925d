#include "devices/panels/register_device_classes.h"

#include "devices/panels/headset_device.h"
#include "devices/panels/keyboard_device.h"
#include "devices/panels/mouse_device.h"
#include "devices/panels/mouse_pad_device.h"
#include "platform/ui/skin_loader.h"

namespace varkon {

namespace {

template <typename Device>
void Register(ui::SkinLoader& loader, const char* tag) {
  loader.RegisterControl(QString::fromLatin1(tag),
                         [](QWidget* parent) -> QWidget* { return new Device(parent); });
}

}  // namespace

void RegisterDeviceClasses(ui::SkinLoader& loader) {
  Register<CTarnwiseKeyboardDevice>(loader, kTarnwiseKeyboardDeviceTag);
  Register<CTarnwiseMouseDevice>(loader, kTarnwiseMouseDeviceTag);
  Register<CTarnwiseMousePadDevice>(loader, kTarnwiseMousePadDeviceTag);
  Register<CTarnwiseHS6533Device>(loader, kTarnwiseHS6533DeviceTag);
}

}  // namespace varkon
