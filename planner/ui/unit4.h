// The wizard's fourth page and the stand-alone line utility: every catalog transmission line
// usable on the channel, with its attenuation at the calculation frequency, the total loss
// over the vertical and horizontal runs and its power ratings; the customer-defined line is
// the first row. The chosen row goes into the line object.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "planner/controls/ImpGrid.h"
#include "planner/controls/NuvNumericEdit.h"
#include "planner/engine/LineTable.h"
#include "planner/ui/AutoNb.h"
#include "planner/ui/PageControls.h"
#include "ui_frm4.h"

#include <functional>
#include <vector>

// The frequency the table is computed at, MHz: the visual carrier for NTSC, midband for DTV.
extern float CalcFrequency;

// Shows the line report for a list built by BuildLineReportList. The page's Print command
// stays disabled until the report window installs it.
extern std::function<void(const TStrings& lines)> PrintLineTable;

class Tfrm4 : public TChildForm, public Ui::frm4 {
public:
    explicit Tfrm4(QWidget* owner = nullptr);

    void PageShown() override;

    void CrunchTable();
    void GetTVService();
    void SetTVService();
    void RadioGroup2Click(QObject* Sender);
    void TVChange(QObject* Sender);
    void UpdateLabels();
    void UpdateTable();
    void UpdateLengths();
    void NumEdit4Change(QObject* Sender);
    void NumEdit5Change(QObject* Sender);
    void NumEdit4Exit(QObject* Sender);
    void NumEdit5Exit(QObject* Sender);
    void SpinButton1DownClick(QObject* Sender);
    void SpinButton1UpClick(QObject* Sender);
    void SpinButton2DownClick(QObject* Sender);
    void SpinButton2UpClick(QObject* Sender);
    void SpinButton3DownClick(QObject* Sender);
    void SpinButton3UpClick(QObject* Sender);
    void NumEdit4InvalidEntry(QObject* Sender);
    void NumEdit5InvalidEntry(QObject* Sender);
    void SG1Click(QObject* Sender);
    void SG1DblClick(QObject* Sender);
    void BitBtn1Click(QObject* Sender);

    // The report's lines: the channel, the total length, the aural line (empty for DTV),
    // the calculation point, then for every grid row a line "~" and the row's six cells.
    TStringList BuildLineReportList() const;
    // Makes row the grid's current row (clamped to the table) without a click.
    void SelectRow(int row);
    int SelectedGridRow() const;

private:
    void WriteCustomerRow(bool ntsc);
    // Shows one table row and keeps its figures for the row's choice.
    void WriteRow(int r, const TLineFigures& figures);
    // One length typed: the model, the total and the table follow.
    void LengthChanged(bool vertical);

    bool loading_ = false;   // the page fills its controls; their events wait
    bool selecting_ = false; // a row chosen from code is no click
    std::vector<TLineFigures> rows_;  // the figures of the grid's rows, in its order
};
