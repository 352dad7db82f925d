#include "platform/ui/control_values.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <memory>

#include "platform/ui/control_find.h"
#include "platform/ui/skin_loader.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

class ControlValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinLoader loader(test::SkinDataFolder());
    root_.reset(loader.LoadSkin("XML/controls.xml", nullptr, nullptr));
    ASSERT_NE(root_, nullptr);
  }
  QWidget* Find(const char* name) { return FindControl(root_.get(), name); }

  std::unique_ptr<QWidget> root_;
};

TEST_F(ControlValuesTest, SkinGroupPropertyMakesAnExclusiveGroup) {
  QButtonGroup* group = FindOptionGroup(root_.get(), "mode");
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(group->exclusive());
  EXPECT_EQ(group->buttons().size(), 3);
  // A push button in a group becomes an option.
  EXPECT_TRUE(qobject_cast<QPushButton*>(Find("mode_wave"))->isCheckable());
  EXPECT_EQ(OptionGroup(Find("mode_wave")), "mode");
  EXPECT_TRUE(IsChecked(Find("mode_static")));

  EXPECT_TRUE(SetChecked(Find("mode_wave"), true));
  EXPECT_TRUE(IsChecked(Find("mode_wave")));
  EXPECT_FALSE(IsChecked(Find("mode_static")));
  EXPECT_FALSE(IsChecked(Find("mode_breath")));
  // Code may clear the selected option of an exclusive group; the group stays exclusive.
  EXPECT_TRUE(SetChecked(Find("mode_wave"), false));
  EXPECT_FALSE(IsChecked(Find("mode_wave")));
  EXPECT_TRUE(group->exclusive());
  EXPECT_EQ(group->checkedButton(), nullptr);
  EXPECT_FALSE(SetChecked(Find("title_label"), true));
  EXPECT_FALSE(IsChecked(Find("title_label")));
}

TEST_F(ControlValuesTest, GroupsChangeFromCode) {
  QWidget* wave = Find("mode_wave");
  ASSERT_TRUE(SetOptionGroup(wave, "other", root_.get()));
  EXPECT_EQ(FindOptionGroup(root_.get(), "mode")->buttons().size(), 2);
  EXPECT_EQ(FindOptionGroup(root_.get(), "other")->buttons().size(), 1);
  SetChecked(wave, true);
  EXPECT_TRUE(IsChecked(Find("mode_static")));  // another group: untouched
  ASSERT_TRUE(SetOptionGroup(wave, "", root_.get()));
  EXPECT_EQ(qobject_cast<QPushButton*>(wave)->group(), nullptr);
  EXPECT_EQ(OptionGroup(wave), "");
  EXPECT_FALSE(SetOptionGroup(Find("title_label"), "mode"));

  // Without a scope a button joins the group of its window.
  QRadioButton loose(root_.get());
  ASSERT_TRUE(SetOptionGroup(&loose, "mode"));
  EXPECT_EQ(FindOptionGroup(root_.get(), "mode")->buttons().size(), 3);
}

TEST_F(ControlValuesTest, CombosCarryUserData) {
  QWidget* combo = Find("speed_combo");
  EXPECT_EQ(ComboCount(combo), 3);
  EXPECT_EQ(AddComboItem(combo, "Turbo", "speed:4"), 3);
  EXPECT_TRUE(InsertComboItem(combo, 0, "Off", "speed:0"));
  EXPECT_EQ(ComboCount(combo), 5);
  EXPECT_EQ(ComboItemText(combo, 0), "Off");
  EXPECT_EQ(ComboItemData(combo, 0), "speed:0");
  EXPECT_EQ(ComboItemData(combo, 4), "speed:4");
  EXPECT_EQ(ComboItemData(combo, 1), "");
  EXPECT_EQ(ComboItemData(combo, 5), "");
  EXPECT_FALSE(InsertComboItem(combo, 7, "x"));

  EXPECT_TRUE(SetComboIndex(combo, 4));
  EXPECT_EQ(ComboIndex(combo), 4);
  EXPECT_FALSE(SetComboIndex(combo, 5));
  EXPECT_FALSE(SetComboIndex(combo, -1));
  EXPECT_EQ(ComboIndex(combo), 4);
  EXPECT_TRUE(RemoveComboItem(combo, 0));
  EXPECT_FALSE(RemoveComboItem(combo, 4));
  EXPECT_EQ(ComboItemText(combo, 3), "Turbo");
  ClearCombo(combo);
  EXPECT_EQ(ComboCount(combo), 0);
  EXPECT_EQ(ComboIndex(combo), -1);
  EXPECT_EQ(AddComboItem(Find("title_label"), "x"), -1);
  EXPECT_EQ(ComboIndex(Find("title_label")), -1);
}

TEST_F(ControlValuesTest, SlidersAndProgressBarsKeepTheirRange) {
  QWidget* slider = Find("bright_slider");
  EXPECT_EQ(Value(slider), 50);
  EXPECT_TRUE(SetValue(slider, 500));
  EXPECT_EQ(Value(slider), 100);
  EXPECT_TRUE(SetRange(slider, 10, 20));
  EXPECT_EQ(Value(slider), 20);
  EXPECT_EQ(Minimum(slider), 10);
  EXPECT_EQ(Maximum(slider), 20);
  EXPECT_FALSE(SetRange(slider, 30, 20));
  EXPECT_EQ(Maximum(slider), 20);

  QWidget* progress = Find("progress");
  EXPECT_EQ(Value(progress), 30);
  EXPECT_TRUE(SetValue(progress, -4));
  EXPECT_EQ(Value(progress), 0);
  EXPECT_TRUE(SetValue(progress, 75));
  EXPECT_EQ(Value(progress), 75);

  EXPECT_FALSE(SetValue(Find("title_label"), 3));
  EXPECT_FALSE(SetRange(Find("title_label"), 0, 3));
  EXPECT_EQ(Value(Find("title_label")), 0);
}

TEST_F(ControlValuesTest, EditLimitsApplyToTypedText) {
  QWidget* edit = Find("delay_edit");
  ASSERT_TRUE(SetMaxLength(edit, 4));
  EXPECT_EQ(MaxLength(edit), 4);
  QTest::keyClicks(edit, "123456");
  EXPECT_EQ(qobject_cast<QLineEdit*>(edit)->text(), "1234");

  qobject_cast<QLineEdit*>(edit)->clear();
  ASSERT_TRUE(SetDigitsOnly(edit, true));
  EXPECT_TRUE(IsDigitsOnly(edit));
  QTest::keyClicks(edit, "1a2-b");
  EXPECT_EQ(qobject_cast<QLineEdit*>(edit)->text(), "12");

  ASSERT_TRUE(SetDigitsOnly(edit, false));
  EXPECT_FALSE(IsDigitsOnly(edit));
  QTest::keyClicks(edit, "ab");
  EXPECT_EQ(qobject_cast<QLineEdit*>(edit)->text(), "12ab");
  EXPECT_FALSE(SetMaxLength(edit, -1));
  EXPECT_FALSE(SetMaxLength(Find("title_label"), 3));
  EXPECT_EQ(MaxLength(Find("title_label")), -1);
  EXPECT_FALSE(SetDigitsOnly(Find("title_label"), true));
}

TEST_F(ControlValuesTest, ListSelection) {
  QWidget* list = Find("macro_list");
  EXPECT_EQ(ListCount(list), 3);
  EXPECT_TRUE(SelectListItem(list, 2));
  EXPECT_EQ(ListIndex(list), 2);
  EXPECT_FALSE(SelectListItem(list, 3));
  EXPECT_EQ(ListIndex(list), 2);
  EXPECT_TRUE(SelectListItem(list, -1));
  EXPECT_EQ(ListIndex(list), -1);
  EXPECT_EQ(ListCount(Find("title_label")), 0);
  EXPECT_FALSE(SelectListItem(Find("title_label"), 0));
}

}  // namespace
}  // namespace varkon::ui
