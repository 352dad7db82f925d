#include "app/resource_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app_test_support.h"
#include "support/temp_dir.h"

namespace varkon {
namespace {

TEST(ResourceIndex, RealIndexNamesFilesThatExist) {
  ResourceIndex index;
  std::string error;
  ASSERT_TRUE(index.Load(test::SkinFolderOfSource(), error)) << error;
  for (const char* key : {"XML_MAIN", "XML_MENU"}) {
    const std::string name = index.Find(key);
    ASSERT_FALSE(name.empty()) << key;
    EXPECT_TRUE(std::filesystem::exists(test::SkinFolderOfSource() + name)) << name;
  }
  EXPECT_TRUE(index.Find("XML_NOTHING").empty());
}

TEST(ResourceIndex, MissingOrForeignFilesFail) {
  test::TempDir dir;
  ResourceIndex index;
  std::string error;
  EXPECT_FALSE(index.Load(dir.path() + "/", error));
  EXPECT_NE(error.find("res.xml"), std::string::npos);
  std::ofstream(dir.File("res.xml")) << "<ui><Xml id=\"XML_MAIN\" path=\"a.xml\"/></ui>";
  error.clear();
  EXPECT_FALSE(index.Load(dir.path() + "/", error));
  EXPECT_TRUE(index.Find("XML_MAIN").empty());
  std::ofstream(dir.File("res.xml")) << "<Resources><Xml id=\"XML_MAIN\" path=\"a.xml\"/>";
  EXPECT_FALSE(index.Load(dir.path() + "/", error));
}

TEST(ResourceIndex, EntriesLeavingTheSkinFolderAreSkipped) {
  test::TempDir dir;
  std::ofstream(dir.File("res.xml"))
      << "<Resources><Xml id=\"A\" path=\"../outside.xml\"/><Xml id=\"B\" path=\"/etc/passwd\"/>"
         "<Xml id=\"\" path=\"x.xml\"/><Xml id=\"C\" path=\"XML\\sub\\c.xml\"/></Resources>";
  ResourceIndex index;
  std::string error;
  ASSERT_TRUE(index.Load(dir.path(), error)) << error;
  EXPECT_TRUE(index.Find("A").empty());
  EXPECT_TRUE(index.Find("B").empty());
  EXPECT_EQ(index.Find("C"), "XML/sub/c.xml");
  EXPECT_EQ(index.size(), 1u);
}

}  // namespace
}  // namespace varkon
