// The rows of the cloud-share and update lists.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QEnterEvent>
#include <memory>

#include "app/controls/list_items.h"
#include "controls/controls_test_support.h"
#include "platform/ui/control_find.h"

namespace varkon {
namespace {

template <typename Row>
class ListRowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list_ = std::make_unique<QWidget>();
    list_->resize(120, 40);
    row_ = new Row(list_.get());
    row_->setObjectName("row");
    row_->setGeometry(0, 0, 120, 30);
    recorder_ = std::make_unique<test::Recorder>(list_.get());
  }

  void Enter() {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), row_->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(row_, &event);
  }
  void Leave() {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(row_, &event);
  }

  std::unique_ptr<QWidget> list_;
  Row* row_ = nullptr;
  std::unique_ptr<test::Recorder> recorder_;
};

using RowTypes = ::testing::Types<CCloudShareListItemUI, CUpdateInfoListItemUI>;
TYPED_TEST_SUITE(ListRowTest, RowTypes);

TYPED_TEST(ListRowTest, ReportsItsClass) {
  const QString expected = std::is_same_v<TypeParam, CCloudShareListItemUI>
                               ? "CloudShareListItemUI"
                               : "UpdateInfoListItemUI";
  EXPECT_EQ(ui::ControlClassName(this->row_), expected);
}

TYPED_TEST(ListRowTest, DoubleClickActivates) {
  test::SendMouse(this->row_, QEvent::MouseButtonDblClick, QPoint(5, 5), Qt::LeftButton,
                  Qt::LeftButton);
  EXPECT_EQ(this->recorder_->Count("itemactivate"), 1);
  this->row_->setEnabled(false);
  EXPECT_FALSE(this->row_->Activate());
  EXPECT_EQ(this->recorder_->Count("itemactivate"), 1);
}

TYPED_TEST(ListRowTest, ContextMenuRaisesMenuWhenEnabled) {
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(7, 9), QPoint(7, 9), Qt::NoModifier);
  QApplication::sendEvent(this->row_, &event);
  ASSERT_EQ(this->recorder_->Count("menu"), 1);
  EXPECT_EQ(this->recorder_->seen().back().wParam, 7u);
  EXPECT_EQ(this->recorder_->seen().back().lParam, 9);
  this->row_->SetContextMenuEnabled(false);
  QContextMenuEvent again(QContextMenuEvent::Mouse, QPoint(7, 9), QPoint(7, 9), Qt::NoModifier);
  QApplication::sendEvent(this->row_, &again);
  EXPECT_EQ(this->recorder_->Count("menu"), 1);
}

TYPED_TEST(ListRowTest, HotRowIsFramedInTheListColour) {
  this->list_->setProperty(kItemHotBorderProperty, "#FF20C040");
  this->row_->setAutoFillBackground(true);
  this->row_->setPalette(QPalette(Qt::black));
  const auto corner = [&] { return test::Render(this->row_, "list_row").pixel(0, 15) & 0xFFFFFF; };
  EXPECT_NE(corner(), 0x20C040u);
  this->Enter();
  EXPECT_TRUE(this->row_->IsHot());
  EXPECT_EQ(corner(), 0x20C040u);
  this->row_->SetSelected(true);  // selected rows are not framed
  EXPECT_NE(corner(), 0x20C040u);
  this->row_->SetSelected(false);
  this->Leave();
  EXPECT_FALSE(this->row_->IsHot());
  EXPECT_NE(corner(), 0x20C040u);
  this->list_->setProperty(kItemHotBorderProperty, QVariant());
  this->Enter();
  EXPECT_NE(corner(), 0x20C040u);  // no style entry: no frame
}

}  // namespace
}  // namespace varkon
