#include "app/controls/circle_progress.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"

namespace varkon {

int CircleSweepDegrees(int value, int minimum, int maximum) {
  const double span = double(maximum) - double(minimum);
  if (span == 0) return 0;
  const double sweep = double(value) / span * 360.0;
  if (!std::isfinite(sweep)) return 0;
  return int(std::clamp(std::trunc(sweep), -3600.0, 3600.0));
}

CCircleProgressUI::CCircleProgressUI(QWidget* parent) : QProgressBar(parent) {
  ui::SetControlClassName(this, kCircleProgressClass);
  setTextVisible(false);
}

namespace {

QColor ColourOf(uint32_t argb, const QColor& fallback) {
  if (argb == 0) return fallback;
  return QColor::fromRgba(argb);
}

}  // namespace

void CCircleProgressUI::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const QRect area = rect();
  painter.setBrush(ColourOf(ui::BackgroundColour(this), palette().color(QPalette::Window)));
  painter.drawEllipse(area);
  const int sweep = CircleSweepDegrees(value(), minimum(), maximum());
  if (sweep != 0) {
    painter.setBrush(ColourOf(ui::ForegroundColour(this), palette().color(QPalette::Highlight)));
    // Qt counts angles counter-clockwise from three o'clock in 1/16 degree: six o'clock is -90
    // and a clockwise sweep is negative.
    painter.drawPie(area, -90 * 16, -sweep * 16);
  }
  painter.setBrush(Qt::white);
  painter.drawEllipse(
      area.adjusted(kCircleRingWidth, kCircleRingWidth, -kCircleRingWidth, -kCircleRingWidth));
  if (isTextVisible()) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignCenter, text());
  }
}

}  // namespace varkon
