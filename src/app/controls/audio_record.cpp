#include "app/controls/audio_record.h"

#include <QPainter>
#include <algorithm>

#include "platform/ui/control_find.h"

namespace varkon {

CAudioRecordUI::CAudioRecordUI(QWidget* parent) : QLabel(parent) {
  ui::SetControlClassName(this, kAudioRecordClass);
  for (int i = 0; i < 256; ++i) levels_[i] = i;
}

void CAudioRecordUI::SetLevel(int index, int32_t level) {
  if (index < 0 || index >= kAudioLevelCount) return;
  levels_[index] = level;
  update();
}

int32_t CAudioRecordUI::Level(int index) const {
  if (index < 0 || index >= kAudioLevelCount) return 0;
  return levels_[index];
}

int CAudioRecordUI::ShownLevels(int width) {
  if (width <= 0) return 0;
  return std::min(kAudioLevelCount, (width + 1) / 2);
}

void CAudioRecordUI::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect();
  painter.fillRect(area, Qt::white);
  const int h = area.height();
  const int bottom = area.top() + h;  // one past the last row
  const int count = ShownLevels(area.width());
  painter.setPen(QPen(Qt::black, 1));
  for (int i = 0; i < count; ++i) {
    // 64-bit product: a level from a device may be anything.
    const int64_t raised = int64_t(levels_[i]) * h / kAudioFullScale;
    const int top = int(std::clamp<int64_t>(area.top() + h - raised, area.top(), bottom));
    // The line ends above the last row of the control, which stays white.
    const int last = bottom - 2;
    if (top > last) continue;
    const int x = area.left() + 2 * i;
    painter.drawLine(x, top, x, last);
  }
}

}  // namespace varkon
