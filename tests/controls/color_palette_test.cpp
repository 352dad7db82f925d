// The colour field: picking, the selected colour and what it paints.
#include <gtest/gtest.h>

#include <QColor>
#include <memory>

#include "app/controls/color_palette.h"
#include "controls/controls_test_support.h"
#include "platform/ui/control_find.h"

namespace varkon {
namespace {

class PaletteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::make_unique<QWidget>();
    palette_ = new CColorPaletteUI(root_.get());
    palette_->setObjectName("deng_Color_Pallet");
    palette_->setGeometry(0, 0, 360, 116);  // field 360 x 100, bar below
    recorder_ = std::make_unique<test::Recorder>(root_.get());
  }

  std::unique_ptr<QWidget> root_;
  CColorPaletteUI* palette_ = nullptr;
  std::unique_ptr<test::Recorder> recorder_;
};

TEST_F(PaletteTest, SelectedColourRoundTrips) {
  EXPECT_EQ(ui::ControlClassName(palette_), "ColorPalette");
  EXPECT_EQ(palette_->SelectColor(), 0xFFFF0000u);
  palette_->SetSelectColor(0x0000FF00u);  // alpha is ignored
  EXPECT_EQ(palette_->SelectColor(), 0xFF00FF00u);
  EXPECT_EQ(palette_->Hue(), 120);
  palette_->SetSelectColor(0xFF808080u);  // grey keeps the hue
  EXPECT_EQ(palette_->SelectColor(), 0xFF808080u);
  EXPECT_EQ(palette_->Hue(), 120);
  EXPECT_EQ(recorder_->Count("colorchanged"), 0);
}

TEST_F(PaletteTest, PickingInTheFieldRaisesColorchanged) {
  const QRect field = palette_->FieldRect();
  EXPECT_EQ(field.height(), 100);
  test::Press(palette_, QPoint(field.width() / 3, 0));  // a third across: green, full
  ASSERT_EQ(recorder_->Count("colorchanged"), 1);
  const QColor picked = QColor::fromRgb(QRgb(palette_->SelectColor()));
  EXPECT_NEAR(picked.hsvHue(), 120, 2);
  EXPECT_EQ(picked.hsvSaturation(), 255);
  EXPECT_EQ(recorder_->seen().back().wParam, palette_->SelectColor());
  test::Move(palette_, QPoint(field.width() / 3, field.height() - 1));  // down to white
  EXPECT_EQ(palette_->SelectColor(), 0xFFFFFFFFu);
  EXPECT_EQ(recorder_->Count("colorchanged"), 2);
  test::Move(palette_, QPoint(5000, -5000));  // outside: kept to the field's edge
  EXPECT_EQ(palette_->Hue(), 359);
  EXPECT_EQ(palette_->Saturation(), 255);
  test::Release(palette_, QPoint(5000, -5000));
  const int count = recorder_->Count("colorchanged");
  test::Move(palette_, QPoint(10, 10));  // released: moves pick nothing
  EXPECT_EQ(recorder_->Count("colorchanged"), count);
}

TEST_F(PaletteTest, BarSetsTheBrightness) {
  const QRect bar = palette_->BarRect();
  test::Press(palette_, QPoint(bar.left(), bar.center().y()));
  EXPECT_EQ(palette_->SelectColor(), 0xFF000000u);
  test::Move(palette_, QPoint(bar.right(), bar.center().y()));
  EXPECT_EQ(palette_->SelectColor(), 0xFFFF0000u);
  test::Release(palette_, QPoint(bar.right(), bar.center().y()));
  EXPECT_EQ(recorder_->Count("colorchanged"), 2);
  // The gap between field and bar picks nothing.
  test::Press(palette_, QPoint(10, palette_->FieldRect().bottom() + 2));
  EXPECT_EQ(recorder_->Count("colorchanged"), 2);
}

TEST_F(PaletteTest, PaintsTheField) {
  palette_->SetSelectColor(0xFF0000FFu);
  const QImage image = test::Render(palette_, "color_palette");
  const QRect field = palette_->FieldRect();
  const QColor atGreen = QColor::fromRgb(image.pixel(field.width() / 3, 20));
  EXPECT_NEAR(atGreen.hsvHue(), 120, 4);
  EXPECT_GT(QColor::fromRgb(image.pixel(180, field.height() - 1)).value(), 250);
  EXPECT_LT(QColor::fromRgb(image.pixel(300, field.height() - 1)).hsvSaturation(), 8);
  const QRect bar = palette_->BarRect();
  EXPECT_LT(qBlue(image.pixel(2, bar.center().y())), 20);
  EXPECT_GT(qBlue(image.pixel(bar.right() - 20, bar.center().y())), 200);
}

}  // namespace
}  // namespace varkon
