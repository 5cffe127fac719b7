#include "platform/runtime/FileSave.h"

#include "platform/runtime/SysUtils.h"
#include "support/ScratchMount.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Entries(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const fs::path& p)
{
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

} // namespace

TEST(SaveFileAtomically, WritesNewAndReplacesOldFiles)
{
    mwtest::TempDir dir;
    const auto file = dir.path() / "plan.txt";
    SaveFileAtomically(file.string(), std::string_view("first"));
    EXPECT_EQ(mwtest::ReadFileText(file), "first");
    SaveFileAtomically(file.string(), std::vector<uint8_t>{'2', 0, '2'});
    EXPECT_EQ(mwtest::ReadFileText(file), std::string("2\0" "2", 3));
    SaveFileAtomically(file.string(), nullptr, 0);
    EXPECT_EQ(mwtest::ReadFileText(file), "");
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"plan.txt"});
    EXPECT_THROW(SaveFileAtomically(file.string(), "x", -1), EWriteError);
}

TEST(SaveFileAtomically, KeepsPermissionsAndFollowsLinks)
{
    mwtest::TempDir dir;
    const auto file = dir.path() / "a.txt";
    for (mode_t mode : {0600u, 0640u, 0755u}) {
        SaveFileAtomically(file.string(), std::string_view("one"));
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);
        SaveFileAtomically(file.string(), std::string_view("two"));
        EXPECT_EQ(ModeOf(file), mode);
    }
    // A chain of links: every link stays, the file at the end is replaced.
    fs::create_directory(dir.path() / "real");
    const auto real = dir.path() / "real" / "b.txt";
    mwtest::WriteFileText(real, "old");
    fs::create_symlink("real/b.txt", dir.path() / "first-link");
    fs::create_symlink(dir.path() / "first-link", dir.path() / "second-link");
    SaveFileAtomically((dir.path() / "second-link").string(), std::string_view("new"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "first-link"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "second-link"));
    EXPECT_EQ(mwtest::ReadFileText(real), "new");
    EXPECT_EQ(Entries(dir.path() / "real"), std::vector<std::string>{"b.txt"});
    // A link to a file not made yet creates that file.
    fs::create_symlink("real/c.txt", dir.path() / "dangling");
    SaveFileAtomically((dir.path() / "dangling").string(), std::string_view("made"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "dangling"));
    EXPECT_EQ(mwtest::ReadFileText(dir.path() / "real" / "c.txt"), "made");
    EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"a.txt", "dangling", "first-link", "real", "second-link"}));
}

TEST(SaveFileAtomically, ScratchNameInTheWayIsNotUsed)
{
    // A file or a planted link under the scratch name is neither written nor removed.
    mwtest::TempDir dir;
    const auto file = dir.path() / "a.txt";
    const std::string scratch = file.string() + ".~" + std::to_string(::getpid()) + ".tmp";
    mwtest::WriteFileText(dir.path() / "victim", "untouched");
    fs::create_symlink(dir.path() / "victim", scratch);
    SaveFileAtomically(file.string(), std::string_view("saved"));
    EXPECT_EQ(mwtest::ReadFileText(file), "saved");
    EXPECT_EQ(mwtest::ReadFileText(dir.path() / "victim"), "untouched");
    EXPECT_TRUE(fs::is_symlink(scratch));
}

TEST(SaveFileAtomically, RefusalsLeaveEverythingAsItWas)
{
    mwtest::TempDir dir;
    // A folder in the way.
    fs::create_directory(dir.path() / "folder");
    try {
        SaveFileAtomically((dir.path() / "folder").string(), std::string_view("x"));
        ADD_FAILURE() << "a folder was written";
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message().find("folder\""), std::string::npos) << e.Message();
    }
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder"));
    EXPECT_TRUE(fs::is_empty(dir.path() / "folder"));
    // A folder that does not exist.
    try {
        SaveFileAtomically((dir.path() / "missing" / "b.txt").string(), std::string_view("x"));
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message().find("missing/b.txt\""), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("No such file or directory"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"folder"});
}

TEST(SaveFileAtomically, ReadOnlyFolderKeepsTheOldFile)
{
    mwtest::ScratchMount mount(64 * 1024);
    mwtest::TempDir plain;
    const bool root = ::geteuid() == 0;
    if (root && !mount.Mounted()) GTEST_SKIP() << "no read-only folder can be made here (mount refused)";
    const fs::path dir = root ? mount.path() : plain.path();
    const auto file = dir / "design.txt";
    SaveFileAtomically(file.string(), std::string_view("old"));
    if (root)
        ASSERT_TRUE(mount.MakeReadOnly());
    else
        ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
    try {
        SaveFileAtomically(file.string(), std::string_view("new"));
        ADD_FAILURE() << "saved into a read-only folder";
    } catch (const EFCreateError& e) {
        EXPECT_NE(e.Message().find("design.txt\""), std::string::npos) << e.Message();
        EXPECT_TRUE(e.Message().find("Read-only file system") != std::string::npos ||
                    e.Message().find("Permission denied") != std::string::npos)
            << e.Message();
    }
    if (!root) ::chmod(dir.c_str(), 0755);
    EXPECT_EQ(mwtest::ReadFileText(file), "old");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"design.txt"});
}

TEST(SaveFileAtomically, FullDiskKeepsTheOldFile)
{
    mwtest::ScratchMount mount(64 * 1024);
    if (!mount.Mounted()) GTEST_SKIP() << "no small file system can be mounted here";
    const auto file = mount.path() / "design.txt";
    SaveFileAtomically(file.string(), std::string_view("the old design"));
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_TRUE(mount.Fill());
    const std::string big(16 * 1024, 'x');
    try {
        SaveFileAtomically(file.string(), big);
        ADD_FAILURE() << "a save on a full disk succeeded";
    } catch (const EStreamError& e) {
        EXPECT_NE(e.Message().find("design.txt\""), std::string::npos) << e.Message();
        EXPECT_NE(e.Message().find("No space left on device"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(mwtest::ReadFileText(file), "the old design");
    EXPECT_EQ(ModeOf(file), 0640u);
    EXPECT_EQ(Entries(mount.path()), (std::vector<std::string>{".filler", "design.txt"}));
    // Room again: the same save goes through.
    fs::remove(mount.path() / ".filler");
    SaveFileAtomically(file.string(), big);
    EXPECT_EQ(mwtest::ReadFileText(file), big);
    EXPECT_EQ(ModeOf(file), 0640u);
}
