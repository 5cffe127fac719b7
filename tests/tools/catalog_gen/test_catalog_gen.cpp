#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("catalog_gen_test_" + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

} // namespace

TEST(CatalogGen, CommittedTableEqualsGeneratorOutput)
{
    TempDir dir;
    const fs::path out = dir.path() / "Catalog.strings";
    const std::string cmd = std::string("\"") + CATALOG_GEN + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    const std::string generated = ReadFile(out);
    const std::string committed = ReadFile(fs::path(MW_SOURCE_DIR) / "planner/resources/strings/Catalog.strings");
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
