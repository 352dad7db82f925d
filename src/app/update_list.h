// The update list of the settings window, without the window: what each row shows in each state,
// the user's confirmation and the progress an outside updater reports. The program installs
// nothing itself; an updater offers versions in "updateinfo.json" of the user folder, reads the
// rows the user chose from the program's state and reports each step with the "EBF15" message.
#pragma once

#include <string>
#include <vector>

namespace varkon {

inline constexpr const char* kUpdateOfferFile = "updateinfo.json";
inline constexpr const char* kUpdateTimeFile = "updatetime.config";

// States of a row.
enum UpdateItemState : int {
  kUpdateLatest = 0,   // nothing newer offered
  kUpdateNeeded = 1,   // 1 and 2: a newer version is offered
  kUpdateWaiting = 3,  // chosen, waiting for the updater
  kUpdateDownloading = 4,
  kUpdateDownloaded = 5,
  kUpdateInstalling = 6,
  kUpdateDone = 7,
  kUpdateFailed = 8,
};

// Statuses of the whole list (the line above it).
enum UpdateStatus : int {
  kUpdateStatusChecking = 0,
  kUpdateStatusAvailable = 1,
  kUpdateStatusNoInformation = 2,
  kUpdateStatusUpdating = 3,
  kUpdateStatusUpToDate = 4,
};

// Codes of the "EBF15" message (its wParam); lParam is the value.
enum UpdateProgressCode : int {
  kUpdateStepDone = 1,
  kUpdateStepEnded = 2,
  kUpdateStepFailed = 3,
  kUpdateStepProgress = 4,
};

struct UpdateItem {
  std::string id;         // "program", or the device kind ("keyboard", "mouse pad", ...)
  std::string name;       // shown
  std::string oldRev;     // installed version; empty for a device that is not connected
  std::string updateRev;  // offered version, shown only while it is newer; else empty
  int state = kUpdateLatest;
  bool checked = false;
  bool checkEnabled = false;
  int progress = 0;  // percent, shown in the states that show progress
};

// A row for what is installed, nothing offered yet.
UpdateItem InstalledUpdateItem(std::string id, std::string name, std::string installed);

// How a row looks in a state.
struct UpdateItemLook {
  const char* statusTextId;
  bool progressShown;
  bool checkEnabled;
  bool grey;  // texts 0xff666666 instead of the enabled colours
  bool okShown;
};
UpdateItemLook LookOfState(int state);

// The text id of a list status.
const char* UpdateStatusTextId(int status);

// True when version text `offered` ("1.03", "2.3.0.2") is newer than `installed`; numbers are
// compared part by part, a missing part counting as 0. A text that is not a version is never newer.
bool IsNewerVersion(const std::string& offered, const std::string& installed);

class UpdateList {
 public:
  // Rows for what is installed; `offers` maps an id to the version offered for it. `known` is
  // false when no updater ever said anything (no offer file).
  UpdateList(std::vector<UpdateItem> installed,
             const std::vector<std::pair<std::string, std::string>>& offers, bool known);

  const std::vector<UpdateItem>& Items() const { return items_; }
  int Status() const { return status_; }
  // The row the updater's steps act on: the first chosen row still waiting or in progress; -1.
  int Current() const;

  // The user ticks or clears a row's check box; false when the box is disabled.
  bool SetChecked(size_t row, bool checked);
  bool AnyChecked() const;
  // "update_OK_btn": checked rows that need an update start waiting for the updater, the other
  // rows' boxes are disabled until it ends.
  void StartChecked();
  // One step reported by the updater; true when something changed.
  bool Step(int code, int value);
  // The window may close unless a row is waiting or in progress.
  bool CloseAllowed() const;

 private:
  void Finish();

  std::vector<UpdateItem> items_;
  int status_ = kUpdateStatusChecking;
  int result_ = -1;  // -1 until the current row is reported done
};

// The offers in an offer document {"updates": [{"id": ..., "version": ...}, ...]}; rows that are
// not objects with two strings are skipped.
std::vector<std::pair<std::string, std::string>> ReadUpdateOffers(const std::string& path,
                                                                  bool& known);

// The date of the last update check from "updatetime.config" at `path`; a missing or dateless
// file is written anew with `today` ("2024-3-9") and that date returned.
std::string LastUpdateCheck(const std::string& path, const std::string& today);

}  // namespace varkon
