#include "editors/register_editor_controls.h"

#include "editors/light_control.h"
#include "platform/ui/skin_loader.h"

namespace varkon {

void RegisterEditorControls(ui::SkinLoader& loader) {
  loader.RegisterControl(QString::fromLatin1(kLightControlClass),
                         [](QWidget* parent) -> QWidget* { return new CLightControlUI(parent); });
  loader.RegisterSubTree(QString::fromLatin1(kLightSetControlTag), kLightControlSkin);
}

}  // namespace varkon
