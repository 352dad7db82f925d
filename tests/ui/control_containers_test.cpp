#include "platform/ui/control_containers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <memory>

#include "platform/ui/control_find.h"
#include "platform/ui/skin_loader.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

class ControlContainersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinLoader loader(test::SkinDataFolder());
    root_.reset(loader.LoadSkin("XML/controls.xml", nullptr, nullptr));
    ASSERT_NE(root_, nullptr);
  }
  QWidget* Find(const char* name) { return FindControl(root_.get(), name); }
  static QPushButton* Named(const char* name) {
    auto* button = new QPushButton(name);
    button->setObjectName(name);
    return button;
  }

  std::unique_ptr<QWidget> root_;
};

TEST_F(ControlContainersTest, LayoutItemsSkipSpacers) {
  QWidget* row = Find("key_row");
  EXPECT_EQ(ItemCount(row), 2);
  EXPECT_EQ(ItemAt(row, 0), Find("row_a"));
  EXPECT_EQ(ItemAt(row, 1), Find("row_b"));
  EXPECT_EQ(ItemAt(row, 2), nullptr);
  EXPECT_EQ(ItemAt(row, -1), nullptr);
  EXPECT_EQ(IndexOfItem(row, Find("row_b")), 1);
  EXPECT_EQ(IndexOfItem(row, Find("apply_btn")), -1);
  EXPECT_EQ(IndexOfItem(row, nullptr), -1);
}

TEST_F(ControlContainersTest, InsertAndRemoveInALayout) {
  QWidget* row = Find("key_row");
  QPushButton* middle = Named("row_middle");
  ASSERT_TRUE(InsertItem(row, 1, middle));
  EXPECT_EQ(ItemCount(row), 3);
  EXPECT_EQ(ItemAt(row, 1), middle);
  EXPECT_EQ(middle->parentWidget(), row);
  // It goes straight in front of the item it displaces (after the spacer).
  EXPECT_EQ(row->layout()->indexOf(middle), row->layout()->indexOf(Find("row_b")) - 1);
  EXPECT_TRUE(AddItem(row, Named("row_last")));
  EXPECT_EQ(ControlName(ItemAt(row, 3)), "row_last");

  // An item cannot be added twice, nor out of range, nor into itself.
  EXPECT_FALSE(AddItem(row, middle));
  QPushButton far;
  EXPECT_FALSE(InsertItem(row, 9, &far));
  EXPECT_EQ(far.parentWidget(), nullptr);
  EXPECT_FALSE(AddItem(row, row));
  EXPECT_FALSE(AddItem(row, nullptr));

  ASSERT_TRUE(RemoveItem(row, middle, false));
  EXPECT_EQ(ItemCount(row), 3);
  EXPECT_EQ(middle->parentWidget(), nullptr);
  EXPECT_FALSE(RemoveItem(row, middle));
  delete middle;
}

TEST_F(ControlContainersTest, RemovedItemIsDeletedLater) {
  QWidget* row = Find("key_row");
  QPointer<QWidget> a = Find("row_a");
  ASSERT_TRUE(RemoveItem(row, a));
  EXPECT_FALSE(a.isNull());  // a handler of its own notification may still be running
  EXPECT_EQ(ItemCount(row), 1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(a.isNull());
  RemoveAllItems(row);
  EXPECT_EQ(ItemCount(row), 0);
}

TEST_F(ControlContainersTest, WidgetWithoutLayoutHoldsItsChildren) {
  const int before = ItemCount(root_.get());
  EXPECT_EQ(ItemAt(root_.get(), 0), Find("title_label"));
  QPushButton* first = Named("first");
  ASSERT_TRUE(InsertItem(root_.get(), 0, first));
  EXPECT_EQ(ItemCount(root_.get()), before + 1);
  EXPECT_EQ(ItemAt(root_.get(), 0), first);
  EXPECT_EQ(ItemAt(root_.get(), 1), Find("title_label"));
  EXPECT_EQ(IndexOfItem(root_.get(), Find("title_label")), 1);
  EXPECT_TRUE(AddItem(root_.get(), Named("last")));
  EXPECT_EQ(ControlName(ItemAt(root_.get(), before + 1)), "last");
}

TEST_F(ControlContainersTest, StackedPagesAreItemsAndSelectable) {
  QWidget* pages = Find("pages");
  EXPECT_EQ(ItemCount(pages), 3);
  EXPECT_EQ(ItemAt(pages, 2), Find("page_macro"));
  EXPECT_EQ(CurrentPage(pages), 0);
  EXPECT_TRUE(SelectPage(pages, 2));
  EXPECT_EQ(CurrentPage(pages), 2);
  EXPECT_EQ(qobject_cast<QStackedWidget*>(pages)->currentWidget(), Find("page_macro"));
  EXPECT_FALSE(SelectPage(pages, 3));
  EXPECT_FALSE(SelectPage(pages, -1));
  EXPECT_EQ(CurrentPage(pages), 2);
  EXPECT_FALSE(SelectPage(Find("apply_btn"), 0));
  EXPECT_EQ(CurrentPage(Find("apply_btn")), -1);

  ASSERT_TRUE(InsertItem(pages, 0, Named("page_new")));
  EXPECT_EQ(ControlName(ItemAt(pages, 0)), "page_new");
  EXPECT_EQ(ItemCount(pages), 4);
}

TEST(ControlContainers, TabWidgetPages) {
  QTabWidget tabs;
  auto* one = new QWidget;
  one->setObjectName("one");
  auto* two = new QWidget;
  two->setObjectName("two");
  ASSERT_TRUE(AddItem(&tabs, one));
  ASSERT_TRUE(AddItem(&tabs, two));
  EXPECT_EQ(tabs.tabText(1), "two");
  EXPECT_TRUE(SelectPage(&tabs, 1));
  EXPECT_EQ(tabs.currentWidget(), two);
  ASSERT_TRUE(RemoveItem(&tabs, one, false));
  EXPECT_EQ(ItemCount(&tabs), 1);
  EXPECT_EQ(IndexOfItem(&tabs, two), 0);
  delete one;
}

TEST(ControlContainers, ScrollAreaHoldsTheItemsOfItsContent) {
  QScrollArea area;
  auto* content = new QWidget;
  content->setLayout(new QHBoxLayout);
  area.setWidget(content);
  auto* item = new QWidget;
  ASSERT_TRUE(AddItem(&area, item));
  EXPECT_EQ(item->parentWidget(), content);
  EXPECT_EQ(ItemCount(&area), 1);
  // A scroll area without content holds nothing.
  QScrollArea empty;
  EXPECT_EQ(ItemCount(&empty), 0);
  auto* orphan = new QWidget;
  EXPECT_FALSE(AddItem(&empty, orphan));
  delete orphan;
}

}  // namespace
}  // namespace varkon::ui
