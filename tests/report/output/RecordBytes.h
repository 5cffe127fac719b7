// Expected record bytes, built field by field the way the file format reads.
#pragma once

#include "report/DaxPageSetup.h"
#include "report/output/RpxFile.h"

#include "platform/runtime/ByteIO.h"

#include <string>
#include <vector>

struct TRecordBytes {
    TByteWriter W;
    TRecordBytes& Code(int16_t c) { W.I16(c); return *this; }
    TRecordBytes& I16(int16_t v) { W.I16(v); return *this; }
    TRecordBytes& I32(int32_t v) { W.I32(v); return *this; }
    TRecordBytes& U8(uint8_t v) { W.U8(v); return *this; }
    TRecordBytes& Rect(int l, int t, int r, int b) { W.I16(int16_t(l)); W.I16(int16_t(t)); W.I16(int16_t(r)); W.I16(int16_t(b)); return *this; }
    TRecordBytes& Str(const std::string& s) { W.I32(int32_t(s.size())); W.String(s); return *this; }
    TRecordBytes& Setup(const TRpxPrinterSetup& s)
    {
        TMemoryStream m;
        s.WriteRecord(m);
        W.Bytes(m.Bytes());
        return *this;
    }
    std::vector<uint8_t> Bytes() const { return W.Bytes(); }
};

inline std::vector<uint8_t> StreamBytes(TStream& s)
{
    const int64_t at = s.Position();
    std::vector<uint8_t> v(static_cast<size_t>(s.Size()));
    s.SetPosition(0);
    s.ReadBuffer(v.data(), static_cast<int64_t>(v.size()));
    s.SetPosition(at);
    return v;
}
