#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct Result {
    int status = -1;
    std::string output;  // what it wrote to stderr
};

// Runs the compiler with a time limit, so that an input it would wait on fails the test.
Result Compile(const std::string& out, const std::string& input)
{
    const std::string cmd = "timeout 30 \"" STRTABC "\" Test \"" + out + "\" \"" + input + "\" 2>&1";
    Result r;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 256> buf;
    while (size_t n = std::fread(buf.data(), 1, buf.size(), p)) r.output.append(buf.data(), n);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

} // namespace

TEST(Strtabc, CompilesATable)
{
    mwtest::TempDir dir;
    const std::string in = dir.File("t.strings");
    ASSERT_TRUE(mwtest::WriteFileText(in, "# comment\n7\tseven\\tand a tab\r\n1\tone\n"));
    const Result r = Compile(dir.File("t.cpp"), in);
    ASSERT_EQ(r.status, 0) << r.output;
    const std::string cpp = mwtest::ReadFileText(dir.path() / "t.cpp");
    EXPECT_NE(cpp.find("{1, \"one\"sv},\n    {7, \"seven\\011and a tab\"sv},"), std::string::npos) << cpp;
}

// Only regular files are read: a pipe would wait for a writer forever and a device may never end.
TEST(Strtabc, RefusesAnythingButARegularFile)
{
    mwtest::TempDir dir;
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        const char* name;
        std::string input;
        const char* message;
    };
    const Case cases[] = {
        {"a pipe", fifo, "not a regular file"},
        {"an endless device", "/dev/zero", "not a regular file"},
        {"a folder", dir.path().string(), "not a regular file"},
        {"a missing file", dir.File("missing.strings"), "cannot open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = dir.File("out.cpp");
        const Result r = Compile(out, c.input);
        EXPECT_EQ(r.status, 1) << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
        EXPECT_FALSE(fs::exists(out));
    }
}
