#include "platform/runtime/SysUtils.h"

#include <gtest/gtest.h>

TEST(SysUtils, TrimRemovesEveryControlCharacterAndBlank)
{
    EXPECT_EQ(Trim("\t\r\n  abc \x01\x1f"), "abc");
    EXPECT_EQ(TrimLeft("  a b  "), "a b  ");
    EXPECT_EQ(TrimRight("  a b  "), "  a b");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim(" \t "), "");
    // Characters above 0x20 stay, high ones too.
    EXPECT_EQ(Trim("\xa0x\xa0"), "\xa0x\xa0");
}

TEST(SysUtils, CaseInsensitiveComparisonIsAsciiOnly)
{
    EXPECT_TRUE(SameText("TfrmAbc", "TFRMABC"));
    EXPECT_FALSE(SameText("abc", "abd"));
    EXPECT_LT(CompareText("a", "B"), 0);
    EXPECT_GT(CompareText("ab", "A"), 0);
    EXPECT_EQ(CompareText("", ""), 0);
}

TEST(SysUtils, PosOfAnEmptyNeedleIsNeverFound)
{
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Pos("b", "abc"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abc", 3, 10), "c");
    EXPECT_EQ(Copy("abc", 4, 1), "");
    EXPECT_EQ(Copy("abc", 0, 2), "ab");
}

TEST(SysUtils, FileNameParts)
{
    EXPECT_EQ(ExtractFilePath("/a/b/c.txt"), "/a/b/");
    EXPECT_EQ(ExtractFileName("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(ExtractFileExt("/a/b.d/c"), "");
    EXPECT_EQ(ExtractFileExt("report.v2.pdf"), ".pdf");
    EXPECT_EQ(ChangeFileExt("report.v2.pdf", ".gif"), "report.v2.gif");
    EXPECT_EQ(ChangeFileExt("/x.y/name", ".gif"), "/x.y/name.gif");
}

TEST(SysUtils, ShortStringCutsOnAssignment)
{
    ShortString<10> s = "0123456789abc";
    EXPECT_EQ(s.str(), "0123456789");
    s = std::string("short");
    EXPECT_EQ(s.str(), "short");
    ShortString<20> t;
    EXPECT_TRUE(t.empty());
    EXPECT_EQ("Rux-" + ShortString<20>("C3"), "Rux-C3");
}

TEST(SysUtils, ExceptionsCarryTheClassLibraryTexts)
{
    EXPECT_STREQ(EReadError().what(), "Stream read error");
    EXPECT_STREQ(EWriteError().what(), "Stream write error");
    EXPECT_THROW(Abort(), EAbort);
    try {
        AbstractError();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Abstract Error");
    }
}
