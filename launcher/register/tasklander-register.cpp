// Registers a tool for the launcher, for the user running it:
//   tasklander-register <KeyName> Name=Value...
// writes the values into HKEY_CURRENT_USER\Software\Belvor\<KeyName> of the user's registry
// file ($MW_REGISTRY_FILE, else <config>/belvor/registry.txt). Values not named stay as they are.
#include "platform/services/Registry.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s <KeyName> Name=Value...\n"
                     "  e.g. %s Mastwise Path=/opt/belvor ExeName=Mastwise MenuCaption=Mastwise Group=Broadcast\n",
                     argv[0], argv[0]);
        return 2;
    }
    const std::string key = std::string("Software\\Belvor\\") + argv[1];
    std::vector<std::pair<std::string, std::string>> values;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t eq = arg.find('=');
        if (eq == std::string::npos || eq == 0) {
            std::fprintf(stderr, "%s: \"%s\" is not Name=Value\n", argv[0], argv[i]);
            return 2;
        }
        values.emplace_back(arg.substr(0, eq), arg.substr(eq + 1));
    }
    try {
        TRegistryFile registry;
        registry.Update([&](TRegistryData& d) {
            for (const auto& [name, value] : values) d.WriteValue(key, name, value);
        });
        std::printf("%s registered in %s\n", argv[1], registry.FileName().c_str());
        return 0;
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.Message().c_str());
        return 1;
    }
}
