// The mouse's DPI page in the notification routing: the stage sliders (dragged and settled), the
// typed DPI values, the stage in use and the stages switched on. The report rate's row is shared
// with the keyboard (main_window_device_routes.cpp).
#include <QPointer>
#include <cstdio>

#include "app/color_select_wnd.h"
#include "app/file_dialog.h"
#include "app/main_window.h"
#include "app/msg_wnd.h"
#include "devices/panels/mouse_device.h"
#include "editors/colour_options.h"
#include "editors/shoot_control.h"
#include "platform/ui/program_folder.h"
#include "platform/ui/skin_loader.h"
#include "profile/data_folders.h"

namespace varkon {

void CMainWnd::BuildMouseRoutes() {
  router_.OnPrefix("valuechanged", "DPI_slider_", [this](const RoutedNotification& n, int i) {
    if (CTarnwiseMouseDevice* mouse = CurrentMouse()) {
      mouse->OnDpiSlider(i, static_cast<int>(n.wParam));
    }
  });
  router_.OnPrefix("movevaluechanged", "DPI_slider_", [this](const RoutedNotification& n, int i) {
    if (CTarnwiseMouseDevice* mouse = CurrentMouse()) {
      mouse->OnDpiSliderMoving(i, static_cast<int>(n.wParam));
    }
  });
  const auto typed = [this](const RoutedNotification&, int i) {
    if (CTarnwiseMouseDevice* mouse = CurrentMouse()) mouse->OnDpiEdit(i);
  };
  router_.OnPrefix("return", "DPI_edit_", typed);
  router_.OnPrefix("killfocus", "DPI_edit_", typed);
  router_.OnPrefix("selectchanged", "DPI_select_check_",
                   [this](const RoutedNotification& n, int i) {
                     CTarnwiseMouseDevice* mouse = CurrentMouse();
                     if (mouse && n.wParam == 1) mouse->OnDpiSelect(i);
                   });
  router_.OnNames("valuechanged",
                  {"pointer_speed_slider", "scroll_speed_slider", "double_click_slider"},
                  [this](const RoutedNotification& n) {
                    if (CTarnwiseMouseDevice* mouse = CurrentMouse()) {
                      mouse->OnSystemSlider(n.name, static_cast<int>(n.wParam));
                    }
                  });
  router_.OnNames("click", {"pointer_precision_check", "scrolls_page_check"},
                  [this](const RoutedNotification& n) {
                    if (CTarnwiseMouseDevice* mouse = CurrentMouse()) {
                      mouse->OnSystemCheck(n.name, n.wParam == 1);
                    }
                  });
  // A stage's colour, chosen in the colour dialog; nothing changes unless it is confirmed.
  router_.OnPrefix("click", "DPI_color_option_", [this](const RoutedNotification&, int i) {
    QPointer<CTarnwiseMouseDevice> mouse(CurrentMouse());
    if (!mouse || i < 0 || i >= MouseLogic::kStageCount) return;
    const DpiStage stage = mouse->Mouse().Stage(i);
    CColorSelectWnd dialog(this, JoinPath(UserDataRoot(), kColourOptionFile),
                           JoinPath(DefaultDataFolder(ui::ProgramFolder()), kColourOptionFile));
    std::string error;
    if (!dialog.Create(error, loader_ ? loader_->skinFolder() : std::string())) {
      std::fprintf(stderr, "varkon: %s\n", error.c_str());
      return;
    }
    dialog.SetCurrentColour(0xFF000000u | static_cast<uint32_t>(stage.red) << 16 |
                            static_cast<uint32_t>(stage.green) << 8 | stage.blue);
    dialog.EnableMultiColour(false);
    dialog.Centre();
    // The dialog runs its own loop, in which the mouse may go away.
    if (dialog.exec() != 1 || !mouse) return;
    const uint32_t colour = dialog.GetCurrentColour();
    mouse->OnDpiColour(i, static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                       static_cast<uint8_t>(colour));
  });
  // ---- the recoil panel
  const auto recoil = [this]() -> CShootControlUI* {
    CTarnwiseMouseDevice* mouse = CurrentMouse();
    return mouse ? FindShootControl(mouse) : nullptr;
  };
  router_.OnPrefix("selectchanged", "shoot_gun_op_", [recoil](const RoutedNotification& n, int g) {
    CShootControlUI* panel = recoil();
    if (!panel || n.wParam != 1) return;
    panel->SelectGun(g);
    panel->LoadCurrentBullet();
  });
  router_.OnPrefix("selectchanged", "bullet_op_", [recoil](const RoutedNotification& n, int b) {
    CShootControlUI* panel = recoil();
    if (panel && n.wParam == 1) panel->SelectBullet(b);
  });
  router_.OnNames("selectchanged", {"bullet_x_check", "bullet_y_check"},
                  [recoil](const RoutedNotification&) {
                    if (CShootControlUI* panel = recoil()) {
                      panel->UpdateXCaption();
                      panel->UpdateYCaption();
                    }
                  });
  router_.OnName("click", "bullet_selected_prev", [recoil](const RoutedNotification&) {
    if (CShootControlUI* panel = recoil()) panel->PrevBullet();
  });
  router_.OnName("click", "bullet_selected_next", [recoil](const RoutedNotification&) {
    if (CShootControlUI* panel = recoil()) panel->NextBullet();
  });
  router_.OnNames("killfocus", {"bullet_x_eidt", "bullet_y_eidt", "bullet_delay_eidt"},
                  [recoil](const RoutedNotification&) {
                    if (CShootControlUI* panel = recoil()) panel->SaveCurrentBullet();
                  });
  router_.OnName("click", "shootdate_reset_btn", [recoil](const RoutedNotification&) {
    if (CShootControlUI* panel = recoil()) panel->ResetCurrentGun();
  });
  router_.OnName("click", "shootdate_save_btn", [this](const RoutedNotification&) {
    QPointer<CTarnwiseMouseDevice> mouse(CurrentMouse());
    if (!mouse) return;
    mouse->Mouse().WriteRecoil([this, mouse](StatusCode status) {
      if (status != kStatusOk && mouse) {
        ShowMessage(this, "", "message_recoil_not_written", Dpi(), true, kMessageConfirmOnly);
      }
    });
  });
  router_.OnName("click", "shootdate_import_btn", [this, recoil](const RoutedNotification&) {
    if (!recoil()) return;
    const std::optional<std::string> path =
        AskFilePath(this, FileDialogMode::kOpen, {}, kShootFiles);
    // The dialog ran its own loop: the panel is looked up again.
    if (CShootControlUI* panel = recoil(); panel && path) panel->ImportGun(*path);
  });
  router_.OnName("click", "shootdate_export_btn", [this, recoil](const RoutedNotification&) {
    CShootControlUI* panel = recoil();
    if (!panel) return;
    const std::string name = "ShootData_" + std::to_string(panel->CurrentGun()) + ".shoot";
    const std::optional<std::string> path =
        AskFilePath(this, FileDialogMode::kSave, name, kShootFiles);
    panel = recoil();
    if (panel && path && !panel->ExportGun(*path)) {
      ShowMessage(this, "", "message_recoil_export_failed", Dpi(), true, kMessageConfirmOnly);
    }
  });
  router_.OnPrefix("click", "DPI_enable_check_", [this](const RoutedNotification& n, int i) {
    if (CTarnwiseMouseDevice* mouse = CurrentMouse()) mouse->OnDpiEnable(i, n.wParam == 1);
  });
}

}  // namespace varkon
