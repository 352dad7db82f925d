#include "tools/ctl_tool.h"

#include <cstdlib>
#include <mutex>
#include <sstream>
#include <thread>
#include <utility>

#include <gtest/gtest.h>

#include "platform/control_socket.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

// What a server was sent, from its own thread.
struct Received {
  std::mutex mutex;
  std::vector<std::string> lines;
  void Add(const std::string& name, int64_t w, int64_t l) {
    Add(name + " " + std::to_string(w) + " " + std::to_string(l));
  }
  void Add(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex);
    lines.push_back(line);
  }
  std::vector<std::string> Lines() {
    std::lock_guard<std::mutex> lock(mutex);
    return lines;
  }
};

// Points the control folder at a temporary runtime folder for one test.
class CtlToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    if (old != nullptr) saved_ = old;
    setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
  }
  void TearDown() override {
    if (saved_.empty()) {
      unsetenv("XDG_RUNTIME_DIR");
    } else {
      setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    }
  }
  int Run(const std::vector<std::string>& args) {
    std::ostringstream o, e;
    const int status = RunCtlTool(args, o, e, stop_);
    out_ = o.str();
    err_ = e.str();
    return status;
  }

  test::TempDir dir_;
  std::string saved_;
  std::atomic<bool> stop_{false};
  std::string out_, err_;
};

TEST_F(CtlToolTest, SendReportsWhetherTheProgramTookTheMessage) {
  EXPECT_EQ(Run({"send", "Game_Start"}), 1);  // nothing runs yet
  EXPECT_NE(err_.find("not running"), std::string::npos);

  std::vector<std::string> received;
  std::mutex mutex;
  ControlServer server;
  ASSERT_EQ(server.Start(
                [&](const std::string& name, int64_t w, int64_t l) {
                  std::lock_guard<std::mutex> lock(mutex);
                  received.push_back(name + " " + std::to_string(w) + " " + std::to_string(l));
                },
                [](const std::vector<std::string>& words) {
                  return words[0] == "state" ? std::string("{\"window\":{}}")
                                             : std::string("error unknown request");
                }),
            ControlServer::StartResult::Listening);
  EXPECT_EQ(Run({"send", "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}", "1", "0"}), 0);
  EXPECT_EQ(Run({"send", "Game_Kill", "0x10"}), 0);
  {
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(received, (std::vector<std::string>{"{4695579F-999A-41d4-9FAF-EFFCE93EBF17} 1 0",
                                                  "Game_Kill 16 0"}));
  }
  EXPECT_EQ(Run({"state"}), 0);
  EXPECT_EQ(out_, "{\"window\":{}}\n");
  EXPECT_EQ(Run({"frobnicate"}), 1);

  EXPECT_EQ(Run({"send"}), 2);
  EXPECT_EQ(Run({"send", "Game_End", "x"}), 2);
  EXPECT_EQ(Run({}), 2);
}

TEST_F(CtlToolTest, SendTakesAQuotedNameWithSpaces) {
  Received received;
  ControlServer server;
  ASSERT_EQ(
      server.Start([&](const std::string& n, int64_t w, int64_t l) { received.Add(n, w, l); }),
      ControlServer::StartResult::Listening);
  EXPECT_EQ(Run({"send", "Varkon Korvu Wired"}), 0) << err_;
  EXPECT_EQ(Run({"send", "Varkon Korvu Wired", "0", "1"}), 0) << err_;
  for (const char* bad : {"", " Varkon", "Varkon ", "two\nlines", "tab\tbed"}) {
    EXPECT_EQ(Run({"send", bad}), 2) << bad;
  }
  EXPECT_EQ(received.Lines(),
            (std::vector<std::string>{"Varkon Korvu Wired 0 0", "Varkon Korvu Wired 0 1"}));
}

// The request lines "ui ..." the tool sends; the program's own checks are the driver's tests.
TEST_F(CtlToolTest, UiArgumentsAreCheckedBeforeAnythingIsSent) {
  EXPECT_EQ(Run({"ui", "click", "closebtn"}), 1);  // nothing runs yet
  EXPECT_NE(err_.find("not running"), std::string::npos);

  Received received;
  ControlServer server;
  ASSERT_EQ(server.Start({},
                         [&](const std::vector<std::string>& words) {
                           std::string line;
                           for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
                           received.Add(line);
                           return words.size() > 2 && words[2] == "deng_speed_slider"
                                      ? std::string("error deng_speed_slider is disabled")
                                      : std::string("ok");
                         }),
            ControlServer::StartResult::Listening);

  const std::vector<std::vector<std::string>> bad = {
      {"ui"},
      {"ui", "press", "closebtn"},
      {"ui", "click"},
      {"ui", "click", "closebtn", "twice"},
      {"ui", "click", "close btn"},
      {"ui", "click", ""},
      {"ui", "select", "device_profile_combo"},
      {"ui", "select", "device_profile_combo", "-1"},
      {"ui", "select", "device_profile_combo", "first"},
      {"ui", "set", "profile_name"},
      {"ui", "set", "profile_name", "two  spaces"},
      {"ui", "set", "profile_name", " leading"},
      {"ui", "set", "profile_name", "line\nend"},
      {"ui", "check", "synchro_device_select", "yes"},
      {"ui", "colour", "palette", "12345"},
      {"ui", "colour", "palette", "GG0000"},
      {"ui", "colour", "palette", "#FF0000"},
      {"ui", "paint"},
      {"ui", "paint", "1", "x"},
      {"ui", "get"},
      {"ui", "message", "now"},
      {"ui", "answer"},
      {"ui", "answer", "yes"},
  };
  for (const auto& args : bad) {
    std::string shown;
    for (const std::string& a : args) shown += "[" + a + "]";
    EXPECT_EQ(Run(args), 2) << shown;
  }
  EXPECT_TRUE(received.Lines().empty());

  const std::vector<std::pair<std::vector<std::string>, std::string>> good = {
      {{"ui", "click", "closebtn"}, "ui click closebtn"},
      {{"ui", "select", "device_profile_combo", "2"}, "ui select device_profile_combo 2"},
      {{"ui", "set", "profile_name", "My profile"}, "ui set profile_name My profile"},
      {{"ui", "set", "profile_name", ""}, "ui set profile_name"},
      {{"ui", "check", "synchro_device_select", "off"}, "ui check synchro_device_select off"},
      {{"ui", "colour", "palette", "00ff80"}, "ui colour palette 00ff80"},
      {{"ui", "paint", "0", "17", "135"}, "ui paint 0 17 135"},
      {{"ui", "get", "device_select#1"}, "ui get device_select#1"},
      {{"ui", "message"}, "ui message"},
      {{"ui", "answer", "cancel"}, "ui answer cancel"},
  };
  std::vector<std::string> expected;
  for (const auto& [args, line] : good) {
    EXPECT_EQ(Run(args), 0) << line;
    EXPECT_EQ(out_, "ok\n");
    expected.push_back(line);
  }
  EXPECT_EQ(received.Lines(), expected);

  // The program's refusal is the tool's: status 1 and the reason.
  EXPECT_EQ(Run({"ui", "set", "deng_speed_slider", "3"}), 1);
  EXPECT_EQ(out_, "error deng_speed_slider is disabled\n");
}

// A stream another thread may read while the tool writes to it.
class SharedText : public std::streambuf {
 public:
  std::string Text() {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
  }

 protected:
  int overflow(int c) override {
    if (c == EOF) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    text_ += static_cast<char>(c);
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::lock_guard<std::mutex> lock(mutex_);
    text_.append(s, static_cast<size_t>(n));
    return n;
  }

 private:
  std::mutex mutex_;
  std::string text_;
};

TEST_F(CtlToolTest, ListenPrintsBroadcastsUntilStopped) {
  ControlServer server;
  ASSERT_EQ(server.Start({}), ControlServer::StartResult::Listening);
  SharedText text;
  std::ostream out(&text);
  std::ostringstream err;
  std::thread listener([&] { RunCtlTool({"listen"}, out, err, stop_); });
  for (int i = 0; i < 600 && server.ListenerCount() == 0; ++i) std::this_thread::sleep_for(5ms);
  server.Broadcast("{4695579F-999A-41d4-9FAF-EFFCE93EBF16}", 1, 1);
  for (int i = 0; i < 600 && text.Text().empty(); ++i) std::this_thread::sleep_for(5ms);
  stop_ = true;
  listener.join();
  EXPECT_EQ(text.Text(), "{4695579F-999A-41d4-9FAF-EFFCE93EBF16} 1 1\n");
}

}  // namespace
}  // namespace varkon
