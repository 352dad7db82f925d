#include "devices/panels/keyboard_device.h"

#include <QAbstractButton>
#include <QLabel>
#include <string>

#include "core/debug_out.h"
#include "device/device_transport.h"
#include "devices/key_labels.h"
#include "devices/key_tables.h"
#include "editors/key_set_control.h"
#include "editors/light_control.h"
#include "editors/macro_control.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_values.h"
#include "platform/ui/language_text.h"

namespace varkon {

namespace {

constexpr int kRepeatDelayChoices = 4;
constexpr int kPollingRateChoices = 4;
constexpr int kRepeatDelayStepMs = 250;
// The keyboard's colour memory holds this many custom pages; the side sweep has this many
// patterns.
constexpr int kCustomColourPages = 8;
constexpr int kZzccPatterns = 4;
// The text a key button showed in the skin, so a key whose assignment is its default shows it
// again after a change.
constexpr const char* kSkinTextProperty = "varkonSkinText";

DeviceParts KeyboardParts() {
  auto engine = std::make_unique<KeyboardLightEngine>();
  auto logic = std::make_unique<KeyboardLogic>(*engine);
  DeviceParts parts;
  parts.logic = std::move(logic);
  parts.engine = std::move(engine);
  return parts;
}

QString IndexedName(const char* prefix, int index) {
  return QString::fromLatin1(prefix) + QString::number(index);
}

}  // namespace

CTarnwiseKeyboardDevice::CTarnwiseKeyboardDevice(QWidget* parent)
    : CTarnwiseUSBDevice(kKindKeyboard, KeyboardParts(), parent) {
  keyboardEngine_ = static_cast<KeyboardLightEngine*>(&Engine());
  keyboard_ = static_cast<KeyboardLogic*>(&Logic());
  resyncTimer_.setSingleShot(true);
  connect(&resyncTimer_, &QTimer::timeout, this, [this] { ResyncDevice(); });
  KeyboardEvents events;
  events.refresh = [this] { RefreshPanel(); };
  events.onboardProfile = [this](int profile) { FollowOnboardProfile(profile); };
  events.clearKeyHighlights = [this] { ClearKeyHighlights(); };
  events.resyncIn = [this](int milliseconds) { resyncTimer_.start(milliseconds); };
  keyboard_->SetEvents(std::move(events));
}

// The workers call this class's overrides, so they stop before this part of the object goes.
CTarnwiseKeyboardDevice::~CTarnwiseKeyboardDevice() {
  StopWorkers();
}

void CTarnwiseKeyboardDevice::InitButtons() {
  CTarnwiseUSBDevice::InitButtons();
  if (CLightControlUI* panel = LightPanel()) {
    QStringList tables;
    for (int i = 1; i <= kCustomColourPages; ++i) {
      tables << QString::fromStdString(LanguageText("light_custom_table_text")) + " " +
                    QString::number(i);
    }
    panel->FillCustomTableList(tables);
    QStringList patterns;
    for (int i = 1; i <= kZzccPatterns; ++i) {
      patterns << QString::fromStdString(LanguageText("light_zzcc_text")) + " " +
                      QString::number(i);
    }
    panel->FillZzccModeList(patterns);
  }
  for (int i = 0; i < KeyButtonCount(); ++i) {
    if (CDeviceKeyButtonUI* key = KeyButton(i)) key->setProperty(kSkinTextProperty, key->text());
  }
  if (CKeySetControlUI* editor = KeyEditor()) {
    editor->Attach(kKindKeyboard, window());
    editor->SetMacroNames(MacroNames());
    editor->EnableButtons(false);
  }
  if (CMacroControlUI* macros = MacroPanel()) macros->Attach(Logic().Folders().dataFolder);
}

void CTarnwiseKeyboardDevice::ReadDevice() {
  keyboard_->Read();
}

void CTarnwiseKeyboardDevice::ResyncDevice() {
  keyboard_->Resync();
}

bool CTarnwiseKeyboardDevice::IsLinkAwake() {
  DeviceTransport* transport = Transport();
  return transport && transport->IsOpened() && transport->ReceiverMode() &&
         transport->CmdQueryOnline();
}

int CTarnwiseKeyboardDevice::LoadProfile() {
  return keyboard_->LoadProfile();
}

void CTarnwiseKeyboardDevice::RefreshPanel() {
  CTarnwiseUSBDevice::RefreshPanel();
  ShowKeyLabels();
  // The editor's macro list follows the names; the key being edited is shown again in the
  // layer now edited.
  if (CKeySetControlUI* editor = KeyEditor()) {
    editor->SetMacroNames(MacroNames());
    if (SelectedKey() >= 0) editor->ShowRecord(KeyRecord(SelectedKey()), keyboard_->FnKeysetFlag());
  }
  ShowSystemPage();
  EnableKeysForPage(GetFunctionPage());
}

int CTarnwiseKeyboardDevice::WriteLightRecord(int profileIndex) {
  keyboard_->WriteLightRecord();
  return 1;
}

void CTarnwiseKeyboardDevice::WriteProfileToDevice(std::function<void(int)> done) {
  PostToMainWindow(kMessageShowProgress, 0, 0);
  keyboard_->WriteProfileToDevice([this, done = std::move(done)](int result) {
    PostToMainWindow(kMessageHideProgress, 0, 0);
    if (done) done(result);
  });
}

void CTarnwiseKeyboardDevice::SwitchToProfile(int index, std::function<void(int)> done) {
  if (!keyboard_->Profiles().SelectProfile(index)) {
    if (done) done(0);
    return;
  }
  LoadProfile();
  keyboard_->ValidateMacroRefs();
  RefreshPanel();
  WriteProfileToDevice(std::move(done));
}

// The keyboard switched profiles itself: the program's profile of that number becomes the
// selected one and is shown. Nothing is written: the keyboard already runs that profile.
void CTarnwiseKeyboardDevice::FollowOnboardProfile(int profile) {
  ProfileIndex& profiles = keyboard_->Profiles();
  if (profile == profiles.GetSelectedIndex() || !profiles.SelectProfile(profile)) return;
  LoadProfile();
  keyboard_->ValidateMacroRefs();
}

void CTarnwiseKeyboardDevice::StoreKeyRecord(int index, const KeyAssignmentRecord& record) {
  std::vector<KeyAssignmentRecord> keys = keyboard_->Keys();
  if (index < 0 || index >= static_cast<int>(keys.size())) return;
  keys[static_cast<size_t>(index)] = record;
  keyboard_->SetKeys(keys);
  ShowKeyLabels();
}

void CTarnwiseKeyboardDevice::SetFnLayer(bool on) {
  keyboard_->SetFnKeysetFlag(on);
  SaveProfile();
  RefreshPanel();
}

void CTarnwiseKeyboardDevice::WriteKeysAndMacros(std::function<void(int, StatusCode)> done) {
  PostToMainWindow(kMessageShowProgress, 0, 0);
  keyboard_->WriteKeysAndMacros([this, done = std::move(done)](int macros, StatusCode keys) {
    PostToMainWindow(kMessageHideProgress, 0, 0);
    ShowKeyLabels();
    if (done) done(macros, keys);
  });
}

CMacroControlUI* CTarnwiseKeyboardDevice::MacroPanel() const {
  return FindMacroControl(const_cast<CTarnwiseKeyboardDevice*>(this));
}

void CTarnwiseKeyboardDevice::SelectFunctionPage(int page) {
  CTarnwiseUSBDevice::SelectFunctionPage(page);
  EnableKeysForPage(page);
  if (PowerPanel()) PowerPanel()->ShowPowerLayout(false);
}

// Lighting page: every key can be clicked (to paint it); keys page: the Fn layer shows, and its
// locked keys (or, on the main layer, the Fn key itself) cannot be chosen.
void CTarnwiseKeyboardDevice::EnableKeysForPage(int page) {
  QWidget* fnLayout = ui::FindControl(this, QStringLiteral("Keyset_Fn_Layout"));
  if (page == 2) {
    if (fnLayout) fnLayout->setVisible(true);
    const bool fnLayer = keyboard_->FnKeysetFlag();
    const std::vector<uint16_t>& locked = FnLockedKeys();
    for (int i = 0; i < KeyButtonCount(); ++i) {
      CDeviceKeyButtonUI* key = KeyButton(i);
      if (!key) continue;
      bool enabled = true;
      if (fnLayer) {
        enabled = std::find(locked.begin(), locked.end(), static_cast<uint16_t>(i)) == locked.end();
      } else {
        enabled = i != static_cast<int>(kFnKeyListIndex);
      }
      key->setEnabled(enabled);
    }
    return;
  }
  if (fnLayout) fnLayout->setVisible(false);
  if (page == 1) {
    for (int i = 0; i < KeyButtonCount(); ++i) {
      if (CDeviceKeyButtonUI* key = KeyButton(i)) key->setEnabled(true);
    }
  }
}

void CTarnwiseKeyboardDevice::ShowKeyLabels() {
  const Translator translate = [](const std::string& id) { return LanguageText(id); };
  const auto labels =
      LabelKeyList(keyboard_->Keys(), keyboard_->FnKeysetFlag(), translate, MacroNames());
  const std::vector<KeyAssignmentRecord>& keys = keyboard_->Keys();
  const bool fnLayer = keyboard_->FnKeysetFlag();
  for (int i = 0; i < KeyButtonCount(); ++i) {
    CDeviceKeyButtonUI* key = KeyButton(i);
    if (!key) continue;
    const size_t index = static_cast<size_t>(i);
    // A key shows its function only when it is not the key's own: the skin's short names fit
    // the picture better than the full ones.
    const bool reassigned =
        index < keys.size() &&
        (fnLayer ? keys[index].fn.code : keys[index].main.code) != keys[index].defaultSlot.code;
    if (reassigned && index < labels.size() && labels[index]) {
      key->setText(QString::fromStdString(labels[index]->label));
      key->setToolTip(QString::fromStdString(labels[index]->tooltipText));
      key->SetKeySetHidden(false);
    } else {
      key->setText(key->property(kSkinTextProperty).toString());
      key->SetKeySetHidden(true);
    }
  }
}

void CTarnwiseKeyboardDevice::ClearKeyHighlights() {
  for (int i = 0; i < KeyButtonCount(); ++i) {
    if (CDeviceKeyButtonUI* key = KeyButton(i)) {
      key->SetSelected(false);
      key->SetKeyState(false);
    }
  }
}

void CTarnwiseKeyboardDevice::ShowSystemPage() {
  const KeyboardSystemWords& system = keyboard_->System();
  ui::SetValue(ui::FindControl(this, QStringLiteral("repeat_rate_slider")), system.Repeat());
  const int delay = std::min<int>(system.RepeatDelay(), kRepeatDelayChoices - 1);
  ui::SetChecked(ui::FindControl(this, IndexedName("repeat_delay_check_", delay)), true);
  if (QWidget* label = ui::FindControl(this, QStringLiteral("repeat_delay_time_label1"))) {
    ui::SetText(label, QString::fromStdString(LanguageText("Repeat_Delay_Time")) + " " +
                           QString::number(delay * kRepeatDelayStepMs + kRepeatDelayStepMs) + "ms");
  }
  ui::SetChecked(ui::FindControl(this, QStringLiteral("6flag_option")), system.Key6Flag() != 0);
  ui::SetChecked(ui::FindControl(this, QStringLiteral("wflag_option")), system.WFlag() != 0);
  ui::SetChecked(ui::FindControl(this, QStringLiteral("winlockflag_option")),
                 system.WinFlag() != 0);
  const int rate = std::min<int>(system.PollingRate(), kPollingRateChoices - 1);
  ui::SetChecked(ui::FindControl(this, IndexedName("polling_rate_option_", rate)), true);
  const int sensitivity = GetLightState().voiceSensitivity;
  ui::SetValue(ui::FindControl(this, QStringLiteral("voice_sensitivity")), sensitivity);
  ui::SetText(ui::FindControl(this, QStringLiteral("voice_sensitivity_value")),
              QString::number(sensitivity));
  ui::SetChecked(ui::FindControl(this, QStringLiteral("keyset_fn")), keyboard_->FnKeysetFlag());
  if (QWidget* onboard = ui::FindControl(this, QStringLiteral("onboard_profile_label"))) {
    ui::SetText(onboard, QString::fromStdString(LanguageText("system_onboard_profile_text")) + " " +
                             QString::number(keyboard_->ActiveProfile()));
  }
}

void CTarnwiseKeyboardDevice::OnRepeatRate(int value) {
  keyboard_->SetRepeatRate(value);
}

void CTarnwiseKeyboardDevice::OnRepeatDelay(int index) {
  keyboard_->SetRepeatDelay(index);
  ShowSystemPage();
}

void CTarnwiseKeyboardDevice::OnSystemFlag(const std::string& control, bool on) {
  if (control == "6flag_option") {
    keyboard_->SetKey6Flag(on);
  } else if (control == "wflag_option") {
    keyboard_->SetWFlag(on);
  } else if (control == "winlockflag_option") {
    keyboard_->SetWinLockFlag(on);
  }
}

void CTarnwiseKeyboardDevice::OnPollingRate(int index) {
  keyboard_->SetPollingRate(index);
}

void CTarnwiseKeyboardDevice::OnVoiceSensitivity(int value) {
  keyboard_->SetVoiceSensitivity(value);
  ui::SetText(ui::FindControl(this, QStringLiteral("voice_sensitivity_value")),
              QString::number(GetLightState().voiceSensitivity));
}

void CTarnwiseKeyboardDevice::OnResetRepeat() {
  keyboard_->ResetRepeat();
  ShowSystemPage();
}

void CTarnwiseKeyboardDevice::PaintSelectedKeys() {
  std::vector<int> keys;
  for (int i = 0; i < LightCount(); ++i) {
    const CDeviceKeyButtonUI* light = LightButton(i);
    const CDeviceKeyButtonUI* key = KeyButton(i);
    if ((light && light->IsSelected()) || (key && key->IsSelected())) keys.push_back(i);
  }
  if (keys.empty()) return;
  const LightState state = GetLightState();
  const Rgb colour = paintOff_ ? Rgb{} : Rgb{state.red, state.green, state.blue};
  keyboard_->PaintKeys(keys, colour);
}

void CTarnwiseKeyboardDevice::PaintKey(int listIndex) {
  const LightState state = GetLightState();
  const Rgb colour = paintOff_ ? Rgb{} : Rgb{state.red, state.green, state.blue};
  keyboard_->PaintKeys({listIndex}, colour);
}

void CTarnwiseKeyboardDevice::FeedAudioLevels(const uint8_t* levels, size_t count) {
  std::vector<int32_t> values(levels, levels + count);
  keyboardEngine_->FeedAudioLevels(values);
}

bool CTarnwiseKeyboardDevice::StreamsLightFrames() const {
  return keyboard_->StreamsFrames();
}

void CTarnwiseKeyboardDevice::SetAudioLight(int mode, int colour, int flags) {
  CTarnwiseUSBDevice::SetAudioLight(mode, colour, flags);
  keyboard_->SetAudioLight(static_cast<uint32_t>(mode), static_cast<uint32_t>(colour), flags != 0);
}

void CTarnwiseKeyboardDevice::OnDeviceNotice(bool receiverIdentity, uint16_t value) {
  keyboard_->OnNotice(value);
}

void CTarnwiseKeyboardDevice::LightPass(uint32_t nowMs) {
  // In the synchronised group the shared thread paints the colours.
  if (SyncOn()) return;
  keyboardEngine_->Pass(nowMs);
  keyboard_->StreamFrame(nowMs);
}

}  // namespace varkon
