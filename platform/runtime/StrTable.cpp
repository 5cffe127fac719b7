#include "StrTable.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<const TStringTable*>& Tables()
{
    static std::vector<const TStringTable*> tables;
    return tables;
}

const TStrTableEntry* Lookup(int32_t id)
{
    for (const TStringTable* t : Tables()) {
        const TStrTableEntry* end = t->entries + t->count;
        const TStrTableEntry* e = std::lower_bound(t->entries, end, id, [](const TStrTableEntry& a, int32_t v) { return a.id < v; });
        if (e != end && e->id == id) return e;
    }
    return nullptr;
}
} // namespace

TStringTableRegistration::TStringTableRegistration(const TStringTable& table) { Tables().push_back(&table); }

std::string LoadStr(int32_t id)
{
    const TStrTableEntry* e = Lookup(id);
    return e ? std::string(e->text) : std::string();
}

bool HasStr(int32_t id) { return Lookup(id) != nullptr; }
