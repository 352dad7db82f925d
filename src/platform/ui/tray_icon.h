// The notification-area icon. Mouse use on it is posted to a window as its callback message
// with the icon's id in wParam and the mouse message in lParam: 514 for a left click (button
// released), 517 for a right click, 515 for a double click, 520 for a middle click.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/ui/message_bus.h"

class QIcon;
class QString;
class QSystemTrayIcon;

namespace varkon::ui {

inline constexpr uint32_t kTrayCallbackMessage = 1025;
inline constexpr intptr_t kTrayLeftButtonUp = 514;
inline constexpr intptr_t kTrayLeftDoubleClick = 515;
inline constexpr intptr_t kTrayRightButtonUp = 517;
inline constexpr intptr_t kTrayMiddleButtonUp = 520;

class TrayIcon {
 public:
  explicit TrayIcon(MessageTarget target, uint32_t callbackMessage = kTrayCallbackMessage,
                    uintptr_t id = 1);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void SetIcon(const QIcon& icon);
  // An image file; false when it holds no image.
  bool SetIconFile(const QString& path);
  void SetToolTip(const QString& text);
  void Show();
  void Hide();
  bool IsVisible() const;
  // Whether the desktop shows notification-area icons at all.
  static bool Available();

  QSystemTrayIcon* icon() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace varkon::ui
