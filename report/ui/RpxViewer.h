// The report viewer (report/ui): two page previews of a report document with a tool bar and
// menus to page, zoom, open, save and print it; a report run generates into it and can be
// stopped from it.
#pragma once

#include "report/output/RpxOutput.h"
#include "report/ui/RpxPreview.h"

#include <QMainWindow>

#include <functional>
#include <memory>

namespace Ui {
class RpxViewer;
}

class QToolButton;
class QComboBox;
class QLabel;

// The version Ctrl + click on the tool bar shows.
extern const char* const kRpxReporterVersion;

class TRpxViewer : public QMainWindow {
    Q_OBJECT
public:
    explicit TRpxViewer(QWidget* parent = nullptr);
    ~TRpxViewer() override;

    // Shows a document that a report run is generating.
    void SetDocument(std::shared_ptr<TRpxRpxFile> document);
    void SetGenerating(bool on);
    bool Generating() const { return generating_; }
    // Meter, page number, caption; leaves the generating state when the document is done.
    void UpdateStatus();

    TRpxPreview* ActivePreview() const { return active_; }
    TRpxPreview* LeftPreview() const;
    TRpxPreview* RightPreview() const;
    void SelectPreview(TRpxPreview* preview);
    int Busy() const { return busy_; }

    // Set by a report run while it generates into this viewer; called by "Abort Report" and
    // by closing the window meanwhile, then cleared.
    std::function<void(TRpxViewer&)> OnAbort;

    Ui::RpxViewer& Form() { return *ui_; }

    // Commands.
    void Open1Click();
    void Close1Click();
    void Save1Click();
    void PrintSetup1Click();
    void sendprinterClick();
    void PrintAll();
    void GotoPage1Click();
    void StopClick();
    void SynchronizedClick();
    void TwoPagesClick();
    void ZoomValuesChange(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetBusy(int bit, bool on);
    void UpdateMenus();
    void Navigate(void (TRpxPreview::*move)());
    void CallAbort();
    void SyncScroll(TRpxPreview* from);
    bool DividerEvent(QEvent* event);
    void PrintWithStatus(int first, int last, bool userSetup);
    void ShowError(const std::string& text);

    std::unique_ptr<Ui::RpxViewer> ui_;
    TRpxPreview* active_;
    bool generating_ = false;
    int busy_ = 0;
    bool firstPaintPending_ = true;
    bool dragging_ = false;
};

// Shows viewers for reports that outputs record for the screen (mode 2): installs the
// output's viewer factory. A viewer so made frees itself when the user closes it.
void InstallRpxViewer();

// The link between an output and the viewer it made; the run reaches the viewer through it.
class TRpxViewerLink : public TRpxOutputViewer {
public:
    explicit TRpxViewerLink(TRpxViewer* viewer);
    void GenerationStarted(std::shared_ptr<TRpxRpxFile> document) override;
    void GenerationEnded() override;
    // The viewer, or none once the user has closed it.
    TRpxViewer* Viewer() const;

private:
    struct TImpl;
    std::shared_ptr<TImpl> impl_;
};

// Runs a viewer as a modal window: returns when it has closed. Tests put a function in place
// that closes it through input.
extern std::function<void(TRpxViewer& viewer)> RpxModalViewerAnswerer;
void RpxShowViewerModal(TRpxViewer& viewer);
