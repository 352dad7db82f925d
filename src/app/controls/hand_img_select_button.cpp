#include "app/controls/hand_img_select_button.h"

#include <QMouseEvent>
#include <QPainter>
#include <utility>

#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/notifier.h"

namespace varkon {

namespace {

void PanAxis(int& low, int& high, int delta, int limit) {
  if (delta < 0) {
    if (high < limit) {
      low -= delta;
      high -= delta;
    }
  } else if (low > 0) {
    if (delta < low) {
      low -= delta;
      high -= delta;
    } else {
      high -= low;
      low = 0;
    }
  }
}

}  // namespace

void PanImageWindow(ImageWindow& window, int dx, int dy, int imageWidth, int imageHeight) {
  PanAxis(window.left, window.right, dx, imageWidth);
  PanAxis(window.top, window.bottom, dy, imageHeight);
}

bool CursorShapeOf(const QString& name, Qt::CursorShape* shape) {
  static const std::pair<const char*, Qt::CursorShape> kShapes[] = {
      {"arrow", Qt::ArrowCursor},        {"ibeam", Qt::IBeamCursor},
      {"wait", Qt::WaitCursor},          {"cross", Qt::CrossCursor},
      {"uparrow", Qt::UpArrowCursor},    {"size", Qt::SizeAllCursor},
      {"icon", Qt::ArrowCursor},         {"sizenwse", Qt::SizeFDiagCursor},
      {"sizenesw", Qt::SizeBDiagCursor}, {"sizewe", Qt::SizeHorCursor},
      {"sizens", Qt::SizeVerCursor},     {"sizeall", Qt::SizeAllCursor},
      {"no", Qt::ForbiddenCursor},       {"hand", Qt::PointingHandCursor},
  };
  for (const auto& [text, value] : kShapes) {
    if (name == QLatin1String(text)) {
      *shape = value;
      return true;
    }
  }
  return false;
}

CHandImgSelectButtonUI::CHandImgSelectButtonUI(QWidget* parent) : HoverButton(parent) {
  ui::SetControlClassName(this, kHandImgSelectButtonClass);
}

void CHandImgSelectButtonUI::setHandImage(const QString& image) {
  image_ = image;
  LoadImage();
  update();
}

void CHandImgSelectButtonUI::setCursorName(const QString& name) {
  Qt::CursorShape shape;
  if (!CursorShapeOf(name, &shape)) return;
  cursorName_ = name;
  setCursor(shape);
}

void CHandImgSelectButtonUI::LoadImage() {
  const QImage& image = picture_.Get(this, image_);
  imageWidth_ = image.width();
  imageHeight_ = image.height();
  window_ = ImageWindow{0, 0, width(), height()};
  if (imageWidth_ <= width() && imageHeight_ <= height()) {
    drawString_ = image_;
  } else {
    UpdateDrawString();
  }
}

void CHandImgSelectButtonUI::UpdateDrawString() {
  drawString_ = QStringLiteral("file='%1' source='%2,%3,%4,%5'")
                    .arg(ui::ImageFileOf(image_))
                    .arg(window_.left)
                    .arg(window_.top)
                    .arg(window_.right)
                    .arg(window_.bottom);
}

void CHandImgSelectButtonUI::showEvent(QShowEvent* event) {
  HoverButton::showEvent(event);
  // The skin folder is known only once the tree is complete; read the image again then.
  if (imageWidth_ == 0 && !image_.isEmpty()) LoadImage();
}

void CHandImgSelectButtonUI::paintEvent(QPaintEvent* event) {
  HoverButton::paintEvent(event);
  QPainter painter(this);
  DrawControlImage(painter, rect(), picture_.Get(this, drawString_), drawString_);
}

void CHandImgSelectButtonUI::Press(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  if (isEnabled() && rect().contains(at)) {
    setDown(true);
    captured_ = true;
    lastPoint_ = at;
    update();
  }
  dragging_ = true;
}

void CHandImgSelectButtonUI::mousePressEvent(QMouseEvent* event) {
  Press(event);
}

void CHandImgSelectButtonUI::mouseDoubleClickEvent(QMouseEvent* event) {
  Press(event);
}

void CHandImgSelectButtonUI::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (captured_) {
    captured_ = false;
    setDown(false);
    update();
  }
  dragging_ = false;
}

void CHandImgSelectButtonUI::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (dragging_) {
    PanImageWindow(window_, at.x() - lastPoint_.x(), at.y() - lastPoint_.y(), imageWidth_,
                   imageHeight_);
    lastPoint_ = at;
    UpdateDrawString();
  }
  if (captured_) setDown(rect().contains(at));
  update();
}

}  // namespace varkon
