// Every custom control is made by the skin loader from its tag and reports its class.
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "app/controls/register_custom_controls.h"
#include "platform/ui/control_find.h"
#include "platform/ui/skin_loader.h"

namespace varkon {
namespace {

TEST(RegisterCustomControls, EveryTagMakesItsControl) {
  const char* tags[] = {"DeviceKeyButton",      "SelectPanel",          "MpDevicePower",
                        "DeviceOption",         "CircleProgress",       "HandImgButton",
                        "HandImgSelectButton",  "RedioMacroButton",     "AudioRecord",
                        "CloudShareListItemUI", "UpdateInfoListItemUI", "ComboEditContainerElement",
                        "ColorPalette"};
  ui::SkinLoader loader;
  for (const char* tag : tags) EXPECT_FALSE(loader.IsRegistered(tag)) << tag;
  RegisterCustomControls(loader);
  QByteArray document("<ui version=\"4.0\"><widget class=\"QWidget\" name=\"root\">");
  int n = 0;
  for (const char* tag : tags) {
    EXPECT_TRUE(loader.IsRegistered(tag)) << tag;
    document +=
        QByteArray("<widget class=\"") + tag + "\" name=\"c" + QByteArray::number(n++) + "\"/>";
  }
  document += "</widget></ui>";
  std::string error;
  std::unique_ptr<QWidget> root(loader.LoadSkinData(document, "/tmp", nullptr, &error));
  ASSERT_NE(root, nullptr) << error;
  EXPECT_TRUE(loader.unknownTags().empty());
  n = 0;
  for (const char* tag : tags) {
    QWidget* control = ui::FindControl(root.get(), QStringLiteral("c%1").arg(n++));
    ASSERT_NE(control, nullptr) << tag;
    EXPECT_EQ(ui::ControlClassName(control), tag);
    EXPECT_NE(QString(control->metaObject()->className()), "QWidget") << tag;
  }
}

}  // namespace
}  // namespace varkon
