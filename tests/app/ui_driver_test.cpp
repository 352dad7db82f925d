// "varkonctl ui ...": the running program with the emulated keyboard, driven through its control
// socket from another thread (as varkonctl does) while the test's thread runs the event loop.
// The actions must reach the same handlers a mouse reaches, and refuse what a user could not do.
#include <gtest/gtest.h>
#include <json/value.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <future>
#include <memory>
#include <thread>

#include "app/controls/color_palette.h"
#include "app/main_window.h"
#include "app/msg_wnd.h"
#include "app/notify_router.h"
#include "app/program.h"
#include "app_test_support.h"
#include "core/json_text.h"
#include "devices/device_pages.h"
#include "devices/panels/usb_device.h"
#include "platform/control_socket.h"
#include "platform/ui/control_find.h"
#include "platform/ui/control_values.h"
#include "platform/ui/notifier.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

class UiDriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartupOptions options;
    std::string error;
    ASSERT_TRUE(ParseStartupArgs({"--simulate", "keyboard", "--latency", "0"}, options, error));
    program_ = std::make_unique<Program>(ControlFolder());
    ASSERT_EQ(program_->Start(options, error), Program::StartResult::Running) << error;
    window_ = program_->mainWindow();
    ASSERT_TRUE(test::WaitUntil(
        [&] {
          return window_->FirstPassDone() && window_->isVisible() && Device() != nullptr &&
                 Device()->isVisible() && Device()->TransportOpen();
        },
        30s));
  }
  void TearDown() override { program_.reset(); }

  // The folder varkonctl finds through XDG_RUNTIME_DIR.
  std::string ControlFolder() const { return dir_.path() + "/varkon-korvu-wired"; }
  CTarnwiseUSBDevice* Device() const { return window_->CurrentDevice(); }

  // One request, sent from another thread while this one serves the window.
  std::string Ask(const std::string& line) {
    std::string answer = "(no answer)";
    auto asked = std::async(std::launch::async,
                            [&] { ControlClient(ControlFolder()).Request(line, answer, 20000); });
    test::WaitUntil([&] { return asked.wait_for(0ms) == std::future_status::ready; }, 30s);
    asked.get();
    // The action of a request runs right after its answer.
    test::WaitUntil([] { return false; }, 20ms);
    return answer;
  }
  Json::Value AskJson(const std::string& line) {
    Json::Value value;
    const std::string answer = Ask(line);
    EXPECT_TRUE(ParseJsonText(answer, value)) << line << " -> " << answer;
    return value;
  }

  // The varkonctl program itself, for its exit status.
  std::string Ctl(const QStringList& args, int& status) {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir_.path()));
    tool.setProcessEnvironment(env);
    tool.start(VARKON_CTL, args);
    EXPECT_TRUE(tool.waitForStarted(10000));
    EXPECT_TRUE(test::WaitUntil([&] { return tool.state() == QProcess::NotRunning; }, 30s));
    status = tool.exitCode();
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed().toStdString();
  }

  QWidget* MainControl(const char* name) const {
    return ui::FindControl(window_->skinRoot(), QString::fromLatin1(name));
  }

  test::TempDir dir_;
  std::unique_ptr<Program> program_;
  CMainWnd* window_ = nullptr;
};

TEST_F(UiDriverTest, TabsAndTitleBarButtonsActAsClicked) {
  const int keysPage = FunctionPageOfTab("key_Op_tab");
  ASSERT_NE(keysPage, FunctionPageOfTab("deng_Op_tab"));
  EXPECT_EQ(Ask("ui click key_Op_tab"), "ok");
  EXPECT_TRUE(test::WaitUntil([&] { return Device()->GetFunctionPage() == keysPage; }));
  EXPECT_TRUE(AskJson("ui get key_Op_tab")["checked"].asBool());
  EXPECT_FALSE(AskJson("ui get deng_Op_tab")["checked"].asBool());

  // Checking the chosen option again changes nothing; turning it off is not a user's choice.
  EXPECT_EQ(Ask("ui check deng_Op_tab on"), "ok");
  EXPECT_TRUE(test::WaitUntil(
      [&] { return Device()->GetFunctionPage() == FunctionPageOfTab("deng_Op_tab"); }));
  EXPECT_EQ(Ask("ui check deng_Op_tab on"), "ok");
  EXPECT_EQ(Ask("ui check deng_Op_tab off").rfind("error deng_Op_tab is the chosen option", 0), 0u);
  EXPECT_TRUE(AskJson("ui get deng_Op_tab")["checked"].asBool());

  ASSERT_TRUE(window_->LightControl());
  EXPECT_EQ(Ask("ui click control_light_status"), "ok");
  EXPECT_FALSE(window_->LightControl());
  EXPECT_EQ(Ask("ui click CONTROL_LIGHT_STATUS"), "ok");  // names compare without case
  EXPECT_TRUE(window_->LightControl());

  // "restorebtn" shows only while the window is maximised.
  int status = -1;
  EXPECT_EQ(Ctl({"ui", "click", "restorebtn"}, status), "error restorebtn is hidden");
  EXPECT_EQ(status, 1);
  const Json::Value restore = AskJson("ui get restorebtn");
  EXPECT_FALSE(restore["visible"].asBool());
  EXPECT_TRUE(restore["enabled"].asBool());
  EXPECT_EQ(Ask("ui click maxbtn"), "ok");
  EXPECT_TRUE(test::WaitUntil([&] { return window_->isMaximized(); }));
  EXPECT_EQ(Ask("ui click maxbtn"), "error maxbtn is hidden");
  EXPECT_EQ(Ask("ui click restorebtn"), "ok");
  EXPECT_TRUE(test::WaitUntil([&] { return !window_->isMaximized(); }));

  EXPECT_EQ(Ctl({"ui", "click", "no_such_button"}, status), "error no control no_such_button");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(Ask("ui get no_such_button"), "error no control no_such_button");
  Ctl({"ui", "select", "key_Op_tab"}, status);
  EXPECT_EQ(status, 2);
  EXPECT_EQ(Ctl({"ui", "get", "closebtn"}, status).rfind("{", 0), 0u);
  EXPECT_EQ(status, 0);

  // What is not of its kind is refused too, and a raw request's bad words answer with usage.
  EXPECT_EQ(Ask("ui select key_Op_tab 0"), "error key_Op_tab has no items to select");
  EXPECT_EQ(Ask("ui set key_Op_tab 3"), "error key_Op_tab takes no value");
  EXPECT_EQ(Ask("ui colour key_Op_tab FF0000"), "error key_Op_tab is not a colour palette");
  EXPECT_EQ(Ask("ui click").rfind("error usage: ui click NAME", 0), 0u);
}

// The wake-up is registered under the product name, spaces and all, and travels under it.
TEST_F(UiDriverTest, ClosedToTheTrayTheWindowsControlsAreHiddenUntilTheWakeUp) {
  EXPECT_EQ(Ask("ui click closebtn"), "ok");
  EXPECT_TRUE(test::WaitUntil([&] { return !window_->isVisible(); }));
  EXPECT_EQ(Ask("ui click key_Op_tab"), "error key_Op_tab is hidden");
  int status = -1;
  Ctl({"send", "Varkon Korvu Wired"}, status);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(test::WaitUntil([&] { return window_->isVisible(); }));
  EXPECT_EQ(Ask("ui click key_Op_tab"), "ok");
}

TEST_F(UiDriverTest, DisabledControlsAreRefusedButStillRead) {
  QWidget* skin = MainControl("skinbtn");
  ASSERT_NE(skin, nullptr);
  skin->setEnabled(false);
  int clicks = 0;
  window_->router().OnName("click", "skinbtn", [&](const RoutedNotification&) { ++clicks; });
  int status = -1;
  EXPECT_EQ(Ctl({"ui", "click", "skinbtn"}, status), "error skinbtn is disabled");
  EXPECT_EQ(status, 1);
  const Json::Value state = AskJson("ui get skinbtn");
  EXPECT_TRUE(state["visible"].asBool());
  EXPECT_FALSE(state["enabled"].asBool());
  skin->setEnabled(true);
  EXPECT_EQ(Ask("ui click skinbtn"), "ok");
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(state["class"].asString(), "QPushButton");
}

TEST_F(UiDriverTest, KeyButtonsAndPaintedCellsReachTheDevice) {
  std::vector<int> keys;
  Device()->Pump().OnPrefix("click", "key_",
                            [&](const RoutedNotification&, int index) { keys.push_back(index); });
  EXPECT_EQ(Ask("ui click key_5"), "ok");
  EXPECT_EQ(keys, std::vector<int>{5});

  int bandEnds = 0;
  Device()->Pump().OnType("click_select_end", [&](const RoutedNotification&) { ++bandEnds; });
  EXPECT_EQ(Ask("ui paint 2 5 7"), "ok");
  EXPECT_EQ(bandEnds, 1);
  for (int i : {2, 5, 7}) EXPECT_TRUE(Device()->LightButton(i)->IsSelected()) << i;
  EXPECT_FALSE(Device()->LightButton(3)->IsSelected());
  // A new selection replaces the last one, as a new drag does.
  EXPECT_EQ(Ask("ui paint 3"), "ok");
  EXPECT_EQ(bandEnds, 2);
  EXPECT_TRUE(Device()->LightButton(3)->IsSelected());
  EXPECT_FALSE(Device()->LightButton(5)->IsSelected());
  EXPECT_TRUE(AskJson("ui get light_3")["selected"].asBool());
  EXPECT_FALSE(AskJson("ui get light_5")["selected"].asBool());

  const int lights = Device()->LightCount();
  EXPECT_EQ(Ask("ui paint 1 " + std::to_string(lights)),
            "error the device has no light " + std::to_string(lights));
  int hidden = -1;
  for (int i = 0; i < lights && hidden < 0; ++i) {
    // Shown cells are drawn by their panel; the hidden ones are left to themselves, hidden.
    CDeviceKeyButtonUI* cell = Device()->LightButton(i);
    if (cell && !cell->DrawnByPanel() && !cell->isVisible()) hidden = i;
  }
  ASSERT_GE(hidden, 0) << "the keyboard skin has cells of other layouts, hidden";
  EXPECT_EQ(Ask("ui paint " + std::to_string(hidden)),
            "error light " + std::to_string(hidden) + " is hidden");
  EXPECT_EQ(bandEnds, 2);  // a refused paint selects nothing
  EXPECT_TRUE(Device()->LightButton(3)->IsSelected());

  // The selector item of the keyboard: its option is on, so checking it changes nothing.
  EXPECT_TRUE(AskJson("ui get device_select")["checked"].asBool());
  EXPECT_EQ(Ask("ui check device_select on"), "ok");
  EXPECT_EQ(Ask("ui check device_select off").rfind("error device_select is the chosen", 0), 0u);
  EXPECT_EQ(Ask("ui click device_select#1"), "error no control device_select#1");
}

// A window of the program with the value-carrying controls, its own notifier and router (as the
// editors have), found among the open windows.
class ToolWindow {
 public:
  ToolWindow() {
    window_.setObjectName("tool_window");
    auto* layout = new QVBoxLayout(&window_);
    auto* root = new QWidget(&window_);
    root->setObjectName("tool_root");
    layout->addWidget(root);
    auto* inner = new QVBoxLayout(root);
    combo_ = Add<QComboBox>(inner, "tool_combo");
    for (const char* item : {"one", "two", "three"}) ui::AddComboItem(combo_, item);
    slider_ = Add<QSlider>(inner, "tool_slider");
    slider_->setOrientation(Qt::Horizontal);
    slider_->setRange(0, 100);
    edit_ = Add<QLineEdit>(inner, "tool_edit");
    digits_ = Add<QLineEdit>(inner, "tool_digits");
    ui::SetDigitsOnly(digits_, true);
    check_ = Add<QCheckBox>(inner, "tool_check");
    list_ = Add<QListWidget>(inner, "tool_list");
    list_->addItems({"first", "second"});
    palette_ = Add<CColorPaletteUI>(inner, "tool_palette");
    palette_->setMinimumSize(120, 80);
    hidden_ = Add<QPushButton>(inner, "tool_hidden");
    hidden_->setVisible(false);
    notifier_ = std::make_unique<ui::Notifier>(root);
    notifier_->AddHandler([this](const ui::Notification& n) {
      if (n.type == "windowinit" || n.type == "windowsize") return;
      RoutedNotification routed{n.type, n.name, n.wParam, n.lParam};
      router_.Route(routed);
    });
    router_.OnType("itemselect", [this](const RoutedNotification& n) { Seen(n); });
    for (const char* type :
         {"valuechanged", "movevaluechanged", "setfocus", "textchanged", "killfocus",
          "selectchanged", "click", "checkclick", "itemclick", "colorchanged"}) {
      router_.OnType(type, [this](const RoutedNotification& n) { Seen(n); });
    }
    window_.show();
  }

  // What reached the router since the last call, as "type name wParam" lines.
  std::vector<std::string> Take() { return std::exchange(seen_, {}); }

  QWidget window_;
  QComboBox* combo_ = nullptr;
  QSlider* slider_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QLineEdit* digits_ = nullptr;
  QCheckBox* check_ = nullptr;
  QListWidget* list_ = nullptr;
  CColorPaletteUI* palette_ = nullptr;
  QPushButton* hidden_ = nullptr;

 private:
  template <typename T>
  T* Add(QVBoxLayout* layout, const char* name) {
    auto* control = new T;
    control->setObjectName(name);
    layout->addWidget(control);
    return control;
  }
  void Seen(const RoutedNotification& n) {
    seen_.push_back(n.type + " " + n.name + " " + std::to_string(static_cast<intptr_t>(n.wParam)));
  }

  std::unique_ptr<ui::Notifier> notifier_;
  NotifyRouter router_;
  std::vector<std::string> seen_;
};

using Lines = std::vector<std::string>;

TEST_F(UiDriverTest, ValueControlsRaiseWhatTheUsersChangeRaises) {
  ToolWindow tools;
  ASSERT_TRUE(test::WaitUntil([&] { return tools.window_.isVisible(); }));
  tools.Take();

  EXPECT_EQ(Ask("ui select tool_combo 2"), "ok");
  EXPECT_EQ(tools.Take(), Lines{"itemselect tool_combo 2"});
  EXPECT_EQ(tools.combo_->currentIndex(), 2);
  EXPECT_EQ(Ask("ui select tool_combo 3"), "error tool_combo has 3 items");
  const Json::Value combo = AskJson("ui get tool_combo");
  EXPECT_EQ(combo["selected"].asInt(), 2);
  EXPECT_EQ(combo["text"].asString(), "three");
  ASSERT_EQ(combo["items"].size(), 3u);
  EXPECT_EQ(combo["items"][0].asString(), "one");

  EXPECT_EQ(Ask("ui set tool_slider 40"), "ok");
  EXPECT_EQ(tools.Take(), Lines{"valuechanged tool_slider 40"});
  EXPECT_EQ(tools.slider_->value(), 40);
  EXPECT_EQ(Ask("ui set tool_slider 40"), "ok");  // where it is already: no change, no notice
  EXPECT_TRUE(tools.Take().empty());
  EXPECT_EQ(Ask("ui set tool_slider 101"), "error 101 is outside tool_slider's range 0..100");
  EXPECT_EQ(Ask("ui set tool_slider ten"), "error tool_slider takes a whole number");
  tools.slider_->setTracking(false);
  EXPECT_EQ(Ask("ui set tool_slider 0"), "ok");
  EXPECT_EQ(tools.Take(), Lines{"valuechanged tool_slider 0"});
  const Json::Value slider = AskJson("ui get tool_slider");
  EXPECT_EQ(slider["value"].asInt(), 0);
  EXPECT_EQ(slider["maximum"].asInt(), 100);

  EXPECT_EQ(Ask("ui set tool_edit hello  world"), "ok");  // the words of the request line
  EXPECT_EQ(tools.Take(),
            (Lines{"setfocus tool_edit 0", "textchanged tool_edit 0", "killfocus tool_edit 0"}));
  EXPECT_EQ(tools.edit_->text(), "hello world");
  EXPECT_EQ(AskJson("ui get tool_edit")["text"].asString(), "hello world");
  EXPECT_EQ(Ask("ui set tool_edit"), "ok");  // an empty value clears it
  EXPECT_EQ(tools.edit_->text(), "");
  tools.Take();
  EXPECT_EQ(Ask("ui set tool_digits 12a"), "error tool_digits does not take \"12a\"");
  tools.digits_->setMaxLength(2);
  EXPECT_EQ(Ask("ui set tool_digits 123"), "error tool_digits takes at most 2 characters");
  EXPECT_TRUE(tools.Take().empty());
  EXPECT_EQ(tools.digits_->text(), "");

  EXPECT_EQ(Ask("ui check tool_check on"), "ok");
  EXPECT_EQ(tools.Take(),
            (Lines{"selectchanged tool_check 1", "click tool_check 1", "checkclick tool_check 1"}));
  EXPECT_EQ(Ask("ui check tool_check on"), "ok");
  EXPECT_TRUE(tools.Take().empty());
  EXPECT_EQ(Ask("ui check tool_check off"), "ok");
  EXPECT_EQ(tools.Take().front(), "selectchanged tool_check 0");
  EXPECT_FALSE(tools.check_->isChecked());
  EXPECT_EQ(Ask("ui check tool_combo on"), "error tool_combo is not an option or check box");

  EXPECT_EQ(Ask("ui select tool_list 1"), "ok");
  EXPECT_EQ(tools.Take(), (Lines{"itemselect tool_list 1", "itemclick tool_list 1"}));
  EXPECT_EQ(AskJson("ui get tool_list")["selected"].asInt(), 1);

  EXPECT_EQ(Ask("ui colour tool_palette 0000ff"), "ok");
  EXPECT_EQ(tools.Take(), Lines{"colorchanged tool_palette " + std::to_string(0xFF0000FFu)});
  EXPECT_EQ(AskJson("ui get tool_palette")["colour"].asString(), "0000FF");
  EXPECT_EQ(Ask("ui colour tool_palette 0000FF"), "ok");  // the colour it has: nothing changes
  EXPECT_TRUE(tools.Take().empty());

  EXPECT_EQ(Ask("ui click tool_hidden"), "error tool_hidden is hidden");
  EXPECT_FALSE(AskJson("ui get tool_hidden")["visible"].asBool());
  // A closed window's controls are gone for the user.
  tools.window_.hide();
  EXPECT_EQ(Ask("ui select tool_combo 0"), "error no control tool_combo");
}

// The message box runs its own loop; requests are served inside it.
TEST_F(UiDriverTest, OpenMessageIsReadAndAnswered) {
  EXPECT_EQ(Ask("ui message"), "{}");
  EXPECT_EQ(Ask("ui answer ok"), "error no message window is open");

  std::vector<std::string> answers;
  std::thread script([&] {
    ControlClient client(ControlFolder());
    auto ask = [&](const std::string& line) {
      std::string answer = "(no answer)";
      client.Request(line, answer, 20000);
      return answer;
    };
    std::string message = "{}";
    for (int i = 0; i < 600 && message == "{}"; ++i) {
      std::this_thread::sleep_for(10ms);
      message = ask("ui message");
    }
    answers.push_back(message);
    answers.push_back(ask("ui click control_light_status"));
    answers.push_back(ask("ui answer ok"));
  });
  // Should the script fail, the box still ends, so the test does not hang.
  QTimer::singleShot(30000, window_, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<CMsgWnd*>(w)) box->done(-1);
    }
  });
  const int result = ShowMessage(window_, "", "message_text_7", 96, true, kMessageConfirmAndCancel);
  script.join();
  EXPECT_EQ(result, 1);
  ASSERT_EQ(answers.size(), 3u);
  Json::Value message;
  ASSERT_TRUE(ParseJsonText(answers[0], message)) << answers[0];
  EXPECT_EQ(message["textId"].asString(), "message_text_7");
  EXPECT_FALSE(message["text"].asString().empty());
  ASSERT_EQ(message["buttons"].size(), 2u);
  EXPECT_EQ(message["buttons"][0].asString(), "ok");
  EXPECT_EQ(message["buttons"][1].asString(), "cancel");
  // The main window cannot be used while the message waits for its answer.
  EXPECT_EQ(answers[1], "error control_light_status is behind a modal window");
  EXPECT_TRUE(window_->LightControl());
  EXPECT_EQ(answers[2], "ok");
  EXPECT_EQ(Ask("ui message"), "{}");

  // A notice has only its confirm button.
  answers.clear();
  std::thread notice([&] {
    ControlClient client(ControlFolder());
    std::string answer;
    for (int i = 0; i < 600; ++i) {
      std::this_thread::sleep_for(10ms);
      if (client.Request("ui message", answer, 20000) && answer != "{}") break;
    }
    client.Request("ui answer cancel", answer, 20000);
    answers.push_back(answer);
    client.Request("ui answer ok", answer, 20000);
    answers.push_back(answer);
  });
  EXPECT_EQ(ShowMessage(window_, "", "message_text_16", 96, true, kMessageConfirmOnly), 1);
  notice.join();
  EXPECT_EQ(answers, (Lines{"error the message window has no cancel button", "ok"}));
}

// A click whose handler asks the user something: the click is answered at once, and the
// question is answered by the next requests while its loop runs.
TEST_F(UiDriverTest, ClickThatOpensAMessageDoesNotHoldTheRequests) {
  int asked = -1;
  window_->router().OnName("click", "skinbtn", [&](const RoutedNotification&) {
    asked = ShowMessage(window_, "", "message_text_7", 96, true, kMessageConfirmAndCancel);
  });
  std::vector<std::string> answers;
  std::atomic<bool> done{false};
  std::thread script([&] {
    ControlClient client(ControlFolder());
    std::string answer;
    client.Request("ui click skinbtn", answer, 20000);
    answers.push_back(answer);
    for (int i = 0; i < 600; ++i) {
      if (client.Request("ui message", answer, 20000) && answer != "{}") break;
      std::this_thread::sleep_for(10ms);
    }
    answers.push_back(answer.rfind("{\"buttons\"", 0) == 0 ? "message" : answer);
    client.Request("ui answer cancel", answer, 20000);
    answers.push_back(answer);
    done = true;
  });
  QTimer::singleShot(30000, window_, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<CMsgWnd*>(w)) box->done(-1);
    }
  });
  EXPECT_TRUE(test::WaitUntil([&] { return done.load() && asked >= 0; }, 40s));
  script.join();
  EXPECT_EQ(answers, (Lines{"ok", "message", "ok"}));
  EXPECT_EQ(asked, 0);  // cancelled
}

}  // namespace
}  // namespace varkon
