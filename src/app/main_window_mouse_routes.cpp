// The mouse's DPI page in the notification routing: the stage sliders (dragged and settled), the
// typed DPI values, the stage in use and the stages switched on. The report rate's row is shared
// with the keyboard (main_window_device_routes.cpp).
#include "app/main_window.h"
#include "devices/panels/mouse_device.h"

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
  router_.OnPrefix("click", "DPI_enable_check_", [this](const RoutedNotification& n, int i) {
    if (CTarnwiseMouseDevice* mouse = CurrentMouse()) mouse->OnDpiEnable(i, n.wParam == 1);
  });
}

}  // namespace varkon
