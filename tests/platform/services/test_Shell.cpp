// The shell: parameter splitting, starting a program in its folder, opening addresses.
#include "platform/services/Shell.h"
#include "support/WaitFor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

TEST(SplitParameters, SplitsAsAShellWouldWithoutExpanding)
{
    struct Case { const char* text; std::vector<std::string> expected; };
    const Case cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"-a  -b\tc", {"-a", "-b", "c"}},
        {"'one two' \"three four\"", {"one two", "three four"}},
        {"a'b c'd", {"ab cd"}},
        {"'' \"\"", {"", ""}},
        {R"("say \"hi\" \$HOME \\ \n")", {R"(say "hi" $HOME \ \n)"}},
        {R"('no \escapes "here"')", {R"(no \escapes "here")"}},
        {R"(a\ b \'c)", {"a b", "'c"}},
        {"$HOME ~ *.txt ; | &", {"$HOME", "~", "*.txt", ";", "|", "&"}},
        {"C:\\\\Belvor", {"C:\\Belvor"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitParameters(c.text), c.expected);
    }
    for (const char* bad : {"'open", "\"open", "trailing\\", "\"a\\\""}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(SplitParameters(bad), EConvertError);
    }
}

TEST(ShellExecuteOpen, StartsTheProgramWithItsParametersInItsFolder)
{
    QTemporaryDir dir;
    const QString work = dir.filePath("work dir");
    QDir().mkpath(work);
    const QString script = dir.filePath("tool.sh");
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > out.tmp\npwd >> out.tmp\n"
                "mv out.tmp out.txt\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ASSERT_TRUE(ShellExecuteOpen(script.toStdString(), "-x 'two words' \"$HOME\"", work.toStdString()));
    const QString out = work + "/out.txt";
    ASSERT_TRUE(mwtest::WaitFor([&] { return QFile::exists(out); }, "the started program to write its file"));
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "the program did not run";
    EXPECT_EQ(f.readAll().toStdString(), "-x\ntwo words\n$HOME\n" + QDir(work).canonicalPath().toStdString() + "\n");

    struct Case { QString file; std::string params; QString folder; };
    QFile plain(dir.filePath("plain.txt"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const Case refused[] = {
        {dir.filePath("missing.sh"), "", work},
        {dir.filePath("plain.txt"), "", work},   // not executable
        {dir.path(), "", work},                  // a folder
        {script, "", dir.filePath("no such folder")},
        {script, "'unclosed", work},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.file.toStdString() + " " + c.params);
        EXPECT_FALSE(ShellExecuteOpen(c.file.toStdString(), c.params, c.folder.toStdString()));
    }
}

TEST(ShellOpenURL, GoesToTheOpenerInForce)
{
    std::vector<std::string> opened;
    TUrlOpener previous = SetUrlOpener([&](const std::string& url) { opened.push_back(url); return true; });
    EXPECT_TRUE(ShellOpenURL("http://www.belvor.com/"));
    EXPECT_FALSE(ShellOpenURL(""));
    SetUrlOpener(previous);
    EXPECT_EQ(opened, std::vector<std::string>{"http://www.belvor.com/"});
}
