// Forms and the application object, with the class library's modal semantics.
#pragma once

#include "platform/ui/Controls.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <exception>
#include <memory>
#include <string>
#include <vector>

class QEventLoop;

// Modal results (the same values as the message-box answers IDOK..IDNO).
enum : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseQueryEvent = std::function<void(QObject* Sender, bool& CanClose)>;
using TCloseEvent = std::function<void(QObject* Sender, TCloseAction& Action)>;

// A window. Always a top-level window; the owner (when given) frees it and it centres over
// its owner. ShowModal runs it until a modal result other than mrNone is set: a button with a
// modal result, SetModalResult, Close or the close box (which give mrCancel). A close query
// that refuses puts the result back to mrNone and the window stays.
class TForm : public QWidget {
public:
    explicit TForm(QWidget* owner = nullptr);
    ~TForm() override;

    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result);
    bool Modal() const { return loop_ != nullptr; }

    // Modal: sets mrCancel. Otherwise asks the close query, fires OnClose and hides.
    void Close();
    bool CloseQuery();

    std::string Caption() const;
    void SetCaption(const std::string& caption);

    // Single border: the window keeps the size it has now.
    void FixBorder();

    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;
    TNotifyEvent OnShow;

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;  // Enter: the Default button; Escape: the Cancel one

private:
    bool DoClose();  // fires OnClose; false when the action is caNone

    int modalResult_ = mrNone;
    QEventLoop* loop_ = nullptr;
    bool quitByResult_ = false;
    bool placed_ = false;  // placed at its first showing
};

// The application object: the default error box, the hint pause, message processing, and the
// windows created at start-up (the first one is the main window; closing it ends Run).
class TApplication {
public:
    TApplication() = default;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;
    ~TApplication();

    void Initialize() {}
    std::string Title() const;
    void SetTitle(const std::string& title) { title_ = title; }

    // Milliseconds before a hint shows.
    int HintPause() const { return hintPause_; }
    void SetHintPause(int ms);

    void ProcessMessages();

    // Shows the exception in the default error box (EAbort shows nothing), or hands it to
    // OnException when that is assigned. Never throws.
    void HandleException(std::exception_ptr e, QObject* sender = nullptr) noexcept;
    std::function<void(QObject* Sender, std::exception_ptr E)> OnException;

    // Creates a start-up window owned by the application; the first becomes the main form.
    template <class T, class... Args>
    T* CreateForm(T*& reference, Args&&... args)
    {
        auto form = std::make_unique<T>(std::forward<Args>(args)...);
        reference = form.get();
        if (!mainForm_) mainForm_ = form.get();
        forms_.push_back(std::move(form));
        return reference;
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and runs the message loop until it closes; then frees the windows.
    int Run();
    void Terminate();
    // Frees the start-up windows, the last created first.
    void DestroyForms();

private:
    std::string title_;
    int hintPause_ = 500;
    TForm* mainForm_ = nullptr;
    std::vector<std::unique_ptr<TForm>> forms_;
};

extern TApplication* const Application;

// The QApplication of the program: no exception ever unwinds through Qt's loop, whatever
// escapes an event goes to Application->HandleException.
class TQtApplication : public QApplication {
public:
    TQtApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// A window made for one use: freed on every path when the pointer goes.
template <class T, class... Args>
std::unique_ptr<T> CreateFormOnce(Args&&... args)
{
    return std::make_unique<T>(std::forward<Args>(args)...);
}
