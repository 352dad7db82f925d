// The interface language: the list in "DefaultData/Language.config", the language stored in
// the settings ("LANGUAGE", a language id; 520 when none is stored), the text files of each
// language and the display font that goes with it.
//
// A language text file:
//   <Language><Text id="confirm_text">OK</Text> ...</Language>
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class QFont;
class QWidget;

namespace varkon {

inline constexpr const char* kLanguageConfigFile = "DefaultData/Language.config";
inline constexpr const char* kLanguageSettingsKey = "LANGUAGE";
inline constexpr int64_t kDefaultLanguageId = 520;
inline constexpr size_t kMaxLanguageFileBytes = 4 * 1024 * 1024;
inline constexpr size_t kMaxLanguageTextLength = 4096;

struct LanguageEntry {
  std::string name;  // "Language_name"
  std::string file;  // "Language_file", relative to DefaultData/
  int64_t id = 0;    // "Language_ID"
  std::string text;  // "Language_text", the entry's caption
};

// The entries of `programFolder` + "DefaultData/Language.config"; empty when it is missing or
// unreadable. Entries that are not objects, or whose file name would leave the folder, keep
// their place with an empty file.
std::vector<LanguageEntry> ReadLanguageConfig(const std::string& programFolder);

// "$XDG_CONFIG_HOME/Varkon Korvu Wired/settings.ini" (~/.config when unset).
std::string SettingsFilePath();

// The index of the stored language in the list; 0 when the list is missing or lacks it.
int ReadStoredLanguage(const std::string& programFolder);

// Reads a language text file into `texts`. False when missing, too large or not a language
// file; ids and texts are cut to kMaxLanguageTextLength.
bool LoadLanguageFile(const std::string& path, std::map<std::string, std::string>& texts);

// The font face for all text in language `index` when switching from `previous` (-1 for none
// yet): a face of its own for 0, 2 and 15, else "Verdana Unicode MS" when coming from one of
// those or from none; empty means the fonts stay.
std::string LanguageFontFace(int index, int previous);
// The font table with `face`: numbered fonts and the default (-1), by pixel size and weight.
QFont TableFont(int id);
void SetFontTable(const std::string& face);
std::string FontTableFace();

class LanguageSwitch {
 public:
  explicit LanguageSwitch(std::string programFolder) : programFolder_(std::move(programFolder)) {}
  // Makes language `index` current: font table, texts, every text id shown under the
  // application's windows and menus (menus built later follow it too), and the stored
  // "LANGUAGE". Nothing happens for the current index. Ids the language's file lacks show in
  // English, and a language whose file cannot be read shows in English altogether.
  // False, with nothing changed, for an index outside the list or when neither the language's
  // file nor the English one can be read.
  bool ApplyLanguage(int index);
  int languageIndex() const { return languageIndex_; }

 private:
  std::string programFolder_;
  int languageIndex_ = -1;
};

}  // namespace varkon
