#include "app/controls/register_custom_controls.h"

#include "app/controls/audio_record.h"
#include "app/controls/circle_progress.h"
#include "app/controls/color_palette.h"
#include "app/controls/combo_edit_element.h"
#include "app/controls/device_key_button.h"
#include "app/controls/device_option.h"
#include "app/controls/hand_img_button.h"
#include "app/controls/hand_img_select_button.h"
#include "app/controls/list_items.h"
#include "app/controls/mp_device_power.h"
#include "app/controls/redio_macro_button.h"
#include "app/controls/select_panel.h"
#include "platform/ui/skin_loader.h"

namespace varkon {

namespace {

template <typename Control>
void Register(ui::SkinLoader& loader, const char* tag) {
  loader.RegisterControl(QString::fromLatin1(tag),
                         [](QWidget* parent) -> QWidget* { return new Control(parent); });
}

}  // namespace

void RegisterCustomControls(ui::SkinLoader& loader) {
  Register<CCircleProgressUI>(loader, kCircleProgressClass);
  Register<CSelectPanelUI>(loader, kSelectPanelClass);
  Register<CDeviceKeyButtonUI>(loader, kDeviceKeyButtonClass);
  Register<CCloudShareListItemUI>(loader, kCloudShareListItemClass);
  Register<CUpdateInfoListItemUI>(loader, kUpdateInfoListItemClass);
  Register<CDeviceOptionUI>(loader, kDeviceOptionClass);
  Register<CMpDevicePowerUI>(loader, kMpDevicePowerClass);
  Register<CComboEditContainerElementUI>(loader, kComboEditContainerElementClass);
  Register<CHandImgButtonUI>(loader, kHandImgButtonClass);
  Register<CHandImgSelectButtonUI>(loader, kHandImgSelectButtonClass);
  Register<CRedioMacroButtonUI>(loader, kRedioMacroButtonClass);
  Register<CAudioRecordUI>(loader, kAudioRecordClass);
  Register<CColorPaletteUI>(loader, kColorPaletteClass);
}

}  // namespace varkon
