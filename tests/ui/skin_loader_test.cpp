#include "platform/ui/skin_loader.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/program_folder.h"
#include "support/temp_dir.h"
#include "ui/ui_test_support.h"

namespace varkon::ui {
namespace {

using test::SkinDataFolder;
using test::TestKeyButton;

constexpr const char* kKeyboardSkin = "XML\\DeviceXml\\keyboarddevice.xml";

class SkinLoaderTest : public ::testing::Test {
 protected:
  SkinLoaderTest() : loader_(SkinDataFolder()) {
    loader_.RegisterControl("DeviceKeyButton", [this](QWidget* parent) {
      ++made_;
      return new TestKeyButton(parent);
    });
  }

  std::unique_ptr<QWidget> Load(std::string_view name, std::string* error = nullptr) {
    return std::unique_ptr<QWidget>(loader_.LoadSkin(name, nullptr, error));
  }

  SkinLoader loader_;
  int made_ = 0;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(SkinLoaderTest, CreatesRegisteredClassesByTagInAnyCase) {
  std::string error;
  std::unique_ptr<QWidget> root = Load(kKeyboardSkin, &error);
  ASSERT_NE(root, nullptr) << error;
  EXPECT_EQ(made_, 2);

  auto* first = qobject_cast<TestKeyButton*>(FindControl(root.get(), "keyboard_key_1"));
  auto* second = qobject_cast<TestKeyButton*>(FindControl(root.get(), "Keyboard_Key_2"));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->parentWidget(), root.get());
  // The skin's properties reach our own class, Qt's and its own alike.
  EXPECT_EQ(first->keyCode(), 41);
  EXPECT_EQ(first->text(), "Esc");
  EXPECT_EQ(first->geometry(), QRect(10, 10, 60, 40));
  // Both report the registered spelling, whatever the tag's case.
  EXPECT_EQ(ControlClassName(first), "DeviceKeyButton");
  EXPECT_EQ(ControlClassName(second), "DeviceKeyButton");
  EXPECT_EQ(loader_.unknownTags(), std::vector<std::string>{"MysteryPanel"});
}

TEST_F(SkinLoaderTest, OtherTagsAreQtWidgets) {
  std::unique_ptr<QWidget> root = Load(kKeyboardSkin);
  ASSERT_NE(root, nullptr);
  auto* close = qobject_cast<QPushButton*>(FindControl(root.get(), "closebtn"));
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(qobject_cast<TestKeyButton*>(close), nullptr);
  EXPECT_EQ(ControlClassName(close), "QPushButton");
  EXPECT_EQ(UserData(close), "close-data");
  // Qt's classes are found without regard to case too.
  auto* label = qobject_cast<QLabel*>(FindControl(root.get(), "model_label"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "Keyboard");
  EXPECT_EQ(ControlClassName(label), "QLabel");
  EXPECT_EQ(ControlClassName(root.get()), "QWidget");
}

TEST_F(SkinLoaderTest, UnregisteredCustomClassFallsBackToItsBase) {
  std::unique_ptr<QWidget> root = Load(kKeyboardSkin);
  ASSERT_NE(root, nullptr);
  QWidget* power = FindControl(root.get(), "power_panel");
  ASSERT_NE(power, nullptr);
  EXPECT_NE(qobject_cast<QFrame*>(power), nullptr);
  EXPECT_EQ(ControlClassName(power), "PowerPanel");
}

TEST_F(SkinLoaderTest, UnknownTagKeepsItsNameAndPlace) {
  std::unique_ptr<QWidget> root = Load(kKeyboardSkin);
  ASSERT_NE(root, nullptr);
  QWidget* mystery = FindControl(root.get(), "mystery_panel");
  ASSERT_NE(mystery, nullptr);
  EXPECT_EQ(mystery->geometry(), QRect(10, 60, 100, 50));
  EXPECT_EQ(ControlClassName(mystery), "MysteryPanel");
  EXPECT_EQ(loader_.unknownTags(), std::vector<std::string>{"MysteryPanel"});
}

TEST_F(SkinLoaderTest, LaterRegistrationReplacesEarlierInAnyCase) {
  int replaced = 0;
  EXPECT_TRUE(loader_.RegisterControl("DEVICEKEYBUTTON", [&](QWidget* parent) {
    ++replaced;
    return new QPushButton(parent);
  }));
  std::unique_ptr<QWidget> root = Load(kKeyboardSkin);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(made_, 0);
  EXPECT_EQ(replaced, 2);
  EXPECT_EQ(ControlClassName(FindControl(root.get(), "keyboard_key_1")), "DEVICEKEYBUTTON");
  EXPECT_TRUE(loader_.IsRegistered("devicekeybutton"));
  EXPECT_FALSE(loader_.IsRegistered("KeyButton"));
}

TEST_F(SkinLoaderTest, RefusesEmptyRegistrations) {
  EXPECT_FALSE(loader_.RegisterControl("", [](QWidget* parent) { return new QWidget(parent); }));
  EXPECT_FALSE(loader_.RegisterControl("LightButton", {}));
  EXPECT_FALSE(loader_.IsRegistered("LightButton"));
}

TEST_F(SkinLoaderTest, FactoryMakingNothingLeavesAPlainWidget) {
  loader_.RegisterControl("DeviceKeyButton", [](QWidget*) -> QWidget* { return nullptr; });
  std::unique_ptr<QWidget> root = Load(kKeyboardSkin);
  ASSERT_NE(root, nullptr);
  QWidget* key = FindControl(root.get(), "keyboard_key_1");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(qobject_cast<QPushButton*>(key), nullptr);
  EXPECT_EQ(
      std::count(loader_.unknownTags().begin(), loader_.unknownTags().end(), "DeviceKeyButton") +
          std::count(loader_.unknownTags().begin(), loader_.unknownTags().end(), "devicekeybutton"),
      2);
}

TEST_F(SkinLoaderTest, TreeIsBuiltUnderTheParent) {
  QWidget window;
  QWidget* root = loader_.LoadSkin(kKeyboardSkin, &window, nullptr);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->parentWidget(), &window);
  EXPECT_EQ(FindControl(&window, "KEYBOARD_KEY_1"), FindControl(root, "keyboard_key_1"));
}

TEST_F(SkinLoaderTest, MissingFileIsAnError) {
  std::string error;
  EXPECT_EQ(Load("XML\\DeviceXml\\nothing_here.xml", &error), nullptr);
  EXPECT_TRUE(Contains(error, "missing")) << error;
}

TEST_F(SkinLoaderTest, TruncatedFileIsAnError) {
  std::string error;
  EXPECT_EQ(Load("XML/corrupt.xml", &error), nullptr);
  EXPECT_TRUE(Contains(error, "XML error")) << error;
}

TEST_F(SkinLoaderTest, OtherXmlIsNotASkin) {
  std::string error;
  EXPECT_EQ(Load("XML/not_a_skin.xml", &error), nullptr);
  EXPECT_TRUE(Contains(error, "root element")) << error;
}

TEST_F(SkinLoaderTest, NamesLeavingTheSkinFolderAreRefused) {
  for (const char* name : {"..\\secret.xml", "XML/../../x.xml", "/etc/passwd", "", "a\"b.xml"}) {
    std::string error;
    EXPECT_EQ(Load(name, &error), nullptr) << name;
    EXPECT_TRUE(Contains(error, "refused")) << name << ": " << error;
  }
}

TEST_F(SkinLoaderTest, DocumentsWithoutWidgetsOrEmptyAreErrors) {
  for (const char* document :
       {"", "<ui version=\"4.0\"/>", "<ui><class>x</class></ui>", "<ui><widget class="}) {
    std::string error;
    EXPECT_EQ(loader_.LoadSkinData(QByteArray(document), {}, nullptr, &error), nullptr) << document;
    EXPECT_FALSE(error.empty()) << document;
  }
}

TEST_F(SkinLoaderTest, DocumentTypeDeclarationsAreRefused) {
  const QByteArray document(
      "<?xml version=\"1.0\"?><!DOCTYPE ui [<!ENTITY a \"aaaaaaaa\">]>"
      "<ui><widget class=\"QLabel\" name=\"l\"><property name=\"text\"><string>&a;</string>"
      "</property></widget></ui>");
  std::string error;
  EXPECT_EQ(loader_.LoadSkinData(document, {}, nullptr, &error), nullptr);
  EXPECT_TRUE(Contains(error, "document type")) << error;
}

QByteArray NestedDocument(int depth) {
  QByteArray document("<ui version=\"4.0\">");
  for (int i = 0; i < depth; ++i) {
    document += "<widget class=\"QWidget\" name=\"w" + QByteArray::number(i) + "\">";
  }
  for (int i = 0; i < depth; ++i) document += "</widget>";
  document += "</ui>";
  return document;
}

TEST_F(SkinLoaderTest, DeepNestingIsRefusedButOrdinaryDepthLoads) {
  std::string error;
  std::unique_ptr<QWidget> ordinary(loader_.LoadSkinData(NestedDocument(40), {}, nullptr, &error));
  ASSERT_NE(ordinary, nullptr) << error;
  EXPECT_NE(FindControl(ordinary.get(), "w39"), nullptr);

  EXPECT_EQ(loader_.LoadSkinData(NestedDocument(5000), {}, nullptr, &error), nullptr);
  EXPECT_TRUE(Contains(error, "nested")) << error;
}

TEST_F(SkinLoaderTest, OversizedFileIsRefusedUnread) {
  varkon::test::TempDir temp;
  const std::string path = temp.File("huge.xml");
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_TRUE(file.resize(kMaxSkinFileBytes + 1));
  file.close();
  std::string error;
  EXPECT_EQ(loader_.LoadSkinFile(path, nullptr, &error), nullptr);
  EXPECT_TRUE(Contains(error, "too large")) << error;
}

TEST_F(SkinLoaderTest, FolderInsteadOfFileIsAnError) {
  std::string error;
  EXPECT_EQ(Load("XML/DeviceXml", &error), nullptr);
  EXPECT_TRUE(Contains(error, "missing")) << error;
}

// Qt would look for style sheet images in the current directory; skins name them from their
// own folder, and names leaving it are dropped.
TEST_F(SkinLoaderTest, StyleSheetImagesAreNamedFromTheSkinFolder) {
  const QByteArray document(R"(<ui><widget class="QWidget" name="root">
    <property name="styleSheet"><string>QCheckBox::indicator:checked { image: url(image/on.svg); }
      QComboBox::down-arrow { image: URL( 'image/arrow.svg' ); }
      QLabel { background: url(":/res/a.png"); } QFrame { border-image: url("../../etc/passwd"); }
    </string></property>
    <widget class="QLabel" name="inner"><property name="styleSheet"><string>QLabel { image: url(x.png) }</string></property></widget>
    </widget></ui>)");
  std::unique_ptr<QWidget> root(loader_.LoadSkinData(document, "/opt/skin", nullptr, nullptr));
  ASSERT_NE(root, nullptr);
  const QString sheet = root->styleSheet();
  EXPECT_TRUE(sheet.contains(R"(image: url("/opt/skin/image/on.svg");)")) << sheet.toStdString();
  EXPECT_TRUE(sheet.contains(R"(image: url("/opt/skin/image/arrow.svg");)")) << sheet.toStdString();
  EXPECT_TRUE(sheet.contains(R"(url(":/res/a.png"))")) << sheet.toStdString();
  EXPECT_TRUE(sheet.contains("border-image: none;")) << sheet.toStdString();
  EXPECT_FALSE(sheet.contains("passwd"));
  EXPECT_TRUE(FindControl(root.get(), "inner")->styleSheet().contains(R"(url("/opt/skin/x.png"))"));
}

TEST(SkinNames, BackslashesBecomeSlashesAndEscapesAreRefused) {
  EXPECT_EQ(NormaliseSkinName("XML\\DeviceXml\\keyboarddevice.xml"),
            "XML/DeviceXml/keyboarddevice.xml");
  EXPECT_EQ(NormaliseSkinName("XML//Menus\\\\menu.xml"), "XML/Menus/menu.xml");
  EXPECT_EQ(NormaliseSkinName("menu.xml"), "menu.xml");
  EXPECT_EQ(NormaliseSkinName("a..b/c.xml"), "a..b/c.xml");
  EXPECT_EQ(NormaliseSkinName(""), "");
  EXPECT_EQ(NormaliseSkinName("/etc/passwd"), "");
  EXPECT_EQ(NormaliseSkinName("\\\\server\\share"), "");
  EXPECT_EQ(NormaliseSkinName("XML\\..\\..\\x"), "");
  EXPECT_EQ(NormaliseSkinName("XML/./x"), "");
  EXPECT_EQ(NormaliseSkinName(std::string_view("a\0b", 3)), "");
  EXPECT_EQ(NormaliseSkinName("line\nbreak"), "");
  EXPECT_EQ(SkinFilePath("/opt/skin", "XML\\a.xml"), "/opt/skin/XML/a.xml");
  EXPECT_EQ(SkinFilePath("/opt/skin/", "XML/a.xml"), "/opt/skin/XML/a.xml");
  EXPECT_EQ(SkinFilePath("", "XML/a.xml"), "");
  EXPECT_EQ(SkinFilePath("/opt/skin", ".."), "");
}

class ScopedResourceDir {
 public:
  explicit ScopedResourceDir(const char* value) {
    if (const char* old = std::getenv("VARKON_RESOURCE_DIR")) saved_ = old;
    hadValue_ = std::getenv("VARKON_RESOURCE_DIR") != nullptr;
    if (value == nullptr) {
      unsetenv("VARKON_RESOURCE_DIR");
    } else {
      setenv("VARKON_RESOURCE_DIR", value, 1);
    }
  }
  ~ScopedResourceDir() {
    if (hadValue_) {
      setenv("VARKON_RESOURCE_DIR", saved_.c_str(), 1);
    } else {
      unsetenv("VARKON_RESOURCE_DIR");
    }
  }

 private:
  std::string saved_;
  bool hadValue_ = false;
};

TEST(ProgramFolder, ComesFromTheResourceVariable) {
  ScopedResourceDir resources("/opt/varkon/share");
  EXPECT_EQ(ProgramFolder(), "/opt/varkon/share/");
  EXPECT_EQ(SkinFolder(), "/opt/varkon/share/skin/");
}

TEST(ProgramFolder, OtherwiseSitsBesideTheExecutable) {
  ScopedResourceDir resources(nullptr);
  // The test program is in <build>/bin, so its program folder is the build tree's share folder.
  EXPECT_EQ(ProgramFolder(), std::string(VARKON_BINARY_DIR) + "/share/varkon-korvu-wired/");
  ScopedResourceDir empty("");
  EXPECT_EQ(ProgramFolder(), std::string(VARKON_BINARY_DIR) + "/share/varkon-korvu-wired/");
}

}  // namespace
}  // namespace varkon::ui
