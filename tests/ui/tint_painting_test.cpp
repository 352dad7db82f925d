#include "platform/ui/tint_painting.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "support/temp_dir.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

using test::SkinDataFolder;

QImage Solid(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  return image;
}

TEST(TintImage, WhiteAtFullAlphaKeepsTheImage) {
  QImage image(3, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(10, 20, 30, 255));
  image.setPixel(1, 0, qRgba(200, 100, 50, 255));
  image.setPixel(2, 0, qRgba(0, 0, 0, 0));
  const QImage tinted = TintImage(image, 0xFFFFFF, 255).convertToFormat(QImage::Format_ARGB32);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(tinted.pixel(x, 0), image.pixel(x, 0)) << x;
}

TEST(TintImage, MultipliesByTheTint) {
  QImage image(2, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(255, 255, 255, 255));
  image.setPixel(1, 0, qRgba(128, 128, 128, 255));
  const QImage tinted = TintImage(image, 0xFF8000, 255).convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(tinted.pixel(0, 0), qRgba(255, 128, 0, 255));
  EXPECT_EQ(tinted.pixel(1, 0), qRgba(128, 64, 0, 255));
}

TEST(TintImage, AlphaScalesOpacityAndIsClamped) {
  const QImage image = Solid(1, 1, qRgba(255, 255, 255, 255));
  const QImage half = TintImage(image, 0x00FF00, 128);
  EXPECT_EQ(half.format(), QImage::Format_ARGB32_Premultiplied);
  EXPECT_EQ(qAlpha(half.pixel(0, 0)), 128);
  EXPECT_EQ(half.convertToFormat(QImage::Format_ARGB32).pixel(0, 0), qRgba(0, 255, 0, 128));
  EXPECT_EQ(qAlpha(TintImage(image, 0xFFFFFF, 300).pixel(0, 0)), 255);
  EXPECT_EQ(qAlpha(TintImage(image, 0xFFFFFF, -5).pixel(0, 0)), 0);
  // A half-transparent pixel at half alpha ends a quarter opaque.
  const QImage faint = Solid(1, 1, qRgba(255, 0, 0, 128));
  EXPECT_EQ(qAlpha(TintImage(faint, 0xFFFFFF, 128).pixel(0, 0)), 64);
  EXPECT_TRUE(TintImage(QImage(), 0xFFFFFF, 255).isNull());
}

TEST(DrawTintedImage, DrawsTheSourcePartTinted) {
  QImage image(4, 2, QImage::Format_ARGB32);
  image.fill(qRgb(255, 0, 0));
  for (int y = 0; y < 2; ++y) {
    image.setPixel(2, y, qRgb(255, 255, 255));
    image.setPixel(3, y, qRgb(255, 255, 255));
  }
  QImage canvas = Solid(8, 8, qRgb(0, 0, 0));
  {
    QPainter painter(&canvas);
    DrawTintedImage(painter, QRect(0, 0, 8, 8), image, QRect(2, 0, 2, 2), 0x0000FF, 255);
  }
  // Only the white part was drawn, tinted blue, stretched over the whole target.
  EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 0, 255));
  EXPECT_EQ(canvas.pixel(7, 7), qRgb(0, 0, 255));
  // A source outside the image draws nothing.
  QImage untouched = Solid(4, 4, qRgb(1, 2, 3));
  {
    QPainter painter(&untouched);
    DrawTintedImage(painter, QRect(0, 0, 4, 4), image, QRect(10, 10, 2, 2), 0xFFFFFF, 255);
  }
  EXPECT_EQ(untouched.pixel(1, 1), qRgb(1, 2, 3));
}

TEST(FillTinted, BlendsTheColourAtItsAlpha) {
  QImage canvas = Solid(10, 10, qRgb(255, 255, 255));
  {
    QPainter painter(&canvas);
    QPainterPath shape;
    shape.addRect(0, 0, 5, 10);
    FillTinted(painter, shape, 0x000000, 128);
  }
  EXPECT_NEAR(qRed(canvas.pixel(2, 5)), 127, 2);
  EXPECT_EQ(canvas.pixel(7, 5), qRgb(255, 255, 255));
}

TEST(DrawRect, FramesInsideTheRectangle) {
  QImage canvas = Solid(10, 10, qRgb(0, 0, 0));
  {
    QPainter painter(&canvas);
    DrawRect(painter, QRect(1, 1, 8, 8), 0xFFFF0000u, 2);
    FillRect(painter, QRect(0, 0, 1, 1), 0xFF00FF00u);
  }
  EXPECT_EQ(canvas.pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(canvas.pixel(8, 8), qRgb(255, 0, 0));
  EXPECT_EQ(canvas.pixel(2, 5), qRgb(255, 0, 0));
  EXPECT_EQ(canvas.pixel(3, 5), qRgb(0, 0, 0));  // inside the frame
  EXPECT_EQ(canvas.pixel(9, 9), qRgb(0, 0, 0));  // outside it
  EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 255, 0));
}

TEST(LoadSkinImage, SvgAtItsOwnSizeOrAGivenOne) {
  std::string error;
  const QImage dot = LoadSkinImage("image\\dot.svg", SkinDataFolder(), &error);
  ASSERT_FALSE(dot.isNull()) << error;
  EXPECT_EQ(dot.size(), QSize(16, 8));
  EXPECT_EQ(dot.pixel(2, 4), qRgb(255, 0, 0));
  EXPECT_EQ(dot.pixel(12, 4), qRgb(0, 0, 255));
  EXPECT_EQ(LoadSkinImage("image/dot.svg", SkinDataFolder(), nullptr, QSize(32, 16)).size(),
            QSize(32, 16));
}

TEST(LoadSkinImage, RasterImages) {
  varkon::test::TempDir temp;
  ASSERT_TRUE(Solid(3, 2, qRgb(9, 8, 7)).save(QString::fromStdString(temp.File("key.png"))));
  const QImage key = LoadSkinImage("key.png", temp.path());
  ASSERT_EQ(key.size(), QSize(3, 2));
  EXPECT_EQ(key.pixel(1, 1), qRgb(9, 8, 7));
}

TEST(LoadSkinImage, BadImagesAreErrors) {
  varkon::test::TempDir temp;
  {
    FILE* f = fopen(temp.File("junk.png").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("not a png at all", f);
    fclose(f);
  }
  std::string error;
  EXPECT_TRUE(LoadSkinImage("junk.png", temp.path(), &error).isNull());
  EXPECT_NE(error.find("cannot be read"), std::string::npos) << error;
  EXPECT_TRUE(LoadSkinImage("image/broken.svg", SkinDataFolder(), &error).isNull());
  EXPECT_NE(error.find("SVG"), std::string::npos) << error;
  EXPECT_TRUE(LoadSkinImage("image/none.png", SkinDataFolder(), &error).isNull());
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_TRUE(LoadSkinImage("../skin/image/dot.svg", SkinDataFolder(), &error).isNull());
  EXPECT_NE(error.find("refused"), std::string::npos) << error;
}

}  // namespace
}  // namespace varkon::ui
