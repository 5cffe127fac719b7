// Any bytes as a help container: open it and load every entry it lists.
#include "FuzzFile.h"
#include "demo/MacroFile.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static TScratchFile input(".qgf");
    using namespace Vantrel;
    try {
        TQGFile q(input.Write(data, size));
        q.OpenContainer();
        for (int i = 0; i < q.EntryCount(); ++i) {
            std::vector<TEventMsg> events;
            std::vector<TWindowIdentity> identities;
            int count = 0;
            try {
                q.LoadEntry(q.Entry(i).id, events, count, identities);
            } catch (const ELoadError&) {
            }
        }
    } catch (const Exception&) {
    }
    return 0;
}
