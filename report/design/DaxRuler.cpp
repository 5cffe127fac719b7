#include "DaxRuler.h"

#include "report/generate/DaxReport.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

namespace {

struct TScale {
    int Steps;      // ticks per unit
    int Medium;     // every Medium-th tick is longer
    int Half;       // every Half-th tick longer still (0: none)
    int Numbered;   // every Numbered-th tick is a major one with a number
    int NumberStep; // the number grows by this much from one major tick to the next
};

TScale ScaleOf(TDaxUnits unit)
{
    switch (unit) {
    case unitMiliMeters: return {1, 5, 0, 10, 10};
    case unitCentiMeters: return {10, 5, 0, 10, 1};
    default: return {8, 2, 4, 8, 1};
    }
}

} // namespace

double PixelsPerUnit(TDaxUnits unit, int pixelsPerInch, const TDaxUnitMaster& units)
{
    return pixelsPerInch * units.ToInches(unit, 1.0);
}

std::vector<TDaxTick> RulerTicks(TDaxUnits unit, int pixelsPerInch, int offset, int length, const TDaxUnitMaster& units)
{
    std::vector<TDaxTick> out;
    const double perUnit = PixelsPerUnit(unit, pixelsPerInch, units);
    if (!(perUnit > 0) || length <= 0) return out;
    const TScale s = ScaleOf(unit);
    const double step = perUnit / s.Steps;
    if (step < 1) return out;   // ticks closer than a pixel would be a solid bar
    // The first tick at or after the ruler's start (the zero may lie before it).
    long long i = static_cast<long long>(std::ceil(-offset / step - 1e-9));
    if (i < 0) i = 0;
    for (;; ++i) {
        const int pos = offset + static_cast<int>(std::lround(i * step));
        if (pos >= length) break;
        if (pos < 0) continue;
        TDaxTick t;
        t.Pos = pos;
        if (i % s.Numbered == 0) {
            t.Kind = tkMajor;
            if (i > 0) t.Number = std::to_string(i / s.Numbered * s.NumberStep);
        } else if (s.Half && i % s.Half == 0) {
            t.Kind = tkHalf;
        } else if (i % s.Medium == 0) {
            t.Kind = tkMedium;
        }
        out.push_back(t);
    }
    return out;
}

// --- TDaxRuler -----------------------------------------------------------------------------

TDaxRuler::TDaxRuler(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setMidLineWidth(0);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ppi_ = screen() ? static_cast<int>(std::lround(screen()->logicalDotsPerInchY())) : 96;
}

void TDaxRuler::SetOrientation(Qt::Orientation o)
{
    orientation_ = o;
    update();
}

void TDaxRuler::SetScreenPixelsPerInch(int ppi)
{
    ppi_ = ppi;
    update();
}

void TDaxRuler::SetUnits(TDaxUnits u)
{
    units_ = u;
    update();
}

void TDaxRuler::SetOffset(int offset)
{
    offset_ = offset;
    update();
}

void TDaxRuler::SetMarker(bool on)
{
    marker_ = on;
    if (!on) SetMarkerPos(-1);
}

QRect TDaxRuler::MarkerLine(int pos) const
{
    return orientation_ == Qt::Vertical ? QRect(0, pos, width(), 1) : QRect(pos, 0, 1, height());
}

void TDaxRuler::SetMarkerPos(int pos)
{
    if (!marker_) pos = -1;
    if (pos == markerPos_) return;
    if (markerPos_ >= 0) update(MarkerLine(markerPos_));
    markerPos_ = pos;
    if (markerPos_ >= 0) update(MarkerLine(markerPos_));
}

std::vector<TDaxTick> TDaxRuler::Ticks() const
{
    const int length = orientation_ == Qt::Vertical ? height() : width();
    return RulerTicks(units_, ppi_, offset_, length, unitMaster_);
}

QFont TDaxRuler::NumberFont()
{
    QFont f("Arial");
    f.setPointSize(7);
    return f;
}

void TDaxRuler::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    // A raised outer bevel round a lowered inner one.
    const QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
    auto bevel = [&p](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    };
    bevel(rect(), light, dark);
    bevel(rect().adjusted(1, 1, -1, -1), dark, light);

    const bool vertical = orientation_ == Qt::Vertical;
    const int across = vertical ? width() : height();
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(NumberFont());
    for (const TDaxTick& t : Ticks()) {
        const int len = t.Kind == tkMajor ? across / 2 : t.Kind == tkHalf ? across * 3 / 8 : t.Kind == tkMedium ? across / 4 : across / 8;
        // Ticks grow from the edge next to the band.
        if (vertical) {
            p.drawLine(across - 2 - len, t.Pos, across - 3, t.Pos);
            if (!t.Number.empty()) p.drawText(QPoint(3, t.Pos + p.fontMetrics().ascent() / 2), QString::fromStdString(t.Number));
        } else {
            p.drawLine(t.Pos, across - 2 - len, t.Pos, across - 3);
            if (!t.Number.empty()) p.drawText(QPoint(t.Pos + 2, 2 + p.fontMetrics().ascent()), QString::fromStdString(t.Number));
        }
    }
    if (markerPos_ >= 0) p.fillRect(MarkerLine(markerPos_) & e->rect(), Qt::white);
}

void TDaxRuler::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    SetMarkerPos(orientation_ == Qt::Vertical ? at.y() : at.x());
    QFrame::mouseMoveEvent(e);
}

void TDaxRuler::leaveEvent(QEvent* e)
{
    SetMarkerPos(-1);
    QFrame::leaveEvent(e);
}

// --- TDaxRulerContainer --------------------------------------------------------------------

TDaxRulerContainer::TDaxRulerContainer(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
}

void TDaxRulerContainer::SetReport(TDaxReport* report)
{
    report_ = report;
    UpdateRulers();
}

void TDaxRulerContainer::SetSingleBorder(bool single)
{
    singleBorder_ = single;
    UpdateRulers();
}

void TDaxRulerContainer::resizeEvent(QResizeEvent* e)
{
    QFrame::resizeEvent(e);
    UpdateRulers();
}

void TDaxRulerContainer::UpdateRulers()
{
    const TDaxReportPage* page = report_ && !report_->Pages().empty() ? report_->Pages().front() : nullptr;
    const size_t count = page ? page->Bands().size() : 0;
    while (rulers_.size() > count) {
        delete rulers_.back();
        rulers_.pop_back();
    }
    while (rulers_.size() < count) rulers_.push_back(new TDaxRuler(this));
    int top = singleBorder_ ? 2 : 0;
    for (size_t i = 0; i < count; ++i) {
        const TDaxBand& band = *page->Bands()[i];
        TDaxRuler& r = *rulers_[i];
        r.SetOrientation(Qt::Vertical);
        r.SetUnits(page->PageSetup.Units());
        const int h = std::max(0, band.Height);
        if (top >= height()) {
            r.hide();
        } else {
            r.setGeometry(0, top, width(), std::min(h, height() - top));
            r.show();
        }
        top += h;
    }
}
