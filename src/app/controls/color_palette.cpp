#include "app/controls/color_palette.h"

#include <QColor>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "platform/ui/control_find.h"
#include "platform/ui/notifier.h"

namespace varkon {

CColorPaletteUI::CColorPaletteUI(QWidget* parent) : QWidget(parent) {
  ui::SetControlClassName(this, kColorPaletteClass);
}

uint32_t CColorPaletteUI::SelectColor() const {
  return QColor::fromHsv(hue_, saturation_, value_).rgb() | 0xFF000000u;
}

void CColorPaletteUI::SetSelectColor(uint32_t argb) {
  const QColor colour = QColor::fromRgb(QRgb(argb | 0xFF000000u));
  int hue = 0, saturation = 0, value = 0;
  colour.getHsv(&hue, &saturation, &value);
  // Greys have no hue; keep the one shown.
  if (hue >= 0) hue_ = hue;
  saturation_ = saturation;
  value_ = value;
  update();
}

void CColorPaletteUI::PickColor(uint32_t argb) {
  const uint32_t before = SelectColor();
  SetSelectColor(argb);
  const uint32_t after = SelectColor();
  if (after != before) ui::RaiseNotification(this, "colorchanged", after);
}

QRect CColorPaletteUI::FieldRect() const {
  const int height = std::max(1, this->height() - kPaletteBarHeight - kPaletteGap);
  return QRect(0, 0, std::max(1, width()), height);
}

QRect CColorPaletteUI::BarRect() const {
  const QRect field = FieldRect();
  return QRect(0, field.bottom() + 1 + kPaletteGap, std::max(1, width()), kPaletteBarHeight);
}

void CColorPaletteUI::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  field_ = QImage();
}

void CColorPaletteUI::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect field = FieldRect();
  if (field_.size() != field.size()) {
    // Hue across, saturation from full at the top to none at the bottom, at full brightness.
    field_ = QImage(field.size(), QImage::Format_RGB32);
    for (int y = 0; y < field.height(); ++y) {
      const int saturation = 255 - y * 255 / std::max(1, field.height() - 1);
      auto* line = reinterpret_cast<QRgb*>(field_.scanLine(y));
      for (int x = 0; x < field.width(); ++x) {
        const int hue = x * 359 / std::max(1, field.width() - 1);
        line[x] = QColor::fromHsv(hue, saturation, 255).rgb();
      }
    }
  }
  painter.drawImage(field.topLeft(), field_);
  const QRect bar = BarRect();
  QLinearGradient gradient(bar.topLeft(), bar.topRight());
  gradient.setColorAt(0, Qt::black);
  gradient.setColorAt(1, QColor::fromHsv(hue_, saturation_, 255));
  painter.fillRect(bar, gradient);
  // Markers of the selection: a ring in the field, a tick on the bar.
  const int x = hue_ * std::max(1, field.width() - 1) / 359;
  const int y = (255 - saturation_) * std::max(1, field.height() - 1) / 255;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::white, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(QPoint(x, y), 4, 4);
  const int tick = bar.left() + value_ * std::max(1, bar.width() - 1) / 255;
  painter.drawLine(tick, bar.top(), tick, bar.bottom());
}

void CColorPaletteUI::PickAt(const QPoint& at) {
  const uint32_t before = SelectColor();
  if (drag_ == Drag::Field) {
    const QRect field = FieldRect();
    const int x = std::clamp(at.x(), 0, field.width() - 1);
    const int y = std::clamp(at.y(), 0, field.height() - 1);
    hue_ = x * 359 / std::max(1, field.width() - 1);
    saturation_ = 255 - y * 255 / std::max(1, field.height() - 1);
  } else if (drag_ == Drag::Bar) {
    const QRect bar = BarRect();
    const int x = std::clamp(at.x() - bar.left(), 0, bar.width() - 1);
    value_ = x * 255 / std::max(1, bar.width() - 1);
  } else {
    return;
  }
  update();
  const uint32_t after = SelectColor();
  if (after != before) ui::RaiseNotification(this, "colorchanged", after);
}

void CColorPaletteUI::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  if (event->button() != Qt::LeftButton || !isEnabled()) return;
  const QPoint at = event->position().toPoint();
  if (FieldRect().contains(at)) {
    drag_ = Drag::Field;
  } else if (BarRect().contains(at)) {
    drag_ = Drag::Bar;
  } else {
    return;
  }
  PickAt(at);
}

void CColorPaletteUI::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  PickAt(event->position().toPoint());
}

void CColorPaletteUI::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) drag_ = Drag::None;
}

}  // namespace varkon
