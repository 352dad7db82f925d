#include "devices/logic/mouse_logic.h"

#include <algorithm>

#include "core/debug_out.h"
#include "devices/logic/keyboard_key_writer.h"
#include "devices/logic/mouse_notice.h"
#include "profile/recoil_image.h"

namespace varkon {

MouseLogic::MouseLogic(LightEngine& engine)
    : DeviceLogic(2, engine, std::make_unique<CMouseProfiledata>()) {
  positions_.fill(kNoMousePosition);
}

MouseLogic::~MouseLogic() {
  StopJobs();
}

std::shared_ptr<MouseHardware> MouseLogic::Hardware() {
  // Made on first use, once the transport is known; shared with the jobs that use it.
  if (!hardware_) hardware_ = std::make_shared<MouseHardware>(Transport());
  return hardware_;
}

CMouseProfiledata& MouseLogic::MouseProfile() {
  return static_cast<CMouseProfiledata&>(ProfileData());
}

void MouseLogic::SetScreenSize(uint16_t width, uint16_t height) {
  screenWidth_ = width;
  screenHeight_ = height;
}

void MouseLogic::Read(std::function<void()> done) {
  std::shared_ptr<MouseHardware> hardware = Hardware();
  Jobs().Post([this, post = Poster(), hardware, done = std::move(done)](const StopEvent&) {
    MouseReadResult result = hardware->Read();
    post([this, result = std::move(result), done] {
      OnRead(result);
      if (done) done();
    });
  });
}

void MouseLogic::OnRead(const MouseReadResult& result) {
  lastStatus_ = result.status;
  asleep_ = result.asleep;
  if (result.layoutRead) {
    TakeFirmwareVersion(result.info.data(), result.info.size());
    scale_ = result.scale;
    layout_ = result.layout;
    positions_ = DiscoverMouseButtonPositions(layout_);
    discovered_ = true;
  } else if (result.opened) {
    debugOut("mouse: %s, its layout was not read\n",
             result.asleep ? "asleep behind the receiver" : StatusCodeName(result.status));
  }
  LoadProfile();
  LoadNameLists();
  if (result.recordRead) TakeRecord(result.record);
  if (events_.refresh) events_.refresh();
}

void MouseLogic::TakeRecord(const std::array<uint8_t, kMouseRecordSize>& record) {
  const DecodedMouseRecord decoded =
      DecodeMouseRecord(record, GetLightState(), NameLists().lightModeValues);
  SetLightParams(decoded.light);
  if (decoded.selectedStage < kStageCount && Stage(decoded.selectedStage).enabled != 0) {
    selectedStage_ = decoded.selectedStage;
    MouseProfile().SetActiveStage(selectedStage_);
  }
  SaveProfile();
}

void MouseLogic::Resync() {
  std::shared_ptr<MouseHardware> hardware = Hardware();
  Jobs().Post([this, post = Poster(), hardware](const StopEvent&) {
    std::array<uint8_t, kMouseRecordSize> record{};
    int active = 0;
    StatusCode status = kStatusOk;
    const bool read = hardware->ReadRecord(record, active, status);
    post([this, read, record, status] {
      lastStatus_ = status;
      if (read) TakeRecord(record);
      if (events_.refresh) events_.refresh();
    });
  });
}

void MouseLogic::OnNotice(uint16_t value, bool secondInterface) {
  const MouseNotice notice = ClassifyMouseNotice(value, secondInterface);
  switch (notice.kind) {
    case MouseNotice::Kind::kIgnored:
      return;
    case MouseNotice::Kind::kResync:
      PostToOwner([this] {
        if (events_.resyncIn) events_.resyncIn(kResyncDelayMs);
      });
      return;
    case MouseNotice::Kind::kReactive:
      // The reactive levels are shared with the light thread (the engine guards them).
      Engine().MarkReactiveAll();
      return;
    case MouseNotice::Kind::kHotKey:
      PostToOwner([this, notice] {
        // The mouse switched its stage itself: shown and kept, not written back.
        if (notice.stage >= 0 && notice.stage < kStageCount && Stage(notice.stage).enabled != 0) {
          selectedStage_ = notice.stage;
          MouseProfile().SetActiveStage(selectedStage_);
          SaveProfile();
        }
        if (events_.refresh) events_.refresh();
      });
      return;
  }
}

int MouseLogic::LoadProfile() {
  LoadProfileFiles();
  CMouseProfiledata& profile = MouseProfile();
  keys_ = profile.GetKeyList();
  stages_ = profile.GetDpiStages();
  selectedStage_ = std::clamp(profile.GetActiveStage(), 0, kStageCount - 1);
  system_ = profile.GetMouseSystem();
  corrections_ = profile.GetCorrections();
  return ApplyProfile();
}

void MouseLogic::LoadDefaultProfile() {
  DeviceLogic::LoadDefaultProfile();
  LoadProfile();
  SaveProfile();
}

// ---- DPI stages

DpiStage MouseLogic::Stage(int i) const {
  if (i < 0 || static_cast<size_t>(i) >= stages_.size()) return {};
  return stages_[static_cast<size_t>(i)];
}

int MouseLogic::EnabledStageCount() const {
  const size_t shown = std::min(stages_.size(), kMouseStageCount);
  return static_cast<int>(std::count_if(stages_.begin(), stages_.begin() + shown,
                                        [](const DpiStage& s) { return s.enabled != 0; }));
}

DpiStage& MouseLogic::GrowTo(int i) {
  if (stages_.size() <= static_cast<size_t>(i)) stages_.resize(static_cast<size_t>(i) + 1);
  return stages_[static_cast<size_t>(i)];
}

void MouseLogic::StoreStages() {
  CMouseProfiledata& profile = MouseProfile();
  profile.SetDpiStages(stages_);
  profile.SetActiveStage(selectedStage_);
  profile.SetMouseSystem(system_);
  SaveProfile();
  WriteLightRecord();
}

void MouseLogic::SetStageStep(int i, int step) {
  if (i < 0 || i >= kStageCount) return;
  const int top = scale_.sliderMax > 0 ? scale_.sliderMax : 0xFFFF;
  const auto value = static_cast<uint16_t>(std::clamp(step, 0, top));
  DpiStage& stage = GrowTo(i);
  stage.dpiX = value;
  stage.dpiY = value;
  StoreStages();
}

bool MouseLogic::SetStageEnabled(int i, bool on) {
  if (i < 0 || i >= kStageCount) return false;
  if (!on && (i == selectedStage_ || (Stage(i).enabled != 0 && EnabledStageCount() <= 1))) {
    return false;
  }
  GrowTo(i).enabled = on ? 1 : 0;
  StoreStages();
  return true;
}

bool MouseLogic::SelectStage(int i) {
  if (i < 0 || i >= kStageCount || Stage(i).enabled == 0) return false;
  selectedStage_ = i;
  StoreStages();
  return true;
}

void MouseLogic::SetStageColour(int i, uint8_t red, uint8_t green, uint8_t blue) {
  if (i < 0 || i >= kStageCount) return;
  DpiStage& stage = GrowTo(i);
  stage.red = red;
  stage.green = green;
  stage.blue = blue;
  StoreStages();
}

void MouseLogic::SetReportRate(int index) {
  if (index < 0 || index >= kReportRates) index = 0;
  system_.word2 = (system_.word2 & 0xFF00FFFFu) | (static_cast<uint32_t>(index) << 16);
  StoreStages();
}

// ---- pointer, wheel and double click

namespace {

uint32_t Pack(int high, int low) {
  return static_cast<uint32_t>(std::clamp(high, 0, 0xFFFF)) << 16 |
         static_cast<uint32_t>(std::clamp(low, 0, 0xFFFF));
}

}  // namespace

void MouseLogic::StoreSystem(uint32_t word0, uint32_t word1, uint32_t word2) {
  system_.word0 = word0;
  system_.word1 = word1;
  system_.word2 = word2;
  MouseProfile().SetMouseSystem(system_);
  SaveProfile();
}

void MouseLogic::SetPointerSpeed(int value) {
  StoreSystem(Pack(value, system_.DoubleClickTime()), system_.word1, system_.word2);
}

void MouseLogic::SetDoubleClickTime(int milliseconds) {
  StoreSystem(Pack(system_.MouseSpeed(), milliseconds), system_.word1, system_.word2);
}

void MouseLogic::SetPointerPrecision(bool on) {
  StoreSystem(system_.word0, Pack(system_.ScrollPage(), on ? 1 : 0), system_.word2);
}

void MouseLogic::SetScrollLines(int value) {
  StoreSystem(system_.word0, Pack(0, system_.PointerPrecision()),
              Pack(system_.ReportRate(), value));
}

void MouseLogic::SetScrollPage(bool on, int lines) {
  StoreSystem(system_.word0, Pack(on ? 1 : 0, system_.PointerPrecision()),
              Pack(system_.ReportRate(), lines));
}

// ---- buttons and macros

void MouseLogic::SetKeys(const std::vector<KeyAssignmentRecord>& keys) {
  keys_ = keys;
  MouseProfile().SetKeyList(keys_);
}

bool MouseLogic::ValidateMacroRefs() {
  LoadNameLists();
  const bool changed =
      ResetMissingMacroKeys(keys_, static_cast<int>(NameLists().macroNames.size()));
  if (changed) {
    MouseProfile().SetKeyList(keys_);
    SaveProfile();
  }
  return changed;
}

void MouseLogic::WriteKeysAndMacros(std::function<void(int, StatusCode)> done) {
  SaveProfile();
  LoadNameLists();
  const int macroCount = static_cast<int>(NameLists().macroNames.size());
  const MouseKeyTable table = BuildMouseKeyTable(layout_, keys_, positions_, macroCount);
  const bool haveLayout = discovered_ && !layout_.empty();
  const std::string folder = Folders().dataFolder;
  std::shared_ptr<MouseHardware> hardware = Hardware();
  Jobs().Post([=, this, post = Poster()](const StopEvent&) {
    bool asleep = false;
    int macros = -1;
    StatusCode keys = kStatusUnreachable;
    if (hardware->Reachable(&asleep) || !asleep) {
      macros = hardware->WriteMacros(folder, table.macroOrder);
      keys = kStatusNoReply;
      if (macros == 0 && haveLayout) keys = hardware->WriteKeyTable(table.table);
    }
    post([this, asleep, macros, keys, done] {
      lastStatus_ = keys;
      // A mouse asleep behind its receiver gets its buttons when it wakes.
      keysPending_ = asleep;
      if (done) done(macros, keys);
    });
  });
}

void MouseLogic::WriteRecoil(std::function<void(StatusCode)> done) {
  std::vector<uint8_t> image;
  const bool built = BuildRecoilImage(Folders().dataFolder, image);
  std::shared_ptr<MouseHardware> hardware = Hardware();
  Jobs().Post([this, post = Poster(), hardware, built, image = std::move(image),
               done = std::move(done)](const StopEvent&) {
    const StatusCode status = built ? hardware->WriteRecoil(image) : kStatusDeviceFF;
    post([this, status, done] {
      lastStatus_ = status;
      // A mouse asleep behind its receiver gets the recoil patterns when it wakes.
      recoilPending_ = status == kStatusUnreachable;
      if (done) done(status);
    });
  });
}

void MouseLogic::OnLinkAwake() {
  if (writePending_) WriteLightRecord();
  if (keysPending_) {
    keysPending_ = false;
    WriteKeysAndMacros();
  }
  if (recoilPending_) {
    recoilPending_ = false;
    WriteRecoil();
  }
}

// ---- the record

MouseRecord MouseLogic::BuildRecord() const {
  MouseRecordContent content;
  content.light = GetLightState();
  content.stages = stages_;
  content.selectedStage = selectedStage_;
  content.reportRate = ReportRate();
  content.screenWidth = screenWidth_;
  content.screenHeight = screenHeight_;
  content.corrections = corrections_;
  return EncodeMouseRecord(content, NameLists().lightModeValues);
}

void MouseLogic::WriteLightRecord(std::function<void(StatusCode)> done) {
  std::shared_ptr<MouseHardware> hardware = Hardware();
  const MouseRecord record = BuildRecord();
  Jobs().Post([this, post = Poster(), hardware, record, done = std::move(done)](const StopEvent&) {
    const StatusCode status = hardware->WriteRecord(record);
    post([this, status, done] {
      lastStatus_ = status;
      // Only a sleeping mouse is tried again when it wakes; a refusal would only repeat.
      writePending_ = status == kStatusUnreachable;
      const bool asleep = status == kStatusUnreachable;
      if (asleep != asleep_) {
        asleep_ = asleep;
        if (events_.asleepChanged) events_.asleepChanged(asleep);
      }
      if (status != kStatusOk) {
        debugOut("mouse: the settings record was not taken (%s)\n", StatusCodeName(status));
      }
      if (done) done(status);
    });
  });
}

}  // namespace varkon
