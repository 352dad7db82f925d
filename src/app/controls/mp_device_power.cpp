#include "app/controls/mp_device_power.h"

#include <QMouseEvent>
#include <algorithm>
#include <array>
#include <cstring>

#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_values.h"
#include "platform/ui/notifier.h"

namespace varkon {

CMpDevicePowerUI::CMpDevicePowerUI(QWidget* parent) : QWidget(parent) {
  ui::SetControlClassName(this, kMpDevicePowerClass);
}

void CMpDevicePowerUI::SetKind(int kind, int subType) {
  kind_ = kind;
  subType_ = subType;
}

namespace {

void FindOnce(const QWidget* root, QPointer<QWidget>& part, const char* name) {
  if (part.isNull()) part = ui::FindControl(root, QString::fromLatin1(name));
}

}  // namespace

bool CMpDevicePowerUI::FindParts() {
  FindOnce(this, value_, "device_power_value");
  FindOnce(this, wirelessLogo_, "device_wuxian_logo");
  FindOnce(this, progress_, "device_Power_progress");
  FindOnce(this, status_, "device_power_status");
  FindOnce(this, phoneType_, "device_phone_type");
  return value_ && wirelessLogo_ && progress_ && status_ && phoneType_;
}

void CMpDevicePowerUI::SetPowerInfo(const uint8_t* block, size_t length) {
  std::array<uint8_t, kPowerBlockBytes> bytes{};
  if (block != nullptr) std::memcpy(bytes.data(), block, std::min(length, bytes.size()));
  if (!FindParts()) return;

  const int level = bytes[0];
  ui::SetValue(progress_, 100 - level);
  ui::SetText(value_, QStringLiteral("%1%").arg(level));

  const bool wireless = bytes[3] != 0;
  if (kind_ == 1 || kind_ == 2) ui::SetVisible(wirelessLogo_, wireless);

  switch (bytes[1]) {
    case 0:
      ui::SetVisible(progress_, true);
      ui::SetBackgroundImage(status_, QStringLiteral("file='power/powered.png'"));
      break;
    case 1:
      ui::SetVisible(progress_, !wireless);
      ui::SetBackgroundImage(status_, QStringLiteral("file='power/powering.png'"));
      break;
    case 2:
      ui::SetVisible(progress_, true);
      ui::SetBackgroundImage(status_, QStringLiteral("file='power/power.png'"));
      break;
    default:
      break;
  }

  if (kind_ == 3) {
    QString phone;
    switch (bytes[5]) {
      case 1:
        phone = QStringLiteral("Phone_type_iphone");
        break;
      case 2:
        phone = QStringLiteral("Phone_type_samsung");
        break;
      case 3:
        phone = QStringLiteral("Phone_type_other");
        break;
      default:
        phone = QStringLiteral("Phone_type_no_device");
        break;
    }
    ui::SetToolTip(phoneType_, phone);
    ui::SetBackgroundImage(phoneType_, QStringLiteral("file='power/%1.png'").arg(phone));
  }
}

void CMpDevicePowerUI::ShowPowerLayout(bool show) {
  FindOnce(this, layout_, "device_power_Layout");
  if (layout_) ui::SetVisible(layout_, show);
}

void CMpDevicePowerUI::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && isEnabled() &&
      rect().contains(event->position().toPoint())) {
    ui::RaiseNotification(this, "selectchanged");
  }
}

}  // namespace varkon
