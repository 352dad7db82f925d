#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <vector>

#include "platform/ui/message_bus.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/tray_icon.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

using test::SkinDataFolder;
using test::WaitUntil;

class BusRecorder {
 public:
  BusRecorder() {
    bus_.AddHandler([this](const Message& m, intptr_t&) {
      seen_.push_back(m);
      return true;
    });
  }
  MessageBus& bus() { return bus_; }
  std::vector<Message>& seen() { return seen_; }
  bool WaitFor(size_t count) {
    return WaitUntil([&] { return seen_.size() >= count; });
  }

 private:
  MessageBus bus_;
  std::vector<Message> seen_;
};

TEST(TrayIcon, ClicksBecomeTheCallbackMessage) {
  BusRecorder recorder;
  TrayIcon tray(recorder.bus().Target(), kTrayCallbackMessage, 7);
  tray.SetToolTip("Varkon Korvu Wired");
  EXPECT_EQ(tray.icon()->toolTip(), "Varkon Korvu Wired");
  emit tray.icon()->activated(QSystemTrayIcon::Trigger);
  emit tray.icon()->activated(QSystemTrayIcon::Context);
  emit tray.icon()->activated(QSystemTrayIcon::DoubleClick);
  emit tray.icon()->activated(QSystemTrayIcon::MiddleClick);
  emit tray.icon()->activated(QSystemTrayIcon::Unknown);  // nothing
  ASSERT_TRUE(recorder.WaitFor(4));
  test::Pump(std::chrono::milliseconds(20));
  ASSERT_EQ(recorder.seen().size(), 4u);
  const std::vector<intptr_t> expected = {514, 517, 515, 520};
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(recorder.seen()[i].number, 1025u);
    EXPECT_EQ(recorder.seen()[i].wParam, 7u);
    EXPECT_EQ(recorder.seen()[i].lParam, expected[i]);
  }
}

TEST(TrayIcon, IconFromAFile) {
  BusRecorder recorder;
  TrayIcon tray(recorder.bus().Target());
  EXPECT_TRUE(tray.SetIconFile(QString::fromStdString(SkinDataFolder() + "image/dot.svg")));
  EXPECT_FALSE(tray.icon()->icon().isNull());
  EXPECT_FALSE(tray.SetIconFile(QString::fromStdString(SkinDataFolder() + "image/none.png")));
  // Showing works whether or not the desktop has a notification area.
  tray.Show();
  EXPECT_EQ(tray.IsVisible(), true);
  tray.Hide();
  EXPECT_FALSE(tray.IsVisible());
}

TEST(PopupMenu, BuiltFromTheMenuFile) {
  BusRecorder recorder;
  PopupMenu popup(recorder.bus().Target());
  std::string error;
  ASSERT_TRUE(popup.Load("XML\\Menus\\menu.xml", &error, SkinDataFolder())) << error;
  ASSERT_NE(popup.menu(), nullptr);
  const QList<QAction*> items = popup.menu()->actions();
  ASSERT_EQ(items.size(), 5);
  EXPECT_EQ(items[0]->objectName(), "setwnd_menu");
  EXPECT_EQ(items[1]->objectName(), "about_menu");
  ASSERT_NE(items[2]->menu(), nullptr);
  EXPECT_EQ(items[2]->menu()->title(), "More");
  EXPECT_TRUE(items[3]->isSeparator());
  EXPECT_EQ(items[4]->text(), "Exit");
  EXPECT_EQ(popup.FindItem("EXIT"), items[4]);
  EXPECT_EQ(popup.FindItem("nothing"), nullptr);
  ASSERT_NE(popup.FindItem("left_click"), nullptr);
}

TEST(PopupMenu, ChosenItemsPostTheCommandMessage) {
  BusRecorder recorder;
  PopupMenu popup(recorder.bus().Target());
  ASSERT_TRUE(popup.Load("XML/Menus/menu.xml", nullptr, SkinDataFolder()));
  popup.FindItem("about_menu")->trigger();
  popup.FindItem("left_click")->trigger();  // from the submenu
  ASSERT_TRUE(recorder.WaitFor(2));
  EXPECT_EQ(recorder.seen()[0].number, kMenuCommandMessage);
  EXPECT_EQ(recorder.seen()[0].name, "about_menu");
  EXPECT_EQ(recorder.seen()[0].text, "About");
  EXPECT_EQ(recorder.seen()[0].data, "about-data");
  EXPECT_EQ(recorder.seen()[1].name, "left_click");
  EXPECT_EQ(recorder.seen()[1].data, "");
}

TEST(PopupMenu, ItemClickedWithTheMouse) {
  BusRecorder recorder;
  PopupMenu popup(recorder.bus().Target());
  ASSERT_TRUE(popup.Load("XML/Menus/menu.xml", nullptr, SkinDataFolder()));
  ASSERT_TRUE(popup.Show(QPoint(200, 150)));
  QMenu* menu = popup.menu();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
  EXPECT_EQ(menu->geometry().topLeft(), QPoint(200, 150));
  const QRect exit = menu->actionGeometry(popup.FindItem("exit"));
  QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, exit.center());
  ASSERT_TRUE(recorder.WaitFor(1));
  EXPECT_EQ(recorder.seen()[0].name, "exit");
  EXPECT_FALSE(menu->isVisible());
}

TEST(PopupMenu, AlignmentPlacesTheNamedEdgesAtThePoint) {
  const QSize size(50, 30);
  const QPoint at(100, 100);
  EXPECT_EQ(MenuOrigin(at, size, kMenuAlignLeft | kMenuAlignTop), QPoint(100, 100));
  EXPECT_EQ(MenuOrigin(at, size, 0), QPoint(100, 100));
  EXPECT_EQ(MenuOrigin(at, size, kMenuAlignRight | kMenuAlignTop), QPoint(51, 100));
  EXPECT_EQ(MenuOrigin(at, size, kMenuAlignLeft | kMenuAlignBottom), QPoint(100, 71));
  EXPECT_EQ(MenuOrigin(at, size, kMenuAlignRight | kMenuAlignBottom), QPoint(51, 71));
  EXPECT_EQ(MenuOrigin(at, size, kMenuAlignLeft | kMenuAlignRight), QPoint(51, 100));

  BusRecorder recorder;
  PopupMenu popup(recorder.bus().Target());
  ASSERT_TRUE(popup.Load("XML/Menus/menu.xml", nullptr, SkinDataFolder()));
  ASSERT_TRUE(popup.Show(QPoint(400, 400), kMenuAlignRight | kMenuAlignBottom));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(popup.menu()));
  EXPECT_EQ(popup.menu()->geometry().bottomRight(), QPoint(400, 400));
  popup.Close();
  EXPECT_FALSE(popup.menu()->isVisible());
}

TEST(PopupMenu, BadMenuFilesAreErrors) {
  BusRecorder recorder;
  PopupMenu popup(recorder.bus().Target());
  std::string error;
  EXPECT_FALSE(popup.Load("XML/Menus/none.xml", &error, SkinDataFolder()));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_FALSE(popup.Load("XML/corrupt.xml", &error, SkinDataFolder()));
  EXPECT_NE(error.find("XML error"), std::string::npos) << error;
  EXPECT_FALSE(popup.Load("XML/no_menu.xml", &error, SkinDataFolder()));
  EXPECT_NE(error.find("no menu"), std::string::npos) << error;
  EXPECT_EQ(popup.menu(), nullptr);
  EXPECT_FALSE(popup.Show(QPoint(0, 0)));
  // A good file after bad ones still loads, and loading again replaces the menu.
  ASSERT_TRUE(popup.Load("XML/Menus/menu.xml", nullptr, SkinDataFolder()));
  ASSERT_TRUE(popup.Load("XML/Menus/menu.xml", nullptr, SkinDataFolder()));
  EXPECT_EQ(popup.menu()->actions().size(), 5);
}

}  // namespace
}  // namespace varkon::ui
