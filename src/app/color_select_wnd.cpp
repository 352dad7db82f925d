#include "app/color_select_wnd.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <array>

#include "app/controls/color_palette.h"
#include "editors/colour_options.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_style.h"
#include "platform/ui/language_text.h"
#include "platform/ui/notifier.h"

namespace varkon {

namespace {

constexpr const char* kPresetPrefix = "color_option_";
constexpr const char* kCollectPrefix = "collect_color_option_";
constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
const char* const kChannelEdits[] = {"color_edit_r", "color_edit_g", "color_edit_b"};

// The index after `prefix`, or -1 when `name` is not one of that family.
int IndexAfter(const std::string& name, const char* prefix) {
  const std::string head = prefix;
  if (name.rfind(head, 0) != 0 || name.size() == head.size()) return -1;
  int index = 0;
  for (size_t i = head.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    index = index * 10 + (name[i] - '0');
    if (index >= kColourSwatches) return -1;
  }
  return index;
}

void SetChecked(QWidget* widget, bool on) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    ui::QuietNotifications quiet;
    button->setChecked(on);
  }
}

}  // namespace

CColorSelectWnd::CColorSelectWnd(QWidget* parent, const std::string& userFile,
                                 const std::string& defaultFile)
    : SkinDialog(parent), options_(std::make_unique<ColourOptions>(userFile, defaultFile)) {
  setWindowTitle(QStringLiteral("PalletDialog"));
}

CColorSelectWnd::~CColorSelectWnd() = default;

bool CColorSelectWnd::Create(std::string& error, const std::string& skinFolder) {
  if (!LoadSkin(kPaletteSkinFile, error, skinFolder)) return false;
  ApplyTextIds(skinRoot());
  WindowInit();
  return true;
}

QWidget* CColorSelectWnd::Swatch(const char* prefix, int index) const {
  const std::string name = std::string(prefix) + std::to_string(index);
  return Control(name.c_str());
}

void CColorSelectWnd::WindowInit() {
  options_->Load();
  SetCurrentColour(currentColour_);
  ShowMultiColour(multiColour_);
  SetChecked(Control("7color"), multiColour_);
  if (options_->PresetIndex() >= 0) presetIndex_ = options_->PresetIndex();
  for (int i = 0; i < kColourSwatches; ++i) {
    const CollectedSwatch stored = options_->Collected(i);
    QWidget* swatch = Swatch(kCollectPrefix, i);
    if (!stored.present || !swatch) continue;
    ui::SetBackgroundColour(swatch, kWhite);
    ui::SetUserData(swatch, QString::fromStdString(stored.userData));
    if (stored.userData == "1") ui::SetBackgroundColour(swatch, stored.colour | kOpaque);
  }
  // No collected swatch is selected when the dialog opens.
  collectIndex_ = -1;
}

void CColorSelectWnd::SetCurrentColour(uint32_t argb) {
  if (QWidget* show = Control("color_show_btn")) {
    ui::SetBackgroundImage(show, QString());
    ui::SetBackgroundColour(show, argb | kOpaque);
  }
  SelectInField(argb);
  currentColour_ = argb;
  ShowChannels(argb);
}

void CColorSelectWnd::SelectInField(uint32_t argb) {
  if (auto* field = qobject_cast<CColorPaletteUI*>(Control("Pallet"))) field->SetSelectColor(argb);
}

void CColorSelectWnd::EnableMultiColour(bool on) {
  if (QWidget* check = Control("7color")) {
    check->setEnabled(on);
    if (!on) SetChecked(check, false);
  }
  if (QWidget* layout = Control("7color_layout")) layout->setVisible(on);
}

void CColorSelectWnd::ShowChannels(uint32_t argb) {
  const int values[] = {static_cast<int>(argb >> 16 & 0xFF), static_cast<int>(argb >> 8 & 0xFF),
                        static_cast<int>(argb & 0xFF)};
  for (int i = 0; i < 3; ++i) {
    if (auto* edit = qobject_cast<QLineEdit*>(Control(kChannelEdits[i]))) {
      edit->setText(QString::number(values[i]));
    }
  }
}

void CColorSelectWnd::ShowMultiColour(bool on) {
  if (QWidget* show = Control("color_show_btn")) {
    ui::SetBackgroundImage(show, on ? QString::fromLatin1(kColourCycleImage) : QString());
  }
}

void CColorSelectWnd::Collect() {
  QWidget* swatch = collectIndex_ >= 0 ? Swatch(kCollectPrefix, collectIndex_) : nullptr;
  auto* button = qobject_cast<QAbstractButton*>(swatch);
  if (button && button->isChecked()) {
    ui::SetBackgroundColour(swatch, currentColour_ | kOpaque);
    ui::SetUserData(swatch, QStringLiteral("1"));
    SaveCollected();
  }
  if (QWidget* show = Control("color_show_btn")) {
    ui::SetBackgroundColour(show, currentColour_ | kOpaque);
  }
  multiColour_ = false;
  SetChecked(Control("7color"), false);
  ShowMultiColour(false);
}

void CColorSelectWnd::SavePresets() {
  std::array<uint32_t, kColourSwatches> colours{};
  for (int i = 0; i < kColourSwatches; ++i) {
    if (QWidget* swatch = Swatch(kPresetPrefix, i)) {
      colours[static_cast<size_t>(i)] = ui::BackgroundColour(swatch);
    }
  }
  options_->SavePresets(colours, presetIndex_);
}

void CColorSelectWnd::SaveCollected() {
  std::array<uint32_t, kColourSwatches> colours{};
  std::array<std::string, kColourSwatches> userData{};
  for (int i = 0; i < kColourSwatches; ++i) {
    if (QWidget* swatch = Swatch(kCollectPrefix, i)) {
      colours[static_cast<size_t>(i)] = ui::BackgroundColour(swatch);
      userData[static_cast<size_t>(i)] = ui::UserData(swatch).toStdString();
    }
  }
  options_->SaveCollected(colours, userData, collectIndex_);
}

void CColorSelectWnd::OnNotification(const ui::Notification& n) {
  if (n.type == "selectchanged" && n.wParam == 1) {
    if (const int preset = IndexAfter(n.name, kPresetPrefix); preset >= 0) {
      presetIndex_ = preset;
      SavePresets();
      currentColour_ = ui::BackgroundColour(n.sender) | kOpaque;
      SelectInField(currentColour_);
      Collect();
      ShowChannels(currentColour_);
    } else if (const int collected = IndexAfter(n.name, kCollectPrefix); collected >= 0) {
      collectIndex_ = collected;
      if (ui::UserData(n.sender) == QLatin1String("1")) {
        SaveCollected();
        const uint32_t colour = ui::BackgroundColour(n.sender) | kOpaque;
        if (QWidget* show = Control("color_show_btn")) ui::SetBackgroundColour(show, colour);
        multiColour_ = false;
        SetChecked(Control("7color"), false);
        ShowMultiColour(false);
        SelectInField(colour);
        ShowChannels(colour);
      }
    }
  } else if (n.type == "checkclick" && n.name == "7color") {
    multiColour_ = n.wParam == 1;
    ShowMultiColour(multiColour_);
  } else if (n.type == "colorchanged" && n.name == "Pallet") {
    currentColour_ = static_cast<uint32_t>(n.wParam) | kOpaque;
    Collect();
    ShowChannels(currentColour_);
  } else if (n.type == "killfocus") {
    bool channel = false;
    for (const char* name : kChannelEdits) channel = channel || n.name == name;
    if (!channel) return;
    int values[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
      auto* edit = qobject_cast<QLineEdit*>(Control(kChannelEdits[i]));
      if (!edit) continue;
      values[i] = ChannelFromText(edit->text().toStdString());
      edit->setText(QString::number(values[i]));
    }
    currentColour_ = kOpaque | static_cast<uint32_t>(values[0]) << 16 |
                     static_cast<uint32_t>(values[1]) << 8 | static_cast<uint32_t>(values[2]);
    SelectInField(currentColour_);
    Collect();
  }
}

bool CColorSelectWnd::OnClick(const QString& name) {
  if (name == QLatin1String("okbtn")) {
    if (!Control("Pallet")) {
      done(2);
      return true;
    }
    if (QWidget* show = Control("color_show_btn")) {
      currentColour_ = ui::BackgroundColour(show) | kOpaque;
    }
    done(1);
    return true;
  }
  if (name == QLatin1String("laterbtn")) {
    done(0);
    return true;
  }
  return name == QLatin1String("menubtn");
}

}  // namespace varkon
