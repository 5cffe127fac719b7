// A user's registry and tool folders in a fresh temporary folder.
#pragma once

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

inline std::string ReadText(const std::string& name)
{
    QFile f(QString::fromStdString(name));
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll().toStdString();
}

inline void WriteText(const std::string& name, const std::string& text)
{
    QFile f(QString::fromStdString(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name;
    f.write(text.data(), static_cast<qint64>(text.size()));
}

class LauncherFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string root = dir.path().toStdString();
    std::string registry = root + "/config/belvor/registry.txt";

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(QString::fromStdString(root + "/config/belvor"));
    }

    // An executable script in <root>/<folder>/<exe> that writes its arguments and working
    // folder to ran.txt in the folder it runs in; with a red 32 x 32 icon beside it on request.
    std::string MakeTool(const std::string& folder, const std::string& exe, bool withIcon)
    {
        const std::string path = root + "/" + folder;
        QDir().mkpath(QString::fromStdString(path));
        WriteText(path + "/" + exe,
                  "#!/bin/sh\n{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; pwd; } > ran.tmp\nmv ran.tmp ran.txt\n");
        QFile::setPermissions(QString::fromStdString(path + "/" + exe),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (withIcon) {
            QImage icon(32, 32, QImage::Format_ARGB32);
            icon.fill(QColor(255, 0, 0));
            const std::string base = exe.substr(0, exe.rfind('.'));
            icon.save(QString::fromStdString(path + "/" + base + ".png"));
        }
        return path;
    }
};
