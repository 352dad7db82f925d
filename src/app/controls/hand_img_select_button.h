// A button showing a large image through a window the user drags: dragging the pointer left
// reveals the image's right part, dragging right brings the window back towards the left edge.
// It reports "msenter" and "msleave" but raises no click.
#pragma once

#include <QPoint>
#include <QPushButton>

#include "app/controls/hover_button.h"

#include "app/controls/control_image.h"

namespace varkon {

inline constexpr const char* kHandImgSelectButtonClass = "HandImgSelectButton";

// The visible part of the image, in image pixels (right and bottom exclusive).
struct ImageWindow {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const ImageWindow&) const = default;
};

// One pan step for a pointer movement of (dx, dy). A step may carry the right or bottom edge
// past the image (painting clips it); the left and top edges stop at 0.
void PanImageWindow(ImageWindow& window, int dx, int dy, int imageWidth, int imageHeight);

// The cursor shape of a skin cursor name ("hand", "sizewe", ...); false for an unknown name.
bool CursorShapeOf(const QString& name, Qt::CursorShape* shape);

class CHandImgSelectButtonUI : public HoverButton {
  Q_OBJECT
  Q_PROPERTY(QString handimage READ handImage WRITE setHandImage)
  Q_PROPERTY(QString cursor READ cursorName WRITE setCursorName)

 public:
  explicit CHandImgSelectButtonUI(QWidget* parent = nullptr);

  QString handImage() const { return image_; }
  void setHandImage(const QString& image);
  QString cursorName() const { return cursorName_; }
  // Unknown names are ignored.
  void setCursorName(const QString& name);

  const ImageWindow& window() const { return window_; }
  QString DrawString() const { return drawString_; }
  int ImageWidth() const { return imageWidth_; }
  int ImageHeight() const { return imageHeight_; }
  bool IsDragging() const { return dragging_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void LoadImage();
  void UpdateDrawString();
  void Press(QMouseEvent* event);

  QString image_;
  QString cursorName_;
  ControlImage picture_;
  int imageWidth_ = 0;
  int imageHeight_ = 0;
  ImageWindow window_;
  QString drawString_;
  bool dragging_ = false;
  bool captured_ = false;
  QPoint lastPoint_;
};

}  // namespace varkon
