#include <sstream>

#include <gtest/gtest.h>

#include "tools/hid_tool.h"

namespace varkon {
namespace {

// The lines of a watch run with their time prefixes removed, and the times kept apart.
struct WatchRun {
  int exitStatus = -1;
  std::vector<std::string> events;
  std::vector<long> times;
  std::string err;

  long TimeOf(const std::string& event) const {
    for (size_t i = 0; i < events.size(); ++i) {
      if (events[i] == event) return times[i];
    }
    return -1;
  }
  bool Has(const std::string& event) const { return TimeOf(event) >= 0; }
};

WatchRun Watch(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  WatchRun run;
  run.exitStatus = RunHidTool(args, out, err);
  run.err = err.str();
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) {
    const size_t space = line.find(' ');
    if (line.rfind("status ", 0) == 0 || space == std::string::npos) continue;
    run.times.push_back(std::stol(line.substr(0, space)));
    run.events.push_back(line.substr(space + 1));
  }
  return run;
}

TEST(HidToolWatch, ScriptedUnplugAndReplugOfTheMouseCable) {
  WatchRun run = Watch({"--simulate", "mouse,receiver", "watch", "--for", "1.0", "--script",
                        "0.3 unplug mouse; 0.6 plug mouse"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_TRUE(run.Has("arrived 4 2 0 emu:mouse#vid_320f&pid_50ef&mi_01&col04"));
  EXPECT_TRUE(run.Has("arrived 6 6 0 emu:receiver#vid_320f&pid_221d&mi_01&col04"));
  EXPECT_TRUE(run.Has("open cable 4"));
  EXPECT_TRUE(run.Has("show item mouse"));
  EXPECT_TRUE(run.Has("first pass done"));
  EXPECT_FALSE(run.Has("open receiver 6"));  // the cable wins
  const long unplugged = run.TimeOf("unplug mouse");
  const long switched = run.TimeOf("switch to receiver");
  ASSERT_GE(unplugged, 0);
  ASSERT_GE(switched, unplugged);
  EXPECT_LT(switched - unplugged, 700);  // within a pass or two, however loaded the machine
  EXPECT_FALSE(run.Has("hide item mouse"));
  EXPECT_GE(run.TimeOf("switch to cable"), run.TimeOf("plug mouse"));
}

TEST(HidToolWatch, BadWatchArgumentsAreRefused) {
  EXPECT_EQ(Watch({"--simulate", "pad", "watch", "--script", "soon plug pad"}).exitStatus, 2);
  EXPECT_EQ(Watch({"--simulate", "pad", "watch", "--script", "0.1 melt pad"}).exitStatus, 2);
  EXPECT_EQ(Watch({"--simulate", "pad", "watch", "--for", "-1"}).exitStatus, 2);
  EXPECT_EQ(Watch({"watch", "--script", "0.1 plug pad"}).exitStatus, 2);  // needs --simulate
}

}  // namespace
}  // namespace varkon
