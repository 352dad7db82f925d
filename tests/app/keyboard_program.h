// Test fixtures: the program with emulated devices, driven through the same requests varkonctl
// sends ("ui ...", "light ...", "profile ...", "keys ..."), with what it wrote read back from the
// profile files and the emulated devices' memory.
#pragma once

#include <gtest/gtest.h>
#include <json/value.h>

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program.h"
#include "app/startup.h"
#include "app_test_support.h"
#include "core/json_file.h"
#include "core/json_text.h"
#include "devices/panels/keyboard_device.h"
#include "emulator/emulated_rig.h"
#include "emulator/firmware_images.h"
#include "support/temp_dir.h"

namespace varkon::test {

using namespace std::chrono_literals;

// The program started with emulated devices, driven through varkonctl's requests. `Ready`
// says when the device a test works with has been read; `JobsPending` counts its transfers.
class ProgramTest : public ::testing::Test {
 protected:
  void TearDown() override { program_.reset(); }

  void Start(const std::vector<std::string>& args) {
    StartupOptions options;
    std::string error;
    ASSERT_TRUE(ParseStartupArgs(args, options, error)) << error;
    program_ = std::make_unique<Program>(dir_.File("control"));
    ASSERT_EQ(program_->Start(options, error), Program::StartResult::Running) << error;
    window_ = program_->mainWindow();
    ASSERT_TRUE(test::WaitUntil([&] { return window_->FirstPassDone() && Ready(); }, 30s));
  }
  void Restart(const std::vector<std::string>& args) {
    program_.reset();
    Start(args);
  }
  virtual bool Ready() = 0;
  virtual size_t JobsPending() = 0;

  // A request as varkonctl sends it; the action behind an "ok" runs right after the answer, and
  // the device's transfers after that.
  std::string Ask(const std::string& line) {
    std::vector<std::string> words;
    for (const QString& word : QString::fromStdString(line).split(' ', Qt::SkipEmptyParts)) {
      words.push_back(word.toStdString());
    }
    const std::string answer = program_->HandleRequest(words);
    Settle();
    return answer;
  }
  void Settle() {
    test::WaitUntil([] { return false; }, 30ms);
    test::WaitUntil([&] { return JobsPending() == 0; }, 10s);
    test::WaitUntil([] { return false; }, 10ms);
  }
  Json::Value AskJson(const std::string& line) {
    Json::Value value;
    const std::string answer = Ask(line);
    EXPECT_TRUE(ParseJsonText(answer, value)) << line << " -> " << answer;
    return value;
  }
  // Runs the request `action`, which opens modal windows one after another (a question, a file
  // dialog, then perhaps a message), and answers each from inside its own loop with the next of
  // `answers` (e.g. {"ui", "answer", "ok"}). Returns what "ui message" showed for the last
  // message window (null when only file dialogs opened).
  Json::Value ActThenAnswer(const std::string& action,
                            const std::vector<std::vector<std::string>>& answers) {
    struct Progress {
      size_t next = 0;
      QPointer<QWidget> answering;
      Json::Value shown;
    };
    auto progress = std::make_shared<Progress>();
    auto* poll = new QTimer(window_);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, window_, [this, poll, progress, answers] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || modal == progress->answering) return;
      progress->answering = modal;
      Json::Value message;
      if (ParseJsonText(program_->HandleRequest({"ui", "message"}), message) &&
          message.isMember("text")) {
        progress->shown = message;
      }
      EXPECT_EQ(program_->HandleRequest(answers[progress->next]), "ok");
      if (++progress->next == answers.size()) {
        poll->stop();
        poll->deleteLater();
      }
    });
    poll->start();
    EXPECT_EQ(Ask(action), "ok") << action;
    EXPECT_TRUE(test::WaitUntil([&] { return progress->next == answers.size(); }, 5s))
        << action << ": " << progress->next << " of " << answers.size() << " windows opened";
    Settle();
    return progress->shown;
  }

  // Runs `action`, which opens a modal window, and runs `steps` (requests) from inside its loop;
  // returns what `inside` saw there.
  void InModal(const std::string& action, const std::vector<std::string>& steps,
               const std::function<void(QWidget*)>& inside = {}) {
    auto done = std::make_shared<bool>(false);
    QPointer<QTimer> poll = new QTimer(window_);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, window_, [this, poll, done, steps, inside] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || *done) return;
      *done = true;
      poll->stop();
      if (inside) inside(modal);
      for (const std::string& step : steps) {
        std::vector<std::string> words;
        for (const QString& w : QString::fromStdString(step).split(' ', Qt::SkipEmptyParts)) {
          words.push_back(w.toStdString());
        }
        EXPECT_EQ(program_->HandleRequest(words), "ok") << step;
        QCoreApplication::processEvents();
      }
    });
    poll->start();
    EXPECT_EQ(Ask(action), "ok") << action;
    EXPECT_TRUE(test::WaitUntil([&] { return *done && !QApplication::activeModalWidget(); }, 5s));
    if (poll) poll->deleteLater();
    Settle();
  }
  test::TempDir dir_;
  test::ScopedEnv data_{"XDG_DATA_HOME", dir_.File("data")};
  test::ScopedEnv state_{"XDG_STATE_HOME", dir_.File("state")};
  // The stored language and the program's settings, kept away from the user's own.
  test::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.File("config")};
  std::unique_ptr<Program> program_;
  CMainWnd* window_ = nullptr;
};

// The program with the emulated keyboard, with what it wrote read back from the profile files
// and the emulated keyboard's memory.
class KeyboardProgram : public ProgramTest {
 protected:
  void SetUp() override { Start({"--simulate", "keyboard", "--latency", "0"}); }

  bool Ready() override {
    CTarnwiseKeyboardDevice* keyboard = Keyboard();
    return keyboard && keyboard->Keyboard().Discovered() &&
           keyboard->Keyboard().Jobs().Pending() == 0;
  }
  size_t JobsPending() override { return Keyboard() ? Keyboard()->Keyboard().Jobs().Pending() : 0; }
  CTarnwiseKeyboardDevice* Keyboard() const {
    return window_ ? qobject_cast<CTarnwiseKeyboardDevice*>(window_->CurrentDevice()) : nullptr;
  }
  VendorFirmware& Firmware() { return program_->rig()->Firmware(EmulatedKind::Keyboard); }
  std::vector<uint8_t> Record() { return Firmware().Memory(MemoryArea::Settings); }
  Json::Value KeyboardState() { return AskJson("state")["devices"][0]; }
  Json::Value ProfileSection() {
    const std::string path = Keyboard()->Logic().Profiles().CurrentProfileFilePath();
    return ReadJsonFile(path)["Device"][0];
  }
};

}  // namespace varkon::test
