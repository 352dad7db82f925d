// The lighting editor panel on the program's own skin.
#include "editors/light_control.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QSlider>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QXmlStreamReader>
#include <memory>

#include "app/controls/color_palette.h"
#include "app/controls/register_custom_controls.h"
#include "editors/register_editor_controls.h"
#include "platform/ui/control_containers.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_properties.h"
#include "platform/ui/control_style.h"
#include "platform/ui/control_values.h"
#include "platform/ui/language_text.h"
#include "platform/ui/notifier.h"
#include "platform/ui/skin_loader.h"

namespace varkon {
namespace {

constexpr int kKeyboard = 1;
constexpr int kMouse = 2;

std::string SkinFolder() {
  return std::string(VARKON_SOURCE_DIR) + "/resources/skin/";
}

// Every control of the lighting editor the panel and the main window name.
const char* const kNamedControls[] = {"light_combo_modeSelect",
                                      "light_combo_custommodeSelect",
                                      "light_combo_ZZCCmodeSelect",
                                      "light_combo_ZZCCmodeSelectLayout",
                                      "light_combo_audiomodeSelect",
                                      "light_combo_AudiomodeSelectLayout",
                                      "deng_light_slider",
                                      "deng_speed_slider",
                                      "deng_edit_R",
                                      "deng_edit_G",
                                      "deng_edit_B",
                                      "deng_Color_Pallet",
                                      "deng_colordp_btn",
                                      "color_option_0",
                                      "color_option_11",
                                      "deng_7color_check",
                                      "deng_FXL_check",
                                      "deng_FXR_check",
                                      "deng_same_mode",
                                      "lighteffect_layout",
                                      "deng_color_layout",
                                      "colorpallet_layout",
                                      "deng_light_layout",
                                      "deng_speed_layout",
                                      "deng_fx_layout",
                                      "lightcustom_layout",
                                      "light_color_layout",
                                      "light_color_tablayout",
                                      "deng_7audiocolor_check",
                                      "audio_BkColor_check",
                                      "audio_FgColor_check",
                                      "deng_audioedit_R",
                                      "deng_audioedit_G",
                                      "deng_audioedit_B",
                                      "deng_audioColor_Pallet",
                                      "deng_audiocolordp_btn",
                                      "light_audiocolor_layout",
                                      "audiocolorpallet_layout",
                                      "audiocolor_option_0",
                                      "audiocolor_option_11",
                                      "custom_bright_color_btn",
                                      "custom_off_color_btn"};

class LightControlTest : public ::testing::Test {
 protected:
  LightControlTest() : loader_(SkinFolder()) {
    RegisterCustomControls(loader_);
    RegisterEditorControls(loader_);
  }
  void SetUp() override {
    std::string error;
    panel_.reset(
        qobject_cast<CLightControlUI*>(loader_.LoadSkin(kLightControlSkin, nullptr, &error)));
    ASSERT_NE(panel_, nullptr) << error;
    EXPECT_TRUE(loader_.unknownTags().empty());
    panel_->SetDeviceKind(kKeyboard);
    std::vector<LightModeItem> modes;
    for (int i = 0; i < 35; ++i) modes.push_back({QString("Effect %1").arg(i), true});
    panel_->FillModeList(modes, 4, 4);
    panel_->FillZzccModeList({"Z0", "Z1", "Z2", "Z3"});
    panel_->FillCustomTableList({"Table 1", "Table 2", "Table 3"});
    panel_->FillAudioModeList({"Music 0", "Music 1", "Music 2", "Music 3"});
    panel_->resize(1000, 190);
  }
  void TearDown() override { SetLanguageTexts({}); }

  QWidget* Find(const char* name) const { return ui::FindControl(panel_.get(), name); }
  // Whether the control would be seen once the panel is.
  bool Shown(const char* name) const {
    QWidget* control = Find(name);
    return control != nullptr && control->isVisibleTo(panel_.get());
  }
  bool Enabled(const char* name) const {
    QWidget* control = Find(name);
    return control != nullptr && control->isEnabled();
  }

  ui::SkinLoader loader_;
  std::unique_ptr<CLightControlUI> panel_;
};

TEST_F(LightControlTest, TheSkinHoldsEveryNamedControl) {
  for (const char* name : kNamedControls) EXPECT_NE(Find(name), nullptr) << name;
  EXPECT_NE(qobject_cast<CColorPaletteUI*>(Find("deng_Color_Pallet")), nullptr);
  EXPECT_NE(qobject_cast<CColorPaletteUI*>(Find("deng_audioColor_Pallet")), nullptr);
  EXPECT_NE(qobject_cast<QStackedWidget*>(Find("light_color_tablayout")), nullptr);
  EXPECT_EQ(qobject_cast<QStackedWidget*>(Find("light_color_tablayout"))->count(), 2);
  EXPECT_EQ(ui::Maximum(Find("deng_speed_slider")), 4);
  // The direction checks and the two music colour checks are exclusive pairs of their own.
  auto* forward = qobject_cast<QAbstractButton*>(Find("deng_FXL_check"));
  auto* background = qobject_cast<QAbstractButton*>(Find("audio_BkColor_check"));
  ASSERT_TRUE(forward && background);
  ASSERT_NE(forward->group(), nullptr);
  EXPECT_EQ(forward->group(), qobject_cast<QAbstractButton*>(Find("deng_FXR_check"))->group());
  EXPECT_NE(forward->group(), background->group());
  // Presets carry their colour as their background; the colour edits take digits only.
  EXPECT_EQ(panel_->GetPresetColour(0), 0xFFFF0000u);
  EXPECT_EQ(panel_->GetPresetColour(11), 0xFFFFFFFFu);
  EXPECT_EQ(panel_->GetPresetColour(12), 0u);
  panel_->ensurePolished();
  EXPECT_TRUE(ui::IsDigitsOnly(Find("deng_edit_G")));
  EXPECT_TRUE(ui::IsDigitsOnly(Find("deng_audioedit_B")));
}

TEST_F(LightControlTest, ShownStateReadsBack) {
  // Keyboard mode 6, brightness 3, speed 1, backward; multicolour, colour (12, 200, 255); ZZCC 2,
  // custom table 1.
  const LightWords words = {0x00010306u, 0xFFC80C01u, 0x02000000u, 0x00000001u, 0};
  panel_->ShowLightState(words);
  EXPECT_EQ(panel_->GetMode(), 6);
  EXPECT_EQ(ui::ComboIndex(Find("light_combo_modeSelect")), 6);
  EXPECT_EQ(panel_->GetBrightness(), 3);
  EXPECT_EQ(panel_->GetSpeed(), 1);
  EXPECT_FALSE(panel_->GetDirection());
  EXPECT_TRUE(ui::IsChecked(Find("deng_FXR_check")));
  EXPECT_TRUE(panel_->GetMulticolour());
  EXPECT_EQ(panel_->GetColourText(ColourComponent::kRed), "12");
  EXPECT_EQ(panel_->GetColourText(ColourComponent::kGreen), "200");
  EXPECT_EQ(panel_->GetColourText(ColourComponent::kBlue), "255");
  EXPECT_EQ(panel_->GetShownColour(), 0xFF0CC8FFu);
  // The palette works in hue, saturation and brightness; it comes within a step of the colour.
  const uint32_t palette = panel_->GetPaletteColour();
  for (int shift : {0, 8, 16}) {
    EXPECT_NEAR(static_cast<int>((palette >> shift) & 0xFF),
                static_cast<int>((0xFF0CC8FFu >> shift) & 0xFF), 3);
  }
  EXPECT_EQ(panel_->GetZzccMode(), 2);
  EXPECT_EQ(panel_->GetCustomTable(), 1);

  panel_->ShowLightState({0x01000001u, 0x00000000u, 0, 0, 0});
  EXPECT_TRUE(panel_->GetDirection());
  EXPECT_FALSE(ui::IsChecked(Find("deng_FXR_check")));
  EXPECT_FALSE(panel_->GetMulticolour());
  EXPECT_EQ(panel_->GetColourText(ColourComponent::kRed), "0");
  EXPECT_EQ(panel_->GetShownColour(), 0xFF000000u);
}

TEST_F(LightControlTest, SettingFromCodeRaisesNothing) {
  ui::Notifier notifier(panel_.get());
  std::vector<std::string> seen;
  notifier.AddHandler([&](const ui::Notification& n) { seen.push_back(n.type + " " + n.name); });
  panel_->show();
  seen.clear();  // "windowinit"
  panel_->ShowLightState({0x01020305u, 0x00102030u, 0x03000000u, 2, 0});
  panel_->SelectMode(17);
  panel_->SetDirection(false);
  panel_->ShowColour(0xFF00FF00u);
  panel_->SetAudioLight(0x00FF0001u, 0x0100FF00u, true);
  EXPECT_TRUE(seen.empty()) << seen.front();
  // The user's own changes still tell.
  panel_->SelectMode(1);
  qobject_cast<QAbstractButton*>(Find("deng_FXL_check"))->click();
  EXPECT_NE(std::find(seen.begin(), seen.end(), "selectchanged deng_FXL_check"), seen.end());
}

// Selecting keyboard mode 17 hides the speed group and shows the ZZCC combo; mode 5 afterwards
// shows the speed group again.
TEST_F(LightControlTest, KeyboardModesSwitchTheGroups) {
  panel_->SelectMode(17);
  EXPECT_FALSE(Shown("deng_speed_layout"));
  EXPECT_TRUE(Shown("light_combo_ZZCCmodeSelectLayout"));
  EXPECT_FALSE(Enabled("light_color_layout"));
  EXPECT_FALSE(Enabled("deng_edit_R"));  // inside the disabled colour block
  panel_->SelectMode(5);
  EXPECT_TRUE(Shown("deng_speed_layout"));
  EXPECT_TRUE(Enabled("deng_speed_layout"));
  EXPECT_FALSE(Shown("light_combo_ZZCCmodeSelectLayout"));
  EXPECT_TRUE(Enabled("deng_edit_R"));
  EXPECT_FALSE(Enabled("deng_fx_layout"));
  panel_->SelectMode(20);
  EXPECT_TRUE(Shown("lightcustom_layout"));
  EXPECT_TRUE(Shown("custom_bright_color_btn"));
  EXPECT_FALSE(Enabled("deng_7color_check"));
  EXPECT_TRUE(Enabled("deng_color_layout"));
  panel_->SelectMode(29);
  EXPECT_FALSE(Shown("lightcustom_layout"));
  EXPECT_TRUE(Shown("light_combo_AudiomodeSelectLayout"));
  EXPECT_EQ(ui::CurrentPage(Find("light_color_tablayout")), kMusicColourPage);
}

// With one device attached "deng_same_mode" never shows; with two it shows for keyboard mode 5
// but not for mode 1.
TEST_F(LightControlTest, ApplyToAllOnlyWithSeveralDevices) {
  panel_->SelectMode(5);
  EXPECT_FALSE(Shown("deng_same_mode"));
  panel_->SetMultiDevice(true);
  EXPECT_TRUE(Shown("deng_same_mode"));
  panel_->SelectMode(1);
  EXPECT_FALSE(Shown("deng_same_mode"));
  panel_->SelectMode(5);
  EXPECT_TRUE(Shown("deng_same_mode"));
  panel_->SetMultiDevice(false);
  EXPECT_FALSE(Shown("deng_same_mode"));
}

// On a mouse, mode 11 switches the colour tab layout to its second page and shows the music combo.
TEST_F(LightControlTest, MouseMusicModeShowsTheMusicColours) {
  panel_->SetDeviceKind(kMouse);
  panel_->SelectMode(2);
  EXPECT_EQ(ui::CurrentPage(Find("light_color_tablayout")), kFixedColourPage);
  EXPECT_FALSE(Shown("light_combo_AudiomodeSelectLayout"));
  panel_->SelectMode(11);
  EXPECT_EQ(ui::CurrentPage(Find("light_color_tablayout")), kMusicColourPage);
  EXPECT_TRUE(Shown("light_combo_AudiomodeSelectLayout"));
  EXPECT_FALSE(Shown("deng_speed_layout"));
  panel_->SetMultiDevice(true);
  EXPECT_FALSE(Shown("deng_same_mode"));
}

TEST_F(LightControlTest, DirectionTextsFollowTheModeAndTheLanguage) {
  SetLanguageTexts({{"light_set_clockwise_text", "Clockwise"},
                    {"light_set_anticlockwise_text", "Anticlockwise"},
                    {"light_set_right_to_left_text", "Right to left"}});
  panel_->SelectMode(3);
  EXPECT_EQ(ui::Text(Find("deng_FXL_check")), "Clockwise");
  EXPECT_EQ(ui::Text(Find("deng_FXR_check")), "Anticlockwise");
  EXPECT_EQ(Find("deng_FXR_check")->property(kTextIdProperty).toString(),
            "light_set_anticlockwise_text");
  // A language change shows the ids' texts in the new language.
  SetLanguageTexts({{"light_set_clockwise_text", "顺时针"}});
  ApplyTextIds(panel_.get());
  EXPECT_EQ(ui::Text(Find("deng_FXL_check")), "顺时针");
  panel_->SelectMode(1);
  EXPECT_EQ(Find("deng_FXL_check")->property(kTextIdProperty).toString(),
            "light_set_right_to_left_text");
}

TEST_F(LightControlTest, HiddenModesKeepTheirPlace) {
  panel_->FillModeList({{"a", true}, {"b", false}, {"c", true}}, 3, 2);
  auto* combo = qobject_cast<QComboBox*>(Find("light_combo_modeSelect"));
  ASSERT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->itemText(2), "c");
  EXPECT_TRUE(qobject_cast<QListView*>(combo->view())->isRowHidden(1));
  EXPECT_FALSE(qobject_cast<QStandardItemModel*>(combo->model())->item(1)->isEnabled());
  EXPECT_FALSE(qobject_cast<QListView*>(combo->view())->isRowHidden(2));
  EXPECT_EQ(ui::Maximum(Find("deng_light_slider")), 3);
  EXPECT_EQ(ui::Maximum(Find("deng_speed_slider")), 2);
  panel_->SetSpeed(9);
  EXPECT_EQ(panel_->GetSpeed(), 2);
}

TEST_F(LightControlTest, MusicBlockShowsTheColourBeingEdited) {
  // Mode 2, background (10, 20, 30); foreground (40, 50, 60), multicolour.
  ASSERT_TRUE(panel_->SetAudioLight(0x1E140A02u, 0x013C3228u, true));
  EXPECT_EQ(ui::ComboIndex(Find("light_combo_audiomodeSelect")), 2);
  EXPECT_TRUE(ui::IsChecked(Find("audio_FgColor_check")));
  EXPECT_FALSE(ui::IsChecked(Find("audio_BkColor_check")));
  EXPECT_TRUE(Enabled("deng_7audiocolor_check"));
  EXPECT_TRUE(ui::IsChecked(Find("deng_7audiocolor_check")));
  EXPECT_EQ(ui::Text(Find("deng_audioedit_G")), "50");
  EXPECT_EQ(ui::BackgroundColour(Find("deng_audiocolordp_btn")), 0xFF28323Cu);
  EXPECT_TRUE(Enabled("light_audiocolor_layout"));

  // The background: no multicolour; music mode 3 uses no colours at all.
  ASSERT_TRUE(panel_->SetAudioLight(0x1E140A03u, 0x003C3228u, false));
  EXPECT_TRUE(ui::IsChecked(Find("audio_BkColor_check")));
  EXPECT_FALSE(ui::IsChecked(Find("audio_FgColor_check")));
  EXPECT_FALSE(Enabled("deng_7audiocolor_check"));
  EXPECT_EQ(ui::Text(Find("deng_audioedit_R")), "10");
  EXPECT_FALSE(Enabled("light_audiocolor_layout"));
  EXPECT_FALSE(Enabled("audiocolorpallet_layout"));

  // Read back: the checks decide what is edited; storing takes the button's colour into it.
  ui::SetChecked(Find("audio_FgColor_check"), true);
  ui::SetBackgroundColour(Find("deng_audiocolordp_btn"), 0xFF010203u);
  const std::optional<AudioLight> read = panel_->GetAudioLight(true);
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE(read->editingForeground);
  EXPECT_EQ(read->foreground, (std::array<uint8_t, 3>{1, 2, 3}));
  EXPECT_EQ(read->background, (std::array<uint8_t, 3>{10, 20, 30}));
  EXPECT_EQ(read->mode, 3);
  EXPECT_EQ(read->ModeWord(), 0x1E140A03u);
  const std::optional<AudioLight> unstored = panel_->GetAudioLight(false);
  ASSERT_TRUE(unstored.has_value());
  EXPECT_EQ(unstored->foreground, (std::array<uint8_t, 3>{1, 2, 3}));
}

// A skin with only some of the controls: the panel skips what is missing, except in the music
// block, which reports the missing control.
TEST(LightControlWithoutControls, MissingControlsAreSkipped) {
  ui::SkinLoader loader(SkinFolder());
  RegisterCustomControls(loader);
  RegisterEditorControls(loader);
  const QByteArray document(R"(<ui version="4.0"><widget class="LightControl" name="light">
      <widget class="QComboBox" name="light_combo_modeSelect"/>
      <widget class="QWidget" name="deng_speed_layout"/>
      <widget class="QComboBox" name="light_combo_audiomodeSelect"/>
     </widget></ui>)");
  std::unique_ptr<QWidget> root(loader.LoadSkinData(document, SkinFolder(), nullptr, nullptr));
  auto* panel = qobject_cast<CLightControlUI*>(root.get());
  ASSERT_NE(panel, nullptr);
  panel->SetDeviceKind(kKeyboard);
  panel->FillModeList({{"a"}, {"b"}}, 4, 4);
  panel->ShowLightState({0x01020301u, 0x01FFFFFFu, 0, 0, 0});
  EXPECT_EQ(panel->GetMode(), 1);
  EXPECT_EQ(panel->GetBrightness(), 0);
  EXPECT_EQ(panel->GetColourText(ColourComponent::kRed), "");
  EXPECT_EQ(panel->GetPaletteColour(), 0u);
  EXPECT_EQ(panel->GetZzccMode(), -1);
  // A mode beyond the list still decides the groups.
  panel->SelectMode(17);
  EXPECT_FALSE(ui::FindControl(panel, "deng_speed_layout")->isVisibleTo(panel));
  EXPECT_EQ(panel->GetMode(), 17);

  EXPECT_FALSE(panel->SetAudioLight(0x00000002u, 0, true));
  EXPECT_EQ(panel->lastFailure(), kSetAudioLightFailure);
  EXPECT_EQ(panel->audioLight().mode, 2);
  EXPECT_EQ(ui::ComboIndex(ui::FindControl(panel, "light_combo_audiomodeSelect")), -1);
  EXPECT_FALSE(panel->GetAudioLight(true).has_value());
  EXPECT_EQ(panel->lastFailure(), kGetAudioLightFailure);
}

// Device panels hold the editor through the sub-tree tag.
TEST(LightControlInAPanel, TheSubTreeTagBuildsThePanel) {
  ui::SkinLoader loader(SkinFolder());
  RegisterCustomControls(loader);
  RegisterEditorControls(loader);
  const QByteArray document(R"(<ui version="4.0"><widget class="QWidget" name="device">
      <widget class="QStackedWidget" name="pages">
       <widget class="QWidget" name="light_page">
        <layout class="QVBoxLayout" name="light_page_layout">
         <item><widget class="LightSetControlUI" name="LightControlItem"/></item>
        </layout>
       </widget>
      </widget>
     </widget></ui>)");
  std::string error;
  std::unique_ptr<QWidget> root(loader.LoadSkinData(document, SkinFolder(), nullptr, &error));
  ASSERT_NE(root, nullptr) << error;
  EXPECT_TRUE(loader.subTreeErrors().empty());
  CLightControlUI* panel = FindLightControl(root.get());
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->objectName(), "LightControlItem");
  EXPECT_EQ(ui::ControlClassName(panel), kLightControlClass);
  EXPECT_EQ(panel->parentWidget(), ui::FindControl(root.get(), "light_page"));
  EXPECT_NE(ui::FindControl(panel, "deng_Color_Pallet"), nullptr);
  EXPECT_EQ(FindLightControl(panel), panel);
  EXPECT_EQ(FindLightControl(nullptr), nullptr);
}

// The English texts, read as the language layer reads them.
std::map<std::string, std::string> EnglishTexts() {
  std::map<std::string, std::string> texts;
  QFile file(QString(VARKON_SOURCE_DIR) + "/resources/DefaultData/lan_en.xml");
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader reader(&file);
  while (reader.readNextStartElement() || !reader.atEnd()) {
    if (reader.isStartElement() && reader.name() == QLatin1String("Text")) {
      const std::string id = reader.attributes().value("id").toString().toStdString();
      texts[id] = reader.readElementText().toStdString();
    }
  }
  return texts;
}

// Pictures of the panel in a few modes, under the build folder, to be looked at.
TEST_F(LightControlTest, Render) {
  SetLanguageTexts(EnglishTexts());
  const QString folder = QString(VARKON_BINARY_DIR) + "/editor-render";
  QDir().mkpath(folder);
  struct Shot {
    const char* file;
    int kind;
    LightWords words;
    bool multiDevice;
  };
  const Shot shots[] = {
      {"light_keyboard_wave.png", kKeyboard, {0x01030401u, 0x0000A0FFu, 0, 0, 0}, false},
      {"light_keyboard_breathing_multi.png", kKeyboard, {0x00020405u, 0x0060FF01u, 0, 0, 0}, true},
      {"light_keyboard_custom.png", kKeyboard, {0x00000414u, 0x00FF0030u, 0, 0, 0}, false},
      {"light_keyboard_zzcc.png", kKeyboard, {0x00020411u, 0, 0x02000000u, 0, 0}, false},
      {"light_keyboard_ring.png", kKeyboard, {0x00030412u, 0, 0, 0, 0}, false},
      {"light_mouse_music.png", kMouse, {0x0000040Bu, 0x0000FF40u, 0, 0, 0}, false},
  };
  for (const Shot& shot : shots) {
    SetUp();  // a fresh panel: a real one belongs to one device kind
    QWidget band;
    band.setObjectName("band");
    band.setStyleSheet("QWidget#band { background-color: #15191E; }");
    band.resize(1000, 190);
    panel_->setParent(&band);
    panel_->setGeometry(0, 0, 1000, 190);
    ApplyTextIds(panel_.get());
    panel_->SetDeviceKind(shot.kind);
    panel_->SetMultiDevice(shot.multiDevice);
    panel_->ShowLightState(shot.words);
    panel_->SetAudioLight(0x30FF0001u, 0x0000C0FFu, false);
    band.show();
    QCoreApplication::processEvents();
    const QImage image = band.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(folder + "/" + shot.file)) << shot.file;
    panel_->setParent(nullptr);  // owned by the fixture
  }
}

}  // namespace
}  // namespace varkon
