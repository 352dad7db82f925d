#include "app/language.h"

#include <gtest/gtest.h>

#include <regex>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFont>
#include <QLabel>
#include <QRegularExpression>
#include <QSettings>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/about_wnd.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app_test_support.h"
#include "platform/ui/control_find.h"
#include "platform/ui/language_text.h"
#include "platform/ui/message_bus.h"
#include "platform/ui/popup_menu.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

class LanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config_ = std::make_unique<test::ScopedEnv>("XDG_CONFIG_HOME", dir_.File("config"));
  }
  void TearDown() override { SetLanguageTexts({}); }
  void Store(const QVariant& value) {
    QSettings settings(QString::fromStdString(SettingsFilePath()), QSettings::IniFormat);
    settings.setValue(kLanguageSettingsKey, value);
  }
  test::TempDir dir_;
  std::unique_ptr<test::ScopedEnv> config_;
};

TEST_F(LanguageTest, ConfigListsChineseAndEnglish) {
  const std::vector<LanguageEntry> entries = ReadLanguageConfig(test::ResourceFolder());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].file, "lan_cn.xml");
  EXPECT_EQ(entries[1].file, "lan_en.xml");
  EXPECT_EQ(entries[1].id, kDefaultLanguageId);
  EXPECT_EQ(entries[1].text, "English");
}

TEST_F(LanguageTest, StoredLanguageDefaultsToEnglishAndFollowsTheSetting) {
  EXPECT_EQ(SettingsFilePath(), dir_.File("config") + "/Varkon Korvu Wired/settings.ini");
  EXPECT_EQ(ReadStoredLanguage(test::ResourceFolder()), 1);
  Store(2052);
  EXPECT_EQ(ReadStoredLanguage(test::ResourceFolder()), 0);
  Store(12345);
  EXPECT_EQ(ReadStoredLanguage(test::ResourceFolder()), 0);
  Store("garbage");
  EXPECT_EQ(ReadStoredLanguage(test::ResourceFolder()), 1);
  EXPECT_EQ(ReadStoredLanguage(dir_.path() + "/"), 0);
}

TEST_F(LanguageTest, FontFacesPerLanguage) {
  EXPECT_EQ(LanguageFontFace(2, 1), "Noto Sans CJK TC Regular");
  EXPECT_EQ(LanguageFontFace(15, 3), "Noto Sans Thai");
  EXPECT_EQ(LanguageFontFace(1, 15), "Verdana Unicode MS");
  EXPECT_EQ(LanguageFontFace(1, -1), "Verdana Unicode MS");
  EXPECT_EQ(LanguageFontFace(3, 1), "");
  EXPECT_FALSE(LanguageFontFace(0, 1).empty());
  SetFontTable("Noto Sans Thai");
  EXPECT_EQ(TableFont(3).pixelSize(), 30);
  EXPECT_TRUE(TableFont(50).bold());
  EXPECT_EQ(TableFont(50).pixelSize(), 18);
  EXPECT_EQ(TableFont(-1).pixelSize(), 14);
  EXPECT_EQ(TableFont(-1).family(), "Noto Sans Thai");
  EXPECT_EQ(QApplication::font().pixelSize(), 14);
}

TEST_F(LanguageTest, HostileLanguageFilesAreRefused) {
  std::map<std::string, std::string> texts{{"keep", "me"}};
  EXPECT_FALSE(LoadLanguageFile(dir_.File("none.xml"), texts));
  std::ofstream(dir_.File("bad.xml")) << "<Other><Text id=\"a\">b</Text></Other>";
  EXPECT_FALSE(LoadLanguageFile(dir_.File("bad.xml"), texts));
  std::ofstream(dir_.File("cut.xml")) << "<Language><Text id=\"a\">b";
  EXPECT_FALSE(LoadLanguageFile(dir_.File("cut.xml"), texts));
  EXPECT_EQ(texts.at("keep"), "me");
  std::ofstream(dir_.File("long.xml"))
      << "<Language><Text id=\"a\">" << std::string(10000, 'x') << "</Text><Text>no id</Text>"
      << "<Other/></Language>";
  ASSERT_TRUE(LoadLanguageFile(dir_.File("long.xml"), texts));
  EXPECT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts.at("a").size(), kMaxLanguageTextLength);
}

TEST_F(LanguageTest, ApplyingReResolvesTextsAndStoresTheId) {
  QLabel label;
  SetControlTextId(&label, "no_device_text");
  EXPECT_EQ(label.text(), "no_device_text");
  LanguageSwitch language(test::ResourceFolder());
  ASSERT_TRUE(language.ApplyLanguage(1));
  EXPECT_EQ(label.text(), "No device connected");
  EXPECT_EQ(FontTableFace(), "Verdana Unicode MS");
  ASSERT_TRUE(language.ApplyLanguage(0));
  EXPECT_EQ(label.text(), "未连接设备");
  QSettings settings(QString::fromStdString(SettingsFilePath()), QSettings::IniFormat);
  EXPECT_EQ(settings.value(kLanguageSettingsKey).toLongLong(), 2052);
  SetControlTextId(&label, "no_such_text_id");
  EXPECT_EQ(label.text(), "no_such_text_id");
  EXPECT_FALSE(language.ApplyLanguage(2));
  EXPECT_FALSE(language.ApplyLanguage(-1));
  EXPECT_EQ(language.languageIndex(), 0);
}

// Languages beyond the shipped two: ids their file lacks show in English, a listed language
// without a readable file shows in English altogether, and when nothing can be read the
// language, its index and the stored choice all stay.
TEST_F(LanguageTest, OtherLanguagesFallBackToEnglishAndAFailureChangesNothing) {
  const std::string folder = dir_.File("program") + "/";
  std::filesystem::create_directories(folder + "DefaultData");
  std::filesystem::copy_file(test::ResourceFolder() + "DefaultData/lan_en.xml",
                             folder + "DefaultData/lan_en.xml");
  std::ofstream(folder + "DefaultData/lan_de.xml")
      << "<Language><Text id=\"no_device_text\">Kein Gerät verbunden</Text></Language>";
  std::ofstream(folder + "DefaultData/Language.config")
      << R"({"Language": [{"Language_ID": 520, "Language_file": "lan_en.xml"},
                          {"Language_ID": 1031, "Language_file": "lan_de.xml"},
                          {"Language_ID": 1041, "Language_file": "lan_ja.xml"}]})";
  QLabel device, hint;
  SetControlTextId(&device, "no_device_text");
  SetControlTextId(&hint, "no_device_hint");
  LanguageSwitch language(folder);
  ASSERT_TRUE(language.ApplyLanguage(1));
  EXPECT_EQ(device.text().toStdString(), "Kein Gerät verbunden");
  EXPECT_EQ(hint.text(), "Connect a keyboard, mouse, mouse pad or headset.");
  ASSERT_TRUE(language.ApplyLanguage(2));
  EXPECT_EQ(device.text(), "No device connected");
  EXPECT_EQ(language.languageIndex(), 2);

  // Without English under it, an unreadable language is refused and nothing moves.
  std::filesystem::remove(folder + "DefaultData/lan_en.xml");
  ASSERT_TRUE(language.ApplyLanguage(1));
  EXPECT_FALSE(language.ApplyLanguage(2));
  EXPECT_EQ(language.languageIndex(), 1);
  EXPECT_EQ(device.text().toStdString(), "Kein Gerät verbunden");
  QSettings settings(QString::fromStdString(SettingsFilePath()), QSettings::IniFormat);
  EXPECT_EQ(settings.value(kLanguageSettingsKey).toLongLong(), 1031);
}

TEST_F(LanguageTest, FirstStartComesUpInEnglish) {
  Program program(dir_.File("control"));
  std::string error;
  ASSERT_EQ(program.Start({}, error), Program::StartResult::Running) << error;
  ASSERT_NE(program.language(), nullptr);
  EXPECT_EQ(program.language()->languageIndex(), 1);
  auto* text =
      qobject_cast<QLabel*>(ui::FindControl(program.mainWindow()->skinRoot(), "no_device_text"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text(), "No device connected");
  program.language()->ApplyLanguage(0);
  EXPECT_EQ(text->text(), "未连接设备");
}

std::map<std::string, std::string> Texts(const char* file) {
  std::map<std::string, std::string> texts;
  EXPECT_TRUE(LoadLanguageFile(test::ResourceFolder() + "DefaultData/" + file, texts)) << file;
  return texts;
}

// The text ids named by the files under `folder` whose names match `filters`, by the file's
// path relative to the folder.
std::map<std::string, std::set<std::string>> IdsInFiles(const std::string& folder,
                                                        const QStringList& filters,
                                                        const QRegularExpression& pattern) {
  std::map<std::string, std::set<std::string>> found;
  const QDir base(QString::fromStdString(folder));
  QDirIterator it(base.path(), filters, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    std::set<std::string>& ids = found[base.relativeFilePath(path).toStdString()];
    for (const auto& match : pattern.globalMatch(text)) ids.insert(match.captured(1).toStdString());
  }
  return found;
}

// Every text id a skin or a menu names, and every one the code names, is in both language files.
TEST_F(LanguageTest, EveryTextIdIsInBothLanguages) {
  const QRegularExpression textId(
      "<property\\s+name=\"textId\"\\s+stdset=\"0\"\\s*>\\s*<string>\\s*([^<\\s]+)\\s*</string>");
  const auto skins = IdsInFiles(test::SkinFolderOfSource(), {"*.xml"}, textId);
  // The scan reaches the main window, the menus and the device panels.
  for (const char* file : {"XML/main.xml", "XML/Menus/menu.xml", "XML/msgwnd.xml",
                           "XML/DeviceXml/mousepaddevice.xml", "XML/DeviceXml/hs6533device.xml"}) {
    ASSERT_TRUE(skins.count(file)) << file << " was not scanned";
    EXPECT_FALSE(skins.at(file).empty()) << file << " names no text id";
  }
  EXPECT_EQ(skins.at("XML/Menus/menu.xml"),
            (std::set<std::string>{"menu_show_main", "menu_settings", "menu_about", "menu_exit"}));
  EXPECT_EQ(skins.at("XML/DeviceXml/hs6533device.xml"),
            (std::set<std::string>{"tab_light", "tab_voice", "tab_magic", "tab_virtual"}));

  std::set<std::string> ids = {kSoftwareRevisionTextId, "light_control_on", "light_control_off"};
  for (const auto& [file, named] : skins) ids.insert(named.begin(), named.end());
  // Message boxes take "message_text_" ids straight from the code.
  const auto code = IdsInFiles(std::string(VARKON_SOURCE_DIR) + "/src/", {"*.cpp", "*.h"},
                               QRegularExpression("\"(message_text_[0-9]+)\""));
  for (const auto& [file, named] : code) ids.insert(named.begin(), named.end());
  // The messages the main window's routing shows (confirmations and outcomes).
  for (int n : {2, 4, 5, 6, 7, 16, 22, 25, 26, 27, 28, 29}) {
    ids.insert("message_text_" + std::to_string(n));
  }
  EXPECT_GE(ids.size(), 30u);
  for (const char* name : {"lan_en.xml", "lan_cn.xml"}) {
    const std::map<std::string, std::string> texts = Texts(name);
    for (const std::string& id : ids) EXPECT_TRUE(texts.count(id)) << id << " missing in " << name;
  }
}

TEST_F(LanguageTest, BothLanguagesHaveTheSameIdsAndNoEmptyText) {
  const std::map<std::string, std::string> english = Texts("lan_en.xml");
  const std::map<std::string, std::string> chinese = Texts("lan_cn.xml");
  ASSERT_FALSE(english.empty());
  for (const auto& [id, text] : english) {
    EXPECT_TRUE(chinese.count(id)) << id << " only in English";
    EXPECT_FALSE(text.empty()) << id;
  }
  for (const auto& [id, text] : chinese) {
    EXPECT_TRUE(english.count(id)) << id << " only in Chinese";
    EXPECT_FALSE(text.empty()) << id;
    // A Chinese text that is the English one again was never translated, unless it is a key's
    // legend (printed the same on every keyboard) or holds no English word at all ("M1", "DPI",
    // an arrow).
    const bool legend = id.rfind("keyboard_key_", 0) == 0 || id.rfind("keyset_mod_", 0) == 0;
    const bool hasWord = std::regex_search(text, std::regex("[a-z]{3}"));
    if (english.count(id) && !legend && hasWord) {
      EXPECT_NE(text, english.at(id)) << id;
    }
  }
}

// "message_text_16" is used as a format string with one number: exactly one %d, no other
// conversion. Every other text is shown as it is, so none may hold a conversion at all.
TEST_F(LanguageTest, OnlyTheWriteFailureTextTakesANumber) {
  for (const char* name : {"lan_en.xml", "lan_cn.xml"}) {
    for (const auto& [id, text] : Texts(name)) {
      QString bare = QString::fromStdString(text);
      bare.remove(QStringLiteral("%%"));
      if (id != "message_text_16") {
        EXPECT_EQ(bare.count('%'), 0) << id << " in " << name;
        continue;
      }
      ASSERT_EQ(bare.count('%'), 1) << name;
      ASSERT_EQ(bare.count(QStringLiteral("%d")), 1) << name;
      const QString formatted = QString::asprintf(text.c_str(), 8);
      EXPECT_TRUE(formatted.contains('8')) << name;
      EXPECT_FALSE(formatted.contains('%')) << name;
    }
  }
}

TEST_F(LanguageTest, ApplyingTranslatesTheTrayMenuAndLaterMenus) {
  ui::SetMenuTextLookup({});
  ui::MessageBus bus;
  ui::PopupMenu menu(bus.Target());
  std::string error;
  ASSERT_TRUE(menu.Load("XML/Menus/menu.xml", &error, test::SkinFolderOfSource())) << error;
  ASSERT_NE(menu.FindItem("exit"), nullptr);
  EXPECT_EQ(menu.FindItem("exit")->text(), "Exit");  // the file's text, before any language

  LanguageSwitch language(test::ResourceFolder());
  ASSERT_TRUE(language.ApplyLanguage(0));
  EXPECT_EQ(menu.FindItem("exit")->text(), "退出");
  EXPECT_EQ(menu.FindItem("setwnd_menu")->text(), "设置");
  EXPECT_EQ(menu.FindItem("show_main")->text(), "打开 Varkon Korvu Wired");

  // A menu built while a language is current comes up in it.
  ui::PopupMenu later(bus.Target());
  ASSERT_TRUE(later.Load("XML/Menus/menu.xml", &error, test::SkinFolderOfSource())) << error;
  EXPECT_EQ(later.FindItem("about_menu")->text(), "关于");

  ASSERT_TRUE(language.ApplyLanguage(1));
  EXPECT_EQ(menu.FindItem("exit")->text(), "Exit");
  EXPECT_EQ(later.FindItem("about_menu")->text(), "About");
  EXPECT_EQ(menu.FindItem("setwnd_menu")->text(), "Settings");
  ui::SetMenuTextLookup({});
}

}  // namespace
}  // namespace varkon
