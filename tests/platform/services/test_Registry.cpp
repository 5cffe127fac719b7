// The per-user registry file: reading as the registry-as-ini view expects, writing through
// atomically with every other line kept, and damaged files left alone.
#include "platform/services/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/ScratchMount.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <sys/stat.h>

namespace {

std::string ReadAll(const std::string& name)
{
    if (!std::filesystem::exists(name)) return "<missing>";
    return mwtest::ReadFileText(name);
}

void WriteAll(const std::string& name, const std::string& text) { ASSERT_TRUE(mwtest::WriteFileText(name, text)); }

class RegistryFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string file = dir.filePath("sub/registry.txt").toStdString();
};

}  // namespace

TEST(RegistryData, ReadsValuesAsTheIniViewExpects)
{
    const std::string text =
        "\xEF\xBB\xBF# written by hand\r\n"
        "[Software\\Belvor\\Mastwise]\r\n"
        "  Path = /opt/belvor/mastwise  \r\n"
        "ExeName=Mastwise\n"
        "Parameters=--demo \"a b\"\n"
        "Description=\"  two blanks, a \\\"quote\\\", a tab\\t and \\\\ \\x41\"\n"
        "Windows=C:\\Belvor\\Tools\n"
        "; comment inside a key\n"
        "Group=first\n"
        "GROUP=last one wins\n"
        "Empty=\n"
        "[software\\belvor\\MASTWISE]\n"
        "Extra=merged\n"
        "[Software\\Belvor\\Zeta\\Deep]\n"
        "[Software\\Belvor\\alpha]\n";
    const TRegistryData d = TRegistryData::Parse(text);
    struct Case { const char* key; const char* name; bool found; const char* value; };
    const Case cases[] = {
        {"Software\\Belvor\\Mastwise", "path", true, "/opt/belvor/mastwise"},
        {"SOFTWARE\\BELVOR\\MASTWISE", "EXENAME", true, "Mastwise"},
        {"Software\\Belvor\\Mastwise", "Parameters", true, "--demo \"a b\""},
        {"Software\\Belvor\\Mastwise", "Description", true, "  two blanks, a \"quote\", a tab\t and \\ A"},
        {"Software\\Belvor\\Mastwise", "Windows", true, "C:\\Belvor\\Tools"},
        {"Software\\Belvor\\Mastwise", "Group", true, "last one wins"},
        {"Software\\Belvor\\Mastwise", "Empty", true, ""},
        {"Software\\Belvor\\Mastwise", "Extra", true, "merged"},
        {"Software\\Belvor\\Mastwise", "Missing", false, ""},
        {"Software\\Belvor", "Path", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " / " + c.name);
        std::string v;
        EXPECT_EQ(d.ReadValue(c.key, c.name, v), c.found);
        if (c.found) {
            EXPECT_EQ(v, c.value);
        }
    }
    // Subkeys in alphabetical order, implicit parents included, each once.
    EXPECT_EQ(d.SubKeys("Software\\Belvor"), (std::vector<std::string>{"alpha", "Mastwise", "Zeta"}));
    EXPECT_EQ(d.SubKeys(""), (std::vector<std::string>{"Software"}));
    EXPECT_TRUE(d.KeyExists("software\\belvor\\zeta"));
    EXPECT_FALSE(d.KeyExists("Software\\Belvor\\Zet"));
    const auto values = d.Values("Software\\Belvor\\Mastwise");
    ASSERT_EQ(values.size(), 8u);
    EXPECT_EQ(values[5].first, "Group");
    EXPECT_EQ(values[5].second, "last one wins");
}

TEST(RegistryData, DamagedTextNamesTheLineAndWhatIsWrong)
{
    struct Case { std::string text; const char* expected; };
    const Case cases[] = {
        {"Path=/x\n", "line 1: a value before the first key"},
        {"[Software\\Belvor]\nno equals sign here\n", "line 2: neither a key, a value nor a comment"},
        {"[Software\\Belvor\n", "line 1: a key line without its closing \"]\""},
        {"[Software\\\\Belvor]\n", "line 1: a bad key path"},
        {"[]\n", "line 1: a bad key path"},
        {"[A]\n=value\n", "line 2: a value without a name"},
        {"[A]\nX=\"open\n", "line 2: quoted value without its closing quote"},
        {"[A]\nX=\"a\" b\n", "line 2: text after the closing quote"},
        {"[A]\nX=\"\\q\"\n", "line 2: unknown escape \\q"},
        {"[A]\nX=\"\\x4\"\n", "line 2: bad \\x escape"},
        {"[A]\n\nX=\xC3\x28\n", "line 3: not UTF-8 text"},
        {std::string("[A]\nX=a\0b\n", 10), "line 2: a NUL byte"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            TRegistryData::Parse(c.text, "/home/u/registry.txt");
            ADD_FAILURE() << "no error";
        } catch (const ERegistryDamaged& e) {
            EXPECT_NE(e.Message().find("/home/u/registry.txt"), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(c.expected), std::string::npos) << e.Message();
        }
    }
}

TEST_F(RegistryFile, ValuesRoundTripAndOtherLinesStayAsTheyWere)
{
    const std::string original =
        "# installed by the Mastwise installer\n"
        "[Software\\Belvor\\Mastwise]\n"
        "path = /opt/mastwise   \n"
        "AddtlGroups=Old\n"
        "\n"
        "; other tools\n"
        "[Software\\Other]\n"
        "Keep=  this  line  \n";
    QDir().mkpath(dir.filePath("sub"));
    WriteAll(file, original);

    const std::vector<std::string> values = {
        "", "plain", "  leading and trailing  ", "\"starts with a quote", "back\\slash\\", "line\nbreak\r\n",
        "tab\there", "caf\xC3\xA9 \xE2\x82\xAC", "a=b=c", "# not a comment", "\x01\x7F",
    };
    {
        TRegIniFile reg("Software\\Belvor", file);
        for (size_t i = 0; i < values.size(); ++i) reg.WriteString("Mastwise", "V" + IntToStr(i), values[i]);
        reg.WriteString("Mastwise", "ADDTLGROUPS", "Old,New");
        reg.WriteString("Tasklander", "Group", "Fresh");
    }
    TRegIniFile reg("software\\belvor", file);
    for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(reg.ReadString("Mastwise", "v" + IntToStr(i), "<default>"), values[i]);
    }
    EXPECT_EQ(reg.ReadString("Mastwise", "AddtlGroups", ""), "Old,New");
    EXPECT_EQ(reg.ReadString("Mastwise", "Path", ""), "/opt/mastwise");
    EXPECT_EQ(reg.ReadString("Tasklander", "group", ""), "Fresh");
    EXPECT_EQ(reg.ReadString("Nobody", "Path", "<default>"), "<default>");

    // Comments, spacing and foreign keys are untouched; the rewritten line keeps its name's spelling.
    const std::string now = ReadAll(file);
    EXPECT_EQ(now.rfind("# installed by the Mastwise installer\n[Software\\Belvor\\Mastwise]\npath = /opt/mastwise   \n"
                        "AddtlGroups=Old,New\n",
                        0),
              0u)
        << now;
    EXPECT_NE(now.find("\n; other tools\n[Software\\Other]\nKeep=  this  line  \n"), std::string::npos) << now;
    EXPECT_NE(now.find("[Software\\Belvor\\Tasklander]\nGroup=Fresh\n"), std::string::npos) << now;
    EXPECT_EQ(QDir(dir.filePath("sub")).entryList(QDir::Files), QStringList({"registry.txt"}));

    TStringList sections;
    reg.ReadSections(sections);
    EXPECT_EQ(sections.CommaText(), "Mastwise,Tasklander");
}

TEST_F(RegistryFile, MissingFileAndKeyAreCreated)
{
    TRegIniFile reg("Software\\Belvor", file);
    EXPECT_EQ(ReadAll(file), "[Software\\Belvor]\n");
    TStringList sections;
    reg.ReadSections(sections);
    EXPECT_EQ(sections.Count(), 0);
}

TEST_F(RegistryFile, DamagedFileIsReportedAndNeverWritten)
{
    QDir().mkpath(dir.filePath("sub"));
    const std::string damaged = "[Software\\Belvor\\Mastwise]\nPath=/opt\ngarbage line\n";
    WriteAll(file, damaged);
    try {
        TRegIniFile reg("Software\\Belvor", file);
        FAIL() << "opened a damaged file";
    } catch (const ERegistryDamaged& e) {
        EXPECT_NE(e.Message().find(file), std::string::npos);
        EXPECT_NE(e.Message().find("line 3"), std::string::npos);
    }
    TRegistryFile reg(file);
    EXPECT_THROW(reg.Update([](TRegistryData& d) { d.WriteValue("Software\\Belvor\\X", "A", "1"); }), ERegistryDamaged);
    EXPECT_EQ(ReadAll(file), damaged);
    EXPECT_EQ(QDir(dir.filePath("sub")).entryList(QDir::Files), QStringList({"registry.txt"}));
}

TEST_F(RegistryFile, HostileFilesAreRefusedAndLeftAsTheyAre)
{
    QDir().mkpath(dir.filePath("sub"));
    std::string oversized = "[Software\\Belvor]\n";
    while (oversized.size() <= 8u * 1024 * 1024) oversized += "# padding padding padding padding padding padding\n";
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131 + 7) & 0xFF);
    struct Case { const char* name; std::string text; const char* expected; };
    const std::vector<Case> cases = {
        {"larger than 8 MiB", oversized, "larger than 8 MiB"},
        {"binary bytes", binary, "damaged"},
        {"cut inside a quoted value", "[Software\\Belvor]\nA=\"half", "without its closing quote"},
        {"a NUL in a key line", std::string("[Software\\Bel\0vor]\n", 19), "a NUL byte"},
        {"an over-long key line without its end", "[" + std::string(100000, 'k'), "without its closing"},
        {"more than 500,000 lines", "[Software\\Belvor]\n" + std::string(500000, '\n'), "more than 500000 lines"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteAll(file, c.text);
        try {
            TRegIniFile reg("Software\\Belvor", file);
            ADD_FAILURE() << "opened a damaged file";
        } catch (const ERegistryDamaged& e) {
            EXPECT_NE(e.Message().find(c.expected), std::string::npos) << e.Message().substr(0, 200);
        }
        TRegistryFile reg(file);
        EXPECT_THROW(reg.Update([](TRegistryData& d) { d.WriteValue("Software\\Belvor", "A", "1"); }), ERegistryDamaged);
        EXPECT_TRUE(ReadAll(file) == c.text);
    }
    // A folder where the file should be cannot be read, and stays a folder.
    std::filesystem::remove(file);
    QDir().mkpath(QString::fromStdString(file));
    EXPECT_THROW(TRegIniFile("Software\\Belvor", file), ERegistryDamaged);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(file)).isDir());
    // So is a pipe (opening it would wait for a writer for good), and it stays a pipe.
    std::filesystem::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_THROW(TRegIniFile("Software\\Belvor", file), ERegistryDamaged);
    EXPECT_THROW(TRegistryFile(file).Update([](TRegistryData& d) { d.CreateKey("A"); }), ERegistryDamaged);
    EXPECT_TRUE(std::filesystem::is_fifo(file));
}

// A file of many keys and values (as a runaway tool might write) is read, listed and edited
// whole. Its speed at 50,000 keys is bench_registry's.
TEST(RegistryData, ManyKeysAndValuesAreListedAndDeletedWhole)
{
    constexpr int n = 2000;
    std::string text = "[Big]\n";
    for (int i = 0; i < n; ++i) text += "V" + std::to_string(i) + "=" + std::to_string(i) + "\nv" + std::to_string(i) + "=last\n";
    for (int i = 0; i < n; ++i) text += "[Big\\K" + std::to_string(i) + "]\n[big\\k" + std::to_string(i) + "\\Sub]\n";
    text += "[Other]\nKept=1\n";
    TRegistryData d = TRegistryData::Parse(text);
    const auto keys = d.SubKeys("Big");
    ASSERT_EQ(keys.size(), size_t(n));
    EXPECT_EQ(keys.front(), "K0");
    const auto values = d.Values("big");
    ASSERT_EQ(values.size(), size_t(n));
    EXPECT_EQ(values[7].first, "V7");
    EXPECT_EQ(values[7].second, "last");
    EXPECT_TRUE(d.DeleteKey("Big"));
    EXPECT_FALSE(d.KeyExists("Big"));
    EXPECT_EQ(d.Text(), "[Other]\nKept=1\n");
}

TEST_F(RegistryFile, AFileTooLargeToReadBackIsNotWritten)
{
    TRegIniFile reg("Software\\Belvor", file);
    const std::string before = ReadAll(file);
    EXPECT_THROW(reg.WriteString("T", "Big", std::string(8 * 1024 * 1024, 'v')), ERegistryException);
    EXPECT_EQ(ReadAll(file), before);
    EXPECT_NO_THROW(TRegIniFile("Software\\Belvor", file));
}

TEST_F(RegistryFile, NamesTheFileCannotHoldAreRefused)
{
    TRegIniFile reg("Software\\Belvor", file);
    const std::string before = ReadAll(file);
    struct Case { const char* section; const char* name; };
    const Case cases[] = {{"T", ""}, {"T", "a=b"}, {"T", " padded"}, {"T", "[x"}, {"T", "#x"}, {"T", "a\nb"},
                          {"a\\\\b", "N"}, {"bad]", "N"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.name);
        EXPECT_THROW(reg.WriteString(c.section, c.name, "v"), ERegistryException);
    }
    EXPECT_EQ(ReadAll(file), before);
}

TEST(RegistryLocation, EnvironmentChoosesTheFile)
{
    const QByteArray savedReg = qgetenv("MW_REGISTRY_FILE"), savedXdg = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("MW_REGISTRY_FILE");
    qputenv("XDG_CONFIG_HOME", "/cfg/home");
    EXPECT_EQ(RegistryFileName(), "/cfg/home/belvor/registry.txt");
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(UserConfigFolder(), QDir::cleanPath(QDir::homePath() + "/.config").toStdString());
    qputenv("MW_REGISTRY_FILE", "/tmp/other-user.txt");
    EXPECT_EQ(RegistryFileName(), "/tmp/other-user.txt");
    if (savedReg.isNull()) qunsetenv("MW_REGISTRY_FILE"); else qputenv("MW_REGISTRY_FILE", savedReg);
    if (savedXdg.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", savedXdg);
}

TEST(RegistryFileName, NamesThatAreNotUtf8AreUsedAsTheirBytes)
{
    // Latin-1 bytes in the folder and file names: the same file is read and written, and no
    // second file appears.
    mwtest::TempDir dir;
    const std::string folder = dir.File("Entw\xfcrfe");
    const std::string name = folder + "/registry-\xe9t\xe9.txt";
    std::filesystem::create_directory(folder);
    WriteAll(name, "[Software\\Belvor\\Tool]\nPath=/opt/tool\n");
    TRegIniFile reg("Software\\Belvor", name);
    EXPECT_EQ(reg.ReadString("Tool", "Path", "none"), "/opt/tool");
    reg.WriteString("Tool", "ExeName", "tool");
    EXPECT_EQ(ReadAll(name), "[Software\\Belvor\\Tool]\nPath=/opt/tool\nExeName=tool\n");
    std::vector<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(folder)) entries.push_back(e.path().filename().string());
    EXPECT_EQ(entries, std::vector<std::string>{"registry-\xe9t\xe9.txt"});
    // The file name as the environment gives it.
    ::setenv("MW_REGISTRY_FILE", name.c_str(), 1);
    EXPECT_EQ(RegistryFileName(), name);
    ::unsetenv("MW_REGISTRY_FILE");
}

// A write that cannot go through names the cause, leaves the file as it was and leaves nothing
// beside it.
TEST(RegistryFileWrite, FailuresNameTheirRealCause)
{
    mwtest::ScratchMount mount(64 * 1024);
    if (!mount.Mounted()) GTEST_SKIP() << "no small file system can be mounted here";
    const std::string name = mount.File("registry.txt");
    const std::string text = "[Software\\Belvor\\Tool]\nPath=/opt/tool\n";
    WriteAll(name, text);
    auto entries = [&] {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(mount.path())) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    };
    auto expectRefusal = [&](const std::string& cause) {
        try {
            TRegistryFile(name).Update([](TRegistryData& d) { d.WriteValue("Software\\Belvor\\Tool", "Group", std::string(20000, 'g')); });
            ADD_FAILURE() << "the write went through";
        } catch (const ERegistryException& e) {
            EXPECT_NE(e.Message().find("Cannot write the registry file " + name), std::string::npos) << e.Message();
            EXPECT_NE(e.Message().find(cause), std::string::npos) << e.Message();
            EXPECT_EQ(e.Message().find("locked"), std::string::npos) << e.Message();
        }
        EXPECT_EQ(ReadAll(name), text);
    };
    {
        SCOPED_TRACE("a full disk");
        ASSERT_TRUE(mount.Fill());
        expectRefusal("the disk is full");
        EXPECT_EQ(entries(), (std::vector<std::string>{".filler", "registry.txt"}));
    }
    {
        SCOPED_TRACE("a read-only folder");
        std::filesystem::remove(mount.path() / ".filler");
        ASSERT_TRUE(mount.MakeReadOnly());
        expectRefusal("is read-only");
        EXPECT_EQ(entries(), std::vector<std::string>{"registry.txt"});
    }
}

// Tasklander reads every tool's values key by key: each reads back what the file holds, and a
// write drops what was indexed. Its speed at 20,000 tools (one pass over the file in all) is
// bench_registry's.
TEST_F(RegistryFile, EveryKeysValuesAreReadAndAWriteIsSeen)
{
    constexpr int n = 1000;
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "[Software\\Belvor\\Tool" + std::to_string(i) + "]\nPath=/opt/t" + std::to_string(i) +
                "\nExeName=t\nGroup=G\nMenuCaption=Tool " + std::to_string(i) + "\nDescription=d\n";
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    WriteAll(file, text);
    TRegIniFile reg("Software\\Belvor", file);
    TStringList keys;
    reg.ReadSections(keys);
    ASSERT_EQ(keys.Count(), n);
    int checked = 0;
    for (int k = 0; k < keys.Count(); ++k) {
        TStringList values;
        reg.ReadSectionValues(keys[k], values);
        ASSERT_EQ(values.Count(), 5);
        const std::string number = keys[k].substr(4);
        checked += values.Values("Path") == "/opt/t" + number && reg.ReadString(keys[k], "menucaption", "") == "Tool " + number;
    }
    EXPECT_EQ(checked, n);
    // A write drops what was indexed: the new value reads back, the others stay.
    reg.WriteString("Tool7", "Group", "H");
    reg.WriteString("Tool7", "Extra", "x");
    EXPECT_EQ(reg.ReadString("Tool7", "Group", ""), "H");
    EXPECT_EQ(reg.ReadString("Tool7", "Extra", ""), "x");
    EXPECT_EQ(reg.ReadString("Tool8", "Group", ""), "G");
}
