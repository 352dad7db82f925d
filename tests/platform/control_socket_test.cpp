#include "platform/control_socket.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace varkon {
namespace {

using namespace std::chrono_literals;

struct Received {
  std::mutex mutex;
  std::vector<std::string> messages;
  void Add(const std::string& name, int64_t w, int64_t l) {
    std::lock_guard<std::mutex> lock(mutex);
    messages.push_back(name + " " + std::to_string(w) + " " + std::to_string(l));
  }
  std::vector<std::string> Get() {
    std::lock_guard<std::mutex> lock(mutex);
    return messages;
  }
};

TEST(ControlSocket, FirstInstanceListensSecondIsToldAnotherRuns) {
  test::TempDir dir;
  const std::string folder = dir.File("control");
  Received received;
  ControlServer first(folder);
  ASSERT_EQ(first.Start([&](const std::string& n, int64_t w, int64_t l) { received.Add(n, w, l); }),
            ControlServer::StartResult::Listening);
  struct stat st;
  ASSERT_EQ(stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  ControlServer second(folder);
  EXPECT_EQ(second.Start({}), ControlServer::StartResult::AlreadyRunning);

  // The second start wakes the first instead, under either of the wake-up's names.
  ControlClient client(folder);
  EXPECT_TRUE(client.Send("Varkon Korvu Wired", 0, 1));
  EXPECT_TRUE(client.Send("InstanceMessage", 0, 1));
  EXPECT_EQ(received.Get(),
            (std::vector<std::string>{"Varkon Korvu Wired 0 1", "InstanceMessage 0 1"}));
}

TEST(ControlSocket, MessageNamesMayHaveInnerSpacesOnly) {
  EXPECT_TRUE(IsValidMessageName("Varkon Korvu Wired"));
  EXPECT_TRUE(IsValidMessageName("Level  2"));
  EXPECT_TRUE(IsValidMessageName(std::string(256, 'x')));
  EXPECT_FALSE(IsValidMessageName(std::string(257, 'x')));
  EXPECT_FALSE(IsValidMessageName(""));
  EXPECT_FALSE(IsValidMessageName(" Varkon"));
  EXPECT_FALSE(IsValidMessageName("Varkon "));
  EXPECT_FALSE(IsValidMessageName("two\nlines"));
  EXPECT_FALSE(IsValidMessageName("tab\tbed"));
  EXPECT_FALSE(IsValidMessageName("del\x7f"));
}

// The last two words of "send" are the numbers; what comes before them is the name, whatever
// it holds, so a name ending in a number word is still read right.
TEST(ControlSocket, SendCarriesNamesWithSpacesWhole) {
  test::TempDir dir;
  const std::string folder = dir.File("control");
  Received received;
  ControlServer server(folder);
  ASSERT_EQ(
      server.Start([&](const std::string& n, int64_t w, int64_t l) { received.Add(n, w, l); }),
      ControlServer::StartResult::Listening);
  ControlClient client(folder);
  EXPECT_TRUE(client.Send("Varkon Korvu Wired", 0, 1));
  EXPECT_TRUE(client.Send("Level  2", -3, 4));
  for (const char* bad : {"", " lead", "trail ", "two\nlines"}) {
    EXPECT_FALSE(client.Send(bad, 0, 0)) << bad;
  }

  std::string answer;
  ASSERT_TRUE(client.Request("  send \t Game_End   5   6 \r", answer));
  EXPECT_EQ(answer, "ok");
  const std::string longest(256, 'n');
  ASSERT_TRUE(client.Request("send " + longest + " 1 2", answer));
  EXPECT_EQ(answer, "ok");
  for (const std::string& bad :
       {std::string("send Varkon Korvu Wired"), std::string("send A B 1 x"),
        std::string("send A\tB 1 2"), "send " + longest + "n 1 2", std::string("send ")}) {
    ASSERT_TRUE(client.Request(bad, answer)) << bad;
    EXPECT_EQ(answer, "error bad send request") << bad;
  }
  EXPECT_EQ(received.Get(), (std::vector<std::string>{"Varkon Korvu Wired 0 1", "Level  2 -3 4",
                                                      "Game_End 5 6", longest + " 1 2"}));
}

TEST(ControlSocket, ListenerNamesAndBroadcastsMayHaveSpaces) {
  test::TempDir dir;
  const std::string folder = dir.File("control");
  ControlServer server(folder);
  ASSERT_EQ(server.Start({}), ControlServer::StartResult::Listening);
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::vector<std::string> lines;
  std::thread listener([&] {
    ControlClient(folder).Listen(
        [&](const std::string& line) {
          std::lock_guard<std::mutex> lock(mutex);
          lines.push_back(line);
        },
        stop, "Work Tool");
  });
  for (int i = 0; i < 300 && server.ListenerCount() < 1; ++i) std::this_thread::sleep_for(5ms);
  ASSERT_EQ(server.ListenerCount(), 1u);
  server.Broadcast("Varkon Korvu Wired", 0, 1);
  EXPECT_FALSE(server.SendToListener("Work", "data 5 00"));
  EXPECT_TRUE(server.SendToListener("Work Tool", "data 5 00"));
  auto count = [&] {
    std::lock_guard<std::mutex> lock(mutex);
    return lines.size();
  };
  for (int i = 0; i < 300 && count() < 2; ++i) std::this_thread::sleep_for(5ms);
  stop = true;
  listener.join();
  EXPECT_EQ(lines, (std::vector<std::string>{"Varkon Korvu Wired 0 1", "data 5 00"}));
}

TEST(ControlSocket, StaleSocketLeftByACrashIsTakenOver) {
  test::TempDir dir;
  const std::string folder = dir.File("control");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  // A socket file nobody listens on, as a killed program leaves it.
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = ControlSocketPath(folder);
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  close(fd);

  ControlClient client(folder);
  EXPECT_FALSE(client.Send("Game_Start", 1, 2));  // nothing answers

  Received received;
  ControlServer server(folder);
  ASSERT_EQ(
      server.Start([&](const std::string& n, int64_t w, int64_t l) { received.Add(n, w, l); }),
      ControlServer::StartResult::Listening);
  EXPECT_TRUE(client.Send("Game_Start", 1, 2));
  EXPECT_EQ(received.Get().size(), 1u);
  server.Stop();
  EXPECT_FALSE(client.Send("Game_Start", 1, 2));
  // And the next start after an orderly stop listens again.
  ControlServer again(folder);
  EXPECT_EQ(again.Start({}), ControlServer::StartResult::Listening);
}

TEST(ControlSocket, BroadcastsReachEveryListener) {
  test::TempDir dir;
  const std::string folder = dir.File("control");
  ControlServer server(folder);
  ASSERT_EQ(server.Start({}), ControlServer::StartResult::Listening);
  std::atomic<bool> stop{false};
  std::vector<std::string> lines[2];
  std::mutex mutex;
  std::vector<std::thread> listeners;
  for (int i = 0; i < 2; ++i) {
    listeners.emplace_back([&, i] {
      ControlClient(folder).Listen(
          [&](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex);
            lines[i].push_back(line);
          },
          stop);
    });
  }
  for (int i = 0; i < 300 && server.ListenerCount() < 2; ++i) std::this_thread::sleep_for(5ms);
  ASSERT_EQ(server.ListenerCount(), 2u);
  server.Broadcast("{4695579F-999A-41d4-9FAF-EFFCE93EBF16}", 1, 0);
  server.Broadcast("bad\nname", 1, 0);  // never sent: it would split the line
  for (int i = 0; i < 300; ++i) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (!lines[0].empty() && !lines[1].empty()) break;
    }
    std::this_thread::sleep_for(5ms);
  }
  stop = true;
  for (auto& thread : listeners) thread.join();
  for (auto& got : lines) {
    EXPECT_EQ(got, (std::vector<std::string>{"{4695579F-999A-41d4-9FAF-EFFCE93EBF16} 1 0"}));
  }
}

TEST(ControlSocket, ListenerSeesTheProgramGo) {
  test::TempDir dir;
  const std::string folder = dir.File("control");
  auto server = std::make_unique<ControlServer>(folder);
  ASSERT_EQ(server->Start({}), ControlServer::StartResult::Listening);
  std::atomic<bool> stop{false};
  std::atomic<bool> ended{false};
  std::thread listener([&] {
    ControlClient(folder).Listen([](const std::string&) {}, stop);
    ended = true;
  });
  for (int i = 0; i < 300 && server->ListenerCount() < 1; ++i) std::this_thread::sleep_for(5ms);
  server.reset();
  for (int i = 0; i < 300 && !ended; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_TRUE(ended.load());
  stop = true;
  listener.join();
}

TEST(ControlSocket, RequestsAndHostileInput) {
  test::TempDir dir;
  const std::string folder = dir.File("control");
  ControlServer server(folder);
  ASSERT_EQ(server.Start({},
                         [](const std::vector<std::string>& words) {
                           return words[0] == "state" ? std::string("{\n\"ok\":true}")
                                                      : std::string("error unknown request");
                         }),
            ControlServer::StartResult::Listening);
  ControlClient client(folder);
  std::string answer;
  ASSERT_TRUE(client.Request("state", answer));
  EXPECT_EQ(answer, "{ \"ok\":true}");  // one answer, one line
  ASSERT_TRUE(client.Request("send Game_End notanumber", answer));
  EXPECT_EQ(answer, "error bad send request");
  ASSERT_TRUE(client.Request("send", answer));
  EXPECT_EQ(answer, "error bad send request");

  // A line longer than the limit only loses its own connection.
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, server.SocketPath().c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::string flood(kMaxControlLine + 8192, 'x');
  send(fd, flood.data(), flood.size(), MSG_NOSIGNAL);
  close(fd);
  ASSERT_TRUE(client.Request("state", answer));
  EXPECT_EQ(answer.substr(0, 1), "{");
}

TEST(ControlSocket, FolderOfOthersOrOpenToOthersIsMadePrivateOrRefused) {
  test::TempDir dir;
  const std::string folder = dir.File("control");
  ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
  chmod(folder.c_str(), 0777);
  ControlServer server(folder);
  ASSERT_EQ(server.Start({}), ControlServer::StartResult::Listening);
  struct stat st;
  ASSERT_EQ(stat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // A symbolic link in place of the folder is refused.
  const std::string link = dir.File("link");
  ASSERT_EQ(symlink(folder.c_str(), link.c_str()), 0);
  ControlServer viaLink(link);
  EXPECT_EQ(viaLink.Start({}), ControlServer::StartResult::Failed);
}

}  // namespace
}  // namespace varkon
