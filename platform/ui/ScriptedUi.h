// UI services answered from a script, for tests: every box and dialog is taken from a queue
// of expected interactions, in order. Anything that was not expected is reported through
// OnUnexpected (a test makes that a failure) and answered with Cancel, so nothing ever blocks.
#pragma once

#include "platform/ui/Dialogs.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class TScriptedUiServices : public TUiServices {
public:
    enum class TKind { Message, FileOpen, FileSave, Print };

    // What was shown, with the settings it was shown with.
    struct TShown {
        TKind Kind;
        std::string Text;     // message text, or the dialog's title
        std::string Caption;  // message caption
        int Flags = 0;        // MessageBox flags
        TMsgDlgType Type = TMsgDlgType::mtCustom;
        TMsgDlgButtons Buttons = 0;
        std::string InitialDir, DefaultExt, Filter, FileName;  // file dialogs, as given
    };

    // A message box (MessageBox or MessageDlg) answered with `answer` (IDYES/mrYes, ...). When
    // `textContains` is not empty the box's text must contain it.
    void ExpectMessage(int answer, std::string textContains = "");
    // An open/save dialog: the user picks `fileName`, or cancels.
    void ExpectOpen(std::string fileName);
    void ExpectOpenCancel();
    void ExpectSave(std::string fileName);
    void ExpectSaveCancel();
    void ExpectPrint(bool ok, int copies = 1);

    bool AllUsed() const { return script_.empty(); }
    std::size_t Pending() const { return script_.size(); }
    const std::vector<TShown>& Shown() const { return shown_; }
    const std::vector<std::string>& Unexpected() const { return unexpected_; }
    int Beeps() const { return beeps_; }
    // Every cursor set, in order.
    const std::vector<TCursor>& CursorLog() const { return cursors_; }

    std::function<void(const std::string& what)> OnUnexpected;

    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    int MessageDlg(const std::string& msg, const std::string& caption, TMsgDlgType type,
                   TMsgDlgButtons buttons) override;
    bool FileDialog(TOpenDialog& dialog) override;
    bool PrintDialog(TPrintDialog& dialog) override;
    TCursor Cursor() const override { return cursor_; }
    void SetCursor(TCursor cursor) override;
    void Beep() override { ++beeps_; }

private:
    struct TStep {
        TKind Kind;
        int Answer = 0;
        bool Ok = false;
        std::string Text;  // expected text part, or the file chosen
        int Copies = 1;
    };
    int Message(TShown shown);
    bool Take(TKind kind, const std::string& what, TStep& step);
    void Fail(const std::string& what);

    std::deque<TStep> script_;
    std::vector<TShown> shown_;
    std::vector<std::string> unexpected_;
    std::vector<TCursor> cursors_;
    TCursor cursor_ = crDefault;
    int beeps_ = 0;
};
