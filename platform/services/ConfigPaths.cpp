#include "platform/services/ConfigPaths.h"

#include <QDir>
#include <QFile>

#include <cstdlib>
#include <filesystem>

namespace {

// An environment variable as the file system's bytes ("" when unset).
std::string Environment(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// Without "." and ".." steps and without a trailing "/".
std::string Clean(const std::string& path)
{
    std::string s = std::filesystem::path(path).lexically_normal().string();
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

std::string UserConfigFolder()
{
    const std::string xdg = Environment("XDG_CONFIG_HOME");
    if (!xdg.empty() && xdg[0] == '/') return Clean(xdg);
    std::string home = Environment("HOME");
    if (home.empty()) home = QFile::encodeName(QDir::homePath()).toStdString();
    return Clean(home + "/.config");
}

std::string UserDataFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg).toStdString();
    return QDir::cleanPath(QDir::homePath() + "/.local/share").toStdString();
}

std::string RegistryFileName()
{
    const std::string env = Environment("MW_REGISTRY_FILE");
    if (!env.empty()) return env;
    return UserConfigFolder() + "/belvor/registry.txt";
}
