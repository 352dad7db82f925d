#include "app/controls/device_key_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/ui/control_find.h"
#include "platform/ui/notifier.h"
#include "platform/ui/tint_painting.h"

namespace varkon {

CDeviceKeyButtonUI::CDeviceKeyButtonUI(QWidget* parent) : QPushButton(parent) {
  ui::SetControlClassName(this, kDeviceKeyButtonClass);
}

void CDeviceKeyButtonUI::SetLight(uint32_t colour, int alpha, bool shown) {
  colour &= 0xFFFFFFu;
  alpha = std::clamp(alpha, 0, 255);
  // The preview sets every cell 20 times a second; only a change is worth a repaint.
  if (colour == lightColour_ && alpha == lightAlpha_ && shown == lightShown_) return;
  lightColour_ = colour;
  lightAlpha_ = alpha;
  lightShown_ = shown;
  update();
}

void CDeviceKeyButtonUI::SetKeySetHidden(bool hidden) {
  if (hidden == keySetHidden_) return;
  keySetHidden_ = hidden;
  update();
}

void CDeviceKeyButtonUI::SetKeyUnsetHidden(bool hidden) {
  if (hidden == keyUnsetHidden_) return;
  keyUnsetHidden_ = hidden;
  update();
}

void CDeviceKeyButtonUI::SetKeyState(bool state) {
  if (state == keyState_) return;
  keyState_ = state;
  update();
}

void CDeviceKeyButtonUI::SetSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  update();
}

void CDeviceKeyButtonUI::setLightImage(const QString& image) {
  lightImage_ = image;
  update();
}

void CDeviceKeyButtonUI::setKeySetImage(const QString& image) {
  keySetImage_ = image;
  update();
}

void CDeviceKeyButtonUI::setKeyUnsetImage(const QString& image) {
  keyUnsetImage_ = image;
  update();
}

QString CDeviceKeyButtonUI::nameTextColourText() const {
  return QStringLiteral("#%1").arg(nameTextColour_, 6, 16, QLatin1Char('0'));
}

void CDeviceKeyButtonUI::setNameTextColourText(const QString& text) {
  QString digits = text.trimmed();
  if (digits.startsWith(QLatin1Char('#'))) digits = digits.mid(1);
  bool ok = false;
  const uint value = digits.toUInt(&ok, 16);
  if (ok) nameTextColour_ = value;
}

void CDeviceKeyButtonUI::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  QPainter painter(this);
  const QRect area = rect();
  if (lightShown_) {
    const QImage& light = lightPicture_.Get(this, lightImage_);
    if (!light.isNull()) {
      // The colour bytes come in the device's order: first byte red, then green, then blue.
      const uint32_t rgb = ((lightColour_ & 0xFFu) << 16) | (lightColour_ & 0xFF00u) |
                           ((lightColour_ >> 16) & 0xFFu);
      ui::DrawTintedImage(painter, area, light, ImageSourceOf(lightImage_), rgb, lightAlpha_);
    }
  }
  if (!keyUnsetHidden_) {
    DrawControlImage(painter, area, keyUnsetPicture_.Get(this, keyUnsetImage_), keyUnsetImage_);
  }
  if (!keySetHidden_) {
    DrawControlImage(painter, area, keySetPicture_.Get(this, keySetImage_), keySetImage_);
  }
}

void CDeviceKeyButtonUI::mouseDoubleClickEvent(QMouseEvent* event) {
  // The framework button presses and captures; the double click is reported on top.
  QPushButton::mouseDoubleClickEvent(event);
  if (isEnabled() && rect().contains(event->position().toPoint())) {
    setDown(true);
    ui::RaiseNotification(this, "dbclick");
    update();
  }
}

}  // namespace varkon
