// Any bytes as a macro file: opening and loading either succeed or fail with the file
// classes' errors; never a crash, a hang or an overflow.
#include "FuzzFile.h"
#include "demo/MacroFile.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static TScratchFile input(".mcr");
    using namespace Vantrel;
    try {
        TMacroFile f(input.Write(data, size));
        f.OpenMacro();
        std::vector<TEventMsg> events(static_cast<std::size_t>(f.EventCount()));
        std::vector<TWindowIdentity> identities(events.size());
        f.LoadMacro(events, identities, f.EventCount());
    } catch (const Exception&) {
    }
    return 0;
}
