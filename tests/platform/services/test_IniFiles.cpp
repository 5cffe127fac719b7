// Settings files: private-profile reading, writes that change only their own line.
#include "platform/services/IniFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/TestFiles.h"

#include <filesystem>

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

std::string ReadAll(const std::string& name)
{
    if (!std::filesystem::exists(name)) return "<missing>";
    return mwtest::ReadFileText(name);
}

void WriteAll(const std::string& name, const std::string& text) { ASSERT_TRUE(mwtest::WriteFileText(name, text)); }

class IniFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string file = dir.filePath("Tasklander.ini").toStdString();
};

}  // namespace

TEST_F(IniFile, ReadsWithPrivateProfileRules)
{
    WriteAll(file,
             "; a comment\r\n"
             "[ViewStyle]\r\n"
             "  group =  Broadcast Tools \t\r\n"
             "Page=1\r\n"
             "Quoted=\"  inside  \"\r\n"
             "Single='x'\r\n"
             "Lone=\"\r\n"
             "Raw=a\\tb;c # d\r\n"
             "Group=second is ignored\r\n"
             "not an entry\r\n"
             "Bad=12x\r\n"
             "[viewstyle]\r\n"
             "Extra=second section is ignored\r\n"
             "[Other]\r\n"
             "Page=7\r\n");
    const TIniFile ini(file);
    struct Case { const char* section; const char* key; const char* expected; };
    const Case cases[] = {
        {"VIEWSTYLE", "Group", "Broadcast Tools"},
        {"ViewStyle", "PAGE", "1"},
        {"ViewStyle", "Quoted", "  inside  "},
        {"ViewStyle", "Single", "x"},
        {"ViewStyle", "Lone", "\""},
        {"ViewStyle", "Raw", "a\\tb;c # d"},
        {"ViewStyle", "Extra", "<default>"},
        {"ViewStyle", "not an entry", "<default>"},
        {"Other", "Page", "7"},
        {"Missing", "Page", "<default>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.expected);
    }
    EXPECT_EQ(ini.ReadInteger("ViewStyle", "Page", 0), 1);
    EXPECT_EQ(ini.ReadInteger("ViewStyle", "Bad", 5), 5);
    EXPECT_EQ(ini.ReadInteger("ViewStyle", "Missing", 3), 3);
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections.CommaText(), "ViewStyle,Other");
}

TEST_F(IniFile, WritesChangeOnlyTheirLineAndValuesReadBackAsWritten)
{
    const std::string original = "; kept\n[ViewStyle]\nGROUP=Old\n\n[Other]\nx = 1 \n";
    WriteAll(file, original);
    TIniFile ini(file);
    struct Case { const char* section; const char* key; const char* value; };
    const Case cases[] = {
        {"viewstyle", "Group", "Broadcast Tools"},   // replaces GROUP in place, keeps its spelling
        {"ViewStyle", "ViewStyle", "&Details"},       // appended to the section before the blank line
        {"ViewStyle", "Page", "1"},
        {"New", "Key", "a;b # c \\n %s"},             // a new section at the end; no escaping
    };
    for (const auto& c : cases) ini.WriteString(c.section, c.key, c.value);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(TIniFile(file).ReadString(c.section, c.key, "<default>"), c.value);
    }
    EXPECT_EQ(ReadAll(file),
              "; kept\n[ViewStyle]\nGROUP=Broadcast Tools\nViewStyle=&Details\nPage=1\n\n[Other]\nx = 1 \n\n"
              "[New]\nKey=a;b # c \\n %s\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Tasklander.ini"}));
}

TEST_F(IniFile, WhatCannotBeStoredIsRefusedAndNothingIsLost)
{
    TIniFile ini(file);
    ini.WriteString("S", "K", "v");
    const std::string before = ReadAll(file);
    EXPECT_THROW(ini.WriteString("S", "K", "two\nlines"), EIniFileException);
    EXPECT_THROW(ini.WriteString("S", "a=b", "v"), EIniFileException);
    EXPECT_THROW(ini.WriteString("", "K", "v"), EIniFileException);
    EXPECT_EQ(ReadAll(file), before);

    // A folder where the file should be: it reads as empty and is never replaced.
    const std::string folder = dir.filePath("folder.ini").toStdString();
    QDir().mkpath(QString::fromStdString(folder));
    TIniFile blocked(folder);
    EXPECT_EQ(blocked.ReadString("S", "K", "d"), "d");
    EXPECT_THROW(blocked.WriteString("S", "K", "v"), EIniFileException);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());

    EXPECT_TRUE(TIniFile::CanWrite(file));
    EXPECT_TRUE(TIniFile::CanWrite(dir.filePath("new.ini").toStdString()));
    EXPECT_FALSE(TIniFile::CanWrite(dir.filePath("no/such/folder/x.ini").toStdString()));
    EXPECT_FALSE(TIniFile::CanWrite(folder));
    // A file where the folder should be.
    EXPECT_THROW(TIniFile(file + "/x.ini").WriteString("S", "K", "v"), EIniFileException);
    EXPECT_EQ(ReadAll(file), before);
}

TEST_F(IniFile, HostileFilesReadSafelyAndAreNeverDamagedFurther)
{
    std::string oversized = "[S]\nK=v\n";
    while (oversized.size() <= 4u * 1024 * 1024) oversized += "; padding padding padding padding padding padding\n";
    const std::string longValue(1 << 20, 'x');
    struct Case {
        const char* name;
        std::string text;
        std::string wantK;   // what [S] K reads as
        bool writable;       // a write of another key succeeds and keeps every old line
    };
    const std::vector<Case> cases = {
        {"larger than 4 MiB", oversized, "d", false},
        {"more than 500,000 lines", "[S]\nK=v\n" + std::string(500000, '\r'), "d", false},
        {"500,000 lines exactly: read, but not grown", "[S]\nK=v\n" + std::string(499998, '\n'), "v", false},
        {"a little under 500,000 lines", "[S]\nK=v\n" + std::string(499990, '\n'), "v", true},
        {"a NUL inside a value", std::string("[S]\nK=a\0b\n[T]\nX=1\n", 18), std::string("a\0b", 3), true},
        {"an over-long line", "[S]\nK=" + longValue + "\n", longValue, true},
        {"a header without its bracket", "[S\nK=v\n[S]\nK=w\n", "w", true},
        {"cut in the middle of a line, no newline", "[S]\nK=v\n[T", "v", true},
        {"binary junk before the sections", std::string("\x01\xFF\xFE=\x80\n[S]\nK=v\n", 14), "v", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(file, c.text);
        TIniFile ini(file);
        EXPECT_TRUE(ini.ReadString("S", "K", "d") == c.wantK);
        if (!c.writable) {
            EXPECT_THROW(ini.WriteString("New", "A", "1"), EIniFileException);
            EXPECT_TRUE(ReadAll(file) == c.text);
            continue;
        }
        ASSERT_NO_THROW(ini.WriteString("New", "A", "1"));
        const std::string after = ReadAll(file);
        std::string old = c.text;
        if (old.back() != '\n') old += '\n';
        EXPECT_TRUE(after.compare(0, old.size(), old) == 0) << "an old line changed";
        EXPECT_EQ(ini.ReadString("New", "A", ""), "1");
    }
}

// A pipe or a device in place of the settings file reads as empty at once and is never replaced.
TEST_F(IniFile, PipesAndDevicesAreNeitherReadNorReplaced)
{
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    struct Case { const char* name; std::string path; bool tryWrite; };
    const Case cases[] = {{"a pipe", file, true}, {"an endless device", "/dev/zero", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TIniFile ini(c.path);
        EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
        EXPECT_FALSE(ini.SectionExists("S"));
        if (c.tryWrite) {
            EXPECT_THROW(ini.WriteString("S", "K", "v"), EIniFileException);
        }
    }
    EXPECT_TRUE(std::filesystem::is_fifo(file));
}

// Listing a file of many sections or keys takes time in proportion to its size.
TEST_F(IniFile, ManySectionsAndKeysAreListedOnceEach)
{
    constexpr int n = 50000;
    std::string text = "[Keys]\n";
    for (int i = 0; i < n; ++i) text += "K" + std::to_string(i) + "=1\nk" + std::to_string(i) + "=2\n";
    for (int i = 0; i < n; ++i) text += "[S" + std::to_string(i) + "]\n[s" + std::to_string(i) + "]\n";
    WriteAll(file, text);
    TIniFile ini(file);
    TStringList list;
    ini.ReadSections(list);
    ASSERT_EQ(list.Count(), n + 1);
    EXPECT_EQ(list[1], "S0");
    ini.ReadSection("keys", list);
    ASSERT_EQ(list.Count(), n);
    EXPECT_EQ(list[n - 1], "K" + std::to_string(n - 1));
    EXPECT_EQ(ini.ReadString("Keys", "k5", ""), "1");   // the first of a name is the one read
}

TEST_F(IniFile, ByteOrderMarkIsSkippedAndKept)
{
    WriteAll(file, "\xEF\xBB\xBF[View]\r\nStyle=2\r\n[Window]\r\nLeft=10\r\n");
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadInteger("View", "Style", 0), 2);
    EXPECT_TRUE(ini.SectionExists("View"));
    TStringList sections;
    ini.ReadSections(sections);
    ASSERT_EQ(sections.Count(), 2);
    EXPECT_EQ(sections[0], "View");
    ini.WriteInteger("View", "Style", 3);
    EXPECT_EQ(ReadAll(file), "\xEF\xBB\xBF[View]\nStyle=3\n[Window]\nLeft=10\n");
    EXPECT_EQ(TIniFile(file).ReadInteger("View", "Style", 0), 3);
}

TEST(IniFileName, NamesThatAreNotUtf8AreUsedAsTheirBytes)
{
    mwtest::TempDir dir;
    const std::string name = dir.File("Einstellungen-\xe4\xf6.ini");
    WriteAll(name, "[View]\nStyle=2\n");
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadInteger("View", "Style", 0), 2);
    EXPECT_TRUE(TIniFile::CanWrite(name));
    ini.WriteInteger("View", "Style", 5);
    EXPECT_EQ(ReadAll(name), "[View]\nStyle=5\n");
    std::vector<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) entries.push_back(e.path().filename().string());
    EXPECT_EQ(entries, std::vector<std::string>{"Einstellungen-\xe4\xf6.ini"});
}

// One settings object reads its file once and keeps it, and reads it again whenever the file
// on disk is not the one it read: replaced, rewritten in place, damaged, gone, or a folder.
TEST_F(IniFile, AFileChangedOnDiskIsReadAgain)
{
    namespace fs = std::filesystem;
    const std::string other = dir.filePath("other.ini").toStdString();
    auto stampIn = [&](int seconds) {
        // An in-place rewrite of the same length, at a file time of its own.
        const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    };
    std::string oversized = "[S]\nK=big\n";
    while (oversized.size() <= 4u * 1024 * 1024) oversized += "; padding padding padding padding padding padding\n";
    struct Step {
        const char* name;
        std::function<void()> change;
        std::string wantK;
        bool wantSection;
    };
    const std::vector<Step> steps = {
        {"first read", [&] { WriteAll(file, "[S]\nK=1\n"); }, "1", true},
        {"unchanged", [] {}, "1", true},
        {"replaced by another file", [&] { WriteAll(other, "[S]\nK=2\n[T]\n"); fs::rename(other, file); }, "2", true},
        {"rewritten in place", [&] { WriteAll(file, "[S]\nK=3\n[T]\n"); stampIn(1000000000); }, "3", true},
        {"rewritten in place again", [&] { WriteAll(file, "[S]\nK=4\n[T]\n"); stampIn(1000000001); }, "4", true},
        {"damaged (too large)", [&] { WriteAll(file, oversized); }, "d", false},
        {"mended", [&] { WriteAll(file, "[S]\nK=5\n"); }, "5", true},
        {"gone", [&] { fs::remove(file); }, "d", false},
        {"a folder in its place", [&] { fs::create_directory(file); }, "d", false},
        {"back", [&] { fs::remove(file); WriteAll(file, "[s]\nk=6\n"); }, "6", true},
    };
    TIniFile ini(file);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        s.change();
        EXPECT_EQ(ini.ReadString("S", "K", "d"), s.wantK);
        EXPECT_EQ(ini.SectionExists("S"), s.wantSection);
    }
    // Its own writes are read back at once, and so is what was there before them.
    ini.WriteString("S", "K", "7");
    ini.WriteString("T", "X", "8");
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "7");
    EXPECT_EQ(ini.ReadString("T", "X", "d"), "8");
    ini.EraseSection("S");
    EXPECT_FALSE(ini.SectionExists("S"));
    EXPECT_EQ(ini.ReadString("T", "X", "d"), "8");
}

// Sections of one name: the first is the one read, whatever comes between and after.
TEST_F(IniFile, TheFirstOfSectionsWithOneNameIsRead)
{
    WriteAll(file, "[A]\nK=1\n[b]\nK=2\n[a]\nK=3\nL=4\n[B]\nL=5\n");
    TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("a", "K", "d"), "1");
    EXPECT_EQ(ini.ReadString("A", "L", "d"), "d");
    EXPECT_EQ(ini.ReadString("B", "K", "d"), "2");
    EXPECT_EQ(ini.ReadString("b", "L", "d"), "d");
    TStringList keys;
    ini.ReadSection("A", keys);
    EXPECT_EQ(keys.Count(), 1);
}
