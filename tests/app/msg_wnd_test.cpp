#include "app/msg_wnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app_test_support.h"
#include "platform/ui/language_text.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

CMsgWnd* OpenMessageBox() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<CMsgWnd*>(widget); box && box->isVisible()) return box;
  }
  return nullptr;
}

// Runs ShowMessage and clicks `button` of the box it opens; returns the result, or -1 when the
// box never opened.
int AnswerWith(const char* button, int mode, QString* shownText = nullptr,
               bool* cancelVisible = nullptr) {
  bool clicked = false;
  std::function<void()> poll;
  QTimer timer;
  timer.setInterval(10);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    CMsgWnd* box = OpenMessageBox();
    if (!box || clicked) return;
    clicked = true;
    if (shownText) shownText->clear();
    if (auto* text = qobject_cast<QLabel*>(box->Control("MessageText")); text && shownText) {
      *shownText = text->text();
    }
    if (cancelVisible) *cancelVisible = box->Control("cancel_btn")->isVisible();
    if (auto* target = qobject_cast<QPushButton*>(box->Control(button))) target->click();
  });
  timer.start();
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] {
    if (CMsgWnd* box = OpenMessageBox()) box->done(-5);
  });
  guard.start(20000);
  const int result = ShowMessage(nullptr, "", "message_text_1", 96, true, mode);
  return clicked ? result : -1;
}

TEST(MessageBox, ConfirmGivesOneCancelAndCloseGiveZero) {
  EXPECT_EQ(AnswerWith("confirm_btn", kMessageConfirmAndCancel), 1);
  EXPECT_EQ(AnswerWith("cancel_btn", kMessageConfirmAndCancel), 0);
  EXPECT_EQ(AnswerWith("closebtn", kMessageConfirmAndCancel), 0);
}

TEST(MessageBox, NoticeHasNoCancelAndClosingIsZero) {
  bool cancelVisible = true;
  EXPECT_EQ(AnswerWith("closebtn", kMessageConfirmOnly, nullptr, &cancelVisible), 0);
  EXPECT_FALSE(cancelVisible);
  EXPECT_EQ(AnswerWith("confirm_btn", kMessageConfirmOnly, nullptr, &cancelVisible), 1);
  AnswerWith("confirm_btn", kMessageConfirmAndCancel, nullptr, &cancelVisible);
  EXPECT_TRUE(cancelVisible);
}

TEST(MessageBox, TextIdIsTranslatedAndAMissingIdShowsItself) {
  SetLanguageTexts({{"message_text_1", "Delete this profile?"}});
  QString shown;
  AnswerWith("confirm_btn", kMessageConfirmAndCancel, &shown);
  EXPECT_EQ(shown, "Delete this profile?");
  SetLanguageTexts({});
  AnswerWith("confirm_btn", kMessageConfirmAndCancel, &shown);
  EXPECT_EQ(shown, "message_text_1");
}

TEST(MessageBox, EmptyTitleAndTextKeepTheSkins) {
  CMsgWnd box;
  std::string error;
  ASSERT_TRUE(box.Create(error)) << error;
  auto* title = qobject_cast<QLabel*>(box.Control("MessageTitle"));
  auto* text = qobject_cast<QLabel*>(box.Control("MessageText"));
  ASSERT_TRUE(title && text);
  const QString skinTitle = title->text();
  text->setText("from the skin");
  box.SetTitle("");
  box.SetText("", true);
  EXPECT_EQ(title->text(), skinTitle);
  EXPECT_EQ(text->text(), "from the skin");
  box.SetTitle("Firmware");
  box.SetText("plain words", false);
  EXPECT_EQ(title->text(), "Firmware");
  EXPECT_EQ(text->text(), "plain words");
}

TEST(MessageBox, OtherModesLeaveTheSkinsButtons) {
  CMsgWnd box;
  std::string error;
  ASSERT_TRUE(box.Create(error)) << error;
  QWidget* cancel = box.Control("cancel_btn");
  ASSERT_NE(cancel, nullptr);
  box.SetButtons(kMessageConfirmOnly);
  EXPECT_FALSE(cancel->isVisibleTo(&box));
  box.SetButtons(7);
  EXPECT_FALSE(cancel->isVisibleTo(&box));
  box.SetButtons(kMessageConfirmAndCancel);
  EXPECT_TRUE(cancel->isVisibleTo(&box));
  box.SetButtons(-1);
  EXPECT_TRUE(cancel->isVisibleTo(&box));
}

TEST(MessageBox, DpiTakesOnlyTheKnownSteps) {
  CMsgWnd box;
  EXPECT_EQ(box.dpi(), 96);
  box.SetDpi(144);
  EXPECT_EQ(box.dpi(), 144);
  box.SetDpi(100);
  EXPECT_EQ(box.dpi(), 96);
  box.SetDpi(192);
  EXPECT_EQ(box.dpi(), 192);
  box.SetDpi(0);
  EXPECT_EQ(box.dpi(), 96);
}

TEST(MessageBox, MissingSkinAnswersZeroWithoutShowing) {
  test::TempDir dir;
  test::ScopedEnv resources("VARKON_RESOURCE_DIR", dir.path());
  EXPECT_EQ(ShowMessage(nullptr, "t", "x", 96, false, kMessageConfirmOnly), 0);
  CMsgWnd box;
  std::string error;
  EXPECT_FALSE(box.Create(error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace varkon
