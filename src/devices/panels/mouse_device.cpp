#include "devices/panels/mouse_device.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSlider>
#include <QStyle>

#include "device/device_transport.h"
#include "devices/key_labels.h"
#include "devices/light_mouse_effects.h"
#include "devices/logic/keyboard_logic.h"
#include "editors/key_set_control.h"
#include "editors/macro_control.h"
#include "editors/shoot_control.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_values.h"
#include "platform/ui/language_text.h"
#include "platform/ui/notifier.h"

namespace varkon {

namespace {

DeviceParts MouseParts() {
  auto engine = std::make_unique<LightEngine>(LightDeviceClass::kMouse, 0);
  InstallMouseEffects(*engine);
  auto logic = std::make_unique<MouseLogic>(*engine);
  DeviceParts parts;
  parts.logic = std::move(logic);
  parts.engine = std::move(engine);
  return parts;
}

// Where a button keeps the tooltip its skin gave it.
constexpr const char* kSkinTipProperty = "skintooltip";

// The logo's light cell: the last of the mouse's 15 lights.
constexpr int kLogoLight = 14;

QString Indexed(const char* prefix, int index) {
  return QString::fromLatin1(prefix) + QString::number(index);
}

}  // namespace

CTarnwiseMouseDevice::CTarnwiseMouseDevice(QWidget* parent)
    : CTarnwiseUSBDevice(kKindMouse, MouseParts(), parent) {
  mouse_ = static_cast<MouseLogic*>(&Logic());
  MouseEvents events;
  events.refresh = [this] { RefreshPanel(); };
  events.asleepChanged = [this](bool) { ShowDpiPage(); };
  events.resyncIn = [this](int milliseconds) { resyncTimer_.start(milliseconds); };
  resyncTimer_.setSingleShot(true);
  connect(&resyncTimer_, &QTimer::timeout, this, [this] { ResyncDevice(); });
  mouse_->SetEvents(std::move(events));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize size = screen->size();
    mouse_->SetScreenSize(static_cast<uint16_t>(size.width()),
                          static_cast<uint16_t>(size.height()));
  }
}

// The workers call this class's overrides, so they stop before this part of the object goes.
CTarnwiseMouseDevice::~CTarnwiseMouseDevice() {
  StopWorkers();
}

void CTarnwiseMouseDevice::InitButtons() {
  CTarnwiseUSBDevice::InitButtons();
  for (int i = 0; i < MouseLogic::kStageCount; ++i) {
    if (auto* edit = qobject_cast<QLineEdit*>(ui::FindControl(this, Indexed("DPI_edit_", i)))) {
      ui::SetDigitsOnly(edit, true);
    }
  }
  if (CMacroControlUI* macros = MacroPanel()) macros->Attach(Logic().Folders().dataFolder);
  if (CShootControlUI* recoil = FindShootControl(this)) {
    recoil->SetShootFolder(Logic().Folders().dataFolder);
    recoil->SetShootDefaultFolder(Logic().Folders().defaultDataFolder);
    recoil->InitShootPanel();
    recoil->SelectGun(0);
    recoil->SelectBullet(0);
  }
  if (CKeySetControlUI* editor = KeyEditor()) {
    editor->Attach(kKindMouse, window());
    editor->SetMacroNames(MacroNames());
    editor->EnableButtons(false);
  }
}

CMacroControlUI* CTarnwiseMouseDevice::MacroPanel() const {
  return FindMacroControl(const_cast<CTarnwiseMouseDevice*>(this));
}

void CTarnwiseMouseDevice::StoreKeyRecord(int index, const KeyAssignmentRecord& record) {
  std::vector<KeyAssignmentRecord> keys = mouse_->Keys();
  if (index < 0 || index >= static_cast<int>(keys.size())) return;
  keys[static_cast<size_t>(index)] = record;
  mouse_->SetKeys(keys);
  ShowButtonLabels();
}

void CTarnwiseMouseDevice::WriteKeysAndMacros(std::function<void(int, StatusCode)> done) {
  PostToMainWindow(kMessageShowProgress, 0, 0);
  mouse_->WriteKeysAndMacros([this, done = std::move(done)](int macros, StatusCode keys) {
    PostToMainWindow(kMessageHideProgress, 0, 0);
    if (done) done(macros, keys);
  });
}

void CTarnwiseMouseDevice::ReadDevice() {
  mouse_->Read();
}

void CTarnwiseMouseDevice::ResyncDevice() {
  mouse_->Resync();
}

void CTarnwiseMouseDevice::OnDeviceNotice(bool receiverIdentity, uint16_t value) {
  mouse_->OnNotice(value, receiverIdentity);
}

bool CTarnwiseMouseDevice::IsLinkAwake() {
  DeviceTransport* transport = Transport();
  return transport && transport->IsOpened() && transport->ReceiverMode() &&
         transport->CmdQueryOnline();
}

void CTarnwiseMouseDevice::OnLinkAwake() {
  mouse_->OnLinkAwake();
}

void CTarnwiseMouseDevice::RefreshPanel() {
  CTarnwiseUSBDevice::RefreshPanel();
  // The editor's macro list follows the names; the button being edited is shown again.
  if (CKeySetControlUI* editor = KeyEditor()) {
    editor->SetMacroNames(MacroNames());
    if (SelectedKey() >= 0) editor->ShowRecord(KeyRecord(SelectedKey()), false);
  }
  RefreshKeyHighlights();
  ShowButtonLabels();
  ShowDpiPage();
  ShowSystemPage();
}

void CTarnwiseMouseDevice::ShowButtonLabels() {
  const Translator translate = [](const std::string& id) { return LanguageText(id); };
  const std::vector<KeyAssignmentRecord>& keys = mouse_->Keys();
  const auto labels = LabelKeyList(keys, false, translate, MacroNames());
  for (int i = 0; i < KeyButtonCount(); ++i) {
    CDeviceKeyButtonUI* button = KeyButton(i);
    if (!button) continue;
    // The skin's tooltip names the button; it is kept for when the button does its own job.
    if (!button->property(kSkinTipProperty).isValid()) {
      button->setProperty(kSkinTipProperty, button->toolTip());
    }
    const size_t index = static_cast<size_t>(i);
    const bool reassigned = index < keys.size() && index < labels.size() && labels[index] &&
                            keys[index].main.code != keys[index].defaultSlot.code;
    const QString name = button->property(kSkinTipProperty).toString();
    button->setToolTip(reassigned ? name + QStringLiteral(": ") +
                                        QString::fromStdString(labels[index]->label)
                                  : name);
  }
}

void CTarnwiseMouseDevice::PaintPreview() {
  CTarnwiseUSBDevice::PaintPreview();
  ShowLogoTip();
}

void CTarnwiseMouseDevice::ShowLogoTip() {
  QWidget* logo = LightButton(kLogoLight);
  if (!logo) return;
  const int mode = mouse_->GetLightState().mode;
  const std::vector<std::string>& names = ModeNames();
  std::string tip = LanguageText("Light_Set") + " " + LanguageText("Overall_Light_Set");
  if (mode >= 0 && static_cast<size_t>(mode) < names.size()) tip += ": " + names[mode];
  const QString text = QString::fromStdString(tip);
  if (logo->toolTip() != text) logo->setToolTip(text);
}

int CTarnwiseMouseDevice::WriteLightRecord(int) {
  mouse_->WriteLightRecord();
  return 1;
}

void CTarnwiseMouseDevice::SwitchToProfile(int index, std::function<void(int)> done) {
  if (!mouse_->Profiles().SelectProfile(index)) {
    if (done) done(0);
    return;
  }
  LoadProfile();
  mouse_->ValidateMacroRefs();
  RefreshPanel();
  mouse_->WriteLightRecord();
  mouse_->WriteKeysAndMacros([done = std::move(done)](int macros, StatusCode keys) {
    if (done) done(macros != 0 ? macros : (keys == kStatusOk ? 0 : kKeysNotWritten));
  });
}

void CTarnwiseMouseDevice::ShowDpiPage() {
  ui::QuietNotifications quiet;
  const MouseDpiScale& scale = mouse_->Scale();
  const int enabled = mouse_->EnabledStageCount();
  for (int i = 0; i < MouseLogic::kStageCount; ++i) {
    const DpiStage stage = mouse_->Stage(i);
    const bool on = stage.enabled != 0;
    const bool selected = i == mouse_->SelectedStage();
    if (QWidget* row = ui::FindControl(this, Indexed("DPI_layout_", i))) row->setEnabled(on);
    if (auto* check = qobject_cast<QAbstractButton*>(
            ui::FindControl(this, Indexed("DPI_enable_check_", i)))) {
      check->setChecked(on);
      // The stage in use, and the last one on, cannot be switched off.
      check->setEnabled(!selected && !(on && enabled <= 1));
    }
    if (auto* option = qobject_cast<QAbstractButton*>(
            ui::FindControl(this, Indexed("DPI_select_check_", i)))) {
      option->setChecked(selected);
    }
    if (auto* slider = qobject_cast<QSlider*>(ui::FindControl(this, Indexed("DPI_slider_", i)))) {
      if (mouse_->Discovered()) slider->setRange(0, scale.sliderMax);
      slider->setValue(stage.dpiX);
      // The stage in use has its own thumb (the skin styles [selectedstage="true"]).
      if (slider->property("selectedstage").toBool() != selected) {
        slider->setProperty("selectedstage", selected);
        slider->style()->unpolish(slider);
        slider->style()->polish(slider);
      }
    }
    if (auto* edit = qobject_cast<QLineEdit*>(ui::FindControl(this, Indexed("DPI_edit_", i)))) {
      edit->setText(QString::number(DpiOfStep(scale, stage.dpiX)));
    }
    if (QWidget* colour = ui::FindControl(this, Indexed("DPI_color_option_", i))) {
      colour->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(%1, %2, %3);"
                                           " border: 1px solid #2A323B; border-radius: 4px; }")
                                .arg(stage.red)
                                .arg(stage.green)
                                .arg(stage.blue));
    }
  }
  // A sleeping mouse keeps the changes for when it wakes; the page says so.
  if (QWidget* asleep = ui::FindControl(this, QStringLiteral("dpi_asleep_hint"))) {
    asleep->setVisible(mouse_->Asleep());
  }
  const int rate = mouse_->ReportRate();
  for (int i = 0; i < MouseLogic::kReportRates; ++i) {
    if (auto* option = qobject_cast<QAbstractButton*>(
            ui::FindControl(this, Indexed("polling_rate_option_", i)))) {
      option->setChecked(i == rate);
    }
  }
}

void CTarnwiseMouseDevice::ShowSystemPage() {
  ui::QuietNotifications quiet;
  const MouseSystemWords& system = mouse_->System();
  const auto slider = [this](const char* name, int value) {
    if (auto* control = qobject_cast<QSlider*>(ui::FindControl(this, QString::fromLatin1(name)))) {
      control->setValue(value);
    }
  };
  const auto check = [this](const char* name, bool on) {
    if (auto* control =
            qobject_cast<QAbstractButton*>(ui::FindControl(this, QString::fromLatin1(name)))) {
      control->setChecked(on);
    }
  };
  slider("pointer_speed_slider", system.MouseSpeed());
  slider("scroll_speed_slider", system.WheelScrollLines());
  slider("double_click_slider", system.DoubleClickTime());
  check("pointer_precision_check", system.PointerPrecision() != 0);
  check("scrolls_page_check", system.ScrollPage() != 0);
}

void CTarnwiseMouseDevice::OnSystemSlider(const std::string& control, int value) {
  if (control == "pointer_speed_slider") mouse_->SetPointerSpeed(value);
  if (control == "double_click_slider") mouse_->SetDoubleClickTime(value);
  if (control == "scroll_speed_slider") mouse_->SetScrollLines(value);
  ShowSystemPage();
}

void CTarnwiseMouseDevice::OnSystemCheck(const std::string& control, bool on) {
  if (control == "pointer_precision_check") mouse_->SetPointerPrecision(on);
  if (control == "scrolls_page_check") {
    auto* lines =
        qobject_cast<QSlider*>(ui::FindControl(this, QStringLiteral("scroll_speed_slider")));
    mouse_->SetScrollPage(on, lines ? lines->value() : mouse_->System().WheelScrollLines());
  }
  ShowSystemPage();
}

void CTarnwiseMouseDevice::OnDpiSlider(int i, int step) {
  mouse_->SetStageStep(i, step);
  ShowDpiPage();
}

void CTarnwiseMouseDevice::OnDpiSliderMoving(int i, int step) {
  if (auto* edit = qobject_cast<QLineEdit*>(ui::FindControl(this, Indexed("DPI_edit_", i)))) {
    edit->setText(QString::number(DpiOfStep(mouse_->Scale(), step)));
  }
}

void CTarnwiseMouseDevice::OnDpiEdit(int i) {
  auto* edit = qobject_cast<QLineEdit*>(ui::FindControl(this, Indexed("DPI_edit_", i)));
  if (!edit) return;
  const int step = StepOfTypedDpi(mouse_->Scale(), edit->text().toStdString());
  // Typing the DPI a stage already has changes nothing.
  if (step != mouse_->Stage(i).dpiX) mouse_->SetStageStep(i, step);
  ShowDpiPage();
}

void CTarnwiseMouseDevice::OnDpiSelect(int i) {
  mouse_->SelectStage(i);
  ShowDpiPage();
}

void CTarnwiseMouseDevice::OnDpiEnable(int i, bool on) {
  mouse_->SetStageEnabled(i, on);
  ShowDpiPage();
}

void CTarnwiseMouseDevice::OnDpiColour(int i, uint8_t red, uint8_t green, uint8_t blue) {
  mouse_->SetStageColour(i, red, green, blue);
  ShowDpiPage();
}

void CTarnwiseMouseDevice::OnReportRate(int index) {
  mouse_->SetReportRate(index);
  ShowDpiPage();
}

}  // namespace varkon
