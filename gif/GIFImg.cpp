// GIF model and stream format (GIF89a: header, logical screen descriptor, colour tables,
// extensions, image descriptors, trailer) and the picture class.
#include "gif/GIFImg.h"
#include "gif/GIFProgress.h"

#include "gif/GIFCodec.h"
#include "gif/GIFReduce.h"
#include "platform/runtime/FileSave.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <numeric>

namespace GIFImg {

int GIFDelayUnit = 12;
int GIFDefaultDelay = 10;
int GIFMinimumDelay = 3;
int GIFMaximumDelay = 1000;
std::atomic<int> GIFMaxRenderThreads{4};
std::atomic<int> GIFRenderWait{5000};
std::atomic<int> GIFRenderIdle{60000};
const char* const GIFVersions[3] = {"", "87a", "89a"};
const char* const TGIFImage::ClipboardFormatName = "GIF Image";

namespace {
constexpr uint8_t kExtensionIntroducer = 0x21;  // "!"
constexpr uint8_t kImageSeparator = 0x2C;       // ","
constexpr uint8_t kTrailer = 0x3B;              // ";"

// Exactly count bytes, or "Premature end of data".
std::span<const uint8_t> ReadExact(TByteReader& r, size_t count)
{
    if (count > r.Remaining()) throw GIFException("Premature end of data");
    return r.Take(count);
}
uint8_t ReadByte(TByteReader& r) { return ReadExact(r, 1)[0]; }

void StepBack(TByteReader& r) { r.Seek(r.Position() - 1); }

// Data sub-blocks: strings of a text or comment extension.
void WriteStrings(TByteWriter& w, const std::vector<std::string>& strings)
{
    for (const std::string& s : strings)
        for (size_t at = 0; at < s.size(); at += 255) {
            const size_t n = std::min<size_t>(255, s.size() - at);
            w.U8(static_cast<uint8_t>(n));
            w.String(std::string_view(s).substr(at, n));
        }
    w.U8(0);
}

void ReadStrings(TByteReader& r, std::vector<std::string>& strings)
{
    strings.clear();
    while (!r.AtEnd()) {
        const uint8_t n = r.U8();
        if (n == 0) break;
        const auto block = ReadExact(r, n);
        const auto end = std::find(block.begin(), block.end(), uint8_t(0));
        strings.emplace_back(block.begin(), end);
    }
}

void ReadBlocks(TByteReader& r, std::vector<std::vector<uint8_t>>& blocks)
{
    blocks.clear();
    while (!r.AtEnd()) {
        const uint8_t n = r.U8();
        if (n == 0) break;
        const auto block = ReadExact(r, n);
        blocks.emplace_back(block.begin(), block.end());
    }
}

void WriteBlocks(TByteWriter& w, const std::vector<std::vector<uint8_t>>& blocks)
{
    for (const auto& b : blocks) {
        w.U8(static_cast<uint8_t>(b.size()));
        w.Bytes(b.data(), b.size());
    }
    w.U8(0);
}

bool PaletteDisplay()
{
    static const bool flag = [] {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen && screen->depth() < 9;
    }();
    return flag;
}

// --- Registries --------------------------------------------------------------------------------
struct TRegistries {
    TRegistries();
    std::mutex lock;
    std::vector<std::pair<uint8_t, const TGIFExtensionClass*>> labels;
    std::vector<std::pair<std::array<uint8_t, 11>, const TGIFExtensionClass*>> applications;
};

std::array<uint8_t, 11> IdentifierOf(std::string_view s)
{
    std::array<uint8_t, 11> id{};
    for (size_t i = 0; i < id.size() && i < s.size(); ++i) id[i] = static_cast<uint8_t>(s[i]);
    return id;
}

TRegistries::TRegistries()
{
    labels = {{0x01, TextExtensionClass()},
              {0xF9, GraphicControlExtensionClass()},
              {0xFE, CommentExtensionClass()},
              {0xFF, ApplicationExtensionClass()}};
    applications = {{IdentifierOf("NETSCAPE2.0"), NSLoopExtensionClass()},
                    {IdentifierOf("ANIMEXTS1.0"), NSLoopExtensionClass()}};
}

TRegistries& Registries()
{
    static TRegistries r;
    return r;
}

const TGIFExtensionClass* ClassForLabel(uint8_t label)
{
    TRegistries& r = Registries();
    std::lock_guard<std::mutex> g(r.lock);
    for (auto it = r.labels.rbegin(); it != r.labels.rend(); ++it)
        if (it->first == label) return it->second;
    return nullptr;
}

const TGIFExtensionClass* ClassForApplication(std::span<const uint8_t> id)
{
    TRegistries& r = Registries();
    std::lock_guard<std::mutex> g(r.lock);
    for (auto it = r.applications.rbegin(); it != r.applications.rend(); ++it)
        if (std::equal(it->first.begin(), it->first.end(), id.begin(), id.end())) return it->second;
    return nullptr;
}

template <class T>
TGIFExtensionClass MakeClass(const char* name)
{
    return {name, [](TGIFSubImage* s) { return std::unique_ptr<TGIFExtension>(new T(s)); }, nullptr};
}
} // namespace

const TGIFExtensionClass* GraphicControlExtensionClass()
{
    static TGIFExtensionClass cls = [] {
        auto c = MakeClass<TGIFGraphicControlExtension>("TGIFGraphicControlExtension");
        c.FindExtension = [](TByteReader&) { return GraphicControlExtensionClass(); };
        return c;
    }();
    return &cls;
}
const TGIFExtensionClass* TextExtensionClass()
{
    static TGIFExtensionClass cls = [] {
        auto c = MakeClass<TGIFTextExtension>("TGIFTextExtension");
        c.FindExtension = [](TByteReader&) { return TextExtensionClass(); };
        return c;
    }();
    return &cls;
}
const TGIFExtensionClass* CommentExtensionClass()
{
    static TGIFExtensionClass cls = [] {
        auto c = MakeClass<TGIFCommentExtension>("TGIFCommentExtension");
        c.FindExtension = [](TByteReader&) { return CommentExtensionClass(); };
        return c;
    }();
    return &cls;
}
const TGIFExtensionClass* UnknownAppExtensionClass()
{
    static TGIFExtensionClass cls = [] {
        auto c = MakeClass<TGIFUnknownAppExtension>("TGIFUnknownAppExtension");
        c.FindExtension = [](TByteReader&) { return UnknownAppExtensionClass(); };
        return c;
    }();
    return &cls;
}
const TGIFExtensionClass* NSLoopExtensionClass()
{
    static TGIFExtensionClass cls = [] {
        auto c = MakeClass<TGIFAppExtNSLoop>("TGIFAppExtNSLoop");
        c.FindExtension = [](TByteReader&) { return NSLoopExtensionClass(); };
        return c;
    }();
    return &cls;
}
// The block size decides: 10 is an identifier without its last byte, 11 an identifier that
// may have a class of its own, anything else stays with this class.
const TGIFExtensionClass* ApplicationExtensionClass()
{
    static TGIFExtensionClass cls = [] {
        auto c = MakeClass<TGIFApplicationExtension>("TGIFApplicationExtension");
        c.FindExtension = [](TByteReader& r) -> const TGIFExtensionClass* {
            if (r.AtEnd()) return nullptr;
            const uint8_t size = r.U8();
            if (size == 10) return r.Remaining() >= 10 ? UnknownAppExtensionClass() : nullptr;
            if (size == 11) {
                if (r.Remaining() < 11) return nullptr;
                const TGIFExtensionClass* found = ClassForApplication(r.Take(11));
                return found ? found : UnknownAppExtensionClass();
            }
            return ApplicationExtensionClass();
        };
        return c;
    }();
    return &cls;
}

void RegisterExtension(uint8_t label, const TGIFExtensionClass* cls)
{
    TRegistries& r = Registries();
    std::lock_guard<std::mutex> g(r.lock);
    r.labels.emplace_back(label, cls);
}

void RegisterAppExtension(const std::string& identifier, const TGIFExtensionClass* cls)
{
    TRegistries& r = Registries();
    std::lock_guard<std::mutex> g(r.lock);
    r.applications.emplace_back(IdentifierOf(identifier), cls);
}

// --- Items -------------------------------------------------------------------------------------

void TGIFItem::Warning(TGIFSeverity severity, const std::string& message)
{
    if (image_) image_->Warning(this, severity, message);
}

void TGIFTrailer::LoadFromStream(TByteReader& stream)
{
    if (!stream.AtEnd() && stream.U8() != kTrailer) Warning(gsWarning, "Invalid Image trailer");
}

// --- Colour tables -----------------------------------------------------------------------------

void TGIFColorMap::SetCapacity(int n)
{
    if (n < capacity_) return;
    capacity_ = n <= 16 ? 16 : std::min(256, (n + 31) / 32 * 32);
    entries_.resize(static_cast<size_t>(capacity_) * 3);
}

void TGIFColorMap::Clear()
{
    entries_.clear();
    capacity_ = count_ = 0;
    sorted_ = false;
}

int TGIFColorMap::BitsPerPixel() const
{
    if (count_ == 0) return 0;
    int b = 1;
    while (b < 8 && (1 << b) < count_) ++b;
    return b;
}

int TGIFColorMap::IndexOf(TColor color) const
{
    const uint8_t r = static_cast<uint8_t>(GetRValue(color)), g = static_cast<uint8_t>(GetGValue(color)),
                  b = static_cast<uint8_t>(GetBValue(color));
    auto match = [&](int i) {
        const uint8_t* e = &entries_[static_cast<size_t>(i) * 3];
        return e[0] == r && e[1] == g && e[2] == b;
    };
    if (sorted_) {
        for (int i = 0; i < count_; ++i)
            if (match(i)) return i;
    } else {
        for (int i = count_ - 1; i >= 0; --i)
            if (match(i)) return i;
    }
    return -1;
}

int TGIFColorMap::Add(TColor color)
{
    const int found = IndexOf(color);
    if (found >= 0) return found;
    if (count_ >= 256) throw GIFException("Color table overflow");
    SetCapacity(count_ + 1);
    uint8_t* e = &entries_[static_cast<size_t>(count_) * 3];
    e[0] = static_cast<uint8_t>(GetRValue(color));
    e[1] = static_cast<uint8_t>(GetGValue(color));
    e[2] = static_cast<uint8_t>(GetBValue(color));
    ++count_;
    sorted_ = false;
    Changed();
    return count_ - 1;
}

TColor TGIFColorMap::Colors(int index)
{
    if (index < 0 || index >= count_) {
        Warning(gsWarning, "Invalid color index");
        if (count_ == 0) throw GIFException("Color table is empty");
        index = 0;
    }
    const uint8_t* e = &entries_[static_cast<size_t>(index) * 3];
    return RGB(e[0], e[1], e[2]);
}

void TGIFColorMap::SetColor(int index, TColor color)
{
    if (index < 0 || index >= count_) {
        Warning(gsWarning, "Invalid color index");
        return;
    }
    uint8_t* e = &entries_[static_cast<size_t>(index) * 3];
    e[0] = static_cast<uint8_t>(GetRValue(color));
    e[1] = static_cast<uint8_t>(GetGValue(color));
    e[2] = static_cast<uint8_t>(GetBValue(color));
    Changed();
}

void TGIFColorMap::Assign(const TGIFColorMap& source)
{
    if (&source == this) return;
    entries_ = source.entries_;
    capacity_ = source.capacity_;
    count_ = source.count_;
    sorted_ = source.sorted_;
    Changed();
}

void TGIFColorMap::ImportPalette(const TGIFPalette& palette)
{
    Clear();
    const int n = std::min<int>(256, static_cast<int>(palette.size()));
    SetCapacity(n);
    for (int i = 0; i < n; ++i) {
        uint8_t* e = &entries_[static_cast<size_t>(i) * 3];
        e[0] = static_cast<uint8_t>(GetRValue(palette[static_cast<size_t>(i)]));
        e[1] = static_cast<uint8_t>(GetGValue(palette[static_cast<size_t>(i)]));
        e[2] = static_cast<uint8_t>(GetBValue(palette[static_cast<size_t>(i)]));
    }
    count_ = n;
    Changed();
}

TGIFPalette TGIFColorMap::ExportPalette() const
{
    TGIFPalette p;
    p.reserve(static_cast<size_t>(count_));
    for (int i = 0; i < count_; ++i) {
        const uint8_t* e = &entries_[static_cast<size_t>(i) * 3];
        p.push_back(RGB(e[0], e[1], e[2]));
    }
    return p;
}

void TGIFColorMap::SaveToStream(TByteWriter& stream, int bits) const
{
    if (count_ == 0) return;
    stream.Bytes(entries_.data(), static_cast<size_t>(count_) * 3);
    const int entries = 1 << std::max(bits, BitsPerPixel());
    stream.Fill(0, static_cast<size_t>(entries - count_) * 3);
}

void TGIFColorMap::LoadFromStream(TByteReader& stream, int count)
{
    Clear();
    SetCapacity(count);
    const auto bytes = ReadExact(stream, static_cast<size_t>(count) * 3);
    std::memcpy(entries_.data(), bytes.data(), bytes.size());
    count_ = count;
    Changed();
}

bool TGIFColorMap::SortByUseOf(TGIFSubImage& frame, bool trim)
{
    if (count_ <= 1) return false;
    sorted_ = true;
    std::array<int64_t, 256> uses{};
    const uint8_t* pixels = frame.Data();
    for (int64_t i = 0; i < frame.DataSize(); ++i) ++uses[pixels[i]];
    std::vector<int> order(static_cast<size_t>(count_));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return uses[static_cast<size_t>(a)] > uses[static_cast<size_t>(b)]; });
    if (std::is_sorted(order.begin(), order.end())) return true;

    std::array<uint8_t, 256> renumber{};
    std::iota(renumber.begin(), renumber.end(), 0);  // indexes past the table stay as they are
    std::vector<uint8_t> entries(entries_.size());
    for (int i = 0; i < count_; ++i) {
        const int old = order[static_cast<size_t>(i)];
        renumber[static_cast<size_t>(old)] = static_cast<uint8_t>(i);
        std::memcpy(&entries[static_cast<size_t>(i) * 3], &entries_[static_cast<size_t>(old) * 3], 3);
    }
    uint8_t* data = frame.Data();
    for (int64_t i = 0; i < frame.DataSize(); ++i) data[i] = renumber[data[i]];
    if (frame.Transparent() && frame.GraphicControlExtension()) {
        TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
        gce->TransparentIndex = renumber[gce->TransparentIndex];
    }
    entries_ = std::move(entries);
    if (trim) {
        int used = 0;
        for (int i = 0; i < count_; ++i) used += uses[static_cast<size_t>(i)] > 0;
        if (used < count_) count_ = used;
    }
    frame.FreeBitmap();
    Changed();
    return true;
}

void TGIFGlobalColorMap::Warning(TGIFSeverity severity, const std::string& message)
{
    if (header_->Image()) header_->Image()->Warning(this, severity, message);
}

bool TGIFGlobalColorMap::SortByUse()
{
    TGIFImage* image = header_->Image();
    // The pixels of one frame decide the order; with more frames the others would point at
    // moved colours, and a frame with a table of its own does not use this one.
    if (!image || image->Images().Count() != 1) return false;
    TGIFSubImage& frame = *image->Images().First();
    if (frame.ColorMap().Count() > 0) return false;
    return SortByUseOf(frame, true);
}

void TGIFGlobalColorMap::Changed()
{
    if (header_->Image()) header_->Image()->SetPalette({});
}

void TGIFLocalColorMap::Warning(TGIFSeverity severity, const std::string& message)
{
    if (frame_->Image()) frame_->Image()->Warning(this, severity, message);
}

bool TGIFLocalColorMap::SortByUse() { return SortByUseOf(*frame_, true); }

void TGIFLocalColorMap::Changed() { frame_->SetPalette({}); }

// --- Header ------------------------------------------------------------------------------------

int TGIFHeader::GetVersion() const { return colorMap_.Sorted() || AspectRatio != 0 ? 2 : 1; }

void TGIFHeader::LoadFromStream(TByteReader& stream)
{
    const size_t start = stream.Position();
    auto signatureOk = [](std::span<const uint8_t> s) {
        return UpperCase(std::string_view(reinterpret_cast<const char*>(s.data()), 3)) == "GIF";
    };
    // Some files carry four bytes ahead of the signature.
    if (!signatureOk(ReadExact(stream, 6))) {
        stream.Seek(start);
        if (stream.Remaining() < 4) throw GIFException("Invalid GIF signature");
        stream.Skip(4);
        if (!signatureOk(ReadExact(stream, 6))) throw GIFException("Invalid GIF signature");
    }
    // Logical screen descriptor
    const auto d = ReadExact(stream, 7);
    Width = LoadLE16(&d[0]);
    Height = LoadLE16(&d[2]);
    Packed = d[4];
    BackgroundColorIndex = d[5];
    AspectRatio = d[6];
    if (Packed & 0x80)  // global colour table flag
        colorMap_.LoadFromStream(stream, 2 << (Packed & 7));
    else
        colorMap_.Clear();
}

void TGIFHeader::SaveToStream(TByteWriter& stream)
{
    TGIFImage* image = Image();
    const int version = image ? image->GetVersion() : GetVersion();
    if (version < 1 || version > 2) throw GIFException("Unsupported GIF version");
    stream.String("GIF");
    stream.String(GIFVersions[version]);
    // The table is padded to the picture-wide bit count, which frames without a table of their
    // own are encoded with: every index they hold lies inside the table.
    const int bits = image ? image->BitsPerPixel() : colorMap_.BitsPerPixel();
    const int resolution = image ? image->ColorResolution() : std::max(0, colorMap_.BitsPerPixel() - 1);
    const bool table = colorMap_.Count() > 0;
    Packed = 0;
    if (table) Packed |= 0x80;                               // global colour table flag
    Packed |= static_cast<uint8_t>((resolution & 7) << 4);   // colour resolution
    if (colorMap_.Sorted()) Packed |= 0x08;                   // sort flag
    if (table) Packed |= static_cast<uint8_t>((bits - 1) & 7);  // size of the global colour table
    stream.U16(Width);
    stream.U16(Height);
    stream.U8(Packed);
    stream.U8(BackgroundColorIndex);
    stream.U8(AspectRatio);
    if (table) colorMap_.SaveToStream(stream, bits);
}

void TGIFHeader::AssignTo(TGIFHeader& dest) const
{
    dest.colorMap_.Assign(colorMap_);
    dest.Width = Width;
    dest.Height = Height;
    dest.Packed = Packed;
    dest.BackgroundColorIndex = BackgroundColorIndex;
    dest.AspectRatio = AspectRatio;
}

// --- Extensions --------------------------------------------------------------------------------

TGIFExtension::TGIFExtension(TGIFSubImage* subImage)
    : TGIFItem(subImage ? subImage->Image() : nullptr), subImage_(subImage)
{
}

const TGIFExtensionClass* TGIFExtension::FindExtension(TByteReader& stream)
{
    const size_t start = stream.Position();
    if (stream.AtEnd()) return nullptr;
    const TGIFExtensionClass* cls = ClassForLabel(stream.U8());
    while (cls && cls->FindExtension) {
        stream.Seek(start + 1);
        const TGIFExtensionClass* next = cls->FindExtension(stream);
        if (next == cls) break;
        cls = next;
    }
    stream.Seek(start);
    return cls;
}

void TGIFExtension::ReadIntroducer(TByteReader& stream)
{
    const auto b = ReadExact(stream, 2);
    if (b[0] != kExtensionIntroducer) throw GIFException("Invalid extension introducer");
    if (b[1] != GetExtensionType())
        throw GIFException("Internal error: Extension Instance does not match Extension Label");
}

void TGIFExtension::WriteIntroducer(TByteWriter& stream) const
{
    stream.U8(kExtensionIntroducer);
    stream.U8(GetExtensionType());
}

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* subImage) : TGIFExtension(subImage)
{
    if (subImage && !subImage->GraphicControlExtension()) subImage->SetGraphicControlExtension(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension()
{
    if (TGIFSubImage* s = SubImage()) {
        if (Transparent()) s->SetTransparentFlag(false);
        if (s->GraphicControlExtension() == this) s->SetGraphicControlExtension(nullptr);
    }
}

void TGIFGraphicControlExtension::SetTransparent(bool v)
{
    Packed = static_cast<uint8_t>(v ? Packed | 1 : Packed & ~1);
    if (SubImage() && SubImage()->GraphicControlExtension() == this) SubImage()->SetTransparentFlag(v);
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int index)
{
    if (SubImage()) {
        const int count = SubImage()->ActiveColorMap().Count();
        if (count > 0 && index >= count) {
            Warning(gsWarning, "Invalid color index");
            index = 0;
        }
    }
    TransparentIndex = static_cast<uint8_t>(index);
}

void TGIFGraphicControlExtension::LoadFromStream(TByteReader& stream)
{
    ReadIntroducer(stream);
    std::array<uint8_t, 6> b{};
    const size_t n = std::min<size_t>(6, stream.Remaining());
    stream.Bytes(b.data(), n);
    if (n < 6) Warning(gsWarning, "Premature end of data");
    BlockSize = b[0];
    Packed = b[1];  // disposal method (bits 2-4), user input flag, transparent colour flag (bit 0)
    DelayTime = LoadLE16(&b[2]);
    TransparentIndex = b[4];
    Terminator = b[5];
    if (Transparent() && SubImage()) SubImage()->SetTransparentFlag(true);
}

void TGIFGraphicControlExtension::SaveToStream(TByteWriter& stream)
{
    WriteIntroducer(stream);
    stream.U8(BlockSize);
    stream.U8(Packed);
    stream.U16(DelayTime);
    stream.U8(TransparentIndex);
    stream.U8(Terminator);
}

void TGIFTextExtension::LoadFromStream(TByteReader& stream)
{
    ReadIntroducer(stream);
    TByteReader b(ReadExact(stream, 13));
    BlockSize = b.U8();
    Left = b.U16();  // text grid left and top position
    Top = b.U16();
    GridWidth = b.U16();
    GridHeight = b.U16();
    CellWidth = b.U8();
    CellHeight = b.U8();
    TextFGColorIndex = b.U8();
    TextBGColorIndex = b.U8();
    ReadStrings(stream, Text);
}

void TGIFTextExtension::SaveToStream(TByteWriter& stream)
{
    WriteIntroducer(stream);
    stream.U8(BlockSize);
    stream.U16(Left);
    stream.U16(Top);
    stream.U16(GridWidth);
    stream.U16(GridHeight);
    stream.U8(CellWidth);
    stream.U8(CellHeight);
    stream.U8(TextFGColorIndex);
    stream.U8(TextBGColorIndex);
    WriteStrings(stream, Text);
}

void TGIFCommentExtension::LoadFromStream(TByteReader& stream)
{
    ReadIntroducer(stream);
    ReadStrings(stream, Comment);
}

void TGIFCommentExtension::SaveToStream(TByteWriter& stream)
{
    WriteIntroducer(stream);
    WriteStrings(stream, Comment);
}

void TGIFApplicationExtension::LoadFromStream(TByteReader& stream)
{
    ReadIntroducer(stream);
    const uint8_t size = ReadByte(stream);
    Identifier.fill(0);
    ExtraBytes.clear();
    if (size == 10) {
        const auto id = ReadExact(stream, 10);
        std::copy(id.begin(), id.end(), Identifier.begin());
    } else if (size < 11) {
        throw GIFException("Unsupported Application Extension block size");
    } else {
        const auto id = ReadExact(stream, 11);
        std::copy(id.begin(), id.end(), Identifier.begin());
        const auto extra = ReadExact(stream, size - 11u);
        if (KeepsExtraBytes()) ExtraBytes.assign(extra.begin(), extra.end());
    }
    LoadData(stream);
}

void TGIFApplicationExtension::SaveToStream(TByteWriter& stream)
{
    WriteIntroducer(stream);
    stream.U8(static_cast<uint8_t>(11 + ExtraBytes.size()));
    stream.Bytes(Identifier.data(), Identifier.size());
    stream.Bytes(ExtraBytes.data(), ExtraBytes.size());
    SaveData(stream);
}

void TGIFApplicationExtension::LoadData(TByteReader& stream) { ReadBlocks(stream, Blocks); }

void TGIFApplicationExtension::SaveData(TByteWriter& stream) { WriteBlocks(stream, Blocks); }

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* subImage) : TGIFApplicationExtension(subImage)
{
    Identifier = IdentifierOf("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::SaveData(TByteWriter& stream)
{
    stream.U8(3);  // sub-block size
    stream.U8(1);  // loop sub-block id
    stream.U16(Loops);
    stream.U8(0);  // terminator
}

void TGIFAppExtNSLoop::LoadData(TByteReader& stream)
{
    if (ReadByte(stream) != 3 || ReadByte(stream) != 1) throw GIFException("Invalid GIF data");
    Loops = LoadLE16(ReadExact(stream, 2).data());
    if (ReadByte(stream) != 0) throw GIFException("Invalid GIF data");
}

TGIFExtensionList::TGIFExtensionList(TGIFSubImage* subImage)
    : TGIFList<TGIFExtension>(subImage->Image()), subImage_(subImage)
{
}

void TGIFExtensionList::LoadFromStream(TByteReader& stream, TGIFSubImage* parent)
{
    if (stream.AtEnd()) return;
    uint8_t b = stream.U8();
    while (b != kImageSeparator && b != kTrailer) {
        if (b != kExtensionIntroducer) {
            Warning(gsWarning, "Invalid extension introducer");
            break;
        }
        const TGIFExtensionClass* cls = TGIFExtension::FindExtension(stream);
        if (!cls) throw GIFException("Unknown extension type");
        StepBack(stream);
        std::unique_ptr<TGIFExtension> ext = cls->Create(parent ? parent : subImage_);
        ext->LoadFromStream(stream);
        Add(std::move(ext));
        if (stream.AtEnd()) return;
        b = stream.U8();
    }
    StepBack(stream);
}

// --- Frames ------------------------------------------------------------------------------------

TGIFSubImage::TGIFSubImage(TGIFImage* image) : TGIFItem(image), extensions_(this), colorMap_(this) {}

TGIFSubImage::~TGIFSubImage() { Clear(); }

void TGIFSubImage::Clear()
{
    extensions_.Clear();
    colorMap_.Clear();
    data_ = {};
    width_ = height_ = 0;
    transparent_ = false;
    gce_ = nullptr;
    FreeBitmap();
    FreeMask();
}

void TGIFSubImage::SetWidth(int v)
{
    width_ = static_cast<uint16_t>(v);
    FreeBitmap();
}

void TGIFSubImage::SetHeight(int v)
{
    height_ = static_cast<uint16_t>(v);
    FreeBitmap();
}

void TGIFSubImage::AllocData()
{
    data_ = {};
    const int64_t n = int64_t(width_) * height_;
    if (n > kMaxFramePixels) throw GIFException("Image too large");
    if (n > 0) data_.assign(static_cast<size_t>(n), 0);
}

int TGIFSubImage::GetVersion() const { return colorMap_.Sorted() || extensions_.Count() > 0 ? 2 : 1; }

TGIFColorMap& TGIFSubImage::ActiveColorMap()
{
    if (colorMap_.Count() > 0 || !Image()) return colorMap_;
    if (Image()->GlobalColorMap().Count() > 0) return Image()->GlobalColorMap();
    return colorMap_;
}

void TGIFSubImage::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead);
    const int64_t size = f.Size();
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(size, 0)));
    if (size > 0) f.ReadBuffer(bytes.data(), size);
    TByteReader r(bytes);
    LoadFromStream(r);
}

void TGIFSubImage::LoadFromStream(TByteReader& stream)
{
    Clear();
    extensions_.LoadFromStream(stream, this);
    // A frame may hold only the extensions ahead of the trailer.
    if (stream.AtEnd()) return;
    const uint8_t next = stream.U8();
    StepBack(stream);
    if (next == kTrailer || next == 0) return;

    // Image descriptor
    TByteReader d(ReadExact(stream, 10));
    d.U8();  // image separator, taken as it is
    left_ = d.U16();
    top_ = d.U16();
    width_ = d.U16();
    height_ = d.U16();
    packed_ = d.U8();  // local table flag, interlace flag, sort flag, reserved, size of local table
    if (width_ == 0 || height_ == 0) {
        if (Image()) {
            width_ = static_cast<uint16_t>(Image()->Width());
            height_ = static_cast<uint16_t>(Image()->Height());
        }
        Warning(gsWarning, "Image exceeds Logical Screen size");
    }
    // Refused before any pixel or table is read: a small file must not ask for gigabytes.
    const int64_t pixels = int64_t(width_) * height_;
    const int64_t earlier = Image() ? Image()->loadedPixels_ : 0;
    if (earlier + pixels > kMaxPicturePixels) throw GIFException("Image too large");
    if (Image()) Image()->loadedPixels_ = earlier + pixels;
    if (packed_ & 0x80) colorMap_.LoadFromStream(stream, 2 << (packed_ & 7));

    AllocData();
    if (!data_.empty() && transparent_ && gce_) std::fill(data_.begin(), data_.end(), gce_->TransparentIndex);
    DecodeImageData(stream, data_.data(), width_, height_, Interlaced(),
                    [this](const std::string& m) { Warning(gsWarning, m); });
}

void TGIFSubImage::SaveToStream(TByteWriter& stream)
{
    extensions_.SaveToStream(stream);
    if (Empty()) return;
    const bool local = colorMap_.Count() > 0;
    if (local)
        packed_ = static_cast<uint8_t>(0x80 | (packed_ & 0x58) | (colorMap_.Sorted() ? 0x20 : 0) | (ColorResolution() & 7));
    else
        packed_ &= 0x58;  // interlace flag and reserved bits
    // Image descriptor
    stream.U8(kImageSeparator);
    stream.U16(left_);
    stream.U16(top_);
    stream.U16(width_);
    stream.U16(height_);
    stream.U8(packed_);
    if (local) colorMap_.SaveToStream(stream);

    const int bits = local ? BitsPerPixel() : (Image() ? Image()->BitsPerPixel() : 8);
    const int colors = local ? colorMap_.Count() : 1 << bits;
    std::unique_ptr<TGIFEncoder> encoder;
    if (Image() && Image()->Compression == gcRLE)
        encoder = std::make_unique<TRLEEncoder>();
    else
        encoder = std::make_unique<TLZWEncoder>();
    encoder->Encode(stream, bits, colors, data_.data(), Interlaced(), height_, width_);
}

// --- The picture -------------------------------------------------------------------------------

TGIFImage::TGIFImage() : images_(this), header_(this) { Clear(); }

TGIFImage::~TGIFImage()
{
    StopDraw();
    DetachPainters();
    OnChange = nullptr;
    images_.Clear();
}

void TGIFImage::Warning(TGIFObject* sender, TGIFSeverity severity, const std::string& message)
{
    if (OnWarning) OnWarning(sender, severity, message);
}

void TGIFImage::Progress(TGIFObject* sender, TProgressStage stage, int percent, bool redrawNow,
                         const std::string& message)
{
    if (OnProgress) OnProgress(sender, stage, percent, redrawNow, message);
}

void TGIFImage::NotifyChanged(TGIFObject*) { Changed(); }

void TGIFImage::Clear()
{
    StopDraw();
    DropBitmap();
    images_.Clear();
    header_.ColorMap().Clear();
    header_.Width = header_.Height = 0;
    header_.Packed = 0;
    SetPalette({});
}

int TGIFImage::BitsPerPixel() const
{
    int bits = header_.ColorMap().BitsPerPixel();
    for (int i = 0; i < images_.Count(); ++i) bits = std::max(bits, images_.Items(i)->BitsPerPixel());
    return bits;
}

int TGIFImage::ColorResolution() const
{
    int resolution = header_.ColorMap().BitsPerPixel() - 1;
    for (int i = 0; i < images_.Count(); ++i) resolution = std::max(resolution, images_.Items(i)->ColorResolution());
    return std::clamp(resolution, 0, 7);
}

int TGIFImage::GetVersion() const
{
    if (images_.Count() == 0) return 0;
    int version = header_.GetVersion();
    for (int i = 0; i < images_.Count() && version < 2; ++i) version = std::max(version, images_.Items(i)->GetVersion());
    return version;
}

TColor TGIFImage::BackgroundColor() { return header_.ColorMap().Colors(header_.BackgroundColorIndex); }

bool TGIFImage::DoDither() const
{
    return (DrawOptions & PaintOption(doDither)) && (!(DrawOptions & PaintOption(doAutoDither)) || PaletteDisplay());
}

void TGIFImage::LoadFromStream(TStream& stream)
{
    const int64_t start = stream.Position();
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(stream.Size() - start, 0)));
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    TByteReader reader(bytes);
    try {
        LoadFromBytes(reader);
    } catch (...) {
        stream.SetPosition(start + static_cast<int64_t>(reader.Position()));
        throw;
    }
    stream.SetPosition(start + static_cast<int64_t>(reader.Position()));
}

void TGIFImage::LoadFromBytes(TByteReader& reader)
{
    TGIFProgress progress(this, this, "Loading...");

    Clear();
    loadedPixels_ = 0;
    header_.LoadFromStream(reader);
    // The picture is drawn at its screen's size (its bitmap, an animation's canvas): the screen
    // counts against the same budget as the frames.
    if (int64_t(header_.Width) * header_.Height > kMaxPicturePixels) throw GIFException("Image too large");
    const size_t size = std::max<size_t>(reader.Size(), 1);
    auto skipZeros = [&] {
        while (!reader.AtEnd() && reader.Rest()[0] == 0) reader.Skip(1);
    };
    skipZeros();
    while (!reader.AtEnd()) {
        const uint8_t b = reader.Rest()[0];
        if (b == kTrailer) break;
        if (b != kExtensionIntroducer && b != kImageSeparator) {
            Warning(this, gsWarning, "Unknown GIF block type");
            break;
        }
        auto frame = std::make_unique<TGIFSubImage>(this);
        frame->LoadFromStream(reader);
        Progress(this, psRunning, static_cast<int>(reader.Position() * 100 / size), false, "Loading...");
        images_.Add(std::move(frame));
        skipZeros();
    }
    TGIFTrailer(this).LoadFromStream(reader);
    progress.Done();
}

void TGIFImage::SaveToBytes(TByteWriter& writer)
{
    TGIFProgress progress(this, this, "Saving...");

    if (GetVersion() == 0) throw GIFException("Unsupported GIF version");
    header_.SaveToStream(writer);
    const int count = images_.Count();
    for (int i = 0; i < count; ++i) {
        images_.Items(i)->SaveToStream(writer);
        Progress(this, psRunning, i * 100 / count, false, "Saving...");
    }
    TGIFTrailer(this).SaveToStream(writer);
    progress.Done();
}

void TGIFImage::SaveToStream(TStream& stream)
{
    TByteWriter writer;
    SaveToBytes(writer);
    stream.WriteBuffer(writer.Bytes().data(), static_cast<int64_t>(writer.Bytes().size()));
}

void TGIFImage::SaveToFile(const std::string& fileName)
{
    TByteWriter writer;
    SaveToBytes(writer);
    SaveFileAtomically(fileName, writer.Bytes());
}

void TGIFImage::SetWidth(int w)
{
    StopDraw();
    for (int i = 0; i < images_.Count(); ++i)
        if (images_.Items(i)->Left() + images_.Items(i)->Width() > w)
            throw GIFException("Image width too small for contained frames");
    header_.Width = static_cast<uint16_t>(w);
    DropBitmap();
    Changed();
}

void TGIFImage::SetHeight(int h)
{
    StopDraw();
    for (int i = 0; i < images_.Count(); ++i)
        if (images_.Items(i)->Top() + images_.Items(i)->Height() > h)
            throw GIFException("Image height too small for contained frames");
    header_.Height = static_cast<uint16_t>(h);
    DropBitmap();
    Changed();
}

TGIFPalette TGIFImage::GetPalette()
{
    if (querying_) throw GIFException("No global or local color table defined");
    querying_ = true;
    struct TReset {
        bool& flag;
        ~TReset() { flag = false; }
    } reset{querying_};
    if (bitmap_ && !bitmap_->Palette().empty()) return bitmap_->Palette();
    if (!palette_.empty()) return palette_;
    if (DoDither()) return palette_ = CubePalette();
    if (header_.ColorMap().Count() > 0) return palette_ = header_.ColorMap().ExportPalette();
    if (images_.Count() > 0) return images_.First()->GetPalette();
    return {};
}

void TGIFImage::SetPalette(const TGIFPalette& palette)
{
    if (palette == palette_) return;
    StopDraw();
    palette_ = palette;
    if (bitmap_ && bitmap_->Palette() != palette) {
        DropBitmap();
        paletteModified_ = true;
        Changed();
    }
}

int TGIFImage::Add(TBitmap& source)
{
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(source);
    return AddFrame(std::move(frame));
}

int TGIFImage::Add(const TGIFSubImage& source)
{
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(source);
    return AddFrame(std::move(frame));
}

int TGIFImage::AddFrame(std::unique_ptr<TGIFSubImage> frame)
{
    TGIFSubImage* f = frame.get();
    const int index = images_.Add(std::move(frame));
    bool grew = false;
    if (f->Left() + f->Width() > header_.Width) {
        Warning(this, gsWarning, "Image width too small for contained frames");
        header_.Width = static_cast<uint16_t>(f->Left() + f->Width());
        grew = true;
    }
    if (f->Top() + f->Height() > header_.Height) {
        Warning(this, gsWarning, "Image height too small for contained frames");
        header_.Height = static_cast<uint16_t>(f->Top() + f->Height());
        grew = true;
    }
    if (grew) f->Warning(gsWarning, "Image exceeds Logical Screen size");
    DropBitmap();
    Changed();
    return index;
}

TBitmap* TGIFImage::Bitmap()
{
    if (Empty()) return nullptr;
    if (!bitmap_) {
        auto b = std::make_unique<TBitmap>();
        TGIFSubImage& first = *images_.First();
        if (first.Left() == 0 && first.Top() == 0 && first.Width() == Width() && first.Height() == Height() &&
            first.Bitmap()) {
            b->Assign(*first.Bitmap());
        } else {
            b->SetPixelFormat(pf24bit);
            b->SetSize(Width(), Height());
            try {
                b->SetPalette(GetPalette());
            } catch (const GIFException&) {
                // no colour table anywhere: no palette to carry
            }
            first.Draw(b->Canvas(), Rect(0, 0, Width(), Height()), false, false);
            b->Canvas().Release();
        }
        b->OnChange = [this](TGraphic&) { Changed(); };
        bitmap_ = std::move(b);
    }
    return bitmap_.get();
}

void TGIFImage::AssignTo(TBitmap& dest)
{
    if (TBitmap* b = Bitmap())
        dest.Assign(*b);
    else
        dest.SetSize(0, 0);
}

void TGIFImage::Assign(const TGIFImage* source)
{
    if (source == this) return;
    StopDraw();
    Clear();
    if (!source) return;
    OnProgress = source->OnProgress;
    OnWarning = source->OnWarning;
    TGIFProgress progress(this, this, "Copying...");
    source->header_.AssignTo(header_);
    ThreadPriority = source->ThreadPriority;
    DrawBackgroundColor = source->DrawBackgroundColor;
    DrawOptions = source->DrawOptions;
    ColorReduction = source->ColorReduction;
    DitherMode = source->DitherMode;
    const int count = source->images_.Count();
    for (int i = 0; i < count; ++i) {
        Add(*source->images_.Items(i));
        Progress(this, psRunning, (i + 1) * 100 / count, false, "Copying...");
    }
    progress.Done();
}

void TGIFImage::Assign(TBitmap& source)
{
    StopDraw();
    Clear();
    Add(source);
}

void TGIFImage::Assign(TGraphic& source)
{
    if (auto* gif = dynamic_cast<TGIFImage*>(&source)) return Assign(gif);
    if (auto* bitmap = dynamic_cast<TBitmap*>(&source)) return Assign(*bitmap);
    StopDraw();
    Clear();
    TBitmap b;
    try {
        source.AssignTo(b);
    } catch (const Exception&) {
        b.SetSize(source.Width(), source.Height());
        source.Draw(b.Canvas(), Rect(0, 0, source.Width(), source.Height()));
        b.Canvas().Release();
    }
    Add(b);
}

void TGIFImage::LoadFromClipboardFormat(const std::string& format, const std::vector<uint8_t>& data)
{
    if (format == ClipboardFormatName) {
        TByteReader reader(data);
        LoadFromBytes(reader);
        return;
    }
    TMemoryStream m;
    if (!data.empty()) m.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    m.SetPosition(0);
    TBitmap b;
    b.LoadFromStream(m);
    Assign(b);
}

bool TGIFImage::SaveToClipboardFormat(std::vector<uint8_t>& data, TBitmap& bitmap)
{
    if (Empty()) return false;
    bitmap.Assign(*Bitmap());
    TByteWriter writer;
    SaveToBytes(writer);
    data = writer.TakeBytes();
    return true;
}

namespace {
// A clipboard format of the name "GIF Image", as Qt names formats registered by name.
const QString kClipboardMime = QStringLiteral("application/x-qt-windows-mime;value=\"GIF Image\"");

QClipboard* Clipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}
} // namespace

bool CopyToClipboard(TGIFImage& picture)
{
    QClipboard* clipboard = Clipboard();
    std::vector<uint8_t> data;
    TBitmap bitmap;
    if (!clipboard || !picture.SaveToClipboardFormat(data, bitmap)) return false;
    auto* mime = new QMimeData;
    mime->setImageData(bitmap.ToImage());
    mime->setData(kClipboardMime, QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size())));
    clipboard->setMimeData(mime);
    return true;
}

bool PasteFromClipboard(TGIFImage& picture)
{
    QClipboard* clipboard = Clipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    if (!mime) return false;
    if (mime->hasFormat(kClipboardMime)) {
        const QByteArray bytes = mime->data(kClipboardMime);
        picture.LoadFromClipboardFormat(TGIFImage::ClipboardFormatName,
                                        std::vector<uint8_t>(bytes.begin(), bytes.end()));
        return true;
    }
    if (!mime->hasImage()) return false;
    TBitmap bitmap;
    bitmap.AssignImage(qvariant_cast<QImage>(mime->imageData()));
    picture.Assign(bitmap);
    return true;
}

void RegisterGIFImage()
{
    static std::once_flag once;
    std::call_once(once, [] { TPicture::RegisterFileFormat<TGIFImage>("gif", "GIF Image"); });
}

} // namespace GIFImg
