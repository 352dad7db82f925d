#include "app/controls/redio_macro_button.h"

#include <QPainter>

#include "platform/ui/control_find.h"
#include "platform/ui/control_timers.h"

namespace varkon {

namespace {
constexpr int kFadeLow = 80;
constexpr int kFadeHigh = 255;
constexpr int kFadeStep = 20;
}  // namespace

CRedioMacroButtonUI::CRedioMacroButtonUI(QWidget* parent) : QPushButton(parent) {
  ui::SetControlClassName(this, kRedioMacroButtonClass);
}

void CRedioMacroButtonUI::SetPulse(bool on) {
  pulsing_ = on;
  if (on) {
    ui::ControlTimers::Start(
        this, kRedioPulseTimer, kRedioPulsePeriodMs, ui::ControlTimers::Repeat::Repeating,
        [](QWidget* control, int) { static_cast<CRedioMacroButtonUI*>(control)->Step(); });
  } else {
    ui::ControlTimers::Stop(this, kRedioPulseTimer);
    normalImage_.clear();
    update();
  }
}

void CRedioMacroButtonUI::Step() {
  if (!pulsing_ || redioImage_.isEmpty()) return;
  fade_ += falling_ ? -kFadeStep : kFadeStep;
  if (fade_ <= kFadeLow) {
    fade_ = kFadeLow;
    falling_ = false;
  } else if (fade_ >= kFadeHigh) {
    fade_ = kFadeHigh;
    falling_ = true;
  }
  normalImage_ = QStringLiteral("res='%1' fade='%2'").arg(redioImage_).arg(fade_);
  update();
}

void CRedioMacroButtonUI::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  if (normalImage_.isEmpty()) return;
  // The pulsing picture is the redio image drawn at the fade's opacity.
  QPainter painter(this);
  painter.setOpacity(fade_ / 255.0);
  DrawControlImage(painter, rect(), picture_.Get(this, redioImage_), redioImage_);
}

}  // namespace varkon
