// The profile panel's rows of the notification routing, the profile switch, the tray's
// "Profiles" submenu and the `varkonctl profile` requests. Every way in runs the same
// operations: the profile index changes the files, the panel shows the result, and a switch
// writes the chosen profile to the device.
#include <json/value.h>
#include <json/writer.h>

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/device_screen.h"
#include "app/file_dialog.h"
#include "app/main_window.h"
#include "app/msg_wnd.h"
#include "devices/panels/usb_device.h"
#include "editors/device_profile.h"
#include "platform/ui/language_text.h"
#include "platform/ui/popup_menu.h"
#include "profile/data_folders.h"
#include "profile/profile_index.h"
#include "profile/profile_index_ui.h"

namespace varkon {

namespace {

constexpr const char* kClick = "click";
// The tray's submenu and the prefix of its items: "profile_switch_" + panel + "_" + profile.
constexpr const char* kTrayProfilesMenu = "tray_profiles_menu";
constexpr const char* kTraySwitchPrefix = "profile_switch_";
// How long a request waits for a device's write before it answers anyway.
constexpr int kRequestWaitMs = 30000;

// What an operation ends with: empty when it went through, else why not. `told` marks the texts
// meant for the user (the language file's); the others are refusals the panel never leads to,
// which only scripts see.
struct Result {
  std::string error;
  bool told = false;
};
using Outcome = std::function<void(const Result&)>;

Result Refused(std::string why) {
  return {std::move(why), false};
}
Result Told(std::string text) {
  const bool told = !text.empty();
  return {std::move(text), told};
}

enum class ProfileOperation { kAdd, kCopy, kDelete, kReset, kRename, kImport, kExport, kSwitch };

std::string ImportOutcomeText(ProfileIndex::ImportResult result) {
  switch (result) {
    case ProfileIndex::ImportResult::kImported:
      return {};
    case ProfileIndex::ImportResult::kUnreadable:
      return LanguageText("profile_import_unreadable");
    case ProfileIndex::ImportResult::kTooLarge:
      return LanguageText("profile_import_too_large");
    case ProfileIndex::ImportResult::kNotAProfile:
      return LanguageText("profile_import_not_profile");
    case ProfileIndex::ImportResult::kNotWritten:
      return LanguageText("profile_import_not_written");
  }
  return {};
}

bool Confirm(CMainWnd& window, const char* textId) {
  return ShowMessage(&window, {}, textId, window.Dpi(), true, kMessageConfirmAndCancel) == 1;
}

void Tell(CMainWnd& window, const std::string& text) {
  if (!text.empty()) ShowMessage(&window, {}, text, window.Dpi(), false, kMessageConfirmOnly);
}

void ShowProfiles(CTarnwiseUSBDevice& device) {
  if (CDeviceProfileUI* panel = device.ProfilePanel()) panel->ShowList();
}

// Makes profile `index` the device's current one and writes it to the device; `done` gets the
// outcome's text (empty when it went in).
void SwitchDeviceProfile(CTarnwiseUSBDevice& device, int index, Outcome done) {
  if (CDeviceProfileUI* panel = device.ProfilePanel()) panel->SelectEntry(index);
  QPointer<CTarnwiseUSBDevice> guard(&device);
  device.SwitchToProfile(index, [guard, done = std::move(done)](int result) {
    if (guard) ShowProfiles(*guard);
    if (done) done(Told(DeviceWriteOutcomeText(result)));
  });
}

// Runs `operation` on `device`'s profiles. `ask` shows the operation's confirmation first (a
// refusal ends it quietly). `argument` is the new name, the file, or the profile to switch to.
// `done` gets an empty text when the operation went through, else what went wrong.
void RunProfileOperation(CMainWnd& window, CTarnwiseUSBDevice& device, ProfileOperation operation,
                         const std::string& argument, bool ask, Outcome done) {
  ProfileIndex& profiles = device.Logic().Profiles();
  if (!device.Logic().ProfileBound()) {
    done(Refused("the device has not been read yet"));
    return;
  }
  // The question runs its own loop, in which the device may go away: then nothing is done.
  QPointer<CTarnwiseUSBDevice> alive(&device);
  const auto confirmed = [&](ProfileAction action) {
    const char* question = ProfileActionConfirmation(action);
    const bool yes = !ask || question == nullptr || Confirm(window, question);
    return yes && alive;
  };
  switch (operation) {
    case ProfileOperation::kAdd:
      if (!confirmed(ProfileAction::kAdd)) return done(Refused("cancelled"));
      if (!profiles.AddProfile()) return done(Refused("there are already 50 profiles"));
      ShowProfiles(device);
      return done({});
    case ProfileOperation::kCopy:
      if (!confirmed(ProfileAction::kCopy)) return done(Refused("cancelled"));
      if (!profiles.CopyProfile()) return done(Refused("no profile is selected"));
      ShowProfiles(device);
      return done({});
    case ProfileOperation::kDelete: {
      if (profiles.Names().size() < 2) return done(Refused("the last profile cannot be deleted"));
      if (!confirmed(ProfileAction::kDelete)) return done(Refused("cancelled"));
      const int next = profiles.DeleteProfile();
      if (next < 0) return done(Refused("no profile is selected"));
      // The device leaves the deleted profile at once: saving into it would bring its file back.
      return SwitchDeviceProfile(device, next, std::move(done));
    }
    case ProfileOperation::kReset: {
      // The palette's remembered colours go with a reset (asked about with it).
      std::error_code ignored;
      std::filesystem::remove(UserDataRoot() + "color_option_info.config", ignored);
      if (!confirmed(ProfileAction::kReset)) return done(Refused("cancelled"));
      if (!profiles.ResetProfile()) return done(Refused("the profile could not be reset"));
      return SwitchDeviceProfile(device, profiles.GetSelectedIndex(), std::move(done));
    }
    case ProfileOperation::kRename: {
      if (argument.empty()) return done(Refused("no name was given"));
      const int result = profiles.RenameProfile(argument);
      if (const char* message = RenameResultMessage(result))
        return done(Told(LanguageText(message)));
      if (result != 1) return done(Refused("no profile is selected"));
      ShowProfiles(device);
      return done({});
    }
    case ProfileOperation::kImport: {
      const std::string error = ImportOutcomeText(profiles.Import(argument));
      if (error.empty()) ShowProfiles(device);
      return done(Told(error));
    }
    case ProfileOperation::kExport:
      if (!profiles.ExportProfile(argument)) {
        return done(Told(LanguageText("profile_export_not_written")));
      }
      return done({});
    case ProfileOperation::kSwitch: {
      const std::vector<std::string>& names = profiles.Names();
      int index = -1;
      for (size_t i = 0; i < names.size() && index < 0; ++i) {
        if (names[i] == argument) index = static_cast<int>(i);
      }
      for (size_t i = 0; i < names.size() && index < 0; ++i) {
        if (QString::fromStdString(names[i]).compare(QString::fromStdString(argument),
                                                     Qt::CaseInsensitive) == 0) {
          index = static_cast<int>(i);
        }
      }
      if (index < 0) return done(Refused("there is no profile " + argument));
      return SwitchDeviceProfile(device, index, std::move(done));
    }
  }
}

// A panel action: the outcome, when there is one to tell, in a message box.
void RunFromPanel(CMainWnd& window, ProfileOperation operation, const std::string& argument = {}) {
  CTarnwiseUSBDevice* device = window.CurrentDevice();
  if (!device || !device->ProfilePanel()) return;
  QPointer<CMainWnd> guard(&window);
  RunProfileOperation(window, *device, operation, argument, true, [guard](const Result& result) {
    if (guard && result.told) Tell(*guard, result.error);
  });
}

// Waits (running the event loop) for an operation that finishes later; gives up after
// kRequestWaitMs.
std::string WaitForOutcome(const std::function<void(Outcome)>& start) {
  struct State {
    std::optional<std::string> result;
    QEventLoop* loop = nullptr;
  };
  auto state = std::make_shared<State>();
  start([state](const Result& result) {
    state->result = result.error;
    if (state->loop) state->loop->quit();
  });
  if (!state->result) {
    QEventLoop loop;
    state->loop = &loop;
    QTimer::singleShot(kRequestWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    state->loop = nullptr;
  }
  if (!state->result) return "error the device did not finish in time";
  return state->result->empty() ? "ok" : "error " + *state->result;
}

std::string Joined(const std::vector<std::string>& words, size_t from, size_t to) {
  std::string text;
  for (size_t i = from; i < to; ++i) text += (i == from ? "" : " ") + words[i];
  return text;
}

std::string ProfileListJson(const ProfileIndex& profiles) {
  Json::Value list(Json::objectValue);
  list["selected"] = profiles.GetSelectedIndex();
  list["profiles"] = Json::Value(Json::arrayValue);
  for (const std::string& name : profiles.Names()) list["profiles"].append(name);
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return Json::writeString(builder, list);
}

}  // namespace

void CMainWnd::BuildProfileRoutes() {
  router_.OnName(kClick, "device_add_btn", [this](const RoutedNotification&) {
    RunFromPanel(*this, ProfileOperation::kAdd);
  });
  router_.OnName(kClick, "device_copy_btn", [this](const RoutedNotification&) {
    RunFromPanel(*this, ProfileOperation::kCopy);
  });
  router_.OnName(kClick, "device_sub_btn", [this](const RoutedNotification&) {
    RunFromPanel(*this, ProfileOperation::kDelete);
  });
  router_.OnName(kClick, "device_reset_btn", [this](const RoutedNotification&) {
    RunFromPanel(*this, ProfileOperation::kReset);
  });
  router_.OnName(kClick, "device_profile_edit_save_btn", [this](const RoutedNotification&) {
    CTarnwiseUSBDevice* device = CurrentDevice();
    CDeviceProfileUI* panel = device ? device->ProfilePanel() : nullptr;
    if (!panel || panel->GetNameEditText().isEmpty()) return;
    RunFromPanel(*this, ProfileOperation::kRename, panel->GetNameEditText().toStdString());
  });
  router_.OnName(kClick, "device_import_btn", [this](const RoutedNotification&) {
    CTarnwiseUSBDevice* device = CurrentDevice();
    if (!device || !device->ProfilePanel()) return;
    const std::optional<std::string> path = AskFilePath(this, FileDialogMode::kOpen);
    if (path) RunFromPanel(*this, ProfileOperation::kImport, *path);
  });
  router_.OnName(kClick, "device_export_btn", [this](const RoutedNotification&) {
    CTarnwiseUSBDevice* device = CurrentDevice();
    if (!device || !device->ProfilePanel()) return;
    const std::optional<std::string> path =
        AskFilePath(this, FileDialogMode::kSave, device->GetProfileName() + ".json");
    if (path) RunFromPanel(*this, ProfileOperation::kExport, *path);
  });
  router_.OnName(kClick, "profile_fun_spread_btn", [this](const RoutedNotification&) {
    CTarnwiseUSBDevice* device = CurrentDevice();
    if (CDeviceProfileUI* panel = device ? device->ProfilePanel() : nullptr) {
      panel->ShowProfileMenu(!panel->IsProfileMenuVisible());
    }
  });
  // Timer 1055 fires once the list's selection has settled: the device takes that profile.
  onProfileSwitch_ = [this](CTarnwiseUSBDevice* device) {
    CDeviceProfileUI* panel = device ? device->ProfilePanel() : nullptr;
    if (!panel) return;
    const int index = panel->GetSelectedIndex();
    if (index < 0 || index == device->Logic().Profiles().GetSelectedIndex()) return;
    QPointer<CMainWnd> guard(this);
    SwitchDeviceProfile(*device, index, [guard](const Result& result) {
      if (guard && result.told) Tell(*guard, result.error);
    });
  };
}

void CMainWnd::RefreshTrayProfiles() {
  QMenu* tray = menu_ ? menu_->menu() : nullptr;
  if (!tray) return;
  QMenu* profiles = tray->findChild<QMenu*>(QString::fromLatin1(kTrayProfilesMenu));
  if (!profiles) {
    profiles = new QMenu(tray);
    profiles->setObjectName(QString::fromLatin1(kTrayProfilesMenu));
    profiles->setProperty(kTextIdProperty, QStringLiteral("menu_profiles"));
    QAction* before = tray->actions().size() > 1 ? tray->actions().at(1) : nullptr;
    tray->insertMenu(before, profiles);
  }
  profiles->setTitle(QString::fromStdString(LanguageText("menu_profiles")));
  profiles->clear();
  const std::vector<CTarnwiseUSBDevice*> devices =
      screen_ ? screen_->Devices() : std::vector<CTarnwiseUSBDevice*>{};
  for (CTarnwiseUSBDevice* device : devices) {
    if (!device->Logic().ProfileBound()) continue;
    const ProfileIndex& index = device->Logic().Profiles();
    QMenu* sub = profiles->addMenu(QString::fromStdString(device->DisplayName()));
    for (size_t i = 0; i < index.Names().size(); ++i) {
      QAction* item = sub->addAction(QString::fromStdString(index.Names()[i]));
      item->setObjectName(QString::fromLatin1(kTraySwitchPrefix) +
                          QString::number(device->GetPanelIndex()) + "_" + QString::number(i));
      item->setCheckable(true);
      item->setChecked(static_cast<int>(i) == index.GetSelectedIndex());
      const std::string name = item->objectName().toStdString();
      connect(item, &QAction::triggered, this, [this, name] {
        ui::Message command;
        command.number = ui::kMenuCommandMessage;
        command.name = name;
        bus_.Post(std::move(command));
      });
    }
  }
  profiles->menuAction()->setVisible(!profiles->isEmpty());
}

bool CMainWnd::OnProfileMenuCommand(const std::string& item) {
  const std::string prefix = kTraySwitchPrefix;
  if (item.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string rest = item.substr(prefix.size());
  const size_t split = rest.find('_');
  if (split == std::string::npos) return true;
  const int panel = std::atoi(rest.substr(0, split).c_str());
  const int profile = std::atoi(rest.substr(split + 1).c_str());
  for (CTarnwiseUSBDevice* device :
       screen_ ? screen_->Devices() : std::vector<CTarnwiseUSBDevice*>{}) {
    if (device->GetPanelIndex() != panel) continue;
    if (profile < 0 || profile >= static_cast<int>(device->Logic().Profiles().Names().size())) {
      return true;
    }
    QPointer<CMainWnd> guard(this);
    SwitchDeviceProfile(*device, profile, [guard](const Result& result) {
      if (guard && result.told) Tell(*guard, result.error);
    });
    return true;
  }
  return true;
}

std::string CMainWnd::ProfileRequest(const std::vector<std::string>& words) {
  static const char kUsage[] =
      "error usage: profile DEVICE list | switch NAME | add | copy | delete | reset | rename NAME "
      "| export FILE | import FILE  (add, copy, delete and reset ask first unless --yes is given)";
  if (words.size() < 3) return kUsage;
  CTarnwiseUSBDevice* device = DeviceNamed(words[1]);
  if (!device) return "error no " + words[1] + " has been attached";
  if (!device->Logic().ProfileBound()) return "error the " + words[1] + " has not been read yet";
  const std::string& verb = words[2];
  if (verb == "list" && words.size() == 3) return ProfileListJson(device->Logic().Profiles());

  size_t end = words.size();
  const bool yes = words.back() == "--yes";
  if (yes) --end;
  const std::string argument = Joined(words, 3, end);
  ProfileOperation operation;
  bool takesArgument = false;
  bool asks = false;
  if (verb == "add") {
    operation = ProfileOperation::kAdd, asks = true;
  } else if (verb == "copy") {
    operation = ProfileOperation::kCopy, asks = true;
  } else if (verb == "delete") {
    operation = ProfileOperation::kDelete, asks = true;
  } else if (verb == "reset") {
    operation = ProfileOperation::kReset, asks = true;
  } else if (verb == "rename") {
    operation = ProfileOperation::kRename, takesArgument = true;
  } else if (verb == "switch") {
    operation = ProfileOperation::kSwitch, takesArgument = true;
  } else if (verb == "import") {
    operation = ProfileOperation::kImport, takesArgument = true;
  } else if (verb == "export") {
    operation = ProfileOperation::kExport, takesArgument = true;
  } else {
    return kUsage;
  }
  if (takesArgument == argument.empty()) return kUsage;
  if (asks && !yes) {
    // The panel's question opens once this request has its answer; a script answers it with
    // "ui answer ok|cancel" and reads the outcome from "profile DEVICE list".
    QPointer<CTarnwiseUSBDevice> guard(device);
    QTimer::singleShot(0, this, [this, guard, operation] {
      if (guard) RunProfileOperation(*this, *guard, operation, {}, true, [](const Result&) {});
    });
    return "ok";
  }
  return WaitForOutcome([&](Outcome done) {
    RunProfileOperation(*this, *device, operation, argument, false, std::move(done));
  });
}

}  // namespace varkon
