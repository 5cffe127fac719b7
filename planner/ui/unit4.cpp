#include "planner/ui/unit4.h"

#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/Dialogs.h"
#include "planner/engine/LineTable.h"
#include "planner/engine/ProjLib.h"
#include "planner/ui/CustTLin.h"
#include "planner/ui/MainState.h"

#include <QFont>
#include <QHeaderView>

#include <algorithm>
#include <cmath>

float CalcFrequency = 0.0f;
std::function<void(const TStrings& lines)> PrintLineTable;

namespace {

const char* const kGridHint = "Double Click to change the\r\nvalues of the customer\r\nspecified transmission line.";

double Field(const std::string& row, int k) { return static_cast<double>(StrToFloat(GetDelimitedField(k, row, '|'))); }

}  // namespace

Tfrm4::Tfrm4(QWidget* owner) : TChildForm(owner)
{
    setupUi(this);
    SG1->SetColCount(6);
    SG1->SetFixedRows(0);
    SG1->SetFixedCols(0);
    SG1->SetRowCount(1);
    SG1->SetDefaultRowHeight(20);
    SG1->setSelectionBehavior(QAbstractItemView::SelectRows);
    SG1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SG1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SG1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    SG1->setWordWrap(false);
    SG1->setStyleSheet("QTableView::item { padding: 0px 1px; }");
    QFont small = SG1->font();
    small.setPointSizeF(7.5);  // the part numbers fit their column
    SG1->setFont(small);

    NumEdit4->SetDecimals(0);
    NumEdit4->SetMinValue(50);
    NumEdit4->SetMaxValue(2500);
    NumEdit4->SetValue(1000);
    NumEdit5->SetDecimals(0);
    NumEdit5->SetMinValue(0);
    NumEdit5->SetMaxValue(500);
    NumEdit5->SetValue(100);
    NumEdit6->SetDecimals(0);
    NumEdit6->SetReadOnly(true);
    NumEdit6->SetValue(1100);

    TStringList service;
    service.Add("Analog (NTSC)");
    service.Add("Digital (DTV)");
    RadioGroup2->SetItems(service);
    CompactRadioGroup(RadioGroup2);
    BitBtn1->SetCaption("&Print");
    BitBtn1->setEnabled(static_cast<bool>(PrintLineTable));

    auto on = [this](void (Tfrm4::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    RadioGroup2->OnClick = on(&Tfrm4::RadioGroup2Click);
    TV->OnChange = on(&Tfrm4::TVChange);
    NumEdit4->OnChange = on(&Tfrm4::NumEdit4Change);
    NumEdit5->OnChange = on(&Tfrm4::NumEdit5Change);
    NumEdit4->OnExit = on(&Tfrm4::NumEdit4Exit);
    NumEdit5->OnExit = on(&Tfrm4::NumEdit5Exit);
    NumEdit4->OnInvalidEntry = on(&Tfrm4::NumEdit4InvalidEntry);
    NumEdit5->OnInvalidEntry = on(&Tfrm4::NumEdit5InvalidEntry);
    SpinButton1->OnDownClick = on(&Tfrm4::SpinButton1DownClick);
    SpinButton1->OnUpClick = on(&Tfrm4::SpinButton1UpClick);
    SpinButton2->OnDownClick = on(&Tfrm4::SpinButton2DownClick);
    SpinButton2->OnUpClick = on(&Tfrm4::SpinButton2UpClick);
    SpinButton3->OnDownClick = on(&Tfrm4::SpinButton3DownClick);
    SpinButton3->OnUpClick = on(&Tfrm4::SpinButton3UpClick);
    BitBtn1->OnClick = on(&Tfrm4::BitBtn1Click);
    // A row chosen by the user, by mouse or keys; rows chosen from code are not clicks.
    QObject::connect(SG1, &QTableWidget::currentCellChanged, SG1, [this](int, int, int, int) {
        if (!selecting_ && !loading_) CallEvent([this](QObject* s) { SG1Click(s); }, SG1);
    });
    QObject::connect(SG1, &QTableWidget::cellDoubleClicked, SG1,
                     [this](int, int) { CallEvent([this](QObject* s) { SG1DblClick(s); }, SG1); });
}

// --- Showing the page ------------------------------------------------------------------

void Tfrm4::PageShown()
{
    TTLineObj& line = TLine();
    loading_ = true;
    NumEdit4->SetValue(line.VerticalLength);
    NumEdit5->SetValue(line.HorizontalLength);
    NumEdit6->SetValue(line.TotalRunLength);

    if (LineUtilityMode) {
        Label8->hide();
        for (QWidget* w : std::initializer_list<QWidget*>{Label15, TV, RadioGroup2}) w->show();
        TStringList channels;
        const int32_t last = LastRecordId(kChannelTable);
        for (int32_t id = kChannelTable + 1; id <= last; ++id) channels.Add(GetDelimitedField(0, LoadStr(id), '|'));
        TV->SetItems(channels);
        TV->SetItemIndex(Sys().GetChannel() - 2);
    } else {
        Label8->show();
        for (QWidget* w : std::initializer_list<QWidget*>{Label15, TV, RadioGroup2}) w->hide();
    }

    GetTVService();
    UpdateLabels();
    SG1->SetColWidths(0, 226);
    for (int c : {2, 3, 4}) SG1->SetColWidths(c, 47);
    SG1->SetColWidths(5, 50);
    CrunchTable();
    loading_ = false;

    if (Page4Fresh) {
        Page4Fresh = false;
        // The first catalog line, chosen before the lengths so that their table picks it.
        line.SelectedRow = 1;
        NumEdit4->SetValue(1000);
        NumEdit5->SetValue(100);
        UpdateLengths();
        SelectRow(1);
    } else {
        // The channel, service or lengths may have changed since the row was chosen: the
        // line object must describe the row as the table shows it now.
        SelectRow(line.SelectedRow);
    }
    SG1Click(SG1);
}

void Tfrm4::GetTVService()
{
    const TSysObj& sys = Sys();
    const bool was = loading_;
    loading_ = true;
    RadioGroup2->SetItemIndex(sys.Standard);
    loading_ = was;
    CalcFrequency = sys.Standard == 1 ? sys.CenterFreq : sys.LowFreq + 1.25f;
}

void Tfrm4::SetTVService()
{
    TSysObj& sys = Sys();
    if (RadioGroup2->ItemIndex() == 0) {
        sys.SetStandard(0);
        CalcFrequency = sys.LowFreq + 1.25f;
    } else if (RadioGroup2->ItemIndex() == 1) {
        sys.SetStandard(1);
        CalcFrequency = sys.CenterFreq;
    }
}

void Tfrm4::RadioGroup2Click(QObject*)
{
    if (loading_) return;
    SetTVService();
    PageShown();
}

void Tfrm4::TVChange(QObject*)
{
    const int entry = TV->ItemIndex();
    if (entry < 0 || loading_) return;
    TSysObj& sys = Sys();
    sys.SetChannel(entry + 2);
    const std::string row = LoadStr(kChannelTable + 1 + entry);
    sys.LowFreq = static_cast<float>(Field(row, 1));
    sys.HighFreq = static_cast<float>(Field(row, 2));
    sys.CenterFreq = (sys.LowFreq + sys.HighFreq) * 0.5f;
    // The chosen catalog line, by its part number: another channel lists other lines, so the
    // same row may hold another line.
    const int before = SG1->currentRow();
    const std::string part = before > 0 ? SG1->Cells(1, before) : std::string();
    SetTVService();
    UpdateTable();
    if (before <= 0) return;
    int kept = -1;  // no longer listed: no line chosen
    for (int r = 1; r < SG1->RowCount() && kept < 0; ++r)
        if (SG1->Cells(1, r) == part) kept = r;
    SelectRow(kept);
    SG1Click(SG1);
}

// --- The table ---------------------------------------------------------------------------

void Tfrm4::WriteRow(int r, const TLineFigures& figures)
{
    if (static_cast<int>(rows_.size()) <= r) rows_.resize(r + 1);
    rows_[r] = figures;
    SG1->SetCells(0, r, figures.Description);
    SG1->SetCells(1, r, figures.PartNumber);
    SG1->SetCells(2, r, figures.AttenuationText);
    SG1->SetCells(3, r, figures.TotalLossText);
    SG1->SetCells(4, r, figures.AverageText);
    SG1->SetCells(5, r, figures.PeakText);
}

void Tfrm4::WriteCustomerRow(bool ntsc)
{
    WriteRow(0, CustomerLineFigures(CustomLine.Description, CustomLine.Attenuation, CustomLine.MaxPower,
                                    NumEdit6->Value(), ntsc));
}

void Tfrm4::CrunchTable()
{
    const TSysObj& sys = Sys();
    const bool ntsc = sys.Standard == 0;
    const double length = NumEdit6->Value();
    const bool was = selecting_;
    selecting_ = true;
    const std::vector<TLineRow> lines = CatalogLinesFor(sys.LowFreq, sys.HighFreq);
    rows_.clear();
    SG1->SetRowCount(static_cast<int>(lines.size()) + 1);
    WriteCustomerRow(ntsc);
    for (size_t i = 0; i < lines.size(); ++i)
        WriteRow(static_cast<int>(i) + 1, LineFiguresAt(lines[i], CalcFrequency, length, ntsc));
    selecting_ = was;
    SelectRow(TLine().SelectedRow);
}

void Tfrm4::UpdateLabels()
{
    const TSysObj& sys = Sys();
    Label10->SetCaption("Ch " + IntToStr(sys.GetChannel()) + " (" + SingleToStr(sys.LowFreq) + "-" +
                        SingleToStr(sys.HighFreq) + " MHz)");
    if (sys.Standard == 0) {
        Label6->show();
        Label14->SetCaption("Peak Power at " + FloatToStrF(sys.AuralPercent, TFloatFormat::ffGeneral, 2, 2) +
                            "% aural");
        Label14->show();
        SpinButton3->show();
        Label16->SetCaption("Attenuation calculated at video peak of sync.");
    } else {
        Label6->hide();
        Label14->hide();
        SpinButton3->hide();
        Label16->SetCaption("Attenuation calculated at midband frequency.");
    }
}

void Tfrm4::UpdateTable()
{
    AutoNBPanel->setUpdatesEnabled(false);
    try {
        CrunchTable();
        UpdateLabels();
    } catch (...) {
        AutoNBPanel->setUpdatesEnabled(true);
        throw;
    }
    AutoNBPanel->setUpdatesEnabled(true);
    SG1Click(SG1);
}

void Tfrm4::SelectRow(int row)
{
    const bool was = selecting_;
    selecting_ = true;
    if (row < 0) {
        SG1->setCurrentCell(-1, -1);
        SG1->clearSelection();
    } else {
        SG1->setCurrentCell(std::min(row, SG1->RowCount() - 1), 0);
    }
    selecting_ = was;
}

int Tfrm4::SelectedGridRow() const
{
    return SG1->currentRow() < 0 ? -1 : std::min(SG1->currentRow(), SG1->RowCount() - 1);
}

void Tfrm4::SG1Click(QObject*)
{
    const int r = SelectedGridRow();
    SG1->setToolTip(r == 0 ? ToQtLines(kGridHint) : QString());
    TTLineObj& line = TLine();
    if (r < 0) {  // no line chosen: nothing to lose in, nothing rated
        line.SelectedRow = -1;
        line.LineName.clear();
        line.LinePartNumber.clear();
        line.SetRunLoss(0);
        line.TotalLoss = 0;
        line.SetPowerRating(0);
        return;
    }
    line.SelectedRow = r;
    if (r >= static_cast<int>(rows_.size())) return;
    const TLineFigures& chosen = rows_[r];
    line.LineName = chosen.Description;
    line.LinePartNumber = chosen.PartNumber;
    line.SetRunLoss(static_cast<float>(chosen.Attenuation * line.VerticalLength * 0.01));
    line.TotalLoss = static_cast<float>(chosen.TotalLoss);
    line.SetPowerRating(static_cast<float>(chosen.AverageRating));
}

void Tfrm4::SG1DblClick(QObject*)
{
    if (SelectedGridRow() != 0) return;
    auto dialog = CreateFormOnce<TFrmCustTLine>();
    dialog->LoadLine(CustomLine);
    if (dialog->ShowModal() == mrOk) {
        dialog->StoreLine(CustomLine);
        WriteCustomerRow(Sys().Standard == 0);
    }
    dialog.reset();
    SG1Click(SG1);
}

// --- Lengths -------------------------------------------------------------------------------

void Tfrm4::UpdateLengths()
{
    TTLineObj& line = TLine();
    line.SetVerticalLength(static_cast<int32_t>(Ceil(NumEdit4->Value())));
    line.SetHorizontalLength(static_cast<int32_t>(Ceil(NumEdit5->Value())));
    line.TotalRunLength = line.VerticalLength + line.HorizontalLength;
    const bool was = loading_;
    loading_ = true;
    NumEdit6->SetValue(line.TotalRunLength);
    loading_ = was;
    UpdateTable();
}

void Tfrm4::LengthChanged(bool vertical)
{
    if (loading_) return;
    TTLineObj& line = TLine();
    if (vertical)
        line.SetVerticalLength(static_cast<int32_t>(Ceil(NumEdit4->Value())));
    else
        line.SetHorizontalLength(static_cast<int32_t>(Ceil(NumEdit5->Value())));
    line.TotalRunLength = line.VerticalLength + line.HorizontalLength;
    NumEdit6->SetValue(line.TotalRunLength);
    UpdateTable();
}

void Tfrm4::NumEdit4Change(QObject*) { LengthChanged(true); }
void Tfrm4::NumEdit5Change(QObject*) { LengthChanged(false); }
void Tfrm4::NumEdit4Exit(QObject*) { UpdateLengths(); }
void Tfrm4::NumEdit5Exit(QObject*) { UpdateLengths(); }

// The spins keep the lengths inside their limits: a length typed beyond a limit comes back
// to it, and no step takes a run below its minimum.
void Tfrm4::SpinButton1DownClick(QObject*)
{
    NumEdit4->SetValue(std::clamp(NumEdit4->Value() - 50, 50.0, 2500.0));
    UpdateLengths();
}

void Tfrm4::SpinButton1UpClick(QObject*)
{
    NumEdit4->SetValue(std::clamp(NumEdit4->Value() + 50, 50.0, 2500.0));
    UpdateLengths();
}

void Tfrm4::SpinButton2DownClick(QObject*)
{
    NumEdit5->SetValue(std::clamp(NumEdit5->Value() - 10, 0.0, 500.0));
    UpdateLengths();
}

void Tfrm4::SpinButton2UpClick(QObject*)
{
    NumEdit5->SetValue(std::clamp(NumEdit5->Value() + 10, 0.0, 500.0));
    UpdateLengths();
}

void Tfrm4::SpinButton3DownClick(QObject*)
{
    TSysObj& sys = Sys();
    if (sys.AuralPercent <= 5) return;
    sys.AuralPercent -= 1;
    UpdateTable();
}

void Tfrm4::SpinButton3UpClick(QObject*)
{
    TSysObj& sys = Sys();
    if (sys.AuralPercent >= 20) return;
    sys.AuralPercent += 1;
    UpdateTable();
}

void Tfrm4::NumEdit4InvalidEntry(QObject*)
{
    ShowMessage("Valid vertical transmission line lengths are from 50 to 2,500 feet");
    NumEdit4->SetValue(1000);
    UpdateLengths();
    NumEdit4->setFocus();
}

void Tfrm4::NumEdit5InvalidEntry(QObject*)
{
    ShowMessage("Valid horizontal transmission line lengths are from 0 to 500 feet");
    NumEdit5->SetValue(100);
    UpdateLengths();
    NumEdit5->setFocus();
}

// --- The line report -----------------------------------------------------------------------

TStringList Tfrm4::BuildLineReportList() const
{
    const bool ntsc = Sys().Standard == 0;
    TStringList list;
    list.Add(Label10->Caption());
    list.Add(FloatToStr(NumEdit6->Value()));
    list.Add(ntsc ? Label14->Caption() : std::string());
    list.Add(Label16->Caption());
    for (int r = 0; r < SG1->RowCount(); ++r) {
        // The marker is a line of its own; the report tells rows by equality with it.
        list.Add("~");
        for (int c = 0; c < 6; ++c) list.Add(SG1->Cells(c, r));
    }
    return list;
}

void Tfrm4::BitBtn1Click(QObject*)
{
    if (!PrintLineTable) return;
    THourGlass busy;
    const TStringList lines = BuildLineReportList();
    PrintLineTable(lines);
}
