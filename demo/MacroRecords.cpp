#include "MacroRecords.h"

#include "platform/runtime/ByteIO.h"

#include <cstring>

namespace Vantrel {
namespace {

template <std::size_t N>
void WriteText(uint8_t* p, const char (&field)[N])
{
    std::memcpy(p, field, N);
    p[N - 1] = 0;
}

// A damaged file may lack the terminator: the last byte is forced to zero.
template <std::size_t N>
void ReadText(const uint8_t* p, char (&field)[N])
{
    std::memcpy(field, p, N);
    field[N - 1] = '\0';
}

}  // namespace

void StoreEvent(const TEventMsg& e, uint8_t* out)
{
    StoreLE32(out + 0, e.message);
    StoreLE32(out + 4, e.paramL);
    StoreLE32(out + 8, e.paramH);
    StoreLE32(out + 12, static_cast<uint32_t>(e.time));
    StoreLE32(out + 16, e.hwnd);
}

TEventMsg LoadEvent(const uint8_t* in)
{
    TEventMsg e;
    e.message = LoadLE32(in + 0);
    e.paramL = LoadLE32(in + 4);
    e.paramH = LoadLE32(in + 8);
    e.time = static_cast<int32_t>(LoadLE32(in + 12));
    e.hwnd = LoadLE32(in + 16);
    return e;
}

void StoreIdentity(const TWindowIdentity& w, uint8_t* out)
{
    std::memset(out, 0, IdentityRecordSize);
    WriteText(out + 0, w.className);
    WriteText(out + 41, w.windowText);
    // 122: two bytes of padding
    StoreLE32(out + 124, static_cast<uint32_t>(w.ownerTag));
    StoreLE32(out + 128, static_cast<uint32_t>(w.childTag));
    StoreLE32(out + 132, static_cast<uint32_t>(w.originX));
    StoreLE32(out + 136, static_cast<uint32_t>(w.originY));
    WriteText(out + 140, w.parentClassName);
    WriteText(out + 181, w.parentText);
    // 262: two bytes of padding
    StoreLE32(out + 264, static_cast<uint32_t>(w.parentOriginX));
    StoreLE32(out + 268, static_cast<uint32_t>(w.parentOriginY));
}

TWindowIdentity LoadIdentity(const uint8_t* in)
{
    TWindowIdentity w;
    ReadText(in + 0, w.className);
    ReadText(in + 41, w.windowText);
    w.ownerTag = static_cast<int32_t>(LoadLE32(in + 124));
    w.childTag = static_cast<int32_t>(LoadLE32(in + 128));
    w.originX = static_cast<int32_t>(LoadLE32(in + 132));
    w.originY = static_cast<int32_t>(LoadLE32(in + 136));
    ReadText(in + 140, w.parentClassName);
    ReadText(in + 181, w.parentText);
    w.parentOriginX = static_cast<int32_t>(LoadLE32(in + 264));
    w.parentOriginY = static_cast<int32_t>(LoadLE32(in + 268));
    return w;
}

}  // namespace Vantrel
