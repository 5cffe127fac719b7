#include "DaxReport.h"

#include "report/output/RpxPicture.h"

#include <algorithm>
#include <climits>

namespace {

constexpr TRpxBrush kClearBrush{clWhite, rbsClear};

// A label's text without its variable: caption, first line, or the design text.
std::string FallbackText(TDaxTVLabel& l)
{
    if (!l.Caption.empty()) return l.Caption;
    if (l.Lines.Count() > 0) return l.Lines.Strings(0);
    return l.GetDesignText();
}

bool NoValueType(TDaxDataTypes t) { return t == dtypeBlob || t == dtypeMemo || t == dtypeGraphic; }

// A reference to another component that is cleared when that component is freed.
template <class T>
void SetReference(TDaxComponent* self, T*& slot, T* value)
{
    if (slot == value) return;
    if (slot) slot->RemoveFreeNotification(self);
    slot = value;
    if (value) value->FreeNotification(self);
}

} // namespace

// ---- TDaxLabel ------------------------------------------------------------------------------

TDaxLabel::~TDaxLabel()
{
    if (auto* b = Band()) b->UnregisterLabel(this);
}

TDaxBand* TDaxLabel::Band() const { return dynamic_cast<TDaxBand*>(Parent()); }

TDaxReportPage* TDaxLabel::Page() const
{
    auto* b = Band();
    return b ? b->Page() : nullptr;
}

void TDaxLabel::ValidateParent(TDaxComponent* parent)
{
    TDaxComponent::ValidateParent(parent);
    if (parent && !dynamic_cast<TDaxBand*>(parent)) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
}

void TDaxLabel::ParentChanged(TDaxComponent* oldParent)
{
    if (auto* b = dynamic_cast<TDaxBand*>(oldParent)) b->UnregisterLabel(this);
    if (auto* b = Band()) b->RegisterLabel(this);
}

void TDaxLabel::SetWrapText(bool v)
{
    WrapText = v;
    if (v && !Loading()) Stretch = true;
}

void TDaxLabel::SetShade(TRpxShadePercent v)
{
    Shade = v;
    if (v != spNone) Transparent = false;
}

bool TDaxLabel::CanPrint()
{
    if (Done) return false;
    if (!LabelPrintWhen) return true;
    bool result = false;
    try {
        LabelPrintWhen(*this, result);
    } catch (...) {
        return false;   // a failing condition counts as a refusal and is not reported
    }
    return result;
}

TRpxRect TDaxLabel::PageRect(const TDaxReportPage& page, int height) const
{
    const int l = page.XPos + Left, t = page.YPos + Top;
    return {l, t, l + Width, t + height};
}

void TDaxLabel::Print(TDaxReportPage& page, int height)
{
    (void)height;
    Done = false;
    if (CanPrint()) {
        FireBefore();
        DrawLabel(page.Canvas(), PageRect(page, Height), Height);
        FireAfter();
    }
    Done = true;
}

bool TDaxLabel::BeginPrint()
{
    // Done is what the previous band print left behind; CanPrint refuses a done label, so
    // it is cleared before the new print asks.
    Done = false;
    Done = !CanPrint();
    return !Done;
}

void TDaxLabel::StartPrint() { BeginPrint(); }

int TDaxLabel::SpaceNeeded(TDaxReportPage&, int) { return CanPrint() ? Top + Height : 0; }

int TDaxLabel::PrintSlice(TDaxReportPage& page, int, int sliceHeight)
{
    int result = 0;
    if (CanPrint()) {
        Print(page, sliceHeight);
        result = Top + Height;
    }
    Done = true;
    return result;
}

void TDaxLabel::AnchorOf(const TRpxRect& r, int& x, int& y) const
{
    switch (AlignHorizontal) {
    case laLeft: x = r.Left + BorderMargin; break;
    case laCenter: x = r.Left + Width / 2; break;
    case laRight: x = r.Left + Width - BorderMargin; break;
    }
    switch (AlignVertical) {
    case laTop: y = r.Top + BorderMargin; break;
    case laMiddle: y = r.Top + Height / 2; break;
    case laBottom: y = r.Top + Height - BorderMargin; break;
    }
}

uint16_t TDaxLabel::AlignFlags() const
{
    static constexpr uint16_t v[] = {0, 24, 8}, h[] = {0, 6, 2};
    return static_cast<uint16_t>(v[AlignVertical] + h[AlignHorizontal]);
}

bool TDaxLabel::Clipped() const
{
    if (ClipType == ctClip) return true;
    if (ClipType != ctDefault) return false;
    auto* p = Page();
    return p && p->ClipLabels;
}

void TDaxLabel::DrawBackground(TRpxCanvas& c, const TRpxRect& r) const
{
    if (Transparent) {
        c.SetBrush(kClearBrush);
        return;
    }
    if (Shade != spNone) {
        c.SetBrush(TRpxBrush{clWhite, rbsSolid});
        c.FillRect(r);
        c.ShadeRect(r, Shade);
    } else {
        c.SetBrush(TRpxBrush{Color, rbsSolid});
        c.FillRect(r);
    }
    c.SetBrush(kClearBrush);
}

void TDaxLabel::DrawText(TRpxCanvas& c, const TRpxRect& r, const std::string& text)
{
    DrawBackground(c, r);
    if (!(c.Font() == Font)) c.SetFont(Font);
    c.SetTextAlign(AlignFlags());
    c.SetFontAngle(RotateFont);
    int x = 0, y = 0;
    AnchorOf(r, x, y);
    if (Clipped())
        c.TextRect(r, x, y, text);
    else
        c.TextOut(x, y, text);
    DrawBorder(c, r, BorderType, DesignPaint);
}

void TDaxLabel::DrawLabel(TRpxCanvas& canvas, const TRpxRect& r, int)
{
    DrawText(canvas, r, GetPrintText());
}

void DrawBorder(TRpxCanvas& c, const TRpxRect& r, TDaxBorderType type, bool design)
{
    if (design && type != btSingle) {
        c.SetPen(TRpxPen{clBlack, rpsDot, 1, rpmCopy});
        c.SetBrush(kClearBrush);
        c.MoveTo(r.Left, r.Top);
        c.LineTo(r.Right, r.Top);
        c.LineTo(r.Right, r.Bottom);
        c.LineTo(r.Left, r.Bottom);
        c.LineTo(r.Left, r.Top);
    }
    if (type == btSingle || type == btUnderLine) {
        c.SetBrush(TRpxBrush{clBlack, rbsSolid});
        if (type == btSingle) {
            c.FillRect({r.Left, r.Top, r.Right + 1, r.Top + 1});
            c.FillRect({r.Right, r.Top, r.Right + 1, r.Bottom});
            c.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom});
        }
        c.FillRect({r.Left, r.Bottom, r.Right + 1, r.Bottom + 1});
    }
    c.SetBrush(kClearBrush);
}

// ---- text labels --------------------------------------------------------------------------------

TDaxTVLabel::TDaxTVLabel(TDaxComponent* owner) : TDaxLabel(owner), DataFormat(this)
{
    Color = clWhite;
}

std::string TDaxTVLabel::GetPrintText()
{
    if (TDaxVar* v = Variable()) {
        if (Designing() || !v->ValuesCreated) {
            if (!v->ValuesCreated) v->CreateValues();
            if (v->HasData() && !NoValueType(v->GetDataType())) return v->FormatText(DataFormat);
            return GetDesignText();
        }
        return v->FormatText(DataFormat);
    }
    return FallbackText(*this);
}

void TDaxTVLabel::PrepareText()
{
    auto* page = Page();
    Memo.PixelsPerInch = page ? page->PixelsPerInch() : 96;
    Memo.PlainText = page && page->PageSetup.TextDriverCompatibility;
    Memo.SetFont(Font);
    Memo.Width = Width - 2 * BorderMargin;
    Memo.WordWrap = WrapText;
    Memo.LineSpacing = WrapHeightPercent;
    Memo.SkipBlankLines = SuppressBlankLines;
    Memo.TrimBlankEnds = SuppressWhiteSpace;
    Memo.Alignment = JustifyMemo ? 3 : static_cast<uint8_t>(AlignHorizontal == laLeft ? 0 : AlignHorizontal == laCenter ? 1 : 2);
    std::string text;
    TDaxVar* v = Variable();
    if (v && v->HasData()) {
        if (v->GetDataType() == dtypeMemo || v->GetDataType() == dtypeBlob) {
            TMemoryStream& s = v->AsStream();
            text.assign(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
        } else {
            text = v->FormatText(DataFormat);
        }
    } else if (!Caption.empty()) {
        text = Caption;
    } else if (Lines.Count() > 0) {
        text = Lines.Text();
    } else {
        text = GetDesignText();
    }
    Memo.Text = std::move(text);
    Memo.Layout();
}

void TDaxTVLabel::SkipLeadingBlanks()
{
    while (LinesPrinted < Memo.LineCount && Memo.Lines[static_cast<size_t>(LinesPrinted)].empty()) ++LinesPrinted;
}

void TDaxTVLabel::StartPrint()
{
    if (BeginPrint()) {
        if (auto* p = Page(); p && p->RtfMode && !RtfPrint) Done = true;
    }
    if (Done) return;
    LinesPrinted = 0;
    FirstSlice = true;
    PrepareText();
}

int TDaxTVLabel::SpaceNeeded(TDaxReportPage&, int room)
{
    if (!CanPrint()) return 0;
    if (!UsesMemo()) return Top + Height;
    PrepareText();
    if (SuppressWhiteSpace && !FirstSlice) SkipLeadingBlanks();
    if (!Stretch) return Top + Height;
    const int lh = std::max(1, Memo.LineHeight);
    if (FirstSlice) {
        if (room - Top < Height) return Top + Height;
        const int n = std::max(0, (room - Top - 2 * BorderMargin) / lh);
        int answer = Top + std::min(n, LinesLeft()) * lh + 2 * BorderMargin;
        if (answer < Top + Height && Top + Height <= room) answer = Top + Height;
        return answer;
    }
    const int n = std::max(0, (room - 2 * BorderMargin) / lh);
    return std::min(n, LinesLeft()) * lh + 2 * BorderMargin + 1;
}

int TDaxTVLabel::PrintSlice(TDaxReportPage& page, int room, int)
{
    if (!CanPrint()) {
        Done = true;
        return 0;
    }
    if (!UsesMemo()) {
        Print(page, Height);
        Done = true;
        return Top + Height;
    }
    TRpxRect r;
    const bool first = FirstSlice;
    const int roomBottom = page.YPos + std::max(0, room);
    if (first) {
        FireBefore();
        r = PageRect(page, Height);
        room -= Top;
    } else {
        // A continuation starts one pixel below the slice's top.
        r = {page.XPos + Left, page.YPos + 1, page.XPos + Left + Width, page.YPos + 1 + Height};
    }
    // At the top of a page a line that does not fit still prints, so the label moves on.
    int h = PrintMemoLines(page.Canvas(), r, room, page.YPos <= page.PageStartY, roomBottom);
    if (first) h += Top;
    if (Done) FireAfter();
    FirstSlice = false;
    return h;
}

int TDaxTVLabel::PrintMemoLines(TRpxCanvas& c, const TRpxRect& r, int room, bool atPageTop, int roomBottom)
{
    room = std::max(0, room);
    c.SetFontAngle(0);
    PrepareText();
    if (SuppressWhiteSpace && !FirstSlice) SkipLeadingBlanks();
    const int lh = std::max(1, Memo.LineHeight);
    int n = 0, height = 0;
    bool forced = false;
    if (Stretch) {
        const int fit = std::max(0, (room - 2 * BorderMargin) / lh);
        n = fit;
        if (FirstSlice) n = std::max(n, 1);
        if (atPageTop) n = std::max(n, 1);
        n = std::max(0, std::min(n, LinesLeft()));
        // At the top of a page no later page has more room: the line is forced on.
        forced = atPageTop && n > fit;
        height = n * lh + 2 * BorderMargin;
        if (FirstSlice) height = std::max(height, Height);
        Done = Memo.LineCount == 0 || LinesPrinted + n >= Memo.LineCount;
        if (n == 0 && !Done) height = std::max(0, room);
    } else {
        height = Height;
        n = std::min(Memo.LineCount, std::max(1, (Height - 2 * BorderMargin) / lh));
        Done = true;
    }
    if (forced && roomBottom != INT_MAX) {
        // A line printed without the room for it keeps to the room there is.
        height = std::max(0, std::min(height, roomBottom - r.Top));
        Memo.ClipBottom = roomBottom;
    }
    DrawBackground(c, {r.Left, r.Top, r.Left + Width, r.Top + std::max(0, height - 1)});
    if (n > 0) {
        Memo.FirstLine = LinesPrinted;
        Memo.LastLine = LinesPrinted + n - 1;
        Memo.PrintLines(c, r.Left + BorderMargin, r.Top + BorderMargin);
        Memo.FirstLine = Memo.LastLine = -1;
    }
    Memo.ClipBottom = INT_MAX;
    DrawBorder(c, DesignPaint ? r : TRpxRect{r.Left, r.Top, r.Left + Width, r.Top + height}, BorderType, DesignPaint);
    LinesPrinted += n;
    return height;
}

void TDaxTVLabel::Print(TDaxReportPage& page, int height)
{
    Done = false;
    if (CanPrint()) {
        FireBefore();
        LinesPrinted = 0;
        FirstSlice = true;
        if (UsesMemo()) height -= Top;
        DrawLabel(page.Canvas(), PageRect(page, Height), height);
        FireAfter();
    }
    Done = true;
}

void TDaxTVLabel::DrawLabel(TRpxCanvas& c, const TRpxRect& r, int height)
{
    if (UsesMemo()) {
        PrintMemoLines(c, r, height, false);
        return;
    }
    DrawText(c, r, GetPrintText());
}

// ---- variable and text labels ----------------------------------------------------------------

TDaxvarlabel::~TDaxvarlabel() { SetVariable(nullptr); }

void TDaxvarlabel::SetVariable(TDaxVar* v) { SetReference(this, variable_, v); }

void TDaxvarlabel::Notification(TDaxComponent* c, TOperation op)
{
    TDaxTVLabel::Notification(c, op);
    if (op == TOperation::opRemove && c == variable_) variable_ = nullptr;
}

std::string TDaxvarlabel::GetDesignText()
{
    if (variable_) return variable_->Name();
    return DesignPaint ? "Fill in variable." : std::string();
}

bool TDaxvarlabel::UsesMemo() const
{
    if (variable_) {
        const TDaxDataTypes t = variable_->DataType();
        if (t == dtypeMemo || t == dtypeBlob) return true;
    }
    return WrapText;
}

void TDaxvarlabel::DrawLabel(TRpxCanvas& c, const TRpxRect& r, int height)
{
    if (!UsesMemo() && variable_ && variable_->HasData() && SuppressRepeats && variable_->ValuesCreated &&
        variable_->SavedValue()) {
        // A value equal to the previous record's draws nothing at all, not even its border.
        const std::string now = variable_->GetPrintValue().AsString();
        if (now == variable_->SavedValue()->AsString()) return;
    }
    TDaxTVLabel::DrawLabel(c, r, height);
}

std::string TDaxTextLabel::GetDesignText()
{
    if (!Caption.empty()) return Caption;
    return DesignPaint ? "Fill in caption." : std::string();
}

// ---- check, total, line, image, divider ----------------------------------------------------------

TDaxCheckLabel::TDaxCheckLabel(TDaxComponent* owner) : TDaxLabel(owner)
{
    Width = Height = 12;
}

TDaxCheckLabel::~TDaxCheckLabel() { SetVariable(nullptr); }

void TDaxCheckLabel::SetVariable(TDaxVar* v) { SetReference(this, variable_, v); }

void TDaxCheckLabel::Notification(TDaxComponent* c, TOperation op)
{
    TDaxLabel::Notification(c, op);
    if (op == TOperation::opRemove && c == variable_) variable_ = nullptr;
}

void TDaxCheckLabel::DrawLabel(TRpxCanvas& c, const TRpxRect& r, int)
{
    bool value = true;
    if (variable_ && !DesignPaint) value = variable_->AsBoolean();
    DrawBackground(c, r);
    if (value) c.CheckBox(r, CheckStyle, Pen.Width, Pen.Color);
    DrawBorder(c, r, BorderType, DesignPaint);
}

TDaxTotalvarLabel::TDaxTotalvarLabel(TDaxComponent* owner) : TDaxLabel(owner), DataFormat(this)
{
    AlignHorizontal = laRight;
}

TDaxTotalvarLabel::~TDaxTotalvarLabel()
{
    SetTotalVariable(nullptr);
    SetLevel(nullptr);
}

void TDaxTotalvarLabel::SetTotalVariable(TDaxTotalvar* v) { SetReference(this, total_, v); }

void TDaxTotalvarLabel::SetLevel(TDaxLevel* l) { SetReference(this, level_, l); }

void TDaxTotalvarLabel::Notification(TDaxComponent* c, TOperation op)
{
    TDaxLabel::Notification(c, op);
    if (op != TOperation::opRemove) return;
    if (c == total_) total_ = nullptr;
    if (c == level_) level_ = nullptr;
}

std::string TDaxTotalvarLabel::GetDesignText()
{
    if (total_) return total_->Name();
    return DesignPaint ? "Fill in variable." : std::string();
}

std::string TDaxTotalvarLabel::GetPrintText()
{
    if (!total_) return GetDesignText();
    TDaxLevel* level = (AutoLevel || !level_) ? (Band() ? Band()->Updatelevel : nullptr) : level_;
    if (Designing() || !total_->ValuesCreated) {
        if (!total_->ValuesCreated) total_->CreateValues();
        if (!total_->HasData()) return GetDesignText();
    }
    if (!level) return GetDesignText();
    TDaxFloat* t = total_->GetTotal(*level, TotalType);
    return t ? t->FormatText(DataFormat) : GetDesignText();
}

void TDaxLine::DrawLabel(TRpxCanvas& c, const TRpxRect& r, int)
{
    DrawBackground(c, r);
    c.SetPen(Pen);
    c.SetBrush(kClearBrush);
    const int w = Pen.Width;
    int x1 = r.Left, y1 = r.Top, x2 = r.Right, y2 = r.Bottom;
    switch (LineType) {
    case ltHorizontal:
        y1 = y2 = AlignVertical == laTop ? r.Top : AlignVertical == laMiddle ? r.Top + Height / 2 : r.Bottom - w;
        c.SetBrush(TRpxBrush{Pen.Color, rbsSolid});
        c.FillRect({x1, y1, x2 + 1, y1 + w});
        break;
    case ltVertical:
        x1 = x2 = AlignHorizontal == laLeft ? r.Left : AlignHorizontal == laCenter ? r.Left + Width / 2 : r.Right - w;
        if (w > 0) {
            c.SetBrush(TRpxBrush{Pen.Color, rbsSolid});
            c.FillRect({x1, y1, x1 + w, y2 + 1});
        }
        break;
    case ltDiagonalLeft:
        c.MoveTo(r.Left, r.Top);
        c.LineTo(r.Right, r.Bottom);
        break;
    case ltDiagonalRight:
        c.MoveTo(r.Right, r.Top);
        c.LineTo(r.Left, r.Bottom);
        break;
    }
    c.SetBrush(kClearBrush);
    DrawBorder(c, r, btNone, DesignPaint);
}

TDaxImageLabel::~TDaxImageLabel() { SetVariable(nullptr); }

void TDaxImageLabel::SetVariable(TDaxVar* v) { SetReference(this, variable_, v); }

void TDaxImageLabel::Notification(TDaxComponent* c, TOperation op)
{
    TDaxLabel::Notification(c, op);
    if (op == TOperation::opRemove && c == variable_) variable_ = nullptr;
}

void TDaxImageLabel::PrepareImage()
{
    image_.clear();
    bitmap_ = false;
    imageWidth_ = imageHeight_ = 0;
    const bool fromVariable =
        variable_ && (variable_->DataType() == dtypeGraphic || variable_->DataType() == dtypeBlob) && variable_->HasData();
    if (fromVariable) {
        TMemoryStream& s = variable_->AsStream();
        const uint8_t* p = s.Memory();
        image_.assign(p, p + s.Size());
    } else {
        image_ = Picture;
    }
    if (image_.empty()) return;
    const TDaxReportPage* page = Page();
    const int ppi = page ? page->PixelsPerInch() : 96;
    if (image_.size() >= 2 && image_[0] == 'B' && image_[1] == 'M') {
        TRpxBitmap b;
        b.LoadFromBytes(image_);
        b.DesignResolution = ppi;
        if (b.Empty()) {
            image_.clear();
            return;
        }
        bitmap_ = true;
        imageWidth_ = b.DrawWidth(ppi);
        imageHeight_ = b.DrawHeight(ppi);
        return;
    }
    const auto picture = GraphicFromBytes(image_);
    if (!picture) {
        image_.clear();
        return;
    }
    switch (picture->PictureKind) {
    case TRpxPicture::pkBitmap: imageKind_ = 1; break;
    case TRpxPicture::pkIcon: imageKind_ = 0; break;
    case TRpxPicture::pkMetafile: imageKind_ = 2; break;
    case TRpxPicture::pkJpeg: imageKind_ = 3; break;
    }
    if (picture->Image.Empty() && !fromVariable) {
        // A picture this program recognises but cannot decode keeps the size it was stored with.
        imageWidth_ = PictureWidth;
        imageHeight_ = PictureHeight;
    } else {
        imageWidth_ = picture->Width();
        imageHeight_ = picture->Height();
    }
}

int TDaxImageLabel::Measure()
{
    if (Stretch || image_.empty()) return Top + Height;
    return Top + imageHeight_;
}

void TDaxImageLabel::StartPrint()
{
    if (BeginPrint()) PrepareImage();
}

int TDaxImageLabel::SpaceNeeded(TDaxReportPage&, int)
{
    PrepareImage();
    return CanPrint() ? Measure() : 0;
}

int TDaxImageLabel::PrintSlice(TDaxReportPage& page, int, int sliceHeight)
{
    int result = 0;
    if (CanPrint()) {
        Print(page, sliceHeight);
        result = Measure();
    }
    Done = true;
    return result;
}

void TDaxImageLabel::DrawLabel(TRpxCanvas& c, const TRpxRect& r, int)
{
    PrepareImage();
    DrawBackground(c, r);
    if (!image_.empty()) {
        TMemoryStream bmp;
        if (bitmap_) bmp.Write(image_.data(), static_cast<int64_t>(image_.size()));
        if (Stretch) {
            if (bitmap_) c.StretchBitmap(r, &bmp);
            else c.StretchGraphic(r, imageKind_, image_);
        } else {
            TRpxRect at = r;
            if (Center) {
                at.Left += (Width - imageWidth_) / 2;
                at.Top += (Height - imageHeight_) / 2;
            }
            if (bitmap_) c.DrawBitmap(at.Left, at.Top, &bmp);
            else c.DrawGraphic(at.Left, at.Top, imageKind_, image_);
            if (!DesignPaint)
                DrawBorder(c, {at.Left, at.Top, at.Left + imageWidth_ + 1, at.Top + imageHeight_ + 1}, BorderType, false);
        }
    }
    DrawBorder(c, r, BorderType, DesignPaint);
}

TDaxVerticalDivider::TDaxVerticalDivider(TDaxComponent* owner) : TDaxLabel(owner)
{
    Top = 1;
    Width = 2;
    Height = 1000;
}

void TDaxVerticalDivider::SetDividerWidth(int w)
{
    dividerWidth_ = w;
    Width = w + 1;
}

void TDaxVerticalDivider::FitBand()
{
    const TDaxBand* b = Band();
    if (!b) return;
    Top = 1;
    Height = std::max(0, b->Height - 1);
    Width = dividerWidth_ + 1;
}

void TDaxVerticalDivider::ParentChanged(TDaxComponent* oldParent)
{
    TDaxLabel::ParentChanged(oldParent);
    FitBand();
}

void TDaxVerticalDivider::Loaded()
{
    TDaxLabel::Loaded();
    FitBand();
}

void TDaxVerticalDivider::Print(TDaxReportPage& page, int height)
{
    // The band's height may have changed since the divider was placed.
    FitBand();
    TDaxLabel::Print(page, height);
}

int TDaxVerticalDivider::PrintSlice(TDaxReportPage& page, int, int sliceHeight)
{
    FitBand();
    if (CanPrint()) {
        FireBefore();
        DrawLabel(page.Canvas(), PageRect(page, sliceHeight), sliceHeight);
        FireAfter();
    }
    Done = true;
    return 0;
}

void TDaxVerticalDivider::DrawLabel(TRpxCanvas& c, const TRpxRect& r, int height)
{
    // The divider asks its own print condition and fires its events here as well, so a
    // printed divider does both twice.
    if (!CanPrint()) return;
    FireBefore();
    if (dividerWidth_ > 0) {
        c.SetBrush(TRpxBrush{DividerColor, rbsSolid});
        c.FillRect({r.Left, r.Top - 1, r.Left + dividerWidth_, r.Top - 1 + height});
        c.SetBrush(kClearBrush);
    } else {
        c.SetPen(TRpxPen{DividerColor, rpsSolid, 0, rpmCopy});
        c.MoveTo(r.Left, r.Top - 1);
        c.LineTo(r.Left, r.Top + height);
    }
    FireAfter();
    Done = true;
}
