// The report output's device over a QPainter (report/output/qt): images, printers and
// widgets all draw through it. Text and shapes are not antialiased, as on a printer's device.
#pragma once

#include "report/output/RpxDevice.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <memory>
#include <optional>

class TRpxPainterDevice : public TRpxDevice {
public:
    // Draws through painter (not owned), which must stay open while the device is used.
    TRpxPainterDevice(QPainter* painter, const TRpxDeviceInfo& info);

    TRpxDeviceInfo Info() const override { return info_; }
    TRpxSize TextExtent(std::string_view text) override;
    int TextHeight() override;
    int TextAscent() override;

    // Qt's font for a device font (the face mapped to an installed family); below
    // kSmoothTextPixels high it is drawn smoothed and unhinted.
    static QFont ToQFont(const TRpxLogFont& f);
    static constexpr int kSmoothTextPixels = 9;

protected:
    void DoText(int x, int y, std::string_view text, const TRpxRect* fill, const TRpxRect* clip) override;
    void DoLine(int x1, int y1, int x2, int y2) override;
    void DoShape(const ShapeArgs& a) override;
    void DoFill(const TRpxRect& r, const TRpxLogBrush& b) override;
    void DoPattern(const TRpxRect& r, const uint8_t rows[8]) override;
    void DoImage(const TRpxRect& dest, const TRpxImage& image) override;
    void SetPainter(QPainter* p) { painter_ = p; }
    void SetInfo(const TRpxDeviceInfo& info) { info_ = info; }

private:
    QPen CurrentPen() const;
    QBrush CurrentBrush() const;
    // Qt's font and metrics for the selected font, made again only when it changes (a page
    // sets few fonts and measures and draws many texts with each).
    struct TQtFont {
        TRpxLogFont Of;
        QFont Font;
        QFontMetrics Metrics{QFont()};
    };
    const TQtFont& CurrentQtFont();

    QPainter* painter_;
    TRpxDeviceInfo info_;
    std::optional<TQtFont> qtFont_;
};

// A page image at a resolution: the screen-like device the preview and the tests draw on.
class TRpxImageDevice : public TRpxPainterDevice {
public:
    // width x height pixels at ppi, white.
    TRpxImageDevice(int width, int height, int ppiX = 96, int ppiY = 96);
    ~TRpxImageDevice() override;
    // Ends drawing and gives the image.
    const QImage& Image();

private:
    QImage image_;
    std::unique_ptr<QPainter> painter_;
};

// Makes memos measure with Qt's fonts.
void InstallRpxQtMeasuring();
