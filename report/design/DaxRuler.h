// The rulers shown beside a report's bands at design time (report/design, Qt Widgets): a
// ruler draws ticks in the report's unit with numbers in 7-point "Arial" and a marker line
// under the pointer; the container keeps one vertical ruler per band of the report's first
// page, hiding or cutting those that reach past its own height.
#pragma once

#include "report/DaxFormat.h"

#include <QFrame>

#include <string>
#include <vector>

class TDaxReport;

enum TDaxTickKind : uint8_t { tkMinor, tkMedium, tkHalf, tkMajor };

struct TDaxTick {
    int Pos = 0;             // pixels from the ruler's start
    TDaxTickKind Kind = tkMinor;
    std::string Number;      // the number written beside a major tick (empty for the others)
    friend bool operator==(const TDaxTick&, const TDaxTick&) = default;
};

// The ticks of a ruler `length` pixels long whose zero lies `offset` pixels from its start:
// inches in eighths (halves and quarters longer), millimetres and centimetres in millimetres
// (every fifth longer); numbers at every inch, every 10 mm, every centimetre.
std::vector<TDaxTick> RulerTicks(TDaxUnits unit, int pixelsPerInch, int offset, int length,
                                 const TDaxUnitMaster& units = TDaxUnitMaster());
// Pixels of one unit at pixelsPerInch.
double PixelsPerUnit(TDaxUnits unit, int pixelsPerInch, const TDaxUnitMaster& units = TDaxUnitMaster());

// A panel with a lowered inner and a raised outer bevel, 1 pixel each.
class TDaxRuler : public QFrame {
    Q_OBJECT
public:
    explicit TDaxRuler(QWidget* parent = nullptr);

    Qt::Orientation Orientation() const { return orientation_; }
    void SetOrientation(Qt::Orientation o);
    int ScreenPixelsPerInch() const { return ppi_; }
    void SetScreenPixelsPerInch(int ppi);
    TDaxUnits Units() const { return units_; }
    void SetUnits(TDaxUnits u);
    const TDaxUnitMaster& UnitMaster() const { return unitMaster_; }
    int Offset() const { return offset_; }
    void SetOffset(int offset);
    bool Marker() const { return marker_; }
    void SetMarker(bool on);
    // The marker's position along the ruler (-1: none shown); moving it repaints only the
    // old and the new line.
    int MarkerPos() const { return markerPos_; }
    void SetMarkerPos(int pos);

    std::vector<TDaxTick> Ticks() const;
    static QFont NumberFont();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    QRect MarkerLine(int pos) const;

    Qt::Orientation orientation_ = Qt::Vertical;
    int ppi_;
    TDaxUnits units_ = unitInches;
    TDaxUnitMaster unitMaster_;
    int offset_ = 0;
    bool marker_ = true;
    int markerPos_ = -1;
};

class TDaxRulerContainer : public QFrame {
    Q_OBJECT
public:
    explicit TDaxRulerContainer(QWidget* parent = nullptr);

    // The rulers follow the bands of the report's first page (heights at the report's
    // resolution, stacked in the page's band order); a single border of the design surface
    // puts them 2 pixels lower.
    void SetReport(TDaxReport* report);
    void SetSingleBorder(bool single);
    void UpdateRulers();
    const std::vector<TDaxRuler*>& Rulers() const { return rulers_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    TDaxReport* report_ = nullptr;
    bool singleBorder_ = false;
    std::vector<TDaxRuler*> rulers_;
};
