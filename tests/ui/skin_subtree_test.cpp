// Tags that stand for a whole sub-tree built from a skin file of its own.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <memory>

#include "platform/ui/control_find.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_values.h"
#include "platform/ui/skin_loader.h"
#include "support/temp_dir.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

using test::TestKeyButton;

QByteArray Document(const QByteArray& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ui version=\"4.0\">" + body + "</ui>";
}

// A small panel: a registered control, and an exclusive pair of options.
const QByteArray kPanel = Document(R"(
  <widget class="QWidget" name="panel_root">
   <property name="geometry"><rect><x>0</x><y>0</y><width>200</width><height>80</height></rect></property>
   <property name="role" stdset="0"><string>inner</string></property>
   <layout class="QHBoxLayout" name="panel_layout">
    <item><widget class="DeviceKeyButton" name="panel_key"><property name="keyCode"><number>7</number></property></widget></item>
    <item><widget class="QPushButton" name="panel_left"><property name="group" stdset="0"><string>side</string></property></widget></item>
    <item><widget class="QPushButton" name="panel_right"><property name="group" stdset="0"><string>side</string></property></widget></item>
   </layout>
  </widget>)");

class SkinSubTreeTest : public ::testing::Test {
 protected:
  SkinSubTreeTest() : loader_(folder_.path() + "/") {
    QDir().mkpath(QString::fromStdString(folder_.File("XML")));
    Write("XML/panel.xml", kPanel);
    loader_.RegisterControl("DeviceKeyButton",
                            [](QWidget* parent) { return new TestKeyButton(parent); });
    loader_.RegisterSubTree("PanelUI", "XML\\panel.xml");
  }

  void Write(const std::string& name, const QByteArray& document) {
    QFile file(QString::fromStdString(folder_.File(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(document);
  }

  std::unique_ptr<QWidget> Load(const QByteArray& body, QWidget* parent = nullptr) {
    std::string error;
    QWidget* root = loader_.LoadSkinData(Document(body), folder_.path(), parent, &error);
    EXPECT_NE(root, nullptr) << error;
    return std::unique_ptr<QWidget>(root);
  }

  varkon::test::TempDir folder_;
  SkinLoader loader_;
};

TEST_F(SkinSubTreeTest, TakesTheNameLayoutPlaceAndPropertiesOfTheTag) {
  std::unique_ptr<QWidget> root = Load(R"(
    <widget class="QWidget" name="outer">
     <layout class="QVBoxLayout" name="outer_layout">
      <item><widget class="QPushButton" name="before"/></item>
      <item><widget class="panelui" name="PanelItem">
       <property name="minimumSize"><size><width>150</width><height>60</height></size></property>
       <property name="role" stdset="0"><string>outer</string></property>
       <property name="bkcolor" stdset="0"><string>#FF102030</string></property>
      </widget></item>
      <item><widget class="QPushButton" name="after"/></item>
     </layout>
    </widget>)");
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(loader_.subTreeErrors().empty());
  QWidget* item = FindControl(root.get(), "PanelItem");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(FindControl(root.get(), "panel_root"), nullptr);
  // The sub-skin's tree, with its registered control built by the same factory.
  auto* key = qobject_cast<TestKeyButton*>(FindControl(item, "panel_key"));
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->keyCode(), 7);
  EXPECT_EQ(ControlClassName(item), "QWidget");
  // Between the same neighbours of the same layout.
  auto* layout = qobject_cast<QBoxLayout*>(root->layout());
  ASSERT_NE(layout, nullptr);
  ASSERT_EQ(layout->count(), 3);
  EXPECT_EQ(layout->itemAt(1)->widget(), item);
  EXPECT_EQ(item->parentWidget(), root.get());
  // The outer tag's settings win over the sub-skin's, style properties included.
  EXPECT_EQ(item->minimumSize(), QSize(150, 60));
  EXPECT_EQ(item->property("role").toString(), "outer");
  EXPECT_EQ(BackgroundColour(item), 0xFF102030u);
  // Nothing of the stand-in is left.
  int named = 0;
  for (QWidget* w : root->findChildren<QWidget*>()) named += w->objectName() == "PanelItem";
  EXPECT_EQ(named, 1);
}

TEST_F(SkinSubTreeTest, FreePlacedTagKeepsItsGeometryHiddenAndDisabledState) {
  std::unique_ptr<QWidget> root = Load(R"(
    <widget class="QWidget" name="outer">
     <widget class="PanelUI" name="shown_item">
      <property name="geometry"><rect><x>12</x><y>34</y><width>180</width><height>70</height></rect></property>
     </widget>
     <widget class="PanelUI" name="hidden_item">
      <property name="geometry"><rect><x>0</x><y>120</y><width>90</width><height>40</height></rect></property>
      <property name="visible"><bool>false</bool></property>
      <property name="enabled"><bool>false</bool></property>
     </widget>
    </widget>)");
  ASSERT_NE(root, nullptr);
  QWidget* shown = FindControl(root.get(), "shown_item");
  QWidget* hidden = FindControl(root.get(), "hidden_item");
  ASSERT_NE(shown, nullptr);
  ASSERT_NE(hidden, nullptr);
  EXPECT_EQ(shown->geometry(), QRect(12, 34, 180, 70));
  EXPECT_EQ(hidden->geometry(), QRect(0, 120, 90, 40));
  root->show();
  EXPECT_TRUE(shown->isVisible());
  EXPECT_FALSE(hidden->isVisible());
  EXPECT_TRUE(shown->isEnabled());
  EXPECT_FALSE(hidden->isEnabled());
}

TEST_F(SkinSubTreeTest, PagesOfStacksAndTabsStayPagesInTheirPlace) {
  std::unique_ptr<QWidget> root = Load(R"(
    <widget class="QWidget" name="outer">
     <widget class="QStackedWidget" name="pages">
      <property name="currentIndex"><number>1</number></property>
      <widget class="QWidget" name="page_0"/>
      <widget class="PanelUI" name="page_1"/>
      <widget class="QWidget" name="page_2"/>
     </widget>
     <widget class="QTabWidget" name="tabs">
      <widget class="PanelUI" name="tab_0"><attribute name="title"><string>Light</string></attribute></widget>
      <widget class="QWidget" name="tab_1"><attribute name="title"><string>Keys</string></attribute></widget>
     </widget>
    </widget>)");
  ASSERT_NE(root, nullptr);
  auto* pages = qobject_cast<QStackedWidget*>(FindControl(root.get(), "pages"));
  ASSERT_NE(pages, nullptr);
  ASSERT_EQ(pages->count(), 3);
  EXPECT_EQ(pages->widget(1), FindControl(root.get(), "page_1"));
  EXPECT_EQ(pages->currentIndex(), 1);
  EXPECT_NE(FindControl(pages->widget(1), "panel_key"), nullptr);
  auto* tabs = qobject_cast<QTabWidget*>(FindControl(root.get(), "tabs"));
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->widget(0), FindControl(root.get(), "tab_0"));
  EXPECT_EQ(tabs->tabText(0), "Light");
  EXPECT_NE(FindControl(tabs->widget(0), "panel_left"), nullptr);
}

// Each copy of a panel keeps its option groups to itself.
TEST_F(SkinSubTreeTest, TwoCopiesHaveSeparateOptionGroups) {
  std::unique_ptr<QWidget> root = Load(R"(
    <widget class="QWidget" name="outer">
     <layout class="QVBoxLayout" name="outer_layout">
      <item><widget class="PanelUI" name="first"/></item>
      <item><widget class="PanelUI" name="second"/></item>
     </layout>
    </widget>)");
  ASSERT_NE(root, nullptr);
  auto* firstLeft =
      qobject_cast<QAbstractButton*>(FindControl(FindControl(root.get(), "first"), "panel_left"));
  auto* secondLeft =
      qobject_cast<QAbstractButton*>(FindControl(FindControl(root.get(), "second"), "panel_left"));
  auto* secondRight =
      qobject_cast<QAbstractButton*>(FindControl(FindControl(root.get(), "second"), "panel_right"));
  ASSERT_TRUE(firstLeft && secondLeft && secondRight);
  ASSERT_NE(firstLeft->group(), nullptr);
  EXPECT_NE(firstLeft->group(), secondLeft->group());
  EXPECT_EQ(secondLeft->group(), secondRight->group());
  firstLeft->click();
  secondRight->click();
  EXPECT_TRUE(firstLeft->isChecked());
  EXPECT_TRUE(secondRight->isChecked());
  secondLeft->click();
  EXPECT_FALSE(secondRight->isChecked());
  EXPECT_TRUE(firstLeft->isChecked());
}

TEST_F(SkinSubTreeTest, SubTreesNestAndTheRootMayBeOne) {
  Write("XML/frame.xml", Document(R"(
    <widget class="QFrame" name="frame_root">
     <layout class="QVBoxLayout" name="frame_layout">
      <item><widget class="PanelUI" name="framed_panel"/></item>
     </layout>
    </widget>)"));
  loader_.RegisterSubTree("FrameUI", "XML/frame.xml");
  QWidget window;
  std::unique_ptr<QWidget> root(
      loader_.LoadSkinData(Document(R"(<widget class="FrameUI" name="whole">
                   <property name="geometry"><rect><x>5</x><y>6</y><width>300</width><height>100</height></rect></property>
                  </widget>)"),
                           folder_.path(), &window, nullptr));
  ASSERT_NE(root, nullptr);
  root.release();  // owned by the window
  QWidget* whole = FindControl(&window, "whole");
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(whole->parentWidget(), &window);
  EXPECT_EQ(ControlClassName(whole), "QFrame");
  EXPECT_EQ(whole->size(), QSize(300, 100));
  EXPECT_NE(FindControl(FindControl(whole, "framed_panel"), "panel_key"), nullptr);
  EXPECT_TRUE(loader_.subTreeErrors().empty());
}

TEST_F(SkinSubTreeTest, SelfNamingSubTreesStopAndLeaveAPlainWidget) {
  // A names itself; B and C name each other.
  Write("XML/self.xml", Document(R"(
    <widget class="QWidget" name="self_root">
     <layout class="QVBoxLayout" name="self_layout"><item><widget class="SelfUI" name="again"/></item></layout>
    </widget>)"));
  Write("XML/b.xml",
        Document(
            R"(<widget class="QWidget" name="b_root"><widget class="CUI" name="to_c"/></widget>)"));
  Write("XML/c.xml",
        Document(
            R"(<widget class="QWidget" name="c_root"><widget class="BUI" name="to_b"/></widget>)"));
  loader_.RegisterSubTree("SelfUI", "XML/self.xml");
  loader_.RegisterSubTree("BUI", "XML/b.xml");
  loader_.RegisterSubTree("CUI", "XML\\c.xml");
  std::unique_ptr<QWidget> root = Load(R"(
    <widget class="QWidget" name="outer">
     <widget class="SelfUI" name="self_item"/>
     <widget class="BUI" name="b_item"/>
    </widget>)");
  ASSERT_NE(root, nullptr);
  QWidget* self = FindControl(root.get(), "self_item");
  ASSERT_NE(self, nullptr);
  // Built once; the copy inside names a skin being built around it and stays a stand-in.
  QWidget* again = FindControl(self, "again");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->findChildren<QWidget*>().size(), 0);
  QWidget* toB = FindControl(FindControl(FindControl(root.get(), "b_item"), "to_c"), "to_b");
  ASSERT_NE(toB, nullptr);
  EXPECT_EQ(toB->findChildren<QWidget*>().size(), 0);
  ASSERT_EQ(loader_.subTreeErrors().size(), 2u);
  EXPECT_NE(loader_.subTreeErrors()[0].find("SelfUI \"again\""), std::string::npos);
  EXPECT_NE(loader_.subTreeErrors()[1].find("BUI \"to_b\""), std::string::npos);
}

TEST_F(SkinSubTreeTest, DepthIsLimitedEvenWithoutACycle) {
  // Level n holds level n + 1, each from a file of its own.
  for (int level = 0; level <= kMaxSubTreeDepth + 1; ++level) {
    const QByteArray n = QByteArray::number(level);
    const QByteArray next = QByteArray::number(level + 1);
    Write("XML/level" + n.toStdString() + ".xml",
          Document("<widget class=\"QWidget\" name=\"level_" + n + "\"><widget class=\"Level" +
                   next + "UI\" name=\"holder_" + next + "\"/></widget>"));
    loader_.RegisterSubTree("Level" + QString::number(level) + "UI",
                            "XML/level" + n.toStdString() + ".xml");
  }
  std::unique_ptr<QWidget> root = Load(
      R"(<widget class="QWidget" name="outer"><widget class="Level0UI" name="holder_0"/></widget>)");
  ASSERT_NE(root, nullptr);
  const QString deepest = "holder_" + QString::number(kMaxSubTreeDepth);
  ASSERT_NE(FindControl(root.get(), deepest), nullptr);
  EXPECT_EQ(FindControl(root.get(), "level_" + QString::number(kMaxSubTreeDepth)), nullptr);
  ASSERT_EQ(loader_.subTreeErrors().size(), 1u);
  EXPECT_NE(loader_.subTreeErrors()[0].find("too deeply"), std::string::npos);
}

TEST_F(SkinSubTreeTest, MissingOrBrokenSubSkinKeepsTheStandIn) {
  loader_.RegisterSubTree("GoneUI", "XML/gone.xml");
  Write("XML/broken.xml", "<ui><widget class=\"QWidget\"");
  loader_.RegisterSubTree("BrokenUI", "XML/broken.xml");
  std::unique_ptr<QWidget> root = Load(R"(
    <widget class="QWidget" name="outer">
     <layout class="QVBoxLayout" name="outer_layout">
      <item><widget class="GoneUI" name="gone_item"/></item>
      <item><widget class="BrokenUI" name="broken_item"/></item>
     </layout>
    </widget>)");
  ASSERT_NE(root, nullptr);
  EXPECT_NE(FindControl(root.get(), "gone_item"), nullptr);
  EXPECT_EQ(root->layout()->itemAt(1)->widget(), FindControl(root.get(), "broken_item"));
  ASSERT_EQ(loader_.subTreeErrors().size(), 2u);
  EXPECT_NE(loader_.subTreeErrors()[0].find("missing"), std::string::npos);
  EXPECT_NE(loader_.subTreeErrors()[1].find("XML error"), std::string::npos);
  // The next load starts with a clean list.
  Load(R"(<widget class="QWidget" name="outer"/>)");
  EXPECT_TRUE(loader_.subTreeErrors().empty());
}

TEST_F(SkinSubTreeTest, ATagIsEitherAControlOrASubTree) {
  EXPECT_TRUE(loader_.IsSubTree("panelUI"));
  EXPECT_FALSE(loader_.IsRegistered("PanelUI"));
  loader_.RegisterControl("PanelUI", [](QWidget* parent) { return new QPushButton(parent); });
  EXPECT_FALSE(loader_.IsSubTree("PanelUI"));
  std::unique_ptr<QWidget> root = Load(
      R"(<widget class="QWidget" name="outer"><widget class="PanelUI" name="item"/></widget>)");
  ASSERT_NE(root, nullptr);
  EXPECT_NE(qobject_cast<QPushButton*>(FindControl(root.get(), "item")), nullptr);
  EXPECT_TRUE(loader_.RegisterSubTree("PanelUI", "XML/panel.xml"));
  EXPECT_FALSE(loader_.IsRegistered("PanelUI"));
  EXPECT_FALSE(loader_.RegisterSubTree("", "XML/panel.xml"));
  EXPECT_FALSE(loader_.RegisterSubTree("OtherUI", ""));
}

}  // namespace
}  // namespace varkon::ui
