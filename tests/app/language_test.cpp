#include "app/language.h"

#include <gtest/gtest.h>

#include <QApplication>
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
#include "app/language_text.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app_test_support.h"
#include "platform/ui/control_find.h"
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

// Every text id a skin names, and every one the code names, is in both language files.
TEST_F(LanguageTest, EveryTextIdIsInBothLanguages) {
  std::set<std::string> ids = {kSoftwareRevisionTextId};
  const QRegularExpression textId(
      "<property name=\"textId\" stdset=\"0\"><string>([^<]+)</string>");
  QDirIterator it(QString::fromStdString(test::SkinFolderOfSource()), {"*.xml"}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile file(it.next());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const auto& match : textId.globalMatch(text)) ids.insert(match.captured(1).toStdString());
  }
  EXPECT_GE(ids.size(), 10u);
  for (const char* name : {"lan_en.xml", "lan_cn.xml"}) {
    std::map<std::string, std::string> texts;
    ASSERT_TRUE(LoadLanguageFile(test::ResourceFolder() + "DefaultData/" + name, texts)) << name;
    for (const std::string& id : ids) EXPECT_TRUE(texts.count(id)) << id << " missing in " << name;
  }
}

}  // namespace
}  // namespace varkon
