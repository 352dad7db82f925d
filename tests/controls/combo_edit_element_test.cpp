// The macro-step row: its content from the row skin, selection, and its notifications.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QFile>
#include <QKeyEvent>
#include <filesystem>
#include <memory>

#include "app/controls/combo_edit_element.h"
#include "controls/controls_test_support.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_timers.h"
#include "platform/ui/skin_loader.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

class ComboEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string folder = temp_.File("XML/CustomControlXML");
    std::filesystem::create_directories(folder);
    QFile file(QString::fromStdString(folder + "/ComboEditElementItem.xml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"combo_row\">"
        "<layout class=\"QHBoxLayout\" name=\"row_layout\">"
        "<item><widget class=\"QLabel\" name=\"text1\"/></item>"
        "<item><widget class=\"QLabel\" name=\"text2\"/></item>"
        "<item><widget class=\"QLineEdit\" name=\"delay_edit\"/></item>"
        "</layout></widget></ui>");
    file.close();
    list_ = std::make_unique<QWidget>();
    list_->setProperty(ui::kSkinFolderProperty, QString::fromStdString(temp_.path()));
    row_ = new CComboEditContainerElementUI(list_.get());
    row_->setObjectName("step_0");
    row_->setGeometry(0, 0, 200, 24);
    recorder_ = std::make_unique<test::Recorder>(list_.get());
  }

  varkon::test::TempDir temp_;
  std::unique_ptr<QWidget> list_;
  CComboEditContainerElementUI* row_ = nullptr;
  std::unique_ptr<test::Recorder> recorder_;
};

TEST_F(ComboEditTest, BuildsItsContentFromTheRowSkin) {
  EXPECT_EQ(ui::ControlClassName(row_), "ComboEditContainerElement");
  EXPECT_EQ(row_->Text1(), nullptr);
  list_->show();  // first show builds the content
  ASSERT_NE(row_->Text1(), nullptr);
  EXPECT_EQ(row_->Text1()->objectName(), "text1");
  EXPECT_EQ(row_->Text2()->objectName(), "text2");
  EXPECT_EQ(row_->DelayEdit()->objectName(), "delay_edit");
  EXPECT_TRUE(row_->BuildContent());  // once only
  EXPECT_EQ(row_->findChildren<QWidget*>("text1").size(), 1);
}

TEST_F(ComboEditTest, MissingRowSkinFails) {
  CComboEditContainerElementUI lonely;
  EXPECT_FALSE(lonely.BuildContent(temp_.File("nowhere")));
  EXPECT_EQ(lonely.Text1(), nullptr);
}

TEST_F(ComboEditTest, ClicksSelectAndCtrlToggles) {
  test::Press(row_, QPoint(5, 5));
  test::Release(row_, QPoint(5, 5));
  EXPECT_TRUE(row_->IsSelected());
  EXPECT_EQ(recorder_->Count("itemclick"), 1);
  test::Press(row_, QPoint(5, 5));
  EXPECT_TRUE(row_->IsSelected());  // a plain click keeps it selected
  const auto ctrlPress = [&] {
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), row_->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(row_, &event);
  };
  ctrlPress();
  EXPECT_FALSE(row_->IsSelected());
  ctrlPress();
  EXPECT_TRUE(row_->IsSelected());
  row_->setEnabled(false);
  ctrlPress();
  EXPECT_TRUE(row_->IsSelected());
}

TEST_F(ComboEditTest, DoubleClickAndReturnActivate) {
  test::SendMouse(row_, QEvent::MouseButtonDblClick, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
  EXPECT_EQ(recorder_->Count("itemactivate"), 1);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(row_, &enter);
  EXPECT_EQ(recorder_->Count("itemactivate"), 2);
  EXPECT_EQ(recorder_->Count("return"), 1);
  QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(row_, &other);
  EXPECT_EQ(recorder_->Count("return"), 1);
}

TEST_F(ComboEditTest, MenuAndTimer) {
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(3, 4), QPoint(3, 4), Qt::NoModifier);
  QApplication::sendEvent(row_, &menu);
  ASSERT_EQ(recorder_->Count("menu"), 1);
  EXPECT_EQ(recorder_->seen().back().wParam, 3u);
  row_->SetContextMenuEnabled(false);
  QContextMenuEvent again(QContextMenuEvent::Mouse, QPoint(3, 4), QPoint(3, 4), Qt::NoModifier);
  QApplication::sendEvent(row_, &again);
  EXPECT_EQ(recorder_->Count("menu"), 1);
  ASSERT_TRUE(ui::ControlTimers::Start(row_, 7, 1, ui::ControlTimers::Repeat::Once));
  EXPECT_TRUE(test::WaitUntil([&] { return recorder_->Count("timer") == 1; }));
}

TEST_F(ComboEditTest, MouseDisabledRowLetsEventsPass) {
  row_->SetMouseEnabled(false);
  EXPECT_FALSE(row_->IsMouseEnabled());
  EXPECT_TRUE(row_->testAttribute(Qt::WA_TransparentForMouseEvents));
  row_->SetMouseEnabled(true);
  EXPECT_FALSE(row_->testAttribute(Qt::WA_TransparentForMouseEvents));
}

TEST_F(ComboEditTest, ImageAttributesAreSwallowed) {
  ui::SkinLoader loader(temp_.path());
  loader.RegisterControl("ComboEditContainerElement",
                         [](QWidget* parent) { return new CComboEditContainerElementUI(parent); });
  const QByteArray document(
      "<ui version=\"4.0\"><widget class=\"ComboEditContainerElement\" name=\"row\">"
      "<property name=\"normalimage\"><string>a.png</string></property>"
      "<property name=\"hotimage\"><string>b.png</string></property>"
      "<property name=\"selectedimage\"><string>c.png</string></property>"
      "</widget></ui>");
  std::string error;
  std::unique_ptr<QWidget> root(loader.LoadSkinData(document, temp_.path(), nullptr, &error));
  ASSERT_NE(root, nullptr) << error;
  EXPECT_TRUE(root->property("normalimage").toString().isEmpty());
  EXPECT_TRUE(root->property("selectedimage").toString().isEmpty());
}

}  // namespace
}  // namespace varkon
