#include "app/controls/device_option.h"

#include <QAbstractButton>

#include "platform/ui/control_containers.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_style.h"

namespace varkon {

bool DeviceOptionPicturesFor(int kind, int subType, DeviceOptionPictures* pictures) {
  QString base;
  switch (kind) {
    case 1:
      base = QStringLiteral("kb_device");
      break;
    case 2:
      base = QStringLiteral("ms_device");
      break;
    case 3:
      if (subType == 0) {
        base = QStringLiteral("hard_mp_device");
      } else if (subType == 1) {
        base = QStringLiteral("soft_mp_device");
      } else {
        return false;
      }
      break;
    case 4:
    case 7:
      base = QStringLiteral("hd_device");
      break;
    case 5:
      base = QStringLiteral("hub_device");
      break;
    default:
      base = QStringLiteral("unknow_device");
      break;
  }
  const QString folder = QStringLiteral("common/device_ico/") + base;
  pictures->normal = folder + QStringLiteral("_normal.png");
  pictures->selected = folder + QStringLiteral("_selected.png");
  pictures->synchroNormal = folder + QStringLiteral("_synchro_normal.png");
  pictures->synchroSelected = folder + QStringLiteral("_synchro_selected.png");
  pictures->nameText = base + QStringLiteral("_name_text");
  return true;
}

CDeviceOptionUI::CDeviceOptionUI(QWidget* parent) : QWidget(parent) {
  ui::SetControlClassName(this, kDeviceOptionClass);
  // Until its kind is set the item shows the unknown device.
  DeviceOptionPicturesFor(0, 0, &pictures_);
}

void CDeviceOptionUI::SetKind(int kind, int subType) {
  DeviceOptionPictures pictures;
  if (!DeviceOptionPicturesFor(kind, subType, &pictures)) return;
  kind_ = kind;
  subType_ = subType;
  pictures_ = pictures;
  ApplyPictures();
}

void CDeviceOptionUI::BindTab(const QString& tabLayout, int index) {
  tabLayout_ = tabLayout;
  tabIndex_ = index;
}

void CDeviceOptionUI::SetPowerTab(const QString& tabLayout, int index) {
  powerTabLayout_ = tabLayout;
  powerTabIndex_ = index;
}

void CDeviceOptionUI::SetName(const QString& name) {
  ui::SetText(ui::FindControl(this, QStringLiteral("device_select_name")), name);
}

QString CDeviceOptionUI::Name() const {
  return ui::Text(ui::FindControl(this, QStringLiteral("device_select_name")));
}

QAbstractButton* CDeviceOptionUI::SelectButton() {
  Connect();
  return select_;
}

QAbstractButton* CDeviceOptionUI::SynchroButton() {
  Connect();
  return synchro_;
}

void CDeviceOptionUI::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Connect();
  ApplyPictures();
}

void CDeviceOptionUI::Connect() {
  if (select_.isNull()) {
    select_ =
        qobject_cast<QAbstractButton*>(ui::FindControl(this, QStringLiteral("device_select")));
    if (select_) {
      select_->setCheckable(true);
      connect(select_, &QAbstractButton::toggled, this, [this](bool on) {
        ApplyPictures();
        if (on) ShowPages();
      });
    }
  }
  if (synchro_.isNull()) {
    synchro_ = qobject_cast<QAbstractButton*>(
        ui::FindControl(this, QStringLiteral("synchro_device_select")));
    if (synchro_) {
      synchro_->setCheckable(true);
      connect(synchro_, &QAbstractButton::toggled, this, [this] { ApplyPictures(); });
    }
  }
}

void CDeviceOptionUI::ApplyPictures() {
  Connect();
  if (select_) {
    ui::SetBackgroundImage(select_, select_->isChecked() ? pictures_.selected : pictures_.normal);
  }
  if (synchro_) {
    ui::SetBackgroundImage(
        synchro_, synchro_->isChecked() ? pictures_.synchroSelected : pictures_.synchroNormal);
  }
}

void CDeviceOptionUI::ShowPages() {
  QWidget* top = window();
  if (!tabLayout_.isEmpty() && tabIndex_ >= 0) {
    ui::SelectPage(ui::FindControl(top, tabLayout_), tabIndex_);
  }
  if (!powerTabLayout_.isEmpty() && powerTabIndex_ >= 0) {
    ui::SelectPage(ui::FindControl(top, powerTabLayout_), powerTabIndex_);
  }
}

}  // namespace varkon
