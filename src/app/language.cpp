#include "app/language.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QSettings>
#include <QWidget>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "core/json_file.h"
#include "editors/key_set_control.h"
#include "editors/macro_control.h"
#include "platform/ui/language_text.h"
#include "platform/ui/popup_menu.h"
#include "platform/ui/program_folder.h"

namespace varkon {
namespace {

std::mutex gFontMutex;
std::string gFontFace;

std::string Bounded(const QString& text) {
  std::string out = text.toStdString();
  if (out.size() > kMaxLanguageTextLength) out.resize(kMaxLanguageTextLength);
  return out;
}

}  // namespace

std::vector<LanguageEntry> ReadLanguageConfig(const std::string& programFolder) {
  std::vector<LanguageEntry> entries;
  if (programFolder.empty()) return entries;
  const Json::Value root = ReadJsonFile(ui::SkinFilePath(programFolder, kLanguageConfigFile));
  if (!root.isObject() || !root["Language"].isArray()) return entries;
  for (const Json::Value& item : root["Language"]) {
    LanguageEntry entry;
    if (item.isObject()) {
      if (item["Language_name"].isString()) entry.name = item["Language_name"].asString();
      if (item["Language_file"].isString()) {
        entry.file = ui::NormaliseSkinName(item["Language_file"].asString());
      }
      if (item["Language_ID"].isIntegral()) entry.id = item["Language_ID"].asInt64();
      if (item["Language_text"].isString()) entry.text = item["Language_text"].asString();
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string SettingsFilePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config && *config) {
    folder = config;
  } else if (const char* home = std::getenv("HOME")) {
    folder = std::string(home) + "/.config";
  }
  return folder + "/Varkon Korvu Wired/settings.ini";
}

int ReadStoredLanguage(const std::string& programFolder) {
  QSettings settings(QString::fromStdString(SettingsFilePath()), QSettings::IniFormat);
  bool ok = false;
  const QVariant stored = settings.value(kLanguageSettingsKey);
  int64_t id = stored.isValid() ? stored.toLongLong(&ok) : kDefaultLanguageId;
  if (stored.isValid() && !ok) id = kDefaultLanguageId;
  const std::vector<LanguageEntry> entries = ReadLanguageConfig(programFolder);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].id == id) return static_cast<int>(i);
  }
  return 0;
}

bool LoadLanguageFile(const std::string& path, std::map<std::string, std::string>& texts) {
  QFile file(QString::fromStdString(path));
  if (path.empty() || !file.open(QIODevice::ReadOnly)) return false;
  if (file.size() > static_cast<qint64>(kMaxLanguageFileBytes)) return false;
  QXmlStreamReader reader(file.read(kMaxLanguageFileBytes));
  std::map<std::string, std::string> read;
  bool root = false;
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) continue;
    if (!root) {
      if (reader.name() != QLatin1String("Language")) return false;
      root = true;
      continue;
    }
    if (reader.name() != QLatin1String("Text")) {
      reader.skipCurrentElement();
      continue;
    }
    const std::string id = Bounded(reader.attributes().value("id").toString());
    const std::string text = Bounded(reader.readElementText(QXmlStreamReader::SkipChildElements));
    if (!id.empty()) read[id] = text;
  }
  if (!root || reader.hasError()) return false;
  texts = std::move(read);
  return true;
}

std::string LanguageFontFace(int index, int previous) {
  switch (index) {
    case 0:
      return "汉仪菱心体简";
    case 2:
      return "Noto Sans CJK TC Regular";
    case 15:
      return "Noto Sans Thai";
    default:
      break;
  }
  if (previous == -1 || previous == 0 || previous == 2 || previous == 15) {
    return "Verdana Unicode MS";
  }
  return {};
}

QFont TableFont(int id) {
  int pixels = 14;
  bool bold = false;
  switch (id) {
    case 0:
      pixels = 15;
      break;
    case 1:
      pixels = 14;
      bold = true;
      break;
    case 2:
      pixels = 12;
      break;
    case 3:
      pixels = 30;
      break;
    case 4:
      pixels = 16;
      break;
    case 5:
      pixels = 20;
      break;
    case 6:
      pixels = 22;
      break;
    case 7:
      pixels = 14;
      break;
    case 8:
      pixels = 12;
      break;
    case 9:
      pixels = 11;
      break;
    case 10:
      pixels = 10;
      break;
    case 11:
      pixels = 28;
      break;
    case 50:
      pixels = 18;
      bold = true;
      break;
    default:
      break;
  }
  QFont font(QString::fromStdString(FontTableFace()));
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setItalic(false);
  font.setUnderline(false);
  return font;
}

void SetFontTable(const std::string& face) {
  {
    std::lock_guard<std::mutex> lock(gFontMutex);
    gFontFace = face;
  }
  if (qApp) QApplication::setFont(TableFont(-1));
}

std::string FontTableFace() {
  std::lock_guard<std::mutex> lock(gFontMutex);
  return gFontFace;
}

bool LanguageSwitch::ApplyLanguage(int index) {
  if (index == languageIndex_) return true;
  const std::vector<LanguageEntry> entries = ReadLanguageConfig(programFolder_);
  if (index < 0 || static_cast<size_t>(index) >= entries.size()) return false;
  const LanguageEntry& entry = entries[static_cast<size_t>(index)];
  const std::string folder = programFolder_ + "DefaultData/";
  // English lies under every language: an id a language's file lacks, or a language listed
  // without a readable file of its own, shows in English rather than as its id.
  std::map<std::string, std::string> texts;
  const auto english = std::find_if(entries.begin(), entries.end(), [](const LanguageEntry& e) {
    return e.id == kDefaultLanguageId;
  });
  const bool base =
      english != entries.end() && LoadLanguageFile(ui::SkinFilePath(folder, english->file), texts);
  std::map<std::string, std::string> own;
  const bool loaded = LoadLanguageFile(ui::SkinFilePath(folder, entry.file), own);
  // Nothing to show at all: the language stays as it was, index and stored choice included.
  if (!loaded && !base) return false;
  for (auto& [id, text] : own) texts[id] = std::move(text);
  const std::string face = LanguageFontFace(index, languageIndex_);
  if (!face.empty()) SetFontTable(face);
  languageIndex_ = index;
  SetLanguageTexts(std::move(texts));
  // Menus look their items' texts up as controls do, now and whenever one is built later.
  ui::SetMenuTextLookup([](const std::string& id) { return LanguageText(id); });
  for (QWidget* window : QApplication::topLevelWidgets()) {
    ApplyTextIds(window);
    ui::ApplyMenuTextIds(window);
    // Texts the panels set from code (the macro steps' names, the key editor's lists).
    for (CMacroControlUI* macros : window->findChildren<CMacroControlUI*>()) macros->Retranslate();
    for (CKeySetControlUI* keys : window->findChildren<CKeySetControlUI*>()) keys->Retranslate();
  }
  QSettings settings(QString::fromStdString(SettingsFilePath()), QSettings::IniFormat);
  settings.setValue(kLanguageSettingsKey, static_cast<qlonglong>(entry.id));
  settings.sync();
  return true;
}

}  // namespace varkon
