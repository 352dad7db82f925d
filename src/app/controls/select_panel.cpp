#include "app/controls/select_panel.h"

#include <QPaintEvent>
#include <QPainter>

#include <QMouseEvent>
#include <algorithm>

#include "app/controls/device_key_button.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/notifier.h"

namespace varkon {

CSelectPanelUI::CSelectPanelUI(QWidget* parent) : QWidget(parent) {
  ui::SetControlClassName(this, kSelectPanelClass);
  // The device picture is drawn from an image made once at the panel's size: a style sheet's
  // border image is scaled again on every repaint, and the preview repaints 20 times a second.
  setProperty(ui::kOwnBackgroundProperty, true);
}

const QImage& CSelectPanelUI::Background() {
  const QString description = ui::BackgroundImage(this);
  if (background_.size() != size() || backgroundOf_ != description) {
    backgroundOf_ = description;
    const QImage& source = backgroundPicture_.Get(this, description);
    background_ = source.isNull()
                      ? QImage()
                      : source.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }
  return background_;
}

void CSelectPanelUI::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  if (event->button() == Qt::LeftButton && isEnabled()) {
    pressed_ = true;
    anchor_ = event->position().toPoint();
  }
}

void CSelectPanelUI::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  if (pressed_) selecting_ = true;
  if (!selecting_) return;
  current_ = event->position().toPoint();
  band_.left = std::min(anchor_.x(), current_.x());
  band_.right = std::max(anchor_.x(), current_.x());
  band_.top = std::min(anchor_.y(), current_.y());
  band_.bottom = std::max(anchor_.y(), current_.y());
  update();
}

void CSelectPanelUI::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  pressed_ = false;
  if (!selecting_) return;
  selecting_ = false;
  anchor_ = current_;
  SelectByBand();
  update();
  ui::RaiseNotification(this, "click_select_end");
}

void CSelectPanelUI::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  const QRect dirty = event->rect();
  const QImage& background = Background();
  if (!background.isNull()) painter.drawImage(dirty, background, dirty);
  for (CDeviceKeyButtonUI* key :
       findChildren<CDeviceKeyButtonUI*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (!key->DrawnByPanel() || !key->geometry().intersects(dirty)) continue;
    const QImage& light = key->LightPicture();
    if (!light.isNull()) painter.drawImage(key->geometry().topLeft(), light);
  }
}

void CSelectPanelUI::SelectKeys(const QList<CDeviceKeyButtonUI*>& keys) {
  ForEachKey([&keys](CDeviceKeyButtonUI* key) { key->SetSelected(keys.contains(key)); });
  update();
  ui::RaiseNotification(this, "click_select_end");
}

void CSelectPanelUI::SelectByBand() {
  const QRect band(QPoint(band_.left, band_.top), QPoint(band_.right - 1, band_.bottom - 1));
  ForEachKey([this, &band](CDeviceKeyButtonUI* key) {
    key->SetSelected(!band_.Empty() && key->geometry().intersects(band));
  });
}

void CSelectPanelUI::ForEachKey(const std::function<void(CDeviceKeyButtonUI*)>& visit) {
  for (QObject* child : children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget == nullptr) continue;
    if (ui::ControlClassName(widget) != QLatin1String(kDeviceKeyButtonClass)) continue;
    if (auto* key = qobject_cast<CDeviceKeyButtonUI*>(widget)) visit(key);
  }
}

}  // namespace varkon
