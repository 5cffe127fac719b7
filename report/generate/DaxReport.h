// Report generation (report/generate, no Qt Widgets): the report container and its
// cooperative run, the report page with its bands, groups and data loop, band layout and
// page breaks, and the printable labels. A report definition is read from a component stream
// (DaxStreaming.cpp holds the classes' property tables) or built in code through the
// components' properties (see DaxBuilder.h for a compact way to write one).
#pragma once

#include "report/DaxFormat.h"
#include "report/DaxPage.h"
#include "report/DaxPageSetup.h"
#include "report/DaxVars.h"
#include "report/generate/DaxStreaming.h"
#include "report/output/RpxMemo.h"
#include "report/output/RpxOutput.h"
#include "report/rtf/DaxRtf.h"

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TDaxReport;
class TDaxReportPage;
class TDaxBand;
class TDaxLabel;
class TDaxSubDataBand;

enum TDaxBorderType : uint8_t { btNone, btSingle, btUnderLine };
enum TRpxShadePercent : uint8_t { spNone, spVeryDark, spDark, spMedDark, spMedium, spMedLight, spLight };
enum TDaxOutputType : uint8_t { otNormal, otRichText };
enum TDaxDataRange : uint8_t { drAllRecords, drSingleRecord };
enum TDaxClipTypes : uint8_t { ctDefault, ctClip, ctNoClip };
enum TDaxVerticalAlign : uint8_t { laTop, laMiddle, laBottom };
enum TDaxHorizontalAlign : uint8_t { laLeft, laCenter, laRight };
enum TDaxCheckStyle : uint8_t { csCross, csCheck };
enum TDaxLineType : uint8_t { ltHorizontal, ltVertical, ltDiagonalLeft, ltDiagonalRight };
// 0 output started, 1 pass finished, 2 printing a recorded page, 3 the same on the null
// output, 4 generating.
using TDaxStatus = int;

constexpr TRpxColor clWhite = 0xFFFFFF, clBlack = 0, clBtnFace = 0xC0C0C0;

// Lets pending window messages run; the program installs its event loop, tests leave it
// empty (or count the calls).
extern std::function<void()> DaxProcessMessages;
void ProcessMessages();

// ---- labels -------------------------------------------------------------------------------

class TDaxLabel : public TDaxComponent {
public:
    using TPrintWhenEvent = std::function<void(TDaxLabel& lb, bool& result)>;
    using TPrintEvent = std::function<void(TDaxLabel& lb)>;

    explicit TDaxLabel(TDaxComponent* owner = nullptr) : TDaxComponent(owner) {}
    ~TDaxLabel() override;
    std::string ClassName() const override { return "TDaxLabel"; }

    TDaxBand* Band() const;
    TDaxReportPage* Page() const;

    bool CanPrint();
    virtual std::string GetPrintText() { return GetDesignText(); }
    virtual std::string GetDesignText() { return std::string(); }
    virtual void Print(TDaxReportPage& page, int height);
    virtual void StartPrint();
    // Bottom (relative to the band) this label needs in `room`, and the bottom it used.
    virtual int SpaceNeeded(TDaxReportPage& page, int room);
    virtual int PrintSlice(TDaxReportPage& page, int room, int sliceHeight);
    virtual void DrawLabel(TRpxCanvas& canvas, const TRpxRect& r, int height);
    // RTF output: the tab stops of `row`, then the texts of `row` (rows count from 0 within
    // the band; a label writes on its own Row, a memo one line per row from there).
    virtual void WriteRtfTab(TDaxReportPage& page, TDaxRtfFile& file, int row);
    virtual void WriteRtf(TDaxReportPage& page, TDaxRtfFile& file, int row);
    // The last RTF row this label can write on (known once StartPrint has run).
    virtual int RtfLastRow() const { return Row; }
    // Where the label's text hangs horizontally: its left edge, centre or right edge.
    int RtfAnchor() const;

    void SetWrapText(bool v);
    void SetShade(TRpxShadePercent v);

    TPrintWhenEvent LabelPrintWhen;
    TPrintEvent OnBeforePrint, OnAfterPrint;
    int Row = 0;
    bool RtfPrint = true;
    int Left = 0, Top = 0, Width = 65, Height = 17;
    TDaxClipTypes ClipType = ctDefault;
    TDaxVerticalAlign AlignVertical = laBottom;
    TDaxHorizontalAlign AlignHorizontal = laLeft;
    TDaxBorderType BorderType = btNone;
    bool WrapText = false;
    bool Stretch = false;
    int RotateFont = 0;
    TRpxShadePercent Shade = spNone;
    int BorderMargin = 2;
    TRpxPen Pen;
    bool Transparent = true;
    TRpxColor Color = clWhite;
    TRpxFont Font;
    bool Done = false;
    bool DesignPaint = false;

protected:
    void ValidateParent(TDaxComponent* parent) override;
    void ParentChanged(TDaxComponent* oldParent) override;
    void FireBefore() { FireEvent(this, OnBeforePrint, *this); }
    void FireAfter() { FireEvent(this, OnAfterPrint, *this); }
    // Starts one band print: Done := not CanPrint; true when the label prints.
    bool BeginPrint();
    // The label's rectangle at the band's origin on the page.
    TRpxRect PageRect(const TDaxReportPage& page, int height) const;
    void DrawBackground(TRpxCanvas& c, const TRpxRect& r) const;
    void AnchorOf(const TRpxRect& r, int& x, int& y) const;
    uint16_t AlignFlags() const;
    bool Clipped() const;
    void DrawText(TRpxCanvas& c, const TRpxRect& r, const std::string& text);
    // A tab in the font without underline (the gap is not underlined), then the text in the
    // label's own font.
    void WriteRtfText(TDaxRtfFile& file, const std::string& text) const;
};

// Draws a label's, band's or page's border (1 pixel).
void DrawBorder(TRpxCanvas& canvas, const TRpxRect& r, TDaxBorderType type, bool design);

class TDaxTVLabel : public TDaxLabel {
public:
    explicit TDaxTVLabel(TDaxComponent* owner = nullptr);
    std::string ClassName() const override { return "TDaxTVLabel"; }

    std::string GetPrintText() override;
    void Print(TDaxReportPage& page, int height) override;
    void StartPrint() override;
    int SpaceNeeded(TDaxReportPage& page, int room) override;
    int PrintSlice(TDaxReportPage& page, int room, int sliceHeight) override;
    void DrawLabel(TRpxCanvas& canvas, const TRpxRect& r, int height) override;
    void WriteRtfTab(TDaxReportPage& page, TDaxRtfFile& file, int row) override;
    void WriteRtf(TDaxReportPage& page, TDaxRtfFile& file, int row) override;
    int RtfLastRow() const override;
    virtual void PrepareText();
    virtual bool UsesMemo() const { return WrapText; }
    virtual TDaxVar* Variable() const { return nullptr; }

    int WrapHeightPercent = 100;
    bool JustifyMemo = false;
    TStringList Lines;
    bool SuppressBlankLines = false;
    bool SuppressWhiteSpace = false;
    std::string Caption;
    TDaxFormat DataFormat;
    TRpxMemo Memo;
    int LinesPrinted = 0;
    bool FirstSlice = true;

protected:
    // Draws the memo lines that fit in room from r's top; a line forced onto the slice
    // without room for it is clipped at roomBottom.
    int PrintMemoLines(TRpxCanvas& canvas, const TRpxRect& r, int room, bool atPageTop, int roomBottom = INT_MAX);
    int LinesLeft() const { return std::max(0, Memo.LineCount - LinesPrinted); }
    void SkipLeadingBlanks();
};

class TDaxvarlabel : public TDaxTVLabel {
public:
    explicit TDaxvarlabel(TDaxComponent* owner = nullptr) : TDaxTVLabel(owner) {}
    ~TDaxvarlabel() override;
    std::string ClassName() const override { return "TDaxvarlabel"; }
    std::string GetDesignText() override;
    bool UsesMemo() const override;
    TDaxVar* Variable() const override { return variable_; }
    void SetVariable(TDaxVar* v);
    void DrawLabel(TRpxCanvas& canvas, const TRpxRect& r, int height) override;

    bool SuppressRepeats = false;

protected:
    void Notification(TDaxComponent* c, TOperation op) override;

private:
    TDaxVar* variable_ = nullptr;
};

class TDaxTextLabel : public TDaxTVLabel {
public:
    explicit TDaxTextLabel(TDaxComponent* owner = nullptr) : TDaxTVLabel(owner) {}
    std::string ClassName() const override { return "TDaxTextLabel"; }
    std::string GetDesignText() override;
    bool AutoSize = false;
};

class TDaxCheckLabel : public TDaxLabel {
public:
    explicit TDaxCheckLabel(TDaxComponent* owner = nullptr);
    ~TDaxCheckLabel() override;
    std::string ClassName() const override { return "TDaxCheckLabel"; }
    void DrawLabel(TRpxCanvas& canvas, const TRpxRect& r, int height) override;
    // Nothing of it goes into RTF output.
    void WriteRtfTab(TDaxReportPage&, TDaxRtfFile&, int) override {}
    void WriteRtf(TDaxReportPage&, TDaxRtfFile&, int) override { Done = true; }
    void SetVariable(TDaxVar* v);
    TDaxVar* Variable() const { return variable_; }
    TDaxCheckStyle CheckStyle = csCross;

protected:
    void Notification(TDaxComponent* c, TOperation op) override;

private:
    TDaxVar* variable_ = nullptr;
};

class TDaxTotalvarLabel : public TDaxLabel {
public:
    explicit TDaxTotalvarLabel(TDaxComponent* owner = nullptr);
    ~TDaxTotalvarLabel() override;
    std::string ClassName() const override { return "TDaxTotalvarLabel"; }
    std::string GetPrintText() override;
    std::string GetDesignText() override;
    void SetTotalVariable(TDaxTotalvar* v);
    void SetLevel(TDaxLevel* l);
    TDaxTotalvar* TotalVariable() const { return total_; }
    TDaxLevel* Level() const { return level_; }

    bool AutoLevel = true;
    TDaxTotalType TotalType = ttSum;
    TDaxFloatFormat DataFormat;

protected:
    void Notification(TDaxComponent* c, TOperation op) override;

private:
    TDaxTotalvar* total_ = nullptr;
    TDaxLevel* level_ = nullptr;
};

class TDaxLine : public TDaxLabel {
public:
    explicit TDaxLine(TDaxComponent* owner = nullptr) : TDaxLabel(owner) {}
    std::string ClassName() const override { return "TDaxLine"; }
    void DrawLabel(TRpxCanvas& canvas, const TRpxRect& r, int height) override;
    // Nothing of it goes into RTF output.
    void WriteRtfTab(TDaxReportPage&, TDaxRtfFile&, int) override {}
    void WriteRtf(TDaxReportPage&, TDaxRtfFile&, int) override { Done = true; }
    TDaxLineType LineType = ltHorizontal;
};

// A picture from the label's own bytes (what a picture saves to) or a graphic variable.
class TDaxImageLabel : public TDaxLabel {
public:
    explicit TDaxImageLabel(TDaxComponent* owner = nullptr) : TDaxLabel(owner) {}
    ~TDaxImageLabel() override;
    std::string ClassName() const override { return "TDaxImageLabel"; }
    void StartPrint() override;
    int SpaceNeeded(TDaxReportPage& page, int room) override;
    int PrintSlice(TDaxReportPage& page, int room, int sliceHeight) override;
    void DrawLabel(TRpxCanvas& canvas, const TRpxRect& r, int height) override;
    // Nothing of it goes into RTF output.
    void WriteRtfTab(TDaxReportPage&, TDaxRtfFile&, int) override {}
    void WriteRtf(TDaxReportPage&, TDaxRtfFile&, int) override { Done = true; }
    void SetVariable(TDaxVar* v);
    TDaxVar* Variable() const { return variable_; }

    std::vector<uint8_t> Picture;   // the picture's saved bytes
    int PictureKind = 1;            // as TRpxCanvas::DrawGraphic
    int PictureWidth = 0, PictureHeight = 0;
    bool Center = false;

protected:
    void Notification(TDaxComponent* c, TOperation op) override;

private:
    // The picture to print (the variable's or the stored one) and its natural size in
    // report pixels; nothing when its bytes are no picture.
    void PrepareImage();
    int Measure();
    std::vector<uint8_t> image_;
    bool bitmap_ = false;   // a BMP file, drawn at the resolution it gives
    int imageKind_ = 1;
    int imageWidth_ = 0, imageHeight_ = 0;
    TDaxVar* variable_ = nullptr;
};

class TDaxVerticalDivider : public TDaxLabel {
public:
    explicit TDaxVerticalDivider(TDaxComponent* owner = nullptr);
    std::string ClassName() const override { return "TDaxVerticalDivider"; }
    int SpaceNeeded(TDaxReportPage&, int) override { return 0; }
    int PrintSlice(TDaxReportPage& page, int room, int sliceHeight) override;
    void DrawLabel(TRpxCanvas& canvas, const TRpxRect& r, int height) override;
    // Nothing of it goes into RTF output.
    void WriteRtfTab(TDaxReportPage&, TDaxRtfFile&, int) override {}
    void WriteRtf(TDaxReportPage&, TDaxRtfFile&, int) override { Done = true; }
    void Print(TDaxReportPage& page, int height) override;
    void SetDividerWidth(int w);
    int DividerWidth() const { return dividerWidth_; }
    TRpxColor DividerColor = clBlack;

protected:
    void ParentChanged(TDaxComponent* oldParent) override;
    void Loaded() override;

private:
    // A divider on a band runs from the band's second pixel row to its bottom, whatever
    // bounds were set or read.
    void FitBand();
    int dividerWidth_ = 1;
};

// ---- bands and groups ---------------------------------------------------------------------

class TDaxReserveSpace {
public:
    TDaxBand* Band = nullptr;
    int BandCount = 1;
    int Space = 0;
    int Reserve() const;
};

class TDaxBand : public TDaxComponent {
public:
    using TPrintWhenEvent = std::function<void(TDaxBand& band, bool& result)>;
    using TPrintEvent = std::function<void(TDaxBand& band)>;

    explicit TDaxBand(TDaxComponent* owner = nullptr) : TDaxComponent(owner) {}
    ~TDaxBand() override;
    std::string ClassName() const override { return "TDaxBand"; }

    TDaxReportPage* Page() const;
    const std::vector<TDaxLabel*>& Labels() const { return labels_; }

    bool CanPrint();
    int PrintHeight() { return CanPrint() ? Height : 0; }
    void PrintAll(TDaxReportPage& page);
    void BeginSlices();
    void EndSlices() { Printing = false; }
    int SpaceNeeded(TDaxReportPage& page, int room);
    virtual int PrintSlice(TDaxReportPage& page, int room);
    // Writes the band as rows of paragraphs: its labels ordered by their anchors, each row
    // with the labels' tab stops and texts, inside a box or over a bottom border when the
    // band has one.
    void WriteRtf(TDaxReportPage& page, TDaxRtfFile& file);
    // The owning band of a sub, sub data or data head band; nil for the others.
    virtual TDaxBand* OwnerBand() const { return nullptr; }
    virtual int OrderValue() const { return 0; }

    void RegisterLabel(TDaxLabel* l);
    void UnregisterLabel(TDaxLabel* l);

    TRpxColor Color = clWhite;
    TRpxFont Font;
    std::string BandName;
    TPrintWhenEvent OnPrintWhen;
    TDaxLevel* Updatelevel = nullptr;
    bool Visible = true;
    bool Stretch = false;
    bool NewPage = false;
    bool NewPageRepeat = false;
    TDaxBorderType BorderType = btNone;
    TDaxReserveSpace ReserveSpace;
    bool KeepTogether = false;
    TPrintEvent OnBeforePrint, OnAfterPrint;
    TRpxShadePercent Shade = spNone;
    int Height = 30;

    // Run state.
    bool Repeat = false;
    bool Printing = false;
    bool Done = false;
    bool FirstSlice = true;
    int FamilyIndex = -1;
    bool SavedNewPage = false;

protected:
    void ValidateParent(TDaxComponent* parent) override;
    void ParentChanged(TDaxComponent* oldParent) override;
    void Notification(TDaxComponent* c, TOperation op) override;
    // Shading, colour and border of a band rectangle h high at the page's origin.
    void PaintBand(TDaxReportPage& page, int h, int shadeInset);

private:
    std::vector<TDaxLabel*> labels_;
};

class TDaxSubBand : public TDaxBand {
public:
    using TDaxBand::TDaxBand;
    std::string ClassName() const override { return "TDaxSubBand"; }
    TDaxBand* OwnerBand() const override { return Band; }
    int OrderValue() const override { return Order; }
    TDaxBand* Band = nullptr;
    int Order = 0;
    bool Above = false;

protected:
    void Notification(TDaxComponent* c, TOperation op) override;
};

class TDaxOverlayBand : public TDaxBand {
public:
    using TDaxBand::TDaxBand;
    std::string ClassName() const override { return "TDaxOverlayBand"; }
    int OrderValue() const override { return Order; }
    bool First = true;
    int Order = 0;
    int TopOffset = 0, LeftOffset = 0;
    bool UseMargins = true;
};

class TDaxSubDataBand : public TDaxBand {
public:
    using TAfterSkipEvent = std::function<void(TDaxSubDataBand& band)>;
    using TFilterEvent = std::function<void(TDaxComponent& sender, bool& result)>;

    using TDaxBand::TDaxBand;
    ~TDaxSubDataBand() override;
    std::string ClassName() const override { return "TDaxSubDataBand"; }
    TDaxBand* OwnerBand() const override { return Band; }
    int OrderValue() const override { return Order; }

    void OpenSubData();
    void SkipSubData();
    void FinishSubData();

    TDaxBand* Band = nullptr;
    int Order = 0;
    bool CloseDataSet = false;
    TDaxDataRange DataRange = drAllRecords;
    TDaxDataSource* DataSource = nullptr;
    std::function<void(TDaxSubDataBand&)> OnDataStart, OnDataSkip, OnDataFinish;
    TAfterSkipEvent OnAfterDataSkip;
    TFilterEvent OnDataFilter;
    bool DataFinished = false;

protected:
    void Notification(TDaxComponent* c, TOperation op) override;

private:
    bool Accepted();
    void AfterSkip() { FireEvent(this, OnAfterDataSkip, *this); }
};

class TDaxDataHeadBand : public TDaxBand {
public:
    using TDaxBand::TDaxBand;
    std::string ClassName() const override { return "TDaxDataHeadBand"; }
    TDaxBand* OwnerBand() const override { return Band; }
    TDaxSubDataBand* Band = nullptr;

protected:
    void Notification(TDaxComponent* c, TOperation op) override;
};

class TDaxDataFootBand : public TDaxDataHeadBand {
public:
    using TDaxDataHeadBand::TDaxDataHeadBand;
    std::string ClassName() const override { return "TDaxDataFootBand"; }
};

class TDaxGroup : public TDaxComponent {
public:
    explicit TDaxGroup(TDaxComponent* owner = nullptr) : TDaxComponent(owner) {}
    ~TDaxGroup() override;
    std::string ClassName() const override { return "TDaxGroup"; }
    void SetName(const std::string& name) override;
    bool IsBroken();
    void SetLevelNumber(int n);

    std::function<void(TDaxGroup&)> OnCheckBroken;
    TDaxBand* Header = nullptr;
    TDaxBand* Footer = nullptr;
    TDaxVar* Variable = nullptr;
    int Level = 0;
    bool Broken = false;
    std::string Caption;

protected:
    void ValidateParent(TDaxComponent* parent) override;
    void ParentChanged(TDaxComponent* oldParent) override;
    void Notification(TDaxComponent* c, TOperation op) override;
};

// Names a dataset for whoever designs the report; the run does not use it.
class TDaxDSGuide : public TDaxComponent {
public:
    explicit TDaxDSGuide(TDaxComponent* owner = nullptr) : TDaxComponent(owner) {}
    std::string ClassName() const override { return "TDaxDSGuide"; }
    // The guide's level, or the detail band's when none is set.
    TDaxLevel* UpdateLevel() const;
    void SetUpdateLevel(TDaxLevel* l);

    bool CreateVariables = true;
    TDaxDataSource* DataSource = nullptr;

protected:
    void ValidateParent(TDaxComponent* parent) override;
    void Notification(TDaxComponent* c, TOperation op) override;

private:
    TDaxLevel* updateLevel_ = nullptr;
};

class TDaxDataSourceGuide : public TDaxDSGuide {
public:
    using TDaxDSGuide::TDaxDSGuide;
    std::string ClassName() const override { return "TDaxDataSourceGuide"; }
};

// Datasets the run opened, to close again when it ends.
class TRpxDataSourceManager {
public:
    ~TRpxDataSourceManager() { RestoreAll(); }
    bool Open(TDaxDataSource* ds);
    void RestoreAll();

private:
    struct TRpxDataSource {
        TDaxDataSource* Source = nullptr;
        bool OpenedHere = false;
        bool OpenFailed = false;
    };
    std::vector<TRpxDataSource> entries_;
};

// ---- destinations: the windows the run talks to (built by the preview) ---------------------

class TDaxViewer {
public:
    virtual ~TDaxViewer() = default;
    virtual void Configure(const TDaxPreviewSettings& settings) { (void)settings; }
    virtual void SetDocument(std::shared_ptr<TRpxRpxFile> document) = 0;
    // Called when the user closes the viewer while the report is still generating.
    virtual void SetCloseCallback(std::function<void()> cb) = 0;
    virtual void SetGenerating(bool generating) = 0;
    virtual void Show() = 0;
    virtual void ShowModal() = 0;
    virtual void Refresh() {}
};

class TDaxStatusWindow {
public:
    virtual ~TDaxStatusWindow() = default;
    virtual void Show() = 0;
    virtual void Status(TDaxReportPage& page, TDaxStatus stat) = 0;
};

// Makes the destination dialog, the print status window and the viewer.
class TDaxReportWindows {
public:
    virtual ~TDaxReportWindows() = default;
    // The report destination dialog, modal: true when closed with OK.
    virtual bool PromptDestination(TDaxPageSetup& setup) = 0;
    virtual std::unique_ptr<TDaxStatusWindow> CreateStatusWindow(TDaxReport& report) = 0;
    virtual std::shared_ptr<TDaxViewer> CreateViewer(TDaxReportPage& page) = 0;
};
// The windows a report uses when it was given none.
extern std::function<std::shared_ptr<TDaxReportWindows>()> DaxReportWindowsFactory;

// ---- the page: registries, data loop, pass, layout ------------------------------------------

enum TDaxPhase : uint16_t {
    phReportHead = 1, phPageHead = 2, phDetail = 4, phPageFoot = 8, phReportFoot = 16, phRepeat = 32,
    phGroupHeaders = 64, phGroupFooters = 128, phOverlays = 256,
};

class TDaxReportPage : public TDaxGrouppage {
public:
    using TNotify = std::function<void(TDaxReportPage&)>;
    using TFilterEvent = std::function<void(TDaxReportPage&, bool& result)>;

    explicit TDaxReportPage(TDaxComponent* owner = nullptr);
    ~TDaxReportPage() override;
    std::string ClassName() const override { return "TDaxGrouppage"; }
    TDaxLevel* FixedBandLevel(TDaxFixedBand band) const override;
    // Arranges the bands once the whole definition has been read (DaxStreaming.cpp).
    void Loaded() override;

    TDaxReport* Report() const;
    int PixelsPerInch() const;

    // Published.
    bool TwoPass = false;
    bool ClipLabels = false;
    TDaxPageSetup PageSetup;
    TDaxBorderType BorderType = btNone;
    TDaxOutputType OutputType = otNormal;
    TNotify OnPreview;
    std::function<void(TDaxReportPage&, TDaxStatus)> OnUpdateStatus;
    std::string RpxFileName, Description;
    bool CloseDataSet = false;
    TDaxDataRange DataRange = drAllRecords;
    TNotify OnDataStart, OnDataSkip, OnDataFinish;
    TFilterEvent OnDataFilter;
    bool OmitLastPgFt = false;
    TDaxBand *Head = nullptr, *Detail = nullptr, *Foot = nullptr, *PageHead = nullptr, *PageFoot = nullptr;
    std::string RtfFile;
    TDaxDataSource* DataSource = nullptr;
    bool NoDataQuit = false;
    TNotify OnNoData;
    bool NoRecordCount = false;
    bool CloseDataSources = true;
    std::function<void(TDaxReportPage&, TRpxOutput*, int pageNum)> OnNewPage;
    std::function<void(TDaxReportPage&, bool& doNewPage)> OnBeforeNewPage;
    TNotify OnAfterDataSkip;
    bool GroupPageBreaks = false;

    // Public run state.
    bool DataFinished = false;
    TRpxOutput* Output = nullptr;
    std::shared_ptr<TDaxViewer> Viewer;
    float PercentDone = 0;
    int XPos = 0, YPos = 0, PageStartY = 0, FooterHeight = 0;
    int PageNumber = 0, PagesCounted = 0, PagesOutput = 0;
    int RecordsSkipped = 0, RecordCount = 0;
    bool Stopped = false, PageEmpty = true, BorderPending = false, HeadPrinted = false;
    uint16_t Phase = 0;
    int CurrentGroup = -1;
    bool RtfMode = false;
    bool RecordActive = false, FirstRecord = false, InStep = false;
    TDaxDestination Destination = destScreen;   // the run's destination (from the page setup)
    std::unique_ptr<TDaxRtfFile> Rtf;   // the file of an RTF pass, written by EndPass

    // Registries.
    const std::vector<TDaxBand*>& Bands() const { return bands_; }
    const std::vector<TDaxGroup*>& Groups() const { return groups_; }
    const std::vector<TDaxBand*>& OverlayOrder() const { return overlayOrder_; }
    void RegisterBand(TDaxBand* b);
    void UnregisterBand(TDaxBand* b);
    void RegisterGroup(TDaxGroup* g);
    void UnregisterGroup(TDaxGroup* g);

    // Pixels of the printable area.
    int LeftMarginPx() const;
    int TopMarginPx() const;
    int PrintableWidthPx() const;
    int PrintableHeightPx() const;
    TRpxCanvas& Canvas() const { return Output->Canvas(); }
    bool InRange() const;

    // The pass (called by the report).
    bool BeginPass();
    void OpenData();
    void SkipData();
    void StartOutput();
    void PrintReportHead();
    void StepRecord();
    void EndReport();
    void FinishOutput(bool abortRequested = false);
    void EndPass();
    void UpdateStatus(TDaxStatus kind);
    void ViewerClosed();
    bool OpenDataSource(TDaxDataSource* ds) { return manager_.Open(ds); }

    // Layout.
    void Arrange();
    void BuildFamilies();
    void PrintFamily(TDaxBand* b);
    void PrintBand(TDaxBand* b);
    void EnsureRoom(int h);
    void BreakPage();
    void PrintGroupHeaders(int g);
    void PrintGroupFooters(int g);
    void PrintPageFooter();
    void PrintOverlays(bool first);
    void PrintPageBorder();
    void ReprintRepeats();
    void StartLevel(TDaxBand* b);
    const std::vector<TDaxBand*>& Family(const TDaxBand* b) const;

protected:
    void ParentChanged(TDaxComponent* oldParent) override;
    void Notification(TDaxComponent* c, TOperation op) override;

private:
    bool Accepted();
    void AfterSkip() { FireEvent(this, OnAfterDataSkip, *this); }
    void RangeTest();
    void SetOrigin() { XPos = LeftMarginPx(); YPos = TopMarginPx(); }
    void NewPageStep(TDaxBand* b);
    void RemovePending(TDaxBand* b);
    int Room() const;
    void CheckProgress();
    void ReprintFamily(TDaxBand* b);
    void RepeatFamily(TDaxBand* b);
    void ReprintBand(TDaxBand* b);
    void PrintSubDataFamily(TDaxSubDataBand* b, bool repeat);
    void PrintStretching(TDaxBand* b, bool reprint);
    bool IsOpen(const TDaxBand* b) const;
    void AppendFamilyLayout(TDaxBand* b, std::vector<TDaxBand*>& out);
    void MakeFamily(TDaxBand* b);

    std::vector<TDaxBand*> bands_;          // every band, in arranged order after Arrange
    std::vector<TDaxGroup*> groups_;
    std::vector<TDaxBand*> overlayOrder_;
    std::vector<std::vector<TDaxBand*>> families_;
    std::vector<TDaxBand*> openFamilies_;
    std::vector<TDaxSubDataBand*> openSubData_;
    std::vector<TDaxLevel*> pending_;
    TRpxDataSourceManager manager_;
    std::shared_ptr<TDaxViewer> closedViewer_;
};

// ---- the report --------------------------------------------------------------------------------

class TDaxReport : public TDaxComponent {
public:
    using TPromptEvent = std::function<void(TDaxReportPage& page, bool& result)>;
    using TPrintEvent = std::function<void(TDaxReport& report)>;

    // A report's classes are registered for streaming before the first report exists.
    explicit TDaxReport(TDaxComponent* owner = nullptr) : TDaxComponent(owner) { RegisterDaxReportClasses(); }
    ~TDaxReport() override;
    std::string ClassName() const override { return "TDaxReport"; }
    // With AutoRun the report runs as soon as it has been loaded (not while designing).
    void Loaded() override;

    void Run();
    bool PrepareRun();
    void RunStep();
    void StartPass();
    void FinishRun();
    virtual bool PromptDestination(TDaxReportPage& page);
    virtual void DoBeforePrint() { FireEvent(this, OnBeforePrint, *this); }
    virtual void DoAfterPrint() { FireEvent(this, OnAfterPrint, *this); }

    const std::vector<TDaxReportPage*>& Pages() const { return pages_; }
    void RegisterPage(TDaxReportPage* p);
    void UnregisterPage(TDaxReportPage* p);
    TDaxReportPage* CurrentPage() const { return page_; }
    TRpxOutput* Output() const { return output_.get(); }
    TDaxReportWindows& Windows();
    std::unique_ptr<TRpxPrintDevice> MakePrintDevice();

    bool Minimized = false;
    bool Prompt = true;
    bool AutoRun = false;
    TPromptEvent OnPromptPrint;
    TPrintEvent OnBeforePrint, OnAfterPrint;
    bool SuppressStatus = false;
    int PixelsPerInch = 96;
    // Where the designer shows the report; kept for it, unused at run time.
    struct TDesign {
        int STop = 0, SLeft = 0, SWidth = 800, SHeight = 400, MTop = 0, MLeft = 0;
        uint8_t SAlign = 0;   // alNone, alTop, alBottom, alLeft, alRight, alClient
    } Design;

    bool Running = false;
    int Pass = 0;
    int PassCount = 1;
    bool AbortRequested = false;
    // The windows to use (none: DaxReportWindowsFactory's); the printer of printed
    // reports (none: the output's own).
    std::shared_ptr<TDaxReportWindows> ReportWindows;
    std::function<std::unique_ptr<TRpxPrintDevice>()> PrintDeviceFactory;
    std::unique_ptr<TDaxStatusWindow> StatusWindow;

private:
    void EndCurrentPass();
    void StepOnce() { page_->StepRecord(); }
    void RestoreStatusHandler();
    void Guarded(void (TDaxReport::*step)());

    std::vector<TDaxReportPage*> pages_;
    TDaxReportPage* page_ = nullptr;
    std::unique_ptr<TRpxOutput> output_;
    std::unique_ptr<TDaxPageSetup> setupCopy_;
    TDaxUnits savedUnits_ = unitInches;
    bool statusInstalled_ = false;
    std::function<void(TDaxReportPage&, TDaxStatus)> savedStatus_;
};
