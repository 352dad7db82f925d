// The mouse's DPI page as a user meets it: the program with the emulated mouse, on its cable or
// through its receiver; stages dragged, typed, chosen and switched off, the report rate picked,
// each checked in the emulated mouse's settings record and in the profile file.
#include <gtest/gtest.h>
#include <json/value.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QSlider>
#include <QTimer>

#include "app/color_select_wnd.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/startup.h"
#include "app_test_support.h"
#include "core/json_file.h"
#include "core/json_text.h"
#include "devices/evdev_scan_codes.h"
#include "devices/logic/mouse_record.h"
#include "devices/panels/mouse_device.h"
#include "editors/key_set_control.h"
#include "editors/macro_control.h"
#include "editors/shoot_control.h"
#include "emulator/emulated_rig.h"
#include "keyboard_program.h"
#include "platform/ui/control_style.h"
#include "platform/ui/language_text.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

class MouseEndToEnd : public test::ProgramTest {
 protected:
  void Start(const std::vector<std::string>& args) {
    ProgramTest::Start(args);
    if (HasFatalFailure()) return;
    // The panel stays the same object while its item hides (a sleeping mouse) and shows again.
    device_ = Mouse();
    window_->show();
    ASSERT_EQ(Ask("ui click cursor_Op_tab"), "ok");
  }
  bool Ready() override {
    if (!waitForMouse_) return true;
    CTarnwiseMouseDevice* mouse = Mouse();
    return mouse && mouse->Mouse().Discovered() && mouse->Mouse().Jobs().Pending() == 0;
  }
  // The mouse's own panel when known: its item may be hidden while the mouse sleeps.
  size_t JobsPending() override {
    CTarnwiseMouseDevice* mouse = device_ ? device_.data() : Mouse();
    return mouse ? mouse->Mouse().Jobs().Pending() : 0;
  }
  CTarnwiseMouseDevice* Mouse() const {
    return window_ ? qobject_cast<CTarnwiseMouseDevice*>(window_->CurrentDevice()) : nullptr;
  }
  std::vector<uint8_t> Record() {
    const std::vector<uint8_t> memory =
        program_->rig()->Firmware(EmulatedKind::Mouse).Memory(MemoryArea::Settings);
    return {memory.begin(), memory.begin() + kMouseRecordSize};
  }
  static int Step(const std::vector<uint8_t>& record, int stage) {
    return record[mouse_record::kStages + 9 * stage + 2] |
           record[mouse_record::kStages + 9 * stage + 3] << 8;
  }
  Json::Value Stages() {
    const std::string path = device_->Logic().Profiles().CurrentProfileFilePath();
    return ReadJsonFile(path)["Device"][0]["DPIStages"];
  }
  // Runs `action`, answers the message box it opens with `answer` and returns its text.
  std::string AnswerMessage(const std::string& action, const std::string& answer) {
    return ActThenAnswer(action, {{"ui", "answer", answer}})["text"].asString();
  }
  // Runs `action`, which must open no window.
  void ActWithoutQuestion(const std::string& action) {
    EXPECT_EQ(Ask(action), "ok") << action;
    EXPECT_FALSE(AskJson("ui message").isMember("text")) << action;
  }
  AssignmentCode TableCode(int button) {
    const size_t p = device_->Mouse().Positions()[static_cast<size_t>(button)];
    const std::vector<uint8_t> table =
        program_->rig()->Firmware(EmulatedKind::Mouse).Memory(MemoryArea::KeyTableA);
    return {table[3 * p], table[3 * p + 1], table[3 * p + 2]};
  }
  template <typename T>
  T* Control(const std::string& name) {
    return device_->findChild<T*>(QString::fromStdString(name));
  }

  QPointer<CTarnwiseMouseDevice> device_;
  bool waitForMouse_ = true;
};

// The same user steps on the mouse's cable and through its receiver alone.
class MouseOnEachLink : public MouseEndToEnd, public ::testing::WithParamInterface<const char*> {
 protected:
  void StartOnLink() { Start({"--simulate", GetParam(), "--latency", "0"}); }
  // The identity the mouse's notices come through.
  EmulatedKind Identity() const {
    return std::string(GetParam()) == "receiver" ? EmulatedKind::Receiver : EmulatedKind::Mouse;
  }
  // A picture per link.
  void Render(const std::string& name) {
    window_->resize(kFittedWidth, kFittedHeight);
    Settle();
    QDir().mkpath(VARKON_BINARY_DIR "/app-render");
    window_->grab().toImage().save(QString::fromStdString(
        std::string(VARKON_BINARY_DIR) + "/app-render/" + name + "_" + GetParam() + ".png"));
  }
};

INSTANTIATE_TEST_SUITE_P(CableAndReceiver, MouseOnEachLink, ::testing::Values("mouse", "receiver"));

// Every change on the DPI page reaches the mouse's record and the profile, and the page shows
// the mouse's own DPI scale (its sensor takes 200-DPI steps above step 48).
TEST_P(MouseOnEachLink, TheDpiPageWritesStagesAndReportRate) {
  StartOnLink();
  auto* slider = Control<QSlider>("DPI_slider_1");
  ASSERT_NE(slider, nullptr);
  EXPECT_EQ(slider->maximum(), 118);  // what the mouse reported

  ASSERT_EQ(Ask("ui set DPI_slider_1 49"), "ok");
  EXPECT_EQ(Control<QLineEdit>("DPI_edit_1")->text(), "5200");
  EXPECT_EQ(Step(Record(), 1), 49);
  EXPECT_EQ(Stages()["StageDPIs"][1]["StageDPIX"].asInt(), 49);

  // Typing 5400 on this sensor gives step 49 again, shown as 5200; 640 gives step 4.
  ASSERT_EQ(Ask("ui set DPI_edit_2 5400"), "ok");
  EXPECT_EQ(Control<QLineEdit>("DPI_edit_2")->text(), "5200");
  EXPECT_EQ(Step(Record(), 2), 49);
  ASSERT_EQ(Ask("ui set DPI_edit_2 640"), "ok");
  EXPECT_EQ(Control<QLineEdit>("DPI_edit_2")->text(), "600");
  EXPECT_EQ(Step(Record(), 2), 4);

  // The stage in use: its option is set, its switch cannot turn it off.
  ASSERT_EQ(Ask("ui check DPI_select_check_3 on"), "ok");
  EXPECT_EQ(Record()[mouse_record::kSelectedStage], 3);
  EXPECT_EQ(Stages()["StageActive"].asInt(), 3);
  EXPECT_FALSE(Control<QAbstractButton>("DPI_enable_check_3")->isEnabled());
  EXPECT_TRUE(Control<QSlider>("DPI_slider_3")->property("selectedstage").toBool());
  EXPECT_FALSE(Control<QSlider>("DPI_slider_1")->property("selectedstage").toBool());

  // Switching stages off: the last one on keeps its switch disabled.
  for (int i : {0, 1, 2, 4}) {
    ASSERT_EQ(Ask("ui click DPI_enable_check_" + std::to_string(i)), "ok") << i;
    EXPECT_EQ(Record()[mouse_record::kStages + 9 * i], 0) << i;
    EXPECT_FALSE(Control<QWidget>("DPI_layout_" + std::to_string(i))->isEnabled()) << i;
  }
  EXPECT_EQ(Record()[mouse_record::kStages + 9 * 3], 1);
  EXPECT_EQ(Stages()["StageDPIs"][0]["StageActive"].asInt(), 0);
  ASSERT_EQ(Ask("ui click DPI_enable_check_0"), "ok");
  EXPECT_EQ(Record()[mouse_record::kStages], 1);

  ASSERT_EQ(Ask("ui click polling_rate_option_4"), "ok");
  EXPECT_EQ(Record()[mouse_record::kReportRate], 4);
  EXPECT_EQ(Mouse()->Mouse().ReportRate(), 4);
  EXPECT_TRUE(Control<QAbstractButton>("polling_rate_option_4")->isChecked());

  Render("mouse_dpi");

  // The mouse's own DPI button chose stage 0 (0x11, stage 0, profile 0): the page follows and
  // the profile keeps it.
  program_->rig()->SendNotice(Identity(), 0x1100);
  ASSERT_TRUE(test::WaitUntil(
      [&] { return Control<QAbstractButton>("DPI_select_check_0")->isChecked(); }, 5s));
  EXPECT_EQ(Stages()["StageActive"].asInt(), 0);
  ASSERT_EQ(Ask("ui check DPI_select_check_3 on"), "ok");

  // A restart shows what the profile holds.
  program_.reset();
  StartOnLink();
  EXPECT_EQ(Control<QSlider>("DPI_slider_1")->value(), 49);
  EXPECT_TRUE(Control<QAbstractButton>("DPI_select_check_3")->isChecked());
  EXPECT_FALSE(Control<QWidget>("DPI_layout_2")->isEnabled());
  EXPECT_TRUE(Control<QAbstractButton>("polling_rate_option_4")->isChecked());
}

// The lighting editor beside the mouse picture: its choices reach the mouse's settings record.
TEST_P(MouseOnEachLink, TheLightingEditorWritesTheMouseRecord) {
  StartOnLink();
  ASSERT_EQ(Ask("ui click deng_Op_tab"), "ok");
  ASSERT_TRUE(Control<QWidget>("light_combo_modeSelect")->isVisible());
  const std::vector<int>& values = device_->Logic().NameLists().lightModeValues;
  ASSERT_GT(values.size(), 3u);
  ASSERT_EQ(Ask("ui select light_combo_modeSelect 3"), "ok");  // static
  ASSERT_EQ(Ask("ui set deng_light_slider 2"), "ok");
  ASSERT_EQ(Ask("ui set deng_edit_R 18"), "ok");
  ASSERT_EQ(Ask("ui set deng_edit_B 86"), "ok");
  const std::vector<uint8_t> record = Record();
  EXPECT_EQ(record[mouse_record::kEffect], values[3]);
  EXPECT_EQ(record[mouse_record::kBrightness], 2);
  EXPECT_EQ(record[mouse_record::kRed], 18);
  EXPECT_EQ(record[mouse_record::kBlue], 86);
  // The stages stay as they were.
  EXPECT_EQ(record[mouse_record::kStages], 1);
  // The logo names the effect playing.
  const std::string effect = device_->ModeNames().at(3);
  EXPECT_TRUE(test::WaitUntil(
      [&] {
        return Control<QWidget>("light_14")->toolTip().toStdString().find(effect) !=
               std::string::npos;
      },
      5s));
  Render("mouse_lighting");
}

// A stage's colour from the colour dialog: a preset, then a typed green, collected into a
// swatch that the next opening shows; cancelling changes nothing on the mouse.
TEST_F(MouseEndToEnd, TheColourDialogGivesAStageItsColourAndKeepsCollectedOnes) {
  Start({"--simulate", "mouse", "--latency", "0"});
  ASSERT_EQ(Ask("ui click cursor_Op_tab"), "ok");
  InModal("ui click DPI_color_option_1",
          {"ui check collect_color_option_2 on", "ui check color_option_0 on",
           "ui set color_edit_g 300", "ui click okbtn"});
  std::vector<uint8_t> record = Record();
  const size_t colour = mouse_record::kStages + 9 + 6;
  EXPECT_EQ(record[colour], 0xFF);
  EXPECT_EQ(record[colour + 1], 0xFF);  // 300 typed, 255 taken
  EXPECT_EQ(record[colour + 2], 0x00);
  EXPECT_EQ(Stages()["StageDPIs"][1]["StageColorG"].asInt(), 255);
  const Json::Value saved =
      ReadJsonFile(dir_.File("data") + "/Varkon Korvu Wired/color_option_info.config");
  EXPECT_EQ(saved["coloroptioninfo"]["palletDialogcollectcoloroption"][2]["color"].asString(),
            "FFFFFF00");
  EXPECT_EQ(saved["coloroptioninfo"]["palletDialogcoloroption_selectitem"].asInt(), 0);

  // Opened again: the collected colour is there, nothing collected is selected; cancelled.
  InModal("ui click DPI_color_option_1", {"ui check color_option_8 on", "ui click laterbtn"},
          [](QWidget* modal) {
            auto* dialog = qobject_cast<CColorSelectWnd*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->CollectIndex(), -1);
            EXPECT_EQ(ui::BackgroundColour(dialog->Control("collect_color_option_2")), 0xFFFFFF00u);
            EXPECT_EQ(dialog->GetCurrentColour(), 0xFFFFFF00u);
            QDir().mkpath(VARKON_BINARY_DIR "/app-render");
            dialog->grab().toImage().save(VARKON_BINARY_DIR "/app-render/colour_dialog.png");
          });
  EXPECT_EQ(Record()[colour + 2], 0x00);
}

// The recoil panel: a bullet edited and saved to its gun's file when an edit is left, the four
// guns written to the recoil memory, a gun reset, exported and imported.
TEST_P(MouseOnEachLink, TheRecoilPanelEditsBulletsAndWritesTheRecoilMemory) {
  StartOnLink();
  ASSERT_EQ(Ask("ui click magic_Op_tab"), "ok");
  CShootControlUI* panel = FindShootControl(device_);
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(Control<QWidget>("bullet_x_eidt")->isVisible());
  const std::string folder = device_->Logic().Folders().dataFolder;
  const auto file = [&](int gun) {
    return ReadJsonFile(folder + "/ShootData_" + std::to_string(gun) + ".Shoot");
  };
  ASSERT_EQ(file(0)["Events"].size(), 180u);  // the default copy, made at start

  // Bullet 1: left 12, down 30, wait 80. A direction check changes only its caption.
  ASSERT_EQ(Ask("ui check bullet_x_check on"), "ok");
  EXPECT_EQ(Control<QAbstractButton>("bullet_x_check")->text().toStdString(),
            LanguageText("mouse_move_to_left_text"));
  ASSERT_EQ(Ask("ui check bullet_y_check off"), "ok");
  ASSERT_EQ(Ask("ui set bullet_x_eidt 12"), "ok");
  ASSERT_EQ(Ask("ui set bullet_y_eidt 30"), "ok");
  ASSERT_EQ(Ask("ui set bullet_delay_eidt 80"), "ok");
  const Json::Value events = file(0)["Events"];
  EXPECT_EQ(events[2]["Action"].asString(), "down");
  EXPECT_EQ(events[2]["Button"].asInt(), 12);
  EXPECT_EQ(events[3]["Action"].asString(), "up");
  EXPECT_EQ(events[3]["Delay"].asInt(), 80);

  ASSERT_EQ(Ask("ui click shootdate_save_btn"), "ok");
  const std::vector<uint8_t> memory =
      program_->rig()->Firmware(EmulatedKind::Mouse).Memory(MemoryArea::RecoilMemory);
  EXPECT_EQ(memory[0], 0xAA);
  EXPECT_EQ(memory[2] | memory[3] << 8, 2920);
  const std::vector<uint8_t> bullet(memory.begin() + 28, memory.begin() + 52);  // gun 0, bullet 1
  EXPECT_EQ(bullet, (std::vector<uint8_t>{0x0A, 0x00, 0x81, 0x01, 0x00, 0x00, 0x01, 0x01,
                                          0x05, 0x00, 0x84, 0x0C, 0x50, 0x00, 0x05, 0x1E,
                                          0x00, 0x00, 0x84, 0x00, 0x00, 0x00, 0x05, 0x00}));

  // The last bullet stays the last; another gun shows its own bullet.
  ASSERT_EQ(Ask("ui check bullet_op_29 on"), "ok");
  ASSERT_EQ(Ask("ui click bullet_selected_next"), "ok");
  EXPECT_EQ(panel->CurrentBullet(), 29);
  ASSERT_EQ(Ask("ui check bullet_op_0 on"), "ok");
  ASSERT_EQ(Ask("ui check shoot_gun_op_1 on"), "ok");
  EXPECT_EQ(panel->CurrentGun(), 1);
  EXPECT_NE(Control<QLineEdit>("bullet_x_eidt")->text(), "12");

  // Gun 0 exported, reset to its default, imported back.
  ASSERT_EQ(Ask("ui check shoot_gun_op_0 on"), "ok");
  test::TempDir outside;
  const std::string exported = outside.File("gun.shoot");
  InModal("ui click shootdate_export_btn", {"ui answer-file " + exported});
  EXPECT_EQ(ReadJsonFile(exported)["Events"][2]["Button"].asInt(), 12);
  ASSERT_EQ(Ask("ui click shootdate_reset_btn"), "ok");
  EXPECT_NE(file(0)["Events"][2]["Button"].asInt(), 12);
  InModal("ui click shootdate_import_btn", {"ui answer-file " + exported});
  EXPECT_EQ(file(0)["Events"][2]["Button"].asInt(), 12);
  EXPECT_EQ(Control<QLineEdit>("bullet_x_eidt")->text(), "12");
  Render("mouse_recoil");
}

// The System page keeps the pointer, wheel and double-click values in the profile.
TEST_F(MouseEndToEnd, TheSystemPageKeepsPointerWheelAndDoubleClick) {
  Start({"--simulate", "mouse", "--latency", "0"});
  ASSERT_EQ(Ask("ui click system_Op_tab"), "ok");
  const auto system = [&] {
    const std::string path = device_->Logic().Profiles().CurrentProfileFilePath();
    return ReadJsonFile(path)["Device"][0]["SystemStages"];
  };
  EXPECT_EQ(Control<QSlider>("pointer_speed_slider")->value(), 10);  // the factory profile's
  ASSERT_EQ(Ask("ui set pointer_speed_slider 15"), "ok");
  ASSERT_EQ(Ask("ui set double_click_slider 700"), "ok");
  ASSERT_EQ(Ask("ui set scroll_speed_slider 7"), "ok");
  ASSERT_EQ(Ask("ui click scrolls_page_check"), "ok");
  ASSERT_EQ(Ask("ui click pointer_precision_check"), "ok");
  Json::Value values = system();
  EXPECT_EQ(values["MouseSpeed"].asInt(), 15);
  EXPECT_EQ(values["DoubleClickTime"].asInt(), 700);
  EXPECT_EQ(values["WheelScorlllinse"].asInt(), 7);
  EXPECT_EQ(values["ScorllPage"].asInt(), 1);
  EXPECT_EQ(values["PointerPrecision"].asInt(), 0);
  // Moving the wheel slider goes back to lines.
  ASSERT_EQ(Ask("ui set scroll_speed_slider 5"), "ok");
  EXPECT_EQ(system()["ScorllPage"].asInt(), 0);
  EXPECT_FALSE(Control<QAbstractButton>("scrolls_page_check")->isChecked());
  // The report rate, in the same word, is untouched.
  EXPECT_EQ(device_->Mouse().ReportRate(), 0);
  window_->resize(kFittedWidth, kFittedHeight);
  Settle();
  QDir().mkpath(VARKON_BINARY_DIR "/app-render");
  window_->grab().toImage().save(VARKON_BINARY_DIR "/app-render/mouse_system.png");

  program_.reset();
  Start({"--simulate", "mouse", "--latency", "0"});
  EXPECT_EQ(Control<QSlider>("pointer_speed_slider")->value(), 15);
  EXPECT_EQ(Control<QSlider>("double_click_slider")->value(), 700);
  EXPECT_FALSE(Control<QAbstractButton>("pointer_precision_check")->isChecked());
}

// Through the receiver alone the page works the same; a sleeping mouse is not written to.
TEST_F(MouseEndToEnd, ThroughTheReceiverAndWhileTheMouseSleeps) {
  Start({"--simulate", "receiver", "--latency", "0"});
  // The battery as the mouse reports it (80 %), with the wireless mark.
  EXPECT_TRUE(test::WaitUntil(
      [&] { return AskJson("ui get device_power_value")["text"].asString() == "80%"; }, 10s));
  EXPECT_TRUE(AskJson("ui get device_wuxian_logo")["visible"].asBool());
  ASSERT_EQ(Ask("ui set DPI_slider_0 20"), "ok");
  EXPECT_EQ(Step(Record(), 0), 20);

  // While it sleeps the receiver's online check may hide the mouse's item at any moment, so the
  // panel's handlers are called directly (the routes call the same).
  program_->rig()->SetMouseReachable(false);
  device_->OnDpiSlider(0, 30);
  Settle();
  EXPECT_EQ(Step(Record(), 0), 20);
  EXPECT_TRUE(device_->Mouse().Asleep());
  // The change is kept in the profile, and the page says why it did not reach the mouse.
  EXPECT_EQ(Stages()["StageDPIs"][0]["StageDPIX"].asInt(), 30);
  EXPECT_FALSE(Control<QWidget>("dpi_asleep_hint")->isHidden());
  device_->OnDpiSelect(2);
  // A button and the recoil patterns written meanwhile.
  ASSERT_EQ(Ask("keys mouse set 4 0x20 0 0x05"), "ok");
  EXPECT_EQ(Ask("keys mouse write").rfind("error", 0), 0u);
  StatusCode recoil = kStatusOk;
  device_->Mouse().WriteRecoil([&](StatusCode status) { recoil = status; });
  Settle();
  EXPECT_EQ(recoil, kStatusUnreachable);
  VendorFirmware& firmware = program_->rig()->Firmware(EmulatedKind::Mouse);
  const auto recoilWritten = [&] { return firmware.Memory(MemoryArea::RecoilMemory)[0] == 0xAA; };
  EXPECT_FALSE(recoilWritten());
  EXPECT_EQ(Record()[mouse_record::kSelectedStage], 0);
  const AssignmentCode keyB{kAssignKeyboard, 0, 0x05};
  EXPECT_NE(TableCode(4), keyB);

  // The mouse wakes: the next online check sends what waited, without the user doing anything.
  program_->rig()->SetMouseReachable(true);
  ASSERT_TRUE(test::WaitUntil([&] { return Step(Record(), 0) == 30; }, 10s));
  EXPECT_EQ(Record()[mouse_record::kSelectedStage], 2);
  EXPECT_TRUE(test::WaitUntil([&] { return !device_->Mouse().Asleep(); }, 2s));
  EXPECT_TRUE(Control<QWidget>("dpi_asleep_hint")->isHidden());
  EXPECT_TRUE(test::WaitUntil([&] { return TableCode(4) == keyB; }, 10s));
  EXPECT_TRUE(test::WaitUntil(recoilWritten, 10s));
}

// A receiver plugged in while its mouse sleeps: the window says the device sleeps and how to
// wake it; when the mouse wakes its item comes, read from the mouse, with nothing done by hand.
TEST_F(MouseEndToEnd, AMouseAsleepWhenItsReceiverArrivesIsReadWhenItWakes) {
  waitForMouse_ = false;
  ProgramTest::Start({"--simulate", "keyboard", "--latency", "0"});
  ASSERT_FALSE(HasFatalFailure());
  window_->show();
  ASSERT_EQ(Ask("sim sleep"), "ok");
  ASSERT_EQ(Ask("sim unplug keyboard"), "ok");
  ASSERT_EQ(Ask("sim plug receiver"), "ok");
  const auto hint = [&] { return AskJson("ui get no_device_text"); };
  // (Between the keyboard going and the receiver coming the window has no device at all.)
  ASSERT_TRUE(test::WaitUntil(
      [&] {
        const Json::Value shown = hint();
        return shown["visible"].asBool() && shown["textId"].asString() == "device_asleep_text";
      },
      10s));
  EXPECT_EQ(Mouse(), nullptr);
  window_->resize(kFittedWidth, kFittedHeight);
  Settle();
  QDir().mkpath(VARKON_BINARY_DIR "/app-render");
  window_->grab().toImage().save(VARKON_BINARY_DIR "/app-render/mouse_asleep.png");

  ASSERT_EQ(Ask("sim wake"), "ok");
  ASSERT_TRUE(test::WaitUntil(
      [&] { return Mouse() && Mouse()->Mouse().Discovered() && !hint()["visible"].asBool(); },
      10s));
  device_ = Mouse();
  ASSERT_EQ(Ask("ui click cursor_Op_tab"), "ok");
  EXPECT_EQ(Control<QSlider>("DPI_slider_0")->maximum(), 118);  // what the mouse reported
  ASSERT_EQ(Ask("ui set DPI_slider_0 25"), "ok");
  EXPECT_EQ(Step(Record(), 0), 25);
}

// The macro panel beside the mouse picture: a macro recorded there, given to the forward button
// and written lands in the mouse's macro memory, and the button's entry of its key table plays
// it.
TEST_F(MouseEndToEnd, AMacroRecordedOnTheMouseAndGivenToAButton) {
  Start({"--simulate", "mouse", "--latency", "0"});
  ASSERT_EQ(Ask("ui click macro_Op_tab"), "ok");
  CMacroControlUI* panel = device_->MacroPanel();
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(panel->AddMacro());
  ASSERT_EQ(Ask("ui click macro_btn_starredio"), "ok");
  ASSERT_TRUE(window_->MacroRecording());
  for (bool press : {true, false}) {
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier,
                    30 + kWindowSystemKeyCodeOffset, 0, 0);
    QApplication::sendEvent(window_, &event);
  }
  ASSERT_EQ(Ask("ui click macro_btn_stopredio"), "ok");
  ASSERT_EQ(panel->ShownStepCount(), 2);
  window_->resize(kFittedWidth, kFittedHeight);
  Settle();
  QDir().mkpath(VARKON_BINARY_DIR "/app-render");
  window_->grab().toImage().save(VARKON_BINARY_DIR "/app-render/mouse_macros.png");

  const int forward = 3;
  ASSERT_EQ(Ask("keys mouse set " + std::to_string(forward) + " 0x70 0 0"), "ok");
  EXPECT_EQ(Ask("keys mouse set 3 0x70 0 0 --fn").rfind("error", 0), 0u);
  ASSERT_EQ(Ask("keys mouse write"), "ok");
  VendorFirmware& firmware = program_->rig()->Firmware(EmulatedKind::Mouse);
  const std::vector<uint8_t> macros = firmware.Memory(MemoryArea::MacroMemory);
  EXPECT_EQ(macros[0], 0xAA);
  EXPECT_EQ(macros[2] | macros[3] << 8, 16 + 6 + 4 * 2);
  EXPECT_EQ(macros[22 + 2], 0x8A);  // A down
  const size_t p = device_->Mouse().Positions()[forward];
  const std::vector<uint8_t> table = firmware.Memory(MemoryArea::KeyTableA);
  EXPECT_EQ(table[3 * p], 0x70);
  EXPECT_EQ(table[3 * p + 1], 0);
  // The other buttons keep their codes.
  const size_t left = device_->Mouse().Positions()[0];
  EXPECT_EQ(table[3 * left], 0x10);
  EXPECT_EQ(table[3 * left + 1], 0x01);
  const std::string path = device_->Logic().Profiles().CurrentProfileFilePath();
  EXPECT_EQ(ReadJsonFile(path)["Device"][0]["KeyList"][forward]["Assignment"].asInt(), 0x700000);
}

// A button remapped in the key editor beside the mouse picture and written with "Apply"; taking
// the left click away asks first and names the way back.
TEST_P(MouseOnEachLink, ButtonsRemappedInTheEditorKeepTheLeftClickUnlessConfirmed) {
  StartOnLink();
  ASSERT_EQ(Ask("ui click key_Op_tab"), "ok");
  CKeySetControlUI* editor = device_->KeyEditor();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(editor->isVisible());
  const std::string keyboardKey = "ui select keyset_function_combo " +
                                  std::to_string(editor->FunctionItemFor(kFunctionKeyboardKey));
  const AssignmentCode keyA{kAssignKeyboard, 0, 0x04};
  const AssignmentCode leftClick{kAssignMouseButton, 0x01, 0};

  // The forward button types "A".
  ASSERT_EQ(Ask("ui click key_3"), "ok");
  ASSERT_EQ(Ask(keyboardKey), "ok");
  ASSERT_EQ(Ask("ui click keyboard_key_58"), "ok");
  EXPECT_EQ(device_->KeyRecord(3).main.code, keyA);
  ActWithoutQuestion("ui click key_butt_prosave");
  EXPECT_EQ(TableCode(3), keyA);
  EXPECT_EQ(TableCode(0), leftClick);
  // The button's tooltip says what it does now; the left button's only names it.
  const QString tip = Control<QWidget>("key_3")->toolTip();
  EXPECT_TRUE(tip.endsWith(": A")) << tip.toStdString();
  EXPECT_FALSE(Control<QWidget>("key_0")->toolTip().contains(':'));
  Render("mouse_keys");

  // The left button too: the question comes, naming "Default"; refused, nothing is written.
  ASSERT_EQ(Ask("ui click key_0"), "ok");
  ASSERT_EQ(Ask(keyboardKey), "ok");
  ASSERT_EQ(Ask("ui click keyboard_key_58"), "ok");
  const std::string asked = AnswerMessage("ui click key_butt_prosave", "cancel");
  EXPECT_NE(asked.find(LanguageText("keyset_default_text")), std::string::npos) << asked;
  EXPECT_EQ(TableCode(0), leftClick);
  // Confirmed, it is written; "Default" brings the left click back.
  EXPECT_FALSE(AnswerMessage("ui click key_butt_prosave", "ok").empty());
  EXPECT_EQ(TableCode(0), keyA);
  ASSERT_EQ(Ask("ui click key_butt_keydefalut"), "ok");
  Settle();
  EXPECT_TRUE(test::WaitUntil([&] { return TableCode(0) == leftClick; }, 5s));
}

}  // namespace
}  // namespace varkon
