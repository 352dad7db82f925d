// The key button: its overlay and marks on screen, its flags, and its double click.
#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "app/controls/device_key_button.h"
#include "app/controls/register_custom_controls.h"
#include "controls/controls_test_support.h"
#include "platform/ui/control_find.h"
#include "platform/ui/skin_loader.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

class KeyButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::SaveSolidImage(temp_.File("light.png"), qRgb(255, 255, 255)));
    ASSERT_TRUE(test::SaveSolidImage(temp_.File("set.png"), qRgb(0, 200, 0)));
    ASSERT_TRUE(test::SaveSolidImage(temp_.File("unset.png"), qRgb(0, 0, 200)));
    root_ = std::make_unique<QWidget>();
    root_->setProperty(ui::kSkinFolderProperty, QString::fromStdString(temp_.path()));
    root_->resize(60, 60);
    key_ = new CDeviceKeyButtonUI(root_.get());
    key_->setObjectName("key_a");
    key_->setGeometry(10, 10, 40, 40);
    key_->setLightImage("file='light.png'");
    key_->setKeySetImage("set.png");
    key_->setKeyUnsetImage("unset.png");
  }

  QRgb Centre() { return test::Render(key_, "key_button").pixel(20, 20); }

  varkon::test::TempDir temp_;
  std::unique_ptr<QWidget> root_;
  CDeviceKeyButtonUI* key_ = nullptr;
};

TEST_F(KeyButtonTest, StartsWithTheCreationValues) {
  EXPECT_EQ(ui::ControlClassName(key_), "DeviceKeyButton");
  EXPECT_EQ(key_->LightColour(), 255u);
  EXPECT_EQ(key_->LightAlpha(), 200);
  EXPECT_FALSE(key_->IsLightShown());
  EXPECT_TRUE(key_->IsKeySetHidden());
  EXPECT_TRUE(key_->IsKeyUnsetHidden());
  EXPECT_FALSE(key_->KeyState());
  EXPECT_FALSE(key_->IsSelected());
}

TEST_F(KeyButtonTest, LightIsTintedWithTheDeviceColourBytes) {
  // First byte 0x10 (red), second 0x80 (green), third 0xF0 (blue), fully opaque.
  key_->SetLight(0xF08010u, 255, true);
  const QRgb pixel = Centre();
  EXPECT_NEAR(qRed(pixel), 0x10, 3);
  EXPECT_NEAR(qGreen(pixel), 0x80, 3);
  EXPECT_NEAR(qBlue(pixel), 0xF0, 3);
}

TEST_F(KeyButtonTest, LightAlphaLetsTheButtonShowThrough) {
  key_->SetLight(0x0000FFu, 255, true);
  const QRgb opaque = Centre();
  key_->SetLight(0x0000FFu, 100, true);
  const QRgb faint = Centre();
  // A red light over the light grey button: the less opaque, the more green shows through.
  EXPECT_LT(qGreen(opaque), 15);
  EXPECT_GT(qGreen(faint), qGreen(opaque) + 60);
  key_->SetLight(0x0000FFu, 255, false);
  EXPECT_GT(qGreen(Centre()), qGreen(faint) + 30);
}

TEST_F(KeyButtonTest, SetMarkIsDrawnOverTheUnsetMarkOverTheLight) {
  key_->SetLight(0x0000FFu, 255, true);
  key_->SetKeyUnsetHidden(false);
  EXPECT_EQ(Centre() & 0xFFFFFF, 0x0000C8u);
  key_->SetKeySetHidden(false);
  EXPECT_EQ(Centre() & 0xFFFFFF, 0x00C800u);
  key_->SetKeySetHidden(true);
  key_->SetKeyUnsetHidden(true);
  EXPECT_GT(qRed(Centre()), 240);
}

TEST_F(KeyButtonTest, AlphaIsClampedAndFlagsAreKept) {
  key_->SetLight(0x12345678u, 999, true);
  EXPECT_EQ(key_->LightAlpha(), 255);
  EXPECT_EQ(key_->LightColour(), 0x345678u);
  key_->SetLight(1, -5, false);
  EXPECT_EQ(key_->LightAlpha(), 0);
  key_->SetKeyState(true);
  EXPECT_TRUE(key_->KeyState());
  key_->SetSelected(true);
  EXPECT_TRUE(key_->IsSelected());
  key_->SetSelected(false);
  EXPECT_FALSE(key_->IsSelected());
}

TEST_F(KeyButtonTest, DoubleClickRaisesDbclickWhileEnabled) {
  test::Recorder recorder(root_.get());
  test::SendMouse(key_, QEvent::MouseButtonDblClick, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(recorder.Count("dbclick"), 1);
  EXPECT_TRUE(key_->isDown());
  test::Release(key_, QPoint(5, 5));
  EXPECT_FALSE(key_->isDown());
  key_->setEnabled(false);
  test::SendMouse(key_, QEvent::MouseButtonDblClick, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(recorder.Count("dbclick"), 1);
}

TEST(KeyButtonSkin, AttributesComeFromTheSkin) {
  ui::SkinLoader loader;
  RegisterCustomControls(loader);
  const QByteArray document(
      "<ui version=\"4.0\"><widget class=\"SelectPanel\" name=\"panel\">"
      "<widget class=\"DeviceKeyButton\" name=\"key_esc\">"
      "<property name=\"lightimage\"><string>file='light.png' source='0,0,4,4'</string></property>"
      "<property name=\"keysetimage\"><string>set.png</string></property>"
      "<property name=\"keyunsetimage\"><string>unset.png</string></property>"
      "<property name=\"gmnametextcolor\"><string>#A0B0C0</string></property>"
      "</widget></widget></ui>");
  std::string error;
  std::unique_ptr<QWidget> root(loader.LoadSkinData(document, "/tmp", nullptr, &error));
  ASSERT_NE(root, nullptr) << error;
  auto* key = qobject_cast<CDeviceKeyButtonUI*>(ui::FindControl(root.get(), "key_esc"));
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(ui::ControlClassName(key), "DeviceKeyButton");
  EXPECT_EQ(ui::ControlClassName(root.get()), "SelectPanel");
  EXPECT_EQ(key->lightImage(), "file='light.png' source='0,0,4,4'");
  EXPECT_EQ(key->keySetImage(), "set.png");
  EXPECT_EQ(key->keyUnsetImage(), "unset.png");
  EXPECT_EQ(key->NameTextColour(), 0xA0B0C0u);
}

}  // namespace
}  // namespace varkon
