#include "platform/ui/tint_painting.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QString>
#include <QSvgRenderer>
#include <algorithm>

#include "core/debug_out.h"
#include "platform/ui/program_folder.h"

namespace varkon::ui {

namespace {

QColor FromArgb(uint32_t argb) {
  return QColor::fromRgba(argb);
}

QImage Refuse(const std::string& message, std::string* error) {
  debugOut("skin image: %s\n", message.c_str());
  if (error != nullptr) *error = message;
  return {};
}

}  // namespace

QImage LoadSkinImage(std::string_view name, const std::string& folder, std::string* error,
                     const QSize& svgSize) {
  const std::string path = SkinFilePath(folder.empty() ? SkinFolder() : folder, name);
  if (path.empty()) return Refuse("refused image name \"" + std::string(name) + "\"", error);
  const QString qtPath = QString::fromStdString(path);
  if (!QFileInfo(qtPath).isFile()) return Refuse("image " + path + " is missing", error);
  if (qtPath.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
    QSvgRenderer renderer(qtPath);
    if (!renderer.isValid()) return Refuse("image " + path + " is not a valid SVG", error);
    const QSize size = svgSize.isValid() ? svgSize : renderer.defaultSize();
    if (size.isEmpty() || size.width() > kMaxSkinImageSide || size.height() > kMaxSkinImageSide) {
      return Refuse("image " + path + " has an unusable size", error);
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
  }
  QImageReader reader(qtPath);
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > kMaxSkinImageSide || size.height() > kMaxSkinImageSide)) {
    return Refuse("image " + path + " is too large", error);
  }
  QImage image = reader.read();
  if (image.isNull()) {
    return Refuse("image " + path + " cannot be read: " + reader.errorString().toStdString(),
                  error);
  }
  return image;
}

QImage TintImage(const QImage& image, uint32_t tintRgb, int alpha) {
  QImage tinted;
  TintImageInto(image, tintRgb, alpha, tinted);
  return tinted;
}

void TintImageInto(const QImage& image, uint32_t tintRgb, int alpha, QImage& out) {
  if (image.isNull()) {
    out = QImage();
    return;
  }
  const QImage source = image.format() == QImage::Format_ARGB32_Premultiplied
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (out.size() != source.size() || out.format() != QImage::Format_ARGB32_Premultiplied) {
    out = QImage(source.size(), QImage::Format_ARGB32_Premultiplied);
  }
  const uint32_t a = static_cast<uint32_t>(std::clamp(alpha, 0, 255));
  const uint32_t tr = (tintRgb >> 16) & 0xff;
  const uint32_t tg = (tintRgb >> 8) & 0xff;
  const uint32_t tb = tintRgb & 0xff;
  // Premultiplied channels stay premultiplied when every channel is scaled by the alpha factor
  // and the colour channels by the tint. One table per channel keeps the pixel loop to lookups.
  auto scale = [](uint32_t value, uint32_t factor) { return (value * factor + 127) / 255; };
  uint8_t alphaOf[256], redOf[256], greenOf[256], blueOf[256];
  for (uint32_t v = 0; v < 256; ++v) {
    alphaOf[v] = static_cast<uint8_t>(scale(v, a));
    redOf[v] = static_cast<uint8_t>(scale(scale(v, tr), a));
    greenOf[v] = static_cast<uint8_t>(scale(scale(v, tg), a));
    blueOf[v] = static_cast<uint8_t>(scale(scale(v, tb), a));
  }
  const int width = source.width();
  const int height = source.height();
  for (int y = 0; y < height; ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const QRgb pixel = in[x];
      line[x] = qRgba(redOf[qRed(pixel)], greenOf[qGreen(pixel)], blueOf[qBlue(pixel)],
                      alphaOf[qAlpha(pixel)]);
    }
  }
}

void DrawTintedImage(QPainter& painter, const QRect& target, const QImage& image,
                     const QRect& source, uint32_t tintRgb, int alpha) {
  if (image.isNull() || !target.isValid()) return;
  const QRect part = source.isValid() ? source.intersected(image.rect()) : image.rect();
  if (part.isEmpty()) return;
  painter.drawImage(target, TintImage(image.copy(part), tintRgb, alpha));
}

void FillTinted(QPainter& painter, const QPainterPath& shape, uint32_t rgb, int alpha) {
  const uint32_t a = static_cast<uint32_t>(std::clamp(alpha, 0, 255));
  painter.fillPath(shape, FromArgb((a << 24) | (rgb & 0xffffff)));
}

void FillRect(QPainter& painter, const QRect& rect, uint32_t argb) {
  painter.fillRect(rect, FromArgb(argb));
}

void DrawRect(QPainter& painter, const QRect& rect, uint32_t argb, int width) {
  if (width <= 0 || !rect.isValid()) return;
  const QColor colour = FromArgb(argb);
  const int w = std::min({width, rect.width(), rect.height()});
  painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), w), colour);
  painter.fillRect(QRect(rect.left(), rect.bottom() - w + 1, rect.width(), w), colour);
  const int side = rect.height() - 2 * w;
  if (side <= 0) return;
  painter.fillRect(QRect(rect.left(), rect.top() + w, w, side), colour);
  painter.fillRect(QRect(rect.right() - w + 1, rect.top() + w, w, side), colour);
}

void DrawText(QPainter& painter, const QRect& rect, const QString& text, uint32_t argb, int flags) {
  painter.save();
  painter.setPen(FromArgb(argb));
  painter.drawText(rect, flags, text);
  painter.restore();
}

}  // namespace varkon::ui
