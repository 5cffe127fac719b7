#include "planner/controls/NuvNumericEdit.h"

#include "planner/controls/EditMenu.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QValidator>

using namespace NuvNumericEdit;

namespace {

// Last line of defence: should some QLineEdit path we do not route edit the text, an edit
// that leaves the mask is undone by QLineEdit itself.
class TMaskValidator : public QValidator {
public:
    explicit TMaskValidator(TNuvNumericEdit* edit) : QValidator(edit), edit_(edit) {}
    State validate(QString& input, int&) const override
    {
        return IsMaskText(input.toStdString(), edit_->Decimals()) ? Acceptable : Invalid;
    }

private:
    const TNuvNumericEdit* edit_;
};

// Characters for the rules: Unicode decimal digits become ASCII ones, anything else that
// is not ASCII becomes a character the rules refuse.
std::string ToRuleText(const QString& s)
{
    std::string out;
    out.reserve(static_cast<size_t>(s.size()));
    for (const QChar c : s) {
        if (c.isDigit()) out += static_cast<char>('0' + c.digitValue());
        else if (c.unicode() < 0x80) out += static_cast<char>(c.unicode());
        else out += '?';
    }
    return out;
}

bool IsNavigation(const QKeyEvent* e)
{
    static const QKeySequence::StandardKey keys[] = {
        QKeySequence::MoveToNextChar,       QKeySequence::MoveToPreviousChar,
        QKeySequence::MoveToNextWord,       QKeySequence::MoveToPreviousWord,
        QKeySequence::MoveToStartOfLine,    QKeySequence::MoveToEndOfLine,
        QKeySequence::MoveToStartOfBlock,   QKeySequence::MoveToEndOfBlock,
        QKeySequence::MoveToStartOfDocument, QKeySequence::MoveToEndOfDocument,
        QKeySequence::SelectNextChar,       QKeySequence::SelectPreviousChar,
        QKeySequence::SelectNextWord,       QKeySequence::SelectPreviousWord,
        QKeySequence::SelectStartOfLine,    QKeySequence::SelectEndOfLine,
        QKeySequence::SelectStartOfBlock,   QKeySequence::SelectEndOfBlock,
        QKeySequence::SelectStartOfDocument, QKeySequence::SelectEndOfDocument,
    };
    for (const auto k : keys)
        if (e->matches(k)) return true;
    const int key = e->key();
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End;
}

// The runs of a Change with OnChange detached, restored also when an exception passes.
struct TDetach {
    explicit TDetach(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~TDetach() { flag_ = old_; }
    bool& flag_;
    bool old_;
};

} // namespace

TNuvNumericEdit::TNuvNumericEdit(QWidget* parent) : QLineEdit(parent)
{
    setValidator(new TMaskValidator(this));
    setDragEnabled(false);
    setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    SetAlignment(taRightJustify);
    resize(73, sizeHint().height());
    // Value 0 in the shortest general form, then in the mask.
    QLineEdit::setText(QStringLiteral("0"));
    Reformat();
    setCursorPosition(0);
    // Reached only by a QLineEdit path we do not route; the validator kept it in the mask.
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (!applying_) Change();
    });
}

void TNuvNumericEdit::SetAlignment(TAlignment a)
{
    alignment_ = a;
    const Qt::Alignment h = a == taLeftJustify ? Qt::AlignLeft : a == taCenter ? Qt::AlignHCenter : Qt::AlignRight;
    setAlignment(h | Qt::AlignVCenter);
}

void TNuvNumericEdit::SetDecimals(int d)
{
    const int nd = ClampDecimals(d);
    if (nd == decimals_) return;
    const double v = Value();
    decimals_ = nd;
    const TDetach detach(onChangeDetached_);
    SetTextFromCode(FormatValue(v, decimals_));
}

void TNuvNumericEdit::Reformat()
{
    const TDetach detach(onChangeDetached_);
    SetTextFromCode(FormatValue(Value(), decimals_));
}

std::string TNuvNumericEdit::Text() const { return QLineEdit::text().toStdString(); }

namespace {
const char* const kNoValue = "---";
}

double TNuvNumericEdit::Value() const { return ShowsNoValue() ? 0.0 : TextValue(Text()); }

void TNuvNumericEdit::ShowNoValue() { SetTextFromCode(kNoValue); }

bool TNuvNumericEdit::ShowsNoValue() const { return Text() == kNoValue; }

void TNuvNumericEdit::SetValue(double v) { SetTextFromCode(FormatValue(v, decimals_)); }

void TNuvNumericEdit::SetTextFromCode(const std::string& text)
{
    if (text == Text()) return;
    {
        const TDetach busy(applying_);
        QLineEdit::setText(QString::fromStdString(text));
        setCursorPosition(0);
    }
    canUndo_ = false; // as after a program-set text in the class library's edit
    undoText_.clear();
    Change();
}

void TNuvNumericEdit::Change()
{
    if (!onChangeDetached_) CallEvent(OnChange, this);
    const double v = Value();
    if (v >= minValue_ && v <= maxValue_) CallEvent(OnValidChange, this);
}

TEditState TNuvNumericEdit::State() const
{
    TEditState s;
    // Typing into a field that shows no value starts from 0.
    s.Text = ShowsNoValue() ? FormatValue(0, decimals_) : Text();
    if (hasSelectedText()) {
        s.SelStart = selectionStart();
        s.SelLength = static_cast<int>(selectedText().size());
    } else {
        s.SelStart = cursorPosition();
    }
    return s;
}

TEditRules TNuvNumericEdit::Rules() const
{
    TEditRules r;
    r.Decimals = decimals_;
    r.MinValue = minValue_;
    r.MaxLength = maxLength_;
    return r;
}

void TNuvNumericEdit::Apply(const TEditResult& r)
{
    if (r.Rejected) return;
    const std::string old = Text();
    {
        const TDetach busy(applying_);
        if (r.State.Text != old) {
            undoText_ = old;
            canUndo_ = true;
            QLineEdit::setText(QString::fromStdString(r.State.Text));
        }
        if (r.State.SelLength > 0) setSelection(r.State.SelStart, r.State.SelLength);
        else setCursorPosition(r.State.SelStart);
    }
    if (r.Changed) Change();
}

void TNuvNumericEdit::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    // Dialog keys belong to the form (default and cancel buttons).
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        e->ignore();
        return;
    }
    if (e->matches(QKeySequence::Copy)) { CopyToClipboard(); return; }
    if (e->matches(QKeySequence::Cut)) { CutToClipboard(); return; }
    if (e->matches(QKeySequence::Paste)) { PasteFromClipboard(); return; }
    if (e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo)) { Undo(); return; }
    if (e->matches(QKeySequence::SelectAll)) { selectAll(); return; }
    if (IsNavigation(e)) {
        QLineEdit::keyPressEvent(e);
        return;
    }
    if (key == Qt::Key_Delete && mods == Qt::NoModifier) {
        if (!isReadOnly()) Apply(DeleteKey(State(), Rules()));
        return;
    }
    if (key == Qt::Key_Backspace && mods == Qt::NoModifier) {
        if (!isReadOnly()) Apply(KeyPress(State(), Backspace, Rules()));
        return;
    }
    const QString text = e->text();
    if (!text.isEmpty() && text.at(0).isPrint() && (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0) {
        if (!isReadOnly())
            for (const char c : ToRuleText(text)) Apply(KeyPress(State(), c, Rules()));
        return;
    }
    // Anything else (editing shortcuts of QLineEdit included) never reaches the text.
    e->ignore();
}

void TNuvNumericEdit::inputMethodEvent(QInputMethodEvent* e)
{
    // Composed text counts once committed; the preedit is not shown.
    if (!isReadOnly() && !e->commitString().isEmpty())
        Apply(TypeText(State(), ToRuleText(e->commitString()), Rules()));
    e->accept();
}

void TNuvNumericEdit::dragEnterEvent(QDragEnterEvent* e)
{
    if (!isReadOnly() && e->mimeData()->hasText()) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
    } else {
        e->ignore();
    }
}

void TNuvNumericEdit::dragMoveEvent(QDragMoveEvent* e)
{
    if (!isReadOnly() && e->mimeData()->hasText()) {
        e->setDropAction(Qt::CopyAction);
        e->accept();
    } else {
        e->ignore();
    }
}

void TNuvNumericEdit::dropEvent(QDropEvent* e)
{
    if (isReadOnly() || !e->mimeData()->hasText()) {
        e->ignore();
        return;
    }
    // Dropped text is typed at the drop point; the source always keeps its text.
    TEditState s;
    s.Text = Text();
    s.SelStart = cursorPositionAt(e->position().toPoint());
    Apply(TypeText(s, ToRuleText(e->mimeData()->text()), Rules()));
    e->setDropAction(Qt::CopyAction);
    e->accept();
}

void TNuvNumericEdit::contextMenuEvent(QContextMenuEvent* e)
{
    const bool editable = !isReadOnly();
    const bool sel = hasSelectedText();
    const QClipboard* cb = QGuiApplication::clipboard();
    TEditMenu m;
    m.Undo = {[this] { Undo(); }, editable && canUndo_};
    m.Cut = {[this] { CutToClipboard(); }, editable && sel};
    m.Copy = {[this] { CopyToClipboard(); }, sel};
    m.Paste = {[this] { PasteFromClipboard(); }, editable && cb && !cb->text().isEmpty()};
    m.Delete = {[this] { ClearSelection(); }, editable && sel};
    m.SelectAll = {[this] { selectAll(); }, !Text().empty()};
    ShowEditMenu(this, e->globalPos(), m);
    e->accept();
}

void TNuvNumericEdit::CopyToClipboard()
{
    if (hasSelectedText()) QGuiApplication::clipboard()->setText(selectedText());
}

void TNuvNumericEdit::CutToClipboard()
{
    if (isReadOnly() || !hasSelectedText()) return;
    CopyToClipboard();
    Apply(NuvNumericEdit::ClearSelection(State(), Rules()));
}

void TNuvNumericEdit::ClearSelection()
{
    if (!isReadOnly()) Apply(NuvNumericEdit::ClearSelection(State(), Rules()));
}

void TNuvNumericEdit::PasteFromClipboard()
{
    if (isReadOnly()) return;
    const QString t = QGuiApplication::clipboard()->text();
    if (!t.isEmpty()) Apply(TypeText(State(), ToRuleText(t), Rules()));
}

void TNuvNumericEdit::Undo()
{
    if (isReadOnly() || !canUndo_ || !IsMaskText(undoText_, decimals_)) return;
    TEditResult r;
    r.State.Text = undoText_;
    r.Changed = undoText_ != Text();
    Apply(r); // keeps the text undone as the next undo
    selectAll();
}

void TNuvNumericEdit::focusInEvent(QFocusEvent* e)
{
    const int caret = cursorPosition();
    QLineEdit::focusInEvent(e); // selects all on Tab by itself
    if (!autoSelect_ && hasSelectedText()) setCursorPosition(caret);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    DoEnter();
}

void TNuvNumericEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    DoExit();
}

void TNuvNumericEdit::DoEnter()
{
    if (autoSelect_ && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) selectAll();
    CallEvent(OnEnter, this);
}

void TNuvNumericEdit::DoExit()
{
    if (minValue_ != maxValue_) {
        const double v = Value();
        if (v < minValue_ || v > maxValue_) CallEvent(OnInvalidEntry, this);
    }
    CallEvent(OnExit, this);
}
