#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

using mwtest::ReadFileText;
using mwtest::TempDir;

TEST(CatalogGen, CommittedTableEqualsGeneratorOutput)
{
    TempDir dir;
    const fs::path out = dir.path() / "Catalog.strings";
    const std::string cmd = std::string("\"") + CATALOG_GEN + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::string generated = ReadFileText(out);
    const std::string committed = ReadFileText(fs::path(MW_SOURCE_DIR) / "planner/resources/strings/Catalog.strings");
    ASSERT_FALSE(generated.empty());
    // Not EXPECT_EQ on the strings: a 400 kB diff in the log helps nobody.
    EXPECT_TRUE(generated == committed)
        << "planner/resources/strings/Catalog.strings is stale: rerun catalog_gen (sizes " << generated.size()
        << " and " << committed.size() << ")";
}

TEST(CatalogGen, RefusesBadCommandLines)
{
    const std::string noArgs = std::string("\"") + CATALOG_GEN + "\" 2>/dev/null";
    EXPECT_NE(std::system(noArgs.c_str()), 0);
    const std::string badPath = std::string("\"") + CATALOG_GEN + "\" /nonexistent-folder/x/Catalog.strings 2>/dev/null";
    EXPECT_NE(std::system(badPath.c_str()), 0);
}
