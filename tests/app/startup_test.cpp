#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "platform/ui/registered_messages.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

TEST(StartupMessages, HookNamesGiveTwentyThreeNumbersWithFifteenAndNineteenShared) {
  const StartupMessages& m = RegisterStartupMessages();
  std::set<uint32_t> distinct(m.hook.begin(), m.hook.end());
  EXPECT_EQ(distinct.size(), 23u);
  EXPECT_EQ(m.hook[14], m.hook[18]);
  for (uint32_t number : m.hook) {
    EXPECT_GE(number, ui::kFirstRegisteredMessage);
    EXPECT_TRUE(ui::IsRegisteredMessage(number));
  }
}

TEST(StartupMessages, GuidAndInstanceMessagesAreDistinctAndNamed) {
  const StartupMessages& m = RegisterStartupMessages();
  std::set<uint32_t> all(m.hook.begin(), m.hook.end());
  for (size_t i = 0; i < kGuidMessageCount; ++i) {
    EXPECT_TRUE(all.insert(m.guid[i]).second) << kGuidMessageNames[i];
    EXPECT_EQ(ui::RegisteredMessageName(m.guid[i]), kGuidMessageNames[i]);
  }
  EXPECT_TRUE(all.insert(m.instance).second);
  EXPECT_EQ(ui::RegisteredMessageName(m.instance), kProductName);
  // The last GUID differs from the others by one letter, so it is a message of its own.
  EXPECT_NE(ui::RegisterMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF19}"), m.guid[4]);
}

TEST(StartupMessages, NumbersAreTheOnesAnyModuleGetsByName) {
  const StartupMessages& m = RegisterStartupMessages();
  EXPECT_EQ(ui::RegisterMessage("game_start"), m.hook[20]);
  EXPECT_EQ(ui::RegisterMessage("UWM_MOUSEMOVE_USER_MSG"), m.hook[19]);
  EXPECT_EQ(&RegisterStartupMessages(), &m);
}

TEST(StartupArgs, NoArgumentsMeansNoSimulation) {
  StartupOptions options;
  std::string error;
  ASSERT_TRUE(ParseStartupArgs({}, options, error));
  EXPECT_FALSE(options.simulate);
  EXPECT_TRUE(options.simulateKinds.empty());
}

TEST(StartupArgs, SimulateAllAndLists) {
  StartupOptions options;
  std::string error;
  ASSERT_TRUE(ParseStartupArgs({"--simulate", "all"}, options, error)) << error;
  EXPECT_TRUE(options.simulate);
  EXPECT_EQ(options.simulateKinds, AllEmulatedKinds());

  ASSERT_TRUE(ParseStartupArgs({"--simulate=pad,keyboard", "--simulate", "keyboard,headset"},
                               options, error));
  EXPECT_EQ(options.simulateKinds,
            (std::vector<EmulatedKind>{EmulatedKind::Pad, EmulatedKind::Keyboard,
                                       EmulatedKind::Headset}));
}

TEST(StartupArgs, BadArgumentsAreRefusedAndLeaveOptionsAlone) {
  StartupOptions options;
  std::string error;
  ASSERT_TRUE(ParseStartupArgs({"--simulate", "mouse"}, options, error));
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--simulate"},
                                             {"--simulate", "toaster"},
                                             {"--simulate="},
                                             {"--frobnicate"},
                                             {"--simulate", "mouse,,pad"}}) {
    error.clear();
    EXPECT_FALSE(ParseStartupArgs(args, options, error)) << args.back();
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(options.simulateKinds, std::vector<EmulatedKind>{EmulatedKind::Mouse});
  }
}

TEST(PrivateFonts, MissingFolderAndBrokenFilesAreSkipped) {
  test::TempDir dir;
  EXPECT_TRUE(LoadPrivateFonts(dir.path() + "/").empty());
  EXPECT_TRUE(LoadPrivateFonts("").empty());
  std::filesystem::create_directory(dir.File("Font"));
  std::ofstream(dir.File(kPrivateFontFiles[0])) << "not a font";
  EXPECT_TRUE(LoadPrivateFonts(dir.path() + "/").empty());
}

TEST(PrivateFonts, PresentFontsLoadAndRelease) {
  const std::string system = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  if (!std::filesystem::exists(system)) GTEST_SKIP() << "no system font to copy";
  test::TempDir dir;
  std::filesystem::create_directory(dir.File("Font"));
  std::filesystem::copy_file(system, dir.File(kPrivateFontFiles[2]));
  std::filesystem::copy_file(system, dir.File(kPrivateFontFiles[3]));
  const std::vector<int> ids = LoadPrivateFonts(dir.path() + "/");
  ASSERT_EQ(ids.size(), 2u);
  EXPECT_NE(ids[0], ids[1]);
  ReleasePrivateFonts(ids);
}

}  // namespace
}  // namespace varkon
