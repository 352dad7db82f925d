#include "app/set_wnd.h"

#include <QComboBox>
#include <QListWidget>
#include <cstdio>

#include "app/language.h"
#include "platform/ui/language_text.h"
#include "platform/ui/notifier.h"

namespace varkon {

std::string FirmwareVersionText(uint16_t version) {
  char text[16];
  std::snprintf(text, sizeof(text), "%u.%02u", static_cast<unsigned>(version >> 8),
                static_cast<unsigned>(version & 0xFF));
  return text;
}

CSetWnd::CSetWnd(QWidget* parent, std::string programFolder, int languageIndex,
                 std::vector<InstalledItem> installed, LanguageChosen chosen)
    : SkinDialog(parent),
      programFolder_(std::move(programFolder)),
      languageIndex_(languageIndex),
      installed_(std::move(installed)),
      chosen_(std::move(chosen)) {}

bool CSetWnd::Create(std::string& error, const std::string& skinFolder) {
  if (!LoadSkin("setwnd.xml", error, skinFolder)) return false;
  resize(630, 500);
  FillLanguages();
  FillInstalled();
  return true;
}

void CSetWnd::FillLanguages() {
  auto* combo = qobject_cast<QComboBox*>(Control("Language_combox_info"));
  if (!combo) return;
  // The current language is shown, not applied again.
  ui::QuietNotifications quiet;
  combo->clear();
  for (const LanguageEntry& entry : ReadLanguageConfig(programFolder_)) {
    combo->addItem(QString::fromStdString(entry.text.empty() ? entry.name : entry.text));
  }
  combo->setCurrentIndex(languageIndex_ < combo->count() ? languageIndex_ : -1);
}

void CSetWnd::FillInstalled() {
  auto* list = qobject_cast<QListWidget*>(Control("device_update_list_info"));
  if (!list) return;
  list->clear();
  for (const InstalledItem& item : installed_) {
    const std::string version =
        item.version.empty() ? LanguageText("setwnd_not_connected_text") : item.version;
    list->addItem(QString::fromStdString(item.name + "    " + version));
  }
}

void CSetWnd::OnNotification(const ui::Notification& n) {
  if (n.type != "itemselect" || n.name != "Language_combox_info") return;
  const int index = static_cast<int>(n.wParam);
  if (index < 0 || index == languageIndex_) return;
  languageIndex_ = index;
  if (chosen_) chosen_(index);
  // Texts set from code follow the new language too.
  FillInstalled();
}

}  // namespace varkon
