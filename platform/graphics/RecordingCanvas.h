// TRecordingCanvas: a canvas that keeps every drawing call with the pen, brush and font in
// force, so that a drawing can be checked by what was drawn rather than by its pixels. It
// may also pass every call on to another canvas, which then draws as usual.
#pragma once

#include "Graphics.h"

#include <cstddef>
#include <string>
#include <vector>

enum class TDrawKind {
    MoveTo, LineTo, Rectangle, FillRect, FrameRect, Ellipse, Polyline, Polygon, Arc, TextOut, TextRect,
    SetPixel, Image
};

struct TDrawRecord {
    TDrawKind Kind = TDrawKind::MoveTo;
    // MoveTo: the point. LineTo: the start (the pen position) and the end. Rectangle,
    // FillRect, FrameRect, Ellipse, Image: the two corners. Polyline, Polygon: the points.
    // Arc: the box corners, then the start and end points. TextOut: the top left corner.
    // TextRect: the rectangle's corners, then the text's point. SetPixel: the point.
    std::vector<TPoint> Points;
    std::string Text;       // TextOut, TextRect
    TColor Color = clNone;  // SetPixel
    TPen Pen;
    TBrush Brush;
    TFont Font;
};

class TRecordingCanvas : public TCanvas {
public:
    // target: a canvas that draws everything recorded as well (not owned), or none.
    explicit TRecordingCanvas(TCanvas* target = nullptr);

    const std::vector<TDrawRecord>& Records() const { return records_; }
    void Clear() { records_.clear(); }
    // The records of one kind, in drawing order.
    std::vector<TDrawRecord> OfKind(TDrawKind kind) const;
    std::size_t Count(TDrawKind kind) const;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void FillRect(const TRect& r) override;
    void FrameRect(const TRect& r) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Polyline(std::span<const TPoint> points) override;
    void Polygon(std::span<const TPoint> points) override;
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override;
    void TextOut(int x, int y, const std::string& text) override;
    void TextRect(const TRect& r, int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    TColor Pixels(int x, int y) override;
    void SetPixel(int x, int y, TColor c) override;
    void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) override;
    void DrawImage(const TRect& dest, const QImage& image, const QRect& source) override;
    void SetClipRect(const TRect& r) override;
    void ResetClip() override;

private:
    TDrawRecord& Add(TDrawKind kind, std::vector<TPoint> points);
    // Hands the drawing state to the target before a call is passed on.
    TCanvas* Sync();

    TCanvas* target_;
    std::vector<TDrawRecord> records_;
};
