#include "editors/register_editor_controls.h"

#include "editors/device_profile.h"
#include "editors/key_set_control.h"
#include "editors/light_control.h"
#include "editors/macro_control.h"
#include "editors/shoot_control.h"
#include "platform/ui/skin_loader.h"

namespace varkon {

void RegisterEditorControls(ui::SkinLoader& loader) {
  loader.RegisterControl(QString::fromLatin1(kLightControlClass),
                         [](QWidget* parent) -> QWidget* { return new CLightControlUI(parent); });
  loader.RegisterSubTree(QString::fromLatin1(kLightSetControlTag), kLightControlSkin);
  loader.RegisterSubTree(QString::fromLatin1(kLightSetControlTallTag), kLightControlTallSkin);
  loader.RegisterControl(QString::fromLatin1(kKeySetControlClass),
                         [](QWidget* parent) -> QWidget* { return new CKeySetControlUI(parent); });
  loader.RegisterSubTree(QString::fromLatin1(kKeySetControlTag), kKeySetControlSkin);
  loader.RegisterSubTree(QString::fromLatin1(kKeySetControlTallTag), kKeySetControlTallSkin);
  loader.RegisterControl(QString::fromLatin1(kMacroControlClass),
                         [](QWidget* parent) -> QWidget* { return new CMacroControlUI(parent); });
  loader.RegisterSubTree(QString::fromLatin1(kMacroControlTag), kMacroControlSkin);
  loader.RegisterSubTree(QString::fromLatin1(kMacroControlTallTag), kMacroControlTallSkin);
  loader.RegisterControl(QString::fromLatin1(kShootControlClass),
                         [](QWidget* parent) -> QWidget* { return new CShootControlUI(parent); });
  loader.RegisterSubTree(QString::fromLatin1(kShootControlTag), kShootControlSkin);
  loader.RegisterControl(QString::fromLatin1(kDeviceProfileClass),
                         [](QWidget* parent) -> QWidget* { return new CDeviceProfileUI(parent); });
  loader.RegisterSubTree(QString::fromLatin1(kDeviceProfileTag), kDeviceProfileSkin);
}

}  // namespace varkon
