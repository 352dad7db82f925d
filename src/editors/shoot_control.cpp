#include "editors/shoot_control.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <algorithm>

#include "platform/ui/control_find.h"
#include "platform/ui/language_text.h"
#include "platform/ui/notifier.h"
#include "profile/recoil_file.h"

namespace varkon {

namespace {

void SetCheckedQuietly(QWidget* widget, bool on) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    ui::QuietNotifications quiet;
    button->setChecked(on);
  }
}

bool IsChecked(const QWidget* widget) {
  const auto* button = qobject_cast<const QAbstractButton*>(widget);
  return button && button->isChecked();
}

QString EditText(const QWidget* widget) {
  const auto* edit = qobject_cast<const QLineEdit*>(widget);
  return edit ? edit->text() : QString();
}

}  // namespace

CShootControlUI::CShootControlUI(QWidget* parent) : QWidget(parent) {}

QWidget* CShootControlUI::Control(const std::string& name) const {
  QPointer<QWidget>& found = controls_[name];
  if (found.isNull()) found = ui::FindControl(this, QString::fromStdString(name));
  return found.data();
}

void CShootControlUI::InitShootPanel() {
  if (!shootFolder_.empty()) RestoreMissingGuns(shootFolder_, shootDefaultFolder_);
}

void CShootControlUI::SelectGun(int gun) {
  currentGun_ = std::clamp(gun, 0, kRecoilGunCount - 1);
  for (int g = 0; g < kRecoilGunCount; ++g) {
    SetCheckedQuietly(Control("shoot_gun_op_" + std::to_string(g)), g == currentGun_);
  }
  if (auto* pages = qobject_cast<QStackedWidget*>(Control("shoot_image_display_switch"))) {
    if (currentGun_ < pages->count()) pages->setCurrentIndex(currentGun_);
  }
}

void CShootControlUI::SelectBullet(int bullet) {
  currentBullet_ = std::clamp(bullet, 0, kRecoilBulletCount - 1);
  for (int b = 0; b < kRecoilBulletCount; ++b) {
    SetCheckedQuietly(Control("bullet_op_" + std::to_string(b)), b == currentBullet_);
  }
  if (auto* index = qobject_cast<QLabel*>(Control("bullet_select_index"))) {
    index->setText(QString::number(currentBullet_ + 1));
  }
  LoadCurrentBullet();
}

void CShootControlUI::LoadCurrentBullet() {
  if (currentBullet_ < 0) return;
  const RecoilBullet bullet = LoadBullet(shootFolder_, currentGun_, currentBullet_);
  SetCheckedQuietly(Control("bullet_x_check"), bullet.left);
  SetCheckedQuietly(Control("bullet_y_check"), bullet.up);
  UpdateXCaption();
  UpdateYCaption();
  const std::pair<const char*, int> values[] = {{"bullet_x_eidt", bullet.x},
                                                {"bullet_y_eidt", bullet.y},
                                                {"bullet_delay_eidt", bullet.delay}};
  for (const auto& [name, value] : values) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(name))) edit->setText(QString::number(value));
  }
}

bool CShootControlUI::SaveCurrentBullet() {
  if (currentBullet_ < 0 || shootFolder_.empty()) return false;
  const RecoilBullet bullet = BulletFromTexts(
      IsChecked(Control("bullet_x_check")), EditText(Control("bullet_x_eidt")).toStdString(),
      IsChecked(Control("bullet_y_check")), EditText(Control("bullet_y_eidt")).toStdString(),
      EditText(Control("bullet_delay_eidt")).toStdString());
  return SaveBullet(shootFolder_, currentGun_, currentBullet_, bullet);
}

bool CShootControlUI::ResetCurrentGun() {
  const bool reset = ResetGun(shootFolder_, shootDefaultFolder_, currentGun_);
  SelectBullet(currentBullet_);
  return reset;
}

bool CShootControlUI::ImportGun(const std::string& path) {
  if (path.empty() || shootFolder_.empty()) return false;
  const bool imported = varkon::ImportGun(shootFolder_, currentGun_, path);
  SelectBullet(currentBullet_);
  return imported;
}

bool CShootControlUI::ExportGun(const std::string& path) const {
  return !path.empty() && varkon::ExportGun(shootFolder_, currentGun_, path);
}

void CShootControlUI::UpdateXCaption() {
  if (auto* check = qobject_cast<QAbstractButton*>(Control("bullet_x_check"))) {
    check->setText(QString::fromStdString(LanguageText(RecoilXCaption(check->isChecked()))));
  }
}

void CShootControlUI::UpdateYCaption() {
  if (auto* check = qobject_cast<QAbstractButton*>(Control("bullet_y_check"))) {
    check->setText(QString::fromStdString(LanguageText(RecoilYCaption(check->isChecked()))));
  }
}

CShootControlUI* FindShootControl(QWidget* root) {
  if (root == nullptr) return nullptr;
  if (auto* panel = qobject_cast<CShootControlUI*>(root)) return panel;
  return root->findChild<CShootControlUI*>();
}

}  // namespace varkon
