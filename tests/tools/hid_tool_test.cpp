#include "tools/hid_tool.h"

#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include <gtest/gtest.h>

#include "emulator/firmware_images.h"

namespace varkon {
namespace {

struct ToolRun {
  int exitStatus = -1;
  std::string out;
  std::string err;
  std::vector<std::string> lines;
};

ToolRun RunTool(std::vector<std::string> args) {
  std::ostringstream out, err;
  ToolRun run;
  run.exitStatus = RunHidTool(args, out, err);
  run.out = out.str();
  run.err = err.str();
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
  return run;
}

TEST(HidTool, ListsEveryEmulatedInterfaceWithItsIdentity) {
  ToolRun run = RunTool({"--simulate", "keyboard,headset", "list"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  ASSERT_FALSE(run.lines.empty());
  EXPECT_EQ(run.lines.back(), "status 1");
  EXPECT_NE(run.out.find("emu:keyboard#vid_320f&pid_5055&mi_01&col04  320f:5055  ff1c:0092  01 04"
                         "  keyboard\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("emu:keyboard#vid_320f&pid_5055&mi_01&col03  320f:5055  000c:0001  01 03"
                         "  keyboard input\n"),
            std::string::npos);
  EXPECT_NE(run.out.find("emu:headset#vid_0c76&pid_1630&mi_03  0c76:1630  000c:0001  03 00"
                         "  headset\n"),
            std::string::npos);
  EXPECT_EQ(run.out.find("emu:mouse"), std::string::npos);  // only what was plugged
}

TEST(HidTool, InfoWithTraceShowsBothPacketsAndTheData) {
  ToolRun run =
      RunTool({"--simulate", "all", "--trace", "--mode", "cable", "--device", "keyboard", "info"});
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  ASSERT_EQ(run.lines.size(), 4u) << run.out;
  // > request: report id 4, checksum 0x25 (command 3 + length 34), command 3, length 0x22.
  EXPECT_EQ(run.lines[0].substr(0, 26), "> 04 25 00 03 22 00 00 00 ");
  EXPECT_EQ(run.lines[0].size(), 2 + 64 * 3 - 1);
  EXPECT_EQ(run.lines[1].substr(0, 5), "< 04 ");
  EXPECT_EQ(run.lines[1].substr(11, 3), "03 ");  // the echoed command byte
  EXPECT_EQ(run.lines[2].size(), 68u);           // 34 bytes of hex
  char keyCount[3];
  std::snprintf(keyCount, sizeof(keyCount), "%02x", static_cast<unsigned>(KeyboardKeyCount()));
  EXPECT_EQ(run.lines[2].substr(10, 2), keyCount);  // device-info byte 5
  EXPECT_EQ(run.lines[3], "status 1");
}

TEST(HidTool, WritesAndReadsBackThroughTheReceiver) {
  // Each run is its own process state, so write and read happen in one emulated session here.
  ToolRun write = RunTool({"--simulate", "receiver", "--mode", "receiver", "--device", "receiver",
                           "write-settings", "0x100", "0102030405"});
  EXPECT_EQ(write.exitStatus, 0) << write.out;
  EXPECT_EQ(write.lines.back(), "status 1");
  ToolRun online = RunTool(
      {"--simulate", "receiver", "--mode", "receiver", "--device", "receiver", "query-online"});
  EXPECT_EQ(online.lines.front(), "online");
}

TEST(HidTool, DeviceErrorsAndMissingDevicesEndWithTheirStatus) {
  ToolRun page =
      RunTool({"--simulate", "mouse", "--device", "mouse", "write-key-table", "1", "00"});
  EXPECT_EQ(page.exitStatus, 1);
  EXPECT_EQ(page.lines.back(), "status -201");

  ToolRun beyond =
      RunTool({"--simulate", "pad", "--device", "pad", "read-settings", "0xfff0", "16"});
  EXPECT_EQ(beyond.exitStatus, 1);
  EXPECT_EQ(beyond.lines.back(), "status -102");

  ToolRun absent = RunTool({"--simulate", "pad", "--device", "keyboard", "info"});
  EXPECT_EQ(absent.exitStatus, 1);
  EXPECT_EQ(absent.lines.back(), "status 0");

  ToolRun raw = RunTool({"--simulate", "headset", "--device", "headset", "raw", "0x1a"});
  EXPECT_EQ(raw.exitStatus, 0) << raw.out;
  EXPECT_EQ(raw.lines.back(), "status 1");
}

TEST(HidTool, BadArgumentsExitWithTwoAndUsage) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {},
           {"--simulate", "toaster", "list"},
           {"--simulate", "all", "frobnicate"},
           {"--simulate", "all", "info"},
           {"--simulate", "all", "--device", "pad", "raw"},
           {"--simulate", "all", "--device", "pad", "write-settings", "0", "abc"},
           {"--simulate", "all", "--device", "pad", "read-settings", "70000", "1"},
           {"--mode", "usb", "list"},
           {"--simulate", "all", "list", "extra"}}) {
    ToolRun run = RunTool(args);
    EXPECT_EQ(run.exitStatus, 2) << ::testing::PrintToString(args);
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
  }
}

TEST(HidTool, TheInstalledProgramKeepsTheExitStatusContract) {
  const std::string program = std::string(VARKON_BINARY_DIR) + "/bin/varkon-hid";
  const auto exitOf = [&](const std::string& args) {
    const int raw = std::system((program + " " + args + " >/dev/null 2>&1").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  };
  EXPECT_EQ(exitOf("--simulate all list"), 0);
  EXPECT_EQ(exitOf("--simulate all --device keyboard write-key-table 1 00"), 1);
  EXPECT_EQ(exitOf("--bogus"), 2);
}

}  // namespace
}  // namespace varkon
