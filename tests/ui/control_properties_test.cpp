#include "platform/ui/control_properties.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QVariant>
#include <memory>

#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/skin_loader.h"
#include "support/temp_dir.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

class ControlPropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinLoader loader(test::SkinDataFolder());
    std::string error;
    root_.reset(loader.LoadSkin("XML/controls.xml", nullptr, &error));
    ASSERT_NE(root_, nullptr) << error;
  }
  QWidget* Find(const char* name) { return FindControl(root_.get(), name); }

  std::unique_ptr<QWidget> root_;
};

TEST_F(ControlPropertiesTest, FindsByNameWithoutRegardToCase) {
  QWidget* apply = Find("apply_btn");
  ASSERT_NE(apply, nullptr);
  EXPECT_EQ(Find("APPLY_BTN"), apply);
  EXPECT_EQ(Find("Apply_Btn"), apply);
  EXPECT_EQ(Find("control_window"), root_.get());
  EXPECT_EQ(Find("apply"), nullptr);
  EXPECT_EQ(Find(""), nullptr);
  EXPECT_EQ(FindControl(nullptr, "apply_btn"), nullptr);
  // Inside a container only its own descendants are found.
  EXPECT_EQ(FindControl(Find("key_row"), "row_b"), Find("row_b"));
  EXPECT_EQ(FindControl(Find("key_row"), "apply_btn"), nullptr);
  EXPECT_EQ(ControlName(apply), "apply_btn");
}

TEST_F(ControlPropertiesTest, TextOfEachKind) {
  EXPECT_EQ(Text(Find("title_label")), "Lighting");
  EXPECT_EQ(Text(Find("apply_btn")), "Apply");
  EXPECT_EQ(Text(Find("speed_combo")), "Slow");
  EXPECT_EQ(Text(root_.get()), "Controls");  // a window's title

  EXPECT_TRUE(SetText(Find("title_label"), "Keys"));
  EXPECT_TRUE(SetText(Find("delay_edit"), "250"));
  EXPECT_TRUE(SetText(Find("speed_combo"), "Fast"));
  EXPECT_TRUE(SetText(root_.get(), "Varkon"));
  EXPECT_EQ(Text(Find("title_label")), "Keys");
  EXPECT_EQ(Text(Find("delay_edit")), "250");
  EXPECT_EQ(qobject_cast<QComboBox*>(Find("speed_combo"))->currentIndex(), 2);
  EXPECT_EQ(root_->windowTitle(), "Varkon");
  // A control without text refuses it.
  EXPECT_FALSE(SetText(Find("progress"), "x"));
  EXPECT_EQ(Text(Find("progress")), "");
  EXPECT_FALSE(SetText(nullptr, "x"));
}

TEST_F(ControlPropertiesTest, ToolTipUserDataAndTag) {
  QWidget* apply = Find("apply_btn");
  SetToolTip(apply, "Apply the lighting");
  SetUserData(apply, "light:3");
  SetTag(apply, 0x1234567890ULL);
  EXPECT_EQ(ToolTip(apply), "Apply the lighting");
  EXPECT_EQ(UserData(apply), "light:3");
  EXPECT_EQ(Tag(apply), 0x1234567890ULL);
  EXPECT_EQ(Tag(Find("title_label")), 0u);
  EXPECT_EQ(UserData(Find("title_label")), "");
  EXPECT_EQ(UserData(nullptr), "");
}

TEST_F(ControlPropertiesTest, VisibleAndEnabledAreTheControlsOwnFlags) {
  QWidget* row = Find("key_row");
  QWidget* a = Find("row_a");
  // The window is not shown, yet its controls count as visible.
  EXPECT_TRUE(IsVisible(a));
  SetVisible(row, false);
  EXPECT_TRUE(IsVisible(a));
  EXPECT_FALSE(IsVisible(row));
  SetVisible(a, false);
  EXPECT_FALSE(IsVisible(a));

  SetEnabled(row, false);
  EXPECT_FALSE(a->isEnabled());
  EXPECT_TRUE(IsEnabled(a));
  SetEnabled(a, false);
  SetEnabled(row, true);
  EXPECT_FALSE(IsEnabled(a));
  EXPECT_FALSE(a->isEnabled());
  EXPECT_FALSE(IsVisible(nullptr));
  EXPECT_FALSE(IsEnabled(nullptr));
}

TEST_F(ControlPropertiesTest, PositionIsRelativeToTheParent) {
  QWidget* apply = Find("apply_btn");
  EXPECT_EQ(Position(apply), QRect(320, 10, 90, 28));
  SetPosition(apply, QRect(5, 6, 70, 20));
  EXPECT_EQ(Position(apply), QRect(5, 6, 70, 20));
  EXPECT_EQ(apply->mapTo(root_.get(), QPoint(0, 0)), QPoint(5, 6));
}

TEST_F(ControlPropertiesTest, FocusGoesToTheControl) {
  root_->show();
  root_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(root_.get()));
  SetFocus(Find("delay_edit"));
  EXPECT_TRUE(HasFocus(Find("delay_edit")));
  SetFocus(Find("name_edit"));
  EXPECT_FALSE(HasFocus(Find("delay_edit")));
  EXPECT_TRUE(HasFocus(Find("name_edit")));
}

TEST_F(ControlPropertiesTest, AttributesByNameReachQtPropertiesInAnyCase) {
  QWidget* slider = Find("bright_slider");
  EXPECT_TRUE(SetAttribute(slider, "MAXIMUM", QString("250")));  // converted to int
  EXPECT_EQ(qobject_cast<QSlider*>(slider)->maximum(), 250);
  EXPECT_EQ(Attribute(slider, "maximum").toInt(), 250);
  EXPECT_TRUE(SetAttribute(Find("apply_btn"), "Text", QString("Go")));
  EXPECT_EQ(Text(Find("apply_btn")), "Go");
  // A value that does not convert changes nothing.
  EXPECT_FALSE(SetAttribute(slider, "maximum", QString("many")));
  EXPECT_EQ(qobject_cast<QSlider*>(slider)->maximum(), 250);
  // Read-only Qt properties are refused.
  EXPECT_FALSE(SetAttribute(slider, "FrameGeometry", QRect(0, 0, 5, 5)));
  EXPECT_FALSE(slider->property("FrameGeometry").isValid());
}

TEST_F(ControlPropertiesTest, OtherAttributesAreDynamicProperties) {
  QWidget* apply = Find("apply_btn");
  EXPECT_TRUE(SetAttribute(apply, "keyMark", 5));
  EXPECT_EQ(Attribute(apply, "KEYMARK").toInt(), 5);
  EXPECT_TRUE(SetAttribute(apply, "KeyMark", 6));  // the same property, not a second one
  EXPECT_EQ(apply->property("keyMark").toInt(), 6);
  EXPECT_FALSE(Attribute(apply, "unknownThing").isValid());
  // Properties the skin set by hand are read the same way.
  EXPECT_EQ(Attribute(Find("mode_breath"), "GROUP").toString(), "mode");
  EXPECT_FALSE(SetAttribute(apply, "", 1));
  EXPECT_FALSE(SetAttribute(nullptr, "text", 1));
}

TEST_F(ControlPropertiesTest, StyleFromTheSkinAndFromCode) {
  EXPECT_EQ(BackgroundColour(root_.get()), 0xFF202830u);
  EXPECT_EQ(ForegroundColour(Find("title_label")), 0xFFFFFFFFu);
  EXPECT_TRUE(root_->styleSheet().contains("rgba(32, 40, 48, 255)"))
      << root_->styleSheet().toStdString();

  QWidget* apply = Find("apply_btn");
  EXPECT_TRUE(SetBackgroundColour(apply, 0x80FF0000u));
  EXPECT_EQ(BackgroundColour(apply), 0x80FF0000u);
  EXPECT_TRUE(apply->styleSheet().contains("rgba(255, 0, 0, 128)"));
  EXPECT_TRUE(SetBackgroundImage(apply, "file='image\\key.png' source='0,0,10,10'"));
  EXPECT_EQ(BackgroundImage(apply), "file='image\\key.png' source='0,0,10,10'");
  EXPECT_TRUE(apply->styleSheet().contains(
      QString::fromStdString(test::SkinDataFolder() + "image/key.png")));
  // The rules apply to the control alone: its block is keyed to it, not to its children.
  EXPECT_TRUE(apply->styleSheet().contains("*[varkonStyleId="));
  // Colour 0 and an empty image take the rule away again.
  EXPECT_TRUE(SetBackgroundColour(apply, 0));
  EXPECT_TRUE(SetBackgroundImage(apply, ""));
  EXPECT_FALSE(apply->styleSheet().contains("background-color"));
  EXPECT_FALSE(apply->styleSheet().contains("border-image"));
  // Names leaving the skin folder are refused and change nothing.
  EXPECT_TRUE(SetForegroundImage(apply, "image/dot.svg"));
  EXPECT_FALSE(SetForegroundImage(apply, "..\\..\\etc\\x.png"));
  EXPECT_EQ(ForegroundImage(apply), "image/dot.svg");
  EXPECT_FALSE(SetBackgroundColour(nullptr, 1));
  // A picture of the user's own is taken by its path; one that would end the style rule, or
  // that is not a file, is refused and changes nothing.
  varkon::test::TempDir dir;
  const std::string own = dir.File("mine.png");
  QImage(4, 4, QImage::Format_ARGB32).save(QString::fromStdString(own));
  EXPECT_TRUE(SetBackgroundFile(apply, QString::fromStdString(own)));
  EXPECT_TRUE(apply->styleSheet().contains(QString::fromStdString(own)));
  EXPECT_FALSE(SetBackgroundFile(apply, "/tmp/a\") x { color: red; }\".png"));
  EXPECT_FALSE(SetBackgroundFile(apply, "/no/such/picture.png"));
  EXPECT_FALSE(apply->styleSheet().contains("color: red"));
  EXPECT_TRUE(SetBackgroundFile(apply, ""));
  EXPECT_FALSE(apply->styleSheet().contains("border-image"));
}

TEST(ControlStyle, ControlsOwnStyleSheetIsKeptInFront) {
  // The first style change keeps the sheet the control had.
  QLabel fresh;
  fresh.setStyleSheet("QLabel { font-weight: bold; }");
  SetForegroundColour(&fresh, 0xFF00FF00u);
  EXPECT_TRUE(fresh.styleSheet().startsWith("QLabel { font-weight: bold; }"));
  EXPECT_TRUE(fresh.styleSheet().contains("color: rgba(0, 255, 0, 255)"));
  SetForegroundColour(&fresh, 0xFF0000FFu);
  EXPECT_FALSE(fresh.styleSheet().contains("rgba(0, 255, 0, 255)"));
  EXPECT_EQ(fresh.styleSheet().count("font-weight"), 1);
}

TEST(ControlStyle, ParsesColours) {
  uint32_t argb = 0;
  EXPECT_TRUE(ParseColour("#FF102030", &argb));
  EXPECT_EQ(argb, 0xFF102030u);
  EXPECT_TRUE(ParseColour("#102030", &argb));
  EXPECT_EQ(argb, 0xFF102030u);
  EXPECT_TRUE(ParseColour("0x80ffffff", &argb));
  EXPECT_EQ(argb, 0x80FFFFFFu);
  EXPECT_TRUE(ParseColour("4294967295", &argb));
  EXPECT_EQ(argb, 0xFFFFFFFFu);
  argb = 7;
  EXPECT_FALSE(ParseColour("", &argb));
  EXPECT_FALSE(ParseColour("#12345", &argb));
  EXPECT_FALSE(ParseColour("#GG0000", &argb));
  EXPECT_FALSE(ParseColour("4294967296", &argb));
  EXPECT_FALSE(ParseColour("red", &argb));
  EXPECT_EQ(argb, 7u);
}

TEST(ControlStyle, ImageAttributesGiveTheirFile) {
  EXPECT_EQ(ImageFileOf("key.png"), "key.png");
  EXPECT_EQ(ImageFileOf(" file='img/a b.png' source='1,2,3,4' "), "img/a b.png");
  EXPECT_EQ(ImageFileOf("file = 'x.png'"), "x.png");
  EXPECT_EQ(ImageFileOf(""), "");
}

}  // namespace
}  // namespace varkon::ui
