// Registering a tool from the command line, as the README shows.
#include "LauncherFixture.h"
#include "platform/services/Registry.h"

#include <QProcess>

namespace {

int RunRegister(const std::string& registry, const QStringList& args, QString* errors = nullptr)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MW_REGISTRY_FILE", QString::fromStdString(registry));
    p.setProcessEnvironment(env);
    p.start(MW_REGISTER_TOOL, args);
    if (!p.waitForFinished(60000)) return -1;
    if (errors) *errors = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitCode();
}

}  // namespace

TEST_F(LauncherFixture, RegisterWritesTheToolKeyAndKeepsTheRest)
{
    WriteText(registry, "# mine\n[Software\\Belvor\\Other]\nPath=/x\n");
    ASSERT_EQ(RunRegister(registry, {"Mastwise", "Path=/opt/belvor/planner", "ExeName=Mastwise", "Parameters=",
                                     "MenuCaption=Mastwise", "Description=  padded  ", "Group=Broadcast"}),
              0);
    ASSERT_EQ(RunRegister(registry, {"Mastwise", "group=Broadcast,Microwave"}), 0);
    const std::string text = ReadText(registry);
    EXPECT_EQ(text.rfind("# mine\n[Software\\Belvor\\Other]\nPath=/x\n\n[Software\\Belvor\\Mastwise]\n", 0), 0u) << text;
    TRegIniFile reg("Software\\Belvor", registry);
    struct Case { const char* name; const char* value; };
    const Case cases[] = {{"Path", "/opt/belvor/planner"}, {"ExeName", "Mastwise"}, {"Parameters", ""},
                          {"Description", "  padded  "}, {"Group", "Broadcast,Microwave"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(reg.ReadString("Mastwise", c.name, "<missing>"), c.value);
    }
}

TEST_F(LauncherFixture, RegisterRefusesBadInputAndDamagedFiles)
{
    const std::string damaged = "[Software\\Belvor]\nbroken\n";
    WriteText(registry, damaged);
    QString errors;
    EXPECT_EQ(RunRegister(registry, {"Mastwise", "Path=/x"}, &errors), 1);
    EXPECT_TRUE(errors.contains("is damaged (line 2")) << errors.toStdString();
    EXPECT_EQ(ReadText(registry), damaged);
    EXPECT_EQ(RunRegister(registry, {"Mastwise", "no-equals"}), 2);
    EXPECT_EQ(RunRegister(registry, {"Mastwise"}), 2);
    EXPECT_EQ(ReadText(registry), damaged);
}
