// The transmission-line report: a window that is never shown and holds the report definition
// that page 4's line table prints through. Page 4 hands it the table as text lines (four
// header lines, then per row a "~" line and the row's six cells); the report runs to the
// screen and the viewer shows it.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/ui/Forms.h"

#include <memory>
#include <string>

// The report's components are declared only: the report engine's header and the windows'
// graphics header both name the basic colours, so the form's users never see the former.
class TDaxReport;
class TDaxReportPage;
class TDaxExprVar;
class TDaxBand;
class TDaxSubBand;
class TDaxTextLabel;

class TfrmRprt : public TForm {
public:
    explicit TfrmRprt(QWidget* owner = nullptr);
    ~TfrmRprt() override;

    void PrintLineTable(const TStrings& List);
    // Page 4's print command: a window of its own for one list, freed afterwards.
    static void PrintOnce(const TStrings& List);

    void ReportPageDataStart(TDaxReportPage& page);
    void ReportPageDataSkip(TDaxReportPage& page);
    void PageHeaderBandSubBeforePrint(TDaxBand& band);

    // The definition's components (owned by DaxReport1), read from the window's stream
    // resource when the window first prints: the page setup reads the printer, which loads
    // the print system, and the start-up instance never prints.
    std::unique_ptr<TDaxReport> DaxReport1;
    TDaxReportPage* ReportPage = nullptr;
    TDaxExprVar *Desc = nullptr, *PartNum = nullptr, *dbFeet = nullptr, *Total = nullptr, *AvgPeak = nullptr,
                *Peak = nullptr;
    TDaxBand *PageHeaderBand = nullptr, *DetailBand = nullptr;
    TDaxSubBand *PageHeaderBandSub = nullptr, *DetailBandSub = nullptr;
    TDaxTextLabel *Channel = nullptr, *TotalLength = nullptr, *lblPeak = nullptr, *CalcPoint = nullptr,
                  *lblGroup = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LoadDefinition();

    std::unique_ptr<TStringList> lines_;
    std::string channel_, totalLength_, peak_, calcPoint_;
    int index_ = -1;
};

// The start-up instance; never used for printing (each print makes a window of its own).
extern TfrmRprt* frmRprt;

// Report runs to the screen show their pages in the report viewer and keep the windows
// responsive while they generate; Remove undoes it.
void InstallReportWindows();
void RemoveReportWindows();
