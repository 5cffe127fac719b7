#include "platform/runtime/StrTable.h"

#include <gtest/gtest.h>

MW_USE_STRING_TABLE(TestRuntime);

TEST(StrTable, LoadsCompiledStringsWithEscapes)
{
    EXPECT_EQ(LoadStr(100), "first");
    EXPECT_EQ(LoadStr(101), "with\ttab and \\ backslash");
    EXPECT_EQ(LoadStr(103), "  blanks kept  ");
    EXPECT_EQ(LoadStr(104), "A||");
}

TEST(StrTable, MissingIdGivesEmptyString)
{
    EXPECT_EQ(LoadStr(99), "");
    EXPECT_FALSE(HasStr(99));
    EXPECT_TRUE(HasStr(102));
    EXPECT_EQ(LoadStr(102), "");
}
