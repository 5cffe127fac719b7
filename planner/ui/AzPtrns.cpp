#include "planner/ui/AzPtrns.h"

#include "planner/controls/FSpin.h"
#include "planner/engine/Exhibits.h"
#include "planner/engine/PDFUnit.h"
#include "planner/engine/PatternFiles.h"
#include "planner/engine/PatternPlots.h"
#include "planner/engine/ProjLib.h"
#include "planner/engine/TitleBlock.h"
#include "planner/engine/UserCanvas.h"
#include "planner/ui/PageControls.h"
#include "planner/ui/Wizard.h"
#include "platform/printing/Printers.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/ExtCtrls.h"

#include <algorithm>
#include <cmath>

TAzPats* AzPats = nullptr;

namespace {

constexpr int kPdfWidth = 800;
constexpr int kPdfHeight = 905;
const char* const kNoPattern = "Azimuth pattern data is not available";
const char* const kPatternFilter =
    "Pattern files (*.pat)|*.PAT|Data files (*.dat)|*.DAT|Text files (*.txt)|*.TXT|All files (*.*)|*.*";

// The catalog block and polarization of each antenna type.
struct TAntennaType {
    int32_t block;
    const char* polarization;
};
constexpr TAntennaType kAntennaTypes[] = {
    {7000, "Horizontal"}, {8000, "Vertical"}, {5000, "Horizontal"},
    {6000, "Vertical"},   {3000, "Horizontal"}, {4000, "Vertical"},
};
constexpr int kDefaultType = 2;  // UHF H-Pol, block 5000

TStringList Strings(std::initializer_list<const char*> items)
{
    TStringList list;
    for (const char* s : items) list.Add(s);
    return list;
}

// The fields show a gain in 15 characters with 2 decimals.
std::string Field15(double v) { return FixedWidth(v, 15, 2); }

void DrawTrace(TCanvas& c, const AzPtrns::Display& slot, int cx, int cy, TColor color, int penWidth, bool print)
{
    if (AzimuthPlotInDb)
        DrawAzimuthTraceDb(c, slot.GetCode(), slot.GetRotation(), cx, cy, color, penWidth, print);
    else
        DrawAzimuthTraceField(c, slot.GetCode(), slot.GetRotation(), cx, cy, color, penWidth, print);
}

// A filled swatch in the slot's colour; the brush is put back.
template <class RectangleFn>
void Swatch(TCanvas& c, TColor color, RectangleFn rectangle)
{
    const TBrush brush = c.Brush;
    const TPen pen = c.Pen;
    c.Brush.Style = bsSolid;
    c.Brush.Color = color;
    c.Pen = TPen{};
    c.Pen.Color = color;
    rectangle();
    c.Brush = brush;
    c.Pen = pen;
}

}  // namespace

void AzPtrns::Display::AssignPattern(const std::string& code, const std::string& polarization, double gain)
{
    state_ = dsPreviewed;
    code_ = code;
    polarization_ = polarization;
    gain_ = gain;
    rotation_ = 0;
}

std::string ComparisonGainText(double gain)
{
    return FloatToStrF(gain, TFloatFormat::ffFixed, 15, 2) + " (" +
           FloatToStrF(RatioToDb(static_cast<float>(gain)), TFloatFormat::ffFixed, 15, 2) + " dB)";
}

int32_t TAzPats::SlotColor(int n)
{
    static constexpr TColor colors[kComparisonSlots] = {clBlue, clRed, clGreen, clFuchsia};
    return colors[std::clamp(n, 1, kComparisonSlots) - 1];
}

TAzPats::TAzPats(QWidget* owner) : TForm(owner)
{
    setupUi(this);
    setFixedSize(size());
    InstallPlotMessages();
    RadioGroup3->SetItems(Strings({"VHF H-Pol (Zorvan)", "VHF V-Pol (Zorvan)", "UHF H-Pol (Zorvan)",
                                   "UHF V-Pol (Zorvan)", "Zek-series H-Pol", "Zek-series V-Pol"}));
    RadioGroup3->SetColumns(2);
    RadioGroup3->SetItemIndex(kDefaultType);
    RadioGroup1->SetItems(Strings({"Relative Field", "Decibel"}));
    RadioGroup1->SetColumns(2);
    RadioGroup1->SetItemIndex(0);
    RadioGroup2->SetItems(Strings({"Print Graph", "Print Data (single pattern only)",
                                   "Print to Disk (single pattern only)", "Create PDF File"}));
    RadioGroup2->SetItemIndex(0);
    for (TRadioGroup* g : {RadioGroup1, RadioGroup2, RadioGroup3}) CompactRadioGroup(g);
    EmptySelectedLines();

    images_ = {Image0, Image1, Image2, Image3, Image4};
    for (int n = 1; n <= kComparisonSlots; ++n) {
        // The trace layers let the grid and the other traces show through their white.
        TBitmap& b = images_[n]->Picture();
        b.SetTransparent(true);
        b.SetTransparentColor(clWhite);
        ClearImage(b);
    }
    PDFImage->SetPictureSize(kPdfWidth, kPdfHeight);
    PDFImage->hide();

    spins_ = {SpinEdit1, SpinEdit2, SpinEdit3, SpinEdit4};
    for (TFSpinEdit* e : spins_) {
        e->SetMinValue(0);
        e->SetMaxValue(360);
        e->SetIncrement(1);
        e->SetPrecision(0);
        e->SetValue(0);
        e->setEnabled(false);
    }

    SaveDialog1.Filter = "PDF Files   (*.pdf)|*.pdf";
    SaveDialog1.DefaultExt = "pdf";
    SaveDialog1.OverwritePrompt = true;
    SaveDialog2.Filter = kPatternFilter;
    SaveDialog2.DefaultExt = "pat";
    SaveDialog2.OverwritePrompt = true;

    auto on = [this](void (TAzPats::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    OnShow = on(&TAzPats::FormShow);
    OnClose = [this](QObject* sender, TCloseAction& action) { FormClose(sender, action); };
    RadioGroup3->OnClick = on(&TAzPats::RadioGroup3Click);
    AzPatList->OnClick = on(&TAzPats::AzPatListClick);
    IncludeBtn->OnClick = on(&TAzPats::IncludeBtnClick);
    ExcludeBtn->OnClick = on(&TAzPats::ExcludeBtnClick);
    ExcAllBtn->OnClick = on(&TAzPats::ExcAllBtnClick);
    SelList->OnClick = on(&TAzPats::SelListClick);
    SelList->OnEnter = on(&TAzPats::SelListEnter);
    for (int n = 1; n <= kComparisonSlots; ++n) spins_[n - 1]->OnChange = [this, n](QObject*) { SpinEditChange(n); };
    RadioGroup1->OnClick = on(&TAzPats::RadioGroup1Click);
    Button1->OnClick = on(&TAzPats::Button1Click);
    Button2->OnClick = on(&TAzPats::Button2Click);
}

// --- Showing -------------------------------------------------------------------------------

void TAzPats::FormShow(QObject*) { InitComparison(); }

void TAzPats::InitComparison()
{
    slots_ = {};
    names_ = {};
    selectedCount_ = 0;
    AzimuthPlotInDb = false;
    // Every showing starts on block 5000 in relative field: the radio groups say so too.
    RadioGroup3->SetItemIndex(kDefaultType);
    RadioGroup1->SetItemIndex(0);
    LoadBlock(kAntennaTypes[kDefaultType].block);
    polarization_ = kAntennaTypes[kDefaultType].polarization;
    EmptySelectedLines();
    // A preview left on screen at the last closing goes with its slot.
    for (int n = 1; n <= kComparisonSlots; ++n) ClearTraceImage(n);
    DrawGrid();
    ShowPatternData(nullptr);
    for (TFSpinEdit* e : spins_) e->SetValue(0);
    UpdateControls();
    UpdatePrintOptions();
}

void TAzPats::LoadBlock(int32_t base)
{
    block_ = base;
    codes_.clear();
    lastRow_ = LastRecordId(base);
    TStringList names;
    for (int32_t id = base + 1; id <= lastRow_; ++id) {
        const std::string row = LoadStr(id);
        names.Add(GetDelimitedField(0, row, '|'));
        codes_.push_back(GetDelimitedField(2, row, '|'));
    }
    AzPatList->SetItems(names);
}

void TAzPats::RadioGroup3Click(QObject*)
{
    const int type = RadioGroup3->ItemIndex();
    if (type < 0 || type >= static_cast<int>(std::size(kAntennaTypes))) return;
    polarization_ = kAntennaTypes[type].polarization;
    LoadBlock(kAntennaTypes[type].block);
}

// --- Slots ---------------------------------------------------------------------------------

void TAzPats::ClearTraceImage(int n)
{
    ClearImage(images_[n]->Picture());
    images_[n]->Invalidate();
}

void TAzPats::DrawSlot(int n, int penWidth)
{
    TBitmap& b = images_[n]->Picture();
    DrawTrace(b.Canvas(), slots_[n - 1], b.Width() / 2, b.Height() / 2 + 3, SlotColor(n), penWidth, false);
    images_[n]->Invalidate();
}

void TAzPats::DrawGrid()
{
    DrawPolarGrid(Image0->Picture());
    Image0->Invalidate();
}

void TAzPats::ShowPatternData(const Display* slot)
{
    // A slot without a pattern (or a gain of 0) has no level to show.
    if (!slot || slot->GetState() == Display::dsEmpty || !(slot->GetGain() > 0)) {
        Edit1->SetText("");
        Edit2->SetText("");
        Edit4->SetText("");
        return;
    }
    Edit1->SetText(Field15(slot->GetGain()));
    Edit2->SetText(Field15(10.0 * std::log10(slot->GetGain())));
    Edit4->SetText(slot->GetPolarization());
}

void TAzPats::EmptySelectedLines()
{
    SelList->SetItems(Strings({"", "", "", ""}));
    // One line beside each rotation field.
    for (int k = 0; k < kComparisonSlots; ++k) SelList->item(k)->setSizeHint(QSize(0, SpinEdit2->y() - SpinEdit1->y()));
}

void TAzPats::SetLine(int k, const std::string& text) { SelList->item(k)->setText(ToQt(text)); }

void TAzPats::AzPatListClick(QObject*)
{
    const int row = AzPatList->ItemIndex();
    if (row < 0 || row >= static_cast<int>(codes_.size())) return;
    DrawGrid();
    SelList->SetItemIndex(-1);
    // One preview at a time, wherever an earlier one was left.
    for (int n = 1; n <= kComparisonSlots; ++n)
        if (slots_[n - 1].GetState() == Display::dsPreviewed) {
            slots_[n - 1].ClearSlot();
            ClearTraceImage(n);
        }
    int target = 0;
    for (int n = 1; n <= kComparisonSlots && target == 0; ++n)
        if (slots_[n - 1].GetState() != Display::dsIncluded) target = n;
    if (target == 0) return;
    Display& slot = slots_[target - 1];
    const double gain = StrToFloatDef(GetDelimitedField(1, LoadStr(block_ + 1 + row), '|'), 0);
    slot.AssignPattern(codes_[row], polarization_, gain);
    names_[target - 1] = ToStd(AzPatList->item(row)->text());
    DrawSlot(target, 2);
    ShowPatternData(&slot);
}

void TAzPats::IncludeBtnClick(QObject*)
{
    int included = 0;
    for (int n = 1; n <= kComparisonSlots; ++n) {
        Display& slot = slots_[n - 1];
        if (slot.GetState() != Display::dsPreviewed) continue;
        slot.MarkDrawn();
        // The line names the pattern previewed, even when the list has moved on since.
        SetLine(n - 1, names_[n - 1]);
        ++included;
    }
    selectedCount_ += included;
    // A row clicked again previews again (the same pattern, to be rotated differently).
    if (included > 0) AzPatList->SetItemIndex(-1);
    UpdateControls();
    UpdatePrintOptions();
}

void TAzPats::ExcludeBtnClick(QObject*)
{
    const int k = SelList->ItemIndex();
    if (k >= 0 && k < kComparisonSlots) {
        SetLine(k, "");
        SelList->SetItemIndex(-1);
        Display& slot = slots_[k];
        const bool wasIncluded = slot.GetState() == Display::dsIncluded;
        slot.ClearSlot();
        ClearTraceImage(k + 1);
        if (wasIncluded) --selectedCount_;
        ShowPatternData(nullptr);
        spins_[k]->SetValue(0);
        UpdateControls();
    }
    UpdatePrintOptions();
}

void TAzPats::ExcAllBtnClick(QObject*)
{
    for (int n = 1; n <= kComparisonSlots; ++n)
        if (slots_[n - 1].GetState() == Display::dsIncluded) {
            slots_[n - 1].ClearSlot();
            ClearTraceImage(n);
        }
    selectedCount_ = 0;
    for (int k = 0; k < kComparisonSlots; ++k) SetLine(k, "");
    AzPatList->setEnabled(true);
    AzPatList->setFocus();
    ShowPatternData(nullptr);
    for (TFSpinEdit* e : spins_) e->SetValue(0);
    UpdateControls();
    UpdatePrintOptions();
}

void TAzPats::SelListClick(QObject*)
{
    const int k = SelList->ItemIndex();
    if (k < 0 || k >= kComparisonSlots) return;
    AzPatList->SetItemIndex(-1);
    ExcludeBtn->setEnabled(true);
    ShowPatternData(&slots_[k]);
}

void TAzPats::SelListEnter(QObject*)
{
    for (int n = 1; n <= kComparisonSlots; ++n)
        if (slots_[n - 1].GetState() == Display::dsPreviewed) {
            slots_[n - 1].ClearSlot();
            ClearTraceImage(n);
        }
}

void TAzPats::SpinEditChange(int n)
{
    Display& slot = slots_[n - 1];
    if (slot.GetState() != Display::dsIncluded) return;
    TFSpinEdit* e = spins_[n - 1];
    slot.SetRotation(static_cast<int32_t>(std::lround(e->CheckValue(e->Value()))));
    ClearTraceImage(n);
    DrawSlot(n, 1);
}

void TAzPats::RadioGroup1Click(QObject*)
{
    AzimuthPlotInDb = RadioGroup1->ItemIndex() != 0;
    for (int n = 1; n <= kComparisonSlots; ++n) ClearTraceImage(n);
    DrawGrid();
    for (int n = 1; n <= kComparisonSlots; ++n)
        if (slots_[n - 1].GetState() != Display::dsEmpty) DrawSlot(n, 2);
    UpdateControls();
}

void TAzPats::UpdateControls()
{
    IncludeBtn->setEnabled(AzPatList->count() > 0);
    ExcAllBtn->setEnabled(selectedCount_ != 0);
    if (selectedCount_ >= kComparisonSlots) {
        SelList->setFocus();
        AzPatList->SetItemIndex(-1);
        AzPatList->setEnabled(false);
        SelList->SetItemIndex(-1);
        ShowPatternData(nullptr);
        IncludeBtn->setEnabled(false);
    } else {
        AzPatList->setEnabled(true);
        AzPatList->setFocus();
    }
    ExcludeBtn->setEnabled(selectedCount_ != 0 && SelList->ItemIndex() >= 0);
    for (int n = 1; n <= kComparisonSlots; ++n) {
        const bool included = slots_[n - 1].GetState() == Display::dsIncluded;
        spins_[n - 1]->setEnabled(included);
        if (!included) spins_[n - 1]->SetValue(0);
    }
}

void TAzPats::UpdatePrintOptions()
{
    const QList<TRadioButton*> items = RadioGroup2->findChildren<TRadioButton*>(Qt::FindDirectChildrenOnly);
    const bool several = selectedCount_ >= 2;
    if (several) RadioGroup2->SetItemIndex(0);
    for (int i : {1, 2})
        if (i < items.size()) items[i]->setEnabled(!several);
}

// --- Output --------------------------------------------------------------------------------

int TAzPats::SinglePatternSlot() const
{
    if (slots_[0].GetState() != Display::dsEmpty) return 1;
    for (uint8_t state : {Display::dsIncluded, Display::dsPreviewed})
        for (int n = 1; n <= kComparisonSlots; ++n)
            if (slots_[n - 1].GetState() == state) return n;
    return 0;
}

void TAzPats::Button1Click(QObject*)
{
    try {
        switch (RadioGroup2->ItemIndex()) {
        case 0: PrintGraph(); break;
        case 1: PrintData(); break;
        case 2: PrintToDisk(); break;
        case 3: CreateComparisonPdf(); break;
        default: break;
        }
    } catch (...) {
        DrawGrid();
        throw;
    }
    // The printed and PDF grids set their own ring spacing; the screen takes its own back.
    DrawGrid();
}

void TAzPats::Button2Click(QObject*) { Close(); }

void TAzPats::FormClose(QObject*, TCloseAction&) { ExcAllBtnClick(this); }

void TAzPats::PrintGraph()
{
    if (RunPrintDialog(PrintDialog1)) PrintComparisonGraph([this](TCanvas& c) { DrawComparisonLegend(c); });
}

void TAzPats::DrawComparisonLegend(TCanvas& c)
{
    c.Font.Name = "TIMES NEW ROMAN";
    c.Font.SetHeight(UserPenWidth(16));
    c.Font.Style = {};
    c.Brush.Style = bsClear;
    int y = 110;
    for (int i = 1; i <= kComparisonSlots; ++i) {
        const Display& slot = slots_[i - 1];
        if (slot.GetState() != Display::dsIncluded) continue;
        const TColor color = SlotColor(i);
        c.Font.Color = color;
        UserTextOut(c, 100, y, 0, 0, FormatPatternCode(slot.GetCode()));
        UserTextOut(c, 200, y, 0, 0, ComparisonGainText(slot.GetGain()));
        Swatch(c, color, [&] { UserRectangle(c, 402, y, 435, y + 2 * i); });
        y += 15;
        DrawTrace(c, slot, 405, 550, color, i, true);
    }
    c.Font.Color = clBlack;
}

void TAzPats::PrintData()
{
    const int n = SinglePatternSlot();
    if (n == 0) {
        ShowMessage(kNoPattern);
        return;
    }
    if (!RunPrintDialog(PrintDialog1)) return;
    const Display& slot = slots_[n - 1];
    TPrinter& printer = Printer();
    printer.SetOrientation(TPrinterOrientation::poPortrait);
    GraphPage = false;
    SetUserScale(printer.PageWidth(), printer.PageHeight(), kLogicalPageWidth, kLogicalPageHeight);
    TPrintJob job(printer);
    TCanvas& c = job.Canvas();
    DrawComparisonHeader(c, FormatPatternCode(slot.GetCode()), ComparisonGainText(slot.GetGain()), false);
    {
        TExhibitBusy busy;
        c.Font.Name = "TIMES NEW ROMAN";
        c.Font.SetHeight(UserPenWidth(16));
        c.Font.Style = {};
        c.Font.Color = clBlack;
        PrintAzimuthTable(c, FindAzimuthRecord(slot.GetCode()), slot.GetRotation());
    }
    job.Finish();
}

void TAzPats::PrintToDisk()
{
    const int n = SinglePatternSlot();
    if (n == 0) {
        ShowMessage(kNoPattern);
        return;
    }
    const Display& slot = slots_[n - 1];
    SaveDialog2.FileName = slot.GetCode();
    if (!SaveDialog2.Execute()) return;
    // Exactly the file chosen, replaced only once the whole text is written.
    WriteTextFileSafely(SaveDialog2.FileName, AzimuthPatternText(FindAzimuthRecord(slot.GetCode()), slot.GetRotation()));
}

void TAzPats::CreateComparisonPdf()
{
    TBitmap& page = PDFImage->Picture();
    ClearImage(page);
    TCanvas& c = page.Canvas();
    DrawComparisonPdfTitleBlock(c);
    DrawComparisonPdfGrid(c, page.Width(), page.Height());
    c.Brush.Style = bsClear;
    c.Font.Name = "MS Sans Serif";
    c.Font.SetHeight(12);
    c.Font.Color = clBlack;
    c.Font.Style = {fsUnderline};
    c.TextOut(100, 75, "Pattern Type");
    c.TextOut(200, 75, "Gain");
    c.TextOut(400, 75, "Legend");
    c.Font.Style = {};
    int y = 92;
    // The page shows what is on the screen: the preview as well as the included patterns.
    for (int i = 1; i <= kComparisonSlots; ++i) {
        const Display& slot = slots_[i - 1];
        if (slot.GetState() == Display::dsEmpty) continue;
        const TColor color = SlotColor(i);
        c.Font.Color = color;
        c.TextOut(100, y, FormatPatternCode(slot.GetCode()));
        c.TextOut(200, y, ComparisonGainText(slot.GetGain()));
        Swatch(c, color, [&] { c.Rectangle(402, y, 435, y + 2 * i); });
        y += 15;
        DrawTrace(c, slot, page.Width() / 2, page.Height() / 2 + 50, color, 2 * i, false);
    }
    c.Font.Color = clBlack;
    if (SaveDialog1.Execute()) MakeExhibitPdf(page, SaveDialog1.FileName);
}
