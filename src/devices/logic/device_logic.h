// What every device object does beyond its panel: where its files are, its profile list and the
// document of its current profile, the name lists its editors show, the light state it keeps in
// step with the profile, and the job worker its transfers run on (so the window never waits for
// a device). The panel owns one (a kind's own class for the keyboard) and forwards to it.
//
// Threads: everything here runs on the owner's thread (the UI thread) except the jobs, which run
// on the worker and hand their results back through Post.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/job_queue.h"
#include "device/command_packet.h"
#include "devices/light_engine.h"
#include "profile/data_folders.h"
#include "profile/name_files.h"
#include "profile/profile_data.h"
#include "profile/profile_index.h"

namespace varkon {

class DeviceTransport;

class DeviceLogic {
 public:
  // Runs a call on the owner's thread, later.
  using Post = std::function<void(std::function<void()>)>;

  // `kind` is the device type number (1 keyboard, 2 mouse, 3 mouse pad, 7 headset).
  DeviceLogic(int kind, LightEngine& engine, std::unique_ptr<CBasicProfiledata> profile);
  virtual ~DeviceLogic();
  DeviceLogic(const DeviceLogic&) = delete;
  DeviceLogic& operator=(const DeviceLogic&) = delete;

  // ---- configuration
  void SetPost(Post post) { post_ = std::move(post); }
  void SetTransport(DeviceTransport* transport) { transport_ = transport; }
  DeviceTransport* Transport() const { return transport_; }
  // The device's folders under the user's data root and the program folder; the data folder is
  // created. `modelLightIndex` picks the device's entries in the name files. False when the
  // display name cannot name a folder or the data folder cannot be made.
  bool SetFolders(const std::string& userRoot, const std::string& programFolder,
                  const std::string& displayName, int modelLightIndex);
  const DeviceFolders& Folders() const { return folders_; }
  int Kind() const { return kind_; }

  // ---- profiles
  ProfileIndex& Profiles() { return profiles_; }
  const ProfileIndex& Profiles() const { return profiles_; }
  // The current profile's identifier and name (the first start makes "Profile1").
  std::string ProfileId() const { return profiles_.GetCurrentProfileId(); }
  std::string ProfileName() const;
  // Reads the profile list when it has not been read and binds the current profile: its file
  // (which receives the default section on its first load) and the light configuration.
  virtual void LoadProfileFiles();
  // Whether a profile has been bound (the device was read at least once).
  bool ProfileBound() const { return profilesRead_; }
  // LoadProfileFiles, then ApplyProfile.
  virtual int LoadProfile();
  // Takes the bound profile into the working state: the light state, the per-light records and
  // the custom light sequence.
  virtual int ApplyProfile();
  // Writes the working section into the current profile file.
  void SaveProfile();
  // The current profile becomes the factory defaults: the default section is loaded into the
  // document, applied and saved.
  virtual void LoadDefaultProfile();
  CBasicProfiledata& ProfileData() { return *profile_; }
  const CBasicProfiledata& ProfileData() const { return *profile_; }

  // ---- light state
  // The engine's state and the profile document's "LightInfo" (not yet saved).
  virtual void SetLightParams(const LightState& state);
  LightState GetLightState() const { return engine_.GetLightState(); }
  LightEngine& Engine() { return engine_; }

  // ---- name lists (macros, light modes, zones, the user's lights)
  void LoadNameLists();
  const DeviceNameLists& NameLists() const { return names_; }

  // The firmware version from the device information (major in the high byte), 0 until read.
  uint16_t FirmwareVersion() const { return firmwareVersion_; }

  // ---- transfers
  JobQueue& Jobs() { return jobs_; }
  const JobQueue& Jobs() const { return jobs_; }
  // Stops the job worker (bounded); a job blocked in a transfer ends with its time-out.
  void StopJobs();

  // The 6-byte power status block (battery level, charge state ...), read on the worker when
  // the link is up (through a receiver: when the device answers); `receiverMode` goes into
  // byte 3. `shown` gets it on the owner's thread; nothing arrives when the read failed.
  using StatusBlock = std::array<uint8_t, kStatusBlockSize>;
  void ReadPowerStatus(bool receiverMode, std::function<void(const StatusBlock&)> shown);

 protected:
  // Hands `call` to the owner's thread (dropped when no post function was given).
  void PostToOwner(std::function<void()> call) const;
  // The post function itself, for jobs: a job captures it rather than the logic object, so a
  // job still running after a stop never reaches a logic object that is gone. (The posted call
  // runs on the owner's thread, whose post function drops calls for an owner that is gone.)
  Post Poster() const {
    return post_ ? post_ : Post([](std::function<void()>) {});
  }
  virtual void AfterBind() {}
  // Bytes 0 (minor) and 1 (major) of a device information block.
  void TakeFirmwareVersion(const uint8_t* info, size_t size) {
    if (size >= 2) firmwareVersion_ = static_cast<uint16_t>(info[1] << 8 | info[0]);
  }

 private:
  int kind_;
  LightEngine& engine_;
  std::unique_ptr<CBasicProfiledata> profile_;
  ProfileIndex profiles_;
  bool profilesRead_ = false;
  DeviceFolders folders_;
  std::string displayName_;
  int modelLightIndex_ = 0;
  DeviceNameLists names_;
  DeviceTransport* transport_ = nullptr;
  Post post_;
  JobQueue jobs_;
  uint16_t firmwareVersion_ = 0;
};

// The per-light records the light engine plays, from a profile's "LightList" (same layout).
std::vector<LightRecord> LightRecordsFromList(const std::vector<LightListEntry>& list);
// The custom sequence from an effect file's steps.
std::vector<LightSequenceStep> SequenceFromEffect(const std::vector<LightEffectStep>& steps);

}  // namespace varkon
