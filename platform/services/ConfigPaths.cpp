#include "platform/services/ConfigPaths.h"

#include <QDir>
#include <QtGlobal>

std::string UserConfigFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg).toStdString();
    return QDir::cleanPath(QDir::homePath() + "/.config").toStdString();
}

std::string UserDataFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg).toStdString();
    return QDir::cleanPath(QDir::homePath() + "/.local/share").toStdString();
}

std::string RegistryFileName()
{
    const QString env = qEnvironmentVariable("MW_REGISTRY_FILE");
    if (!env.isEmpty()) return env.toStdString();
    return UserConfigFolder() + "/belvor/registry.txt";
}
