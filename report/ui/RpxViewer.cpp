#include "report/ui/RpxViewer.h"

#include "report/ui/RpxDialogs.h"
#include "ui_RpxViewer.h"

#include "platform/runtime/SysUtils.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

const char* const kRpxReporterVersion = "1.20";

namespace {

// The tool bar's glyphs, drawn here so that they scale with nothing but this code.
enum class TGlyph { Printer, Close, First, Previous, Next, Last, Stop };

QIcon Glyph(TGlyph g)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    auto triangle = [&](double x, bool left) {
        QPainterPath path;
        path.moveTo(left ? x + 6 : x, 4);
        path.lineTo(left ? x : x + 6, 10);
        path.lineTo(left ? x + 6 : x, 16);
        path.closeSubpath();
        p.fillPath(path, QColor(0, 0, 128));
    };
    switch (g) {
    case TGlyph::Printer:
        p.setBrush(Qt::white);
        p.drawRect(6, 2, 8, 6);
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(2, 8, 16, 7);
        p.setBrush(Qt::white);
        p.drawRect(5, 13, 10, 5);
        break;
    case TGlyph::Close:
        p.setPen(QPen(QColor(128, 0, 0), 2.5));
        p.drawLine(5, 5, 15, 15);
        p.drawLine(15, 5, 5, 15);
        break;
    case TGlyph::First:
        p.fillRect(4, 4, 2, 12, QColor(0, 0, 128));
        triangle(7, true);
        break;
    case TGlyph::Previous: triangle(7, true); break;
    case TGlyph::Next: triangle(7, false); break;
    case TGlyph::Last:
        triangle(7, false);
        p.fillRect(14, 4, 2, 12, QColor(0, 0, 128));
        break;
    case TGlyph::Stop: {
        p.setBrush(QColor(200, 0, 0));
        QPolygonF octagon;
        for (int i = 0; i < 8; ++i) {
            const double a = (i * 45 + 22.5) * M_PI / 180;
            octagon << QPointF(10 + 8 * std::cos(a), 10 + 8 * std::sin(a));
        }
        p.drawPolygon(octagon);
        p.fillRect(6, 9, 8, 2, Qt::white);
        break;
    }
    }
    p.end();
    QIcon icon(pm);
    // A disabled button shows its glyph greyed.
    QImage grey = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x) {
            const QColor c = grey.pixelColor(x, y);
            if (c.alpha() > 0) grey.setPixelColor(x, y, QColor(128, 128, 128, c.alpha()));
        }
    icon.addPixmap(QPixmap::fromImage(grey), QIcon::Disabled);
    return icon;
}

std::string ExceptionText(const std::exception& e) { return e.what(); }

}  // namespace

TRpxViewer::TRpxViewer(QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<Ui::RpxViewer>())
{
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    active_ = ui_->LeftPreview;
    ui_->CursorPosition->hide();
    ui_->LeftPreview->setFrameShape(QFrame::Box);
    ui_->RightPreview->setFrameShape(QFrame::NoFrame);

    const std::pair<QToolButton*, TGlyph> glyphs[] = {
        {ui_->sendprinter, TGlyph::Printer}, {ui_->btnClose, TGlyph::Close}, {ui_->firstpage, TGlyph::First},
        {ui_->PreviousPage, TGlyph::Previous}, {ui_->NextPage, TGlyph::Next}, {ui_->LastPage, TGlyph::Last},
        {ui_->Stop, TGlyph::Stop}};
    for (auto [button, glyph] : glyphs) button->setIcon(Glyph(glyph));
    ui_->Stop->setEnabled(false);
    ui_->LoadMeter->SetMeterColor(Qt::yellow);
    ui_->LoadMeter->SetBackGroundColor(Qt::white);
    ui_->ZoomValues->setCurrentIndex(2);

    connect(ui_->sendprinter, &QToolButton::clicked, this, &TRpxViewer::sendprinterClick);
    connect(ui_->Print1, &QAction::triggered, this, &TRpxViewer::sendprinterClick);
    connect(ui_->btnClose, &QToolButton::clicked, this, &QWidget::close);
    connect(ui_->Exit1, &QAction::triggered, this, &QWidget::close);
    connect(ui_->firstpage, &QToolButton::clicked, this, [this] { Navigate(&TRpxPreview::FirstPage); });
    connect(ui_->FirstPage1, &QAction::triggered, this, [this] { Navigate(&TRpxPreview::FirstPage); });
    connect(ui_->PreviousPage, &QToolButton::clicked, this, [this] { Navigate(&TRpxPreview::PriorPage); });
    connect(ui_->PriorPage1, &QAction::triggered, this, [this] { Navigate(&TRpxPreview::PriorPage); });
    connect(ui_->NextPage, &QToolButton::clicked, this, [this] { Navigate(&TRpxPreview::NextPage); });
    connect(ui_->NextPage1, &QAction::triggered, this, [this] { Navigate(&TRpxPreview::NextPage); });
    connect(ui_->LastPage, &QToolButton::clicked, this, [this] { Navigate(&TRpxPreview::LastPage); });
    connect(ui_->LastPage1, &QAction::triggered, this, [this] { Navigate(&TRpxPreview::LastPage); });
    connect(ui_->GotoPage1, &QAction::triggered, this, &TRpxViewer::GotoPage1Click);
    connect(ui_->Stop, &QToolButton::clicked, this, &TRpxViewer::StopClick);
    connect(ui_->Open1, &QAction::triggered, this, &TRpxViewer::Open1Click);
    connect(ui_->Close1, &QAction::triggered, this, &TRpxViewer::Close1Click);
    connect(ui_->Save1, &QAction::triggered, this, &TRpxViewer::Save1Click);
    connect(ui_->PrintSetup1, &QAction::triggered, this, &TRpxViewer::PrintSetup1Click);
    connect(ui_->Synchronized, &QAction::triggered, this, &TRpxViewer::SynchronizedClick);
    connect(ui_->TwoPages, &QAction::triggered, this, &TRpxViewer::TwoPagesClick);
    connect(ui_->ViewToolbar, &QAction::toggled, ui_->ToolBar, &QWidget::setVisible);
    connect(ui_->ZoomValues, &QComboBox::activated, this, &TRpxViewer::ZoomValuesChange);
    for (TRpxPreview* p : {ui_->LeftPreview, ui_->RightPreview}) {
        connect(p, &TRpxPreview::Clicked, this, &TRpxViewer::SelectPreview);
        connect(p, &TRpxPreview::HorzScrolled, this, &TRpxViewer::SyncScroll);
        connect(p, &TRpxPreview::VertScrolled, this, &TRpxViewer::SyncScroll);
    }
    ui_->sendprinter->installEventFilter(this);
    ui_->ToolBar->installEventFilter(this);
    ui_->Divider->installEventFilter(this);
    UpdateMenus();
    UpdateStatus();
}

TRpxViewer::~TRpxViewer() = default;

TRpxPreview* TRpxViewer::LeftPreview() const { return ui_->LeftPreview; }
TRpxPreview* TRpxViewer::RightPreview() const { return ui_->RightPreview; }

void TRpxViewer::SetDocument(std::shared_ptr<TRpxRpxFile> document)
{
    ui_->LoadMeter->SetProgress(0);
    SetGenerating(true);
    firstPaintPending_ = true;
    if (document) {
        active_->ShowDocument(document);
        active_->SetPrinterSetup(*document->PrinterSetup);
    }
    UpdateStatus();
}

void TRpxViewer::SetGenerating(bool on)
{
    generating_ = on;
    ui_->Stop->setEnabled(on);
    SetBusy(1, on);
}

void TRpxViewer::SetBusy(int bit, bool on)
{
    busy_ = on ? busy_ | bit : busy_ & ~bit;
    UpdateMenus();
}

void TRpxViewer::UpdateMenus()
{
    ui_->File1->setEnabled(busy_ == 0);
    ui_->File1->menuAction()->setEnabled(busy_ == 0);
    for (QAction* a : ui_->File1->actions()) a->setEnabled(busy_ == 0);
    ui_->ToolBar->setEnabled((busy_ & 2) == 0);
}

void TRpxViewer::UpdateStatus()
{
    const auto& doc = active_->Document();
    const int progress = doc ? static_cast<int>(std::lround(std::clamp(doc->Progress, -1e6f, 1e6f))) : 0;
    ui_->LoadMeter->SetProgress(progress);
    ui_->PageNum->setText(QString("Page: %1/%2").arg(active_->CurrentPage()).arg(active_->PageCount()));
    if (firstPaintPending_ && (active_->PageCount() > 1 || ui_->LoadMeter->Progress() >= 100)) {
        active_->PageBox()->update();
        firstPaintPending_ = false;
    }
    const std::string title = active_->GetTitle();
    setWindowTitle(title.empty() ? QString("RpxViewer") : QString::fromStdString(title));
    if (ui_->LoadMeter->Progress() >= 100 && generating_) SetGenerating(false);
}

void TRpxViewer::SelectPreview(TRpxPreview* preview)
{
    active_ = preview;
    for (TRpxPreview* p : {ui_->LeftPreview, ui_->RightPreview})
        p->setFrameShape(p == preview ? QFrame::Box : QFrame::NoFrame);
    UpdateStatus();
    ui_->ZoomValues->setCurrentIndex(preview->ZoomIndex());
}

void TRpxViewer::Navigate(void (TRpxPreview::*move)())
{
    (active_->*move)();
    UpdateStatus();
}

void TRpxViewer::GotoPage1Click()
{
    TRpxGotoPage dialog(this);
    if (RpxAsk(dialog) == QDialog::Accepted) active_->GoToPage(dialog.Page());
    UpdateStatus();
}

void TRpxViewer::ZoomValuesChange(int index)
{
    active_->SetZoomIndex(index);
    if (ui_->Synchronized->isChecked()) {
        TRpxPreview* other = active_ == ui_->LeftPreview ? ui_->RightPreview : ui_->LeftPreview;
        other->SetZoomIndex(active_->ZoomIndex());
    }
}

void TRpxViewer::SynchronizedClick()
{
    // The action toggles its own check.
    if (ui_->Synchronized->isChecked()) {
        TRpxPreview* other = active_ == ui_->LeftPreview ? ui_->RightPreview : ui_->LeftPreview;
        other->SetZoom(active_->Zoom());
    }
}

void TRpxViewer::SyncScroll(TRpxPreview* from)
{
    if (!ui_->Synchronized->isChecked() || !ui_->TwoPages->isChecked()) return;
    TRpxPreview* other = from == ui_->LeftPreview ? ui_->RightPreview : ui_->LeftPreview;
    other->horizontalScrollBar()->setValue(from->horizontalScrollBar()->value());
    other->verticalScrollBar()->setValue(from->verticalScrollBar()->value());
}

void TRpxViewer::TwoPagesClick()
{
    const bool on = ui_->TwoPages->isChecked();
    if (on) {
        if (!ui_->RightPreview->Document() && ui_->LeftPreview->Document())
            ui_->RightPreview->ShowDocument(ui_->LeftPreview->Document());
        ui_->RightPreview->SetPrinterSetup(ui_->LeftPreview->GetPrinterSetup());
    } else if (active_ == ui_->RightPreview) {
        SelectPreview(ui_->LeftPreview);
    }
    // Right-aligned at a width of its own; the left preview takes the rest.
    ui_->RightPreview->setFixedWidth(width() / 2);
    ui_->RightPreview->setVisible(on);
    ui_->Divider->setVisible(on);
}

bool TRpxViewer::DividerEvent(QEvent* event)
{
    auto* area = ui_->PreviewArea;
    auto* marker = ui_->CursorPosition;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        dragging_ = true;
        const QPoint at = ui_->Divider->mapTo(area, static_cast<QMouseEvent*>(event)->pos());
        marker->setGeometry(at.x(), 0, 3, area->height());
        marker->show();
        marker->raise();
        return true;
    }
    case QEvent::MouseMove: {
        if (!dragging_) return false;
        const QPoint at = ui_->Divider->mapTo(area, static_cast<QMouseEvent*>(event)->pos());
        marker->move(std::clamp(at.x(), 20, std::max(20, area->width() - 24)), 0);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!dragging_) return false;
        dragging_ = false;
        marker->hide();
        ui_->RightPreview->setFixedWidth(std::max(area->width() - marker->x(), 0));
        for (TRpxPreview* p : {ui_->LeftPreview, ui_->RightPreview}) p->SetZoomIndex(p->ZoomIndex());
        return true;
    }
    default: return false;
    }
}

void TRpxViewer::ShowError(const std::string& text) { MessageDlg(text, TMsgDlgType::mtError, mbOK); }

void TRpxViewer::Open1Click()
{
    TOpenDialog dialog;
    dialog.DefaultExt = "Rpx";
    dialog.FileName = "RpxFile.rpx";
    dialog.Filter = "Rpx File (*.rpx)|*.rpx|All Files (*.*)|*.*";
    if (!dialog.Execute()) return;
    TRpxPreview* other = active_ == ui_->LeftPreview ? ui_->RightPreview : ui_->LeftPreview;
    if (active_->Document() && active_->Document() == other->Document()) active_->CloseDocument();
    try {
        active_->OpenFile(dialog.FileName);
    } catch (const ERpxNotReport& e) {
        ShowError(e.Message());
    } catch (const EReadError& e) {
        ShowError(dialog.FileName + " is damaged and cannot be shown: " + ExceptionText(e));
    } catch (const std::exception& e) {
        ShowError(dialog.FileName + " could not be opened: " + ExceptionText(e));
    }
    UpdateStatus();
}

void TRpxViewer::Close1Click()
{
    // The document lives on while the other preview shows it.
    active_->CloseDocument();
    UpdateStatus();
}

void TRpxViewer::Save1Click()
{
    TSaveDialog dialog;
    dialog.DefaultExt = "Rpx";
    dialog.FileName = "RpxFile.rpx";
    dialog.Filter = "Rpx File (*.rpx)|*.rpx|All Files (*.*)|*.*";
    dialog.OverwritePrompt = true;
    if (const auto& doc = active_->Document(); doc && !doc->FileName.empty()) dialog.FileName = doc->FileName;
    if (!dialog.Execute()) return;
    try {
        active_->SaveFile(dialog.FileName);
    } catch (const std::exception& e) {
        ShowError(dialog.FileName + " could not be saved: " + ExceptionText(e));
    }
}

void TRpxViewer::PrintSetup1Click()
{
    auto& setup = active_->GetPrinterSetup();
    setup.ApplyToPrinter();
    RpxPrinterSetupDialog();
    setup.ReadFromPrinter();
}

void TRpxViewer::PrintWithStatus(int first, int last, bool userSetup)
{
    SetBusy(2, true);
    TRpxPreviewStatus status(*active_, this);
    status.show();
    active_->UserSetup = userSetup;
    active_->PrintProgress = [&status](TRpxPrinter& p) { status.ShowPage(p); };
    try {
        active_->PrintPages(first, last);
    } catch (const std::exception& e) {
        ShowError(ExceptionText(e));
    }
    SetBusy(2, false);
}

void TRpxViewer::sendprinterClick()
{
    if (active_->PrintingNow()) {
        ShowError("Printing in progress.");
        return;
    }
    auto& setup = active_->GetPrinterSetup();
    TRpxPrinterSetup kept;
    kept.Assign(setup);
    setup.ApplyToPrinter();
    TRpxPrintDestination dialog(active_, setup, this);
    if (RpxAsk(dialog) != QDialog::Accepted) return;
    PrintWithStatus(dialog.RangeStart(), dialog.RangeEnd(), !kept.SameAs(setup));
}

void TRpxViewer::PrintAll()
{
    if (active_->PrintingNow()) {
        ShowError("Printing in progress.");
        return;
    }
    PrintWithStatus(0, 0, false);
}

void TRpxViewer::CallAbort()
{
    if (!OnAbort) return;
    auto abort = std::move(OnAbort);
    OnAbort = nullptr;
    try {
        abort(*this);
    } catch (const std::exception& e) {
        ShowError(ExceptionText(e));
    }
}

void TRpxViewer::StopClick()
{
    CallAbort();
    SetGenerating(false);
}

void TRpxViewer::closeEvent(QCloseEvent* event)
{
    if (active_->PrintingNow() || ui_->RightPreview->PrintingNow() || ui_->LeftPreview->PrintingNow()) {
        // The print's own loop holds the document: it must end first.
        ShowError("Printing in progress.");
        event->ignore();
        return;
    }
    if (generating_) CallAbort();
    OnAbort = nullptr;
    SetGenerating(false);
    event->accept();
}

bool TRpxViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->Divider) return DividerEvent(event) || QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (watched == ui_->sendprinter && me->button() == Qt::RightButton && ui_->sendprinter->isEnabled()) {
            PrintAll();
            return true;
        }
        if (watched == ui_->ToolBar && me->button() == Qt::LeftButton && (me->modifiers() & Qt::ControlModifier)) {
            MessageDlg(std::string("Rpx Reporter Version ") + kRpxReporterVersion, TMsgDlgType::mtInformation, mbOK);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- The output's viewer ---------------------------------------------------------------------

struct TRpxViewerLink::TImpl {
    QPointer<TRpxViewer> viewer;
};

TRpxViewerLink::TRpxViewerLink(TRpxViewer* viewer) : impl_(std::make_shared<TImpl>())
{
    impl_->viewer = viewer;
}

TRpxViewer* TRpxViewerLink::Viewer() const { return impl_->viewer.data(); }

void TRpxViewerLink::GenerationStarted(std::shared_ptr<TRpxRpxFile> document)
{
    if (TRpxViewer* v = Viewer()) {
        v->SetDocument(std::move(document));
        v->show();
    }
}

void TRpxViewerLink::GenerationEnded()
{
    if (TRpxViewer* v = Viewer()) {
        v->SetGenerating(false);
        v->UpdateStatus();
        v->ActivePreview()->PageBox()->update();
    }
}

void InstallRpxViewer()
{
    RpxViewerFactory = [] { return std::make_shared<TRpxViewerLink>(new TRpxViewer); };
}

std::function<void(TRpxViewer& viewer)> RpxModalViewerAnswerer;

void RpxShowViewerModal(TRpxViewer& viewer)
{
    if (RpxModalViewerAnswerer) {
        RpxModalViewerAnswerer(viewer);
        return;
    }
    QPointer<TRpxViewer> alive(&viewer);
    QEventLoop loop;
    QObject::connect(&viewer, &QObject::destroyed, &loop, &QEventLoop::quit);
    viewer.setWindowModality(Qt::ApplicationModal);
    viewer.show();
    if (alive) loop.exec();
}
