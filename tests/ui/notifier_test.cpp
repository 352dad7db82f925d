#include "platform/ui/notifier.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTest>
#include <memory>
#include <vector>

#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_values.h"
#include "platform/ui/skin_loader.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

class NotifierTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinLoader loader(test::SkinDataFolder());
    root_.reset(loader.LoadSkin("XML/controls.xml", nullptr, nullptr));
    ASSERT_NE(root_, nullptr);
    notifier_ = std::make_unique<Notifier>(root_.get());
    notifier_->AddHandler([this](const Notification& n) { seen_.push_back(n); });
  }
  void TearDown() override {
    notifier_.reset();
    root_.reset();
  }

  void ShowActive() {
    root_->show();
    root_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(root_.get()));
    seen_.clear();  // the window's own notifications
  }

  QWidget* Find(const char* name) { return FindControl(root_.get(), name); }
  template <typename T>
  T* FindAs(const char* name) {
    return qobject_cast<T*>(Find(name));
  }

  std::vector<std::string> Types() const {
    std::vector<std::string> types;
    for (const Notification& n : seen_) types.push_back(n.type + ":" + n.name);
    return types;
  }

  static void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
  }

  std::unique_ptr<QWidget> root_;
  std::unique_ptr<Notifier> notifier_;
  std::vector<Notification> seen_;
};

using Strings = std::vector<std::string>;

TEST_F(NotifierTest, ButtonClickIsAClickFromThatButton) {
  ShowActive();
  QTest::mouseClick(Find("apply_btn"), Qt::LeftButton);
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].type, "click");
  EXPECT_EQ(seen_[0].sender, Find("apply_btn"));
  EXPECT_EQ(seen_[0].name, "apply_btn");
  EXPECT_EQ(seen_[0].wParam, 0u);
}

TEST_F(NotifierTest, OptionClickChangesBothOptionsThenClicks) {
  ShowActive();
  QTest::mouseClick(Find("mode_breath"), Qt::LeftButton);
  EXPECT_EQ(Types(), (Strings{"selectchanged:mode_static", "selectchanged:mode_breath",
                              "click:mode_breath"}));
  ASSERT_EQ(seen_.size(), 3u);
  EXPECT_EQ(seen_[0].wParam, 0u);
  EXPECT_EQ(seen_[1].wParam, 1u);
  EXPECT_EQ(seen_[2].wParam, 1u);
  // Clicking the selected option again changes nothing.
  seen_.clear();
  QTest::mouseClick(Find("mode_breath"), Qt::LeftButton);
  EXPECT_EQ(Types(), (Strings{"click:mode_breath"}));
}

TEST_F(NotifierTest, CheckBoxClickIsAlsoACheckClick) {
  ShowActive();
  QTest::mouseClick(Find("loop_check"), Qt::LeftButton);
  EXPECT_EQ(Types(),
            (Strings{"selectchanged:loop_check", "click:loop_check", "checkclick:loop_check"}));
  ASSERT_EQ(seen_.size(), 3u);
  EXPECT_EQ(seen_[2].wParam, 1u);
  seen_.clear();
  QTest::mouseClick(Find("loop_check"), Qt::LeftButton);
  ASSERT_EQ(seen_.size(), 3u);
  EXPECT_EQ(seen_[0].wParam, 0u);
  EXPECT_EQ(seen_[2].wParam, 0u);
}

TEST_F(NotifierTest, ComboChosenByTheUserIsAnItemSelect) {
  ShowActive();
  auto* combo = FindAs<QComboBox>("speed_combo");
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  ASSERT_EQ(Types(), (Strings{"itemselect:speed_combo"}));
  EXPECT_EQ(seen_[0].wParam, 1u);
  EXPECT_EQ(combo->currentIndex(), 1);
}

TEST_F(NotifierTest, SliderKeysRaiseValueChanged) {
  ShowActive();
  auto* slider = FindAs<QSlider>("bright_slider");
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Right);
  ASSERT_EQ(Types(), (Strings{"valuechanged:bright_slider"}));
  EXPECT_EQ(seen_[0].wParam, 51u);
  // At the end of the range a key changes nothing and raises nothing.
  SetValue(slider, 100);
  seen_.clear();
  QTest::keyClick(slider, Qt::Key_Right);
  EXPECT_TRUE(seen_.empty());
}

TEST_F(NotifierTest, SliderDragRaisesMovesThenOneValueChange) {
  ShowActive();
  auto* slider = FindAs<QSlider>("bright_slider");
  const QPoint handle = slider->rect().center();  // value 50 of 0..100
  SendMouse(slider, QEvent::MouseButtonPress, handle, Qt::LeftButton);
  ASSERT_TRUE(slider->isSliderDown()) << "the press missed the handle";
  SendMouse(slider, QEvent::MouseMove, handle + QPoint(30, 0), Qt::LeftButton);
  SendMouse(slider, QEvent::MouseMove, handle + QPoint(60, 0), Qt::LeftButton);
  SendMouse(slider, QEvent::MouseButtonRelease, handle + QPoint(60, 0), Qt::NoButton);
  ASSERT_EQ(Types(), (Strings{"movevaluechanged:bright_slider", "movevaluechanged:bright_slider",
                              "valuechanged:bright_slider"}));
  EXPECT_LT(seen_[0].wParam, seen_[1].wParam);
  EXPECT_GT(seen_[0].wParam, 50u);
  EXPECT_EQ(seen_[2].wParam, static_cast<uintptr_t>(slider->value()));
  EXPECT_EQ(seen_[1].wParam, seen_[2].wParam);
}

TEST_F(NotifierTest, SliderDragWithoutTrackingReportsTheValueAtRelease) {
  ShowActive();
  auto* slider = FindAs<QSlider>("bright_slider");
  slider->setTracking(false);
  const QPoint handle = slider->rect().center();
  SendMouse(slider, QEvent::MouseButtonPress, handle, Qt::LeftButton);
  ASSERT_TRUE(slider->isSliderDown());
  SendMouse(slider, QEvent::MouseMove, handle + QPoint(40, 0), Qt::LeftButton);
  EXPECT_EQ(slider->value(), 50);
  SendMouse(slider, QEvent::MouseButtonRelease, handle + QPoint(40, 0), Qt::NoButton);
  ASSERT_EQ(Types(), (Strings{"movevaluechanged:bright_slider", "valuechanged:bright_slider"}));
  EXPECT_GT(slider->value(), 50);
  EXPECT_EQ(seen_[1].wParam, static_cast<uintptr_t>(slider->value()));
}

TEST_F(NotifierTest, PressAndReleaseOnTheHandleRaisesNothing) {
  ShowActive();
  auto* slider = FindAs<QSlider>("bright_slider");
  const QPoint handle = slider->rect().center();
  SendMouse(slider, QEvent::MouseButtonPress, handle, Qt::LeftButton);
  SendMouse(slider, QEvent::MouseButtonRelease, handle, Qt::NoButton);
  EXPECT_TRUE(seen_.empty()) << ::testing::PrintToString(Types());
}

TEST_F(NotifierTest, SliderClickAwayFromTheHandleIsOneValueChange) {
  ShowActive();
  auto* slider = FindAs<QSlider>("bright_slider");
  const QPoint far(slider->width() - 3, slider->height() / 2);
  SendMouse(slider, QEvent::MouseButtonPress, far, Qt::LeftButton);
  SendMouse(slider, QEvent::MouseButtonRelease, far, Qt::NoButton);
  ASSERT_EQ(Types(), (Strings{"valuechanged:bright_slider"}));
  EXPECT_GT(slider->value(), 50);
  EXPECT_EQ(seen_[0].wParam, static_cast<uintptr_t>(slider->value()));
}

TEST_F(NotifierTest, EditFocusAndTyping) {
  ShowActive();
  auto* delay = FindAs<QLineEdit>("delay_edit");
  auto* name = FindAs<QLineEdit>("name_edit");
  delay->setFocus(Qt::MouseFocusReason);
  ASSERT_EQ(Types(), (Strings{"setfocus:delay_edit"}));
  QTest::keyClicks(delay, "12");
  QTest::keyClick(delay, Qt::Key_Return);
  name->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(Types(),
            (Strings{"setfocus:delay_edit", "textchanged:delay_edit", "textchanged:delay_edit",
                     "return:delay_edit", "killfocus:delay_edit", "setfocus:name_edit"}));
}

TEST_F(NotifierTest, ListRowsAndActivation) {
  ShowActive();
  auto* list = FindAs<QListWidget>("macro_list");
  SelectListItem(list, 2);
  seen_.clear();
  const QRect row = list->visualItemRect(list->item(1));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
  ASSERT_EQ(Types(), (Strings{"itemselect:macro_list", "itemclick:macro_list"}));
  EXPECT_EQ(seen_[0].wParam, 1u);
  EXPECT_EQ(seen_[0].lParam, 2);
  EXPECT_EQ(seen_[1].wParam, 1u);
  seen_.clear();
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Return);
  ASSERT_EQ(Types(), (Strings{"itemactivate:macro_list"}));
  EXPECT_EQ(seen_[0].wParam, 1u);
}

TEST_F(NotifierTest, ChangesFromCodeRaiseNothing) {
  ShowActive();
  SetChecked(Find("mode_wave"), true);
  SetChecked(Find("loop_check"), true);
  SetComboIndex(Find("speed_combo"), 2);
  SetValue(Find("bright_slider"), 80);
  SelectListItem(Find("macro_list"), 1);
  SetText(Find("delay_edit"), "300");
  SetText(Find("speed_combo"), "Slow");
  SetFocus(Find("delay_edit"));
  SetFocus(Find("name_edit"));
  SetRange(Find("bright_slider"), 0, 10);  // pulls the value in
  // Qt's own setters raise nothing either where Qt tells user and code apart.
  FindAs<QSlider>("bright_slider")->setValue(3);
  FindAs<QComboBox>("speed_combo")->setCurrentIndex(1);
  FindAs<QLineEdit>("delay_edit")->setText("400");
  // A scope silences the rest, as does a signal blocker.
  {
    QuietNotifications quiet;
    FindAs<QRadioButton>("mode_static")->setChecked(true);
    FindAs<QListWidget>("macro_list")->setCurrentRow(0);
  }
  {
    const QSignalBlocker blocker(Find("loop_check"));
    FindAs<QCheckBox>("loop_check")->setChecked(false);
  }
  EXPECT_TRUE(seen_.empty()) << ::testing::PrintToString(Types());
  EXPECT_FALSE(QuietNotifications::Active());
}

TEST_F(NotifierTest, ChangesFromCodeRaiseWhenAsked) {
  ShowActive();
  SetChecked(Find("mode_wave"), true, true);
  EXPECT_EQ(Types(), (Strings{"selectchanged:mode_static", "selectchanged:mode_wave"}));
  seen_.clear();
  SetValue(Find("bright_slider"), 70, true);
  SetComboIndex(Find("speed_combo"), 2, true);
  SelectListItem(Find("macro_list"), 1, true);
  EXPECT_EQ(Types(), (Strings{"valuechanged:bright_slider", "itemselect:speed_combo",
                              "itemselect:macro_list"}));
  ASSERT_EQ(seen_.size(), 3u);
  EXPECT_EQ(seen_[0].wParam, 70u);
  EXPECT_EQ(seen_[1].wParam, 2u);
  EXPECT_EQ(seen_[2].wParam, 1u);
  // A code click is a click.
  seen_.clear();
  FindAs<QPushButton>("apply_btn")->click();
  EXPECT_EQ(Types(), (Strings{"click:apply_btn"}));
}

TEST_F(NotifierTest, WindowInitOnceAndWindowSize) {
  root_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(root_.get()));
  root_->hide();
  root_->show();
  root_->resize(500, 360);
  int inits = 0;
  const Notification* size = nullptr;
  for (const Notification& n : seen_) {
    if (n.type == "windowinit") ++inits;
    if (n.type == "windowsize") size = &n;
    EXPECT_EQ(n.sender, root_.get());
  }
  EXPECT_EQ(inits, 1);
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(size->wParam, 500u);
  EXPECT_EQ(size->lParam, 360);
  // Sizes before the first show are the window being laid out, not resized.
  EXPECT_EQ(seen_.front().type, "windowinit");
}

TEST_F(NotifierTest, CustomControlsRaiseTheirOwnTypes) {
  QWidget* pages = Find("page_keys");
  EXPECT_TRUE(RaiseNotification(pages, "click_select_end", 3, -4));
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].type, "click_select_end");
  EXPECT_EQ(seen_[0].sender, pages);
  EXPECT_EQ(seen_[0].wParam, 3u);
  EXPECT_EQ(seen_[0].lParam, -4);
  // A control outside any notified tree has nobody to tell.
  QPushButton outside;
  EXPECT_FALSE(RaiseNotification(&outside, "click"));
  EXPECT_FALSE(RaiseNotification(nullptr, "click"));
}

TEST_F(NotifierTest, NearestNotifierGetsRaisedNotifications) {
  QWidget* row = Find("key_row");
  std::vector<std::string> inner;
  Notifier rowNotifier(row);
  rowNotifier.AddHandler([&](const Notification& n) { inner.push_back(n.type); });
  RaiseNotification(Find("row_a"), "menu");
  RaiseNotification(Find("apply_btn"), "menu");
  EXPECT_EQ(inner, (Strings{"menu"}));
  EXPECT_EQ(Types(), (Strings{"menu:apply_btn"}));
}

TEST_F(NotifierTest, ControlsAddedLaterAreAttachedOnce) {
  ShowActive();
  auto* late = new QPushButton("Late", root_.get());
  late->setObjectName("late_btn");
  late->show();
  QTest::mouseClick(late, Qt::LeftButton);
  EXPECT_TRUE(seen_.empty());
  notifier_->Attach(late);
  notifier_->Attach(late);
  notifier_->Attach(root_.get());
  QTest::mouseClick(late, Qt::LeftButton);
  EXPECT_EQ(Types(), (Strings{"click:late_btn"}));
  // Unnamed controls and Qt's inner parts are left out.
  seen_.clear();
  auto* unnamed = new QPushButton("?", root_.get());
  unnamed->show();
  notifier_->Attach(unnamed);
  QTest::mouseClick(unnamed, Qt::LeftButton);
  EXPECT_TRUE(seen_.empty());
}

TEST_F(NotifierTest, HandlersInOrderAndRemovable) {
  std::vector<int> order;
  const int second = notifier_->AddHandler([&](const Notification&) { order.push_back(2); });
  notifier_->AddHandler([&](const Notification&) { order.push_back(3); });
  RaiseNotification(Find("apply_btn"), "x");
  EXPECT_EQ(order, (std::vector<int>{2, 3}));
  notifier_->RemoveHandler(second);
  order.clear();
  RaiseNotification(Find("apply_btn"), "x");
  EXPECT_EQ(order, (std::vector<int>{3}));
}

TEST_F(NotifierTest, HandlerMayRemoveOthersOrDestroyTheNotifier) {
  int later = 0;
  int laterId = 0;
  notifier_->AddHandler([&](const Notification&) { notifier_->RemoveHandler(laterId); });
  laterId = notifier_->AddHandler([&](const Notification&) { ++later; });
  RaiseNotification(Find("apply_btn"), "x");
  EXPECT_EQ(later, 0);

  notifier_->AddHandler([&](const Notification&) { notifier_.reset(); });
  notifier_->AddHandler([&](const Notification&) { ++later; });
  ShowActive();
  QTest::mouseClick(Find("apply_btn"), Qt::LeftButton);
  EXPECT_EQ(notifier_, nullptr);
  EXPECT_EQ(later, 0);
  // With the notifier gone the tree raises nothing and nothing breaks.
  seen_.clear();
  QTest::mouseClick(Find("apply_btn"), Qt::LeftButton);
  EXPECT_FALSE(RaiseNotification(Find("apply_btn"), "x"));
  EXPECT_TRUE(seen_.empty());
}

TEST_F(NotifierTest, ANewNotifierOnTheSameTreeConnectsAgain) {
  notifier_.reset();
  Notifier again(root_.get());
  std::vector<std::string> types;
  again.AddHandler([&](const Notification& n) { types.push_back(n.type); });
  FindAs<QPushButton>("apply_btn")->click();
  EXPECT_EQ(types, (Strings{"click"}));
  EXPECT_EQ(again.root(), root_.get());
}

}  // namespace
}  // namespace varkon::ui
