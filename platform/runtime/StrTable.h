// Program string tables: numbered strings compiled into the executable from a text
// resource (see tools/strtabc). LoadStr searches every table linked into the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct TStrTableEntry {
    int32_t id;
    std::string_view text;
};

struct TStringTable {
    const char* name;
    const TStrTableEntry* entries;  // sorted by id
    std::size_t count;
};

// Registers a table at static-initialisation time (the generated source does this).
class TStringTableRegistration {
public:
    explicit TStringTableRegistration(const TStringTable& table);
};

// The string with this id, or "" when no linked table has it.
std::string LoadStr(int32_t id);
// True when some linked table has the id (an empty string counts).
bool HasStr(int32_t id);

// Makes sure the named generated table is linked into every program that links the
// translation unit holding this line.
#define MW_USE_STRING_TABLE(name)                                                     \
    extern const TStringTable mw_strtab_##name;                                        \
    [[gnu::used]] static const TStringTable* const mw_strtab_use_##name = &mw_strtab_##name
