#include "editors/colour_options.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/json_file.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

TEST(ColourOptions, TextsAndTheFirstCopyOfTheDefaults) {
  EXPECT_EQ(ArgbHex(0xFFFF0000u), "FFFF0000");
  EXPECT_EQ(ParseArgbHex("ff00ff00"), 0xFF00FF00u);
  EXPECT_EQ(ParseArgbHex("FFGG0000"), 0u);  // not hexadecimal: transparent black
  EXPECT_EQ(ParseArgbHex("1FFFFFFFF"), 0u);
  EXPECT_EQ(ChannelFromText("300"), 255);
  EXPECT_EQ(ChannelFromText(""), 0);
  EXPECT_EQ(ChannelFromText("-4"), 0);

  test::TempDir dir;
  const std::string user = dir.File("user.config");
  const std::string defaults = dir.File("default.config");
  Json::Value document;
  document["coloroptioninfo"]["palletDialogcoloroption_selectitem"] = 7;
  document["coloroptioninfo"]["palletDialogcollectcoloroption"][1]["color"] = "FF123456";
  document["coloroptioninfo"]["palletDialogcollectcoloroption"][1]["UserData"] = "1";
  ASSERT_TRUE(WriteJsonFileChecked(defaults, document));
  // A broken user file is replaced by the defaults.
  std::ofstream(user) << "{ not json";
  ColourOptions options(user, defaults);
  options.Load();
  EXPECT_EQ(options.PresetIndex(), 7);
  EXPECT_EQ(options.Collected(1).colour, 0xFF123456u);
  EXPECT_EQ(options.Collected(1).userData, "1");
  EXPECT_FALSE(options.Collected(5).present);
  EXPECT_EQ(ReadJsonFile(user)["coloroptioninfo"]["palletDialogcoloroption_selectitem"].asInt(), 7);

  // Saving keeps what else the file holds.
  std::array<uint32_t, kColourSwatches> colours{};
  colours[0] = 0xFFABCDEFu;
  ASSERT_TRUE(options.SavePresets(colours, 0));
  const Json::Value saved = ReadJsonFile(user);
  EXPECT_EQ(saved["coloroptioninfo"]["palletDialogcoloroption"][0]["color"].asString(), "FFABCDEF");
  EXPECT_EQ(saved["coloroptioninfo"]["palletDialogcollectcoloroption"][1]["color"].asString(),
            "FF123456");
  // Without a user folder nothing is written.
  ColourOptions nowhere("", defaults);
  nowhere.Load();
  EXPECT_EQ(nowhere.PresetIndex(), 7);
  EXPECT_FALSE(nowhere.SavePresets(colours, 1));
}

}  // namespace
}  // namespace varkon
