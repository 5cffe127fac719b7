// TIcon: an icon file (ICO) kept as its bytes and drawn from the image Qt's ICO reader makes of
// them (the first image of the file). Icons are transparent.
#pragma once

#include "platform/graphics/Graphics.h"

#include <cstdint>
#include <vector>

class TIcon : public TGraphic {
public:
    TIcon();

    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    // Raise "Cannot change the size of an icon".
    void SetWidth(int w) override;
    void SetHeight(int h) override;
    bool Empty() const override { return image_.isNull(); }
    void Draw(TCanvas& canvas, const TRect& rect) override;
    // The rest of the stream is one icon file ("Icon image is not valid" as EInvalidGraphic).
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void LoadFromBytes(std::vector<uint8_t> bytes);
    void Assign(const TIcon& source);

    // The icon file as loaded; empty for an empty icon.
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    const QImage& Image() const { return image_; }

private:
    std::vector<uint8_t> bytes_;
    QImage image_;
};
