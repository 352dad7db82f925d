#include "app/update_list.h"

#include <json/value.h>

#include <algorithm>

#include "core/json_file.h"

namespace varkon {

namespace {

bool InProgress(int state) {
  return state >= kUpdateWaiting && state <= kUpdateInstalling;
}

bool CanUpdate(int state) {
  return state == 1 || state == 2 || state == kUpdateFailed;
}

// The numeric parts of a version text; false when it is not one ("1.03", "2.3.0.2").
bool VersionParts(const std::string& text, std::vector<long>& parts) {
  parts.clear();
  long part = -1;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (part > 100000000) return false;
      part = (part < 0 ? 0 : part * 10) + (c - '0');
    } else if (c == '.' && part >= 0) {
      parts.push_back(part);
      part = -1;
    } else {
      return false;
    }
  }
  if (part < 0) return false;
  parts.push_back(part);
  return true;
}

}  // namespace

UpdateItem InstalledUpdateItem(std::string id, std::string name, std::string installed) {
  UpdateItem item;
  item.id = std::move(id);
  item.name = std::move(name);
  item.oldRev = std::move(installed);
  return item;
}

UpdateItemLook LookOfState(int state) {
  switch (state) {
    case 0:
      return {"LessUpdateText", false, false, true, false};
    case 1:
    case 2:
      return {"NeedUpdateText", false, true, false, false};
    case 3:
      return {"DownloadWaitText", false, false, false, false};
    case 4:
      return {"DownloadIngText", true, false, false, false};
    case 5:
      return {"DownloadOkText", false, false, false, true};
    case 6:
      return {"UpdateIngText", true, false, false, false};
    case 7:
      return {"UpdateOkText", false, false, true, false};
    default:
      return {"UpdateFailText", false, true, false, false};
  }
}

const char* UpdateStatusTextId(int status) {
  switch (status) {
    case kUpdateStatusAvailable:
      return "HaveUpdateInfoText";
    case kUpdateStatusNoInformation:
      return "NoUpdateInfoText";
    case kUpdateStatusUpdating:
      return "ISUpdateINGText";
    case kUpdateStatusUpToDate:
      return "UpdateIsLastText";
    default:
      return "GetUpdateInfoText";
  }
}

bool IsNewerVersion(const std::string& offered, const std::string& installed) {
  std::vector<long> a, b;
  if (!VersionParts(offered, a) || !VersionParts(installed, b)) return false;
  const size_t n = std::max(a.size(), b.size());
  a.resize(n, 0);
  b.resize(n, 0);
  return a > b;
}

UpdateList::UpdateList(std::vector<UpdateItem> installed,
                       const std::vector<std::pair<std::string, std::string>>& offers, bool known)
    : items_(std::move(installed)) {
  bool available = false;
  for (UpdateItem& item : items_) {
    item.state = kUpdateLatest;
    item.updateRev.clear();
    item.checked = item.checkEnabled = false;
    // A device that is not connected cannot be updated, whatever is offered.
    if (item.oldRev.empty()) continue;
    for (const auto& [id, version] : offers) {
      if (id != item.id || !IsNewerVersion(version, item.oldRev)) continue;
      if (!item.updateRev.empty() && !IsNewerVersion(version, item.updateRev)) continue;
      item.updateRev = version;
      item.state = kUpdateNeeded;
      item.checkEnabled = true;
    }
    available = available || item.state == kUpdateNeeded;
  }
  status_ = !known      ? kUpdateStatusNoInformation
            : available ? kUpdateStatusAvailable
                        : kUpdateStatusUpToDate;
}

int UpdateList::Current() const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].checked && InProgress(items_[i].state)) return static_cast<int>(i);
  }
  return -1;
}

bool UpdateList::SetChecked(size_t row, bool checked) {
  if (row >= items_.size() || !items_[row].checkEnabled) return false;
  items_[row].checked = checked;
  return true;
}

bool UpdateList::AnyChecked() const {
  return std::any_of(items_.begin(), items_.end(), [](const UpdateItem& i) { return i.checked; });
}

void UpdateList::StartChecked() {
  bool started = false;
  for (UpdateItem& item : items_) {
    if (item.checked && CanUpdate(item.state)) {
      item.state = kUpdateWaiting;
      item.progress = 0;
      started = true;
    } else {
      item.checked = false;
    }
    item.checkEnabled = false;
  }
  if (started) {
    status_ = kUpdateStatusUpdating;
    result_ = -1;
  } else {
    Finish();
  }
}

bool UpdateList::Step(int code, int value) {
  const int current = Current();
  if (current < 0) return false;
  UpdateItem& item = items_[static_cast<size_t>(current)];
  switch (code) {
    case kUpdateStepDone:
      item.oldRev = item.updateRev;
      item.updateRev.clear();
      item.state = kUpdateDone;
      item.checked = false;
      result_ = 0;
      break;
    case kUpdateStepEnded:
      if (result_ == 0 || result_ == 1) return false;
      item.state = kUpdateFailed;
      item.checked = false;
      break;
    case kUpdateStepFailed:
      result_ = -1;
      item.state = kUpdateFailed;
      item.checked = false;
      break;
    case kUpdateStepProgress:
      item.progress = std::clamp(value, 0, 100);
      if (item.state == kUpdateWaiting) item.state = kUpdateInstalling;
      return true;
    default:
      return false;
  }
  if (Current() < 0) Finish();
  return true;
}

void UpdateList::Finish() {
  bool left = false;
  for (UpdateItem& item : items_) {
    if (item.state == kUpdateDone) continue;
    item.checkEnabled = CanUpdate(item.state);
    left = left || item.checkEnabled;
  }
  status_ = left ? kUpdateStatusAvailable : kUpdateStatusUpToDate;
}

bool UpdateList::CloseAllowed() const {
  return std::none_of(items_.begin(), items_.end(),
                      [](const UpdateItem& i) { return InProgress(i.state); });
}

std::vector<std::pair<std::string, std::string>> ReadUpdateOffers(const std::string& path,
                                                                  bool& known) {
  std::vector<std::pair<std::string, std::string>> offers;
  const Json::Value document = ReadJsonFile(path);
  known = document.isObject() && document["updates"].isArray();
  if (!known) return offers;
  for (const Json::Value& row : document["updates"]) {
    if (!row.isObject() || !row["id"].isString() || !row["version"].isString()) continue;
    offers.emplace_back(row["id"].asString(), row["version"].asString());
  }
  return offers;
}

std::string LastUpdateCheck(const std::string& path, const std::string& today) {
  const Json::Value document = ReadJsonFile(path);
  if (document.isObject() && document["updatelasttime"].isObject() &&
      document["updatelasttime"]["value"].isString()) {
    return document["updatelasttime"]["value"].asString();
  }
  Json::Value fresh(Json::objectValue);
  fresh["updatelasttime"]["value"] = today;
  WriteJsonFile(path, fresh);
  return today;
}

}  // namespace varkon
