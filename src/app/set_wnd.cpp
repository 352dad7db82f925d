#include "app/set_wnd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QListWidget>
#include <cstdio>

#include "app/autostart.h"
#include "app/language.h"
#include "app/msg_wnd.h"
#include "app/update_row.h"
#include "platform/ui/control_containers.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_values.h"
#include "platform/ui/language_text.h"
#include "platform/ui/notifier.h"
#include "profile/data_folders.h"

namespace varkon {

namespace {

std::string Today() {
  const QDate today = QDate::currentDate();
  char text[32];
  std::snprintf(text, sizeof(text), "%d-%d-%d", today.year(), today.month(), today.day());
  return text;
}

}  // namespace

UpdateList OfferedUpdates(const std::vector<InstalledItem>& installed,
                          const std::string& userFolder) {
  std::vector<UpdateItem> items;
  for (const InstalledItem& i : installed) {
    items.push_back(InstalledUpdateItem(i.id, i.name, i.version));
  }
  bool known = false;
  const auto offers = ReadUpdateOffers(JoinPath(userFolder, kUpdateOfferFile), known);
  return UpdateList(std::move(items), offers, known);
}

std::string FirmwareVersionText(uint16_t version) {
  char text[16];
  std::snprintf(text, sizeof(text), "%u.%02u", static_cast<unsigned>(version >> 8),
                static_cast<unsigned>(version & 0xFF));
  return text;
}

CSetWnd::CSetWnd(QWidget* parent, std::string programFolder, int languageIndex,
                 std::vector<InstalledItem> installed, LanguageChosen chosen, UpToDate upToDate)
    : SkinDialog(parent),
      programFolder_(std::move(programFolder)),
      languageIndex_(languageIndex),
      installed_(std::move(installed)),
      updates_({}, {}, false),
      chosen_(std::move(chosen)),
      upToDate_(std::move(upToDate)) {}

bool CSetWnd::Create(std::string& error, const std::string& skinFolder,
                     const std::string& userFolder) {
  if (!LoadSkin("setwnd.xml", error, skinFolder)) return false;
  resize(630, 500);
  const std::string folder = userFolder.empty() ? UserDataRoot() : userFolder;
  updates_ = OfferedUpdates(installed_, folder);
  lastCheck_ = LastUpdateCheck(JoinPath(folder, kUpdateTimeFile), Today());
  FillLanguages();
  if (QWidget* autostart = Control("autostart_check")) {
    ui::QuietNotifications quiet;
    ui::SetChecked(autostart, AutostartEnabled());
  }
  FillUpdateList();
  ui::SelectPage(Control("get_update_tab_layout"), 0);
  ShowUpdates();
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

void CSetWnd::FillUpdateList() {
  auto* list = qobject_cast<QListWidget*>(Control("device_update_list_info"));
  if (!list) return;
  list->clear();
  for (size_t i = 0; i < updates_.Items().size(); ++i) {
    auto* item = new QListWidgetItem(list);
    auto* row = new UpdateRow;
    item->setSizeHint(QSize(list->viewport()->width(), row->height()));
    list->setItemWidget(item, row);
    connect(row->CheckBox(), &QCheckBox::toggled, this, [this, i](bool on) {
      // A box the list keeps disabled stays as it was.
      if (!updates_.SetChecked(i, on)) {
        ShowUpdates();
        return;
      }
      if (QWidget* update = Control("update_fw_and_ap")) {
        update->setEnabled(updates_.AnyChecked());
        update->setVisible(updates_.AnyChecked());
      }
    });
  }
}

// Every row, the status line and the buttons from the list's state, in the current language.
void CSetWnd::ShowUpdates() {
  if (auto* list = qobject_cast<QListWidget*>(Control("device_update_list_info"))) {
    const auto& items = updates_.Items();
    for (int i = 0; i < list->count() && i < static_cast<int>(items.size()); ++i) {
      if (auto* row = qobject_cast<UpdateRow*>(list->itemWidget(list->item(i)))) {
        row->Show(items[static_cast<size_t>(i)]);
      }
    }
  }
  const int status = updates_.Status();
  std::string text = LanguageText(UpdateStatusTextId(status));
  if (status == kUpdateStatusUpToDate) text += lastCheck_;
  if (QWidget* line = Control("Update_Status_text")) {
    ui::SetText(line, QString::fromStdString(text));
  }
  if (QWidget* ring = Control("update_status_ring")) {
    ring->setVisible(status == kUpdateStatusChecking);
  }
  // The image is a done mark: it belongs to "up to date" only.
  if (QWidget* image = Control("update_status_image")) {
    image->setVisible(status == kUpdateStatusUpToDate);
  }
  if (QWidget* update = Control("update_fw_and_ap")) {
    update->setEnabled(updates_.AnyChecked() && updates_.Current() < 0);
    update->setVisible(update->isEnabled());
  }
  // Nothing is left to update: the owner takes the badge off its settings button.
  if (status == kUpdateStatusUpToDate && upToDate_) upToDate_();
}

void CSetWnd::OnUpdateStep(int code, int value) {
  if (updates_.Step(code, value)) ShowUpdates();
}

bool CSetWnd::OnClick(const QString& name) {
  if (name == "laterbtn") {
    done(0);
  } else if (name == "update_fw_and_ap") {
    ui::SelectPage(Control("get_update_tab_layout"), 1);
  } else if (name == "update_ok_btn") {
    updates_.StartChecked();
    ui::SelectPage(Control("get_update_tab_layout"), 0);
    ShowUpdates();
  } else {
    return false;
  }
  return true;
}

void CSetWnd::done(int result) {
  // Closing while the updater works on a row would leave it unwatched.
  if (!updates_.CloseAllowed()) return;
  SkinDialog::done(result);
}

void CSetWnd::OnAutostart(bool on) {
  std::string error;
  if (SetAutostart(on, QCoreApplication::applicationFilePath().toStdString(), error)) return;
  // The box shows what is on disk, and the user learns why it is not what they chose.
  {
    ui::QuietNotifications quiet;
    ui::SetChecked(Control("autostart_check"), AutostartEnabled());
  }
  ShowMessage(this, {}, error, 96, false, kMessageConfirmOnly);
}

void CSetWnd::OnNotification(const ui::Notification& n) {
  if (n.type == "click" && n.name == "autostart_check") {
    OnAutostart(n.wParam != 0);
    return;
  }
  if (n.type != "itemselect" || n.name != "Language_combox_info") return;
  const int index = static_cast<int>(n.wParam);
  if (index < 0 || index == languageIndex_) return;
  languageIndex_ = index;
  if (chosen_) chosen_(index);
  // Texts set from code follow the new language too.
  ShowUpdates();
}

}  // namespace varkon
