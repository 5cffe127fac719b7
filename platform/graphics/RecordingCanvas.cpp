// TRecordingCanvas: records drawing calls with their drawing state.
#include "RecordingCanvas.h"

#include <algorithm>

TRecordingCanvas::TRecordingCanvas(TCanvas* target) : target_(target) {}

std::vector<TDrawRecord> TRecordingCanvas::OfKind(TDrawKind kind) const
{
    std::vector<TDrawRecord> out;
    std::copy_if(records_.begin(), records_.end(), std::back_inserter(out),
                 [kind](const TDrawRecord& r) { return r.Kind == kind; });
    return out;
}

std::size_t TRecordingCanvas::Count(TDrawKind kind) const
{
    return static_cast<std::size_t>(
        std::count_if(records_.begin(), records_.end(), [kind](const TDrawRecord& r) { return r.Kind == kind; }));
}

TDrawRecord& TRecordingCanvas::Add(TDrawKind kind, std::vector<TPoint> points)
{
    TDrawRecord& r = records_.emplace_back();
    r.Kind = kind;
    r.Points = std::move(points);
    r.Pen = Pen;
    r.Brush = Brush;
    r.Font = Font;
    return r;
}

TCanvas* TRecordingCanvas::Sync()
{
    if (!target_) return nullptr;
    target_->Pen = Pen;
    target_->Brush = Brush;
    target_->Font = Font;
    target_->SetPenPos(PenPos());
    return target_;
}

void TRecordingCanvas::MoveTo(int x, int y)
{
    Add(TDrawKind::MoveTo, {{x, y}});
    if (TCanvas* t = Sync()) t->MoveTo(x, y);
    TCanvas::MoveTo(x, y);
}

void TRecordingCanvas::LineTo(int x, int y)
{
    Add(TDrawKind::LineTo, {PenPos(), {x, y}});
    if (TCanvas* t = Sync()) t->LineTo(x, y);
    SetPenPos({x, y});
}

void TRecordingCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    Add(TDrawKind::Rectangle, {{x1, y1}, {x2, y2}});
    if (TCanvas* t = Sync()) t->Rectangle(x1, y1, x2, y2);
}

void TRecordingCanvas::FillRect(const TRect& r)
{
    Add(TDrawKind::FillRect, {{r.Left, r.Top}, {r.Right, r.Bottom}});
    if (TCanvas* t = Sync()) t->FillRect(r);
}

void TRecordingCanvas::FrameRect(const TRect& r)
{
    Add(TDrawKind::FrameRect, {{r.Left, r.Top}, {r.Right, r.Bottom}});
    if (TCanvas* t = Sync()) t->FrameRect(r);
}

void TRecordingCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    Add(TDrawKind::Ellipse, {{x1, y1}, {x2, y2}});
    if (TCanvas* t = Sync()) t->Ellipse(x1, y1, x2, y2);
}

void TRecordingCanvas::Polyline(std::span<const TPoint> points)
{
    Add(TDrawKind::Polyline, {points.begin(), points.end()});
    if (TCanvas* t = Sync()) t->Polyline(points);
}

void TRecordingCanvas::Polygon(std::span<const TPoint> points)
{
    Add(TDrawKind::Polygon, {points.begin(), points.end()});
    if (TCanvas* t = Sync()) t->Polygon(points);
}

void TRecordingCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    Add(TDrawKind::Arc, {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}});
    if (TCanvas* t = Sync()) t->Arc(x1, y1, x2, y2, x3, y3, x4, y4);
}

void TRecordingCanvas::TextOut(int x, int y, const std::string& text)
{
    Add(TDrawKind::TextOut, {{x, y}}).Text = text;
    if (TCanvas* t = Sync()) t->TextOut(x, y, text);
    SetPenPos({x + TextWidth(text), y});
}

void TRecordingCanvas::TextRect(const TRect& r, int x, int y, const std::string& text)
{
    Add(TDrawKind::TextRect, {{r.Left, r.Top}, {r.Right, r.Bottom}, {x, y}}).Text = text;
    if (TCanvas* t = Sync()) t->TextRect(r, x, y, text);
}

int TRecordingCanvas::TextWidth(const std::string& text)
{
    if (TCanvas* t = Sync()) return t->TextWidth(text);
    return TCanvas::TextWidth(text);
}

int TRecordingCanvas::TextHeight(const std::string& text)
{
    if (TCanvas* t = Sync()) return t->TextHeight(text);
    return TCanvas::TextHeight(text);
}

TColor TRecordingCanvas::Pixels(int x, int y) { return target_ ? target_->Pixels(x, y) : -1; }

void TRecordingCanvas::SetPixel(int x, int y, TColor c)
{
    Add(TDrawKind::SetPixel, {{x, y}}).Color = c;
    if (TCanvas* t = Sync()) t->SetPixel(x, y, c);
}

void TRecordingCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect)
{
    Add(TDrawKind::Image, {{dest.Left, dest.Top}, {dest.Right, dest.Bottom}});
    if (TCanvas* t = Sync()) t->CopyRect(dest, source, sourceRect);
}

void TRecordingCanvas::DrawImage(const TRect& dest, const QImage& image, const QRect& source)
{
    Add(TDrawKind::Image, {{dest.Left, dest.Top}, {dest.Right, dest.Bottom}});
    if (TCanvas* t = Sync()) t->DrawImage(dest, image, source);
}

void TRecordingCanvas::SetClipRect(const TRect& r)
{
    TCanvas::SetClipRect(r);
    if (target_) target_->SetClipRect(r);
}

void TRecordingCanvas::ResetClip()
{
    TCanvas::ResetClip();
    if (target_) target_->ResetClip();
}
