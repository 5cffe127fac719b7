// TAnimatedCursorImage: an animated cursor file read into its steps (TIconFrame), each with its
// icon; steps showing the same image share one icon. Graphics library, Qt Gui.
#pragma once

#include "launcher/graphics/AniCodec.h"
#include "launcher/graphics/IcoList.h"
#include "platform/graphics/Icon.h"

#include <memory>
#include <string>
#include <vector>

class TIconFrame {
public:
    // Copies another frame with an icon of its own.
    void Assign(const TIconFrame& source);

    std::shared_ptr<TIcon> Icon;  // shared by the steps that show one image
    bool IsIcon = true;           // the image was stored as an icon, not a cursor
    std::string Tag = "icon";     // the chunk the image came from, and its size
    int32_t Size = 0;
    int HotX = 0, HotY = 0;
    int32_t Rate = 0;    // jiffies (1/60 s)
    int Sequence = 0;    // the step's image; -1 for images beyond the header's count
};

class TAnimatedCursorImage {
public:
    TAnimatedCursorImage() = default;
    TAnimatedCursorImage(const TAnimatedCursorImage&) = delete;
    TAnimatedCursorImage& operator=(const TAnimatedCursorImage&) = delete;

    void Clear();
    // Reads the rest of the stream ("Stream read error", EReadError, for a damaged file; the
    // cursor is then empty).
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    // Not implemented: the information box, then a silent abort.
    void SaveToStream(TStream& stream);

    int FrameCount() const { return static_cast<int>(frames_.size()); }
    TIcon& FrameIcon(int index) const { return *frames_.at(static_cast<size_t>(index))->Icon; }
    TIconFrame& FrameAt(int index) const { return *frames_.at(static_cast<size_t>(index)); }

    // Null clears; another cursor is copied (every frame with an icon of its own).
    void Assign(const TAnimatedCursorImage* source);
    // An icon takes the first frame's; a bitmap the strip of frames; an icon list every icon.
    void AssignTo(TIcon& dest) const;
    void AssignTo(TBitmap& dest) const;
    void AssignTo(TIconList& dest) const;
    // The frames side by side (or one above the other) on background; with reduceColors the
    // strip keeps no more colours than the file had (at least 16; all for true-colour images).
    void DrawStrip(TBitmap& dest, TColor background, bool vertical, bool reduceColors) const;

    QvGIF::TAniHeader Header;
    std::string Title;    // "INAM", at most 255 characters
    std::string Creator;  // "IART"
    uint16_t FileColors = 0;

private:
    std::vector<std::unique_ptr<TIconFrame>> frames_;
};
