#include "app/main_window.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "app/startup.h"
#include "platform/ui/control_find.h"
#include "platform/ui/notifier.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/program_folder.h"
#include "platform/ui/skin_loader.h"
#include "platform/ui/tray_icon.h"

namespace varkon {

MainWindow::MainWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
  setWindowTitle(QString::fromLatin1(kProductName));
  setFixedSize(kMainWindowWidth, kMainWindowHeight);
  bus_.AddHandler(
      [this](const ui::Message& message, intptr_t& result) { return OnMessage(message, result); });
}

MainWindow::~MainWindow() {
  notifier_.reset();
  menu_.reset();
  tray_.reset();
}

bool MainWindow::Create(ui::SkinLoader& loader, const std::string& skinName,
                        const std::string& menuName, std::string& error) {
  std::string loadError;
  QWidget* root = loader.LoadSkin(skinName, this, &loadError);
  if (!root) {
    error = "cannot load the main window skin \"" + skinName + "\": " + loadError;
    return false;
  }
  root_ = root;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(root_);
  notifier_ = std::make_unique<ui::Notifier>(root_);
  notifier_->AddHandler([this](const ui::Notification& n) { OnNotify(n); });

  tray_ = std::make_unique<ui::TrayIcon>(bus_.Target());
  const QString iconPath =
      QString::fromStdString(ui::SkinFilePath(loader.skinFolder(), kTrayIconImage));
  if (tray_->SetIconFile(iconPath)) setWindowIcon(QIcon(iconPath));
  tray_->SetToolTip(QString::fromLatin1(kProductName));

  menu_ = std::make_unique<ui::PopupMenu>(bus_.Target());
  std::string menuError;
  if (menuName.empty() || !menu_->Load(menuName, &menuError, loader.skinFolder())) menu_.reset();
  UpdateMaxButtons();
  return true;
}

void MainWindow::ShowCentred() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  show();
  if (tray_) tray_->Show();
}

void MainWindow::Restore() {
  if (isMinimized() || isMaximized()) showNormal();
  show();
  raise();
  activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) UpdateMaxButtons();
}

void MainWindow::UpdateMaxButtons() {
  if (!root_) return;
  QWidget* maxButton = ui::FindControl(root_, "maxbtn");
  QWidget* restoreButton = ui::FindControl(root_, "restorebtn");
  if (maxButton) maxButton->setVisible(!isMaximized());
  if (restoreButton) restoreButton->setVisible(isMaximized());
}

void MainWindow::OnNotify(const ui::Notification& notification) {
  if (notification.type != "click") return;
  const QString name = QString::fromStdString(notification.name).toLower();
  if (name == "closebtn") {
    close();
  } else if (name == "minbtn") {
    showMinimized();
  } else if (name == "maxbtn") {
    showMaximized();
  } else if (name == "restorebtn") {
    showNormal();
  }
}

bool MainWindow::OnMessage(const ui::Message& message, intptr_t& result) {
  result = 0;
  if (message.number == RegisterStartupMessages().instance) {
    Restore();
    return true;
  }
  if (message.number == ui::kTrayCallbackMessage) {
    if (message.lParam == ui::kTrayLeftButtonUp || message.lParam == ui::kTrayLeftDoubleClick) {
      Restore();
    } else if (message.lParam == ui::kTrayRightButtonUp && menu_) {
      menu_->Show(QCursor::pos(), ui::kMenuAlignLeft | ui::kMenuAlignBottom);
    }
    return true;
  }
  if (message.number == ui::kMenuCommandMessage) {
    if (QString::fromStdString(message.name).compare("exit", Qt::CaseInsensitive) == 0 && onExit_) {
      onExit_();
    }
    return true;
  }
  return false;
}

}  // namespace varkon
