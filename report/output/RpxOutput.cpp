#include "RpxOutput.h"

#include "RpxDraw.h"
#include "RpxPicture.h"

#include <cmath>

std::function<std::unique_ptr<TRpxPrintDevice>()> RpxPrintDeviceFactory;
std::function<std::shared_ptr<TRpxOutputViewer>()> RpxViewerFactory;
std::function<std::unique_ptr<TRpxDevice>()> RpxMeasuringDeviceFactory;

std::unique_ptr<TRpxDevice> RpxMeasuringDevice()
{
    if (RpxMeasuringDeviceFactory) return RpxMeasuringDeviceFactory();
    return std::make_unique<TRpxRecordingDevice>();
}

// --- TRpxCanvas ------------------------------------------------------------------------------

TRpxCanvas::TRpxCanvas() = default;
TRpxCanvas::~TRpxCanvas() = default;

TRpxRpxFile* TRpxCanvas::Recorder() const
{
    if ((Mode != 1 && Mode != 2) || !Output || !Output->Document || !Output->Document->Recording) return nullptr;
    return Output->Document.get();
}

void TRpxCanvas::SelectFont()
{
    if (auto* doc = Recorder()) doc->RecordFont(font_);
    else if (Drawing()) {
        dc_->SelectFont(font_.LogFont(PixelsPerInchY));
        dc_->SetTextColor(font_.Color);
    }
}

void TRpxCanvas::SelectPen()
{
    if (auto* doc = Recorder()) doc->RecordPen(pen_);
    else if (Drawing()) dc_->SelectPen(pen_.LogPen());
}

void TRpxCanvas::SelectBrush()
{
    if (auto* doc = Recorder()) doc->RecordBrush(brush_);
    else if (Drawing()) {
        dc_->SelectBrush(brush_.LogBrush());
        dc_->SetBkColor(brush_.Color);
        dc_->SetBkMode(brush_.Style == rbsSolid ? OPAQUE : TRANSPARENT);
    }
}

void TRpxCanvas::SetFont(const TRpxFont& font)
{
    font_ = font;
    SelectFont();
}

void TRpxCanvas::SetPen(const TRpxPen& pen)
{
    pen_ = pen;
    SelectPen();
}

void TRpxCanvas::SetBrush(const TRpxBrush& brush)
{
    brush_ = brush;
    SelectBrush();
}

void TRpxCanvas::SetFontAngle(int degrees)
{
    font_.Escapement = degrees * 10;
    SelectFont();
}

void TRpxCanvas::AttachDC(TRpxDevice* dc)
{
    font_ = TRpxFont{"System", 12, 0, true};
    pen_ = TRpxPen{};
    brush_ = TRpxBrush{0xFFFFFF, rbsClear};
    dc_ = dc;
    if (dc_) dc_->SelectStockObjects();
}

void TRpxCanvas::SetTextAlign(uint16_t flags)
{
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcTextAlign);
        doc->WriteCoord(static_cast<int16_t>(flags));
    } else if (Drawing()) {
        dc_->SetTextAlign(flags);
    }
}

void TRpxCanvas::TextOut(int x, int y, std::string_view text)
{
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcTextOut);
        doc->WriteCoord(x);
        doc->WriteCoord(y);
        doc->WriteString(text);
    } else if (Drawing()) {
        dc_->TextOut(x, y, text);
    }
}

void TRpxCanvas::MoveTo(int x, int y)
{
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcMoveTo);
        doc->WriteCoord(x);
        doc->WriteCoord(y);
    } else if (Drawing()) {
        dc_->MoveTo(x, y);
    }
}

void TRpxCanvas::LineTo(int x, int y)
{
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcLineTo);
        doc->WriteCoord(x);
        doc->WriteCoord(y);
    } else if (Drawing()) {
        dc_->LineTo(x, y);
    }
}

void TRpxCanvas::TextRect(const TRpxRect& r, int x, int y, std::string_view text)
{
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcTextRect);
        doc->WriteRect(r);
        doc->WriteCoord(x);
        doc->WriteCoord(y);
        doc->WriteString(text);
    } else if (Drawing()) {
        dc_->ExtTextOut(x, y, ETO_CLIPPED | (brush_.Style != rbsClear ? ETO_OPAQUE : 0u), &r, text);
    }
}

void TRpxCanvas::FillRect(const TRpxRect& r)
{
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcFillRect);
        doc->WriteRect(r);
    } else if (Drawing()) {
        dc_->FillRect(r);
    }
}

void TRpxCanvas::PictureColours()
{
    dc_->SetBkColor(brush_.Color);
    dc_->SetTextColor(font_.Color);
}

void TRpxCanvas::DrawGraphic(int x, int y, int kind, const std::vector<uint8_t>& bytes)
{
    if (bytes.empty()) return;
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcDrawGraphic);
        doc->WriteCoord(x);
        doc->WriteCoord(y);
        doc->WriteCoord(kind);
        doc->WriteBlob(bytes);
    } else if (Drawing()) {
        if (auto pic = GraphicFromBytes(bytes)) {
            PictureColours();
            pic->Draw(*dc_, {x, y, x + pic->Width(), y + pic->Height()});
        }
    }
}

void TRpxCanvas::StretchGraphic(const TRpxRect& r, int kind, const std::vector<uint8_t>& bytes)
{
    if (bytes.empty()) return;
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcStretchGraphic);
        doc->WriteRect(r);
        doc->WriteCoord(kind);
        doc->WriteBlob(bytes);
    } else if (Drawing()) {
        if (auto pic = GraphicFromBytes(bytes)) {
            PictureColours();
            pic->Draw(*dc_, r);
        }
    }
}

void TRpxCanvas::ShadeRect(const TRpxRect& r, int pattern)
{
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcShadeRect);
        doc->WriteRect(r);
        doc->WriteCoord(pattern);
    } else if (Drawing()) {
        ::ShadeRect(*dc_, r, pattern);
    }
}

void TRpxCanvas::TextInRect(const TRpxRect& line, int x, const TRpxRect& bounds, bool noJustify,
                            std::string_view text, int y)
{
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcTextInRect);
        doc->WriteRect(line);
        doc->WriteCoord(x);
        doc->WriteCoord(y);
        doc->WriteString(text);
        doc->WriteByte(noJustify ? 1 : 0);
        doc->WriteRect(bounds);
    } else if (Drawing()) {
        DrawJustifiedLine(*dc_, line, x, bounds, noJustify, text, y);
    }
}

void TRpxCanvas::DrawBitmap(int x, int y, TStream* bmp)
{
    if (!bmp || bmp->Size() == 0) return;
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcDrawBitmap);
        doc->WriteCoord(x);
        doc->WriteCoord(y);
        doc->WriteBlob(*bmp);
    } else if (Drawing()) {
        TRpxBitmap b;
        bmp->SetPosition(0);
        b.LoadFromStream(*bmp);
        b.DesignResolution = PixelsPerInchX;
        PictureColours();
        b.Draw(*dc_, x, y);
    }
}

void TRpxCanvas::StretchBitmap(const TRpxRect& r, TStream* bmp)
{
    if (!bmp || bmp->Size() == 0) return;
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcStretchBitmap);
        doc->WriteRect(r);
        doc->WriteBlob(*bmp);
    } else if (Drawing()) {
        TRpxBitmap b;
        bmp->SetPosition(0);
        b.LoadFromStream(*bmp);
        PictureColours();
        b.StretchDraw(*dc_, r);
    }
}

void TRpxCanvas::CheckBox(const TRpxRect& r, int style, int lineWidth, TRpxColor colour)
{
    if (auto* doc = Recorder()) {
        doc->WriteCode(rcCheckBox);
        doc->WriteRect(r);
        doc->WriteCoord(style);
        doc->WriteI32(colour);
        doc->WriteCoord(lineWidth);
    } else if (Drawing()) {
        DrawCheck(*dc_, r, style, lineWidth, colour);
    }
}

// --- TRpxOutput ------------------------------------------------------------------------------

TRpxOutput::TRpxOutput(TRpxPrintDevice* printer)
    : PrinterSetup(std::make_unique<TRpxPrinterSetup>()), printer_(printer), canvas_(std::make_unique<TRpxCanvas>())
{
}

TRpxOutput::~TRpxOutput() = default;

void TRpxOutput::SetOutputMode(uint8_t mode)
{
    if (mode == mode_) return;
    mode_ = mode;
    canvas_->Mode = mode;
}

TRpxDevice* TRpxOutput::CurrentDC() const
{
    return mode_ == 0 && printer_ && printer_->Printing() ? &printer_->Device() : dc_;
}

void TRpxOutput::SetPageOrigin()
{
    TRpxDevice& dc = printer_->Device();
    PixelsPerInchX = dc.LogPixelsX();
    PixelsPerInchY = dc.LogPixelsY();
    dc.SetViewportOrg(-static_cast<int>(std::lround(PixelsPerInchX * PrinterSetup->LeftOffset)),
                      -static_cast<int>(std::lround(PixelsPerInchY * PrinterSetup->TopOffset)));
}

void TRpxOutput::BeginOutput()
{
    Progress = 0;
    Viewer.reset();
    if (mode_ == 0) {
        if (!printer_) {
            if (RpxPrintDeviceFactory) ownPrinter_ = RpxPrintDeviceFactory();
            printer_ = ownPrinter_.get();
            if (!printer_) throw EInvalidOperation("There is no printer to print the report on");
        }
        PrinterSetup->ApplyToPrinter();
        PrinterSetup->ReadFromPrinter();
        printer_->BeginDoc(Title);
        SetPageOrigin();
    } else if (mode_ == 1 || mode_ == 2) {
        Document = std::make_shared<TRpxRpxFile>();
        if (mode_ == 1 && !FileName.empty()) Document->SaveOnEnd = SaveToFile;
        Document->FileName = FileName;
        Document->Title = Title.substr(0, Utf8Prefix(Title, kRpxTitleChars));
        dc_ = nullptr;
        PrinterSetup->ApplyToPrinter();
        PrinterSetup->ReadFromPrinter();
        Document->PrinterSetup->Assign(*PrinterSetup);
        Document->PixelsPerInchX = SaturateI16(PixelsPerInchX);
        Document->PixelsPerInchY = SaturateI16(PixelsPerInchY);
        Document->BeginRecording();
        if (mode_ == 2 && RpxViewerFactory) {
            Viewer = RpxViewerFactory();
            if (Viewer) Viewer->GenerationStarted(Document);
        }
    }
    canvas_->Output = this;
    canvas_->Mode = mode_;
    canvas_->AttachDC(CurrentDC());
    canvas_->PixelsPerInchX = PixelsPerInchX;
    canvas_->PixelsPerInchY = PixelsPerInchY;
}

void TRpxOutput::StartOutputPage()
{
    if (mode_ == 0) {
        if (!printer_ || !printer_->Printing()) return;
        printer_->StartPage();
        SetPageOrigin();
        canvas_->SelectFont();
    } else if ((mode_ == 1 || mode_ == 2) && Document && Document->Recording) {
        Document->PrinterSetup->Assign(*PrinterSetup);
        Document->RecordNewPage();
        Document->Progress = Progress;
    }
}

void TRpxOutput::EndOutputPage()
{
    if (mode_ == 0 && printer_ && printer_->Printing()) printer_->EndPage();
}

void TRpxOutput::Finish(bool aborted)
{
    Progress = 100.0f;
    canvas_->AttachDC(nullptr);
    if (mode_ == 0) {
        if (printer_ && printer_->Printing()) {
            if (aborted) printer_->Abort();
            else printer_->EndDoc();
        }
    } else if ((mode_ == 1 || mode_ == 2) && Document && Document->Recording) {
        Document->EndRecording();
        Document->Progress = 100.0f;
        if (mode_ == 2 && Viewer) {
            Viewer->GenerationEnded();
            Document.reset();
        }
    }
}

void TRpxOutput::EndOutput() { Finish(false); }

void TRpxOutput::AbortOutput() { Finish(true); }
