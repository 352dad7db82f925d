#include "editors/device_profile.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStandardItemModel>

#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_values.h"
#include "profile/profile_index.h"
#include "profile/profile_index_ui.h"

namespace varkon {

namespace {

constexpr const char* kCombo = "device_profile_combo";
constexpr const char* kNameEdit = "device_profile_name_edit";
constexpr const char* kMenu = "profile_menu_layout";
constexpr int kMenuGap = 4;

}  // namespace

CDeviceProfileUI::CDeviceProfileUI(QWidget* parent) : QWidget(parent) {}

QWidget* CDeviceProfileUI::Control(const char* name) const {
  const QString wanted = QString::fromLatin1(name);
  if (menu_ && menu_->objectName() == wanted) return menu_;
  if (QWidget* found = ui::FindControl(this, wanted)) return found;
  // The menu lives over the device panel once it has been opened.
  return menu_ ? ui::FindControl(menu_, wanted) : nullptr;
}

void CDeviceProfileUI::Attach(QWidget* host, ProfileIndex* index) {
  host_ = host;
  index_ = index;
  if (!menu_) menu_ = ui::FindControl(this, QString::fromLatin1(kMenu));
  if (menu_) menu_->hide();
}

void CDeviceProfileUI::ShowList() {
  auto* combo = qobject_cast<QComboBox*>(Control(kCombo));
  if (!combo || !index_) return;
  const QSignalBlocker block(combo);
  combo->clear();
  for (const std::string& name : index_->Names()) {
    const QString text = QString::fromStdString(name);
    combo->addItem(text);
    const int row = combo->count() - 1;
    combo->setItemData(row, text, Qt::ToolTipRole);
    combo->setItemData(row, QSize(0, kProfileItemHeight), Qt::SizeHintRole);
  }
  combo->setCurrentIndex(index_->GetSelectedIndex());
  combo->setToolTip(combo->currentText());
  SetNameEditText(QString::fromStdString(index_->GetNameEditText()));
  HideUnusedTabs();
}

int CDeviceProfileUI::GetSelectedIndex() const {
  const QWidget* combo = Control(kCombo);
  return combo ? ui::ComboIndex(combo) : -1;
}

void CDeviceProfileUI::SelectEntry(int index) {
  auto* combo = qobject_cast<QComboBox*>(Control(kCombo));
  if (!combo || index < 0 || index >= combo->count()) return;
  ui::SetComboIndex(combo, index);
  combo->setToolTip(combo->currentText());
  SetNameEditText(combo->currentText());
}

QString CDeviceProfileUI::GetNameEditText() const {
  const QWidget* edit = Control(kNameEdit);
  return edit ? ui::Text(edit) : QString();
}

void CDeviceProfileUI::SetNameEditText(const QString& text) {
  if (QWidget* edit = Control(kNameEdit)) ui::SetText(edit, text);
}

void CDeviceProfileUI::ShowProfileMenu(bool visible) {
  if (!menu_) return;
  if (!visible) {
    menu_->hide();
    return;
  }
  // The menu is larger than the panel's strip, so it opens over the device panel, under the list.
  if (host_ && menu_->parentWidget() != host_) menu_->setParent(host_);
  QWidget* over = host_ ? host_.data() : parentWidget();
  const QPoint below = over ? mapTo(over, QPoint(0, height() + kMenuGap)) : QPoint(0, height());
  menu_->adjustSize();
  menu_->move(below);
  menu_->show();
  menu_->raise();
}

bool CDeviceProfileUI::IsProfileMenuVisible() const {
  return menu_ && menu_->isVisible();
}

void CDeviceProfileUI::SelectOperationTab(int n) {
  QWidget* scope = host_ ? host_.data() : this;
  for (int tab = 1; tab <= kOperationTabCount; ++tab) {
    QWidget* button = ui::FindControl(scope, QString::fromLatin1(OperationTabName(tab)));
    if (button) ui::SetChecked(button, tab == n);
  }
  if (index_) index_->SelectOperationTab(n);
}

void CDeviceProfileUI::HideUnusedTabs() {
  if (!index_ || !host_) return;
  const OperationTabVisibility tabs = OperationTabsFor(index_->DeviceTypeNumber());
  for (const std::string& name : tabs.hidden) {
    if (QWidget* tab = ui::FindControl(host_, QString::fromStdString(name))) tab->hide();
  }
  for (const std::string& name : tabs.shown) {
    if (QWidget* tab = ui::FindControl(host_, QString::fromStdString(name))) tab->show();
  }
}

CDeviceProfileUI* FindProfilePanel(QWidget* root) {
  if (root == nullptr) return nullptr;
  if (auto* panel = qobject_cast<CDeviceProfileUI*>(root)) return panel;
  return root->findChild<CDeviceProfileUI*>();
}

}  // namespace varkon
