// Skin image descriptions for the custom controls: "name.png" or "file='name.png'
// source='l,t,r,b'". Names are resolved from the skin folder of the control's tree; a name that
// contains ':' is an absolute path and read from there.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;

namespace varkon {

// The path of the description's file for `control`; empty when the name is refused.
QString ControlImagePath(const QWidget* control, const QString& description);

// The source rectangle of the description (right and bottom exclusive), or an invalid rect.
QRect ImageSourceOf(const QString& description);

// Loads an image, remembering the last one so that repaints do not read the file again.
class ControlImage {
 public:
  // The image of `description` for `control`; null when it cannot be read.
  const QImage& Get(const QWidget* control, const QString& description);

 private:
  QString path_;
  QImage image_;
};

// Draws the description's image (its source part, clipped to the image) over `target`.
void DrawControlImage(QPainter& painter, const QRect& target, const QImage& image,
                      const QString& description);

}  // namespace varkon
