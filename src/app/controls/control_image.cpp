#include "app/controls/control_image.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include "platform/ui/control_style.h"
#include "platform/ui/tint_painting.h"

namespace varkon {

QString ControlImagePath(const QWidget* control, const QString& description) {
  const QString file = ui::ImageFileOf(description);
  if (file.isEmpty()) return {};
  if (file.contains(QLatin1Char(':')) || QFileInfo(file).isAbsolute()) return file;
  return ui::ResolveSkinImage(control, description);
}

QRect ImageSourceOf(const QString& description) {
  static const QRegularExpression kSource(QStringLiteral(
      "source\\s*=\\s*'\\s*(-?\\d+)\\s*,\\s*(-?\\d+)\\s*,\\s*(-?\\d+)\\s*,\\s*(-?\\d+)"
      "\\s*'"));
  const QRegularExpressionMatch match = kSource.match(description);
  if (!match.hasMatch()) return {};
  const int left = match.captured(1).toInt();
  const int top = match.captured(2).toInt();
  const int right = match.captured(3).toInt();
  const int bottom = match.captured(4).toInt();
  if (right <= left || bottom <= top) return {};
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

namespace {

QImage ReadImage(const QString& path) {
  if (!QFileInfo(path).isFile()) return {};
  if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
    QSvgRenderer renderer(path);
    const QSize size = renderer.defaultSize();
    if (!renderer.isValid() || size.isEmpty() || size.width() > ui::kMaxSkinImageSide ||
        size.height() > ui::kMaxSkinImageSide) {
      return {};
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
  }
  QImageReader reader(path);
  const QSize size = reader.size();
  if (size.isValid() &&
      (size.width() > ui::kMaxSkinImageSide || size.height() > ui::kMaxSkinImageSide)) {
    return {};
  }
  return reader.read();
}

}  // namespace

const QImage& ControlImage::Get(const QWidget* control, const QString& description) {
  const QString path = ControlImagePath(control, description);
  if (path != path_) {
    path_ = path;
    image_ = path.isEmpty() ? QImage() : ReadImage(path);
  }
  return image_;
}

void DrawControlImage(QPainter& painter, const QRect& target, const QImage& image,
                      const QString& description) {
  if (image.isNull() || target.isEmpty()) return;
  QRect source = ImageSourceOf(description);
  if (!source.isValid()) {
    painter.drawImage(target, image);
    return;
  }
  // A window reaching past the image shows only the part that exists, at the same scale.
  const QRect clipped = source.intersected(image.rect());
  if (clipped.isEmpty()) return;
  const double sx = double(target.width()) / source.width();
  const double sy = double(target.height()) / source.height();
  const QRectF drawn(target.left() + (clipped.left() - source.left()) * sx,
                     target.top() + (clipped.top() - source.top()) * sy, clipped.width() * sx,
                     clipped.height() * sy);
  painter.drawImage(drawn, image, clipped);
}

}  // namespace varkon
