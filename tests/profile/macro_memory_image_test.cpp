#include "profile/macro_memory_image.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "profile/macro_library_image.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

using Bytes = std::vector<uint8_t>;

MacroEvent Event(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  return {a, b, c, d};
}

TEST(MacroMemoryImageTest, TwoMacrosWithThreeAndNoSteps) {
  const std::vector<MacroBlock> blocks = {
      {Event(0x2C, 0x01, 0x8A, 0x04), Event(0x00, 0x00, 0x0A, 0x04), Event(1, 2, 3, 4)}, {}};
  Bytes image;
  ASSERT_TRUE(BuildMacroMemoryImage(blocks, image));
  const Bytes expected = {
      0xAA, 0x55, 40,   0,    2,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  // header
      20,   0,    36,   0,                                                     // offset table
      3,    0,    0,    0,  // block 0: three events
      0x2C, 0x01, 0x8A, 0x04, 0x00, 0x00, 0x0A, 0x04, 1, 2, 3, 4, 0, 0, 0, 0,  // block 1: no events
  };
  EXPECT_EQ(image, expected);
  EXPECT_EQ(MacroImageSize({3, 0}), 40u);
}

TEST(MacroMemoryImageTest, AnImageWithoutMacrosIsTheHeader) {
  Bytes image;
  ASSERT_TRUE(BuildMacroMemoryImage({}, image));
  EXPECT_EQ(image, (Bytes{0xAA, 0x55, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(MacroMemoryImageTest, SizesAboveSixteenBitsAreRefused) {
  Bytes image = {1, 2, 3};
  // 16 + 6 + 4 × 16378 = 65534 still fits; one event more does not.
  std::vector<MacroBlock> blocks(1, MacroBlock(16378, Event(1, 0, 0, 0)));
  ASSERT_TRUE(BuildMacroMemoryImage(blocks, image));
  EXPECT_EQ(image.size(), 65534u);
  EXPECT_EQ(image[2], 0xFE);
  EXPECT_EQ(image[3], 0xFF);
  blocks[0].push_back(Event(1, 0, 0, 0));
  EXPECT_FALSE(BuildMacroMemoryImage(blocks, image));
  EXPECT_TRUE(image.empty());
}

TEST(MacroMemoryImageTest, CapacityRule) {
  // Three macros of ten events: 16 + 18 + 120 = 154 bytes.
  EXPECT_EQ(MacroImageSize({10, 10, 10}), 154u);
  EXPECT_EQ(MacroImageOverflow(154, 1), 7);  // (154 - 128) / 4 = 6, plus one
  EXPECT_EQ(MacroImageOverflow(154, 2), 0);
  EXPECT_EQ(MacroImageOverflow(128, 1), 0);  // exactly full fits
  EXPECT_EQ(MacroImageOverflow(129, 1), 1);
  EXPECT_EQ(MacroImageOverflow(40, 0), 11);
  EXPECT_EQ(MacroImageOverflow(40, -5), 11);
  EXPECT_EQ(MacroImageOverflow(UINT64_MAX, 1), INT32_MAX);
  EXPECT_EQ(MacroImageSize({UINT64_MAX / 2}), UINT64_MAX);  // saturates, never wraps small
}

class LibraryImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = dir_.File("data") + "/";
    std::filesystem::create_directory(folder_);
  }

  void WriteList(const std::vector<std::string>& guids) {
    Json::Value list(Json::objectValue);
    list["MacroInfo"] = Json::Value(Json::arrayValue);
    for (const std::string& guid : guids) {
      Json::Value entry(Json::objectValue);
      entry["MacroName"] = "m";
      entry["Guid"] = guid;
      list["MacroInfo"].append(entry);
    }
    WriteJsonFile(folder_ + "macro.config", list);
  }

  // A macro file of `count` key presses of `key`, each waiting `delay`.
  void WriteMacro(const std::string& path, int count, int key, int delay) {
    Json::Value macro(Json::objectValue);
    macro["Events"] = Json::Value(Json::arrayValue);
    for (int i = 0; i < count; ++i) {
      Json::Value step(Json::objectValue);
      step["Action"] = "down";
      step["Type"] = 10;
      step["Button"] = key;
      step["Delay"] = std::to_string(delay);
      macro["Events"].append(step);
    }
    macro["Version"] = 64;
    WriteJsonFile(path, macro);
  }

  test::TempDir dir_;
  std::string folder_;
};

TEST_F(LibraryImageTest, MacrosGoInTheGivenOrder) {
  WriteList({"g0", "g1", "g2"});
  WriteMacro(folder_ + "g0.mac", 1, 4, 10);
  WriteMacro(folder_ + "g1.mac", 5, 5, 20);
  WriteMacro(folder_ + "g2.mac", 2, 6, 300);
  Bytes image;
  ASSERT_EQ(BuildLibraryMacroImage(folder_, {2, 0}, 10, image), 0);
  const Bytes expected = {0xAA, 0x55, 40, 0, 2,    0,    0,    0, 0,    0,    0,    0,
                          0,    0,    0,  0, 20,   0,    32,   0,                       //
                          2,    0,    0,  0, 0x2C, 0x01, 0x8A, 6, 0x2C, 0x01, 0x8A, 6,  //
                          1,    0,    0,  0, 10,   0,    0x8A, 4};
  EXPECT_EQ(image, expected);
}

TEST_F(LibraryImageTest, MissingFilesAndUnknownNumbersGiveEmptyBlocks) {
  WriteList({"g0", "../outside", ""});
  WriteMacro(dir_.File("outside.mac"), 3, 4, 0);  // beside the data folder: never read
  Bytes image;
  ASSERT_EQ(BuildLibraryMacroImage(folder_, {0, 1, 2, 7, -1}, 10, image), 0);
  ASSERT_EQ(image.size(), 16u + 6 * 5);
  for (int block = 0; block < 5; ++block) {
    const size_t offset = image[16 + 2 * block] | image[17 + 2 * block] << 8;
    EXPECT_EQ(offset, 26u + 4 * block);
    EXPECT_EQ(image[offset], 0);
  }
}

TEST_F(LibraryImageTest, TooLargeReportsTheOverflowAndBuildsNothing) {
  WriteList({"g0", "g1", "g2"});
  for (const char* guid : {"g0", "g1", "g2"}) WriteMacro(folder_ + guid + ".mac", 10, 4, 1);
  Bytes image = {9};
  EXPECT_EQ(BuildLibraryMacroImage(folder_, {0, 1, 2}, 1, image), 7);
  EXPECT_TRUE(image.empty());
}

TEST_F(LibraryImageTest, NothingToSendWithoutListOrMacros) {
  Bytes image;
  EXPECT_EQ(BuildLibraryMacroImage(folder_, {0}, 10, image), 0);
  EXPECT_TRUE(image.empty());
  WriteList({"g0"});
  EXPECT_EQ(BuildLibraryMacroImage(folder_, {}, 10, image), 0);
  EXPECT_TRUE(image.empty());
}

}  // namespace
}  // namespace varkon
