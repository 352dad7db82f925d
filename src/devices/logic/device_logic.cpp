#include "devices/logic/device_logic.h"

#include <cstring>

#include "device/device_transport.h"
#include "devices/light_scheduler.h"

namespace varkon {

DeviceLogic::DeviceLogic(int kind, LightEngine& engine, std::unique_ptr<CBasicProfiledata> profile)
    : kind_(kind), engine_(engine), profile_(std::move(profile)), jobs_("device jobs") {
  profiles_.SetDeviceTypeNumber(kind);
}

DeviceLogic::~DeviceLogic() {
  StopJobs();
}

void DeviceLogic::StopJobs() {
  jobs_.Stop();
}

void DeviceLogic::ReadPowerStatus(bool receiverMode,
                                  std::function<void(const StatusBlock&)> shown) {
  DeviceTransport* transport = transport_;
  if (!transport) return;
  jobs_.Post(
      [transport, receiverMode, post = Poster(), shown = std::move(shown)](const StopEvent&) {
        if (!transport->IsOpened()) return;
        bool online = false;
        if (transport->QueryOnline(online) != kStatusOk || !online) return;
        StatusBlock block{};
        if (transport->CmdReadStatus(block) != kStatusOk) return;
        block[3] = receiverMode ? 1 : 0;
        post([block, shown] {
          if (shown) shown(block);
        });
      });
}

void DeviceLogic::PostToOwner(std::function<void()> call) const {
  if (post_) post_(std::move(call));
}

bool DeviceLogic::SetFolders(const std::string& userRoot, const std::string& programFolder,
                             const std::string& displayName, int modelLightIndex) {
  folders_ = MakeDeviceFolders(userRoot, programFolder, displayName);
  displayName_ = displayName;
  modelLightIndex_ = modelLightIndex;
  profiles_.SetFolders(folders_.dataFolder, folders_.DefaultDataFile(displayName));
  profile_->SetDefaultPath(folders_.DefaultDataFile(displayName));
  profilesRead_ = false;
  return !folders_.dataFolder.empty();
}

std::string DeviceLogic::ProfileName() const {
  const int selected = profiles_.GetSelectedIndex();
  const std::vector<std::string>& names = profiles_.Names();
  if (selected < 0 || selected >= static_cast<int>(names.size())) return {};
  return names[static_cast<size_t>(selected)];
}

void DeviceLogic::LoadProfileFiles() {
  if (folders_.dataFolder.empty()) return;
  if (!profilesRead_) {
    profiles_.InitProfileList();
    profilesRead_ = true;
  }
  CBasicProfiledata& profile = *profile_;
  profile.SetDeviceIndex(0);
  profile.SetProfilePath(profiles_.CurrentProfileFilePath());
  profile.SetLightConfigPath(folders_.LightConfigFile());
  profile.LoadSection(profile.GetProfilePath());
  profile.LoadLightConfig(profile.GetLightConfigPath());
  AfterBind();
}

int DeviceLogic::LoadProfile() {
  LoadProfileFiles();
  return ApplyProfile();
}

int DeviceLogic::ApplyProfile() {
  CBasicProfiledata& profile = *profile_;
  engine_.SetLightState(profile.GetLightInfo());
  SystemLightClock clock;
  const std::vector<LightRecord> records = LightRecordsFromList(profile.GetLightList());
  engine_.SetLightRecords(records, clock.NowMs());
  engine_.sequence().Set(SequenceFromEffect(profile.GetLightEffectList()));
  return 0;
}

void DeviceLogic::SaveProfile() {
  profile_->Save();
}

void DeviceLogic::LoadDefaultProfile() {
  CBasicProfiledata& profile = *profile_;
  const std::string target = profile.GetProfilePath();
  profile.LoadSection(profile.GetDefaultPath());
  profile.SetProfilePath(target);
  ApplyProfile();
  SaveProfile();
}

void DeviceLogic::SetLightParams(const LightState& state) {
  engine_.SetLightState(state);
  profile_->SetLightInfo(state);
}

void DeviceLogic::LoadNameLists() {
  const NameFilePaths paths =
      NameFilePathsFor(folders_.dataFolder, folders_.defaultDataFolder, modelLightIndex_);
  LoadDeviceNameLists(paths, modelLightIndex_, names_);
}

std::vector<LightRecord> LightRecordsFromList(const std::vector<LightListEntry>& list) {
  static_assert(sizeof(LightListEntry) == LightRecord::kSize);
  std::vector<LightRecord> records(list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    std::memcpy(records[i].bytes.data(), &list[i], LightRecord::kSize);
  }
  return records;
}

std::vector<LightSequenceStep> SequenceFromEffect(const std::vector<LightEffectStep>& steps) {
  std::vector<LightSequenceStep> sequence;
  sequence.reserve(steps.size());
  for (const LightEffectStep& step : steps) {
    LightSequenceStep s;
    s.state.mode = step.mode;
    s.state.brightness = step.brightness;
    s.state.speed = step.speed;
    s.state.direction = step.direction;
    s.state.multicolour = step.multiColor;
    s.state.red = step.red;
    s.state.green = step.green;
    s.state.blue = step.blue;
    s.durationMs = step.time > 0 ? static_cast<uint32_t>(step.time) : 0;
    sequence.push_back(s);
  }
  return sequence;
}

}  // namespace varkon
