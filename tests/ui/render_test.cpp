// Renders a loaded window to a PNG (kept in the build folder for a look) and checks that the
// skin's colours and images reach the screen.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <memory>

#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_values.h"
#include "platform/ui/skin_loader.h"
#include "support/temp_dir.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

QString RenderFolder() {
  const QString folder = QStringLiteral(VARKON_BINARY_DIR "/test-output/ui");
  QDir().mkpath(folder);
  return folder;
}

TEST(Render, ControlWindowShowsItsSkin) {
  SkinLoader loader(test::SkinDataFolder());
  std::unique_ptr<QWidget> root(loader.LoadSkin("XML/controls.xml", nullptr, nullptr));
  ASSERT_NE(root, nullptr);
  SetComboIndex(FindControl(root.get(), "speed_combo"), 1);
  SetValue(FindControl(root.get(), "bright_slider"), 75);
  SetChecked(FindControl(root.get(), "loop_check"), true);
  SetBackgroundColour(FindControl(root.get(), "apply_btn"), 0xFF30A050u);
  root->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(root.get()));

  const QImage image = root->grab().toImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_TRUE(image.save(RenderFolder() + "/controls.png"));
  EXPECT_EQ(image.size(), root->size() * image.devicePixelRatio());
  // Bare window background, and the button's own colour.
  EXPECT_EQ(image.pixel(415, 300) & 0xFFFFFF, 0x202830u);
  const QPoint inButton = FindControl(root.get(), "apply_btn")->geometry().topLeft() + QPoint(4, 4);
  EXPECT_EQ(image.pixel(inButton) & 0xFFFFFF, 0x30A050u);
}

TEST(Render, BackgroundImagesComeFromTheSkinFolder) {
  varkon::test::TempDir temp;
  QImage key(4, 4, QImage::Format_ARGB32);
  key.fill(qRgb(250, 200, 0));
  ASSERT_TRUE(key.save(QString::fromStdString(temp.File("key.png"))));
  const QByteArray document(
      "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"panel\">"
      "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>120</width><height>60</height>"
      "</rect></property>"
      "<widget class=\"QWidget\" name=\"key\">"
      "<property name=\"geometry\"><rect><x>10</x><y>10</y><width>40</width><height>40</height>"
      "</rect></property>"
      "<property name=\"bkimage\" stdset=\"0\"><string>file='key.png'</string></property>"
      "</widget></widget></ui>");
  SkinLoader loader(temp.path());
  std::string error;
  std::unique_ptr<QWidget> root(loader.LoadSkinData(document, temp.path(), nullptr, &error));
  ASSERT_NE(root, nullptr) << error;
  root->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(root.get()));
  const QImage image = root->grab().toImage();
  EXPECT_TRUE(image.save(RenderFolder() + "/background_image.png"));
  EXPECT_EQ(image.pixel(30, 30) & 0xFFFFFF, 0xFAC800u);  // stretched over the key
  EXPECT_NE(image.pixel(80, 30) & 0xFFFFFF, 0xFAC800u);  // beside it
}

}  // namespace
}  // namespace varkon::ui
