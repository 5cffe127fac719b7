// Animated cursors: the frames of an ACON file as icons.
#include "launcher/graphics/AniFile.h"

#include "launcher/graphics/GfxUtils.h"
#include "launcher/graphics/QvGIF.h"
#include "launcher/graphics/QvGraph.h"

#include <algorithm>

void TIconFrame::Assign(const TIconFrame& source)
{
    if (&source == this) return;
    Icon = std::make_shared<TIcon>();
    if (source.Icon) Icon->Assign(*source.Icon);
    IsIcon = source.IsIcon;
    Tag = source.Tag;
    Size = source.Size;
    HotX = source.HotX;
    HotY = source.HotY;
    Rate = source.Rate;
    Sequence = source.Sequence;
}

void TAnimatedCursorImage::Clear()
{
    frames_.clear();
    Title.clear();
    Creator.clear();
    Header = QvGIF::TAniHeader{};
    FileColors = 0;
}

void TAnimatedCursorImage::LoadFromStream(TStream& stream)
{
    const int64_t size = stream.Size() - stream.Position();
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(size, 0)));
    if (size > 0) stream.ReadBuffer(bytes.data(), size);
    Clear();
    // An empty file is as short as any other under the 12 bytes of the RIFF header.
    try {
        QvGIF::TAniFile file;
        QvGIF::ParseAnimatedCursor(bytes, file);
        // One icon per image, shared by the steps showing it; an image Qt cannot read shows
        // in no step.
        std::vector<std::shared_ptr<TIcon>> icons;
        for (const QvGIF::TAniImage& image : file.Images) {
            auto icon = std::make_shared<TIcon>();
            try {
                icon->LoadFromBytes(image.IconFile);
            } catch (const EInvalidGraphic&) {
                icon.reset();
            }
            icons.push_back(std::move(icon));
        }
        for (const QvGIF::TAniStep& step : file.Steps) {
            const auto& icon = icons[static_cast<size_t>(step.Image)];
            if (!icon) continue;
            const QvGIF::TAniImage& image = file.Images[static_cast<size_t>(step.Image)];
            auto frame = std::make_unique<TIconFrame>();
            frame->Icon = icon;
            frame->IsIcon = image.IsIcon;
            frame->Size = image.Size;
            frame->HotX = image.IsIcon ? icon->Width() / 2 : image.HotX;
            frame->HotY = image.IsIcon ? icon->Height() / 2 : image.HotY;
            frame->Rate = step.Rate;
            frame->Sequence = step.Sequence;
            frames_.push_back(std::move(frame));
        }
        if (frames_.empty()) throw EReadError();
        Header = file.Header;
        Header.Steps = static_cast<uint32_t>(frames_.size());
        Title = file.Title;
        Creator = file.Creator;
        FileColors = file.FileColors;
    } catch (...) {
        Clear();
        throw;
    }
}

void TAnimatedCursorImage::LoadFromFile(const std::string& fileName)
{
    try {
        TMemoryStream m;
        m.LoadFromFile(fileName);
        m.SetPosition(0);
        LoadFromStream(m);
    } catch (...) {
        Clear();
        throw;
    }
}

void TAnimatedCursorImage::SaveToStream(TStream&) { NotImplementedError(); }

void TAnimatedCursorImage::Assign(const TAnimatedCursorImage* source)
{
    if (source == this) return;
    Clear();
    if (!source) return;
    Header = source->Header;
    Title = source->Title;
    Creator = source->Creator;
    FileColors = source->FileColors;
    for (const auto& f : source->frames_) {
        auto frame = std::make_unique<TIconFrame>();
        frame->Assign(*f);
        frames_.push_back(std::move(frame));
    }
}

void TAnimatedCursorImage::AssignTo(TIcon& dest) const
{
    if (frames_.empty())
        dest.Assign(TIcon());
    else
        dest.Assign(*frames_.front()->Icon);
}

void TAnimatedCursorImage::AssignTo(TBitmap& dest) const
{
    if (frames_.empty()) {
        dest.SetSize(0, 0);
        return;
    }
    DrawStrip(dest, dest.Canvas().Brush.Color, false, true);
}

void TAnimatedCursorImage::AssignTo(TIconList& dest) const
{
    dest.BeginUpdate();
    try {
        dest.Clear();
        for (const auto& f : frames_) dest.Add(*f->Icon);
    } catch (...) {
        dest.EndUpdate();
        throw;
    }
    dest.EndUpdate();
}

void TAnimatedCursorImage::DrawStrip(TBitmap& dest, TColor background, bool vertical, bool reduceColors) const
{
    if (frames_.empty()) return;
    const TIcon& first = *frames_.front()->Icon;
    const int n = FrameCount();
    TBitmap strip;
    strip.SetPixelFormat(pf24bit);
    strip.Canvas().Brush.Color = background;
    strip.SetSize(vertical ? first.Width() : first.Width() * n, vertical ? first.Height() * n : first.Height());
    strip.Canvas().FillRect(Rect(0, 0, strip.Width(), strip.Height()));
    for (int i = 0; i < n; ++i) {
        TIcon& icon = *frames_[static_cast<size_t>(i)]->Icon;
        if (vertical)
            strip.Canvas().Draw(0, i * icon.Height(), icon);
        else
            strip.Canvas().Draw(i * icon.Width(), 0, icon);
    }
    if (reduceColors) {
        // A file of deeper images (no colour count) keeps its colours.
        const int colors = FileColors == 0 ? 1 << 24 : std::max<int>(FileColors, 16);
        const std::vector<uint8_t> file = QvGraph::BitmapToDIBStreamByColors(strip, colors);
        TMemoryStream m;
        m.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
        m.SetPosition(0);
        strip.LoadFromStream(m);
    }
    dest.Assign(strip);
}

namespace QvGIF {

void TGIFImage::Assign(const TAnimatedCursorImage& cursor)
{
    ResetImage();
    BackgroundColor = ColorToRGB(clWindow);
    for (int i = 0; i < cursor.FrameCount(); ++i) {
        AddFrame(cursor.FrameIcon(i));
        frames_.back()->Delay = static_cast<uint16_t>(std::clamp(cursor.FrameAt(i).Rate * 100 / 6, 0, 65535));
    }
    Changed();
}

} // namespace QvGIF
