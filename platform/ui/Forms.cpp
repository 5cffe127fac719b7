#include "platform/ui/Forms.h"

#include "platform/runtime/SysUtils.h"
#include "platform/ui/Buttons.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/StdCtrls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace {

TApplication theApplication;

// Our hint pause, read by Qt through the style.
class THintPauseStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay) return Application->HintPause();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

std::string MessageOf(std::exception_ptr e)
{
    try {
        std::rethrow_exception(e);
    } catch (const Exception& x) {
        return x.Message();
    } catch (const std::exception& x) {
        return x.what();
    } catch (...) {
        return "Unknown exception";
    }
}

bool IsAbort(std::exception_ptr e)
{
    try {
        std::rethrow_exception(e);
    } catch (const EAbort&) {
        return true;
    } catch (...) {
        return false;
    }
}

// The modal loops' rule: a modal window disables the windows that were there when its loop
// began, and only those. A window shown while the loop runs (a report viewer opened from a
// wizard, say) answers input as any other: it is made a dependant of the innermost modal
// window for as long as that loop runs, which the windowing system's modality spares, and it
// is kept on the screen. When the loop ends the window gets its former owner back.
class TModalLayer : public QObject {
public:
    static TModalLayer& Instance()
    {
        static auto* layer = [] {
            auto* l = new TModalLayer;
            QCoreApplication::instance()->installEventFilter(l);
            return l;
        }();
        return *layer;
    }

    void Begin(TForm* form) { loops_.emplace_back(form); }

    void End(TForm* form)
    {
        std::erase_if(loops_, [form](const QPointer<TForm>& f) { return !f || f == form; });
        // A window shown during a nested loop was not there when the outer loops began
        // either: it stays spared while one of them runs.
        TForm* outer = Innermost();
        for (auto it = spared_.begin(); it != spared_.end();) {
            if (it->loop != form) {
                ++it;
                continue;
            }
            QWindow* handle = it->window ? it->window->windowHandle() : nullptr;
            if (handle && outer) {
                it->loop = outer;
                handle->setTransientParent(outer->windowHandle());
                ++it;
                continue;
            }
            if (handle) handle->setTransientParent(it->formerParent);
            it = spared_.erase(it);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !loops_.empty() && watched->isWidgetType())
            Spare(static_cast<QWidget*>(watched));
        return false;
    }

private:
    void Spare(QWidget* w)
    {
        if (!w->isWindow() || w->windowModality() != Qt::NonModal) return;
        const Qt::WindowType type = w->windowType();
        if (type != Qt::Window && type != Qt::Dialog && type != Qt::Tool) return;
        TForm* loop = Innermost();
        if (!loop || loop == w || loop->isAncestorOf(w)) return;
        for (const auto& s : spared_)
            if (s.window == w) return;
        QWindow* handle = w->windowHandle();
        if (!handle) return;
        QWindow* modal = loop->windowHandle();
        for (QWindow* p = handle->transientParent(); p; p = p->transientParent())
            if (p == modal) return;  // one of the modal window's own
        spared_.push_back({w, handle->transientParent(), loop});
        handle->setTransientParent(modal);
        KeepOnScreen(w);
    }

    TForm* Innermost() const
    {
        for (auto it = loops_.rbegin(); it != loops_.rend(); ++it)
            if (*it && (*it)->isVisible() && (*it)->windowHandle()) return *it;
        return nullptr;
    }

    static void KeepOnScreen(QWidget* w)
    {
        if (w->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) return;
        QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
        if (!screen) return;
        const QRect room = screen->availableGeometry();
        // The frame counts: move() places it, and it is what must fit.
        QRect r = w->frameGeometry();
        const int frameW = r.width() - w->width(), frameH = r.height() - w->height();
        if (r.width() > room.width() || r.height() > room.height())
            w->resize(std::min(w->width(), room.width() - frameW), std::min(w->height(), room.height() - frameH));
        r = w->frameGeometry();
        const int x = std::clamp(r.x(), room.left(), std::max(room.left(), room.right() + 1 - r.width()));
        const int y = std::clamp(r.y(), room.top(), std::max(room.top(), room.bottom() + 1 - r.height()));
        if (x != r.x() || y != r.y()) w->move(x, y);
    }

    struct TSpared {
        QPointer<QWidget> window;
        QPointer<QWindow> formerParent;
        TForm* loop;
    };
    std::vector<QPointer<TForm>> loops_;
    std::vector<TSpared> spared_;
};

}  // namespace

TApplication* const Application = &theApplication;

void CallEvent(const TNotifyEvent& event, QObject* sender)
{
    if (!event) return;
    try {
        event(sender);
    } catch (...) {
        Application->HandleException(std::current_exception(), sender);
    }
}

void ui_detail::HandleCurrentException(QObject* sender)
{
    Application->HandleException(std::current_exception(), sender);
}

// --- TForm -------------------------------------------------------------------

TForm::TForm(QWidget* owner) : QWidget(owner, Qt::Window) {}

TForm::~TForm()
{
    if (loop_) loop_->quit();
}

int TForm::ShowModal()
{
    if (loop_ || isVisible()) throw EInvalidOperation("Cannot make a visible window modal");
    QPointer<TForm> self(this);
    modalResult_ = mrNone;
    setWindowModality(Qt::ApplicationModal);
    show();
    activateWindow();
    QEventLoop loop;
    loop_ = &loop;
    TModalLayer::Instance().Begin(this);
    struct Restore {
        QPointer<TForm> form;
        TForm* loop;
        ~Restore()
        {
            TModalLayer::Instance().End(loop);
            if (!form) return;
            form->loop_ = nullptr;
            form->hide();
            form->setWindowModality(Qt::NonModal);
        }
    } restore{self, this};
    for (;;) {
        bool quitting = false;
        if (modalResult_ == mrNone) {
            quitByResult_ = false;
            loop.exec(QEventLoop::DialogExec);
            if (!self) return mrCancel;  // freed by a handler while it ran
            // The loop ended without a result: the application is quitting.
            if (!quitByResult_ && modalResult_ == mrNone) {
                modalResult_ = mrCancel;
                quitting = true;
            }
        }
        if (modalResult_ == mrNone) continue;
        if (quitting) {
            DoClose();
            break;
        }
        if (CloseQuery() && DoClose()) break;
        modalResult_ = mrNone;
    }
    return modalResult_;
}

void TForm::SetModalResult(int result)
{
    modalResult_ = result;
    if (result != mrNone && loop_) {
        quitByResult_ = true;
        loop_->quit();
    }
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery) {
        try {
            OnCloseQuery(this, canClose);
        } catch (...) {
            Application->HandleException(std::current_exception(), this);
            canClose = false;
        }
    }
    return canClose;
}

bool TForm::DoClose()
{
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) {
        try {
            OnClose(this, action);
        } catch (...) {
            Application->HandleException(std::current_exception(), this);
        }
    }
    return action != TCloseAction::caNone;
}

void TForm::Close()
{
    if (loop_) {
        SetModalResult(mrCancel);
        return;
    }
    if (CloseQuery() && DoClose()) {
        hide();
        if (Application->MainForm() == this) Application->Terminate();
    }
}

void TForm::closeEvent(QCloseEvent* e)
{
    // The close box: modal windows end with mrCancel, others close as Close does.
    e->ignore();
    Close();
}

void TForm::showEvent(QShowEvent* e)
{
    // A window the program gives no place of its own opens centred over the main window (or
    // the window the user is working in), not wherever the window manager puts new windows.
    if (!e->spontaneous() && !placed_ && !testAttribute(Qt::WA_Moved)) {
        placed_ = true;
        QWidget* over = Application->MainForm();
        if (over == this || !over || !over->isVisible()) over = QApplication::activeWindow();
        if (over && over != this && over->isVisible()) {
            QRect r = frameGeometry();
            r.moveCenter(over->frameGeometry().center());
            move(r.topLeft());
        }
    }
    QWidget::showEvent(e);
    if (!e->spontaneous()) CallEvent(OnShow, this);
}

void TForm::keyPressEvent(QKeyEvent* e)
{
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    const bool escape = e->key() == Qt::Key_Escape;
    if ((enter || escape) && e->modifiers() == Qt::NoModifier) {
        // dynamic_cast: without a meta-object of its own, TBitBtn would match any QPushButton.
        for (auto* q : findChildren<QPushButton*>()) {
            auto* b = dynamic_cast<TBitBtn*>(q);
            if (!b || b->window() != this || !b->isVisible() || !b->isEnabled()) continue;
            if ((enter && b->Default()) || (escape && b->Cancel())) {
                b->Click();
                return;
            }
        }
    }
    QWidget::keyPressEvent(e);
}

std::string TForm::Caption() const { return ToStd(windowTitle()); }
void TForm::SetCaption(const std::string& caption) { setWindowTitle(ToQt(caption)); }

void TForm::FixBorder()
{
    adjustSize();
    setFixedSize(size());
}

// --- TApplication --------------------------------------------------------------

TApplication::~TApplication()
{
    // Windows must go while Qt still runs; Run does that. What is left here is released
    // without touching Qt.
    for (auto& f : forms_) (void)f.release();
}

std::string TApplication::Title() const
{
    if (!title_.empty()) return title_;
    if (QCoreApplication::instance()) return ToStd(QCoreApplication::applicationName());
    return {};
}

void TApplication::SetHintPause(int ms)
{
    hintPause_ = ms;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    if (!dynamic_cast<THintPauseStyle*>(QApplication::style())) QApplication::setStyle(new THintPauseStyle);
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TApplication::HandleException(std::exception_ptr e, QObject* sender) noexcept
{
    if (!e) return;
    try {
        if (OnException) {
            OnException(sender, e);
            return;
        }
        if (IsAbort(e)) return;
        MessageBox(MessageOf(e), Title(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        // The error box itself failed; nothing sensible is left to show.
    }
}

int TApplication::Run()
{
    int rc = 0;
    if (mainForm_) {
        mainForm_->show();
        rc = QCoreApplication::exec();
    }
    DestroyForms();
    return rc;
}

void TApplication::Terminate() { QCoreApplication::quit(); }

void TApplication::DestroyForms()
{
    while (!forms_.empty()) forms_.pop_back();
    mainForm_ = nullptr;
}

// --- TQtApplication --------------------------------------------------------------

TQtApplication::TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TQtApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        Application->HandleException(std::current_exception(), receiver);
        return false;
    }
}
