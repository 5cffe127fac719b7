#include "platform/ui/ScriptedUi.h"

#include "platform/ui/Forms.h"

namespace {

const char* KindName(TScriptedUiServices::TKind k)
{
    switch (k) {
    case TScriptedUiServices::TKind::Message: return "message box";
    case TScriptedUiServices::TKind::FileOpen: return "open dialog";
    case TScriptedUiServices::TKind::FileSave: return "save dialog";
    case TScriptedUiServices::TKind::Print: return "print dialog";
    }
    return "?";
}

}  // namespace

void TScriptedUiServices::ExpectMessage(int answer, std::string textContains)
{
    script_.push_back({TKind::Message, answer, true, std::move(textContains), 1});
}
void TScriptedUiServices::ExpectOpen(std::string fileName)
{
    script_.push_back({TKind::FileOpen, 0, true, std::move(fileName), 1});
}
void TScriptedUiServices::ExpectOpenCancel() { script_.push_back({TKind::FileOpen, 0, false, "", 1}); }
void TScriptedUiServices::ExpectSave(std::string fileName)
{
    script_.push_back({TKind::FileSave, 0, true, std::move(fileName), 1});
}
void TScriptedUiServices::ExpectSaveCancel() { script_.push_back({TKind::FileSave, 0, false, "", 1}); }
void TScriptedUiServices::ExpectPrint(bool ok, int copies) { script_.push_back({TKind::Print, 0, ok, "", copies}); }

void TScriptedUiServices::Fail(const std::string& what)
{
    unexpected_.push_back(what);
    if (OnUnexpected) OnUnexpected(what);
}

bool TScriptedUiServices::Take(TKind kind, const std::string& what, TStep& step)
{
    if (script_.empty()) {
        Fail(std::string("unexpected ") + KindName(kind) + ": " + what);
        return false;
    }
    if (script_.front().Kind != kind) {
        Fail(std::string("expected a ") + KindName(script_.front().Kind) + ", got a " + KindName(kind) + ": " + what);
        return false;
    }
    step = script_.front();
    script_.pop_front();
    return true;
}

int TScriptedUiServices::Message(TShown shown)
{
    shown_.push_back(shown);
    TStep step;
    if (!Take(TKind::Message, shown.Text, step)) return mrCancel;
    if (!step.Text.empty() && shown.Text.find(step.Text) == std::string::npos)
        Fail("message box \"" + shown.Text + "\" does not contain \"" + step.Text + "\"");
    return step.Answer;
}

int TScriptedUiServices::MessageBox(const std::string& text, const std::string& caption, int flags)
{
    TShown s{TKind::Message, text, caption, flags, TMsgDlgType::mtCustom, 0, {}, {}, {}, {}};
    return Message(std::move(s));
}

int TScriptedUiServices::MessageDlg(const std::string& msg, const std::string& caption, TMsgDlgType type,
                                    TMsgDlgButtons buttons)
{
    TShown s{TKind::Message, msg, caption, 0, type, buttons, {}, {}, {}, {}};
    return Message(std::move(s));
}

bool TScriptedUiServices::FileDialog(TOpenDialog& d)
{
    const TKind kind = d.IsSaveDialog() ? TKind::FileSave : TKind::FileOpen;
    shown_.push_back({kind, d.Title, {}, 0, TMsgDlgType::mtCustom, 0, d.InitialDir, d.DefaultExt, d.Filter, d.FileName});
    TStep step;
    if (!Take(kind, d.Filter, step) || !step.Ok) return false;
    d.FileName = step.Text;
    return true;
}

bool TScriptedUiServices::PrintDialog(TPrintDialog& d)
{
    shown_.push_back({TKind::Print, {}, {}, 0, TMsgDlgType::mtCustom, 0, {}, {}, {}, {}});
    TStep step;
    if (!Take(TKind::Print, "print", step) || !step.Ok) return false;
    d.Copies = step.Copies;
    d.PrinterName = "Scripted printer";
    return true;
}

void TScriptedUiServices::SetCursor(TCursor cursor)
{
    cursor_ = cursor;
    cursors_.push_back(cursor);
}
