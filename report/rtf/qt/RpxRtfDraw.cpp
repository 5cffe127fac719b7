#include "RpxRtfDraw.h"

#include "report/output/RpxDraw.h"
#include "report/output/RpxFile.h"
#include "report/output/qt/RpxPainterDevice.h"

#include "platform/runtime/SysUtils.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

// Format properties that lead from Qt's text back to ours.
constexpr int kFontIndex = QTextFormat::UserProperty + 1;
constexpr int kParagraphIndex = QTextFormat::UserProperty + 2;

struct Layout {
    QTextDocument Doc;
    std::vector<TRpxLogFont> Fonts;
};

TRpxLogFont LogFontOf(const TRtfCharFormat& f, const TRpxFont& def, bool useFont, int resY)
{
    TRpxLogFont lf;
    int halfPoints;
    bool bold, italic, underline, strike;
    TRpxColor colour;
    if (useFont) {
        lf.FaceName = def.Name;
        halfPoints = def.Size * 2;
        bold = def.Bold, italic = def.Italic, underline = def.Underline, strike = def.StrikeOut;
        colour = def.Color;
    } else {
        lf.FaceName = f.Face.empty() ? def.Name : f.Face;
        halfPoints = f.HalfPoints > 0 ? f.HalfPoints : def.Size * 2;
        bold = f.Bold, italic = f.Italic, underline = f.Underline, strike = f.StrikeOut;
        colour = f.HasColor ? f.Color : def.Color;
    }
    lf.Height = -std::max(1, MulDiv(std::max(1, halfPoints), resY, 144));
    lf.Weight = bold ? 700 : 400;
    lf.Italic = italic;
    lf.Underline = underline;
    lf.StrikeOut = strike;
    lf.Color = colour;
    return lf;
}

qreal Pixels(int32_t twips, int resolution) { return static_cast<qreal>(twips) * resolution / 1440.0; }

// The paragraphs [first, last) of the document in Qt's text document, lengths in pixels at the
// resolution.
void Build(Layout& out, const TRtfDocument& d, size_t first, size_t last, const TRpxFont& def, bool useFont, int resX,
           int resY)
{
    out.Doc.setDocumentMargin(0);
    out.Doc.setUndoRedoEnabled(false);
    QTextOption option = out.Doc.defaultTextOption();
    option.setTabStopDistance(std::max<qreal>(1, Pixels(720, resX)));
    out.Doc.setDefaultTextOption(option);
    out.Doc.setDefaultFont(TRpxPainterDevice::ToQFont(LogFontOf({}, def, useFont, resY)));
    QTextCursor c(&out.Doc);
    for (size_t i = first; i < last; ++i) {
        const TRtfParagraph& p = d.Paragraphs[i];
        const TRtfParagraphFormat& pf = p.Format;
        QTextBlockFormat bf;
        bf.setAlignment(pf.Align == TRtfAlign::Center  ? Qt::AlignHCenter
                        : pf.Align == TRtfAlign::Right ? Qt::AlignRight
                                                       : Qt::AlignLeft);   // justified lines are drawn ragged
        bf.setLeftMargin(std::max<qreal>(0, Pixels(pf.LeftIndent, resX)));
        bf.setRightMargin(std::max<qreal>(0, Pixels(pf.RightIndent, resX)));
        bf.setTextIndent(Pixels(pf.FirstIndent, resX));
        bf.setTopMargin(Pixels(pf.SpaceBefore, resY));
        bf.setBottomMargin(Pixels(pf.SpaceAfter, resY));
        QList<QTextOption::Tab> tabs;
        for (const auto& t : pf.Tabs) {
            // Our tab stops count from the margin, Qt's from the paragraph's indent.
            const qreal at = std::max<qreal>(0, Pixels(t.Twips, resX) - bf.leftMargin());
            const auto type = t.Kind == TRtfTabKind::Center  ? QTextOption::CenterTab
                              : t.Kind == TRtfTabKind::Right ? QTextOption::RightTab
                              : t.Kind == TRtfTabKind::Decimal ? QTextOption::DelimiterTab
                                                               : QTextOption::LeftTab;
            tabs.append(QTextOption::Tab(at, type, QChar('.')));
        }
        bf.setTabPositions(tabs);
        if (pf.PageBreakBefore) bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        bf.setProperty(kParagraphIndex, static_cast<int>(i));
        if (i == first) c.setBlockFormat(bf);
        else c.insertBlock(bf);
        for (const auto& r : p.Runs) {
            QTextCharFormat cf;
            out.Fonts.push_back(LogFontOf(r.Format, def, useFont, resY));
            cf.setFont(TRpxPainterDevice::ToQFont(out.Fonts.back()));
            cf.setProperty(kFontIndex, static_cast<int>(out.Fonts.size() - 1));
            c.insertText(QString::fromUtf8(r.Text.data(), static_cast<qsizetype>(r.Text.size())), cf);
        }
    }
}

// Keeps the characters [from, end) alone; the first paragraph left keeps its own format.
void Slice(QTextDocument& doc, int from, int end)
{
    const int length = doc.characterCount() - 1;
    if (end < length) {
        QTextCursor c(&doc);
        c.setPosition(end);
        c.setPosition(length, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
    if (from > 0) {
        const QTextBlockFormat kept = doc.findBlock(from).blockFormat();
        QTextCursor c(&doc);
        c.setPosition(0);
        c.setPosition(from, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        c.setPosition(0);
        c.setBlockFormat(kept);
    }
}

bool Separator(QChar ch) { return ch == QChar('\t') || ch == QChar(QChar::LineSeparator); }

}  // namespace

void TRpxRtfDraw::Reset()
{
    NextChar = 0;
    DC = nullptr;
    TextLength = 0;
    doc_ = {};
    starts_.clear();
    ResolutionX = ResolutionY = 0;
    RangeStart = RangeEnd = -1;
    UseFont = false;
}

bool TRpxRtfDraw::LoadFromBytes(const uint8_t* data, size_t size)
{
    doc_ = {};
    NextChar = 0;
    TextLength = 0;
    starts_.clear();
    tooLong_ = false;
    try {
        doc_ = ReadRtf(data, size);
    } catch (const EReadError&) {
        doc_ = {};   // damaged text draws nothing
        return false;
    }
    TextLength = doc_.TextLength();
    // Where each paragraph starts among the characters (its break counts one).
    starts_.reserve(doc_.Paragraphs.size());
    int64_t at = 0;
    for (const TRtfParagraph& p : doc_.Paragraphs) {
        starts_.push_back(static_cast<int32_t>(std::min<int64_t>(at, INT32_MAX)));
        int64_t length = 0;
        for (const auto& r : p.Runs) length += QString::fromUtf8(r.Text.data(), static_cast<qsizetype>(r.Text.size())).size();
        // A paragraph is laid out whole to draw any line of it: one longer than any report
        // writes would hold up the page's painting, so the text is refused as unreadable.
        if (length > kMaxParagraphLength) {
            doc_ = {};
            starts_.clear();
            TextLength = 0;
            tooLong_ = true;
            return false;
        }
        at += length + 1;
    }
    return true;
}

bool TRpxRtfDraw::LoadFromStream(TStream& stream)
{
    const int64_t size = stream.Size();
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(0, size)));
    stream.SetPosition(0);
    if (size > 0) stream.ReadBuffer(bytes.data(), size);
    return LoadFromBytes(bytes.data(), bytes.size());
}

void TRpxRtfDraw::Draw()
{
    if (!DC || NextChar >= TextLengthOf()) return;
    TRpxDevice& dc = *DC;
    const int resX = ResolutionX > 0 ? ResolutionX : std::max(1, dc.LogPixelsX());
    const int resY = ResolutionY > 0 ? ResolutionY : std::max(1, dc.LogPixelsY());
    const int width = Rect.Right - Rect.Left;
    int height = Rect.Bottom - Rect.Top;
    if (!IsScreenLike(dc)) height += MulDiv(5000, resY, 1440);
    const int from = std::max({NextChar, RangeStart, 0});
    const int end = RangeEnd < 0 ? TextLength : std::min(RangeEnd, TextLength);
    if (width <= 0 || height <= 0 || from >= end) return;

    // Only what the rectangle can take is laid out: from the paragraph holding the first
    // character, twice as many paragraphs each time, until they are taller than the rectangle
    // or reach the end. A long text costs what one rectangle of it costs, not all of it.
    if (starts_.empty()) return;
    const size_t first = static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), from) - starts_.begin()) - 1;
    const int base = starts_[first];
    std::unique_ptr<Layout> layout;
    for (size_t count = 1;; count *= 2) {
        const size_t last = std::min(doc_.Paragraphs.size(), first + count);
        layout = std::make_unique<Layout>();
        Build(*layout, doc_, first, last, Font, UseFont, resX, resY);
        Slice(layout->Doc, from - base, end - base);
        layout->Doc.setTextWidth(width);
        const qreal tall = layout->Doc.documentLayout()->documentSize().height();
        if (last == doc_.Paragraphs.size() || starts_[last] >= end || tall > height) break;
    }
    QTextDocument& doc = layout->Doc;

    const int saved = dc.SaveDC();
    dc.SetTextAlign(TA_LEFT | TA_BASELINE | TA_NOUPDATECP);
    dc.SetBkMode(TRANSPARENT);

    struct Drawn {
        int Paragraph;
        int Top, Bottom;
    };
    std::vector<Drawn> drawn;
    int next = end - from;   // in the slice: the first character not drawn
    bool full = false;
    for (QTextBlock block = doc.begin(); block.isValid() && !full; block = block.next()) {
        if (block != doc.begin() && block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) {
            next = block.position();
            break;
        }
        const QTextLayout* tl = block.layout();
        const QPointF origin = tl->position();
        for (int li = 0; li < tl->lineCount(); ++li) {
            const QTextLine line = tl->lineAt(li);
            const qreal top = origin.y() + line.y();
            if (top + line.height() > height) {
                next = block.position() + line.textStart();
                full = true;
                break;
            }
            const int lineStart = line.textStart(), lineEnd = line.textStart() + line.textLength();
            const int baseline = Rect.Top + static_cast<int>(std::lround(top + line.ascent()));
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fr = it.fragment();
                const int fs = fr.position() - block.position();
                const QString text = fr.text();
                const int a = std::max(fs, lineStart), b = std::min(fs + static_cast<int>(text.size()), lineEnd);
                if (a >= b) continue;
                const int fontIndex = fr.charFormat().intProperty(kFontIndex);
                if (fontIndex < 0 || static_cast<size_t>(fontIndex) >= layout->Fonts.size()) continue;
                const TRpxLogFont& font = layout->Fonts[static_cast<size_t>(fontIndex)];
                dc.SelectFont(font);
                dc.SetTextColor(font.Color);
                for (int k = a; k < b;) {
                    if (Separator(text[k - fs])) {
                        ++k;
                        continue;
                    }
                    int e = k;
                    while (e < b && !Separator(text[e - fs])) ++e;
                    const int x = Rect.Left + static_cast<int>(std::lround(origin.x() + line.cursorToX(k)));
                    dc.TextOut(x, baseline, text.mid(k - fs, e - k).toStdString());
                    k = e;
                }
            }
            const int paragraph = block.blockFormat().intProperty(kParagraphIndex);
            const int lineTop = Rect.Top + static_cast<int>(std::lround(top));
            const int lineBottom = Rect.Top + static_cast<int>(std::lround(top + line.height()));
            if (!drawn.empty() && drawn.back().Paragraph == paragraph) drawn.back().Bottom = lineBottom;
            else drawn.push_back({paragraph, lineTop, lineBottom});
        }
    }

    // Borders: neighbouring paragraphs with the same borders share one frame.
    const int penWidth = std::max(1, MulDiv(15, resY, 1440));
    TRpxLogPen pen;
    pen.Width = penWidth;
    dc.SelectPen(pen);
    for (size_t i = 0; i < drawn.size();) {
        const auto& first = doc_.Paragraphs.at(static_cast<size_t>(drawn[i].Paragraph)).Format;
        size_t j = i + 1;
        while (j < drawn.size() && doc_.Paragraphs.at(static_cast<size_t>(drawn[j].Paragraph)).Format.SameBorders(first)) ++j;
        if (first.HasBorder()) {
            const int l = Rect.Left + static_cast<int>(std::lround(std::max<qreal>(0, Pixels(first.LeftIndent, resX))));
            const int r = Rect.Right - 1 - static_cast<int>(std::lround(std::max<qreal>(0, Pixels(first.RightIndent, resX))));
            const int t = drawn[i].Top, b = drawn[j - 1].Bottom;
            const auto line = [&](int x1, int y1, int x2, int y2) {
                dc.MoveTo(x1, y1);
                dc.LineTo(x2, y2);
            };
            if (first.BorderTop) line(l, t, r, t);
            if (first.BorderBottom) line(l, b, r, b);
            if (first.BorderLeft) line(l, t, l, b);
            if (first.BorderRight) line(r, t, r, b);
        }
        i = j;
    }
    dc.RestoreDC(saved);
    NextChar = from + next;
}

TRpxRect MulDivRect(const TRpxRect& r, int dx, int dy, int mx, int my)
{
    TRpxRect o;
    o.Left = MulDiv(r.Left, mx, dx);
    o.Top = MulDiv(r.Top, my, dy);
    o.Right = o.Left + MulDiv(r.Right - r.Left, mx, dx);
    o.Bottom = o.Top + MulDiv(r.Bottom - r.Top, my, dy);
    return o;
}

TRpxRect PixelRectToTwips(const TRpxRect& r, int resolutionX, int resolutionY)
{
    return MulDivRect(r, resolutionX, resolutionY, 1440, 1440);
}

void InstallRpxRtfDraw()
{
    RpxRichTextRenderer = [](TRpxDevice& dc, const TRpxRichText& t) {
        // A page repainted, or a text continued over many rectangles, reads its text once.
        struct TLastText {
            std::vector<uint8_t> Rtf;
            TRpxRtfDraw Draw;
            bool Readable = false;
        };
        thread_local TLastText last;
        if (last.Rtf.size() != t.Rtf.size() || !std::equal(t.Rtf.begin(), t.Rtf.end(), last.Rtf.begin())) {
            last.Rtf.assign(t.Rtf.begin(), t.Rtf.end());
            last.Readable = last.Draw.LoadFromBytes(t.Rtf.data(), t.Rtf.size());
        }
        if (!last.Readable) {
            // Damaged text draws nothing; text refused for its size says so where it would be.
            if (last.Draw.TooLong()) {
                const int saved = dc.SaveDC();
                dc.SetTextAlign(TA_LEFT | TA_TOP | TA_NOUPDATECP);
                dc.SetBkMode(TRANSPARENT);
                dc.TextOut(t.Rect.Left, t.Rect.Top, TRpxRtfDraw::kTooLongText);
                dc.RestoreDC(saved);
            }
            return;
        }
        TRpxRtfDraw& draw = last.Draw;
        draw.Font = TRpxFont();
        if (t.HasFont) {
            TRpxFont f;
            f.Name = t.Font.FaceName;
            f.Size = std::max(1, MulDiv(std::abs(t.Font.Height), 72, std::max(1, t.ResolutionY)));
            f.Bold = t.Font.Weight >= 600;
            f.Italic = t.Font.Italic;
            f.Underline = t.Font.Underline;
            f.StrikeOut = t.Font.StrikeOut;
            f.Color = t.Font.Color;
            draw.SetFont(f);
        }
        draw.NextChar = std::max(0, t.FirstChar);
        draw.Rect = t.Rect;
        draw.UseFont = t.UseFont;
        draw.RangeStart = t.RangeStart;
        draw.RangeEnd = t.RangeEnd;
        draw.ResolutionX = t.ResolutionX;
        draw.ResolutionY = t.ResolutionY;
        draw.SetDC(&dc);
        draw.Draw();
    };
}
