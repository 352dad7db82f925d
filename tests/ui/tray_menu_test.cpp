#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <map>
#include <string>
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

// Menus whose items carry text ids; the lookup is process-wide, so each test removes it again.
class MenuTextIds : public ::testing::Test {
 protected:
  void TearDown() override { SetMenuTextLookup({}); }

  // A lookup over `texts` that shows a missing id as itself, as the language layer does.
  static MenuTextLookup Over(std::map<std::string, std::string> texts) {
    return [texts = std::move(texts)](const std::string& id) {
      const auto it = texts.find(id);
      return it == texts.end() ? id : it->second;
    };
  }

  static constexpr const char* kDocument =
      "<ui version=\"4.0\"><widget class=\"QMenu\" name=\"tray_menu\">"
      "<widget class=\"QMenu\" name=\"more_menu\">"
      "<property name=\"title\"><string>More</string></property>"
      "<property name=\"textId\" stdset=\"0\"><string>more_text</string></property>"
      "<addaction name=\"left_click\"/></widget>"
      "<addaction name=\"about_menu\"/><addaction name=\"plain\"/>"
      "<addaction name=\"more_menu\"/><addaction name=\"separator\"/>"
      "<addaction name=\"exit\"/>"
      "<action name=\"about_menu\"><property name=\"text\"><string>About</string></property>"
      "<property name=\"textId\" stdset=\"0\"><string>about_text</string></property></action>"
      "<action name=\"plain\"><property name=\"text\"><string>Plain</string></property>"
      "</action>"
      "<action name=\"left_click\"><property name=\"text\"><string>Left</string></property>"
      "<property name=\"textId\" stdset=\"0\"><string>left_text</string></property></action>"
      "<action name=\"exit\"><property name=\"text\"><string>Exit</string></property>"
      "<property name=\"textId\" stdset=\"0\"><string>exit_text</string></property></action>"
      "</widget></ui>";
};

TEST_F(MenuTextIds, WithoutALookupItemsKeepTheTextsOfTheFile) {
  BusRecorder recorder;
  PopupMenu popup(recorder.bus().Target());
  ASSERT_TRUE(popup.LoadData(kDocument, nullptr));
  EXPECT_EQ(popup.FindItem("about_menu")->text(), "About");
  EXPECT_EQ(popup.FindItem("about_menu")->property(kMenuTextIdProperty).toString(), "about_text");
  EXPECT_EQ(ApplyMenuTextIds(popup.menu()), 0);
  EXPECT_EQ(popup.FindItem("exit")->text(), "Exit");
  EXPECT_EQ(ApplyMenuTextIds(nullptr), 0);
}

TEST_F(MenuTextIds, ItemsAndSubmenusShowTheirIdsTexts) {
  SetMenuTextLookup(Over({{"about_text", "Über"}, {"more_text", "Mehr"}, {"left_text", "Links"}}));
  BusRecorder recorder;
  PopupMenu popup(recorder.bus().Target());
  ASSERT_TRUE(popup.LoadData(kDocument, nullptr));
  EXPECT_EQ(popup.FindItem("about_menu")->text(), "Über");
  EXPECT_EQ(popup.FindItem("left_click")->text(), "Links");  // inside the submenu
  EXPECT_EQ(popup.FindItem("plain")->text(), "Plain");       // no text id: untouched
  EXPECT_EQ(popup.FindItem("exit")->text(), "exit_text");    // an id the texts lack
  const QList<QAction*> items = popup.menu()->actions();
  ASSERT_EQ(items.size(), 5);
  ASSERT_NE(items[2]->menu(), nullptr);
  EXPECT_EQ(items[2]->menu()->title(), "Mehr");
  EXPECT_EQ(items[2]->text(), "Mehr");
  EXPECT_TRUE(items[3]->isSeparator());
  EXPECT_TRUE(items[3]->text().isEmpty());

  // The chosen item reports the text it shows; its name stays what the program matches on.
  popup.FindItem("about_menu")->trigger();
  ASSERT_TRUE(recorder.WaitFor(1));
  EXPECT_EQ(recorder.seen()[0].name, "about_menu");
  EXPECT_EQ(recorder.seen()[0].text, "Über");
}

TEST_F(MenuTextIds, ABuiltMenuFollowsANewLookupWhenApplied) {
  SetMenuTextLookup(Over({{"about_text", "About"}, {"exit_text", "Exit"}}));
  BusRecorder recorder;
  PopupMenu popup(recorder.bus().Target());
  ASSERT_TRUE(popup.LoadData(kDocument, nullptr));
  SetMenuTextLookup(Over({{"about_text", "关于"}, {"exit_text", "退出"}}));
  EXPECT_EQ(popup.FindItem("exit")->text(), "Exit");  // not before it is applied
  // The three items and the submenu that have ids; "plain" and the separator do not count.
  EXPECT_EQ(ApplyMenuTextIds(popup.menu()), 4);
  EXPECT_EQ(popup.FindItem("about_menu")->text(), "关于");
  EXPECT_EQ(popup.FindItem("exit")->text(), "退出");
  EXPECT_EQ(popup.FindItem("left_click")->text(), "left_text");
  // Applying to a widget that holds the menu reaches it too.
  QWidget holder;
  QMenu* inner = new QMenu(&holder);
  QAction* item = inner->addAction("Keep");
  item->setProperty(kMenuTextIdProperty, "exit_text");
  QAction* blank = inner->addAction("Blank");
  blank->setProperty(kMenuTextIdProperty, "");
  EXPECT_EQ(ApplyMenuTextIds(&holder), 1);
  EXPECT_EQ(item->text(), "退出");
  EXPECT_EQ(blank->text(), "Blank");
}

// The program's own notification-area menu: the items the main window acts on, in order, each
// with a text id.
TEST(PopupMenu, TheProgramsTrayMenu) {
  BusRecorder recorder;
  PopupMenu popup(recorder.bus().Target());
  std::string error;
  ASSERT_TRUE(
      popup.Load("XML/Menus/menu.xml", &error, std::string(VARKON_SOURCE_DIR) + "/resources/skin/"))
      << error;
  std::vector<std::string> names;
  for (QAction* item : popup.menu()->actions()) {
    if (item->isSeparator()) continue;
    names.push_back(item->objectName().toStdString());
    EXPECT_FALSE(item->property(kMenuTextIdProperty).toString().isEmpty()) << names.back();
    EXPECT_FALSE(item->text().isEmpty()) << names.back();
  }
  const std::vector<std::string> expected = {"show_main", "setwnd_menu", "about_menu", "exit"};
  EXPECT_EQ(names, expected);
  popup.FindItem("setwnd_menu")->trigger();
  ASSERT_TRUE(recorder.WaitFor(1));
  EXPECT_EQ(recorder.seen()[0].name, "setwnd_menu");
}

}  // namespace
}  // namespace varkon::ui
