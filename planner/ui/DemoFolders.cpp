#include "planner/ui/DemoFolders.h"

#include "platform/services/ConfigPaths.h"
#include "planner/ui/MainState.h"

#include <filesystem>
#include <unistd.h>

namespace {

bool UsableFolder(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(folder, ec) && ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

std::string MacroFolder()
{
    const std::string beside = ProgramFolder + "Macros";
    if (UsableFolder(beside)) return beside;
    const std::string user = UserDataFolder() + "/mastwise/Macros";
    UsableFolder(user);
    return user;
}
