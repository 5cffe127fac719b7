#include "MacroRecords.h"

#include <cstring>

namespace Vantrel {
namespace {

void Put32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t Get32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

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
    Put32(out + 0, e.message);
    Put32(out + 4, e.paramL);
    Put32(out + 8, e.paramH);
    Put32(out + 12, static_cast<uint32_t>(e.time));
    Put32(out + 16, e.hwnd);
}

TEventMsg LoadEvent(const uint8_t* in)
{
    TEventMsg e;
    e.message = Get32(in + 0);
    e.paramL = Get32(in + 4);
    e.paramH = Get32(in + 8);
    e.time = static_cast<int32_t>(Get32(in + 12));
    e.hwnd = Get32(in + 16);
    return e;
}

void StoreIdentity(const TWindowIdentity& w, uint8_t* out)
{
    std::memset(out, 0, IdentityRecordSize);
    WriteText(out + 0, w.className);
    WriteText(out + 41, w.windowText);
    // 122: two bytes of padding
    Put32(out + 124, static_cast<uint32_t>(w.ownerTag));
    Put32(out + 128, static_cast<uint32_t>(w.childTag));
    Put32(out + 132, static_cast<uint32_t>(w.originX));
    Put32(out + 136, static_cast<uint32_t>(w.originY));
    WriteText(out + 140, w.parentClassName);
    WriteText(out + 181, w.parentText);
    // 262: two bytes of padding
    Put32(out + 264, static_cast<uint32_t>(w.parentOriginX));
    Put32(out + 268, static_cast<uint32_t>(w.parentOriginY));
}

TWindowIdentity LoadIdentity(const uint8_t* in)
{
    TWindowIdentity w;
    ReadText(in + 0, w.className);
    ReadText(in + 41, w.windowText);
    w.ownerTag = static_cast<int32_t>(Get32(in + 124));
    w.childTag = static_cast<int32_t>(Get32(in + 128));
    w.originX = static_cast<int32_t>(Get32(in + 132));
    w.originY = static_cast<int32_t>(Get32(in + 136));
    ReadText(in + 140, w.parentClassName);
    ReadText(in + 181, w.parentText);
    w.parentOriginX = static_cast<int32_t>(Get32(in + 264));
    w.parentOriginY = static_cast<int32_t>(Get32(in + 268));
    return w;
}

}  // namespace Vantrel
