// Rubber-band selection of the key buttons of a panel.
#include <gtest/gtest.h>

#include <memory>

#include "app/controls/device_key_button.h"
#include "app/controls/select_panel.h"
#include "controls/controls_test_support.h"
#include "platform/ui/control_find.h"

namespace varkon {
namespace {

class SelectPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    panel_ = std::make_unique<CSelectPanelUI>();
    panel_->setObjectName("key_panel");
    panel_->resize(300, 100);
    left_ = AddKey(panel_.get(), "left", QRect(10, 10, 30, 30));
    right_ = AddKey(panel_.get(), "right", QRect(200, 10, 30, 30));
    auto* group = new QWidget(panel_.get());
    group->setObjectName("group");
    group->setGeometry(0, 50, 300, 50);
    nested_ = AddKey(group, "nested", QRect(10, 5, 30, 30));
    recorder_ = std::make_unique<test::Recorder>(panel_.get());
  }

  static CDeviceKeyButtonUI* AddKey(QWidget* parent, const char* name, const QRect& where) {
    auto* key = new CDeviceKeyButtonUI(parent);
    key->setObjectName(name);
    key->setGeometry(where);
    return key;
  }

  void Drag(const QPoint& from, const QPoint& to) {
    test::Press(panel_.get(), from);
    test::Move(panel_.get(), (from + to) / 2);
    test::Move(panel_.get(), to);
    test::Release(panel_.get(), to);
  }

  std::unique_ptr<CSelectPanelUI> panel_;
  CDeviceKeyButtonUI* left_ = nullptr;
  CDeviceKeyButtonUI* right_ = nullptr;
  CDeviceKeyButtonUI* nested_ = nullptr;
  std::unique_ptr<test::Recorder> recorder_;
};

TEST_F(SelectPanelTest, BandSelectsTheKeysItTouches) {
  right_->SetSelected(true);
  Drag(QPoint(60, 45), QPoint(5, 5));  // dragged up and to the left
  EXPECT_TRUE(left_->IsSelected());
  EXPECT_FALSE(right_->IsSelected());
  EXPECT_EQ(recorder_->Count("click_select_end"), 1);
  EXPECT_EQ(panel_->band().left, 5);
  EXPECT_EQ(panel_->band().top, 5);
  EXPECT_EQ(panel_->band().right, 60);
  EXPECT_EQ(panel_->band().bottom, 45);
  EXPECT_FALSE(panel_->IsPressed());
  EXPECT_FALSE(panel_->IsSelecting());
}

TEST_F(SelectPanelTest, BandAcrossBothKeysSelectsBoth) {
  Drag(QPoint(0, 20), QPoint(299, 30));
  EXPECT_TRUE(left_->IsSelected());
  EXPECT_TRUE(right_->IsSelected());
}

TEST_F(SelectPanelTest, StraightLineBandClearsEveryKey) {
  left_->SetSelected(true);
  right_->SetSelected(true);
  Drag(QPoint(0, 20), QPoint(299, 20));  // horizontal, through both keys
  EXPECT_FALSE(left_->IsSelected());
  EXPECT_FALSE(right_->IsSelected());
  left_->SetSelected(true);
  Drag(QPoint(20, 0), QPoint(20, 99));  // vertical, through the left key
  EXPECT_FALSE(left_->IsSelected());
  EXPECT_EQ(recorder_->Count("click_select_end"), 2);
}

TEST_F(SelectPanelTest, PressAndReleaseWithoutMovementChangesNothing) {
  left_->SetSelected(true);
  test::Press(panel_.get(), QPoint(250, 80));
  test::Release(panel_.get(), QPoint(250, 80));
  EXPECT_EQ(recorder_->Count("click_select_end"), 0);
  EXPECT_TRUE(left_->IsSelected());
  EXPECT_FALSE(right_->IsSelected());
}

TEST_F(SelectPanelTest, MoveWithoutPressDoesNotSelect) {
  test::Move(panel_.get(), QPoint(5, 5));
  test::Release(panel_.get(), QPoint(60, 60));
  EXPECT_EQ(recorder_->Count("click_select_end"), 0);
  EXPECT_FALSE(left_->IsSelected());
}

TEST_F(SelectPanelTest, NestedKeysTakeNoPart) {
  nested_->SetSelected(true);
  Drag(QPoint(250, 95), QPoint(260, 99));  // touches nothing
  EXPECT_TRUE(nested_->IsSelected());
  nested_->SetSelected(false);
  Drag(QPoint(0, 0), QPoint(299, 99));  // covers the nested key too
  EXPECT_FALSE(nested_->IsSelected());
  EXPECT_TRUE(left_->IsSelected());
  EXPECT_TRUE(right_->IsSelected());
}

TEST_F(SelectPanelTest, OnlyControlsReportingTheKeyClassTakePart) {
  auto* other = new QWidget(panel_.get());
  other->setGeometry(100, 10, 30, 30);
  // A key button whose reported class was changed is left alone.
  ui::SetControlClassName(right_, "DeviceKeyButton2");
  right_->SetSelected(true);
  Drag(QPoint(0, 0), QPoint(299, 20));
  EXPECT_TRUE(right_->IsSelected());
  EXPECT_TRUE(left_->IsSelected());
}

TEST_F(SelectPanelTest, DisabledPanelDoesNotStartABand) {
  panel_->setEnabled(false);
  Drag(QPoint(0, 0), QPoint(60, 60));
  EXPECT_EQ(recorder_->Count("click_select_end"), 0);
  EXPECT_FALSE(left_->IsSelected());
}

TEST_F(SelectPanelTest, RightButtonNeitherStartsNorEndsABand) {
  test::SendMouse(panel_.get(), QEvent::MouseButtonPress, QPoint(0, 0), Qt::RightButton,
                  Qt::RightButton);
  test::Move(panel_.get(), QPoint(60, 60));
  test::SendMouse(panel_.get(), QEvent::MouseButtonRelease, QPoint(60, 60), Qt::RightButton,
                  Qt::NoButton);
  EXPECT_EQ(recorder_->Count("click_select_end"), 0);
}

}  // namespace
}  // namespace varkon
