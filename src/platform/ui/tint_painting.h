// Drawing for custom controls: skin images loaded from the skin folder, images and shapes drawn
// tinted by a colour at an alpha, and the plain rectangle, fill and text helpers with 0xAARRGGBB
// colours.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <string_view>

class QPainter;
class QPainterPath;
class QRect;
class QString;

namespace varkon::ui {

// Images larger than this on either side are refused.
inline constexpr int kMaxSkinImageSide = 8192;

// Loads a raster or SVG image named like a skin file, from `folder` (SkinFolder() when empty).
// SVG images are drawn at their own size, or at `svgSize` when that is valid. A null image
// (with `error` set) when the name is refused or the file is missing or not an image.
QImage LoadSkinImage(std::string_view name, const std::string& folder = {},
                     std::string* error = nullptr, const QSize& svgSize = QSize());

// `image` with every pixel's colour multiplied by `tintRgb` (0xRRGGBB; 0xFFFFFF keeps the
// colours) and its alpha scaled by `alpha` (0..255, clamped). Premultiplied ARGB result.
QImage TintImage(const QImage& image, uint32_t tintRgb, int alpha);
// The same into `out`, whose memory is reused when it already has the image's size (the light
// cells retint their light 20 times a second). `image` is best premultiplied already.
void TintImageInto(const QImage& image, uint32_t tintRgb, int alpha, QImage& out);

// Draws the `source` part of `image` (all of it when `source` is not valid) into `target`,
// tinted as TintImage does.
void DrawTintedImage(QPainter& painter, const QRect& target, const QImage& image,
                     const QRect& source, uint32_t tintRgb, int alpha);
// Fills `shape` with `rgb` (0xRRGGBB) at `alpha`.
void FillTinted(QPainter& painter, const QPainterPath& shape, uint32_t rgb, int alpha);

void FillRect(QPainter& painter, const QRect& rect, uint32_t argb);
// A frame of `width` pixels drawn inside `rect`.
void DrawRect(QPainter& painter, const QRect& rect, uint32_t argb, int width = 1);
// `flags` are Qt::AlignmentFlag and Qt::TextFlag values.
void DrawText(QPainter& painter, const QRect& rect, const QString& text, uint32_t argb, int flags);

}  // namespace varkon::ui
