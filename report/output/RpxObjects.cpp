#include "RpxObjects.h"

#include "RpxText.h"

#include "platform/runtime/ByteIO.h"

#include <algorithm>
#include <cstring>

int16_t SaturateI16(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)); }

TRpxLogFont TRpxFont::LogFont(int ppiY) const
{
    TRpxLogFont f;
    f.Height = -MulDiv(Size, ppiY, 72);
    f.Weight = Bold ? 700 : 400;
    f.Italic = Italic;
    f.Underline = Underline;
    f.StrikeOut = StrikeOut;
    f.CharSet = CharSet;
    f.PitchAndFamily = PitchAndFamily;
    f.Escapement = Escapement;
    f.FaceName = Name;
    f.Color = Color;
    return f;
}

std::vector<uint8_t> FontPayload(const TRpxFont& font)
{
    const TRpxLogFont lf = font.LogFont(96);
    TByteWriter w;
    w.I32(font.Color);
    w.I16(SaturateI16(font.Size));
    w.U8(lf.Italic);
    w.U8(lf.Underline);
    w.U8(lf.StrikeOut);
    w.I16(SaturateI16(lf.Escapement));
    w.I16(SaturateI16(lf.Weight));
    w.U8(lf.CharSet);
    w.U8(lf.OutPrecision);
    w.U8(lf.ClipPrecision);
    w.U8(lf.Quality);
    w.U8(lf.PitchAndFamily);
    std::string face = Utf8ToCp1252(font.Name);
    face.resize(kFaceNameBytes, '\0');
    w.String(face);
    return w.TakeBytes();
}

std::vector<uint8_t> PenPayload(const TRpxPen& pen)
{
    TByteWriter w;
    w.I32(pen.Color);
    w.U8(pen.Style);
    w.I16(SaturateI16(pen.Width));
    w.U8(pen.Mode);
    return w.TakeBytes();
}

std::vector<uint8_t> BrushPayload(const TRpxBrush& brush)
{
    TByteWriter w;
    w.I32(brush.Color);
    w.U8(brush.Style);
    return w.TakeBytes();
}

TRpxLogFont FontOfPayload(const std::vector<uint8_t>& p, int ppiY)
{
    TByteReader r(p);
    TRpxLogFont f;
    f.Color = r.I32();
    f.Height = -MulDiv(r.I16(), ppiY, 72);
    f.Italic = r.U8();
    f.Underline = r.U8();
    f.StrikeOut = r.U8();
    f.Escapement = r.I16();
    f.Orientation = 0;
    f.Weight = r.I16();
    f.CharSet = r.U8();
    f.OutPrecision = r.U8();
    f.ClipPrecision = r.U8();
    f.Quality = r.U8();
    f.PitchAndFamily = r.U8();
    const auto face = r.Take(kFaceNameBytes);
    const auto end = std::find(face.begin(), face.end(), uint8_t{0});
    f.FaceName = Cp1252ToUtf8(std::string(face.begin(), end));
    return f;
}

TRpxLogPen PenOfPayload(const std::vector<uint8_t>& p)
{
    TByteReader r(p);
    TRpxLogPen pen;
    pen.Color = r.I32();
    pen.Style = r.U8();
    pen.Width = r.I16();
    pen.Mode = r.U8();
    return pen;
}

TRpxLogBrush BrushOfPayload(const std::vector<uint8_t>& p)
{
    TByteReader r(p);
    TRpxLogBrush b;
    b.Color = r.I32();
    b.Style = r.U8();
    return b;
}

int16_t FileKindOf(TRpxObjectKind k)
{
    switch (k) {
    case rokFont: return 1;
    case rokPen: return 2;
    case rokBrush: return 3;
    default: return 0;
    }
}

TRpxObjectKind MemoryKindOf(int16_t fileKind)
{
    switch (fileKind) {
    case 1: return rokFont;
    case 2: return rokPen;
    case 3: return rokBrush;
    default: return rokNone;
    }
}

size_t PayloadSize(TRpxObjectKind k)
{
    switch (k) {
    case rokFont: return kFontPayload;
    case rokPen: return kPenPayload;
    case rokBrush: return kBrushPayload;
    default: return 0;
    }
}
