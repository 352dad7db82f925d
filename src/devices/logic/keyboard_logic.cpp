#include "devices/logic/keyboard_logic.h"

#include <algorithm>

#include "core/debug_out.h"
#include "device/device_transport.h"
#include "devices/keyboard_light_frame.h"
#include "devices/logic/keyboard_key_writer.h"
#include "profile/json_access.h"

namespace varkon {

namespace {

constexpr int kCustomEffect = 20;
constexpr int kRepeatDelayChoices = 4;
constexpr int kPollingRateChoices = 4;

uint32_t Word(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  return uint32_t{b0} | uint32_t{b1} << 8 | uint32_t{b2} << 16 | uint32_t{b3} << 24;
}

}  // namespace

KeyboardLogic::KeyboardLogic(KeyboardLightEngine& engine)
    : DeviceLogic(1, engine, std::make_unique<CKeyboardProfiledata>()), keyboardEngine_(engine) {
  for (auto& entry : sharedLed_) entry.store(kNoKeyPosition);
  for (auto& entry : sharedPosition_) entry.store(kNoKeyPosition);
}

KeyboardLogic::~KeyboardLogic() {
  StopJobs();
}

std::shared_ptr<KeyboardHardware> KeyboardLogic::Hardware() {
  // Made on first use, once the transport is known; shared with the jobs that use it, so a
  // worker left running at a stop never reaches a freed object.
  if (!hardware_) hardware_ = std::make_shared<KeyboardHardware>(Transport());
  return hardware_;
}

CKeyboardProfiledata& KeyboardLogic::KeyboardProfile() {
  return static_cast<CKeyboardProfiledata&>(ProfileData());
}

// ---- reading

void KeyboardLogic::Read(std::function<void()> done) {
  std::shared_ptr<KeyboardHardware> hardware = Hardware();
  Jobs().Post([this, post = Poster(), hardware, done = std::move(done)](const StopEvent&) {
    KeyboardReadResult result = hardware->Read();
    post([this, result = std::move(result), done] {
      OnRead(result);
      if (done) done();
    });
  });
}

void KeyboardLogic::OnRead(const KeyboardReadResult& result) {
  lastStatus_ = result.status;
  if (result.tablesRead) {
    TakeFirmwareVersion(result.info.data(), result.info.size());
    layout_ = result.layout;
    keyCount_ = result.keyCount;
    maps_ = DiscoverKeyPositions(result.layout, result.leds);
    discovered_ = true;
    PublishMaps();
    debugOut("keyboard: %d positions, %zu keys found\n", keyCount_, maps_.Count());
  } else if (result.opened) {
    debugOut("keyboard: the tables could not be read (%s)\n", StatusCodeName(result.status));
  }
  LoadProfile();
  LoadNameLists();
  if (result.recordRead) TakeRecord(result.record);
  if (events_.refresh) events_.refresh();
}

void KeyboardLogic::PublishMaps() {
  for (size_t i = 0; i < kCanonicalKeyCount; ++i) {
    sharedLed_[i].store(maps_.keyLed[i], std::memory_order_relaxed);
    sharedPosition_[i].store(maps_.keyPosition[i], std::memory_order_relaxed);
  }
  sharedLedCount_.store(keyCount_, std::memory_order_release);
}

void KeyboardLogic::TakeRecord(const KeyboardRecord& record) {
  record_ = record;
  const LightState before = GetLightState();
  const DecodedKeyboardRecord decoded = DecodeKeyboardRecord(record, before, EffectValues());
  system_.word1 = KeyboardSystemWords::Pack(decoded.key6Flag, system_.PollingRate());
  system_.word2 = KeyboardSystemWords::Pack(decoded.wFlag, decoded.winFlag);
  KeyboardProfile().SetKeyboardSystem(system_);
  SetLightParams(decoded.light);
  SaveProfile();
  if (decoded.light.mode != before.mode || decoded.light.mode == kCustomEffect) {
    keyboardEngine_.RestartEffect();
    if (decoded.light.mode == kCustomEffect) LoadCustomColours();
  }
}

void KeyboardLogic::Resync() {
  if (settingsChanged_.exchange(false)) {
    Profiles().InitProfileList();
    LoadProfile();
    if (events_.clearKeyHighlights) events_.clearKeyHighlights();
  }
  std::shared_ptr<KeyboardHardware> hardware = Hardware();
  Jobs().Post([this, post = Poster(), hardware](const StopEvent&) {
    KeyboardRecord record{};
    StatusCode status = kStatusOk;
    const bool read = hardware->ReadRecord(record, status);
    post([this, read, record, status] {
      lastStatus_ = status;
      if (read) TakeRecord(record);
      if (events_.refresh) events_.refresh();
    });
  });
}

// ---- profile

int KeyboardLogic::LoadProfile() {
  LoadProfileFiles();
  CKeyboardProfiledata& profile = KeyboardProfile();
  keys_ = profile.GetKeyList();
  system_ = profile.GetKeyboardSystem();
  fnFlag_ = profile.GetFnKeysetFlag() != 0;
  return ApplyProfile();
}

int KeyboardLogic::ApplyProfile() {
  DeviceLogic::ApplyProfile();
  const AudioLightState audio = ProfileData().GetAudioLightInfo();
  audioWords_ = {Word(audio.audioMode, audio.bkColorR, audio.bkColorG, audio.bkColorB),
                 Word(audio.fgColorR, audio.fgColorG, audio.fgColorB, audio.sevenColorFlags),
                 audio.colorTypeFlags};
  keyboardEngine_.SetAudioLight(KeyboardAudioLight::FromWords(audioWords_[0], audioWords_[1]));
  const std::vector<CustomColor> colours = ProfileColours();
  for (size_t i = 0; i < colours.size(); ++i) {
    keyboardEngine_.SetCustomColour(i, Rgb{colours[i].red, colours[i].green, colours[i].blue});
  }
  return 0;
}

void KeyboardLogic::LoadDefaultProfile() {
  DeviceLogic::LoadDefaultProfile();
  CKeyboardProfiledata& profile = KeyboardProfile();
  keys_ = profile.GetKeyList();
  system_ = profile.GetKeyboardSystem();
  fnFlag_ = profile.GetFnKeysetFlag() != 0;
  SaveProfile();
}

int KeyboardLogic::MacroCount() {
  return static_cast<int>(NameLists().macroNames.size());
}

bool KeyboardLogic::ValidateMacroRefs() {
  LoadNameLists();
  const bool changed = ResetMissingMacroKeys(keys_, MacroCount());
  if (changed) {
    KeyboardProfile().SetKeyList(keys_);
    SaveProfile();
  }
  LoadNameLists();
  return changed;
}

void KeyboardLogic::SetKeys(const std::vector<KeyAssignmentRecord>& keys) {
  keys_ = keys;
  KeyboardProfile().SetKeyList(keys_);
}

void KeyboardLogic::SetFnKeysetFlag(bool on) {
  fnFlag_ = on;
  KeyboardProfile().SetFnKeysetFlag(on ? 1 : 0);
}

void KeyboardLogic::WriteLightRecord(std::function<void(StatusCode)> done) {
  std::shared_ptr<KeyboardHardware> hardware = Hardware();
  const LightState light = GetLightState();
  const KeyboardSystemWords system = system_;
  const std::vector<int> values = EffectValues();
  Jobs().Post([this, post = Poster(), hardware, light, system, values,
               done = std::move(done)](const StopEvent&) {
    const StatusCode status = hardware->WriteRecord(light, system, values);
    post([this, status, done] {
      lastStatus_ = status;
      if (status != kStatusOk) {
        debugOut("keyboard: the settings record was not taken (%s)\n", StatusCodeName(status));
      }
      if (done) done(status);
    });
  });
}

void KeyboardLogic::WriteProfileToDevice(std::function<void(int)> done) {
  std::shared_ptr<KeyboardHardware> hardware = Hardware();
  const LightState light = GetLightState();
  const KeyboardSystemWords system = system_;
  const std::vector<int> values = EffectValues();
  const int macroCount = MacroCount();
  const std::vector<int> macros = KeyboardMacroList(keys_, maps_, macroCount);
  const KeyboardKeyTables tables = BuildKeyboardKeyTables(layout_, keys_, maps_, macroCount);
  const bool haveLayout = discovered_ && !layout_.empty();
  const std::string folder = Folders().dataFolder;
  Jobs().Post([=, post = Poster()](const StopEvent&) {
    hardware->WriteRecord(light, system, values);
    int result = hardware->WriteMacros(folder, macros);
    if (result == 0 && haveLayout &&
        hardware->WriteKeyTables(tables.main, tables.fn) != kStatusOk) {
      result = kKeysNotWritten;
    }
    post([result, done] {
      if (done) done(result);
    });
  });
}

void KeyboardLogic::WriteKeysAndMacros(std::function<void(int, StatusCode)> done) {
  std::shared_ptr<KeyboardHardware> hardware = Hardware();
  const int macroCount = MacroCount();
  const std::vector<int> macros = KeyboardMacroList(keys_, maps_, macroCount);
  const KeyboardKeyTables tables = BuildKeyboardKeyTables(layout_, keys_, maps_, macroCount);
  const bool haveLayout = discovered_ && !layout_.empty();
  const std::string folder = Folders().dataFolder;
  SaveProfile();
  Jobs().Post([=, post = Poster()](const StopEvent&) {
    const int macroResult = hardware->WriteMacros(folder, macros);
    StatusCode keys = kStatusNoReply;
    // Macros that do not fit leave the keys unwritten; a failed macro write still sends the keys.
    if (macroResult <= 0 && haveLayout) keys = hardware->WriteKeyTables(tables.main, tables.fn);
    post([this, macroResult, keys, done] {
      lastStatus_ = keys;
      if (done) done(macroResult, keys);
    });
  });
}

// ---- the System page

void KeyboardLogic::StoreSystem() {
  KeyboardProfile().SetKeyboardSystem(system_);
  SaveProfile();
}

void KeyboardLogic::SetRepeatRate(int value) {
  system_.word0 =
      KeyboardSystemWords::Pack(static_cast<uint16_t>(std::max(0, value)), system_.RepeatDelay());
  StoreSystem();
}

void KeyboardLogic::SetRepeatDelay(int index) {
  if (index < 0 || index >= kRepeatDelayChoices) return;
  system_.word0 = KeyboardSystemWords::Pack(system_.Repeat(), static_cast<uint16_t>(index));
  StoreSystem();
}

void KeyboardLogic::SetKey6Flag(bool on) {
  system_.word1 = KeyboardSystemWords::Pack(on ? 1 : 0, system_.PollingRate());
  StoreSystem();
  WriteLightRecord();
}

void KeyboardLogic::SetPollingRate(int index) {
  if (index < 0 || index >= kPollingRateChoices) return;
  system_.word1 = KeyboardSystemWords::Pack(system_.Key6Flag(), static_cast<uint16_t>(index));
  StoreSystem();
  WriteLightRecord();
}

void KeyboardLogic::SetWFlag(bool on) {
  system_.word2 = KeyboardSystemWords::Pack(on ? 1 : 0, system_.WinFlag());
  StoreSystem();
  WriteLightRecord();
}

void KeyboardLogic::SetWinLockFlag(bool on) {
  system_.word2 = KeyboardSystemWords::Pack(system_.WFlag(), on ? 1 : 0);
  StoreSystem();
  WriteLightRecord();
}

void KeyboardLogic::SetVoiceSensitivity(int value) {
  LightState state = GetLightState();
  state.voiceSensitivity = static_cast<uint8_t>(std::clamp(value, 0, 255));
  SetLightParams(state);
  SaveProfile();
}

void KeyboardLogic::ResetRepeat() {
  CKeyboardProfiledata defaults;
  defaults.SetDefaultPath(ProfileData().GetDefaultPath());
  defaults.LoadSection(ProfileData().GetDefaultPath());
  const KeyboardSystemWords factory = defaults.GetKeyboardSystem();
  system_.word0 = factory.word0;
  StoreSystem();
}

// ---- lighting

void KeyboardLogic::SetAudioLight(uint32_t modeAndBackground, uint32_t foregroundAndMulticolour,
                                  bool foreground) {
  audioWords_ = {modeAndBackground, foregroundAndMulticolour, foreground ? 1u : 0u};
  keyboardEngine_.SetAudioLight(
      KeyboardAudioLight::FromWords(modeAndBackground, foregroundAndMulticolour));
  AudioLightState audio;
  audio.audioMode = static_cast<uint8_t>(modeAndBackground);
  audio.bkColorR = static_cast<uint8_t>(modeAndBackground >> 8);
  audio.bkColorG = static_cast<uint8_t>(modeAndBackground >> 16);
  audio.bkColorB = static_cast<uint8_t>(modeAndBackground >> 24);
  audio.fgColorR = static_cast<uint8_t>(foregroundAndMulticolour);
  audio.fgColorG = static_cast<uint8_t>(foregroundAndMulticolour >> 8);
  audio.fgColorB = static_cast<uint8_t>(foregroundAndMulticolour >> 16);
  audio.sevenColorFlags = (foregroundAndMulticolour >> 24) != 0 ? 1 : 0;
  audio.colorTypeFlags = foreground ? 1 : 0;
  ProfileData().SetAudioLightInfo(audio);
}

std::array<uint32_t, 3> KeyboardLogic::AudioLightWords() const {
  return audioWords_;
}

std::vector<CustomColor> KeyboardLogic::ProfileColours() {
  return KeyboardProfile().GetCustomColors(GetLightState().customGroup,
                                           static_cast<int>(kKeyboardLitKeys));
}

Rgb KeyboardLogic::CustomColour(int listIndex) const {
  if (listIndex < 0) return {};
  return keyboardEngine_.customColour(static_cast<size_t>(listIndex));
}

void KeyboardLogic::LoadCustomColours() {
  std::shared_ptr<KeyboardHardware> hardware = Hardware();
  const int group = GetLightState().customGroup;
  Jobs().Post([this, post = Poster(), hardware, group](const StopEvent&) {
    std::vector<uint8_t> page;
    const StatusCode status = hardware->ReadColourPage(group, page);
    post([this, page, status, group] {
      if (status != kStatusOk || GetLightState().customGroup != group) {
        // Without the keyboard's page the profile's colours stand.
        lastStatus_ = status;
        return;
      }
      std::array<Rgb, kKeyboardLitKeys> colours{};
      for (size_t i = 0; i < colours.size(); ++i) colours[i] = keyboardEngine_.customColour(i);
      ReadCustomColourPage(page, maps_.keyLed, colours);
      std::vector<CustomColor> stored(colours.size());
      for (size_t i = 0; i < colours.size(); ++i) {
        stored[i] = {colours[i].r, colours[i].g, colours[i].b, 255};
      }
      KeyboardProfile().SetCustomColors(stored, group);
      SaveProfile();
      const std::vector<CustomColor> reloaded = ProfileColours();
      for (size_t i = 0; i < reloaded.size(); ++i) {
        keyboardEngine_.SetCustomColour(i,
                                        Rgb{reloaded[i].red, reloaded[i].green, reloaded[i].blue});
      }
      WriteColourPage();
    });
  });
}

void KeyboardLogic::PaintKeys(const std::vector<int>& listIndices, Rgb colour) {
  std::vector<CustomColor> colours = ProfileColours();
  bool painted = false;
  for (int index : listIndices) {
    if (index < 0 || index >= static_cast<int>(colours.size())) continue;
    colours[static_cast<size_t>(index)] = {colour.r, colour.g, colour.b, 255};
    keyboardEngine_.SetCustomColour(static_cast<size_t>(index), colour);
    painted = true;
  }
  if (!painted) return;
  KeyboardProfile().SetCustomColors(colours, GetLightState().customGroup);
  SaveProfile();
  WriteColourPage();
}

void KeyboardLogic::WriteColourPage() {
  if (!discovered_ || keyCount_ <= 0) return;
  std::array<Rgb, kKeyboardLitKeys> colours{};
  for (size_t i = 0; i < colours.size(); ++i) colours[i] = keyboardEngine_.customColour(i);
  std::vector<uint8_t> page(kKeyboardFrameBuffer, 0);
  const size_t length =
      BuildCustomColourPage(colours, maps_.keyLed, static_cast<size_t>(keyCount_), page);
  page.resize(length);
  std::shared_ptr<KeyboardHardware> hardware = Hardware();
  const int group = GetLightState().customGroup;
  Jobs().Post([this, post = Poster(), hardware, group, page](const StopEvent&) {
    const StatusCode status = hardware->WriteColourPage(group, page);
    post([this, status] { lastStatus_ = status; });
  });
}

// ---- notices

void KeyboardLogic::OnNotice(uint16_t value) {
  const KeyboardNotice notice = ClassifyKeyboardNotice(value);
  using Kind = KeyboardNotice::Kind;
  switch (notice.kind) {
    case Kind::kSettingsChanged:
      settingsChanged_.store(true);
      [[fallthrough]];
    case Kind::kResync:
      PostToOwner([this] {
        if (events_.resyncIn) events_.resyncIn(kResyncDelayMs);
      });
      return;
    case Kind::kCounted:
      counted_.fetch_add(1);
      return;
    case Kind::kKeyPressed:
    case Kind::kKeyReleased: {
      for (size_t i = 0; i < kCanonicalKeyCount; ++i) {
        if (sharedPosition_[i].load(std::memory_order_relaxed) != notice.position) continue;
        if (notice.kind == Kind::kKeyPressed) {
          keyboardEngine_.PressKey(i);
        } else {
          keyboardEngine_.ReleaseKey(i);
        }
        return;
      }
      return;
    }
    case Kind::kHotKey:
      PostToOwner([this, notice] {
        if (!Transport() || !Transport()->IsOpened()) return;
        record_[keyboard_record::kProfile] = static_cast<uint8_t>(notice.profile);
        if (notice.hotKeyByte >= 0) {
          record_[keyboard_record::kHotKey] = static_cast<uint8_t>(notice.hotKeyByte);
        }
        std::shared_ptr<KeyboardHardware> hardware = Hardware();
        Jobs().Post([hardware, notice](const StopEvent&) {
          hardware->NoteHotKey(notice.profile, notice.hotKeyByte);
        });
        if (events_.onboardProfile) events_.onboardProfile(notice.profile);
        if (events_.refresh) events_.refresh();
      });
      return;
    case Kind::kIgnored:
      return;
  }
}

// ---- streaming

bool KeyboardLogic::StreamsFrames() const {
  return StreamsLightFrames(GetLightState().mode);
}

void KeyboardLogic::StreamFrame(uint32_t nowMs) {
  DeviceTransport* transport = Transport();
  if (!transport || !StreamsFrames()) return;
  if (nowMs - lastFrameMs_ < static_cast<uint32_t>(kStreamPeriodMs)) return;
  if (static_cast<int32_t>(pausedUntil_ - nowMs) > 0) return;
  const int ledCount = sharedLedCount_.load(std::memory_order_acquire);
  if (ledCount <= 0) return;
  std::array<uint8_t, kCanonicalKeyCount> keyLed{};
  for (size_t i = 0; i < keyLed.size(); ++i) {
    keyLed[i] = sharedLed_[i].load(std::memory_order_relaxed);
  }
  std::array<uint8_t, kKeyboardFrameBuffer> frame{};
  const size_t length = keyboardEngine_.BuildFrame(keyLed, static_cast<size_t>(ledCount), frame);
  lastFrameMs_ = nowMs;
  if (transport->CmdStreamLightFrame(std::span<const uint8_t>(frame.data(), length)) == kStatusOk) {
    framesSent_.fetch_add(1);
  } else {
    pausedUntil_ = nowMs + kFailedFramePauseMs;
  }
}

// ---- power

}  // namespace varkon
