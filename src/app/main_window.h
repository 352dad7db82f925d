// The program's main window: a frameless 800 × 572 window built from the "XML_MAIN" skin, its
// title-bar buttons, and its notification-area icon. Closing it hides it to the tray; the
// tray menu's "exit" ends the program.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/message_bus.h"

namespace varkon {
namespace ui {
class Notifier;
class PopupMenu;
class SkinLoader;
class TrayIcon;
struct Notification;
}  // namespace ui

inline constexpr int kMainWindowWidth = 800;
inline constexpr int kMainWindowHeight = 572;
inline constexpr const char* kMainSkinKey = "XML_MAIN";
inline constexpr const char* kTrayMenuKey = "XML_MENU";
inline constexpr const char* kTrayIconImage = "image/logo.svg";

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  MainWindow();
  ~MainWindow() override;

  // Builds the window from the skin `skinName` with `loader` and the tray menu from `menuName`.
  // False with `error` set when the main skin cannot be loaded (a missing menu only leaves the
  // tray without one).
  bool Create(ui::SkinLoader& loader, const std::string& skinName, const std::string& menuName,
              std::string& error);
  // Centres the window on its screen, shows it and shows the tray icon.
  void ShowCentred();
  // Shows the window again, restored when minimised, and brings it to the front.
  void Restore();

  // Called when the user asks to end the program (the tray's "exit").
  void SetExitHandler(std::function<void()> handler) { onExit_ = std::move(handler); }

  ui::MessageBus& bus() { return bus_; }
  QWidget* skinRoot() const { return root_; }
  ui::TrayIcon* tray() const { return tray_.get(); }
  ui::PopupMenu* trayMenu() const { return menu_.get(); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void OnNotify(const ui::Notification& notification);
  bool OnMessage(const ui::Message& message, intptr_t& result);
  void UpdateMaxButtons();

  ui::MessageBus bus_;
  QWidget* root_ = nullptr;
  std::unique_ptr<ui::Notifier> notifier_;
  std::unique_ptr<ui::TrayIcon> tray_;
  std::unique_ptr<ui::PopupMenu> menu_;
  std::function<void()> onExit_;
};

}  // namespace varkon
