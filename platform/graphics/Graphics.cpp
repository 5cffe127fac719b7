// Colours, fonts and the graphic base class.
#include "Graphics.h"

#include <QFont>
#include <QFontMetrics>

#include <cmath>

TColor ColorToRGB(TColor c)
{
    if (c == clNone) return clWhite;
    if (c == clDefault) return clBlack;
    if ((c & clSystemColor) == clSystemColor) {
        // The classic desktop scheme: fixed, so that drawn images do not depend on the session.
        switch (c & 0xFF) {
        case 5: return clWhite;      // window
        case 8: return clBlack;      // window text
        case 13: return clNavy;      // highlight
        case 14: return clWhite;     // highlight text
        case 15: return clSilver;    // button face
        case 16: return clGray;      // button shadow
        case 17: return clGray;      // grey text
        case 18: return clBlack;     // button text
        case 20: return clWhite;     // button highlight
        default: return clBlack;
        }
    }
    return c & 0xFFFFFF;
}

QColor ToQColor(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

TColor FromQRgb(QRgb c) { return RGB(qRed(c), qGreen(c), qBlue(c)); }

namespace {
// MulDiv rounds half away from zero.
int MulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    const double v = static_cast<double>(a) * b / c;
    return static_cast<int>(v < 0 ? std::ceil(v - 0.5) : std::floor(v + 0.5));
}
} // namespace

int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch); }

void TFont::SetSize(int points) { height_ = -MulDiv(points, PixelsPerInch, 72); }

std::string MapFontName(const std::string& name)
{
    struct Map {
        const char* from;
        const char* to;
    };
    static constexpr Map maps[] = {
        {"Arial", "Liberation Sans"},        {"Helvetica", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"}, {"Tahoma", "Liberation Sans"},
        {"Verdana", "Liberation Sans"},      {"Times New Roman", "Liberation Serif"},
        {"Times", "Liberation Serif"},       {"MS Serif", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},  {"Courier", "Liberation Mono"},
    };
    for (const Map& m : maps)
        if (SameText(name, m.from)) return m.to;
    return name.empty() ? "Liberation Sans" : name;
}

QFont TFont::ToQFont() const
{
    QFont f(QString::fromStdString(MapFontName(Name)));
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    f.setKerning(false);  // glyphs advance by their own widths, as the text metrics assume
    f.setBold(Style.Contains(fsBold));
    f.setItalic(Style.Contains(fsItalic));
    f.setUnderline(Style.Contains(fsUnderline));
    f.setStrikeOut(Style.Contains(fsStrikeOut));
    if (height_ < 0) {
        f.setPixelSize(-height_);
    } else if (height_ > 0) {
        // A positive height is the cell height (ascent + descent): scale the em size to it.
        f.setPixelSize(height_);
        const int cell = QFontMetrics(f).height();
        if (cell > 0) f.setPixelSize(std::max(1, MulDiv(height_, height_, cell)));
    } else {
        f.setPixelSize(MulDiv(8, PixelsPerInch, 72));
    }
    return f;
}

// --- TGraphic ---------------------------------------------------------------------------------

void TGraphic::LoadFromFile(const std::string& fileName)
{
    TMemoryStream m;
    m.LoadFromFile(fileName);
    m.SetPosition(0);
    LoadFromStream(m);
}

void TGraphic::SaveToFile(const std::string& fileName)
{
    TMemoryStream m;
    SaveToStream(m);
    m.SaveToFile(fileName);
}

void TGraphic::AssignTo(TBitmap& dest)
{
    dest.SetSize(Width(), Height());
    dest.Canvas().StretchDraw(Rect(0, 0, Width(), Height()), *this);
}

void TGraphic::SetTransparent(bool v)
{
    if (v == transparent_) return;
    transparent_ = v;
    Changed();
}
