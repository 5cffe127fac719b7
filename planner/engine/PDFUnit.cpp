#include "planner/engine/PDFUnit.h"

#include "planner/engine/Exhibits.h"
#include "planner/engine/PowerBalance.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "platform/runtime/NumText.h"

#include <cmath>
#include <optional>

void DrawLabelRight(TCanvas& c, const std::string& text, const TRect& r)
{
    const TBrushStyle keep = c.Brush.Style;
    c.Brush.Style = bsClear;
    c.TextRect(r, r.Right - c.TextWidth(text), r.Top, text);
    c.Brush.Style = keep;
}

namespace {

bool HasExhibitId() { return ExhibitId != std::string(10, ' '); }

std::string ShortDate(TDateTime d) { return d == 0 ? std::string() : DateToStr(d); }

std::string Cut(const std::string& s, int n) { return Copy(s, 1, n); }

void Line(TCanvas& c, int x1, int y1, int x2, int y2)
{
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

void Font(TCanvas& c, const char* name, int points, TFontStyles style = {})
{
    c.Font.Name = name;
    c.Font.SetSize(points);
    c.Font.Style = style;
    c.Font.Color = clBlack;
}

void BlackPen(TCanvas& c, int width)
{
    c.Pen.Color = clBlack;
    c.Pen.Style = psSolid;
    c.Pen.Width = width;
}

void StretchPicture(TCanvas& c, const char* name, const TRect& r)
{
    if (TBitmap* b = ExhibitBitmap(name)) c.StretchDraw(r, *b);
}

std::string Fixed(double v, int decimals) { return FloatToStrF(v, TFloatFormat::ffFixed, 15, decimals); }

// A missing value shows as on the printed exhibit.
std::string Value(std::optional<double> v, int decimals)
{
    return v && std::isfinite(*v) ? Fixed(*v, decimals) : std::string("---");
}

// --- Pattern pages ---------------------------------------------------------------------------

// The page frame with the footer's lines.
void DrawPageFrame(TCanvas& c)
{
    Font(c, "MS Sans Serif", 8);
    c.Brush.Style = bsClear;
    BlackPen(c, 3);
    c.Rectangle(50, 50, 750, 900);
    Line(c, 50, 850, 749, 850);
    Line(c, 400, 850, 400, 899);
}

// Frame, data box, exhibit box and logo; `boxBottom` is the data box's lower edge.
void DrawPatternFrame(TCanvas& c, int boxBottom, bool blankBox)
{
    DrawPageFrame(c);
    c.MoveTo(500, 50);
    c.LineTo(500, boxBottom);
    c.LineTo(749, boxBottom);
    if (blankBox) {
        // The plot may run under the data block.
        c.Brush.Style = bsSolid;
        c.Brush.Color = clWhite;
        c.FillRect(Rect(502, 55, 740, 239));
        c.Brush.Style = bsClear;
    }
    if (HasExhibitId()) {
        c.MoveTo(500, 50);
        c.LineTo(500, 25);
        c.LineTo(749, 25);
        c.LineTo(749, 50);
        Font(c, "MS Sans Serif", 12, {fsBold});
        c.TextOut(515, 28, "Exhibit: " + ExhibitId.str());
    }
    StretchPicture(c, "REDBELVOR", Rect(550, 60, 685, 102));
}

// A data row: the label right-aligned before x 580, the value from x 585.
void Row(TCanvas& c, int top, const std::string& label, const std::string& value = {})
{
    DrawLabelRight(c, label, Rect(505, top, 580, top + 17));
    if (!value.empty()) c.TextOut(585, top, value);
}

void DrawPatternFooter(TCanvas& c)
{
    Font(c, "MS Sans Serif", 8);
    c.Brush.Style = bsClear;
    c.TextOut(145, 855, kMakerName);
    c.TextOut(145, 868, kMakerAddress1);
    c.TextOut(145, 881, kMakerAddress2);
    c.TextOut(410, 855, Cut("Company: " + CompanyName, 29));
    c.TextOut(600, 855, "Date: " + ShortDate(ProposalDate));
    c.TextOut(410, 868, Cut("Site: " + SiteName, 26));
    c.TextOut(600, 868, Cut("Author: " + AuthorName, 23));
    c.TextOut(410, 881, Cut("Proposal Number: " + ProposalNumber, 37));
}

std::string ChannelText() { return IntToStr(Sys().GetChannel()); }

}  // namespace

void DrawElevationExhibitPage(TCanvas& c)
{
    DrawPatternFrame(c, 240, true);
    const TElevationPdfText& t = ElevationPdfText;
    Font(c, "MS Sans Serif", 8);
    Row(c, 101, "Type:", Ant().HElName);
    Row(c, 116, "Directivity:");
    DrawLabelRight(c, "Numeric", Rect(581, 116, 660, 137));
    DrawLabelRight(c, "dBd", Rect(661, 116, 715, 134));
    Row(c, 134, "Main Lobe:");
    DrawLabelRight(c, t.MainLobeGain, Rect(581, 134, 660, 150));
    DrawLabelRight(c, t.MainLobeGainDb, Rect(661, 134, 715, 150));
    Row(c, 150, "Horizontal:");
    DrawLabelRight(c, t.HorizontalGain, Rect(581, 150, 660, 167));
    DrawLabelRight(c, t.HorizontalGainDb, Rect(661, 150, 715, 167));
    Row(c, 167, "Beam Tilt:", t.BeamTiltText);
    Row(c, 184, "Beam Width:", t.BeamWidthText + " degrees");
    Row(c, 201, "Channel:", ChannelText());
    Row(c, 220, "Plot Type:", t.PlotType);
    DrawPatternFooter(c);
}

void DrawAzimuthExhibitPage(TCanvas& c)
{
    DrawPatternFrame(c, 220, false);
    const TAzimuthPdfText& t = AzimuthPdfText;
    BuildPatternTypeNames();
    Font(c, "MS Sans Serif", 8);
    Row(c, 101, "Type:", ShowVerticalPattern ? VAzTypeName.str() : HAzTypeName.str());
    Row(c, 116, "Gain:");
    DrawLabelRight(c, t.NumericGain, Rect(581, 116, 625, 137));
    DrawLabelRight(c, "(" + t.PowerGainDb + " dB)", Rect(661, 116, 715, 134));
    Row(c, 134, "Polarization:", t.Polarization);
    Row(c, 150, "Channel:", ChannelText());
    Row(c, 167, "Plot Type:", t.PlotType);
    Row(c, 184, "Rotation Angle:", t.RotationAngle + " degrees");
    DrawPatternFooter(c);
}

void DrawComparisonPdfTitleBlock(TCanvas& c)
{
    DrawPageFrame(c);
    StretchPicture(c, "REDBELVOR", Rect(550, 100, 685, 142));
    DrawPatternFooter(c);
}

// --- System page -------------------------------------------------------------------------------

void DrawSystemExhibitPage(TCanvas& c)
{
    const TSysObj& sys = Sys();
    const TAntObj& ant = Ant();
    const TTLineObj& line = TLine();

    // Frame, logo, exhibit box, the lying run of line and the footer.
    BlackPen(c, 3);
    c.Brush.Style = bsClear;
    c.Rectangle(45, 85, 765, 900);
    StretchPicture(c, "REDBELVOR", Rect(350, 20, 485, 62));
    if (HasExhibitId()) {
        c.MoveTo(524, 83);
        c.LineTo(524, 53);
        c.LineTo(764, 53);
        c.LineTo(764, 83);
        Font(c, "Arial", 12, {fsBold});
        c.TextOut(530, 58, "Exhibit: " + ExhibitId.str());
    }
    StretchPicture(c, "TLINE_H", Rect(255, 665, 735, 705));
    Line(c, 45, 855, 764, 855);
    Line(c, 405, 855, 405, 898);
    Font(c, "Arial", 8);
    c.TextOut(155, 859, kMakerName);
    c.TextOut(155, 872, kMakerAddress1);
    c.TextOut(155, 883, kMakerAddress2);
    c.TextOut(410, 859, Cut("Company:  " + CompanyName, 30));
    c.TextOut(625, 859, "Date:  " + ShortDate(ProposalDate));
    c.TextOut(625, 872, Cut("Author:  " + AuthorName, 24));
    c.TextOut(410, 872, "Site:  " + SiteName);
    c.TextOut(410, 883, "Proposal Number:  " + ProposalNumber);

    // Transmitter power.
    // The figures as the system page shows them.
    const TPowerBalance b = SystemPowerBalance();
    const double p = b.TpoKw;
    const TShownLevels levels = ShownLevels(b);
    Font(c, "ARIAL", 12);
    BlackPen(c, 5);
    c.Rectangle(50, 635, 253, 735);
    BlackPen(c, 3);
    c.TextOut(75, 615, " Transmitter Power ");
    c.TextOut(110, 650, "kW:");
    DrawLabelRight(c, Value(p, 2), Rect(140, 650, 210, 670));
    Font(c, "ARIAL", 10);
    if (sys.Standard == 0) c.TextOut(85, 675, "NTSC Peak + " + FloatToStr(sys.AuralPercent) + "% Aural");
    else c.TextOut(100, 675, "DTV Average");
    Font(c, "ARIAL", 12);
    c.TextOut(108, 700, "dBk:");
    DrawLabelRight(c, Value(levels.Tpo, 2), Rect(140, 700, 210, 720));

    // Line and site.
    c.TextOut(260, 710, "Transmission Line: " + line.LineName);
    c.TextOut(260, 730,
              "Vertical: " + IntToStr(line.VerticalLength) + " ft.     Horizontal: " + IntToStr(line.HorizontalLength) +
                  " ft.");
    const std::pair<const char*, std::string> site[] = {
        {"Company:", CompanyName},         {"Channel:", ChannelText()}, {"Site:", SiteName},
        {"Proposal No:", ProposalNumber},  {"Date:", ShortDate(ProposalDate)},
        {"Author:", AuthorName},           {"Antenna Type:", ant.PartNumber},
    };
    for (int i = 0; i < 7; ++i) {
        c.TextOut(55, 185 + 28 * i, site[i].first);
        c.TextOut(180, 185 + 28 * i, site[i].second);
    }

    // ERP and the chain behind it: the label ends at x 500, the horizontal value in
    // (505, 580), the vertical one in (582, 665).
    c.TextOut(520, 130, "Signal Polarization");
    DrawLabelRight(c, "Effective Radiated Power (ERP)", Rect(260, 160, 500, 180));
    c.Font.Style = {fsUnderline};
    c.TextOut(510, 160, "Horizontal");
    c.TextOut(612, 160, "Vertical");
    c.Font.Style = {};
    auto label = [&](int top, const std::string& text, int left = 260) {
        DrawLabelRight(c, text, Rect(left, top, 500, top + 20));
    };
    auto horizontal = [&](int top, const std::string& text) { DrawLabelRight(c, text, Rect(505, top, 580, top + 20)); };
    auto vertical = [&](int top, const std::string& text) { DrawLabelRight(c, text, Rect(582, top, 665, top + 20)); };

    const double gh = b.HGain;
    const double gv = b.VGain;
    const bool ell = ant.Elliptical == 1;

    label(190, "kW:");
    horizontal(190, Value(sys.ERPH, 0));
    vertical(190, Value(sys.ERPV, 0));
    // A gain of nothing has no level, and radiates nothing: neither has a dB figure.
    label(225, "dBk:");
    horizontal(225, Value(levels.HErp, 2));
    DrawLabelRight(c, Value(ell ? levels.VErp : std::nullopt, 2), Rect(585, 225, 665, 245));
    DrawLabelRight(c, "Vertical / Horizontal ratio:", Rect(390, 260, 580, 280));
    vertical(260, Value(ant.VerticalPercent, 0));
    label(300, "Antenna Power Gain", 350);
    label(330, "Ratio:");
    horizontal(330, Value(gh, 2));
    vertical(330, Value(gv, 2));
    label(365, "dBd:");
    horizontal(365, Value(levels.HGain, 2));
    vertical(365, Value(levels.VGain, 2));
    label(410, "Antenna Input", 390);
    label(440, "kW:");
    horizontal(440, Value(b.InputKw, 2));
    label(475, "dBk:");
    horizontal(475, Value(levels.Input, 2));
    label(510, "Transmission Line Loss", 300);
    label(550, "kW:");
    horizontal(550, Value(b.LossKw, 2));
    label(585, "dB:");
    horizontal(585, Value(b.LossDb, 2));
    label(620, "Efficiency(%):", 390);
    horizontal(620, Value(b.EfficiencyPercent, 1));

    StretchPicture(c, "TLINE_V", Rect(685, 150, 730, 665));
}
