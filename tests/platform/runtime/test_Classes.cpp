#include "platform/runtime/Classes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

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
