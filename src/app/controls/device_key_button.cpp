#include "app/controls/device_key_button.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>
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
  Repaint();
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
  QPainter painter(this);
  const QRect area = rect();
  // A light cell is only its light: the button face under it is transparent. Any other button
  // draws its face (through its style sheet) once per look and then reuses the picture: the
  // cells under it repaint it 20 times a second.
  if (!lightCell_) painter.drawPixmap(0, 0, Face());
  const QImage& light = LightPicture();
  if (!light.isNull()) painter.drawImage(area.topLeft(), light);
  if (!keyUnsetHidden_) {
    DrawControlImage(painter, area, keyUnsetPicture_.Get(this, keyUnsetImage_), keyUnsetImage_);
  }
  if (!keySetHidden_) {
    DrawControlImage(painter, area, keySetPicture_.Get(this, keySetImage_), keySetImage_);
  }
}

const QImage& CDeviceKeyButtonUI::LightPicture() {
  static const QImage kNone;
  if (!lightShown_) return kNone;
  if (lightSource_.isNull() || lightSourceImage_ != lightImage_) {
    lightSource_ = lightPicture_.Get(this, lightImage_);
    lightSourceImage_ = lightImage_;
    lightBase_ = QImage();
  }
  if (lightSource_.isNull()) return kNone;
  const QSize cell = size();
  if (lightBase_.isNull() || lightBase_.size() != cell) {
    const QRect source = ImageSourceOf(lightImage_);
    const QRect part =
        source.isValid() ? source.intersected(lightSource_.rect()) : lightSource_.rect();
    lightBase_ = lightSource_.copy(part)
                     .scaled(cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    lightBaseKey_ = lightBase_.cacheKey();
  }
  // The colour bytes come in the device's order: first byte red, then green, then blue.
  const uint32_t rgb =
      ((lightColour_ & 0xFFu) << 16) | (lightColour_ & 0xFF00u) | ((lightColour_ >> 16) & 0xFFu);
  if (lightTinted_.isNull() || tintedBaseKey_ != lightBaseKey_ || tintedColour_ != rgb ||
      tintedAlpha_ != lightAlpha_) {
    ui::TintImageInto(lightBase_, rgb, lightAlpha_, lightTinted_);
    tintedBaseKey_ = lightBaseKey_;
    tintedColour_ = rgb;
    tintedAlpha_ = lightAlpha_;
  }
  return lightTinted_;
}

void CDeviceKeyButtonUI::SetDrawnByPanel(bool drawn) {
  drawnByPanel_ = drawn;
  setVisible(!drawn);
  if (drawn && parentWidget()) parentWidget()->update(geometry());
}

void CDeviceKeyButtonUI::Repaint() {
  // A cell its panel draws is repainted with the panel, which its owner asks for once a frame
  // (one rectangle clips far cheaper than a region of a hundred cells).
  if (!drawnByPanel_) update();
}

QPixmap CDeviceKeyButtonUI::Face() {
  const FaceKey key{size(),      text(),     isDown(),  isChecked(),       underMouse(),
                    isEnabled(), hasFocus(), selected_, selectedProperty_, devicePixelRatioF()};
  if (!face_.isNull() && key == faceKey_) return face_;
  QPixmap face(size() * key.pixelRatio);
  face.setDevicePixelRatio(key.pixelRatio);
  face.fill(Qt::transparent);
  // Drawn as the button's own paint event draws it (its style sheet included), straight into the
  // picture: rendering the widget from inside its paint event is refused by Qt as a recursive
  // repaint, which left the face empty.
  {
    QPainter painter(&face);
    QStyleOptionButton option;
    initStyleOption(&option);
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
  }
  face_ = face;
  faceKey_ = key;
  return face_;
}

bool CDeviceKeyButtonUI::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::DynamicPropertyChange:
      face_ = QPixmap();  // a new look: the face is drawn again
      lightCell_ = property("lightcell").toBool();
      selectedProperty_ = property("selected").toBool();
      break;
    default:
      break;
  }
  return QPushButton::event(event);
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
