#include "editors/light_control.h"

#include <QComboBox>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QListView>
#include <QStandardItemModel>
#include <algorithm>

#include "app/controls/color_palette.h"
#include "core/debug_out.h"
#include "platform/ui/control_containers.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_values.h"
#include "platform/ui/language_text.h"

namespace varkon {

namespace {

constexpr const char* kModeCombo = "light_combo_modeSelect";
constexpr const char* kCustomTableCombo = "light_combo_custommodeSelect";
constexpr const char* kZzccCombo = "light_combo_ZZCCmodeSelect";
constexpr const char* kAudioModeCombo = "light_combo_audiomodeSelect";
constexpr const char* kBrightnessSlider = "deng_light_slider";
constexpr const char* kSpeedSlider = "deng_speed_slider";
constexpr const char* kPalette = "deng_Color_Pallet";
constexpr const char* kColourButton = "deng_colordp_btn";
constexpr const char* kPresetPrefix = "color_option_";
constexpr const char* kMulticolourCheck = "deng_7color_check";
constexpr const char* kForwardCheck = "deng_FXL_check";
constexpr const char* kBackwardCheck = "deng_FXR_check";
constexpr const char* kColourPages = "light_color_tablayout";

constexpr const char* kAudioMulticolourCheck = "deng_7audiocolor_check";
constexpr const char* kAudioBackgroundCheck = "audio_BkColor_check";
constexpr const char* kAudioForegroundCheck = "audio_FgColor_check";
constexpr const char* kAudioPalette = "deng_audioColor_Pallet";
constexpr const char* kAudioColourButton = "deng_audiocolordp_btn";
constexpr const char* kAudioColourLayout = "light_audiocolor_layout";
constexpr const char* kAudioPaletteLayout = "audiocolorpallet_layout";

// How strongly a disabled colour palette is faded (it paints its colours whatever its state).
constexpr double kDisabledPaletteOpacity = 0.25;

constexpr const char* kColourEdits[] = {"deng_edit_R", "deng_edit_G", "deng_edit_B"};
constexpr const char* kAudioColourEdits[] = {"deng_audioedit_R", "deng_audioedit_G",
                                             "deng_audioedit_B"};

size_t ComponentIndex(ColourComponent component) {
  switch (component) {
    case ColourComponent::kRed:
      return 0;
    case ColourComponent::kGreen:
      return 1;
    case ColourComponent::kBlue:
      break;
  }
  return 2;
}

uint32_t Opaque(uint8_t red, uint8_t green, uint8_t blue) {
  return 0xFF000000u | uint32_t{red} << 16 | uint32_t{green} << 8 | blue;
}

void FillCombo(QWidget* combo, const QStringList& names) {
  if (combo == nullptr) return;
  ui::ClearCombo(combo);
  for (const QString& name : names) ui::AddComboItem(combo, name);
}

// Hidden entries are also disabled, so that neither the keys nor the wheel land on them.
void SetComboItemShown(QWidget* control, int index, bool shown) {
  auto* combo = qobject_cast<QComboBox*>(control);
  if (combo == nullptr) return;
  if (auto* view = qobject_cast<QListView*>(combo->view())) view->setRowHidden(index, !shown);
  if (auto* model = qobject_cast<QStandardItemModel*>(combo->model())) {
    if (QStandardItem* item = model->item(index)) item->setEnabled(shown);
  }
}

}  // namespace

CLightControlUI::CLightControlUI(QWidget* parent) : QWidget(parent) {
  ui::SetControlClassName(this, kLightControlClass);
}

QWidget* CLightControlUI::Control(const QString& name) const {
  QPointer<QWidget>& found = controls_[name];
  if (found.isNull()) found = ui::FindControl(this, name);
  return found.data();
}

bool CLightControlUI::event(QEvent* event) {
  if (event->type() == QEvent::Polish) PrepareControls();
  return QWidget::event(event);
}

bool CLightControlUI::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::EnabledChange) FadeWhenDisabled(static_cast<QWidget*>(watched));
  return QWidget::eventFilter(watched, event);
}

void CLightControlUI::PrepareControls() {
  for (const char* name : kColourEdits) ui::SetDigitsOnly(Control(name), true);
  for (const char* name : kAudioColourEdits) ui::SetDigitsOnly(Control(name), true);
  for (const char* name : {kPalette, kAudioPalette}) {
    QWidget* palette = Control(name);
    if (palette == nullptr) continue;
    palette->installEventFilter(this);  // again is harmless: it is installed once
    FadeWhenDisabled(palette);
  }
  WatchModeList();
}

void CLightControlUI::FadeWhenDisabled(QWidget* control) {
  auto* fade = qobject_cast<QGraphicsOpacityEffect*>(control->graphicsEffect());
  if (fade == nullptr) {
    if (control->isEnabled()) return;
    fade = new QGraphicsOpacityEffect(control);
    fade->setOpacity(kDisabledPaletteOpacity);
    control->setGraphicsEffect(fade);
  }
  fade->setEnabled(!control->isEnabled());
}

void CLightControlUI::WatchModeList() {
  auto* combo = qobject_cast<QComboBox*>(Control(kModeCombo));
  if (combo == nullptr || combo == watchedModeList_) return;
  watchedModeList_ = combo;
  // A choice in the list, the user's or the code's, is the mode from then on.
  connect(combo, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) mode_ = index;
  });
  if (combo->currentIndex() >= 0) mode_ = combo->currentIndex();
}

bool CLightControlUI::Fail(const char* message) {
  lastFailure_ = message;
  debugOut("%s\n", message);
  return false;
}

void CLightControlUI::SetDeviceKind(int kind) {
  deviceKind_ = kind;
}

void CLightControlUI::FillModeList(const std::vector<LightModeItem>& items, int maxBrightness,
                                   int maxSpeed) {
  WatchModeList();
  QWidget* combo = Control(kModeCombo);
  if (combo != nullptr) {
    ui::ClearCombo(combo);
    for (size_t i = 0; i < items.size(); ++i) {
      ui::AddComboItem(combo, items[i].text);
      if (!items[i].visible) SetComboItemShown(combo, static_cast<int>(i), false);
    }
  }
  ui::SetRange(Control(kBrightnessSlider), 0, std::max(0, maxBrightness));
  ui::SetRange(Control(kSpeedSlider), 0, std::max(0, maxSpeed));
}

void CLightControlUI::FillCustomTableList(const QStringList& names) {
  FillCombo(Control(kCustomTableCombo), names);
}

void CLightControlUI::FillZzccModeList(const QStringList& names) {
  FillCombo(Control(kZzccCombo), names);
}

void CLightControlUI::FillAudioModeList(const QStringList& names) {
  FillCombo(Control(kAudioModeCombo), names);
}

void CLightControlUI::ShowLightState(const LightWords& words) {
  SelectMode(LightMode(words));
  SetBrightness(LightBrightness(words));
  SetSpeed(LightSpeed(words));
  for (ColourComponent component :
       {ColourComponent::kRed, ColourComponent::kGreen, ColourComponent::kBlue}) {
    SetColourText(component, LightColourComponent(words, component));
  }
  SetPaletteColour(LightFixedColour(words));
  ui::SetBackgroundColour(Control(kColourButton), LightFixedColour(words));
  SetMulticolour(LightMulticolour(words));
  SelectZzccMode(LightZzccMode(words));
  SelectCustomTable(LightCustomTable(words));
  SetDirection(LightForward(words));
  ApplyControlStates();
}

void CLightControlUI::SelectMode(int mode) {
  WatchModeList();
  ui::SetComboIndex(Control(kModeCombo), mode);
  mode_ = mode;  // also when the list has no such entry
  ApplyControlStates();
}

int CLightControlUI::GetMode() const {
  // Reading the mode starts following the list, as every other use of the panel does.
  const_cast<CLightControlUI*>(this)->WatchModeList();
  return mode_;
}

void CLightControlUI::SetBrightness(int level) {
  ui::SetValue(Control(kBrightnessSlider), level);
}

int CLightControlUI::GetBrightness() const {
  return ui::Value(Control(kBrightnessSlider));
}

void CLightControlUI::SetSpeed(int level) {
  ui::SetValue(Control(kSpeedSlider), level);
}

int CLightControlUI::GetSpeed() const {
  return ui::Value(Control(kSpeedSlider));
}

void CLightControlUI::SetColourText(ColourComponent component, int value) {
  ui::SetText(Control(kColourEdits[ComponentIndex(component)]),
              QString::number(std::clamp(value, 0, 255)));
}

QString CLightControlUI::GetColourText(ColourComponent component) const {
  return ui::Text(Control(kColourEdits[ComponentIndex(component)]));
}

void CLightControlUI::SetPaletteColour(uint32_t argb) {
  if (auto* palette = qobject_cast<CColorPaletteUI*>(Control(kPalette))) {
    palette->SetSelectColor(argb);
  }
}

uint32_t CLightControlUI::GetPaletteColour() const {
  auto* palette = qobject_cast<CColorPaletteUI*>(Control(kPalette));
  return palette == nullptr ? 0 : palette->SelectColor();
}

void CLightControlUI::ShowColour(uint32_t argb, bool inPalette) {
  const uint32_t colour = argb | 0xFF000000u;
  SetColourText(ColourComponent::kRed, (colour >> 16) & 0xFF);
  SetColourText(ColourComponent::kGreen, (colour >> 8) & 0xFF);
  SetColourText(ColourComponent::kBlue, colour & 0xFF);
  ui::SetBackgroundColour(Control(kColourButton), colour);
  if (inPalette) SetPaletteColour(colour);
}

uint32_t CLightControlUI::GetShownColour() const {
  return ui::BackgroundColour(Control(kColourButton));
}

void CLightControlUI::SetMulticolour(bool on) {
  ui::SetChecked(Control(kMulticolourCheck), on);
}

bool CLightControlUI::GetMulticolour() const {
  return ui::IsChecked(Control(kMulticolourCheck));
}

void CLightControlUI::SetDirection(bool forward) {
  // The checked one last, so that an exclusive pair never sees both off.
  QWidget* on = Control(forward ? kForwardCheck : kBackwardCheck);
  QWidget* off = Control(forward ? kBackwardCheck : kForwardCheck);
  ui::SetChecked(off, false);
  ui::SetChecked(on, true);
}

bool CLightControlUI::GetDirection() const {
  return ui::IsChecked(Control(kForwardCheck));
}

void CLightControlUI::SelectCustomTable(int index) {
  ui::SetComboIndex(Control(kCustomTableCombo), index);
}

int CLightControlUI::GetCustomTable() const {
  return ui::ComboIndex(Control(kCustomTableCombo));
}

void CLightControlUI::SelectZzccMode(int index) {
  ui::SetComboIndex(Control(kZzccCombo), index);
}

int CLightControlUI::GetZzccMode() const {
  return ui::ComboIndex(Control(kZzccCombo));
}

void CLightControlUI::SetMultiDevice(bool on) {
  multiDevice_ = on;
  ApplyControlStates();
}

uint32_t CLightControlUI::GetPresetColour(int n) const {
  return ui::BackgroundColour(Control(kPresetPrefix + QString::number(n)));
}

void CLightControlUI::ApplyControlStates() {
  PrepareControls();
  const LightControlStates states = LightControlStatesFor(deviceKind_, GetMode(), multiDevice_);
  for (size_t i = 0; i < kLightGroupCount; ++i) {
    const auto group = static_cast<LightGroup>(i);
    QWidget* control = Control(LightGroupControlName(group));
    if (control == nullptr) continue;
    const LightGroupState& state = states[group];
    if (state.enabled) ui::SetEnabled(control, *state.enabled);
    if (state.visible) ui::SetVisible(control, *state.visible);
  }
  if (states.colourPage) ui::SelectPage(Control(kColourPages), *states.colourPage);
  if (states.directionTexts) ShowDirectionTexts(*states.directionTexts);
}

void CLightControlUI::ShowDirectionTexts(const DirectionTextIds& ids) {
  const std::pair<const char*, const std::string*> checks[] = {{kForwardCheck, &ids.forward},
                                                               {kBackwardCheck, &ids.backward}};
  for (const auto& [name, id] : checks) {
    // Kept as a text id, so that a language change shows the new language's text.
    if (QWidget* check = Control(name)) SetControlTextId(check, *id);
  }
}

bool CLightControlUI::SetAudioLight(uint32_t modeWord, uint32_t foregroundWord,
                                    bool editingForeground) {
  audio_ = AudioLight::FromWords(modeWord, foregroundWord, editingForeground);
  QWidget* combo = Control(kAudioModeCombo);
  QWidget* multicolour = Control(kAudioMulticolourCheck);
  QWidget* background = Control(kAudioBackgroundCheck);
  QWidget* foreground = Control(kAudioForegroundCheck);
  auto* palette = qobject_cast<CColorPaletteUI*>(Control(kAudioPalette));
  QWidget* button = Control(kAudioColourButton);
  QWidget* colourLayout = Control(kAudioColourLayout);
  QWidget* paletteLayout = Control(kAudioPaletteLayout);
  QWidget* edits[3] = {};
  bool complete = combo && multicolour && background && foreground && palette && button &&
                  colourLayout && paletteLayout;
  for (size_t i = 0; i < 3; ++i) {
    edits[i] = Control(kAudioColourEdits[i]);
    complete = complete && edits[i] != nullptr;
  }
  if (!complete) return Fail(kSetAudioLightFailure);

  ui::SetComboIndex(combo, audio_.mode);
  const std::array<uint8_t, 3>& colour =
      audio_.editingForeground ? audio_.foreground : audio_.background;
  ui::SetChecked(audio_.editingForeground ? background : foreground, false);
  ui::SetChecked(audio_.editingForeground ? foreground : background, true);
  // Only the foreground can cycle through the colours.
  ui::SetEnabled(multicolour, audio_.editingForeground);
  if (audio_.editingForeground) ui::SetChecked(multicolour, audio_.multicolour);
  for (size_t i = 0; i < 3; ++i) ui::SetText(edits[i], QString::number(colour[i]));
  const uint32_t argb = Opaque(colour[0], colour[1], colour[2]);
  palette->SetSelectColor(argb);
  ui::SetBackgroundColour(button, argb);
  const bool coloured = audio_.mode != kAudioModeWithoutColours;
  ui::SetEnabled(colourLayout, coloured);
  ui::SetEnabled(paletteLayout, coloured);
  return true;
}

std::optional<AudioLight> CLightControlUI::GetAudioLight(bool store) {
  QWidget* multicolour = Control(kAudioMulticolourCheck);
  QWidget* background = Control(kAudioBackgroundCheck);
  QWidget* foreground = Control(kAudioForegroundCheck);
  QWidget* button = Control(kAudioColourButton);
  if (!multicolour || !background || !foreground || !button) {
    Fail(kGetAudioLightFailure);
    return std::nullopt;
  }
  audio_.multicolour = ui::IsChecked(multicolour);
  audio_.editingForeground = ui::IsChecked(foreground);
  if (store) {
    const uint32_t shown = ui::BackgroundColour(button);
    std::array<uint8_t, 3>& colour =
        audio_.editingForeground ? audio_.foreground : audio_.background;
    colour = {static_cast<uint8_t>(shown >> 16), static_cast<uint8_t>(shown >> 8),
              static_cast<uint8_t>(shown)};
  }
  return audio_;
}

CLightControlUI* FindLightControl(QWidget* root) {
  if (root == nullptr) return nullptr;
  if (auto* panel = qobject_cast<CLightControlUI*>(root)) return panel;
  return root->findChild<CLightControlUI*>();
}

}  // namespace varkon
