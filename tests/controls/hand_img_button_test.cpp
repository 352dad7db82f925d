// The two image buttons: the drawn image, enter and leave, the click, and the image window.
#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QSignalSpy>
#include <memory>

#include "app/controls/hand_img_button.h"
#include "app/controls/hand_img_select_button.h"
#include "controls/controls_test_support.h"
#include "platform/ui/control_find.h"
#include "platform/ui/skin_loader.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

void Enter(QWidget* control) {
  QEnterEvent event(QPointF(1, 1), QPointF(1, 1), control->mapToGlobal(QPointF(1, 1)));
  QApplication::sendEvent(control, &event);
}

void Leave(QWidget* control) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(control, &event);
}

TEST(PanImageWindow, MovingLeftRevealsTheRightPart) {
  ImageWindow window{0, 0, 50, 40};
  PanImageWindow(window, -30, 0, 200, 40);
  EXPECT_EQ(window, (ImageWindow{30, 0, 80, 40}));
  PanImageWindow(window, -150, 0, 200, 40);  // may pass the right edge; painting clips
  EXPECT_EQ(window, (ImageWindow{180, 0, 230, 40}));
  PanImageWindow(window, -10, 0, 200, 40);  // already past: stays
  EXPECT_EQ(window, (ImageWindow{180, 0, 230, 40}));
}

TEST(PanImageWindow, MovingRightStopsAtLeftZeroKeepingTheWidth) {
  ImageWindow window{30, 20, 80, 60};
  PanImageWindow(window, 10, 5, 200, 200);
  EXPECT_EQ(window, (ImageWindow{20, 15, 70, 55}));
  PanImageWindow(window, 500, 15, 200, 200);
  EXPECT_EQ(window, (ImageWindow{0, 0, 50, 40}));
  PanImageWindow(window, 5, 5, 200, 200);
  EXPECT_EQ(window, (ImageWindow{0, 0, 50, 40}));
}

TEST(PanImageWindow, ImageThatFitsCannotBePanned) {
  ImageWindow window{0, 0, 50, 40};
  PanImageWindow(window, -20, -20, 40, 30);
  EXPECT_EQ(window, (ImageWindow{0, 0, 50, 40}));
}

TEST(CursorNames, KnownAndUnknown) {
  Qt::CursorShape shape = Qt::BlankCursor;
  ASSERT_TRUE(CursorShapeOf("hand", &shape));
  EXPECT_EQ(shape, Qt::PointingHandCursor);
  ASSERT_TRUE(CursorShapeOf("sizewe", &shape));
  EXPECT_EQ(shape, Qt::SizeHorCursor);
  EXPECT_FALSE(CursorShapeOf("Hand2", &shape));
  EXPECT_FALSE(CursorShapeOf("", &shape));
}

class ImageButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A wide picture: red left half, blue right half.
    QImage wide(200, 40, QImage::Format_ARGB32);
    wide.fill(qRgb(220, 0, 0));
    for (int y = 0; y < 40; ++y) {
      for (int x = 100; x < 200; ++x) wide.setPixel(x, y, qRgb(0, 0, 220));
    }
    ASSERT_TRUE(wide.save(QString::fromStdString(temp_.File("wide.png"))));
    ASSERT_TRUE(test::SaveSolidImage(temp_.File("green.png"), qRgb(0, 180, 0)));
    root_ = std::make_unique<QWidget>();
    root_->setProperty(ui::kSkinFolderProperty, QString::fromStdString(temp_.path()));
    root_->resize(200, 100);
  }

  varkon::test::TempDir temp_;
  std::unique_ptr<QWidget> root_;
};

TEST_F(ImageButtonTest, HandButtonDrawsItsImageAndReportsThePointer) {
  auto* button = new CHandImgButtonUI(root_.get());
  button->setObjectName("hand");
  button->setGeometry(0, 0, 40, 40);
  button->setHandImage("file='green.png'");
  EXPECT_EQ(ui::ControlClassName(button), "HandImgButton");
  EXPECT_EQ(test::Render(button, "hand_img_button").pixel(20, 20) & 0xFFFFFF, 0x00B400u);

  test::Recorder recorder(root_.get());
  Enter(button);
  EXPECT_TRUE(button->IsHot());
  Leave(button);
  EXPECT_FALSE(button->IsHot());
  test::Press(button, QPoint(5, 5));
  test::Release(button, QPoint(5, 5));
  test::Press(button, QPoint(5, 5));
  test::Release(button, QPoint(60, 60));  // released outside: no click
  EXPECT_EQ(recorder.Count("msenter"), 1);
  EXPECT_EQ(recorder.Count("msleave"), 1);
  EXPECT_EQ(recorder.Count("click"), 1);
  button->setEnabled(false);
  Enter(button);
  EXPECT_EQ(recorder.Count("msenter"), 1);
}

TEST_F(ImageButtonTest, AbsolutePathsAreReadFromThere) {
  auto* button = new CHandImgButtonUI(root_.get());
  button->setGeometry(0, 0, 40, 40);
  QWidget other;  // no skin folder: the path alone must find the file
  button->setParent(&other);
  button->setHandImage(QString::fromStdString(temp_.File("green.png")));
  EXPECT_EQ(test::Render(button, "hand_img_button_path").pixel(20, 20) & 0xFFFFFF, 0x00B400u);
}

TEST_F(ImageButtonTest, SelectButtonPansItsWindowAndRaisesNoClick) {
  auto* button = new CHandImgSelectButtonUI(root_.get());
  button->setObjectName("pan");
  button->setGeometry(0, 0, 50, 40);
  button->setHandImage("wide.png");
  EXPECT_EQ(ui::ControlClassName(button), "HandImgSelectButton");
  EXPECT_EQ(button->ImageWidth(), 200);
  EXPECT_EQ(button->ImageHeight(), 40);
  EXPECT_EQ(button->window(), (ImageWindow{0, 0, 50, 40}));
  EXPECT_EQ(button->DrawString(), "file='wide.png' source='0,0,50,40'");
  EXPECT_EQ(test::Render(button, "pan_start").pixel(25, 20) & 0xFFFFFF, 0xDC0000u);

  test::Recorder recorder(root_.get());
  QSignalSpy clicked(button, &QAbstractButton::clicked);
  test::Press(button, QPoint(45, 20));
  EXPECT_TRUE(button->isDown());
  test::Move(button, QPoint(5, 20));    // 40 to the left
  test::Move(button, QPoint(-65, 20));  // 70 more, outside the control
  EXPECT_FALSE(button->isDown());
  EXPECT_EQ(button->window(), (ImageWindow{110, 0, 160, 40}));
  EXPECT_EQ(button->DrawString(), "file='wide.png' source='110,0,160,40'");
  EXPECT_EQ(test::Render(button, "pan_right").pixel(25, 20) & 0xFFFFFF, 0x0000DCu);
  test::Move(button, QPoint(300, 20));  // far to the right: back at left 0
  EXPECT_EQ(button->window(), (ImageWindow{0, 0, 50, 40}));
  test::Release(button, QPoint(300, 20));
  EXPECT_FALSE(button->IsDragging());
  test::Move(button, QPoint(0, 20));  // no longer dragging
  EXPECT_EQ(button->window(), (ImageWindow{0, 0, 50, 40}));
  EXPECT_EQ(clicked.count(), 0);
  EXPECT_EQ(recorder.Count("click"), 0);
}

TEST_F(ImageButtonTest, ImageThatFitsIsDrawnAsGiven) {
  auto* button = new CHandImgSelectButtonUI(root_.get());
  button->setGeometry(0, 0, 50, 40);
  button->setHandImage("file='green.png'");
  EXPECT_EQ(button->DrawString(), "file='green.png'");
  test::Press(button, QPoint(45, 20));
  test::Move(button, QPoint(5, 20));
  EXPECT_EQ(button->window(), (ImageWindow{0, 0, 50, 40}));
}

TEST_F(ImageButtonTest, CursorAttributeFromTheSkin) {
  ui::SkinLoader loader(temp_.path());
  const QByteArray document(
      "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"root\">"
      "<widget class=\"HandImgSelectButton\" name=\"pan\">"
      "<property name=\"cursor\" stdset=\"0\"><string>sizewe</string></property>"
      "</widget><widget class=\"HandImgSelectButton\" name=\"odd\">"
      "<property name=\"cursor\" stdset=\"0\"><string>bogus</string></property>"
      "</widget></widget></ui>");
  loader.RegisterControl("HandImgSelectButton",
                         [](QWidget* parent) { return new CHandImgSelectButtonUI(parent); });
  std::string error;
  std::unique_ptr<QWidget> root(loader.LoadSkinData(document, temp_.path(), nullptr, &error));
  ASSERT_NE(root, nullptr) << error;
  EXPECT_EQ(ui::FindControl(root.get(), "pan")->cursor().shape(), Qt::SizeHorCursor);
  auto* odd = qobject_cast<CHandImgSelectButtonUI*>(ui::FindControl(root.get(), "odd"));
  ASSERT_NE(odd, nullptr);
  EXPECT_TRUE(odd->cursorName().isEmpty());
  EXPECT_EQ(odd->QWidget::cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
}  // namespace varkon
