#include "planner/controls/FSpin.h"

#include "planner/controls/EditMenu.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>
#include <QValidator>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int ButtonWidth = 15;
constexpr int ButtonHeight = 17;

// Text that arrives other than by typing (drops, input methods, undo) may hold only the
// characters typing could give.
class TSpinCharValidator : public QValidator {
public:
    explicit TSpinCharValidator(TFSpinEdit* edit) : QValidator(edit), edit_(edit) {}
    State validate(QString& input, int&) const override
    {
        for (const QChar c : input)
            if (c.unicode() < 32 || c.unicode() >= 0x80 || !edit_->IsValidChar(static_cast<char>(c.unicode())))
                return Invalid;
        return Acceptable;
    }

private:
    const TFSpinEdit* edit_;
};

} // namespace

TFSpinEdit::TFSpinEdit(QWidget* parent) : QLineEdit(parent)
{
    QLineEdit::setText(QStringLiteral("0"));
    setValidator(new TSpinCharValidator(this));

    button_ = new QWidget(this);
    button_->setCursor(Qt::ArrowCursor);
    auto* layout = new QVBoxLayout(button_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto makeHalf = [this, layout](Qt::ArrowType arrow) {
        auto* b = new QToolButton(button_);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        layout->addWidget(b);
        // The edit is the button's focus control.
        connect(b, &QToolButton::pressed, this, [this] {
            if (!hasFocus()) setFocus(Qt::MouseFocusReason);
        });
        return b;
    };
    up_ = makeHalf(Qt::UpArrow);
    down_ = makeHalf(Qt::DownArrow);
    up_->setObjectName(QStringLiteral("UpButton"));
    down_->setObjectName(QStringLiteral("DownButton"));
    connect(up_, &QToolButton::clicked, this, [this] { UpClick(); });
    connect(down_, &QToolButton::clicked, this, [this] { DownClick(); });
    button_->resize(ButtonWidth, ButtonHeight);

    setTextMargins(0, 0, ButtonWidth + 2, 0);
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
    UpdateMinimumHeight();
    PlaceButton();
}

TFSpinEdit::~TFSpinEdit() = default;

void TFSpinEdit::SetEditorEnabled(bool v)
{
    rules_.EditorEnabled = v;
    UpdateEditable();
}

void TFSpinEdit::SetReadOnly(bool v)
{
    readOnly_ = v;
    UpdateEditable();
}

void TFSpinEdit::UpdateEditable()
{
    // A read-only QLineEdit refuses every editing path (keys, paste, drops, input methods,
    // undo); the buttons and arrow keys still write the text from code.
    setReadOnly(!Editable());
}

float TFSpinEdit::Value() const { return rules_.TextValue(Text()); }

void TFSpinEdit::SetValue(float v)
{
    std::string t;
    if (rules_.ValueText(v, t)) SetText(t);
}

std::string TFSpinEdit::Text() const { return QLineEdit::text().toStdString(); }

void TFSpinEdit::SetText(const std::string& text)
{
    const QString t = QString::fromStdString(text);
    if (t != QLineEdit::text()) QLineEdit::setText(t);
}

void TFSpinEdit::Change()
{
    CallEvent(OnChange, this);
}

void TFSpinEdit::UpClick()
{
    if (readOnly_) {
        Beep();
        return;
    }
    SetValue(Value() + rules_.Increment);
}

void TFSpinEdit::DownClick()
{
    if (readOnly_) {
        Beep();
        return;
    }
    SetValue(Value() - rules_.Increment);
}

void TFSpinEdit::keyPressEvent(QKeyEvent* e)
{
    const int key = e->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        if (key == Qt::Key_Up) UpClick();
        else DownClick();
        e->accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        e->ignore(); // dialog keys belong to the form
        return;
    }
    if (e->matches(QKeySequence::Paste)) { PasteFromClipboard(); return; }
    if (e->matches(QKeySequence::Cut)) { CutToClipboard(); return; }

    const Qt::KeyboardModifiers mods = e->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const QString text = e->text();
    char typed = 0;
    if (key == Qt::Key_Backspace && mods == Qt::NoModifier) typed = '\b';
    else if (!text.isEmpty() && text.at(0).isPrint() && (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0)
        typed = text.at(0).unicode() < 0x80 ? static_cast<char>(text.at(0).unicode()) : '\x7f';
    if (typed && !IsValidChar(typed)) {
        Beep();
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void TFSpinEdit::CutToClipboard()
{
    if (Editable()) cut();
}

void TFSpinEdit::PasteFromClipboard()
{
    if (!Editable()) return;
    // Only what could have been typed is taken.
    const QString clip = QGuiApplication::clipboard()->text();
    QString taken;
    for (const QChar c : clip)
        if (c.unicode() >= 32 && c.unicode() < 0x80 && IsValidChar(static_cast<char>(c.unicode()))) taken += c;
    if (!taken.isEmpty()) insert(taken);
}

void TFSpinEdit::contextMenuEvent(QContextMenuEvent* e)
{
    const bool editable = Editable();
    const bool sel = hasSelectedText();
    const QClipboard* cb = QGuiApplication::clipboard();
    TEditMenu m;
    m.Undo = {[this] { undo(); }, editable && isUndoAvailable()};
    m.Cut = {[this] { CutToClipboard(); }, editable && sel};
    m.Copy = {[this] { copy(); }, sel};
    m.Paste = {[this] { PasteFromClipboard(); }, editable && cb && !cb->text().isEmpty()};
    m.Delete = {[this] { del(); }, editable && sel};
    m.SelectAll = {[this] { selectAll(); }, !text().isEmpty()};
    ShowEditMenu(this, e->globalPos(), m);
    e->accept();
}

void TFSpinEdit::focusInEvent(QFocusEvent* e)
{
    const int caret = cursorPosition();
    QLineEdit::focusInEvent(e);
    if (!autoSelect_ && hasSelectedText()) setCursorPosition(caret);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    if (autoSelect_ && !(QGuiApplication::mouseButtons() & Qt::LeftButton)) selectAll();
    CallEvent(OnEnter, this);
}

void TFSpinEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    CallEvent(OnExit, this);
    const float v = Value();
    if (CheckValue(v) != v) SetValue(v);
}

void TFSpinEdit::UpdateMinimumHeight()
{
    const int border = 1;
    const int h = QFontMetrics(font()).height();
    const int sys = QFontMetrics(QApplication::font()).height();
    setMinimumHeight(4 * border + h + std::min(h, sys) / 4 + 2);
}

void TFSpinEdit::PlaceButton()
{
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const int h = std::max(0, height() - 2 * frame);
    button_->setGeometry(width() - ButtonWidth - frame, frame, ButtonWidth, h);
}

void TFSpinEdit::resizeEvent(QResizeEvent* e)
{
    QLineEdit::resizeEvent(e);
    PlaceButton();
}

void TFSpinEdit::changeEvent(QEvent* e)
{
    QLineEdit::changeEvent(e);
    if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange) {
        UpdateMinimumHeight();
        PlaceButton();
    }
}
