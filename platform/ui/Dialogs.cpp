#include "platform/ui/Dialogs.h"

#include "platform/runtime/SysUtils.h"
#include "platform/ui/Cursors.h"
#include "platform/ui/FileFilter.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <memory>

namespace {

TQtUiServices& QtServices()
{
    static TQtUiServices services;
    return services;
}

TUiServices* current = nullptr;

QMessageBox::Icon IconOf(TMsgDlgType t)
{
    switch (t) {
    case TMsgDlgType::mtWarning: return QMessageBox::Warning;
    case TMsgDlgType::mtError: return QMessageBox::Critical;
    case TMsgDlgType::mtInformation: return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation: return QMessageBox::Question;
    case TMsgDlgType::mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

QWidget* ActiveParent() { return QApplication::activeWindow(); }

// Runs a box whose buttons carry their answers; the close box gives `escape`.
int RunBox(QMessageBox& box, const std::vector<std::pair<QString, int>>& buttons, int escape)
{
    std::vector<std::pair<QAbstractButton*, int>> map;
    for (const auto& [label, answer] : buttons) {
        auto* b = box.addButton(label, QMessageBox::ActionRole);
        map.emplace_back(b, answer);
    }
    const QPointer<QWidget> was = QApplication::activeWindow();
    box.exec();
    // The window the box was over takes the keys again, as a desktop's window manager makes
    // it; without one nothing would be active and typed keys would be lost.
    if (was && was != &box && was->isVisible() &&
        (!QApplication::activeWindow() || QApplication::activeWindow() == &box))
        was->activateWindow();
    for (const auto& [b, answer] : map)
        if (box.clickedButton() == b) return answer;
    return escape;
}

}  // namespace

std::string MessageDlgCaption(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return "Warning";
    case TMsgDlgType::mtError: return "Error";
    case TMsgDlgType::mtInformation: return "Information";
    case TMsgDlgType::mtConfirmation: return "Confirm";
    case TMsgDlgType::mtCustom: break;
    }
    return Application->Title();
}

TUiServices& UiServices() { return current ? *current : QtServices(); }

TUiServicesScope::TUiServicesScope(TUiServices& services) : previous_(current) { current = &services; }
TUiServicesScope::~TUiServicesScope() { current = previous_; }

int MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int /*helpCtx*/)
{
    return UiServices().MessageDlg(msg, MessageDlgCaption(type), type, buttons);
}

int MessageBox(const std::string& text, const std::string& caption, int flags)
{
    return UiServices().MessageBox(text, caption.empty() ? Application->Title() : caption, flags);
}

void ShowMessage(const std::string& msg) { MessageBox(msg, "", MB_OK); }
void Beep() { UiServices().Beep(); }

bool TOpenDialog::Execute()
{
    TOpenDialog copy = *this;
    for (;;) {
        if (!UiServices().FileDialog(copy)) return false;
        const std::string name = AddDefaultExt(copy.FileName, DefaultExt);
        // The name that will be written is the one confirmed, extension and all; No goes back
        // to the dialog with the name still in it.
        if (save_ && OverwritePrompt && FileExists(name) &&
            MessageBox(ExtractFileName(name) + " already exists.\nDo you want to replace it?", "Confirm Save As",
                       MB_YESNO | MB_ICONWARNING) != IDYES) {
            copy.FileName = name;
            continue;
        }
        FileName = name;
        FilterIndex = copy.FilterIndex;
        return true;
    }
}

bool TPrintDialog::Execute() { return UiServices().PrintDialog(*this); }

TCursor ScreenCursor() { return UiServices().Cursor(); }
void SetScreenCursor(TCursor cursor) { UiServices().SetCursor(cursor); }

THourGlass::THourGlass() : saved_(ScreenCursor()) { SetScreenCursor(crHourGlass); }
THourGlass::~THourGlass() { SetScreenCursor(saved_); }

// --- Qt ----------------------------------------------------------------------

int TQtUiServices::MessageBox(const std::string& text, const std::string& caption, int flags)
{
    QMessageBox box(ActiveParent());
    box.setWindowTitle(ToQt(caption));
    box.setText(ToQtLines(text));
    switch (flags & 0xF0) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    std::vector<std::pair<QString, int>> buttons;
    int escape = IDCANCEL;
    switch (flags & 0xF) {
    case MB_OKCANCEL: buttons = {{"OK", IDOK}, {"Cancel", IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{"&Abort", IDABORT}, {"&Retry", IDRETRY}, {"&Ignore", IDIGNORE}};
        escape = IDABORT;
        break;
    case MB_YESNOCANCEL: buttons = {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}}; break;
    case MB_YESNO:
        buttons = {{"&Yes", IDYES}, {"&No", IDNO}};
        escape = IDNO;
        break;
    case MB_RETRYCANCEL: buttons = {{"&Retry", IDRETRY}, {"Cancel", IDCANCEL}}; break;
    default:
        buttons = {{"OK", IDOK}};
        escape = IDOK;
        break;
    }
    return RunBox(box, buttons, escape);
}

int TQtUiServices::MessageDlg(const std::string& msg, const std::string& caption, TMsgDlgType type,
                              TMsgDlgButtons buttons)
{
    QMessageBox box(ActiveParent());
    box.setWindowTitle(ToQt(caption));
    box.setText(ToQtLines(msg));
    box.setIcon(IconOf(type));
    static const std::pair<TMsgDlgBtn, std::pair<const char*, int>> order[] = {
        {mbYes, {"&Yes", mrYes}},          {mbNo, {"&No", mrNo}},
        {mbOK, {"OK", mrOk}},              {mbCancel, {"Cancel", mrCancel}},
        {mbAbort, {"&Abort", mrAbort}},    {mbRetry, {"&Retry", mrRetry}},
        {mbIgnore, {"&Ignore", mrIgnore}}, {mbAll, {"&All", mrAll}},
        {mbNoToAll, {"N&o to All", mrNoToAll}}, {mbYesToAll, {"Yes to &All", mrYesToAll}},
    };
    std::vector<std::pair<QString, int>> list;
    for (const auto& [bit, b] : order)
        if (buttons & bit) list.emplace_back(QString::fromUtf8(b.first), b.second);
    if (list.empty()) list.emplace_back("OK", mrOk);
    // The close box answers Cancel when there is one, otherwise No, otherwise the only button.
    int escape = mrCancel;
    if (!(buttons & mbCancel)) escape = (buttons & mbNo) ? mrNo : list.front().second;
    return RunBox(box, list, escape);
}

bool TQtUiServices::FileDialog(TOpenDialog& d)
{
    QFileDialog dlg(ActiveParent(), ToQt(d.Title));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setOption(QFileDialog::HideNameFilterDetails, true);
    dlg.setAcceptMode(d.IsSaveDialog() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(d.IsSaveDialog() || !d.FileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A save asks before replacing a file in TOpenDialog::Execute, once the default
    // extension is on the name.
    if (d.IsSaveDialog()) dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!d.InitialDir.empty()) dlg.setDirectory(ToQt(d.InitialDir));
    if (!d.DefaultExt.empty()) dlg.setDefaultSuffix(ToQt(d.DefaultExt));
    QStringList filters;
    for (const auto& f : QtNameFilters(d.Filter)) filters << ToQt(f);
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        if (d.FilterIndex >= 1 && d.FilterIndex <= filters.size()) dlg.selectNameFilter(filters[d.FilterIndex - 1]);
    }
    if (!d.FileName.empty()) dlg.selectFile(ToQt(d.FileName));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    d.FileName = ToStd(dlg.selectedFiles().front());
    const int idx = filters.indexOf(dlg.selectedNameFilter());
    if (idx >= 0) d.FilterIndex = idx + 1;
    return true;
}

bool TQtUiServices::PrintDialog(TPrintDialog& d)
{
    std::unique_ptr<QPrinter> own;
    QPrinter* printer = d.Printer;
    if (!printer) {
        own = std::make_unique<QPrinter>();
        printer = own.get();
    }
    QPrintDialog dlg(printer, ActiveParent());
    if (d.MaxPage > 0) dlg.setMinMax(d.MinPage, d.MaxPage);
    if (d.FromPage > 0) dlg.setFromTo(d.FromPage, d.ToPage);
    if (dlg.exec() != QDialog::Accepted) return false;
    d.Copies = printer->copyCount();
    d.PrinterName = ToStd(printer->printerName());
    d.FromPage = printer->fromPage();
    d.ToPage = printer->toPage();
    d.PrintRange = dlg.printRange() == QAbstractPrintDialog::PageRange ? TPrintRange::prPageNums
                   : dlg.printRange() == QAbstractPrintDialog::Selection ? TPrintRange::prSelection
                                                                          : TPrintRange::prAllPages;
    return true;
}

void TQtUiServices::SetCursor(TCursor cursor)
{
    if (cursor == cursor_) return;
    if (cursor_ != crDefault) QApplication::restoreOverrideCursor();
    cursor_ = cursor;
    if (const auto registered = ScreenCursorImage(cursor)) {
        QApplication::setOverrideCursor(*registered);
        return;
    }
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (cursor) {
    case crDefault: return;
    case crArrow: shape = Qt::ArrowCursor; break;
    case crCross: shape = Qt::CrossCursor; break;
    case crIBeam: shape = Qt::IBeamCursor; break;
    case crHourGlass: shape = Qt::WaitCursor; break;
    case crNo: shape = Qt::ForbiddenCursor; break;
    case crHandPoint: shape = Qt::PointingHandCursor; break;
    }
    QApplication::setOverrideCursor(QCursor(shape));
}

void TQtUiServices::Beep() { QApplication::beep(); }
