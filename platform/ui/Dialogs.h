// UI services: message boxes, file and print dialogs, the screen cursor and the beep, behind
// one interface so that tests answer them from a script (ScriptedUi.h) and never block.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QPrinter;

// --- Message boxes -----------------------------------------------------------
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// MessageBox flags and answers.
enum : int {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONERROR = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// The caption MessageDlg gives a box of this type ("Confirm" for mtConfirmation, ...);
// mtCustom takes the application title.
std::string MessageDlgCaption(TMsgDlgType type);

// Returns the modal result of the pressed button (mrYes, mrNo, ...).
int MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
// Returns the answer (IDOK, IDYES, ...). An empty caption gives the application title.
int MessageBox(const std::string& text, const std::string& caption, int flags);
// A plain box with an OK button under the application title.
void ShowMessage(const std::string& msg);
void Beep();

// --- File dialogs ------------------------------------------------------------
// Filter in the "Description|pattern;pattern|Description|pattern" form; FilterIndex is 1-based.
// Execute returns true when the user chose a file; FileName then holds it (with DefaultExt
// added when the chosen name has no extension). Cancel leaves FileName as it was. A save
// dialog with OverwritePrompt asks before it gives the name of a file that exists.
class TOpenDialog {
public:
    virtual ~TOpenDialog() = default;
    bool Execute();
    bool IsSaveDialog() const { return save_; }

    std::string Title;
    std::string InitialDir;
    std::string DefaultExt;  // without the dot
    std::string Filter;
    int FilterIndex = 1;
    std::string FileName;
    bool FileMustExist = false;
    bool OverwritePrompt = false;

protected:
    explicit TOpenDialog(bool save) : save_(save) {}

public:
    TOpenDialog() : TOpenDialog(false) {}

private:
    bool save_;
};

class TSaveDialog : public TOpenDialog {
public:
    TSaveDialog() : TOpenDialog(true) {}
};

// --- Print dialog ------------------------------------------------------------
enum class TPrintRange { prAllPages, prSelection, prPageNums };

class TPrintDialog {
public:
    bool Execute();

    int Copies = 1;
    int MinPage = 0, MaxPage = 0;
    int FromPage = 0, ToPage = 0;
    TPrintRange PrintRange = TPrintRange::prAllPages;
    std::string PrinterName;     // the printer chosen
    QPrinter* Printer = nullptr;  // when set, the dialog sets it up as well
};

// --- Cursor ------------------------------------------------------------------
enum TCursor : int {
    crDefault = 0,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crHourGlass = -11,
    crNo = -12,
    crHandPoint = -21,
};

// The screen cursor as the class library's Screen.Cursor.
TCursor ScreenCursor();
void SetScreenCursor(TCursor cursor);

// Shows the hourglass while it lives and puts back the cursor that was there before.
class THourGlass {
public:
    THourGlass();
    ~THourGlass();
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    TCursor saved_;
};

// --- The services ------------------------------------------------------------
class TUiServices {
public:
    virtual ~TUiServices() = default;
    // caption already resolved (never empty)
    virtual int MessageBox(const std::string& text, const std::string& caption, int flags) = 0;
    virtual int MessageDlg(const std::string& msg, const std::string& caption, TMsgDlgType type,
                           TMsgDlgButtons buttons) = 0;
    virtual bool FileDialog(TOpenDialog& dialog) = 0;  // true and dialog.FileName set on OK
    virtual bool PrintDialog(TPrintDialog& dialog) = 0;
    virtual TCursor Cursor() const = 0;
    virtual void SetCursor(TCursor cursor) = 0;
    virtual void Beep() = 0;
};

// The services in force (the Qt ones unless a test put others in place).
TUiServices& UiServices();

// Puts other services in force while it lives.
class TUiServicesScope {
public:
    explicit TUiServicesScope(TUiServices& services);
    ~TUiServicesScope();
    TUiServicesScope(const TUiServicesScope&) = delete;
    TUiServicesScope& operator=(const TUiServicesScope&) = delete;

private:
    TUiServices* previous_;
};

// The real boxes and dialogs.
class TQtUiServices : public TUiServices {
public:
    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    int MessageDlg(const std::string& msg, const std::string& caption, TMsgDlgType type,
                   TMsgDlgButtons buttons) override;
    bool FileDialog(TOpenDialog& dialog) override;
    bool PrintDialog(TPrintDialog& dialog) override;
    TCursor Cursor() const override { return cursor_; }
    void SetCursor(TCursor cursor) override;
    void Beep() override;

private:
    TCursor cursor_ = crDefault;
};
