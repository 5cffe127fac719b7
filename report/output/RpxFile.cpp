#include "RpxFile.h"

#include "RpxDraw.h"
#include "RpxPicture.h"
#include "RpxText.h"

#include "platform/runtime/ByteIO.h"
#include "platform/runtime/FileSave.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

constexpr int32_t kChunk = 1000;

std::vector<std::pair<int16_t, TRpxRecordHandler>>& Handlers()
{
    static std::vector<std::pair<int16_t, TRpxRecordHandler>> handlers;
    return handlers;
}

// The 37-byte fixed page-setup record of older files (36 bytes without the collate byte).
void WriteFixedSetup(TByteWriter& w, const TRpxPrinterSetup& s, bool withCollate)
{
    w.I16(static_cast<int16_t>(s.Orientation));
    w.I16(static_cast<int16_t>(s.PaperSize));
    w.U64(std::bit_cast<uint64_t>(s.PaperLength));
    w.U64(std::bit_cast<uint64_t>(s.PaperWidth));
    w.I16(static_cast<int16_t>(s.Scale));
    w.I16(static_cast<int16_t>(s.Copies));
    w.I16(static_cast<int16_t>(s.DefaultSource));
    w.I16(static_cast<int16_t>(s.PrintQuality));
    w.I16(static_cast<int16_t>(s.Color));
    w.I16(static_cast<int16_t>(s.Duplex));
    w.I16(static_cast<int16_t>(s.YResolution));
    w.I16(static_cast<int16_t>(s.TTOption));
    if (withCollate) w.U8(s.Collate);
}

// Reads exactly count bytes of the record stream (EReadError when it ends first), refusing
// a count larger than what remains before anything is allocated.
std::vector<uint8_t> ReadExact(TStream& s, int64_t count)
{
    if (count < 0 || count > s.Size() - s.Position()) throw EReadError("Record runs past the end of the page data");
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    s.ReadBuffer(bytes.data(), count);
    return bytes;
}

TRpxRect ReadRect(TStream& s)
{
    TRpxRect r;
    r.Left = s.ReadI16();
    r.Top = s.ReadI16();
    r.Right = s.ReadI16();
    r.Bottom = s.ReadI16();
    return r;
}

} // namespace

// --- TRpxList --------------------------------------------------------------------------------

int32_t TRpxList::Add(int32_t offset)
{
    if (count_ + 1 > static_cast<int32_t>(chunks_.size()) * kChunk) {
        chunks_.emplace_back();
        chunks_.back().reserve(kChunk);
    }
    chunks_.back().push_back(offset);
    return count_++;
}

int32_t TRpxList::Get(int32_t index) const
{
    if (index < 0 || index >= count_) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return chunks_[static_cast<size_t>(index / kChunk)][static_cast<size_t>(index % kChunk)];
}

void TRpxList::Set(int32_t index, int32_t offset)
{
    if (index < 0 || index >= count_) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    chunks_[static_cast<size_t>(index / kChunk)][static_cast<size_t>(index % kChunk)] = offset;
}

void TRpxList::Clear()
{
    chunks_.clear();
    count_ = 0;
}

// --- TRpxFile --------------------------------------------------------------------------------

TRpxFile::TRpxFile() : Stream(std::make_unique<TRpxStream>()), PrinterSetup(std::make_unique<TRpxPrinterSetup>()) {}
TRpxFile::~TRpxFile() = default;

void TRpxFile::TakeDocument(TRpxRpxFile&) { throw EAbstractError("Abstract Error"); }
void TRpxFile::TakePage(TRpxRpxFile&, int) { throw EAbstractError("Abstract Error"); }
void TRpxFile::TakeRange(TRpxRpxFile&, int, int) { throw EAbstractError("Abstract Error"); }
void TRpxFile::LoadFromFile(const std::string&) { throw EAbstractError("Abstract Error"); }
void TRpxFile::LoadFromStream(TStream&) { throw EAbstractError("Abstract Error"); }
void TRpxFile::SendDocument(TRpxFile&) { throw EAbstractError("Abstract Error"); }
void TRpxFile::SendPage(TRpxFile&, int) { throw EAbstractError("Abstract Error"); }
void TRpxFile::SendRange(TRpxFile&, int, int) { throw EAbstractError("Abstract Error"); }
void TRpxFile::SaveToFile(const std::string&) { throw EAbstractError("Abstract Error"); }
void TRpxFile::SaveToStream(TStream&) { throw EAbstractError("Abstract Error"); }
void TRpxFile::PlayPage(TRpxDevice&, int) { throw EAbstractError("Abstract Error"); }

void TRpxFile::Clear()
{
    Stream = std::make_unique<TRpxStream>();
    Pages.Clear();
}

std::function<void(TRpxDevice& dc, const TRpxRichText& text)> RpxRichTextRenderer;

void RegisterRpxRecordHandler(int16_t code, TRpxRecordHandler handler)
{
    Handlers().emplace_back(code, std::move(handler));
}

void ClearRpxRecordHandlers() { Handlers().clear(); }

int ClampPage(const TRpxRpxFile& document, int n) { return std::max(1, std::min(n, document.CompletePages())); }

// --- TRpxRpxFile: recording ------------------------------------------------------------------

TRpxRpxFile::TRpxRpxFile() = default;
TRpxRpxFile::~TRpxRpxFile() = default;

int32_t TRpxRpxFile::CompletePages() const { return Recording ? PageCount() - 1 : PageCount(); }

void TRpxRpxFile::WriteRecordBytes(const std::vector<uint8_t>& bytes)
{
    Stream->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TRpxRpxFile::WriteCode(int16_t code)
{
    Emit([&](TByteWriter& w) { w.I16(code); });
}

void TRpxRpxFile::WriteCoord(int64_t v)
{
    Emit([&](TByteWriter& w) { w.I16(SaturateI16(v)); });
}

void TRpxRpxFile::WriteI32(int32_t v)
{
    Emit([&](TByteWriter& w) { w.I32(v); });
}

void TRpxRpxFile::WriteByte(uint8_t v)
{
    Emit([&](TByteWriter& w) { w.U8(v); });
}

void TRpxRpxFile::WriteRect(const TRpxRect& r)
{
    Emit([&](TByteWriter& w) {
        for (int v : {r.Left, r.Top, r.Right, r.Bottom}) w.I16(SaturateI16(v));
    });
}

void TRpxRpxFile::WriteString(std::string_view utf8)
{
    const std::string bytes = Utf8ToCp1252(utf8);
    Emit([&](TByteWriter& w) {
        w.I32(static_cast<int32_t>(bytes.size()));
        w.String(bytes);
    });
}

void TRpxRpxFile::WriteBlob(const std::vector<uint8_t>& blob)
{
    Emit([&](TByteWriter& w) {
        w.I32(static_cast<int32_t>(blob.size()));
        w.Bytes(blob);
    });
}

void TRpxRpxFile::WriteBlob(TStream& blob)
{
    WriteI32(static_cast<int32_t>(blob.Size()));
    if (blob.Size() > 0) Stream->CopyFrom(blob, 0);
}

void TRpxRpxFile::BeginRecording()
{
    Progress = 0;
    version_ = 4.0f;
    Stream = std::make_unique<TRpxStream>();
    Pages.Clear();
    Objects.clear();
    CurrentRecordFont = CurrentRecordPen = CurrentRecordBrush = -1;
    InitialSetup = std::make_unique<TRpxPrinterSetup>();
    InitialSetup->Assign(*PrinterSetup);
    Pages.Add(0);
    PrinterSetup->WriteRecord(*Stream);
    WriteCode(rcPageStart);
    Recording = true;
}

void TRpxRpxFile::RecordNewPage()
{
    WriteCode(rcPageEnd);
    Pages.Add(static_cast<int32_t>(Stream->Position()));
    PrinterSetup->WriteRecord(*Stream);
    WriteCode(rcPageStart);
    for (int index : {CurrentRecordFont, CurrentRecordPen, CurrentRecordBrush}) {
        if (index < 0) continue;
        WriteCode(rcSelectObject);
        WriteCoord(index);
    }
}

void TRpxRpxFile::EndRecording()
{
    WriteCode(rcPageEnd);
    Recording = false;
    Progress = 100.0f;
    // The recording has ended even when the file cannot be written; that error goes on.
    std::unique_ptr<TRpxPrinterSetup> initial = std::move(InitialSetup);
    if (!initial) return;
    if (SaveOnEnd) SaveFileWith(*initial);
    else PrinterSetup->Assign(*initial);
}

int TRpxRpxFile::FindOrAdd(TRpxObjectKind kind, std::vector<uint8_t> payload, size_t compare)
{
    for (size_t i = 0; i < Objects.size(); ++i) {
        const auto& o = Objects[i];
        if (o.Kind == kind && o.Payload.size() == payload.size() &&
            std::equal(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(compare), o.Payload.begin()))
            return static_cast<int>(i);
    }
    Objects.push_back({kind, std::move(payload)});
    return static_cast<int>(Objects.size() - 1);
}

void TRpxRpxFile::RecordFont(const TRpxFont& font)
{
    // The face name is part of the compared bytes: an exact, case-sensitive match.
    CurrentRecordFont = FindOrAdd(rokFont, FontPayload(font), kFontPayload);
    WriteCode(rcSelectObject);
    WriteCoord(std::min(CurrentRecordFont, 32767));
}

void TRpxRpxFile::RecordPen(const TRpxPen& pen)
{
    CurrentRecordPen = FindOrAdd(rokPen, PenPayload(pen), kPenPayload);
    WriteCode(rcSelectObject);
    WriteCoord(std::min(CurrentRecordPen, 32767));
}

void TRpxRpxFile::RecordBrush(const TRpxBrush& brush)
{
    CurrentRecordBrush = FindOrAdd(rokBrush, BrushPayload(brush), kBrushPayload);
    WriteCode(rcSelectObject);
    WriteCoord(std::min(CurrentRecordBrush, 32767));
}

// --- Page setups -----------------------------------------------------------------------------

bool TRpxRpxFile::ReadPageSetup(TRpxPrinterSetup& setup, int n)
{
    if (PageCount() == 0 || (Recording && PageCount() < 2)) {
        setup.Assign(*PrinterSetup);
        return false;
    }
    n = ClampPage(*this, n);
    const int64_t saved = Stream->Position();
    bool ok = false;
    try {
        Stream->SetPosition(Pages.Get(n - 1));
        const int16_t code = Stream->ReadI16();
        if (code == rcLegacySetup) {
            const auto bytes = ReadExact(*Stream, kLegacySetupSize);
            setup.LoadFixedRecord(bytes.data(), bytes.size());
            ok = true;
        } else if (code == rcPrinterSetup) {
            ok = setup.ReadRecord(*Stream);
        }
    } catch (const EReadError&) {
        ok = false;
    }
    Stream->SetPosition(saved);
    return ok;
}

// --- Saving ----------------------------------------------------------------------------------

std::vector<uint8_t> TRpxRpxFile::FilePrefix(const TRpxPrinterSetup& setup)
{
    TByteWriter w;
    w.String("RPX");
    w.I32(kRpxIdentifier);
    w.U32(std::bit_cast<uint32_t>(version_));
    const size_t offsetAt = w.Position();
    w.I32(0);
    const std::string title = Utf8ToCp1252(Title);
    const size_t titleBytes = std::min(title.size(), kRpxTitleChars);
    w.String(std::string_view(title).substr(0, titleBytes));
    w.Fill(0, kRpxTitleChars + 1 - titleBytes);
    w.I32(PageCount());
    w.U16(static_cast<uint16_t>(std::min<size_t>(Objects.size(), 65535)));
    w.I16(PixelsPerInchX);
    w.I16(PixelsPerInchY);
    if (version_ >= 4.0f) {
        TMemoryStream m;
        setup.WriteRecord(m);
        w.Bytes(m.Bytes());
    } else {
        // An older document keeps its own form so that it reloads as it was.
        WriteFixedSetup(w, setup, version_ >= 3.0f);
    }
    w.I32(static_cast<int32_t>(ExtraData.Size()));
    w.Bytes(ExtraData.Bytes());
    for (int32_t i = 0; i < PageCount(); ++i) w.I32(Pages.Get(i));
    for (size_t i = 0; i < std::min<size_t>(Objects.size(), 65535); ++i) {
        w.I16(FileKindOf(Objects[i].Kind));
        w.Bytes(Objects[i].Payload);
    }
    w.PatchU32(offsetAt, static_cast<uint32_t>(w.Position()));
    return w.TakeBytes();
}

void TRpxRpxFile::SaveWith(TStream& out, const TRpxPrinterSetup& setup)
{
    const auto prefix = FilePrefix(setup);
    out.WriteBuffer(prefix.data(), static_cast<int64_t>(prefix.size()));
    const int64_t saved = Stream->Position();
    Stream->SetPosition(0);
    std::vector<uint8_t> buf(65536);
    int64_t left = Stream->Size();
    while (left > 0) {
        const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buf.size()));
        Stream->ReadBuffer(buf.data(), n);
        out.WriteBuffer(buf.data(), n);
        left -= n;
    }
    Stream->SetPosition(saved);
}

void TRpxRpxFile::SaveFileWith(const TRpxPrinterSetup& setup)
{
    TMemoryStream m;
    SaveWith(m, setup);
    SaveFileAtomically(FileName, m.Bytes());
}

void TRpxRpxFile::SaveToStream(TStream& stream)
{
    if (Recording) return;
    SaveWith(stream, *PrinterSetup);
}

void TRpxRpxFile::SaveToFile(const std::string& fileName)
{
    if (Recording) return;
    TMemoryStream m;
    SaveWith(m, *PrinterSetup);
    SaveFileAtomically(fileName, m.Bytes());
}

void TRpxRpxFile::SendDocument(TRpxFile& target) { target.TakeDocument(*this); }
void TRpxRpxFile::SendPage(TRpxFile& target, int n) { target.TakePage(*this, n); }
void TRpxRpxFile::SendRange(TRpxFile& target, int first, int last) { target.TakeRange(*this, first, last); }

// --- Loading ---------------------------------------------------------------------------------

void TRpxRpxFile::Clear()
{
    TRpxFile::Clear();
    CurrentPlayFont = CurrentPlayPen = CurrentPlayBrush = -1;
    CurrentRecordFont = CurrentRecordPen = CurrentRecordBrush = -1;
    Objects.clear();
    ExtraData.Clear();
    Recording = false;
    version_ = 4.0f;
}

void TRpxRpxFile::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead);
    LoadFromStream(f);
}

void TRpxRpxFile::LoadFromStream(TStream& stream)
{
    Clear();
    TMemoryStream file;
    const int64_t left = stream.Size() - stream.Position();
    if (left > 0) file.CopyFrom(stream, left);
    try {
        Parse(file);
    } catch (const EReadError&) {
        Clear();
        Title.clear();
        throw;
    }
}

void TRpxRpxFile::Parse(TMemoryStream& file)
{
    TByteReader r(file.Memory(), static_cast<size_t>(file.Size()));
    if (r.Remaining() < kRpxHeaderSize) throw EReadError("Report file is shorter than its header");
    r.Skip(3);
    if (r.I32() != kRpxIdentifier) return;   // not a report document: stays empty
    version_ = std::bit_cast<float>(r.U32());
    if (!std::isfinite(version_)) throw EReadError("Report file has an invalid version");
    r.I32();   // the record-stream offset: the record stream is what follows the table
    const auto title = r.Take(kRpxTitleChars + 1);
    Title = Cp1252ToUtf8(std::string(title.begin(), std::find(title.begin(), title.end() - 1, uint8_t{0})));
    const int32_t pages = r.I32();
    const uint16_t objects = r.U16();
    PixelsPerInchX = r.I16();
    PixelsPerInchY = r.I16();
    if (pages < 0) throw EReadError("Report file has a negative page count");
    if (PixelsPerInchX <= 0 || PixelsPerInchY <= 0) throw EReadError("Report file has an invalid resolution");

    if (version_ >= 4.0f) {
        if (r.I16() != rcPrinterSetup) throw EReadError("Report file has no page setup record");
        file.SetPosition(static_cast<int64_t>(r.Position()));
        PrinterSetup->ReadRecord(file);
        r.Seek(static_cast<uint64_t>(file.Position()));
    } else {
        const size_t n = version_ >= 3.0f ? kLegacySetupSize : kLegacySetupSize - 1;
        const auto setup = r.Take(n);
        PrinterSetup->LoadFixedRecord(setup.data(), setup.size());
    }
    const int32_t extra = r.I32();
    if (extra > 0) {
        const auto bytes = r.Take(static_cast<uint64_t>(extra));
        ExtraData.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    }
    r.Require(static_cast<uint64_t>(pages) * 4);
    std::vector<int32_t> offsets(static_cast<size_t>(pages));
    for (auto& o : offsets) o = r.I32();
    r.Require(static_cast<uint64_t>(objects) * 2);
    for (uint16_t i = 0; i < objects; ++i) {
        const TRpxObjectKind kind = MemoryKindOf(r.I16());
        const auto payload = r.Take(PayloadSize(kind));
        Objects.push_back({kind, std::vector<uint8_t>(payload.begin(), payload.end())});
    }
    const auto records = r.Rest();
    for (int32_t o : offsets) {
        if (o < 0 || static_cast<uint64_t>(o) >= records.size())
            throw EReadError("Report file has a page outside its records");
        Pages.Add(o);
    }
    // Written in pieces, so that the stream spills to its temporary file as it does while
    // recording and a long document does not stay wholly in memory.
    constexpr size_t kPiece = 64 * 1024;
    for (size_t at = 0; at < records.size(); at += kPiece) {
        const size_t n = std::min(kPiece, records.size() - at);
        Stream->WriteBuffer(records.data() + at, static_cast<int64_t>(n));
    }
    Stream->SetPosition(0);
    Progress = 100.0f;
}

// --- Playing ---------------------------------------------------------------------------------

std::string TRpxRpxFile::ReadRecordString()
{
    const int64_t count = version_ >= 4.0f ? Stream->ReadI32() : Stream->ReadI16();
    const auto bytes = ReadExact(*Stream, std::max<int64_t>(0, count));
    return Cp1252ToUtf8(std::string(bytes.begin(), bytes.end()));
}

std::vector<uint8_t> TRpxRpxFile::ReadRecordBlob() { return ReadExact(*Stream, std::max(0, Stream->ReadI32())); }

const TRpxRpxFileObject* TRpxRpxFile::ObjectAt(int index, TRpxObjectKind kind) const
{
    if (index < 0 || static_cast<size_t>(index) >= Objects.size()) return nullptr;
    const auto& o = Objects[static_cast<size_t>(index)];
    return o.Kind == kind && o.Payload.size() == PayloadSize(kind) ? &o : nullptr;
}

void TRpxRpxFile::PlayPage(TRpxDevice& dc, int n)
{
    if (PageCount() == 0 || (Recording && (PageCount() < 2 || n < 1 || n > PageCount() - 1))) return;
    n = ClampPage(*this, n);
    int x = dc.LogPixelsX(), y = dc.LogPixelsY();
    if (ZoomX != 100) x = MulDiv(x, ZoomX, 100);
    if (ZoomY != 100) y = MulDiv(y, ZoomY, 100);
    const int64_t saved = Stream->Position();
    CurrentPlayFont = CurrentPlayPen = CurrentPlayBrush = -1;
    try {
        Stream->SetPosition(Pages.Get(n - 1));
        PlayRecords(dc, x, y);
    } catch (const EReadError&) {
        // A damaged page ends where its records stop making sense.
    }
    dc.SelectStockObjects();
    Stream->SetPosition(saved);
}

void TRpxRpxFile::PlayRecords(TRpxDevice& dc, int X, int Y)
{
    TRpxStream& s = *Stream;
    const int ppiX = std::max<int>(1, PixelsPerInchX), ppiY = std::max<int>(1, PixelsPerInchY);
    auto sx = [&](int v) { return MulDiv(v, X, ppiX); };
    auto sy = [&](int v) { return MulDiv(v, Y, ppiY); };
    auto scale = [&](const TRpxRect& r) {
        const int l = sx(r.Left), t = sy(r.Top);
        return TRpxRect{l, t, l + sx(r.Right - r.Left), t + sy(r.Bottom - r.Top)};
    };
    // Shapes draw with a pen whose width scales as x.
    auto withScaledPen = [&](auto draw) {
        const TRpxLogPen old = dc.Pen();
        TRpxLogPen p = old;
        p.Width = sx(p.Width);
        dc.SelectPen(p);
        draw();
        dc.SelectPen(old);
    };
    auto currentBrush = [&]() { return ObjectAt(CurrentPlayBrush, rokBrush); };

    while (s.Position() + 2 <= s.Size()) {
        const int16_t code = s.ReadI16();
        switch (code) {
        case rcSelectObject: {
            const int index = s.ReadI16();
            if (index < 0 || static_cast<size_t>(index) >= Objects.size()) break;
            const auto& o = Objects[static_cast<size_t>(index)];
            if (o.Payload.size() != PayloadSize(o.Kind) || o.Kind == rokNone) break;
            if (o.Kind == rokBrush) {
                const TRpxLogBrush b = BrushOfPayload(o.Payload);
                dc.SelectBrush(b);
                dc.SetBkColor(b.Color);
                dc.SetBkMode(b.Style == rbsSolid ? OPAQUE : TRANSPARENT);
                CurrentPlayBrush = index;
            } else if (o.Kind == rokFont) {
                const TRpxLogFont f = FontOfPayload(o.Payload, Y);
                dc.SelectFont(f);
                dc.SetTextColor(f.Color);
                CurrentPlayFont = index;
            } else {
                dc.SelectPen(PenOfPayload(o.Payload));
                CurrentPlayPen = index;
            }
            break;
        }
        case rcPageStart: break;
        case rcPageEnd: return;
        case rcTextAlign: dc.SetTextAlign(s.ReadU16()); break;
        case rcTextOut: {
            const int px = s.ReadI16(), py = s.ReadI16();
            dc.TextOut(sx(px), sy(py), ReadRecordString());
            break;
        }
        case rcMoveTo:
        case rcLineTo: {
            const int px = s.ReadI16(), py = s.ReadI16();
            if (code == rcMoveTo) dc.MoveTo(sx(px), sy(py));
            else dc.LineTo(sx(px), sy(py));
            break;
        }
        case rcTextOutLong: {
            const int px = s.ReadI16(), py = s.ReadI16();
            const auto bytes = ReadExact(s, std::max(0, s.ReadI32()));
            dc.TextOut(sx(px), sy(py), Cp1252ToUtf8(std::string(bytes.begin(), bytes.end())));
            break;
        }
        case rcExtTextOut: {
            const int px = s.ReadI16(), py = s.ReadI16();
            const unsigned options = static_cast<uint16_t>(s.ReadI16());
            const TRpxRect r = scale(ReadRect(s));
            const auto bytes = ReadExact(s, std::max(0, s.ReadI32()));
            dc.ExtTextOut(sx(px), sy(py), options, &r, Cp1252ToUtf8(std::string(bytes.begin(), bytes.end())));
            break;
        }
        case rcTextRect: {
            const TRpxRect r = scale(ReadRect(s));
            const int px = s.ReadI16(), py = s.ReadI16();
            const std::string text = ReadRecordString();
            const auto* b = currentBrush();
            const bool opaque = b && BrushOfPayload(b->Payload).Style != rbsClear;
            dc.ExtTextOut(sx(px), sy(py), ETO_CLIPPED | (opaque ? ETO_OPAQUE : 0u), &r, text);
            break;
        }
        case rcFillRect: {
            TRpxRect r = scale(ReadRect(s));
            if (!currentBrush()) break;
            if (IsScreenLike(dc)) {
                if (r.Right == r.Left) ++r.Right;
                if (r.Bottom == r.Top) ++r.Bottom;
            }
            dc.FillRect(r);
            break;
        }
        case rcRectangle:
        case rcEllipse: {
            const TRpxRect r = scale(ReadRect(s));
            withScaledPen([&] {
                if (code == rcRectangle) dc.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
                else dc.Ellipse(r.Left, r.Top, r.Right, r.Bottom);
            });
            break;
        }
        case rcRoundRect: {
            const TRpxRect r = scale(ReadRect(s));
            const int cw = s.ReadI16(), ch = s.ReadI16();
            withScaledPen([&] { dc.RoundRect(r.Left, r.Top, r.Right, r.Bottom, sx(cw), sy(ch)); });
            break;
        }
        case rcDrawGraphic:
        case rcStretchGraphic: {
            TRpxRect r;
            if (code == rcDrawGraphic) {
                r.Left = s.ReadI16();
                r.Top = s.ReadI16();
            } else {
                r = scale(ReadRect(s));
            }
            s.ReadI16();   // the picture's kind: the bytes say what it is
            const auto blob = ReadRecordBlob();
            const auto picture = GraphicFromBytes(blob);
            if (!picture) break;
            if (code == rcDrawGraphic) {
                const int l = sx(r.Left), t = sy(r.Top);
                r = {l, t, l + sx(picture->Width()), t + sy(picture->Height())};
            }
            picture->Draw(dc, r);
            break;
        }
        case rcShadeRect: {
            const TRpxRect r = scale(ReadRect(s));
            ShadeRect(dc, r, s.ReadI16());
            break;
        }
        case rcBkColor: dc.SetBkColor(s.ReadI32()); break;
        case rcTextInRect: {
            const TRpxRect line = scale(ReadRect(s));
            const int px = s.ReadI16(), py = s.ReadI16();
            const std::string text = ReadRecordString();
            const bool noJustify = s.ReadU8() != 0;
            const TRpxRect bounds = version_ > 1.0f ? scale(ReadRect(s)) : line;
            if (ObjectAt(CurrentPlayFont, rokFont)) DrawJustifiedLine(dc, line, sx(px), bounds, noJustify, text, sy(py));
            break;
        }
        case rcDrawBitmap:
        case rcStretchBitmap: {
            TRpxRect r;
            if (code == rcDrawBitmap) {
                r.Left = s.ReadI16();
                r.Top = s.ReadI16();
            } else {
                r = scale(ReadRect(s));
            }
            TRpxBitmap bmp;
            bmp.LoadFromBytes(ReadRecordBlob());
            bmp.DesignResolution = PixelsPerInchX;
            // Drawn at the zoomed target resolution, so that a bitmap with its own
            // resolution scales with the page.
            if (code == rcDrawBitmap) bmp.Draw(dc, sx(r.Left), sy(r.Top), X, Y);
            else bmp.StretchDraw(dc, r);
            break;
        }
        case rcRichText: {
            TRpxRichText t;
            t.FirstChar = s.ReadI32();
            t.Rect = scale(ReadRect(s));
            t.UseFont = s.ReadU8() != 0;
            t.RangeStart = s.ReadI32();
            t.RangeEnd = s.ReadI32();
            t.Rtf = ReadRecordBlob();
            if (!RpxRichTextRenderer) break;
            t.HasFont = ObjectAt(CurrentPlayFont, rokFont) != nullptr;
            t.Font = dc.Font();
            t.ResolutionX = X;
            t.ResolutionY = Y;
            RpxRichTextRenderer(dc, t);
            break;
        }
        case rcCheckBox: {
            const TRpxRect r = scale(ReadRect(s));
            const int style = s.ReadI16();
            const TRpxColor colour = s.ReadI32();
            const int width = s.ReadI16();
            DrawCheck(dc, r, style, sx(width), colour);
            break;
        }
        case rcArc: {
            const int kind = s.ReadU8();
            int xs[4], ys[4];
            for (int& v : xs) v = sx(s.ReadI32());
            for (int& v : ys) v = sy(s.ReadI32());
            withScaledPen([&] { dc.Arc(kind, xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], xs[3], ys[3]); });
            break;
        }
        case rcPoly: {
            const int kind = s.ReadU8();
            const int count = s.ReadI16();
            if (count < 0 || static_cast<int64_t>(count) * 8 > s.Size() - s.Position())
                throw EReadError("Polygon record runs past the page data");
            std::vector<TRpxPoint> points(static_cast<size_t>(count));
            for (auto& p : points) {
                p.X = sx(s.ReadI32());
                p.Y = sy(s.ReadI32());
            }
            withScaledPen([&] {
                if (kind == 0) dc.Polygon(points);
                else dc.Polyline(points);
            });
            break;
        }
        case rcBarCode39:
        case rcBarCode25: {
            const int px = s.ReadI16(), py = s.ReadI16();
            const int barWidth = s.ReadI16(), barHeight = s.ReadI16();
            const int narrow = s.ReadI16(), wide = s.ReadI16();
            const bool inMils = s.ReadU8() != 0, vertical = s.ReadU8() != 0;
            const std::string text = ReadRecordString();
            const auto* b = currentBrush();
            if (!b) break;
            TRpx3of9BarCode c39;
            TRpx2of5BarCode c25;
            TRpxBarCode& bc = code == rcBarCode39 ? static_cast<TRpxBarCode&>(c39) : c25;
            bc.BarWidth = sx(barWidth);
            bc.BarHeight = sy(barHeight);
            bc.Vertical = vertical;
            bc.InMils = inMils;
            if (inMils) {
                // Thousandths of an inch at the zoomed resolution.
                bc.NarrowWidth = narrow;
                bc.WideWidth = wide;
                bc.MilsResolutionX = X;
                bc.MilsResolutionY = Y;
            } else {
                bc.NarrowWidth = vertical ? sy(narrow) : sx(narrow);
                bc.WideWidth = vertical ? sy(wide) : sx(wide);
            }
            bc.Draw(dc, BrushOfPayload(b->Payload), sx(px), sy(py), text);
            break;
        }
        case rcLegacySetup: {
            const auto bytes = ReadExact(s, kLegacySetupSize);
            std::copy(bytes.begin(), bytes.end(), LegacySetup.begin());
            break;
        }
        case rcPrinterSetup: PrinterSetup->ReadRecord(s); break;
        default: {
            const auto h = std::find_if(Handlers().begin(), Handlers().end(), [&](auto& e) { return e.first == code; });
            if (h != Handlers().end()) h->second(dc, *this);
            // Without a handler the code alone is skipped.
            break;
        }
        }
    }
}

// --- TRpxFiler -------------------------------------------------------------------------------

void TRpxFiler::SetDocument(std::shared_ptr<TRpxRpxFile> document) { Document = std::move(document); }

void TRpxFiler::LoadFromStream(TStream& stream)
{
    uint8_t header[kRpxHeaderSize];
    const int64_t start = stream.Position();
    const bool whole = stream.Read(header, sizeof header) == static_cast<int64_t>(sizeof header);
    stream.SetPosition(start);
    if (!whole || static_cast<int32_t>(LoadLE32(header + 3)) != kRpxIdentifier) return;
    auto doc = std::make_shared<TRpxRpxFile>();
    Document.reset();
    doc->LoadFromStream(stream);   // a damaged file raises; the half-loaded document goes with doc
    Document = std::move(doc);
}

void TRpxFiler::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead);
    LoadFromStream(f);
}

void TRpxFiler::SaveToFile(const std::string& fileName)
{
    if (Document) Document->SaveToFile(fileName);
}
void TRpxFiler::SaveToStream(TStream& stream)
{
    if (Document) Document->SaveToStream(stream);
}
void TRpxFiler::SendDocument(TRpxFile& target)
{
    if (Document) Document->SendDocument(target);
}
void TRpxFiler::SendPage(TRpxFile& target, int n)
{
    if (Document) Document->SendPage(target, n);
}
void TRpxFiler::SendRange(TRpxFile& target, int first, int last)
{
    if (Document) Document->SendRange(target, first, last);
}

// --- TRpxDeviceContext -----------------------------------------------------------------------

void TRpxDeviceContext::TakePage(TRpxRpxFile& document, int n)
{
    if (TargetDC) document.PlayPage(*TargetDC, ClampPage(document, n));
}

void TRpxPageTaker::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead);
    LoadFromStream(f);
}
