#include "app/about_wnd.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app_test_support.h"
#include "platform/ui/language_text.h"

namespace varkon {
namespace {

TEST(AboutWindow, VersionLineIsTheRevisionTextAndTheVersion) {
  SetLanguageTexts({{"software_rev_text", "Version "}});
  CAboutWnd about;
  std::string error;
  ASSERT_TRUE(about.Create(error)) << error;
  EXPECT_EQ(about.size(), QSize(800, 572));
  about.SetVersion("1.2.3");
  auto* line = qobject_cast<QLabel*>(about.Control("software_ver_label"));
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->text(), "Version 1.2.3");

  // A language change re-resolves text ids but leaves the version line as it was built.
  SetLanguageTexts({{"software_rev_text", "版本 "}});
  ApplyTextIds(about.skinRoot());
  EXPECT_EQ(line->text(), "Version 1.2.3");
  SetLanguageTexts({});
}

TEST(AboutWindow, MissingRevisionTextShowsItsId) {
  SetLanguageTexts({});
  CAboutWnd about;
  std::string error;
  ASSERT_TRUE(about.Create(error)) << error;
  about.SetVersion(" 0.1");
  EXPECT_EQ(qobject_cast<QLabel*>(about.Control("software_ver_label"))->text(),
            "software_rev_text 0.1");
}

TEST(AboutWindow, HomePageDoesNothingAndCloseEndsWithZero) {
  CAboutWnd about;
  std::string error;
  ASSERT_TRUE(about.Create(error)) << error;
  int result = -1;
  QTimer::singleShot(50, &about, [&] {
    qobject_cast<QPushButton*>(about.Control("homepage_btn"))->click();
    EXPECT_TRUE(about.isVisible());
    qobject_cast<QPushButton*>(about.Control("closebtn"))->click();
  });
  QTimer::singleShot(20000, &about, [&] { about.done(-5); });
  result = about.exec();
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace varkon
