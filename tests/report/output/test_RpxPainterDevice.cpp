#include "report/output/RpxDraw.h"
#include "report/output/RpxOutput.h"
#include "report/output/qt/RpxPainterDevice.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

int CountColour(const QImage& img, QRgb colour, QRect r = {})
{
    if (r.isNull()) r = img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++n;
    return n;
}

TRpxLogFont Sans(int height)
{
    TRpxLogFont f;
    f.FaceName = "Arial";
    f.Height = height;
    f.Weight = 400;
    return f;
}

} // namespace

TEST(RpxPainterDevice, FillsShadesAndLinesLandWhereTheOriginPutsThem)
{
    TRpxImageDevice dev(100, 100);
    dev.SetViewportOrg(10, 20);
    dev.FillRect({0, 0, 10, 10}, {rbsSolid, 0x0000FF});   // red in 0x00BBGGRR
    dev.SetBkColor(0xFFFFFF);
    dev.SetTextColor(0);
    ShadeRect(dev, {20, 0, 36, 16}, 1);   // half dark
    dev.SelectPen({rpsSolid, 1, 0xFF0000, rpmCopy});
    dev.MoveTo(0, 50);
    dev.LineTo(30, 50);
    const QImage& img = dev.Image();
    EXPECT_EQ(CountColour(img, qRgb(255, 0, 0), QRect(10, 20, 10, 10)), 100);
    EXPECT_EQ(CountColour(img, qRgb(255, 0, 0)), 100);
    EXPECT_EQ(CountColour(img, qRgb(0, 0, 0), QRect(30, 20, 16, 16)), 128);
    EXPECT_GE(CountColour(img, qRgb(0, 0, 255), QRect(10, 70, 31, 1)), 30);
}

TEST(RpxPainterDevice, TextIsMeasuredAtTheFontsPixelHeightAndAligned)
{
    TRpxImageDevice dev(300, 100);
    dev.SelectFont(Sans(-40));
    const TRpxSize wide = dev.TextExtent("MMMM");
    dev.SelectFont(Sans(-20));
    const TRpxSize narrow = dev.TextExtent("MMMM");
    EXPECT_GT(wide.Cx, narrow.Cx * 3 / 2);
    EXPECT_GT(dev.TextHeight(), 20);
    // Right-aligned text ends at x and moves the current position to its start.
    dev.SetBkMode(TRANSPARENT);
    dev.SetTextAlign(TA_RIGHT | TA_UPDATECP);
    dev.MoveTo(200, 10);
    dev.TextOut(0, 0, "MMMM");
    EXPECT_EQ(dev.CurrentPos().X, 200 - narrow.Cx);
    const QImage& img = dev.Image();
    EXPECT_GT(CountColour(img, qRgb(0, 0, 0), QRect(200 - narrow.Cx, 10, narrow.Cx, 30)), 20);
    EXPECT_EQ(CountColour(img, qRgb(0, 0, 0), QRect(201, 0, 99, 100)), 0);
}

TEST(RpxPainterDevice, EachTextIsDrawnAndMeasuredInTheFontSelectedForIt)
{
    // One device drawing texts in turn in fonts that differ in one property each must give the
    // pixels and sizes that a fresh device gives each text alone.
    auto with = [](auto change) {
        TRpxLogFont f = Sans(-18);
        change(f);
        return f;
    };
    // Each font differs from the one drawn before it in one property only.
    const std::vector<TRpxLogFont> fonts = {
        Sans(-18),
        with([](TRpxLogFont& f) { f.Height = -30; }),
        Sans(-18),
        with([](TRpxLogFont& f) { f.Weight = 700; }),
        Sans(-18),
        with([](TRpxLogFont& f) { f.Italic = 1; }),
        Sans(-18),
        with([](TRpxLogFont& f) { f.Underline = 1; }),
        Sans(-18),
        with([](TRpxLogFont& f) { f.StrikeOut = 1; }),
        Sans(-18),
        with([](TRpxLogFont& f) { f.FaceName = "Courier New"; }),
        Sans(-18),
    };
    const int rowHeight = 40;
    const std::string text = "Attenuation 12 dB";
    TRpxImageDevice together(300, rowHeight * int(fonts.size()));
    together.SetBkMode(TRANSPARENT);
    std::vector<std::array<int, 4>> measured;
    for (size_t i = 0; i < fonts.size(); ++i) {
        together.SelectFont(fonts[i]);
        const TRpxSize size = together.TextExtent(text);
        measured.push_back({size.Cx, size.Cy, together.TextHeight(), together.TextAscent()});
        together.TextOut(4, rowHeight * int(i), text);
    }
    const QImage& all = together.Image();
    for (size_t i = 0; i < fonts.size(); ++i) {
        TRpxImageDevice alone(300, rowHeight);
        alone.SetBkMode(TRANSPARENT);
        alone.SelectFont(fonts[i]);
        const TRpxSize size = alone.TextExtent(text);
        EXPECT_EQ(measured[i], (std::array<int, 4>{size.Cx, size.Cy, alone.TextHeight(), alone.TextAscent()})) << i;
        alone.TextOut(4, 0, text);
        EXPECT_EQ(all.copy(0, rowHeight * int(i), 300, rowHeight), alone.Image()) << i;
    }
}

TEST(RpxPainterDevice, ARecordedPageScalesWithTheZoom)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();   // 96 pixels per inch
    out.Canvas().SetBrush(TRpxBrush{0x000000, rbsSolid});
    out.Canvas().FillRect({96, 96, 192, 192});
    out.EndOutput();
    for (int zoom : {100, 50}) {
        TRpxImageDevice dev(400, 400, 192, 192);
        out.Document->ZoomX = out.Document->ZoomY = zoom;
        out.Document->PlayPage(dev, 1);
        const int side = 192 * zoom / 100;
        const QImage& img = dev.Image();
        EXPECT_EQ(CountColour(img, qRgb(0, 0, 0)), side * side) << zoom;
        EXPECT_EQ(img.pixel(side, side) & 0xFFFFFF, 0u) << zoom;
    }
}

#include "RecordBytes.h"

#include <climits>

// Damaged documents played onto the painter: shapes whose corners lie at the ends of the int
// range (or are carried there by the zoom) are skipped or clipped, never overflow.
TEST(RpxPainterDeviceDamaged, ShapesAtTheEndsOfTheRangeDrawNothingWrong)
{
    struct Case {
        const char* what;
        TRecordBytes records;
        int zoom;
        int origin = 7;
    };
    auto arc = [](uint8_t kind, int32_t a, int32_t b) {
        TRecordBytes r;
        r.Code(rcArc).U8(kind);
        for (int32_t v : {a, b, b, a}) r.I32(v);   // the box's x, then the radials'
        for (int32_t v : {a, b, a, b}) r.I32(v);   // the same for y
        return r;
    };
    const std::vector<Case> cases = {
        {"arc across the range", arc(0, INT_MIN, INT_MAX), 100},
        {"chord across the range", arc(1, INT_MIN, INT_MAX), 100},
        {"pie from the top end", arc(2, INT_MAX, INT_MIN), 100},
        {"arc squeezed at the bottom end", arc(0, INT_MIN, INT_MIN), 100, 0},
        {"arc from just left of the page to the top end", arc(0, -9, INT_MAX), 100},
        {"arc drawn backwards from the top end", arc(0, INT_MAX, 0), 100, 0},
        {"arc carried out by the zoom", arc(0, -30000, 30000), INT_MAX},
        {"rectangle carried out by the zoom", TRecordBytes().Code(rcRectangle).Rect(-32768, -32768, 32767, 32767), INT_MAX},
        {"ellipse carried out by the zoom", TRecordBytes().Code(rcEllipse).Rect(-32768, -32768, 32767, 32767), INT_MAX},
    };
    for (const auto& c : cases) {
        TRpxRpxFile doc;
        auto bytes = c.records;
        bytes.Code(rcPageEnd);
        const auto b = bytes.Bytes();
        doc.Stream->WriteBuffer(b.data(), int64_t(b.size()));
        doc.Pages.Add(0);
        doc.ZoomX = doc.ZoomY = c.zoom;
        TRpxImageDevice dev(50, 50);
        dev.SetViewportOrg(c.origin, c.origin);
        doc.PlayPage(dev, 1);
        const QImage& img = dev.Image();
        EXPECT_EQ(img.size(), QSize(50, 50)) << c.what;
    }
}

#include "report/output/RpxMemo.h"
#include "report/output/RpxPicture.h"

#include <QBuffer>

namespace {

std::vector<uint8_t> Encoded(const QImage& img, const char* format)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    EXPECT_TRUE(img.save(&buf, format));
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

QImage Gradient(int w, int h, QImage::Format format)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 128));
    return img.convertToFormat(format);
}

} // namespace

TEST(RpxPictureQt, PicturesWrittenByQtDecodeToTheSamePixels)
{
    for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_Indexed8, QImage::Format_Mono}) {
        const QImage src = Gradient(13, 7, f);
        const auto pic = GraphicFromBytes(Encoded(src, "BMP"));
        ASSERT_NE(pic, nullptr) << f;
        EXPECT_EQ(pic->PictureKind, TRpxPicture::pkBitmap);
        ASSERT_EQ(pic->Width(), 13);
        ASSERT_EQ(pic->Height(), 7);
        const QImage want = src.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(pic->Image.Pixels[size_t(y * 13 + x)] & 0xFFFFFF, want.pixel(x, y) & 0xFFFFFF) << f << " " << x << "," << y;
    }
    const QImage photo = Gradient(32, 16, QImage::Format_RGB32);
    const auto jpeg = GraphicFromBytes(Encoded(photo, "JPG"));
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(jpeg->PictureKind, TRpxPicture::pkJpeg);
    ASSERT_EQ(jpeg->Width(), 32);
    const QRgb got = jpeg->Image.Pixels[8 * 32 + 16];
    EXPECT_NEAR(qRed(got), qRed(photo.pixel(16, 8)), 12);
    EXPECT_NEAR(qGreen(got), qGreen(photo.pixel(16, 8)), 12);
}

TEST(RpxMemoQt, WrapsWithARealFontInsideItsWidth)
{
    InstallRpxQtMeasuring();
    TRpxMemo memo;
    memo.Font.Name = "Arial";
    memo.Font.Size = 10;
    memo.Width = 96;
    memo.Text = "The quick brown fox jumps over the lazy dog near the transmitter site.";
    memo.Layout();
    RpxMeasuringDeviceFactory = nullptr;
    ASSERT_GE(memo.LineCount, 3);
    TRpxImageDevice dev(10, 10);
    dev.SelectFont(memo.Font.LogFont(96));
    std::string joined;
    for (const auto& line : memo.Lines) {
        EXPECT_LE(dev.TextExtent(TrimTrailingSpaces(line)).Cx, 96) << line;
        joined += line;
    }
    EXPECT_EQ(joined, memo.Text);
    EXPECT_EQ(memo.LineHeight, dev.TextHeight());
}

#include "report/output/RpxPrint.h"
#include "report/output/qt/RpxPlatformPrinter.h"

#include "platform/printing/Printers.h"
#include "support/PopplerTools.h"
#include "report/FakePrinters.h"
#include "report/output/MixedPaperReport.h"

TEST(RpxPlatformPrinting, ARecordedReportPrintsThroughTheProgramsPrinter)
{
    mwtest::TempDir dir;
    const std::string pdf = dir.File("report.pdf");
    TRpxOutput out;
    out.SetOutputMode(1);
    out.Title = "Line report";
    out.BeginOutput();
    TRpxFont f;
    f.Name = "Arial";
    f.Size = 14;
    out.Canvas().SetFont(f);
    out.Canvas().TextOut(96, 96, "Rigid line page one");
    out.AdvancePage();
    out.Canvas().TextOut(96, 96, "Rigid line page two");
    out.EndOutput();

    TPdfPrinter printer(pdf, 300);
    TPrinterScope scope(printer);
    InstallRpxPlatformPrinting();
    auto device = RpxPrintDeviceFactory();
    RpxPrintDeviceFactory = nullptr;
    TRpxPrinter rpx(*device);
    out.Document->SendRange(rpx, 1, 2);
    ASSERT_FALSE(printer.Printing());
    EXPECT_EQ(mwtest::PdfPageCount(pdf), 2);
    EXPECT_NE(mwtest::PdfText(pdf, 1).find("Rigid line page one"), std::string::npos);
    EXPECT_NE(mwtest::PdfText(pdf, 2).find("Rigid line page two"), std::string::npos);
}

TEST(RpxPlatformPrinting, TheReportsOrientationReachesTheProgramsPrinter)
{
    TFakePrinters printers;   // the report's printer layer: a laser printer first
    mwtest::TempDir dir;
    const std::string pdf = dir.File("landscape.pdf");
    TRpxOutput out;
    out.SetOutputMode(1);
    out.PrinterSetup->SetOrientation(2);
    out.BeginOutput();
    out.Canvas().TextOut(96, 96, "Sideways");
    out.EndOutput();

    TPdfPrinter printer(pdf, 150);
    TRpxPlatformPrintDevice device(printer);
    TRpxPrinter rpx(device);
    rpx.TakePage(*out.Document, 1);
    EXPECT_EQ(printers.Current().Current.Orientation, 2);
    const QImage page = mwtest::PdfPageImage(pdf, 1, 20, dir.path());
    EXPECT_GT(page.width(), page.height());
    // The job over, the program's printer is as it was before it (the next exhibit chooses
    // its own orientation on it).
    EXPECT_EQ(printer.Orientation(), TPrinterOrientation::poPortrait);
}

TEST(RpxPlatformPrinting, EachPageComesOutOnItsOwnPaperAndOrientation)
{
    struct Case {
        const char* what;
        int copies, duplex;
        std::vector<std::string> sizes;   // of the last job
    };
    const Case cases[] = {
        {"one copy", 1, 1, {"612x792", "842x595"}},
        {"two collated copies in one job", 2, 1, {"612x792", "842x595", "612x792", "842x595"}},
        // A job per copy; the second starts on the first page's paper again.
        {"two-sided: a job per copy", 2, 2, {"612x792", "842x595"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFakePrinters printers;   // the laser: Letter, A4 under a number of its own, two-sided
        const auto document = LetterThenLandscapeA4(c.copies, c.duplex);
        mwtest::TempDir dir;
        const std::string pdf = dir.File("mixed.pdf");
        TPdfPrinter printer(pdf, 150);
        TRpxPlatformPrintDevice device(printer);
        TRpxPrinter rpx(device);
        rpx.PrintRange(*document, 1, 2);
        ASSERT_FALSE(printer.Printing());
        EXPECT_EQ(mwtest::PdfPageSizes(pdf), c.sizes);
        EXPECT_NE(mwtest::PdfText(pdf, 1).find("Upright letter"), std::string::npos);
        EXPECT_NE(mwtest::PdfText(pdf, 2).find("Sideways A4"), std::string::npos);
    }
}

TEST(RpxPlatformPrinting, OnlyTheSettingsTheDeviceModeHoldsTravel)
{
    TRpxDeviceCaps laser;
    laser.Papers = {{1, "Letter", 2159, 2794}, {DMPAPER_USER, "Custom", 3000, 4000}};
    laser.Bins = {{4, "Manual feed"}};
    laser.Duplex = true;
    TRpxDeviceCaps simplex = laser;
    simplex.Duplex = false;

    struct Case {
        const char* what;
        TRpxDevMode dm;
        const TRpxDeviceCaps* caps;
        TPrinterPageFormat expected;
    };
    auto dm = [](uint32_t fields, auto&& set) {
        TRpxDevMode d;
        d.Fields = fields;
        set(d);
        return d;
    };
    TPrinterPageFormat landscapeLetter;
    landscapeLetter.Orientation = TPrinterOrientation::poLandscape;
    landscapeLetter.Paper = TPrinterPaper{1, "Letter", 2159, 2794};
    TPrinterPageFormat custom;
    custom.Paper = TPrinterPaper{DMPAPER_USER, "Custom", 1500, 4000};   // the length beyond the largest sheet is cut
    TPrinterPageFormat longEdge;
    longEdge.Duplex = TPrinterDuplex::pdLongEdge;
    TPrinterPageFormat copies;
    copies.Copies = 3;
    copies.Collate = false;
    TPrinterPageFormat manual;
    manual.Source = "Manual feed";
    const Case cases[] = {
        {"nothing flagged", dm(0, [](TRpxDevMode& d) { d.Orientation = 2; d.Copies = 4; }), &laser, {}},
        {"paper and orientation", dm(DM_ORIENTATION | DM_PAPERSIZE, [](TRpxDevMode& d) { d.Orientation = 2; d.PaperSize = 1; }),
         &laser, landscapeLetter},
        {"a paper the printer lacks", dm(DM_PAPERSIZE, [](TRpxDevMode& d) { d.PaperSize = 9; }), &laser, {}},
        {"the user's own size", dm(DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH,
                                   [](TRpxDevMode& d) { d.PaperSize = DMPAPER_USER; d.PaperWidth = 1500; d.PaperLength = 5000; }),
         &laser, custom},
        {"two-sided", dm(DM_DUPLEX, [](TRpxDevMode& d) { d.Duplex = 2; }), &laser, longEdge},
        {"two-sided on a one-sided printer", dm(DM_DUPLEX, [](TRpxDevMode& d) { d.Duplex = 2; }), &simplex, {}},
        {"copies uncollated", dm(DM_COPIES | DM_COLLATE, [](TRpxDevMode& d) { d.Copies = 3; d.Collate = 0; }), &laser, copies},
        {"a bin by its number", dm(DM_DEFAULTSOURCE, [](TRpxDevMode& d) { d.DefaultSource = 4; }), &laser, manual},
        {"a bin the printer lacks", dm(DM_DEFAULTSOURCE, [](TRpxDevMode& d) { d.DefaultSource = 7; }), &laser, {}},
        {"dots per inch stay the printer's", dm(DM_PRINTQUALITY, [](TRpxDevMode& d) { d.PrintQuality = 600; }), &laser, {}},
        {"a quality code", dm(DM_PRINTQUALITY, [](TRpxDevMode& d) { d.PrintQuality = -4; }), &laser, {}},
        {"colour stays the printer's", dm(DM_COLOR, [](TRpxDevMode& d) { d.Color = 1; }), &laser, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(RpxPageFormat(c.dm, *c.caps) == c.expected);
    }
}

// Text at a small zoom (a whole page on the screen) keeps the shape of its letters: drawn with
// a font a few pixels high it looks like the same text drawn large and scaled down, column by
// column, instead of letters run together from pixels that are either ink or not.
TEST(RpxPainterDevice, SmallTextLooksLikeLargeTextScaledDown)
{
    const std::string text = "Attenuation Transmission";
    for (const int small : {5, 6, 8}) {
        SCOPED_TRACE(small);
        const int scale = 10;
        TRpxImageDevice large(small * static_cast<int>(text.size()) * scale, small * 2 * scale);
        large.SelectFont(Sans(-small * scale));
        large.SetBkMode(TRANSPARENT);
        large.TextOut(0, 0, text);
        const QImage reference = large.Image()
                                     .scaled(large.Image().width() / scale, large.Image().height() / scale,
                                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                     .convertToFormat(QImage::Format_Grayscale8);
        TRpxImageDevice tiny(reference.width(), reference.height());
        tiny.SelectFont(Sans(-small));
        tiny.SetBkMode(TRANSPARENT);
        tiny.TextOut(0, 0, text);
        const QImage drawn = tiny.Image().convertToFormat(QImage::Format_Grayscale8);
        // The ink of each column, as the eye takes a letter's shape in; compared as a correlation.
        std::vector<double> a, b;
        for (int x = 0; x < reference.width(); ++x) {
            double ia = 0, ib = 0;
            for (int y = 0; y < reference.height(); ++y) {
                ia += 255 - qGray(reference.pixel(x, y));
                ib += 255 - qGray(drawn.pixel(x, y));
            }
            a.push_back(ia);
            b.push_back(ib);
        }
        auto mean = [](const std::vector<double>& v) {
            double s = 0;
            for (double x : v) s += x;
            return s / static_cast<double>(v.size());
        };
        const double ma = mean(a), mb = mean(b);
        double sab = 0, saa = 0, sbb = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            sab += (a[i] - ma) * (b[i] - mb);
            saa += (a[i] - ma) * (a[i] - ma);
            sbb += (b[i] - mb) * (b[i] - mb);
        }
        const double correlation = sab / std::sqrt(saa * sbb);
        EXPECT_GT(correlation, 0.85);
        EXPECT_NEAR(mb, ma, ma / 4) << "letters drawn far heavier or lighter than the text is";
    }
}
