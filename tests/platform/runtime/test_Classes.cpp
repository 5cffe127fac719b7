#include "platform/runtime/Classes.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {
std::string TempName(const char* leaf)
{
    return (std::filesystem::temp_directory_path() / (std::string("mw_classes_") + std::to_string(::getpid()) + leaf)).string();
}
} // namespace

TEST(MemoryStream, ReadWriteSeekAndShortReads)
{
    TMemoryStream m;
    m.WriteU32(0x04030201);
    m.WriteU16(0xBEEF);
    m.WriteString("xyz");
    EXPECT_EQ(m.Size(), 9);
    EXPECT_EQ(m.Bytes()[0], 1);
    EXPECT_EQ(m.Bytes()[3], 4);
    m.SetPosition(0);
    EXPECT_EQ(m.ReadU32(), 0x04030201u);
    EXPECT_EQ(m.ReadU16(), 0xBEEF);
    char buf[8] = {};
    EXPECT_EQ(m.Read(buf, 8), 3);
    EXPECT_STREQ(buf, "xyz");
    EXPECT_EQ(m.Read(buf, 1), 0);
    m.Seek(-1, TSeekOrigin::soEnd);
    EXPECT_THROW(m.ReadBuffer(buf, 2), EReadError);
    m.Seek(-100, TSeekOrigin::soCurrent);
    EXPECT_EQ(m.Position(), 0);
    m.SetSize(2);
    EXPECT_EQ(m.Size(), 2);
}

TEST(FileStream, CreateThenOpenReadOnlyFile)
{
    const std::string name = TempName("a.bin");
    {
        TFileStream f(name, fmCreate);
        f.WriteString("hello");
    }
    ::chmod(name.c_str(), 0444);
    {
        TFileStream f(name, fmOpenRead);
        EXPECT_EQ(f.Size(), 5);
        char buf[5];
        f.ReadBuffer(buf, 5);
        EXPECT_EQ(std::string(buf, 5), "hello");
        EXPECT_EQ(f.Write("x", 1), 0) << "a read-only stream must not write";
    }
    ::chmod(name.c_str(), 0644);
    std::remove(name.c_str());
    EXPECT_THROW(TFileStream(name, fmOpenRead), EFOpenError);
    EXPECT_THROW(TFileStream("/nonexistent-dir/x", fmCreate), EFCreateError);
}

TEST(StringList, TextUsesCrLfAndReadsEveryLineEnding)
{
    TStringList l;
    l.Add("a");
    l.Add("");
    l.Add("c");
    EXPECT_EQ(l.Text(), "a\r\n\r\nc\r\n");
    l.SetText("x\r\ny\nz\rw");
    ASSERT_EQ(l.Count(), 4);
    EXPECT_EQ(l[3], "w");
    EXPECT_THROW(l.Strings(4), EListError);
    EXPECT_THROW(l.Strings(-1), EListError);
}

TEST(StringList, SortedListsFindAndIgnoreDuplicates)
{
    TStringList l;
    l.SetSorted(true);
    for (const char* s : {"pear", "Apple", "fig", "apple"}) l.Add(s);
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l[0], "Apple");
    EXPECT_EQ(l.IndexOf("FIG"), 1);
    int i = -1;
    EXPECT_FALSE(l.Find("grape", i));
    EXPECT_EQ(i, 2);
    EXPECT_THROW(l.Insert(0, "x"), EListError);
    EXPECT_THROW(l.Put(0, "zzz"), EListError);  // would break the order Find relies on
    EXPECT_EQ(l[0], "Apple");
    EXPECT_EQ(l.IndexOf("pear"), 2);
    l.SetSorted(false);
    l.Put(0, "zzz");
    EXPECT_EQ(l[0], "zzz");
}

TEST(StringList, NamesValuesAndCommaText)
{
    TStringList l;
    l.Add("Path=/opt/x");
    l.Add("Group=Tools");
    EXPECT_EQ(l.Values("path"), "/opt/x");
    EXPECT_EQ(l.Names(1), "Group");
    l.SetValue("Group", "");
    EXPECT_EQ(l.Count(), 1);
    l.SetCommaText("a,\"b c\",\"d\"\"e\"");
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l[1], "b c");
    EXPECT_EQ(l[2], "d\"e");
    EXPECT_EQ(l.CommaText(), "a,\"b c\",\"d\"\"e\"");
}

TEST(StringList, FileRoundTrip)
{
    const std::string name = TempName("l.txt");
    TStringList l;
    l.Add("one");
    l.Add("two");
    l.SaveToFile(name);
    TStringList r;
    r.LoadFromFile(name);
    EXPECT_EQ(r.Text(), l.Text());
    std::remove(name.c_str());
}

namespace {

std::string FileText(const std::filesystem::path& p)
{
    TMemoryStream m;
    m.LoadFromFile(p.string());
    return std::string(m.Bytes().begin(), m.Bytes().end());
}

std::vector<std::string> FolderEntries(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The saves of both classes, on the same bytes.
struct Saver {
    const char* name;
    void (*save)(const std::string& fileName, const std::string& text);
};
const Saver kSavers[] = {
    {"TStringList", [](const std::string& f, const std::string& text) {
         TStringList l;
         l.SetText(text);
         l.SaveToFile(f);
     }},
    {"TMemoryStream", [](const std::string& f, const std::string& text) {
         TMemoryStream m;
         m.WriteString(text + "\r\n");
         m.SaveToFile(f);
     }},
};

// Lowers the file-size limit of this process for one scope, so a write past it fails the
// way a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lower = old_;
        lower.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_ {};
    void (*oldHandler_)(int) = nullptr;
};

} // namespace

TEST(SaveToFile, AFailedSaveKeepsTheOldFile)
{
    const std::string big(20000, 'x');
    for (const auto& s : kSavers) {
        SCOPED_TRACE(s.name);
        mwtest::TempDir dir;
        const auto file = dir.path() / "design.txt";
        s.save(file.string(), "the old content");
        {
            FileSizeLimit limit(4096);
            EXPECT_THROW(s.save(file.string(), big), EWriteError);
        }
        EXPECT_EQ(FileText(file), "the old content\r\n");
        EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"design.txt"}) << "no partial file left behind";
        // A save that fits still replaces the file.
        s.save(file.string(), "new");
        EXPECT_EQ(FileText(file), "new\r\n");
    }
}

TEST(SaveToFile, KeepsPermissionsLinksAndRefusals)
{
    for (const auto& s : kSavers) {
        SCOPED_TRACE(s.name);
        mwtest::TempDir dir;
        const auto file = dir.path() / "a.txt";
        s.save(file.string(), "one");
        ::chmod(file.c_str(), 0600);
        s.save(file.string(), "two");
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);

        const auto link = dir.path() / "link.txt";
        std::filesystem::create_symlink(file, link);
        s.save(link.string(), "three");
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        EXPECT_EQ(FileText(file), "three\r\n");
        const auto dangling = dir.path() / "dangling.txt";
        std::filesystem::create_symlink("made-by-save.txt", dangling);
        s.save(dangling.string(), "four");
        EXPECT_TRUE(std::filesystem::is_symlink(dangling));
        EXPECT_EQ(FileText(dir.path() / "made-by-save.txt"), "four\r\n");

        try {
            s.save((dir.path() / "missing" / "b.txt").string(), "x");
            ADD_FAILURE() << "saving into a missing folder succeeded";
        } catch (const EFCreateError& e) {
            EXPECT_NE(e.Message().find("missing/b.txt\""), std::string::npos) << e.Message();
        }
        EXPECT_THROW(s.save(dir.path().string(), "x"), EFCreateError);
        EXPECT_EQ(FolderEntries(dir.path()),
                  (std::vector<std::string>{"a.txt", "dangling.txt", "link.txt", "made-by-save.txt"}));
    }
}

TEST(Streams, MisuseRaisesInsteadOfCorrupting)
{
    TMemoryStream source;
    source.WriteString("abcdef");
    TMemoryStream target;
    target.WriteString("keep");
    source.SetPosition(0);
    EXPECT_THROW(target.CopyFrom(source, -1), EReadError);
    EXPECT_THROW(target.CopyFrom(source, 7), EReadError);  // more than the source holds
    source.SetPosition(2);
    EXPECT_EQ(target.CopyFrom(source, 0), 6);              // 0: all of it, from the start
    EXPECT_EQ(std::string(target.Bytes().begin(), target.Bytes().end()).substr(0, 4), "keep");
    EXPECT_EQ(std::string(target.Bytes().end() - 6, target.Bytes().end()), "abcdef");

    // A short write to a file is reported, not passed off as done.
    mwtest::TempDir dir;
    {
        TFileStream f((dir.path() / "ro.bin").string(), fmCreate);
        f.WriteString("data");
    }
    TFileStream readOnly((dir.path() / "ro.bin").string(), fmOpenRead);
    EXPECT_THROW(readOnly.WriteString("more"), EWriteError);
    EXPECT_THROW(readOnly.WriteU32(1), EWriteError);
}

TEST(StringList, AddingAListToItselfDoublesIt)
{
    TStringList l;
    int a = 1, b = 2;
    l.AddObject("a", &a);
    l.AddObject("b", &b);
    for (int i = 0; i < 6; ++i) l.AddStrings(l);  // grows past every reserve
    ASSERT_EQ(l.Count(), 128);
    for (int i = 0; i < l.Count(); ++i) {
        EXPECT_EQ(l[i], i % 2 ? "b" : "a");
        EXPECT_EQ(l.Objects(i), i % 2 ? static_cast<void*>(&b) : static_cast<void*>(&a));
    }
}

namespace {

// A source that claims more bytes than it delivers, like a file cut short while it is read.
class TShortSource : public TMemoryStream {
public:
    int64_t Size() override { return TMemoryStream::Size() + 10; }
};

} // namespace

TEST(MemoryStream, AFailedLoadKeepsWhatTheStreamHeld)
{
    TMemoryStream m;
    m.WriteString("kept");
    TShortSource cut;
    cut.WriteString("partial data");
    EXPECT_THROW(m.LoadFromStream(cut), EReadError);
    EXPECT_EQ(std::string(m.Bytes().begin(), m.Bytes().end()), "kept");

    TStringList l;
    l.Add("kept");
    cut.SetPosition(0);
    EXPECT_THROW(l.LoadFromStream(cut), EReadError);
    EXPECT_EQ(l.Text(), "kept\r\n");

    m.LoadFromStream(m);  // loading from itself reads what it holds
    EXPECT_EQ(std::string(m.Bytes().begin(), m.Bytes().end()), "kept");
    EXPECT_EQ(m.Position(), 0);

    // Absurd offsets saturate; a read from far past the end gives nothing.
    m.SetPosition(2);
    EXPECT_EQ(m.Seek(std::numeric_limits<int64_t>::max(), TSeekOrigin::soCurrent), std::numeric_limits<int64_t>::max());
    char c = 0;
    EXPECT_EQ(m.Read(&c, 1), 0);
    EXPECT_EQ(m.Write(&c, 1), 0);
    EXPECT_EQ(m.Seek(std::numeric_limits<int64_t>::min(), TSeekOrigin::soEnd), 0);
    EXPECT_EQ(m.Size(), 4);
}
