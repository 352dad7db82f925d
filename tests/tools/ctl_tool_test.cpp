#include "tools/ctl_tool.h"

#include <cstdlib>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/control_socket.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

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
